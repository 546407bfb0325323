#include "db/ConnectionString.h"

#include "core/CaseFold.h"
#include "db/DriverRegistry.h"

namespace marlix {
namespace {

bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

// "UID=user;PWD=password;", the credentials part most types share.
std::string Credentials(const ConnectionChoice& c) {
    return "UID=" + ConnectionValue(c.user) + ";PWD=" + ConnectionValue(c.password) + ";";
}

std::string DriverName(const ConnectionChoice& c) {
    return c.driver.empty() ? std::string(DriverOf(c.type)) : c.driver;
}

std::string MicrosoftSQL(const ConnectionChoice& c) {
    std::string s = "DRIVER={SQL Server};SERVER=";
    s += c.useLocalServer ? std::string("(local)") : ConnectionValue(c.server);
    s += ";";
    if (!c.database.empty()) s += "Database=" + ConnectionValue(c.database) + ";";
    s += c.userAndPassword ? Credentials(c) : std::string("Trusted_Connection=yes");
    return s;
}

std::string Oracle(const ConnectionChoice& c) {
    std::string s = "DRIVER={Oracle ODBC Driver};DBQ=" + ConnectionValue(c.server) + ";DBA=W;";
    s += c.userAndPassword ? Credentials(c) : std::string("UID=/;");
    return s;
}

std::string MySQL(const ConnectionChoice& c) {
    std::string s = "DRIVER={" + DriverName(c) + "};SERVER=";
    if (c.useLocalServer) {
        s += "localhost;Option=16834";
        if (!c.port.empty()) s += ";Port=" + ConnectionValue(c.port);
    } else {
        s += ConnectionValue(c.server);
        s += c.port.empty() ? std::string(";Port=3306") : ";Port=" + ConnectionValue(c.port);
        s += ";Option=131072;Stmt=";
    }
    s += ";Database=" + ConnectionValue(c.database) + ";";
    if (c.userAndPassword) s += Credentials(c);
    return s;
}

std::string MSAccess(const ConnectionChoice& c) {
    std::string s = "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=" + ConnectionValue(c.server) + ";";
    if (!c.userAndPassword) return s + "UID=admin;PWD=";
    // The workgroup file sits beside the database: "shop.mdb" has "shop.mdw". An empty path has
    // no last character to replace.
    std::string workgroup = c.server.empty() ? std::string() : c.server.substr(0, c.server.size() - 1);
    return s + "SystemDB=" + ConnectionValue(workgroup + "w") + ";" + Credentials(c);
}

std::string InterbaseFirebird(const ConnectionChoice& c) {
    std::string s =
        "DRIVER={Firebird/InterBase(r) driver};DBNAME=" + ConnectionValue(c.server + ":" + c.database) + ";" +
        Credentials(c);
    if (!c.charset.empty()) s += "CHARSET=" + ConnectionValue(c.charset) + ";";
    if (!c.role.empty()) s += "ROLE=" + ConnectionValue(c.role) + ";";
    return s;
}

std::string PostgreSQL(const ConnectionChoice& c) {
    return "DRIVER={" + DriverName(c) + "};Server=" + ConnectionValue(c.server) +
           ";Port=" + ConnectionValue(c.port.empty() ? std::string("5432") : c.port) +
           ";Database=" + ConnectionValue(c.database) + ";" + Credentials(c);
}

std::string SQLiteFile(const ConnectionChoice& c) {
    return "DRIVER={" + DriverName(c) + "};Database=" + ConnectionValue(c.server) + ";";
}

// Whether the type's connection carries the login name and password of the dialog.
bool UsesCredentials(const ConnectionChoice& c) noexcept {
    switch (c.type) {
    case ConnectionType::InterbaseFirebird:
    case ConnectionType::PostgreSQL:
        return true;
    case ConnectionType::SQLiteFile:
        return false;
    default:
        return c.userAndPassword;
    }
}

} // namespace

std::string ConnectionValue(std::string_view value) {
    const bool plain = value.find_first_of(";{}") == std::string_view::npos &&
                       (value.empty() || (!IsBlank(value.front()) && !IsBlank(value.back())));
    if (plain) return std::string(value);
    std::string braced = "{";
    for (char c : value) {
        braced += c;
        if (c == '}') braced += '}';
    }
    braced += '}';
    return braced;
}

std::string ConnectionAttribute(std::string_view connection, std::string_view key) {
    std::string found;
    size_t at = 0;
    while (at < connection.size()) {
        size_t equals = connection.find('=', at);
        if (equals == std::string_view::npos) break;
        std::string_view name = connection.substr(at, equals - at);
        while (!name.empty() && IsBlank(name.front()))
            name.remove_prefix(1);
        while (!name.empty() && IsBlank(name.back()))
            name.remove_suffix(1);
        std::string value;
        size_t end = equals + 1;
        if (end < connection.size() && connection[end] == '{') {
            // A braced value ends at a "}" that is not doubled.
            for (++end; end < connection.size(); ++end) {
                if (connection[end] == '}') {
                    if (end + 1 < connection.size() && connection[end + 1] == '}') {
                        value += '}';
                        ++end;
                        continue;
                    }
                    ++end;
                    break;
                }
                value += connection[end];
            }
            end = connection.find(';', end);
        } else {
            end = connection.find(';', end);
            value = std::string(connection.substr(
                equals + 1, end == std::string_view::npos ? std::string_view::npos : end - equals - 1));
        }
        if (EqualsFolded(name, key)) found = value;
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return found;
}

std::string_view DriverOf(ConnectionType type) noexcept {
    switch (type) {
    case ConnectionType::MicrosoftSQL:
        return "SQL Server";
    case ConnectionType::Oracle:
        return "Oracle ODBC Driver";
    case ConnectionType::DataSourceName:
        return {};
    case ConnectionType::MySQL:
        return "MySQL ODBC 3.51 Driver";
    case ConnectionType::MSAccess:
        return "Microsoft Access Driver (*.mdb)";
    case ConnectionType::InterbaseFirebird:
        return "Firebird/InterBase(r) driver";
    case ConnectionType::PostgreSQL:
        return "PostgreSQL Unicode";
    case ConnectionType::SQLiteFile:
        return "SQLite3";
    }
    return {};
}

std::string ChooseDriver(ConnectionType type, const std::vector<std::string>& installed) {
    const std::string own(DriverOf(type));
    if (own.empty() || DriverInstalled(installed, own)) return own;
    std::vector<std::string_view> servers;
    if (type == ConnectionType::MySQL) servers = {"MySQL", "MariaDB"};
    if (type == ConnectionType::PostgreSQL) servers = {"PostgreSQL"};
    if (type == ConnectionType::SQLiteFile) servers = {"SQLite3", "SQLite"};
    for (std::string_view server : servers) {
        const std::string* found = nullptr;
        for (const std::string& driver : installed) {
            if (!ContainsFolded(driver, server)) continue;
            if (!found || (ContainsFolded(driver, "Unicode") && !ContainsFolded(*found, "Unicode"))) found = &driver;
        }
        if (found) return *found;
    }
    return own;
}

ConnectionRequest BuildConnection(const ConnectionChoice& choice) {
    ConnectionRequest request;
    request.type = choice.type;
    request.title = choice.server;
    if (UsesCredentials(choice)) {
        request.user = choice.user;
        request.password = choice.password;
    }
    switch (choice.type) {
    case ConnectionType::MicrosoftSQL:
        request.connectionString = MicrosoftSQL(choice);
        break;
    case ConnectionType::Oracle:
        request.connectionString = Oracle(choice);
        break;
    case ConnectionType::DataSourceName:
        // SQLConnect takes the name, user and password as they are: no string to escape.
        request.connectionString = choice.server;
        break;
    case ConnectionType::MySQL:
        request.connectionString = MySQL(choice);
        break;
    case ConnectionType::MSAccess:
        request.connectionString = MSAccess(choice);
        break;
    case ConnectionType::InterbaseFirebird:
        request.connectionString = InterbaseFirebird(choice);
        break;
    case ConnectionType::PostgreSQL:
        request.connectionString = PostgreSQL(choice);
        break;
    case ConnectionType::SQLiteFile:
        request.connectionString = SQLiteFile(choice);
        break;
    }
    const bool local = choice.useLocalServer &&
                       (choice.type == ConnectionType::MicrosoftSQL || choice.type == ConnectionType::MySQL);
    if (local) request.title = kLocalServerTitle;
    return request;
}

} // namespace marlix
