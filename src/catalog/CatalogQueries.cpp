#include "catalog/CatalogQueries.h"

#include "core/CaseFold.h"
#include "core/ODBCException.h"
#include "db/StatementHandle.h"

#include <algorithm>
#include <deque>

namespace marlix {
namespace {

// Names are bound far wider than any server's identifiers, so that no name arrives cut and then
// fails the comparison with the name asked for.
constexpr SQLLEN kNameBytes = 1024;
constexpr SQLLEN kSchemaListBytes = 1024;

StatementHandle AllocateOn(SQLHDBC connection) {
    StatementHandle statement(connection);
    if (!statement.Valid()) throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    return statement;
}

// The columns of a catalog result bound to buffers of their own, each with its length indicator:
// any of them may be NULL, and a NULL fetched into a column without one fails the fetch.
class BoundColumns {
public:
    explicit BoundColumns(SQLHSTMT statement) : statement_(statement) {}

    std::size_t Text(SQLUSMALLINT column, SQLLEN bytes) {
        Slot& slot = slots_.emplace_back();
        slot.text.resize(static_cast<std::size_t>(bytes));
        Bind(column, SQL_C_CHAR, slot.text.data(), bytes, slot);
        return slot.index;
    }
    std::size_t Short(SQLUSMALLINT column) {
        Slot& slot = slots_.emplace_back();
        Bind(column, SQL_C_SSHORT, &slot.smallValue, 0, slot);
        return slot.index;
    }
    std::size_t Integer(SQLUSMALLINT column) {
        Slot& slot = slots_.emplace_back();
        Bind(column, SQL_C_SLONG, &slot.value, 0, slot);
        return slot.index;
    }

    // SQL_NO_DATA at the end; false with `failure` set when the fetch failed.
    bool Fetch(std::exception_ptr& failure) {
        const SQLRETURN rc = SQLFetch(statement_);
        if (rc == SQL_NO_DATA) return false;
        if (!Succeeded(rc)) {
            failure = std::make_exception_ptr(CODBCException(SQL_HANDLE_STMT, statement_, 0));
            return false;
        }
        return true;
    }

    bool Null(std::size_t slot) const { return slots_[slot].indicator == SQL_NULL_DATA; }
    // The text of the fetched value; empty for NULL.
    std::string TextOf(std::size_t slot) const {
        const Slot& s = slots_[slot];
        if (s.indicator == SQL_NULL_DATA || s.indicator <= 0) return {};
        const SQLLEN room = static_cast<SQLLEN>(s.text.size()) - 1;
        const SQLLEN length = s.indicator == SQL_NO_TOTAL || s.indicator > room ? room : s.indicator;
        return std::string(s.text.data(), static_cast<std::size_t>(length));
    }
    long IntegerOf(std::size_t slot, long nullValue = 0) const {
        const Slot& s = slots_[slot];
        return s.indicator == SQL_NULL_DATA ? nullValue : s.value;
    }
    int ShortOf(std::size_t slot, int nullValue = 0) const {
        const Slot& s = slots_[slot];
        return s.indicator == SQL_NULL_DATA ? nullValue : s.smallValue;
    }

private:
    struct Slot {
        std::size_t index = 0;
        std::vector<char> text;
        SQLINTEGER value = 0;
        SQLSMALLINT smallValue = 0;
        SQLLEN indicator = SQL_NULL_DATA;
    };
    void Bind(SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER target, SQLLEN bytes, Slot& slot) {
        slot.index = slots_.size() - 1;
        if (!Succeeded(SQLBindCol(statement_, column, type, target, bytes, &slot.indicator)))
            throw CODBCException(SQL_HANDLE_STMT, statement_, 0);
    }

    SQLHSTMT statement_;
    std::deque<Slot> slots_; // a deque: the bound addresses stay where they are
};

// An optional text argument of a catalog function: null when empty.
struct Argument {
    explicit Argument(std::string value) : text(std::move(value)) {}
    SQLCHAR* Pointer() { return text.empty() ? nullptr : reinterpret_cast<SQLCHAR*>(text.data()); }
    SQLSMALLINT Length() const { return text.empty() ? 0 : static_cast<SQLSMALLINT>(text.size()); }
    std::string text;
};

Argument Pattern(const std::string& name, const DriverNaming& naming) {
    return Argument(EscapePattern(name, naming.searchEscape));
}

std::string InfoText(SQLHDBC connection, SQLUSMALLINT info) {
    char text[256] = {};
    SQLSMALLINT length = 0;
    if (!Succeeded(SQLGetInfo(connection, info, text, sizeof text, &length))) return {};
    return text;
}

} // namespace

DriverNaming ReadDriverNaming(SQLHDBC connection) {
    DriverNaming naming;
    naming.searchEscape = InfoText(connection, SQL_SEARCH_PATTERN_ESCAPE);
    naming.identifierQuote = InfoText(connection, SQL_IDENTIFIER_QUOTE_CHAR);
    SQLUSMALLINT identifierCase = SQL_IC_MIXED;
    if (Succeeded(SQLGetInfo(connection, SQL_IDENTIFIER_CASE, &identifierCase, 0, nullptr)))
        naming.identifierCase = identifierCase;
    SQLUINTEGER catalogUsage = 0, schemaUsage = 0;
    SQLGetInfo(connection, SQL_CATALOG_USAGE, &catalogUsage, 0, nullptr);
    SQLGetInfo(connection, SQL_SCHEMA_USAGE, &schemaUsage, 0, nullptr);
    if (catalogUsage != 0 && schemaUsage == 0) {
        char current[kNameBytes] = {};
        SQLINTEGER length = 0;
        if (Succeeded(
                SQLGetConnectAttr(connection, SQL_ATTR_CURRENT_CATALOG, current, sizeof current, &length)))
            naming.catalog = current;
    }
    return naming;
}

std::string EscapePattern(std::string_view name, std::string_view escape) {
    if (escape.empty()) return std::string(name);
    std::string out;
    out.reserve(name.size() + 8);
    for (std::size_t at = 0; at < name.size();) {
        if (name.compare(at, escape.size(), escape) == 0) {
            out.append(escape).append(escape);
            at += escape.size();
            continue;
        }
        if (name[at] == '_' || name[at] == '%') out.append(escape);
        out += name[at++];
    }
    return out;
}

CatalogRows<TableRow> QueryTables(SQLHDBC connection, const DriverNaming& naming, const std::string& schema,
                                  const std::string& tableType) {
    StatementHandle statement = AllocateOn(connection);
    // The catalog argument of SQLTables is a pattern too, unlike that of the other functions.
    Argument catalog = Pattern(naming.catalog, naming);
    Argument schemaPattern = Pattern(schema, naming);
    Argument type(tableType);
    if (!Succeeded(SQLTables(statement, catalog.Pointer(), catalog.Length(), schemaPattern.Pointer(),
                             schemaPattern.Length(), nullptr, 0, type.Pointer(), type.Length())))
        throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    BoundColumns row(statement);
    const std::size_t cat = row.Text(1, kNameBytes);
    const std::size_t schem = row.Text(2, kNameBytes);
    const std::size_t name = row.Text(3, kNameBytes);
    CatalogRows<TableRow> result;
    while (row.Fetch(result.failure)) {
        TableRow table{row.TextOf(name), row.TextOf(schem), row.TextOf(cat)};
        if (!schema.empty() && table.schema != schema) continue;
        if (!naming.catalog.empty() && table.catalog != naming.catalog) continue;
        result.rows.push_back(std::move(table));
    }
    return result;
}

std::vector<std::string> QueryPrimaryKeys(SQLHDBC connection, const std::string& catalog,
                                          const std::string& schema, const std::string& table) {
    StatementHandle statement = AllocateOn(connection);
    Argument cat(catalog), schem(schema), name(table);
    std::vector<std::string> keys;
    // Plain names: SQLPrimaryKeys reads no patterns. A driver that cannot tell gives no keys.
    if (!Succeeded(SQLPrimaryKeys(statement, cat.Pointer(), cat.Length(), schem.Pointer(), schem.Length(),
                                  name.Pointer(), name.Length())))
        return keys;
    BoundColumns row(statement);
    const std::size_t column = row.Text(4, kNameBytes);
    std::exception_ptr ignored;
    while (row.Fetch(ignored))
        if (!row.Null(column)) keys.push_back(row.TextOf(column));
    return keys;
}

CatalogRows<ColumnRow> QueryColumns(SQLHDBC connection, const DriverNaming& naming,
                                    const std::string& catalog, const std::string& schema,
                                    const std::string& table) {
    StatementHandle statement = AllocateOn(connection);
    Argument cat(catalog);
    Argument schemaPattern = Pattern(schema, naming);
    Argument tablePattern = Pattern(table, naming);
    if (!Succeeded(SQLColumns(statement, cat.Pointer(), cat.Length(), schemaPattern.Pointer(),
                              schemaPattern.Length(), tablePattern.Pointer(), tablePattern.Length(), nullptr,
                              0)))
        throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    BoundColumns row(statement);
    const std::size_t schem = row.Text(2, kNameBytes);
    const std::size_t tableName = row.Text(3, kNameBytes);
    const std::size_t name = row.Text(4, kNameBytes);
    const std::size_t dataType = row.Short(5);
    const std::size_t typeName = row.Text(6, kNameBytes);
    const std::size_t size = row.Integer(7);
    const std::size_t digits = row.Short(9);
    const std::size_t nullable = row.Short(11);
    CatalogRows<ColumnRow> result;
    while (row.Fetch(result.failure)) {
        if (row.TextOf(tableName) != table || (!schema.empty() && row.TextOf(schem) != schema)) continue;
        std::string columnName = row.TextOf(name);
        std::string label =
            ColumnLabel(columnName, row.TextOf(typeName), row.ShortOf(dataType), row.IntegerOf(size),
                        row.ShortOf(digits), row.ShortOf(nullable, SQL_NULLABLE_UNKNOWN));
        result.rows.push_back({std::move(columnName), std::move(label)});
    }
    return result;
}

CatalogRows<ProcedureRow> QueryProcedures(SQLHDBC connection, const DriverNaming& naming) {
    StatementHandle statement = AllocateOn(connection);
    Argument cat(naming.catalog);
    CatalogRows<ProcedureRow> result;
    if (!Succeeded(SQLProcedures(statement, cat.Pointer(), cat.Length(), nullptr, 0, nullptr, 0)))
        return result;
    BoundColumns row(statement);
    const std::size_t catalogName = row.Text(1, kNameBytes);
    const std::size_t schem = row.Text(2, kNameBytes);
    const std::size_t name = row.Text(3, kNameBytes);
    while (row.Fetch(result.failure))
        result.rows.push_back({row.TextOf(name), row.TextOf(schem), row.TextOf(catalogName)});
    return result;
}

CatalogRows<ParameterRow> QueryParameters(SQLHDBC connection, const DriverNaming& naming,
                                          const std::string& catalog, const std::string& schema,
                                          const std::string& procedure) {
    StatementHandle statement = AllocateOn(connection);
    Argument cat(catalog);
    Argument schemaPattern = Pattern(schema, naming);
    Argument procedurePattern = Pattern(procedure, naming);
    if (!Succeeded(SQLProcedureColumns(statement, cat.Pointer(), cat.Length(), schemaPattern.Pointer(),
                                       schemaPattern.Length(), procedurePattern.Pointer(),
                                       procedurePattern.Length(), nullptr, 0)))
        throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    BoundColumns row(statement);
    const std::size_t schem = row.Text(2, kNameBytes);
    const std::size_t procedureName = row.Text(3, kNameBytes);
    const std::size_t name = row.Text(4, kNameBytes);
    const std::size_t columnType = row.Short(5);
    const std::size_t dataType = row.Short(6);
    const std::size_t typeName = row.Text(7, kNameBytes);
    const std::size_t size = row.Integer(8);
    const std::size_t digits = row.Short(10);
    const std::size_t ordinal = row.Integer(18);
    CatalogRows<ParameterRow> result;
    while (row.Fetch(result.failure)) {
        if (row.TextOf(procedureName) != procedure || (!schema.empty() && row.TextOf(schem) != schema))
            continue;
        std::string parameter = row.TextOf(name);
        std::string label = ParameterLabel(parameter, row.TextOf(typeName), row.ShortOf(columnType),
                                           row.ShortOf(dataType), row.IntegerOf(size), row.ShortOf(digits));
        result.rows.push_back(
            {std::move(parameter), std::move(label), static_cast<int>(row.IntegerOf(ordinal, -1))});
    }
    return result;
}

CatalogRows<std::string> QuerySchemas(SQLHDBC connection) {
    StatementHandle statement = AllocateOn(connection);
    // Every argument given, as null-terminated texts: the ODBC form that lists the schemas.
    if (!Succeeded(SQLTables(statement, (SQLCHAR*)"", SQL_NTS, (SQLCHAR*)"%", SQL_NTS, (SQLCHAR*)"", SQL_NTS,
                             (SQLCHAR*)"", SQL_NTS)))
        throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    BoundColumns row(statement);
    const std::size_t schem = row.Text(2, kSchemaListBytes);
    CatalogRows<std::string> result;
    while (row.Fetch(result.failure)) {
        std::string schema = row.TextOf(schem);
        if (!schema.empty()) result.rows.push_back(std::move(schema));
    }
    return result;
}

namespace {

// " (size)" or " (precision,scale)" after the type's name, or nothing where the name holds its
// size already or the server gives the type none.
std::string SizeOfType(std::string_view typeName, int dataType, long columnSize, int decimalDigits,
                       bool wideCharacters) {
    if (typeName.find('(') != std::string_view::npos) return {};
    const bool characters = dataType == SQL_CHAR || dataType == SQL_VARCHAR ||
                            (wideCharacters && (dataType == SQL_WCHAR || dataType == SQL_WVARCHAR));
    if (characters) {
        // PostgreSQL's driver delivers bool as characters of five.
        if (EqualsFolded(typeName, "bool") || EqualsFolded(typeName, "boolean")) return {};
        return " (" + std::to_string(columnSize) + ")";
    }
    if ((dataType == SQL_NUMERIC || dataType == SQL_DECIMAL) && columnSize > 0)
        return " (" + std::to_string(columnSize) + "," + std::to_string(std::max(decimalDigits, 0)) + ")";
    return {};
}

} // namespace

std::string ColumnLabel(std::string_view name, std::string_view typeName, int dataType, long columnSize,
                        int decimalDigits, int nullable) {
    std::string label(name);
    label.append(" ").append(typeName);
    label.append(SizeOfType(typeName, dataType, columnSize, decimalDigits, true));
    label.append(nullable == SQL_NO_NULLS ? ", NOT NULL" : ", NULL");
    return label;
}

std::string ParameterLabel(std::string_view name, std::string_view typeName, int columnType, int dataType,
                           long columnSize, int decimalDigits) {
    std::string label(name);
    label.append(" ").append(typeName);
    switch (columnType) {
    case SQL_PARAM_INPUT:
        label.append(" [in]");
        break;
    case SQL_PARAM_INPUT_OUTPUT:
        label.append(" [in/out]");
        break;
    case SQL_RESULT_COL:
        label.append(" [data]");
        break;
    case SQL_PARAM_OUTPUT:
        label.append(" [out]");
        break;
    case SQL_RETURN_VALUE:
        label.append(" [retv]");
        break;
    default:
        break;
    }
    label.append(SizeOfType(typeName, dataType, columnSize, decimalDigits, false));
    return label;
}

} // namespace marlix
