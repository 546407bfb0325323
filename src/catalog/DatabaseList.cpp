#include "catalog/DatabaseList.h"

#include "core/ODBCException.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"

#include <sql.h>
#include <sqlext.h>

namespace marlix {
namespace {

constexpr const char* kSqlServerDatabases =
    "select \tsd.name, \tis_default = CASE WHEN sd.name = DB_NAME() THEN 1 "
    "ELSE 0 END from \tmaster..sysdatabases sd";

StatementHandle AllocateOn(SQLHDBC connection) {
    StatementHandle statement(connection);
    if (!statement.Valid()) throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    return statement;
}

StatementHandle Execute(SQLHDBC connection, const std::string& sql) {
    StatementHandle statement = AllocateOn(connection);
    SQLRETURN rc = SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), static_cast<SQLINTEGER>(sql.size()));
    if (!Succeeded(rc) && rc != SQL_NO_DATA) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    return statement;
}

// The whole text of a character column of the fetched row, read in pieces so that no name is
// cut to a buffer. False when the driver fails; `text` is empty for NULL.
bool ReadText(SQLHSTMT statement, SQLUSMALLINT column, std::string& text) {
    text.clear();
    char piece[256];
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, piece, sizeof piece, &indicator);
        if (rc == SQL_NO_DATA) return true; // every piece has been read
        if (!Succeeded(rc)) return false;
        if (indicator == SQL_NULL_DATA) return true;
        const SQLLEN room = static_cast<SQLLEN>(sizeof piece) - 1;
        text.append(piece,
                    static_cast<size_t>(indicator == SQL_NO_TOTAL || indicator > room ? room : indicator));
        if (rc == SQL_SUCCESS) return true;
    }
}

bool ReadInteger(SQLHSTMT statement, SQLUSMALLINT column, SQLINTEGER& value) {
    SQLLEN indicator = 0;
    value = 0;
    if (!Succeeded(SQLGetData(statement, column, SQL_C_SLONG, &value, 0, &indicator))) return false;
    if (indicator == SQL_NULL_DATA) value = 0;
    return true;
}

DatabaseList SqlServerDatabases(SQLHDBC connection) {
    DatabaseList list;
    StatementHandle statement = Execute(connection, kSqlServerDatabases);
    std::string name;
    SQLINTEGER isDefault = 0;
    while (Succeeded(SQLFetch(statement))) {
        if (!ReadText(statement, 1, name) || !ReadInteger(statement, 2, isDefault)) break;
        if (isDefault == 1) list.selected = static_cast<int>(list.names.size());
        list.names.push_back(name);
    }
    return list;
}

DatabaseList MySqlDatabases(SQLHDBC connection) {
    std::string current;
    {
        StatementHandle statement = Execute(connection, "select database()");
        std::string value;
        while (Succeeded(SQLFetch(statement))) {
            if (!ReadText(statement, 1, value)) break;
            current = value;
        }
    }
    DatabaseList list;
    StatementHandle statement = Execute(connection, "show databases");
    std::string name;
    while (Succeeded(SQLFetch(statement))) {
        if (!ReadText(statement, 1, name)) break;
        if (!current.empty() && name == current) list.selected = static_cast<int>(list.names.size());
        list.names.push_back(name);
    }
    return list;
}

// The driver's identifier quote character: "`" for MySQL, "\"" for SQL Server, " " for none.
std::string IdentifierQuote(SQLHDBC connection) {
    char quote[16] = {};
    SQLSMALLINT length = 0;
    if (!Succeeded(SQLGetInfo(connection, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length)))
        throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    return quote;
}

} // namespace

DatabaseList LoadDatabaseList(CODBCSession& session) {
    return session.Thread().Call([&session]() -> DatabaseList {
        if (!session.Connected()) return {};
        switch (session.Type()) {
        case ConnectionType::MicrosoftSQL:
            return SqlServerDatabases(session.Connection());
        case ConnectionType::MySQL:
            return MySqlDatabases(session.Connection());
        default:
            return {};
        }
    });
}

std::string UseDatabaseText(const std::string& name, const std::string& quote) {
    if (quote.empty() || quote == " ") return "use " + name;
    std::string text = "use " + quote;
    for (size_t at = 0; at < name.size();) {
        if (name.compare(at, quote.size(), quote) == 0) {
            text += quote + quote;
            at += quote.size();
        } else {
            text += name[at++];
        }
    }
    return text + quote;
}

void UseDatabase(CODBCSession& session, const std::string& name) {
    session.Thread().Call([&] {
        SQLHDBC connection = session.Connection();
        Execute(connection, UseDatabaseText(name, IdentifierQuote(connection)));
    });
}

} // namespace marlix
