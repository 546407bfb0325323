#pragma once
// The statements that write a result set's recorded edits back: per record and table one
// INSERT, UPDATE or DELETE. Each statement has two forms: the literal text the user reads in
// the modification script, and the same statement with parameter markers and the values they
// stand for, which is what runs, so values reach the database exactly as typed.
#include "core/CellStorage.h"
#include "core/TextSink.h"

#include <string>
#include <vector>

namespace marlix {

class ResultSetEdits;
struct RowEdit;

struct StatementParameter {
    int column = 0; // result column whose type the value has
    CellRef value;
};

struct ModificationStatement {
    enum class Kind { Insert, Update, Delete };
    Kind kind = Kind::Insert;
    int table = 0;
    std::string literalText; // statement end included
    std::string markerText;  // with '?' for every value
    std::vector<StatementParameter> parameters;
    // For an UPDATE: a query that finds the row by its key, to tell an unchanged row from a
    // vanished one when the server counts no row changed.
    std::string existsText;
    std::vector<StatementParameter> keyParameters;
};

// Builds the statement of `record` for `table`. False when the record needs none there (added
// and deleted again, nothing pending); `problem` then says why when it is a fault that keeps the
// record pending (a NULL key value, no key known).
// Without `withLiterals` the literal text lacks its values (a save only runs the marker form).
// With a `dialect` (a Dialect code) the literal text holds that dialect's exact literals and
// ends with ';', as its server's client runs it; without (-1), ODBC escape forms.
bool BuildModificationStatement(ResultSetEdits& edits, const RowEdit& record, int table,
                                ModificationStatement& statement, std::string& problem,
                                bool withLiterals = true, int dialect = -1);

// Writes the literal form of every unsaved record's statements, in order of creation, in
// `dialect` as BuildModificationStatement says.
void WriteModificationScript(ResultSetEdits& edits, TextSink& sink, int dialect = -1);

} // namespace marlix
