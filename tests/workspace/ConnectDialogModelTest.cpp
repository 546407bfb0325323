// The connect dialog's rules without widgets: labels and control states per server type and
// option, the lists and settings of "Login Settings" (loading, OK, the round trip), the focus
// rule and the driver notice.
#include "workspace/connect/ConnectDialogModel.h"
#include "core/ProfileStore.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

using T = ConnectionType;

// One row of the per-type table, as the dialog opens on the type with the stored second radio.
struct StateRow {
    T type;
    const char* serverLabel;
    const char* secondRadio;
    bool radios, login, server, serverBrowse, useLocal, useLocalVisible, database, databaseWide,
        databaseBrowse, port, charsetRole;
};

const StateRow kStateRows[] = {
    // type, label, second radio, radios, login, server, "...", local, local shown, database, wide, db "...",
    // port, charset/role
    {T::MicrosoftSQL, "SQL Se&rver", "S&QL Server authentication", true, true, true, true, true, true, true,
     false, false, false, false},
    {T::Oracle, "&Instance", "Oracle &user name and password", true, true, true, true, false, true, false,
     false, false, false, false},
    {T::DataSourceName, "Data sou&rce", "&User name and password", true, true, true, true, false, true, false,
     false, false, false, false},
    {T::MySQL, "MySQL Se&rver", "MySQL &user name and password", true, true, true, false, true, true, true,
     false, false, true, false},
    {T::MSAccess, "File pa&th", "Access &user name and password", true, true, true, true, false, true, false,
     false, false, false, false},
    {T::InterbaseFirebird, "FB/IB Se&rver", "FireBird/IBase &user name and password", false, true, true,
     false, false, false, true, true, true, false, true},
    {T::PostgreSQL, "Se&rver", "PostgreSQL &user name and password", false, true, true, false, false, false,
     true, true, false, true, false},
    {T::SQLiteFile, "File pa&th", "&User name and password", false, false, true, true, false, true, false,
     false, false, false, false},
};

// A profile whose types all open with the second radio and a database.
MemoryProfileStore SecondRadioProfile() {
    MemoryProfileStore profile;
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        profile.WriteInt(kLoginSettings, "Authentication" + std::to_string(t) + "AuthType", 1);
        profile.WriteString(kLoginSettings, "ServersList" + std::to_string(t) + "Use database", "shop");
    }
    return profile;
}

} // namespace

TEST(ConnectDialogModel, EachTypeLabelsAndEnablesItsControls) {
    MemoryProfileStore profile = SecondRadioProfile();
    ConnectDialogModel model(profile);
    model.Open();
    for (const StateRow& row : kStateRows) {
        model.ChooseType(row.type);
        const ConnectControlStates& s = model.States();
        const int t = static_cast<int>(row.type);
        EXPECT_EQ(s.serverLabel, row.serverLabel) << t;
        EXPECT_EQ(s.secondAuthenticationText, row.secondRadio) << t;
        EXPECT_EQ(s.authenticationEnabled, row.radios) << t;
        EXPECT_EQ(s.loginEnabled, row.login) << t;
        EXPECT_EQ(s.serverEnabled, row.server) << t;
        EXPECT_EQ(s.serverBrowseEnabled, row.serverBrowse) << t;
        EXPECT_EQ(s.useLocalEnabled, row.useLocal) << t;
        EXPECT_EQ(s.useLocalVisible, row.useLocalVisible) << t;
        EXPECT_EQ(s.databaseEnabled, row.database) << t;
        EXPECT_EQ(s.databaseWide, row.databaseWide) << t;
        EXPECT_EQ(s.databaseBrowseVisible, row.databaseBrowse) << t;
        EXPECT_EQ(s.portEnabled, row.port) << t;
        EXPECT_EQ(s.charsetRoleEnabled, row.charsetRole) << t;
        // A file type waits for its path (no server text in this profile).
        EXPECT_EQ(s.okEnabled, row.type != T::MSAccess && row.type != T::SQLiteFile) << t;
        // Types without the choice show both radios unchecked.
        EXPECT_EQ(model.Choice().userAndPassword, row.radios) << t;
        EXPECT_FALSE(model.WindowsAuthentication()) << t;
        // Only the types with a database box keep its text.
        EXPECT_EQ(model.Choice().database, row.database ? "shop" : "") << t;
    }
}

TEST(ConnectDialogModel, OptionsChangeTheStatesTheyGovern) {
    MemoryProfileStore profile;
    ConnectDialogModel model(profile);
    model.Open();
    ASSERT_EQ(model.Type(), T::MicrosoftSQL);
    EXPECT_TRUE(model.WindowsAuthentication()) << "AuthType 0 by default";
    EXPECT_FALSE(model.States().loginEnabled);
    EXPECT_EQ(model.Choice().user, "");

    model.ChooseAuthentication(true);
    EXPECT_TRUE(model.States().loginEnabled);
    EXPECT_EQ(model.Choice().user, "sa") << "UserId's default";
    model.ChooseAuthentication(false);
    EXPECT_FALSE(model.States().loginEnabled);
    EXPECT_EQ(model.Choice().user, "");

    model.SetUseLocalServer(true);
    EXPECT_FALSE(model.States().serverEnabled);
    EXPECT_FALSE(model.States().serverBrowseEnabled);
    model.SetUseLocalServer(false);
    EXPECT_TRUE(model.States().serverBrowseEnabled);

    // OK waits for what the type connects to: MySQL a database, a file type its path.
    model.ChooseType(T::MySQL);
    EXPECT_FALSE(model.States().okEnabled);
    model.SetDatabase("shop");
    EXPECT_TRUE(model.States().okEnabled);
    model.ChooseType(T::SQLiteFile);
    model.SetServer("");
    EXPECT_FALSE(model.States().okEnabled);
    model.SetServer("/tmp/shop.sqlite");
    EXPECT_TRUE(model.States().okEnabled);
    model.ChooseType(T::MySQL);
    model.SetUseLocalServer(true);
    EXPECT_FALSE(model.States().serverEnabled);

    // Autocommit: a choice for MySQL too (its default is off: FreshProfileDefaults).
    EXPECT_TRUE(model.States().autocommitEnabled);

    // A type without the radios ignores a click on them.
    model.ChooseType(T::InterbaseFirebird);
    model.ChooseAuthentication(true);
    EXPECT_FALSE(model.Choice().userAndPassword);
    EXPECT_FALSE(model.WindowsAuthentication());
}

TEST(ConnectDialogModel, ListsLoadOnlyNamesFollowedBySemicolonOnceEach) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"alpha;beta;gamma", {"alpha", "beta"}}, {"alpha;beta;gamma;", {"alpha", "beta", "gamma"}},
        {"alpha;ALPHA;Beta;beta;", {"alpha", "Beta"}}, {";;alpha;;", {"alpha"}}, {"", {}}, {"no semicolon", {}},
    };
    for (const auto& [stored, names] : rows) {
        std::vector<std::string> items;
        AddStoredItems(items, stored);
        EXPECT_EQ(items, names) << stored;
    }

    MemoryProfileStore profile;
    profile.WriteInt(kLoginSettings, "ConnectionType", 3);
    profile.WriteString(kLoginSettings, "ServersList3LastValue", "db2");
    profile.WriteString(kLoginSettings, "ServersList3ListItems", "db1;db2;db3");
    profile.WriteString(kLoginSettings, "ServersList3DatabaseItems", "shop;stock;");
    ConnectDialogModel model(profile);
    model.Open();
    EXPECT_EQ(model.Type(), T::MySQL);
    EXPECT_EQ(model.Servers(), (std::vector<std::string>{"db1", "db2"}));
    EXPECT_EQ(model.Choice().server, "db2");
    EXPECT_EQ(model.Databases(), (std::vector<std::string>{"shop", "stock"}));
}

TEST(ConnectDialogModel, OkAddsANewServerAtTheEndAndStoresTheType) {
    MemoryProfileStore profile;
    profile.WriteInt(kLoginSettings, "ConnectionType", 3);
    profile.WriteString(kLoginSettings, "ServersList3ListItems", "db1;db2;");
    ConnectDialogModel model(profile);
    model.Open();
    model.SetServer("DB1");
    model.SetDatabase("shop");
    model.Accept();
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList3ListItems", "?"), "db1;db2;")
        << "a name already listed, in another case, is not added";

    model.SetServer("new-host");
    ConnectionRequest request = model.Accept();
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList3ListItems", "?"), "db1;db2;new-host;");
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList3LastValue", "?"), "new-host");
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList3DatabaseItems", "?"), "shop;")
        << "the database typed is stored after the list";
    EXPECT_EQ(request.connectionString,
              "DRIVER={MySQL ODBC 3.51 Driver};SERVER=new-host;Port=3306;Option=131072;Stmt=;Database=shop;UID=root;PWD=;");

    ConnectDialogModel reopened(profile);
    reopened.Open();
    EXPECT_EQ(reopened.Servers(), (std::vector<std::string>{"db1", "db2", "new-host"}));
    EXPECT_EQ(reopened.Servers().back(), "new-host") << "it stays at the end";
}

TEST(ConnectDialogModel, ProfileRoundTripOfEveryType) {
    MemoryProfileStore profile;
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        const T type = static_cast<T>(t);
        ConnectDialogModel model(profile);
        model.Open();
        model.ChooseType(type);
        model.ChooseAuthentication(true);
        model.SetServer("server" + std::to_string(t));
        model.SetDatabase("db" + std::to_string(t));
        model.SetUser("user" + std::to_string(t));
        model.SetPassword("secret");
        model.SetPort("40" + std::to_string(t));
        model.SetCharset("cs" + std::to_string(t));
        model.SetRole("role" + std::to_string(t));
        model.SetUseLocalServer(true);
        model.SetAutocommit(t % 2 == 0);
        model.Accept();
    }
    EXPECT_EQ(profile.GetInt(kLoginSettings, "ConnectionType", -1), 7);
    EXPECT_EQ(profile.GetString(kLoginSettings, "Authentication0UserId", "?"), "user0");
    EXPECT_EQ(profile.GetInt(kLoginSettings, "Authentication0AuthType", -1), 1);
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList3Port", "?"), "403");
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList5Charset", "?"), "cs5");
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList5Role", "?"), "role5");
    EXPECT_EQ(profile.GetInt(kLoginSettings, "ServersList0Use Local instance", -1), 1);
    EXPECT_EQ(profile.GetInt("Execution Settings", "Autocommit7", -1), 0);
    EXPECT_EQ(profile.GetString(kLoginSettings, "ServersList1Port", "none"), "none")
        << "only types with a port";

    for (int t = 0; t < kConnectionTypeCount; ++t) {
        const T type = static_cast<T>(t);
        ConnectDialogModel model(profile);
        model.Open();
        model.ChooseType(type);
        const ConnectionChoice& c = model.Choice();
        const std::string n = std::to_string(t);
        EXPECT_EQ(c.server, "server" + n) << t;
        EXPECT_EQ(model.Servers(), std::vector<std::string>{"server" + n}) << t;
        const bool keepsDatabase = type == T::MicrosoftSQL || type == T::MySQL ||
                                   type == T::InterbaseFirebird || type == T::PostgreSQL;
        EXPECT_EQ(c.database, keepsDatabase ? "db" + n : "") << t;
        EXPECT_EQ(c.useLocalServer, type == T::MicrosoftSQL || type == T::MySQL) << t;
        EXPECT_EQ(c.port, type == T::MySQL || type == T::PostgreSQL ? "40" + n : "") << t;
        EXPECT_EQ(c.charset, type == T::InterbaseFirebird ? "cs5" : "") << t;
        EXPECT_EQ(c.role, type == T::InterbaseFirebird ? "role5" : "") << t;
        // Interbase/Firebird, stored after Microsoft SQL, wrote the value the two share.
        const bool sharesDigitZero = type == T::MicrosoftSQL || type == T::InterbaseFirebird;
        EXPECT_EQ(model.Autocommit(), sharesDigitZero ? false : t % 2 == 0) << t;
        EXPECT_EQ(c.user, type == T::SQLiteFile ? "" : "user" + n) << t;
        const bool radios = t <= 4;
        EXPECT_EQ(c.userAndPassword, radios) << t;
        EXPECT_EQ(c.password, "") << t;
    }
}

TEST(ConnectDialogModel, FreshProfileDefaults) {
    MemoryProfileStore profile;
    ConnectDialogModel model(profile);
    model.Open();
    model.ChooseType(T::InterbaseFirebird);
    EXPECT_EQ(model.Choice().user, "SYSADM");
    model.ChooseType(T::PostgreSQL);
    EXPECT_EQ(model.Choice().user, "postgres");
    EXPECT_EQ(model.Choice().port, "5432");
    EXPECT_TRUE(model.Autocommit());
    model.ChooseType(T::MySQL);
    EXPECT_EQ(model.Choice().port, "3306");
    EXPECT_FALSE(model.Autocommit()) << "MySQL runs without autocommit unless set";
    EXPECT_EQ(model.Choice().user, "root") << "user and password by default, but for SQL Server";

    // A stored type no radio stands for opens on the first.
    profile.WriteInt(kLoginSettings, "ConnectionType", 12);
    ConnectDialogModel odd(profile);
    odd.Open();
    EXPECT_EQ(odd.Type(), T::MicrosoftSQL);
}

TEST(ConnectDialogModel, FocusGoesToWhatTheLoginStillNeeds) {
    MemoryProfileStore profile;
    ConnectDialogModel model(profile);
    model.Open();
    EXPECT_EQ(model.Focus(), ConnectFocus::Unchanged) << "Windows authentication";
    model.ChooseAuthentication(true);
    EXPECT_EQ(model.Focus(), ConnectFocus::Password) << "the login name is filled in";
    model.SetUser("");
    EXPECT_EQ(model.Focus(), ConnectFocus::LoginName);
    model.ChooseType(T::InterbaseFirebird);
    EXPECT_EQ(model.Focus(), ConnectFocus::Unchanged);
    model.ChooseType(T::PostgreSQL);
    EXPECT_EQ(model.Focus(), ConnectFocus::Password);
    model.ChooseType(T::SQLiteFile);
    EXPECT_EQ(model.Focus(), ConnectFocus::Unchanged);
}

TEST(ConnectDialogModel, DriverNoticeNamesTheMissingDriver) {
    const std::vector<std::string> installed = {"SQLite3", "PostgreSQL Unicode", "MySQL ODBC 3.51 Driver"};
    EXPECT_EQ(DriverNotice(T::SQLiteFile, installed), "");
    EXPECT_EQ(DriverNotice(T::MySQL, installed), "");
    EXPECT_EQ(DriverNotice(T::DataSourceName, installed), "") << "a data source names its own driver";
    EXPECT_EQ(DriverNotice(T::MicrosoftSQL, installed),
              "The ODBC driver \"SQL Server\" is not registered with the driver manager.");
    EXPECT_EQ(DriverNotice(T::PostgreSQL, {}),
              "The ODBC driver \"PostgreSQL Unicode\" is not registered with the driver manager.");
}

TEST(ConnectDialogModel, BrowseButtonsPerType) {
    EXPECT_EQ(ServerBrowseOf(T::MicrosoftSQL), ServerBrowse::SelectServer);
    EXPECT_STREQ(BrowseDriverText(T::MicrosoftSQL), "DRIVER={SQL Server}");
    EXPECT_EQ(ServerBrowseOf(T::Oracle), ServerBrowse::SelectServer);
    EXPECT_STREQ(BrowseDriverText(T::Oracle), "Oracle ODBC Driver");
    EXPECT_EQ(ServerBrowseOf(T::DataSourceName), ServerBrowse::DataSourceAdministrator);
    EXPECT_EQ(ServerBrowseOf(T::MSAccess), ServerBrowse::ChooseFile);
    EXPECT_STREQ(ServerFileFilter(T::MSAccess), "MS Access database files (*.mdb)");
    EXPECT_EQ(ServerBrowseOf(T::SQLiteFile), ServerBrowse::ChooseFile);
    for (T none : {T::MySQL, T::InterbaseFirebird, T::PostgreSQL})
        EXPECT_EQ(ServerBrowseOf(none), ServerBrowse::None);
}
