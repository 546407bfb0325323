#pragma once
// What each target dialect makes of a statement type: whether values are written exactly,
// whether long columns are carried, how many rows a statement holds, how a transaction opens
// and closes, whether an upsert or key fields are needed, and the note on left-out columns.
#include "core/ConversionContext.h"
#include "core/ConversionDescription.h"

#include <cstdint>
#include <string>

namespace marlix {

class ResultSet;

// The statement types that name their rows by the key fields.
bool NeedsKeys(StatementType type) noexcept;
// The statement types whose statements CommitEvery counts; the text table and the loader forms
// are no statements to commit.
bool CommitsApply(StatementType type) noexcept;
// The targets whose drivers report ordinary text columns as long: their scripts write them.
bool OpenDatabaseTarget(Dialect dialect) noexcept;
// False for the targets without an insert-or-update statement (ACCESS, GENERIC).
bool HasUpsert(Dialect dialect) noexcept;
// The word that names a statement type in messages: UPDATE, DELETE, REPLACE, UPSERT, else INSERT.
const char* StatementTypeWord(StatementType type) noexcept;

// True when the values of the description's statements are written in their exact form: its
// Literals say EXACT, or they inherit and the target's setting says so.
bool UsesExactLiterals(const ConversionDescription& description, const ConversionContext& context);
// True when statements of this type carry long columns as well: the POSTGRESQL and SQLITE
// targets (whose drivers report ordinary text columns as long) and any exact script. The text
// table never shows them.
bool WritesLongColumns(const ConversionDescription& description, StatementType type,
                       const ConversionContext& context);
// The rows one statement of this type and dialect holds, from the description's Rows: only
// INSERT groups rows, MSSQL takes at most 1000 per statement, ORACLE's INSERT ALL at most 999
// values, ACCESS and FIREBIRD have no multi-row form. `columns` is the number of values per row.
int64_t RowsPerStatement(const ConversionDescription& description, StatementType type, Dialect dialect,
                         int columns);
// The statements that open and close one transaction of CommitEvery ("" where the dialect has
// none): the begin is needed where the target commits every statement on its own.
const char* BeginTransactionText(Dialect dialect) noexcept;
const char* CommitText(Dialect dialect) noexcept;

// The history's note on the long columns a statement type leaves out of a result set's
// statements in a dialect ("Warning: ...\r\n"); empty when it leaves none out.
std::string LeftOutColumnsWarning(const ResultSet& resultSet, StatementType type,
                                  const ConversionContext& context);

} // namespace marlix
