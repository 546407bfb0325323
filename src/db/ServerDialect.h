#pragma once
// The dialect a script for the open connection's server is written in (View edits as SQL
// script): from the server's own name where the driver gives one, so that a PostgreSQL or SQLite
// server reached as a data source still gets its own literals; else from the connection type.
#include "core/CaseFold.h"
#include "core/ConversionDescription.h"
#include "db/ODBCSession.h"

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace marlix {

inline Dialect ServerDialect(ConnectionType type, std::string_view dbmsName) noexcept {
    struct Name {
        const char* part;
        Dialect dialect;
    };
    static constexpr Name kNames[] = {{"POSTGRES", Dialect::POSTGRESQL}, {"SQLITE", Dialect::SQLITE},
                                      {"MYSQL", Dialect::MYSQL},         {"MARIADB", Dialect::MYSQL},
                                      {"SQL SERVER", Dialect::MSSQL},    {"ORACLE", Dialect::ORACLE},
                                      {"FIREBIRD", Dialect::FIREBIRD},   {"INTERBASE", Dialect::FIREBIRD},
                                      {"ACCESS", Dialect::ACCESS}};
    for (const Name& name : kNames)
        if (ContainsFolded(dbmsName, name.part)) return name.dialect;
    switch (type) {
    case ConnectionType::MicrosoftSQL: return Dialect::MSSQL;
    case ConnectionType::Oracle: return Dialect::ORACLE;
    case ConnectionType::MySQL: return Dialect::MYSQL;
    case ConnectionType::MSAccess: return Dialect::ACCESS;
    case ConnectionType::InterbaseFirebird: return Dialect::FIREBIRD;
    case ConnectionType::PostgreSQL: return Dialect::POSTGRESQL;
    case ConnectionType::SQLiteFile: return Dialect::SQLITE;
    case ConnectionType::DataSourceName: break;
    }
    return Dialect::GENERIC;
}

// The dialect of the session's server; GENERIC when it is not connected. Asks the driver on the
// connection thread.
inline Dialect ServerDialectOf(CODBCSession& session) {
    if (!session.Connected()) return Dialect::GENERIC;
    const std::string dbms = session.Thread().Call([&session] {
        char text[256] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetInfo(session.Connection(), SQL_DBMS_NAME, text, sizeof text, &length);
        return SQL_SUCCEEDED(rc) ? std::string(text) : std::string();
    });
    return ServerDialect(session.Type(), dbms);
}

} // namespace marlix
