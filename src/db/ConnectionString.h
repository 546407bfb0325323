#pragma once
// The connection that the connect dialog's controls describe: for each server type the ODBC
// connection string handed to SQLDriverConnect, or for a data source name the name, user and
// password handed to SQLConnect.
#include "db/ODBCSession.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// What the connect dialog's controls hold when the user chooses OK.
struct ConnectionChoice {
    ConnectionType type = ConnectionType::MicrosoftSQL;
    std::string server; // the server box: server, instance, data source name or file path
    std::string database;
    bool useLocalServer = false;
    bool userAndPassword = false; // the second authentication radio (not Windows authentication)
    std::string user;
    std::string password;
    std::string port;
    std::string charset;
    std::string role;
    std::string driver; // the ODBC driver to name; empty: the type's own (DriverOf)
};

// The title of a connection built with the local server option.
inline constexpr const char* kLocalServerTitle = "Local server";

// The request that connects as `choice` says: type, connection string (or data source name),
// user and password, title.
ConnectionRequest BuildConnection(const ConnectionChoice& choice);

// `value` as one attribute value of a connection string. A value that holds ";", "{" or "}", or
// begins or ends with a blank, would end early or add attributes of its own: it is wrapped in
// braces with every "}" doubled. Any other value is returned as it is.
std::string ConnectionValue(std::string_view value);

// The value of attribute `key` (ignoring case) of a connection string, braces taken off; empty
// when the string has no such attribute. A later attribute of the same name wins, as in the
// driver manager.
std::string ConnectionAttribute(std::string_view connectionString, std::string_view key);

// The ODBC driver a server type's connection string names; empty for a data source name.
std::string_view DriverOf(ConnectionType type) noexcept;

// The driver a connection of `type` names, among the `installed` ones: the type's own when the
// driver manager has it; else, for MySQL, PostgreSQL and SQLite, the first installed driver of
// the same server (Debian registers "MariaDB Unicode", "PostgreSQL ANSI", "SQLite3" and others),
// Unicode before ANSI; else the type's own all the same (the connect then says it is missing).
std::string ChooseDriver(ConnectionType type, const std::vector<std::string>& installed);

} // namespace marlix
