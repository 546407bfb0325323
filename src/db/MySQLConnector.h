#pragma once
// What the session must know of MariaDB's (and MySQL's) Connector/ODBC. Without its
// multi-statement option the driver still counts the ";" inside a compound statement (a
// CREATE TRIGGER whose BEGIN ... END holds an IF ... END IF;) as statements of their own, runs the
// text as one, and then crashes in SQLMoreResults looking for the next. Without that option no
// text gives more than one result after a result without columns (a CALL ends with its status),
// so the batch asks for no more results there.
#include <sql.h>

#include <string>
#include <string_view>

namespace marlix {

struct ConnectionRequest;

// The OPTION flag that lets the server take several statements in one text.
inline constexpr unsigned long long kMultiStatementsOption = 67108864;

// Whether SQL_DRIVER_NAME names MariaDB's or MySQL's Connector/ODBC ("libmaodbc.so", "libmyodbc8a.so").
bool IsMySQLConnector(std::string_view driverFile) noexcept;

// `connectionString` with CONN_TIMEOUT=`seconds` added when it reaches one of those connectors
// (by DRIVER=, or the data source of DSN=) and names no CONN_TIMEOUT of its own: the connectors
// wait for the server's greeting as long as CONN_TIMEOUT says, whatever SQL_ATTR_LOGIN_TIMEOUT says.
std::string WithConnectorTimeout(const std::string& connectionString, int seconds);

// The OPTION flags the connection was asked for: the connection string's OPTION, else its data
// source's (DSN= of the string, or the data source name itself), else 0.
unsigned long long RequestedConnectorOptions(const ConnectionRequest& request);

// Whether results of a statement on this connection end at a result without columns: true for
// the connectors above without kMultiStatementsOption. Reads SQL_DRIVER_NAME of `connection`.
bool ResultsEndWithoutColumns(SQLHDBC connection, const ConnectionRequest& request);

} // namespace marlix
