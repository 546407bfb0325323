#pragma once
// How the server of the open connection reads a script, for the tokenizer: MySQL and MariaDB
// take backslash escapes inside every literal and run executable comments, PostgreSQL nests
// comments, SQLite ends a trigger at its END. The window and marlix-cli both ask here, so that
// a script is cut the same way in both.
#include "core/CaseFold.h"
#include "db/ODBCSession.h"
#include "grammar/Tokenizer.h"

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace marlix {

// A MySQL connection (type 3), or any other whose driver names its server MySQL or MariaDB
// (SQL_DBMS_NAME, e.g. "MySQL", "MariaDB", "5.5.5-10.11.6-MariaDB"); PostgreSQL and SQLite the
// same way (type 6 or "PostgreSQL", type 7 or "SQLite"). The client commands are those of the
// server's own client: psql, mysql or the sqlite3 shell.
inline TokenizerOptions TokenizerOptionsFor(ConnectionType type, std::string_view dbmsName) noexcept {
    const bool mysql =
        type == ConnectionType::MySQL || ContainsFolded(dbmsName, "MYSQL") || ContainsFolded(dbmsName, "MARIADB");
    const bool postgresql = type == ConnectionType::PostgreSQL || ContainsFolded(dbmsName, "POSTGRES");
    const bool sqlite = type == ConnectionType::SQLiteFile || ContainsFolded(dbmsName, "SQLITE");
    ClientCommands commands = ClientCommands::None;
    if (mysql)
        commands = ClientCommands::MySql;
    else if (postgresql)
        commands = ClientCommands::Psql;
    else if (sqlite)
        commands = ClientCommands::Sqlite;
    return TokenizerOptions{
        .backslashEscapes = mysql,
        .executableComments = mysql,
        .nestedComments = postgresql,
        .sqliteTriggers = sqlite,
        .clientCommands = commands,
    };
}

// The options for the session's connection; the default ones when it is not connected. Asks the
// driver on the connection thread.
inline TokenizerOptions TokenizerOptionsOf(CODBCSession& session) {
    if (!session.Connected()) return {};
    const std::string dbms = session.Thread().Call([&session] {
        char text[256] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetInfo(session.Connection(), SQL_DBMS_NAME, text, sizeof text, &length);
        return SQL_SUCCEEDED(rc) ? std::string(text) : std::string();
    });
    return TokenizerOptionsFor(session.Type(), dbms);
}

} // namespace marlix
