#pragma once
// Column names as the generated scripts write them: the part after the last '.', quoted where
// the target dialect would not read it as a plain name.
#include "core/ColumnDescriptor.h"
#include "core/ConversionDescription.h"

#include <string>
#include <string_view>

namespace marlix {

// The part of a name after its last '.', or the whole name.
std::string_view ShortColumnName(std::string_view name) noexcept;

// True when a name must be quoted: it is empty, starts with a digit, holds a character other
// than an ASCII letter, digit, '_' or '$', or is an SQL keyword of the editor's table.
bool ColumnNameNeedsQuoting(std::string_view name);

// The same for names written into a dialect's scripts: POSTGRESQL and SQLITE also quote a
// leading '$', and POSTGRESQL a name with capital letters, which it would fold to lower case.
bool ColumnNameNeedsQuoting(std::string_view name, Dialect dialect);

// Appends the name quoted for the dialect: [name] for ACCESS, "name" for the others, the
// closing quote character doubled inside the name.
void AppendQuotedName(std::string_view name, Dialect dialect, std::string& out);

// The name written into scripts for this column and dialect. Built once per dialect and kept
// in the column (quotedFor, quotedName, quotedShortName). Exact scripts for MYSQL quote with
// backticks, which MySQL reads in any SQL mode; the historic double quotes need ANSI_QUOTES.
const std::string& QuotedColumnName(ColumnDescriptor& column, Dialect dialect, bool exact = false);

// A table name as the scripts write it: each part of a qualified name (schema.table) quoted as a
// column name would be, where the dialect would not read it as written (POSTGRESQL's capitals,
// blanks, keywords); a part given already quoted ("...", [...] or `...`) is kept as given.
std::string QuotedTableName(std::string_view name, Dialect dialect, bool exact = false);

} // namespace marlix
