#include "workspace/frame/CommandState.h"

namespace marlix {

bool CommandState::Enabled(Command command) const noexcept {
    // A running batch reads its own copy of the script, but every command that would change the
    // script, the connection or the results it is about to hand over waits until it has ended.
    const bool idle = !s_.batchRunning;
    switch (command) {
    case Command::New:
    case Command::Open:
        // A grid's unsaved edits belong to the script's results: no new script over them.
        return idle && !s_.gridEditsPending;
    // Save and Save As act on the active view: the script, or the Results text.
    case Command::Save:
        return s_.resultsViewActive ? !s_.resultsTextEmpty : s_.documentModified;
    case Command::SaveAs:
        return !s_.resultsViewActive || !s_.resultsTextEmpty;
    case Command::Copy:
    case Command::HelpTopics:
    case Command::Options: // its Apply and OK wait for a running batch themselves
        return true;
    case Command::SelectAll:
        return true;
    case Command::Undo:
        return idle && s_.canUndo;
    case Command::Cut:
        return idle && s_.editorSelection;
    case Command::Paste:
        return idle;
    case Command::Find:
        return !s_.textEmpty;
    case Command::Connect:
        return idle;
    case Command::Disconnect:
        return idle && s_.connected;
    case Command::Commit:
    case Command::Rollback:
        // With autocommit every statement has ended its own transaction.
        return idle && s_.connected && !s_.autocommit;
    case Command::ExecuteScript:
    case Command::ResultsToFile:
        return CanRun();
    case Command::ExecuteStatement:
        return CanRun() && !s_.editorSelection && s_.analysisCurrent;
    case Command::CancelExecution:
        return s_.batchRunning;
    case Command::OutputWizard:
        // On the block or statement at the caret, of a script analysed as it is now.
        return idle && s_.analysisCurrent && !s_.editorSelection;
    case Command::GridEdits:
        // Each of the four then asks the current grid (unsaved edits, a row to delete).
        return s_.connected && !s_.batchRunning && s_.currentResultSet;
    case Command::TruncateResults:
        return idle;
    case Command::ClearResults:
        return idle && s_.resultsPresent;
    case Command::ConvertTo:
    case Command::UseSyntaxOf:
        return idle && s_.currentResultSet;
    case Command::CopyConverted:
        return s_.currentResultSet;
    case Command::ResultsCopy:
    case Command::ResultsSave:
        return !s_.resultsTextEmpty;
    case Command::DatabaseBox:
        return idle && s_.connected &&
               (s_.serverType == ConnectionType::MicrosoftSQL || s_.serverType == ConnectionType::MySQL);
    case Command::SchemaBox:
    case Command::TargetPlatformBox:
        return idle && s_.connected;
    }
    return false;
}

std::string CommandState::TransactionStatus() const {
    if (!AsksToEndTransaction()) return {};
    return "Transaction open: " + std::to_string(s_.statementsSinceCommit) +
           " statement(s) since the last commit";
}

} // namespace marlix
