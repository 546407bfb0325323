#pragma once
// The words that name dialects and statement types in METADATA blocks (Syntax and Type), and
// the dialects' names on the settings tabs.
#include "core/ConversionDescription.h"

#include <string_view>

namespace marlix {

// Case-insensitive; any other text, "MSSQL" included, names MSSQL.
Dialect DialectFromName(std::string_view name) noexcept;
// "MSSQL", "ORACLE", "GENERIC", "ACCESS", "MYSQL", "FIREBIRD", "POSTGRESQL", "SQLITE"; a code
// outside 1..7 names MSSQL.
const char* DialectName(Dialect dialect) noexcept;
// "MS SQL", "Oracle", "Generic", "MS Access", "MySQL", "Interbase/Firebird", "PostgreSQL", "SQLite".
const char* DialectDisplayName(Dialect dialect) noexcept;

// Case-insensitive; any other text, "INSERT" included, names INSERT.
StatementType StatementTypeFromName(std::string_view name) noexcept;
// "SELECT", "INSERT", "INSERT_ARRAY", "UPDATE", "REPLACE", "DELETE", "LOAD", "UPSERT"; a code
// outside 1..7 names SELECT.
const char* StatementTypeName(StatementType type) noexcept;

} // namespace marlix
