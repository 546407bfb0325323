#include "workspace/frame/RunCommands.h"

#include "catalog/KeySelectionModel.h"
#include "core/CaseFold.h"
#include "core/MemoryTextSink.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "db/ODBCSession.h"
#include "execution/AnalysisReport.h"
#include "grammar/TextFault.h"
#include "metadata/AnalysedScript.h"
#include "metadata/BlockEdits.h"
#include "metadata/StatementRecord.h"
#include "results/grid/GridPresentation.h"
#include "results/view/HistoryBridge.h"
#include "results/view/SQLResultsView.h"
#include "results/view/UserPrompts.h"
#include "transform/ResultSetEdits.h"
#include "transform/ScriptGenerator.h"
#include "transform/TargetStatements.h"
#include "workspace/browser/KeySelectionDialog.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/options/ExecutionSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QFileInfo>
#include <QStatusBar>

#include <algorithm>

namespace marlix {

namespace {

// Whether a statement the run is about to send creates, changes or drops an object: the object
// browser then lists what the script made without a refresh by hand.
bool ChangesDefinitions(const AnalysedScript& script, int caret) {
    const TokenView view = script.View();
    for (const StatementRecord& record : script.Statements()) {
        if (caret >= 0 &&
            !StatementHolds(view, record.firstToken, record.endToken, static_cast<size_t>(caret)))
            continue;
        for (size_t i = record.firstToken; i < record.endToken; ++i) {
            if (IsCommentLike(view.tokens[i].cls)) continue;
            const std::string_view word = view.text.substr(view.tokens[i].offset, view.tokens[i].length);
            for (std::string_view verb : {"CREATE", "ALTER", "DROP", "RENAME"})
                if (EqualsFolded(word, verb)) return true;
            break;
        }
    }
    return false;
}

} // namespace

RunCommands::RunCommands(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    FrameActions& actions = frame_.Actions();
    connect(actions.Action(Command::ExecuteScript), &QAction::triggered, this, &RunCommands::ExecuteScript);
    connect(actions.Action(Command::ExecuteStatement), &QAction::triggered, this,
            &RunCommands::ExecuteStatementAtCaret);
    connect(actions.ContextExecuteStatement(), &QAction::triggered, this,
            &RunCommands::ExecuteStatementAtMouse);
    connect(actions.Action(Command::ResultsToFile), &QAction::triggered, this, &RunCommands::ResultsToFile);
    connect(actions.Action(Command::CancelExecution), &QAction::triggered, this, &RunCommands::Cancel);
    connect(actions.Action(Command::Commit), &QAction::triggered, this, &RunCommands::Commit);
    connect(actions.Action(Command::Rollback), &QAction::triggered, this, &RunCommands::Rollback);
    for (QAction* a : actions.ConvertActions())
        connect(a, &QAction::triggered, this,
                [this, a] { ConvertTo(static_cast<StatementType>(a->data().toInt())); });
    for (QAction* a : actions.SyntaxActions())
        connect(a, &QAction::triggered, this,
                [this, a] { UseSyntaxOf(static_cast<Dialect>(a->data().toInt())); });
    for (QAction* a : actions.CopyAsActions())
        connect(a, &QAction::triggered, this,
                [this, a] { CopyConverted(static_cast<StatementType>(a->data().toInt())); });

    HistoryBridge& bridge = frame_.Bridge();
    connect(&bridge, &HistoryBridge::batchEnded, this, &RunCommands::BatchEnded);
    connect(&bridge, &HistoryBridge::resultSetStored, this, &RunCommands::ResultStored);
}

void RunCommands::ExecuteScript() {
    if (!frame_.Enabled(Command::ExecuteScript)) return;
    Run(-1, frame_.CurrentDialect(), std::string());
}

bool RunCommands::StatementAt(size_t offset) {
    const AnalysedScript& script = frame_.ScriptView().Script();
    if (StatementChosenAt(script.View(), script.Statements(), offset)) return true;
    // Nothing to run: no batch starts, so nothing of the last run's results is cleared either.
    frame_.statusBar()->showMessage(tr("No statement at the caret"), 5000);
    return false;
}

void RunCommands::ExecuteStatementAtCaret() {
    if (!frame_.Enabled(Command::ExecuteStatement)) return;
    const size_t caret = frame_.ScriptView().CaretOffset();
    if (!StatementAt(caret)) return;
    Run(static_cast<int>(caret), frame_.ScriptView().Script().SyntaxAt(caret, frame_.CurrentDialect()),
        std::string());
}

void RunCommands::ExecuteStatementAtMouse() {
    if (!frame_.Enabled(Command::ExecuteStatement)) return;
    const size_t at = frame_.ScriptView().RememberedOffset().value_or(frame_.ScriptView().CaretOffset());
    if (!StatementAt(at)) return;
    Run(static_cast<int>(at), frame_.ScriptView().Script().SyntaxAt(at, frame_.CurrentDialect()),
        std::string());
}

void RunCommands::ResultsToFile() {
    if (!frame_.Enabled(Command::ResultsToFile)) return;
    const QString path = frame_.Prompts().ChooseSaveFile(tr("Results to file"), QStringLiteral("*.sql"));
    if (!path.isEmpty()) ResultsToFilePath(path);
}

void RunCommands::ResultsToFilePath(const QString& path) {
    if (!frame_.Enabled(Command::ResultsToFile)) return;
    const QFileInfo chosen(path);
    const QString script = frame_.Document().Path();
    // Writing the results over the script they come from would destroy it.
    if (!script.isEmpty() &&
        (chosen.absoluteFilePath() == QFileInfo(script).absoluteFilePath() ||
         (chosen.exists() && chosen.canonicalFilePath() == QFileInfo(script).canonicalFilePath()))) {
        SayWhy(tr("The results cannot be written to %1: it is the open script.").arg(script));
        return;
    }
    if (chosen.exists() &&
        !frame_.Prompts().AskYesNo(
            tr("%1 already exists.\nDo you want to replace it?").arg(chosen.absoluteFilePath()),
            tr("Results to file")))
        return;
    Run(-1, frame_.CurrentDialect(), QFile::encodeName(chosen.absoluteFilePath()).toStdString());
}

bool RunCommands::Run(int caretOffset, Dialect dialect, const std::string& outputFile) {
    CDravelView& view = frame_.ScriptView();
    const AnalysedScript& script = view.Script();
    BatchRequest request;
    request.caretOffset = caretOffset;
    request.dialect = dialect;
    request.dialectSettings = frame_.ConversionSettings();
    request.outputFile = outputFile;
    // Include commands name files beside the script; an unsaved script's, in the working folder.
    if (!frame_.Document().Path().isEmpty())
        request.scriptFolder = QFile::encodeName(QFileInfo(frame_.Document().Path()).absolutePath()).toStdString();
    // A script whose text cannot run as written is refused with what its analysis found.
    if (FindTextFault(script.View())) {
        view.ClearErrorLine();
        ReportAnalysis(script, frame_.Bridge(), {});
        return false;
    }
    try {
        frame_.Execution().Start(script, request);
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
        return false;
    }
    definitionsChanged_ = ChangesDefinitions(script, caretOffset);
    // Marks taken now come before anything the batch reports: its reports are queued behind.
    frame_.ResultsView().MarkRunStart();
    view.ClearErrorLine();
    // The ignored attributes and the error in the blocks lead the run's history, as the runner
    // prints them; the error's line is marked.
    ReportAnalysis(script, frame_.Bridge(), {});
    // A result names its statement by where the statement's text begins for the batch: right
    // after the separator before it. The range followed is the statement's own text.
    runRanges_.clear();
    const TokenView tokens = script.View();
    for (const StatementRecord& record : script.Statements()) {
        const size_t textStart = record.firstToken == 0 ? 0 : tokens.tokens[record.firstToken - 1].End();
        runRanges_[textStart] = view.TrackRange(record.start, record.end);
    }
    frame_.UpdateCommands();
    return true;
}

void RunCommands::ResultStored(const std::shared_ptr<ResultSet>& resultSet) {
    const int position = resultSet->StatementPosition();
    if (position < 0) return;
    auto it = runRanges_.find(static_cast<size_t>(position));
    if (it != runRanges_.end()) resultRanges_[resultSet.get()] = it->second;
}

void RunCommands::BatchEnded() {
    if (!frame_.Execution().Running()) return;
    ExecutionController::Outcome outcome = frame_.Execution().Finish();
    const bool truncate = GetTruncateResults(frame_.Profile());
    try {
        BatchEnd end;
        end.failed = outcome.failed;
        end.resultSets = outcome.resultSets;
        end.output = std::move(outcome.output);
        frame_.ResultsView().ApplyBatchEnd(std::move(end), truncate);
        // A result a limit cut is named where the user looks after the run, not only in the history.
        const auto& all = frame_.ResultsView().ResultSets();
        const size_t ofRun = std::min(all.size(), static_cast<size_t>(std::max(outcome.resultSets, 0)));
        const std::string cut = CutResultsText(std::span(all).subspan(all.size() - ofRun));
        if (!cut.empty()) frame_.statusBar()->showMessage(QString::fromStdString(cut));
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
    }
    frame_.Connection().RefreshDatabaseList();
    if (definitionsChanged_) {
        frame_.ObjectBrowser().RefreshSchemaList();
        frame_.ObjectBrowser().Reload();
    }
    frame_.UpdateCommands();
}

void RunCommands::Cancel() {
    if (frame_.Enabled(Command::CancelExecution)) frame_.Execution().Cancel();
}

void RunCommands::CancelAndApply() {
    if (!frame_.Execution().Running()) return;
    frame_.Execution().Cancel();
    // The run's end arrives as a queued report; apply it before anything else happens.
    while (frame_.Execution().Running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
}

void RunCommands::Commit() {
    if (!frame_.Enabled(Command::Commit)) return;
    try {
        frame_.Session().Commit(frame_.Bridge());
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
    }
    frame_.UpdateCommands();
}

void RunCommands::Rollback() {
    if (!frame_.Enabled(Command::Rollback)) return;
    try {
        frame_.Session().Rollback(frame_.Bridge());
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
    }
    frame_.UpdateCommands();
}

void RunCommands::SayWhy(const QString& text) {
    frame_.Prompts().ShowMessage(text, QStringLiteral("Marlix"), MessageIcon::Information);
}

std::optional<size_t> RunCommands::StatementStart(const ResultSet& result) const {
    auto range = resultRanges_.find(&result);
    if (range == resultRanges_.end()) return std::nullopt;
    return frame_.ScriptView().TrackedStart(range->second);
}

const ScriptItem* RunCommands::ResultSetItemAt(size_t start) const {
    const AnalysedScript& script = frame_.ScriptView().Script();
    const StatementRecord* record = script.StatementAt(start);
    if (!record) return nullptr;
    const size_t index = static_cast<size_t>(record - script.Statements().data());
    for (const ScriptItem& candidate : script.ResultSetItems())
        if (candidate.statement == index) return &candidate;
    return nullptr;
}

bool RunCommands::AskKeys(ResultSet& result, StatementType blockType) {
    KeySelectionModel model(KeySelectionStartFor(result.Description(), ResultSetEdits::Of(result).Analysis()),
                            frame_.ObjectBrowser().Columns());
    if (!AskKeyFields(model, &frame_)) return false;
    // Written into the block of the statement where it is now; a statement edited since it ran
    // keeps its text, and the choice holds for this result alone.
    const std::optional<size_t> start =
        result.StatementPosition() < 0 ? std::nullopt : StatementStart(result);
    if (start)
        frame_.ScriptView().ApplyEdit(KeyChoiceEdit(frame_.ScriptView().Script(), ResultSetItemAt(*start),
                                                    *start, result.Description(), blockType, model));
    result.Description().sourceTable = model.SourceText();
    result.Description().destinationTable = model.DestinationText();
    result.ChooseKeys(model.ChosenKeys());
    return true;
}

bool RunCommands::ConvertTo(StatementType type) {
    if (!frame_.Enabled(Command::ConvertTo)) return false;
    std::shared_ptr<ResultSet> result = frame_.ResultsView().CurrentResultSet();
    if (!result) return false;
    if (result->StatementPosition() < 0) {
        SayWhy(tr("This is the second or a later result of its statement: only the first result's "
                  "conversion can be written into the script."));
        return false;
    }
    const std::optional<size_t> start = StatementStart(*result);
    if (!start) {
        SayWhy(tr("The statement of this result was changed or removed since it ran. Run it again "
                  "to write its conversion into the script."));
        return false;
    }
    try {
        // A type that names its rows by key fields, for a result without them: the user chooses
        // them, and they go into the block with the type.
        if (NeedsKeys(type) && result->KeyColumns().empty()) {
            if (!AskKeys(*result, type)) return false;
        } else {
            frame_.ScriptView().ApplyEdit(WriteConversionChoice(
                frame_.ScriptView().Script(), ResultSetItemAt(*start), *start, result->Description(), type));
        }
        result->Description().type = type;
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
        return false;
    }
    UpdateChecks();
    return true;
}

bool RunCommands::UseSyntaxOf(Dialect dialect) {
    if (!frame_.Enabled(Command::UseSyntaxOf)) return false;
    try {
        frame_.ScriptView().ApplyEdit(ChangeSyntaxEdit(frame_.ScriptView().Script(), dialect));
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
        return false;
    }
    UpdateChecks();
    return true;
}

void RunCommands::CopyConverted(StatementType type) {
    std::shared_ptr<ResultSet> result = frame_.ResultsView().CurrentResultSet();
    if (!result) return;
    try {
        // Key fields the conversion needs are chosen first; the block keeps its type.
        if (NeedsKeys(type) && result->KeyColumns().empty() && !AskKeys(*result, result->Description().type))
            return;
        MemoryTextSink sink(MemoryTextSink::kClipboardSize);
        sink.SetGrowable(true);
        // In the syntax the script gives the result's statement now, else the Target platform's.
        ConversionContext context = frame_.TargetContext();
        if (auto range = resultRanges_.find(result.get()); range != resultRanges_.end())
            if (const std::optional<size_t> at = frame_.ScriptView().TrackedEnd(range->second))
                context.dialect = frame_.ScriptView().Script().SyntaxAt(*at, frame_.CurrentDialect());
        ConvertResultSet(*result, type, context, sink);
        QApplication::clipboard()->setText(
            QString::fromUtf8(sink.Data(), static_cast<qsizetype>(sink.Length())));
    } catch (const CSyntaxException& refused) {
        // A conversion the result cannot have (no key fields, no such statement in the target):
        // the clipboard keeps what it held. The refusal names the statement where it began when
        // it ran; the error marker goes where that statement is now, or nowhere once it is gone.
        std::optional<size_t> start = StatementStart(*result);
        if (start) {
            // On the statement's first word, not on the block or comment before it.
            for (const Token& token : frame_.ScriptView().Script().View().tokens)
                if (token.offset >= *start && !IsCommentLike(token.cls)) {
                    start = token.offset;
                    break;
                }
            frame_.ReportFailure(std::make_exception_ptr(
                CSyntaxException(static_cast<std::int32_t>(*start), refused.Message())));
        } else {
            frame_.Bridge().AppendText(refused.Message() + "\r\n", true);
        }
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
    }
}

void RunCommands::UpdateChecks() {
    std::shared_ptr<ResultSet> result = frame_.ResultsView().CurrentResultSet();
    const int type = result ? static_cast<int>(result->Description().type) : -1;
    for (QAction* a : frame_.Actions().ConvertActions())
        a->setChecked(a->data().toInt() == type);
    const Dialect dialect = frame_.ScriptView().Script().CurrentDialect().value_or(frame_.CurrentDialect());
    for (QAction* a : frame_.Actions().SyntaxActions())
        a->setChecked(a->data().toInt() == static_cast<int>(dialect));
}

} // namespace marlix
