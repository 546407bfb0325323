#include "workspace/connect/ConnectDialogModel.h"

#include "core/CaseFold.h"
#include "core/ProfileStore.h"
#include "db/DriverRegistry.h"

namespace marlix {
namespace {

using T = ConnectionType;

// How a type lays out the dialog; what depends on the checked options is worked out in
// ApplyStates.
struct TypeLayout {
    const char* radio;
    const char* serverLabel;
    const char* secondAuthentication;
    bool radios;               // the authentication radios are enabled (else both unchecked)
    bool login;                // login name and password enabled (with the radios: unless Windows)
    bool serverBrowse;         // "..." of the server box
    bool local;                // "Use local server" enabled (and it moves the server box)
    bool localVisible;         // else hidden, and the database box takes the whole row
    bool database;             // database box enabled
    bool port;                 // port enabled
    int autocommit;            // 1 enabled, 0 disabled, -1 left as it was
    bool charsetRole;          // Charset and Role enabled
    const char* defaultUserId; // "UserId" default; null: the type keeps no login name
};

// Indexed by type.
constexpr TypeLayout kLayouts[kConnectionTypeCount] = {
    {"&Microsoft SQL", "SQL Se&rver", "S&QL Server authentication", true, true, true, true, true, true, false,
     -1, false, "sa"},
    {"&Oracle", "&Instance", "Oracle &user name and password", true, true, true, false, true, false, false, 1,
     false, "sa"},
    {"ODBC DS&N", "Data sou&rce", "&User name and password", true, true, true, false, true, false, false, 1,
     false, "sa"},
    {"M&y SQL", "MySQL Se&rver", "MySQL &user name and password", true, true, false, true, true, true, true,
     1, false, "root"},
    {"MS &Access", "File pa&th", "Access &user name and password", true, true, true, false, true, false,
     false, 1, false, "sa"},
    {"Interbase/&FireBird", "FB/IB Se&rver", "FireBird/IBase &user name and password", false, true, false,
     false, false, true, false, 1, true, "SYSADM"},
    {"&PostgreSQL", "Se&rver", "PostgreSQL &user name and password", false, true, false, false, false, true,
     true, 1, false, "postgres"},
    {"SQ&Lite file", "File pa&th", "&User name and password", false, false, true, false, true, false, false,
     1, false, nullptr},
};

const TypeLayout& LayoutOf(ConnectionType type) {
    return kLayouts[static_cast<int>(type)];
}

bool HasLocalServer(ConnectionType type) {
    return type == T::MicrosoftSQL || type == T::MySQL;
}

// The types whose port is kept, with its default.
const char* DefaultPort(ConnectionType type) {
    if (type == T::MySQL) return "3306";
    if (type == T::PostgreSQL) return "5432";
    return nullptr;
}

bool ContainsIgnoringCase(const std::vector<std::string>& items, std::string_view name) {
    for (const std::string& item : items)
        if (EqualsFolded(item, name)) return true;
    return false;
}

} // namespace

const char* TypeRadioText(ConnectionType type) noexcept {
    return LayoutOf(type).radio;
}

void AddStoredItems(std::vector<std::string>& into, std::string_view stored) {
    // A last name without ";" after it is no name: the text may have been cut.
    for (size_t end; (end = stored.find(';')) != std::string_view::npos; stored.remove_prefix(end + 1)) {
        std::string_view name = stored.substr(0, end);
        if (!name.empty() && !ContainsIgnoringCase(into, name)) into.emplace_back(name);
    }
}

std::string StoredItems(const std::vector<std::string>& items) {
    std::string stored;
    for (const std::string& item : items)
        stored += item + ";";
    return stored;
}

ServerBrowse ServerBrowseOf(ConnectionType type) noexcept {
    switch (type) {
    case T::MicrosoftSQL:
    case T::Oracle:
        return ServerBrowse::SelectServer;
    case T::DataSourceName:
        return ServerBrowse::DataSourceAdministrator;
    case T::MSAccess:
    case T::SQLiteFile:
        return ServerBrowse::ChooseFile;
    default:
        return ServerBrowse::None;
    }
}

const char* BrowseDriverText(ConnectionType type) noexcept {
    if (type == T::MicrosoftSQL) return "DRIVER={SQL Server}";
    if (type == T::Oracle) return "Oracle ODBC Driver";
    return "";
}

const char* ServerFileFilter(ConnectionType type) noexcept {
    if (type == T::MSAccess) return "MS Access database files (*.mdb)";
    if (type == T::SQLiteFile) return "SQLite database files (*.sqlite *.sqlite3 *.db *.db3);;All files (*)";
    return "";
}

std::string DriverNotice(ConnectionType type, const std::vector<std::string>& installed) {
    const std::string_view driver = DriverOf(type);
    if (driver.empty() || DriverInstalled(installed, driver)) return {};
    const std::string missing = "The ODBC driver \"" + std::string(driver) + "\" is not registered with the driver manager";
    if (const std::string chosen = ChooseDriver(type, installed); chosen != driver)
        return missing + ": \"" + chosen + "\" is used instead.";
    return missing + ".";
}

std::string ConnectDialogModel::Name(std::string_view prefix, std::string_view name) const {
    return std::string(prefix) + std::to_string(static_cast<int>(choice_.type)) + std::string(name);
}

void ConnectDialogModel::Open() {
    const int stored = profile_.GetInt(kLoginSettings, "ConnectionType", 0);
    // A value no radio stands for checks none, which counts as the first type.
    choice_.type = stored >= 0 && stored < kConnectionTypeCount ? static_cast<T>(stored) : T::MicrosoftSQL;
    LoadLists();
    LoadAuthentication(true);
    ApplyStates();
}

void ConnectDialogModel::ChooseType(ConnectionType type) {
    choice_.type = type;
    LoadLists();
    LoadAuthentication(true);
    ApplyStates();
}

void ConnectDialogModel::ChooseAuthentication(bool userAndPassword) {
    if (!LayoutOf(choice_.type).radios) return;
    windows_ = !userAndPassword;
    choice_.userAndPassword = userAndPassword;
    LoadAuthentication(false);
    ApplyStates();
}

void ConnectDialogModel::SetUseLocalServer(bool on) {
    choice_.useLocalServer = on;
    ApplyStates();
}

void ConnectDialogModel::LoadLists() {
    const T type = choice_.type;
    servers_.clear();
    choice_.server = profile_.GetString(kLoginSettings, Name("ServersList", "LastValue"), "");
    AddStoredItems(servers_, profile_.GetString(kLoginSettings, Name("ServersList", "ListItems"), ""));
    databases_.clear();
    choice_.database = profile_.GetString(kLoginSettings, Name("ServersList", "Use database"), "");
    AddStoredItems(databases_, profile_.GetString(kLoginSettings, Name("ServersList", "DatabaseItems"), ""));

    choice_.port.clear();
    if (HasLocalServer(type))
        choice_.useLocalServer =
            profile_.GetInt(kLoginSettings, Name("ServersList", "Use Local instance"), 0) != 0;
    else
        choice_.useLocalServer = false;
    if (const char* port = DefaultPort(type))
        choice_.port = profile_.GetString(kLoginSettings, Name("ServersList", "Port"), port);
    // Only the types with a database box keep its text (Interbase/Firebird reads it below).
    if (!HasLocalServer(type) && type != T::PostgreSQL) choice_.database.clear();

    autocommit_ = GetAutocommit(profile_, type) != 0;

    if (type == T::InterbaseFirebird) {
        choice_.charset = profile_.GetString(kLoginSettings, Name("ServersList", "Charset"), "");
        choice_.role = profile_.GetString(kLoginSettings, Name("ServersList", "Role"), "");
        choice_.database = profile_.GetString(kLoginSettings, Name("ServersList", "Use database"), "");
    } else {
        choice_.charset.clear();
        choice_.role.clear();
    }
}

void ConnectDialogModel::LoadAuthentication(bool storedChoice) {
    const TypeLayout& layout = LayoutOf(choice_.type);
    if (!layout.radios) {
        // The type always sends its login name (or none at all): no choice to make.
        windows_ = false;
        choice_.userAndPassword = false;
        choice_.user =
            layout.defaultUserId
                ? profile_.GetString(kLoginSettings, Name("Authentication", "UserId"), layout.defaultUserId)
                : std::string();
        return;
    }
    if (storedChoice) {
        // Windows authentication means something to SQL Server only: every other type opens on
        // its user name and password until the user stores another choice.
        const int byDefault = choice_.type == T::MicrosoftSQL ? 0 : 1;
        choice_.userAndPassword =
            profile_.GetInt(kLoginSettings, Name("Authentication", "AuthType"), byDefault) == 1;
        windows_ = !choice_.userAndPassword;
    }
    choice_.user =
        choice_.userAndPassword
            ? profile_.GetString(kLoginSettings, Name("Authentication", "UserId"), layout.defaultUserId)
            : std::string();
}

void ConnectDialogModel::ApplyStates() {
    const TypeLayout& layout = LayoutOf(choice_.type);
    const bool local = layout.local && choice_.useLocalServer;
    ConnectControlStates& s = states_;
    s.serverLabel = layout.serverLabel;
    s.secondAuthenticationText = layout.secondAuthentication;
    s.authenticationEnabled = layout.radios;
    s.loginEnabled = layout.login && !(layout.radios && windows_);
    s.serverEnabled = !local;
    s.serverBrowseEnabled = layout.serverBrowse && !local;
    s.useLocalEnabled = layout.local;
    s.useLocalVisible = layout.localVisible;
    s.databaseEnabled = layout.database;
    s.databaseWide = !layout.localVisible;
    s.databaseBrowseVisible = choice_.type == T::InterbaseFirebird;
    s.portEnabled = layout.port;
    if (layout.autocommit >= 0) s.autocommitEnabled = layout.autocommit == 1;
    s.charsetRoleEnabled = layout.charsetRole;
    UpdateOk();
}

void ConnectDialogModel::UpdateOk() {
    // A file type without a path would make the driver create a file named after the
    // connection string in the current folder.
    const T type = choice_.type;
    const bool noPath = ((type == T::MSAccess || type == T::SQLiteFile) && choice_.server.empty()) ||
                        (type == T::InterbaseFirebird && choice_.database.empty());
    states_.okEnabled = !noPath && !(type == T::MySQL && choice_.database.empty());
}

ConnectFocus ConnectDialogModel::Focus() const noexcept {
    // PostgreSQL always logs in with a name and password, as the second radio does elsewhere.
    if (!choice_.userAndPassword && choice_.type != T::PostgreSQL) return ConnectFocus::Unchanged;
    return choice_.user.empty() ? ConnectFocus::LoginName : ConnectFocus::Password;
}

ConnectionRequest ConnectDialogModel::Accept() {
    const T type = choice_.type;
    const std::string& server = choice_.server;
    if (!server.empty() && !ContainsIgnoringCase(servers_, server)) servers_.push_back(server);

    auto write = [this](std::string_view prefix, std::string_view name, std::string_view value) {
        profile_.WriteString(kLoginSettings, Name(prefix, name), value);
    };
    profile_.WriteInt(kLoginSettings, "ConnectionType", static_cast<int>(type));
    write("ServersList", "LastValue", server);
    write("ServersList", "ListItems", StoredItems(servers_));
    write("ServersList", "Use database", choice_.database);
    std::string databases = StoredItems(databases_);
    bool listed = choice_.database.empty();
    for (const std::string& item : databases_)
        listed = listed || item == choice_.database;
    if (!listed) databases += choice_.database + ";";
    write("ServersList", "DatabaseItems", databases);
    if (HasLocalServer(type))
        profile_.WriteInt(kLoginSettings, Name("ServersList", "Use Local instance"),
                          choice_.useLocalServer ? 1 : 0);
    if (DefaultPort(type)) write("ServersList", "Port", choice_.port);
    marlix::SetAutocommit(profile_, type, autocommit_ ? 1 : 0);
    if (type == T::InterbaseFirebird) {
        write("ServersList", "Charset", choice_.charset);
        write("ServersList", "Role", choice_.role);
    }

    const TypeLayout& layout = LayoutOf(type);
    if (layout.defaultUserId) write("Authentication", "UserId", choice_.user);
    if (layout.radios)
        profile_.WriteInt(kLoginSettings, Name("Authentication", "AuthType"),
                          choice_.userAndPassword ? 1 : 0);
    choice_.driver = ChooseDriver(type, installed_);
    ConnectionRequest request = BuildConnection(choice_);
    request.autocommit = autocommit_;
    return request;
}

} // namespace marlix
