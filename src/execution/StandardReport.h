#pragma once
// How every command and the batch runner report a failure: ODBC and syntax errors go to the
// Execution history with the error line marked, storage failures as internal errors, file and
// unknown failures as a message.
#include <exception>

namespace marlix {

class HistoryOutput;

// Reports the exception held by `failure`. An ODBC error marks the line of its position plus
// its diagnostic row number, and marks the running statement as failed.
void ReportFailure(std::exception_ptr failure, HistoryOutput& history);

} // namespace marlix
