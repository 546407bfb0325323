#pragma once
// The ODBC catalog calls of the object tree, made on the connection thread: each returns the
// rows it read as plain values, and the reader turns them into records on the caller's thread.
// Names go to the pattern arguments escaped with the driver's search escape, and only rows whose
// names equal the names asked for are kept, so "a_b" never brings the columns of "axb".
#include <sql.h>
#include <sqlext.h>

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// How the connected driver names things, read once per reload.
struct DriverNaming {
    std::string searchEscape;          // SQL_SEARCH_PATTERN_ESCAPE; empty when the driver has none
    std::string identifierQuote;       // SQL_IDENTIFIER_QUOTE_CHAR; empty or " " when it has none
    int identifierCase = SQL_IC_MIXED; // how unquoted names are stored
    // The catalog every call names: the current database of drivers whose catalogs are
    // databases and that have no schemas (MariaDB, MySQL), which would otherwise list every
    // database's objects as this one's. Empty for the others.
    std::string catalog;
};

DriverNaming ReadDriverNaming(SQLHDBC connection);

// `name` for a pattern argument: '_', '%' and the escape itself preceded by the escape.
std::string EscapePattern(std::string_view name, std::string_view escape);

// What a read brought before it ended; `failure` holds the error that ended it early, if any.
template <typename Row> struct CatalogRows {
    std::vector<Row> rows;
    std::exception_ptr failure;
};

struct TableRow {
    std::string name;
    std::string schema; // empty when NULL
    std::string catalog;
};

struct ColumnRow {
    std::string name;
    std::string label; // name, type, size, nullability as the tree shows them
};

struct ProcedureRow {
    std::string name; // PROCEDURE_NAME as returned
    std::string schema;
    std::string catalog;
};

struct ParameterRow {
    std::string name; // empty for a function's return value
    std::string label;
    int ordinal = -1; // ORDINAL_POSITION; -1 when the driver gives none
};

// SQLTables for one table type in `schema` (empty: every schema). Throws CODBCException for the
// connection when the call fails; a failing fetch ends the rows with `failure` set.
CatalogRows<TableRow> QueryTables(SQLHDBC connection, const DriverNaming& naming, const std::string& schema,
                                  const std::string& tableType);

// SQLPrimaryKeys with plain names. Empty when the driver cannot tell.
std::vector<std::string> QueryPrimaryKeys(SQLHDBC connection, const std::string& catalog,
                                          const std::string& schema, const std::string& table);

// SQLColumns of exactly this table. Throws when the call fails.
CatalogRows<ColumnRow> QueryColumns(SQLHDBC connection, const DriverNaming& naming,
                                    const std::string& catalog, const std::string& schema,
                                    const std::string& table);

// SQLProcedures of every schema. No rows, and no error, when the driver cannot list them.
CatalogRows<ProcedureRow> QueryProcedures(SQLHDBC connection, const DriverNaming& naming);

// SQLProcedureColumns of exactly this procedure (every overload of its name). Throws when the call
// fails.
CatalogRows<ParameterRow> QueryParameters(SQLHDBC connection, const DriverNaming& naming,
                                          const std::string& catalog, const std::string& schema,
                                          const std::string& procedure);

// The schemas of the database, as SQLTables lists them for schema "%".
CatalogRows<std::string> QuerySchemas(SQLHDBC connection);

// The label of a column: "NAME type", " (size)" for the character types, " (precision,scale)" for
// the exact numeric types, then ", NOT NULL" or ", NULL". A size the server already writes in its
// type's name ("varchar(30)"), or that a driver gives a type the server does not size (a boolean
// delivered as characters), is not written again.
std::string ColumnLabel(std::string_view name, std::string_view typeName, int dataType, long columnSize,
                        int decimalDigits, int nullable);
// The label of a parameter: "NAME type", its direction, then " (size)" for SQL_CHAR and SQL_VARCHAR
// (" (precision,scale)" for the exact numeric types), by the same rules.
std::string ParameterLabel(std::string_view name, std::string_view typeName, int columnType, int dataType,
                           long columnSize, int decimalDigits);

} // namespace marlix
