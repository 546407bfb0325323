#pragma once
// Execution commands: Execute Script, Execute Statement, Results to file, Cancel, Commit and
// Rollback; applying a batch's end; and the results view's write-backs into the script
// ("Convert to", "Use syntax of") and its "Copy as" conversions.
#include "core/ConversionDescription.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace marlix {

class CMainFrame;
class ResultSet;
struct ScriptItem;

class RunCommands final : public QObject {
    Q_OBJECT
public:
    explicit RunCommands(CMainFrame& frame);

    void ExecuteScript();
    // At the editor's caret (main menu, toolbar, Ctrl+Enter).
    void ExecuteStatementAtCaret();
    // At the position of the editor's last context-menu request.
    void ExecuteStatementAtMouse();
    void ResultsToFile();
    // Starts the results' writing into `path`; checks that it is not the open script.
    void ResultsToFilePath(const QString& path);
    void Cancel();
    void Commit();
    void Rollback();
    // Closing the window during a run: cancel, then wait until the run's end is applied.
    void CancelAndApply();

    // Write-backs of the results view for the current result set. False (with a message box
    // saying why) when the result cannot be written back. A type that names its rows by key
    // fields, for a result without them, asks for them first (key selection).
    bool ConvertTo(StatementType type);
    bool UseSyntaxOf(Dialect dialect);
    void CopyConverted(StatementType type);
    // Checks the current result set's type and the dialect in the menus.
    void UpdateChecks();

private:
    bool Run(int caretOffset, Dialect dialect, const std::string& outputFile);
    // Whether a statement is chosen at `offset`; the status bar says so when none is.
    bool StatementAt(size_t offset);
    void BatchEnded();
    void ResultStored(const std::shared_ptr<ResultSet>& resultSet);
    void SayWhy(const QString& text);
    // Where the result's statement begins now; none once it was edited or removed.
    std::optional<size_t> StatementStart(const ResultSet& result) const;
    const ScriptItem* ResultSetItemAt(size_t start) const;
    // Key selection for the result: on OK the keys hold for it and go into its statement's block,
    // whose TYPE becomes `blockType`. False when the user cancels.
    bool AskKeys(ResultSet& result, StatementType blockType);

    CMainFrame& frame_;
    bool definitionsChanged_ = false; // the running batch creates, alters or drops objects
    // Statement start in the running batch's copy of the script → its range tracked in the
    // editor; and each stored result set's tracked range.
    std::map<size_t, int> runRanges_;
    std::map<const ResultSet*, int> resultRanges_;
};

} // namespace marlix
