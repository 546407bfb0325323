#pragma once
// Runs one statement of a batch and turns everything the server returns into output: TEXT
// blocks, informational messages, row counts, and result sets stored and converted as the
// statement's description asks.
#include "core/ConversionContext.h"

#include <sql.h>

#include <cstddef>
#include <string>

namespace marlix {

class Batch;
struct StatementRecord;

// `statementOffset` is where the statement's text begins in the script (just after the previous
// separator); its tokens are [firstToken, separatorToken); its text is [textStart, textEnd).
// Throws CODBCException when the statement cannot be allocated, executed, counted or advanced
// to its next result; a failure while fetching rows is reported and the statement goes on.
// Its results are converted in `context`.
void ExecuteStatement(Batch& batch, std::size_t statementOffset, std::size_t firstToken,
                      std::size_t separatorToken, std::size_t textStart, std::size_t textEnd,
                      const StatementRecord& record, const ConversionContext& context);

// "<n> row(s) affected\r\n" from SQLRowCount, or nothing when the driver does not report it.
std::string RowCountText(SQLHSTMT statement);

inline constexpr const char* kSeveralResultSetsWarning =
    "Warning: running statement returned more then one resultset. Quick conversion will be availiable "
    "for the first resultset only.";
inline constexpr const char* kCancelledMessage = "SQL Batch cancelled by user";

} // namespace marlix
