#pragma once
// Writes a result set's recorded edits to the database on the session's connection thread. The
// connection thread runs one task at a time, so a save never runs while a batch does; the window
// also disables the save while a batch runs, so that it does not wait for one.
#include <cstdint>
#include <string>

namespace marlix {

class CODBCSession;
class HistoryOutput;
class ResultSetEdits;

struct SaveEditsResult {
    bool saved = false;     // every statement ran (and was committed where needed)
    int64_t failedRow = -1; // display row of the record whose statement failed
    std::string error;      // the driver's diagnostics, or why the row failed
    int statements = 0;     // statements run
    int leftPending = 0;    // records that produced no statement and stay unsaved
};

// Runs the modification statements with parameter markers. With autocommit off (as the
// connection really is, not as the settings say) the save is one unit: a failure rolls back
// what this save ran and every record stays pending; success commits and reports
// "Transaction commited". With autocommit on, each record's statements are done once they ran.
// An UPDATE that finds no row fails; a DELETE that finds none counts as done.
SaveEditsResult SaveEdits(CODBCSession& session, ResultSetEdits& edits, HistoryOutput& history);

} // namespace marlix
