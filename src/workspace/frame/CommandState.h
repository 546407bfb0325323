#pragma once
// When each command of the window may run. The main frame feeds in what it knows (connection,
// running batch, the editor's and the results view's state) and reads one answer per command;
// menus, toolbar buttons and shortcuts all follow it, so a shortcut can never do what its
// disabled menu entry would refuse.
#include "db/ODBCSession.h"

#include <string>

namespace marlix {

// The commands of the window, numbered as in the menus.
enum class Command : int {
    New = 57600,
    Open = 57601,
    Save = 57603,
    SaveAs = 57604,
    Undo = 57643,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    SelectAll = 57642,
    Find = 57636,
    Connect = 32771,
    Disconnect = 32772,
    ExecuteScript = 32773,
    ExecuteStatement = 32792,
    ResultsToFile = 32821,
    CancelExecution = 32801,
    Commit = 32802,
    Rollback = 32803,
    OutputWizard = 32834,
    TruncateResults = 32796,
    ClearResults = 32798,
    ConvertTo = 32824,     // every "Convert to" entry: a write-back into the script
    UseSyntaxOf = 32789,   // every "Use syntax of" entry: a write-back into the script
    CopyConverted = 32829, // every "Copy as" / "Copy converted" entry
    ResultsCopy = 32791,   // Copy All of the Results text; Copy needs a selection (below)
    ResultsSave = 32900,   // Save / Save As of the Results text
    GridEdits = 32838,     // Save edits, Discard edits, View edits as SQL script, Delete Row
    Options = 32816,
    HelpTopics = 57667,
    DatabaseBox = 1012,
    SchemaBox = 1015,
    TargetPlatformBox = 1017,
};

struct WorkspaceState {
    bool connected = false;
    ConnectionType serverType = ConnectionType::MicrosoftSQL;
    bool autocommit = false;       // the connection commits each statement itself
    int statementsSinceCommit = 0; // an open transaction's statements that may have changed data
    bool batchRunning = false;
    // The editor.
    bool statementsReady = false;
    bool textEmpty = true;
    bool editorSelection = false;
    bool analysisCurrent = false;
    bool canUndo = false;
    bool documentModified = false;
    // The results view.
    bool resultsViewActive = false;
    bool resultsPresent = false;   // any text, grid or history entry
    bool currentResultSet = false; // a grid (or its result set) is chosen
    bool gridEditsPending = false; // a grid holds edits not saved to the database
    bool resultsTextSelection = false;
    bool resultsTextEmpty = true;
};

class CommandState {
public:
    explicit CommandState(const WorkspaceState& state) : s_(state) {}

    bool Enabled(Command command) const noexcept;
    // Copy in the results view needs a selection of the Results text.
    bool ResultsCopySelectionEnabled() const noexcept { return s_.resultsTextSelection; }

    // Ending the connection (Disconnect, another connection, closing) first asks whether to commit.
    bool AsksToEndTransaction() const noexcept {
        return s_.connected && !s_.autocommit && s_.statementsSinceCommit > 0;
    }
    // The status bar's note of an open transaction; empty when there is none.
    std::string TransactionStatus() const;

private:
    bool CanRun() const noexcept {
        return s_.connected && !s_.batchRunning && s_.statementsReady && !s_.textEmpty;
    }

    WorkspaceState s_;
};

} // namespace marlix
