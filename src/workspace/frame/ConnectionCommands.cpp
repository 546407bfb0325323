#include "workspace/frame/ConnectionCommands.h"

#include "catalog/DatabaseList.h"
#include "core/HistoryOutput.h"
#include "db/ODBCSession.h"
#include "db/ScriptQuoting.h"
#include "results/view/HistoryBridge.h"
#include "results/view/SQLResultsView.h"
#include "results/view/UserPrompts.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/SelectionBar.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace marlix {
namespace {

// The wait cursor for the length of a scope.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

ConnectionCommands::ConnectionCommands(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    connect(frame_.Actions().Action(Command::Connect), &QAction::triggered, this, [this] { Connect(); });
    connect(frame_.Actions().Action(Command::Disconnect), &QAction::triggered, this,
            &ConnectionCommands::Disconnect);
    SelectionBar& bar = frame_.Selection();
    connect(&bar, &SelectionBar::databaseChosen, this, &ConnectionCommands::ChooseDatabase);
    connect(&bar, &SelectionBar::schemaChosen, this, &ConnectionCommands::reloadCatalog);
    connect(&bar, &SelectionBar::targetPlatformChosen, this, &ConnectionCommands::ChooseTargetPlatform);
}

bool ConnectionCommands::Connect() {
    if (!frame_.Enabled(Command::Connect)) return frame_.Session().Connected();
    const std::optional<ConnectionRequest> request = frame_.Prompts().ChooseConnection();
    if (!request) {
        frame_.UpdateTitle();
        return frame_.Session().Connected();
    }
    return ConnectWith(*request);
}

bool ConnectionCommands::EndOpenTransaction() {
    if (!CommandState(frame_.State()).AsksToEndTransaction()) return true;
    const TransactionAnswer answer =
        frame_.Prompts().AskEndTransaction(frame_.Session().StatementsSinceCommit());
    if (answer == TransactionAnswer::Cancel) return false;
    try {
        if (answer == TransactionAnswer::Commit)
            frame_.Session().Commit(frame_.Bridge());
        else
            frame_.Session().Rollback(frame_.Bridge());
    } catch (...) {
        // The work is still open: the connection stays for the user to look.
        frame_.ReportFailure(std::current_exception());
        frame_.UpdateCommands();
        return false;
    }
    frame_.UpdateCommands();
    return true;
}

bool ConnectionCommands::ConnectWith(const ConnectionRequest& request) {
    if (!EndOpenTransaction()) return frame_.Session().Connected();
    // The connect runs on the connection thread; the window stays alive and offers Cancel.
    std::shared_ptr<ConnectAttempt> attempt = frame_.Session().BeginConnect(request, frame_.Profile());
    if (!WaitForConnect(*attempt, QString::fromStdString(request.title)) && attempt->Abandon()) {
        frame_.Bridge().AppendText("Connect cancelled: the connection stays as it was\r\n", true);
        return frame_.Session().Connected();
    }
    attempt->Wait(-1);
    if (std::exception_ptr failure = attempt->Failure()) {
        // The working connection, if any, is untouched: only the report is new.
        frame_.ReportFailure(failure);
        frame_.UpdateCommands();
        return false;
    }
    frame_.Prompts().ConnectionMade();
    ConnectionChanged();
    return frame_.Session().Connected();
}

bool ConnectionCommands::WaitForConnect(ConnectAttempt& attempt, const QString& title) {
    QProgressDialog progress(tr("Connecting to %1...").arg(title), tr("Cancel"), 0, 0, &frame_);
    progress.setObjectName(QStringLiteral("connectProgress"));
    progress.setWindowTitle(QStringLiteral("Marlix"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.reset(); // shown below, only when connecting takes a while
    // The wait cursor while it is quick; the dialog, with the normal cursor for Cancel, after that.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool waitCursor = true;
    auto normalCursor = [&waitCursor] {
        if (waitCursor) QApplication::restoreOverrideCursor();
        waitCursor = false;
    };
    QElapsedTimer elapsed;
    elapsed.start();
    while (!attempt.Wait(20)) {
        if (!progress.isVisible() && elapsed.elapsed() > 300) {
            normalCursor();
            progress.show();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
        if (progress.wasCanceled()) {
            normalCursor();
            return false;
        }
    }
    normalCursor();
    return true;
}

void ConnectionCommands::Disconnect() {
    if (!frame_.Enabled(Command::Disconnect) || !EndOpenTransaction()) return;
    {
        WaitCursor wait;
        frame_.Session().Disconnect();
    }
    ConnectionChanged();
}

void ConnectionCommands::ConnectionChanged() {
    // The script is re-cut with the quoting of the server now connected.
    frame_.ScriptView().SetTokenizerOptions(TokenizerOptionsOf(frame_.Session()));
    frame_.UpdateTitle();
    RefreshDatabaseList();
    frame_.ObjectBrowser().RefreshSchemaList();
    frame_.UpdateCommands();
    emit reloadCatalog();
}

void ConnectionCommands::RefreshDatabaseList() {
    SelectionBar& bar = frame_.Selection();
    const std::string remembered = bar.SelectedDatabase();
    DatabaseList list;
    if (frame_.Session().Connected()) {
        try {
            list = LoadDatabaseList(frame_.Session());
        } catch (...) {
            frame_.ReportFailure(std::current_exception());
        }
    }
    bar.SetDatabases(list.names, list.selected);
    if (bar.SelectedDatabase() != remembered && !remembered.empty()) {
        frame_.ObjectBrowser().RefreshSchemaList();
        emit reloadCatalog();
    }
}

void ConnectionCommands::ChooseDatabase(const QString& fullName) {
    if (!frame_.Enabled(Command::DatabaseBox)) return;
    {
        WaitCursor wait;
        try {
            UseDatabase(frame_.Session(), fullName.toStdString());
        } catch (...) {
            frame_.ReportFailure(std::current_exception());
            RefreshDatabaseList(); // the box shows the database really in use
            return;
        }
    }
    frame_.ObjectBrowser().RefreshSchemaList();
    emit reloadCatalog();
}

void ConnectionCommands::ChooseTargetPlatform(Dialect dialect) {
    if (!frame_.Enabled(Command::TargetPlatformBox)) {
        frame_.Selection().SelectDialect(frame_.CurrentDialect());
        return;
    }
    frame_.SetCurrentDialect(dialect);
    // The results view takes the choice as its "Use syntax of" command.
    if (frame_.Enabled(Command::UseSyntaxOf)) frame_.Runs().UseSyntaxOf(dialect);
    frame_.UpdateCommands();
}

} // namespace marlix
