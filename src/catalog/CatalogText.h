#pragma once
// What the object browser turns a record into: names for the clipboard and for a drag, a column
// list, a SELECT statement, and the COLUMNS_UPDATED() mask of chosen columns. Names in SQL text
// are quoted where the server would not read them as written.
#include "catalog/CatalogNode.h"
#include "catalog/CatalogQueries.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// The quoting of names in generated SQL: the engine's rule (a name that is not a plain word, or
// is a keyword) and, besides, a name that the server would fold to another case when unquoted
// (mixed-case PostgreSQL names), quoted with the driver's identifier quote character.
class IdentifierQuoting {
public:
    IdentifierQuoting() = default; // quotes with '"', folds nothing
    explicit IdentifierQuoting(const DriverNaming& naming);

    bool NeedsQuoting(std::string_view name) const;
    // The name as SQL text: quoted when needed and possible, the quote character doubled inside.
    std::string Quote(std::string_view name) const;

private:
    std::string quote_ = "\"";
    int identifierCase_ = SQL_IC_MIXED;
};

// "schema.name" with each part quoted as needed; the name alone when there is no schema.
std::string QualifiedTableName(const CatalogTable& table, const IdentifierQuoting& quoting);

// Every table's qualified name, then every view's, as the wizard's source list offers them: the
// names as a statement writes them, which the wizard puts into the block and its SELECT.
std::vector<std::string> TableAndViewNames(const CatalogFolders& folders, const IdentifierQuoting& quoting);

// SELECT of every column of a loaded table with alias a, and the key columns as commented-out
// conditions:
//   SELECT\r\n\ta.ID, a.NAME\r\nFROM\r\n\tS.T a\r\n--WHERE\r\n--\ta.ID = ?\r\n;\r\n
std::string GenerateSelectText(const CatalogTable& table, const IdentifierQuoting& quoting);

// The column names in table order, joined by ", ".
std::string ColumnListText(const CatalogTable& table, const IdentifierQuoting& quoting);

// Copy name: the name of a table, column or parameter, the display name of a procedure; empty
// for the other kinds. Also the text a drag offers.
std::string CopyNameText(const CatalogNode& node);
// Copy SCHEMA.NAME: schema.name of a table or procedure (the name when there is no schema),
// TABLE.COLUMN of a column, the name of a parameter.
std::string CopySchemaNameText(const CatalogNode& node);

// The key column names in key order (byte order of the names), as the wizard's key text wants
// them: joined by "\r\n".
std::string KeyFieldText(const CatalogTable& table);

// The columns the COLUMNS_UPDATED() mask dialog lists: the first 32.
inline constexpr int kMaskColumns = 32;
// Sum of 2^i over the selected positions below 32 and below `entryCount`, built unsigned and read
// as the signed 32-bit value SQL Server compares with: the 32nd column alone gives -2147483648.
int32_t ColumnsUpdatedMask(const std::vector<int>& selectedPositions, int entryCount);

} // namespace marlix
