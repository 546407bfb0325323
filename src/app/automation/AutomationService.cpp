#include "app/automation/AutomationService.h"

#include "app/ConnectionOptions.h"
#include "app/automation/AutomationNames.h"
#include "app/automation/AutomationPrompts.h"
#include "db/ODBCSession.h"
#include "results/history/HistoryPane.h"
#include "results/text/ResultsText.h"
#include "results/text/ResultsTextView.h"
#include "results/view/HistoryBridge.h"
#include "results/view/SQLResultsView.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/ScriptCommands.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

namespace marlix {

using namespace automation;

AutomationService::AutomationService(CMainFrame& frame, Role role, AutomationPrompts* prompts)
    : QObject(&frame), frame_(frame), role_(role), prompts_(prompts) {
    HistoryBridge& bridge = frame_.Bridge();
    connect(&bridge, &HistoryBridge::batchStarted, this, [this] { runFailed_ = false; });
    connect(&bridge, &HistoryBridge::errorMarked, this, [this] { runFailed_ = true; });
    connect(&bridge, &HistoryBridge::errorLineMarked, this, [this] { runFailed_ = true; });
    connect(&bridge, &HistoryBridge::messageShown, this, [this] {
        if (frame_.Execution().Running()) runFailed_ = true;
    });
    // Queued: the window applies the end first (its own handler of the same report).
    connect(&bridge, &HistoryBridge::batchEnded, this, &AutomationService::RunApplied, Qt::QueuedConnection);
}

AutomationService::~AutomationService() {
    AnswerWaiters(!frame_.Execution().Running());
}

bool AutomationService::Publish(QString& error) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    if (!bus.registerObject(QLatin1String(kObjectPath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)) {
        error = QStringLiteral("cannot register the object %1 on the session bus")
                    .arg(QLatin1String(kObjectPath));
        return false;
    }
    const bool server = role_ == Role::Server;
    const QString name = QLatin1String(server ? kServerService : kWindowService);
    // A second window waits in line, and takes the name over when the first one closes.
    QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        name, server ? QDBusConnectionInterface::DontQueueService : QDBusConnectionInterface::QueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        error = QStringLiteral("cannot take the name %1: %2").arg(name, reply.error().message());
        return false;
    }
    if (server && reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        error = QStringLiteral("%1 is already served by another process").arg(name);
        return false;
    }
    if (server) {
        // The server has no window whose closing would end it: Quit does.
        QApplication::setQuitOnLastWindowClosed(false);
        // Without its bus the server can never be reached again (the session has ended).
        auto* watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [] {
            if (!QDBusConnection::sessionBus().isConnected()) QCoreApplication::quit();
        });
        watch->start(1000);
    }
    return true;
}

bool AutomationService::Refuse(const char* errorName, const QString& text) {
    if (calledFromDBus()) sendErrorReply(QLatin1String(errorName), text);
    return false;
}

QString AutomationService::WhyNot(Command command) const {
    const WorkspaceState s = frame_.State();
    if (s.batchRunning) return tr("a batch is running");
    const bool runs = command == Command::ExecuteScript || command == Command::ExecuteStatement;
    if ((runs || command == Command::Disconnect) && !s.connected) return tr("not connected");
    if (runs && s.textEmpty) return tr("the script is empty");
    if (runs && !s.statementsReady) return tr("the script holds no statement");
    return tr("the command is not available now");
}

bool AutomationService::Allowed(Command command) {
    if (frame_.Enabled(command)) return true;
    return Refuse(kErrorRefused, WhyNot(command));
}

QString AutomationService::ReportedSince(const QString& historyBefore, const QString& fallback) {
    QStringList messages = prompts_ ? prompts_->TakeMessages() : QStringList();
    if (!messages.isEmpty()) return messages.join(QLatin1Char('\n'));
    const QString history = frame_.ResultsView().History().PlainText();
    const QString added =
        (history.startsWith(historyBefore) ? history.mid(historyBefore.size()) : history).trimmed();
    return added.isEmpty() ? fallback : added;
}

bool AutomationService::Idle() {
    return !frame_.Execution().Running() || Refuse(kErrorRefused, tr("a batch is running"));
}

bool AutomationService::ConnectAs(const ConnectionRequest& request) {
    if (!Idle()) return false;
    if (prompts_) prompts_->TakeMessages();
    const QString before = frame_.ResultsView().History().PlainText();
    if (frame_.Connection().ConnectWith(request)) return true;
    return Refuse(kErrorFailed, ReportedSince(before, tr("the connection failed")));
}

bool AutomationService::Connect(const QString& connectionString, int type) {
    if (type < 0 || type >= kConnectionTypeCount)
        return Refuse(kErrorInvalidArgument,
                      tr("%1 is not a server type (0 to %2)").arg(type).arg(kConnectionTypeCount - 1));
    ConnectionRequest request;
    request.type = static_cast<ConnectionType>(type);
    request.connectionString = connectionString.toStdString();
    request.title = ConnectionTitleOf(request.connectionString);
    return ConnectAs(request);
}

bool AutomationService::ConnectDataSource(const QString& dsn, const QString& user, const QString& password) {
    ConnectionRequest request;
    request.type = ConnectionType::DataSourceName;
    request.connectionString = dsn.toStdString();
    request.user = user.toStdString();
    request.password = password.toStdString();
    request.title = request.connectionString;
    return ConnectAs(request);
}

bool AutomationService::Disconnect() {
    if (!Allowed(Command::Disconnect)) return false;
    frame_.Connection().Disconnect();
    return true;
}

bool AutomationService::Connected() {
    return frame_.Session().Connected();
}

bool AutomationService::OpenScript(const QString& path) {
    // The server's working folder is not the client's.
    if (QDir::isRelativePath(path))
        return Refuse(kErrorInvalidArgument, tr("give the script's absolute path, not %1").arg(path));
    if (!Idle()) return false;
    if (!frame_.Scripts().MaySaveChanges()) return Refuse(kErrorRefused, tr("the changed script was kept"));
    if (prompts_) prompts_->TakeMessages();
    const QString before = frame_.ResultsView().History().PlainText();
    if (frame_.Scripts().OpenPath(path)) return true;
    return Refuse(kErrorFailed, ReportedSince(before, tr("%1 was not opened").arg(path)));
}

bool AutomationService::SetScriptText(const QString& text) {
    if (!Idle()) return false;
    if (!frame_.Scripts().MaySaveChanges()) return Refuse(kErrorRefused, tr("the changed script was kept"));
    if (!frame_.ScriptView().SetScriptText(text)) return Refuse(kErrorRefused, tr("a batch is running"));
    return true;
}

QString AutomationService::ScriptText() {
    return frame_.ScriptView().ScriptText();
}

bool AutomationService::ExecuteScript() {
    if (!Allowed(Command::ExecuteScript)) return false;
    if (prompts_) prompts_->TakeMessages();
    const QString before = frame_.ResultsView().History().PlainText();
    frame_.Runs().ExecuteScript();
    if (frame_.Execution().Running()) return true;
    return Refuse(kErrorFailed, ReportedSince(before, tr("the run did not start")));
}

bool AutomationService::ExecuteStatementAt(int position) {
    QPlainTextEdit& editor = *frame_.ScriptView().Editor();
    // The position counts characters (code points) of ScriptText(), as marlix-cli's
    // --statement-at does; the editor counts UTF-16 units, two for a character beyond the BMP.
    const QString text = editor.toPlainText();
    int length = 0;
    int unit = -1;
    for (int i = 0; i < text.size(); ++i, ++length) {
        if (length == position) unit = i;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
    }
    if (position == length) unit = text.size();
    if (position < 0 || position > length)
        return Refuse(kErrorInvalidArgument,
                      tr("position %1 is outside the script (0 to %2)").arg(position).arg(length));
    if (!Idle()) return false;
    // The statement at the caret: the window's own command, which also needs no selection.
    QTextCursor caret = editor.textCursor();
    caret.setPosition(unit);
    editor.setTextCursor(caret);
    if (!Allowed(Command::ExecuteStatement)) return false;
    if (prompts_) prompts_->TakeMessages();
    const QString before = frame_.ResultsView().History().PlainText();
    frame_.Runs().ExecuteStatementAtCaret();
    if (frame_.Execution().Running()) return true;
    return Refuse(kErrorFailed, ReportedSince(before, tr("the run did not start")));
}

bool AutomationService::Running() {
    return frame_.Execution().Running();
}

bool AutomationService::WaitForBatchEnd(int timeoutMs) {
    if (timeoutMs < 0) return Refuse(kErrorInvalidArgument, tr("a timeout of %1 ms").arg(timeoutMs));
    if (!frame_.Execution().Running()) return true;
    if (!calledFromDBus()) {
        QElapsedTimer timer;
        timer.start();
        while (frame_.Execution().Running() && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents(); // the end's application, queued behind the end
        return !frame_.Execution().Running();
    }
    // The answer waits for the end while the server goes on serving other calls.
    setDelayedReply(true);
    const int id = nextWaiter_++;
    waiters_.emplace(id, Waiter{message(), connection()});
    QTimer::singleShot(timeoutMs, this, [this, id] {
        auto waiter = waiters_.find(id);
        if (waiter == waiters_.end()) return;
        waiter->second.bus.send(waiter->second.call.createReply(false));
        waiters_.erase(waiter);
    });
    return false;
}

void AutomationService::RunApplied() {
    if (frame_.Execution().Running()) return;
    emit BatchEnded(runFailed_);
    AnswerWaiters(true);
}

void AutomationService::AnswerWaiters(bool ended) {
    for (auto& [id, waiter] : waiters_)
        waiter.bus.send(waiter.call.createReply(ended));
    waiters_.clear();
}

bool AutomationService::Cancel() {
    // Nothing running: the run a client wanted to stop has already ended.
    frame_.Runs().Cancel();
    return true;
}

QString AutomationService::ResultsText() {
    const marlix::ResultsText& text = frame_.ResultsView().TextView().Text();
    return QString::fromStdString(text.Text(0, text.Length()));
}

QString AutomationService::HistoryText() {
    return frame_.ResultsView().History().PlainText();
}

void AutomationService::Present(const QString& path) {
    // After the answer: the window may ask questions, and the caller must not wait for them.
    QTimer::singleShot(0, this, [this, path] {
        if (role_ == Role::Window) {
            if (frame_.isMinimized()) frame_.showNormal();
            frame_.raise();
            frame_.activateWindow();
        }
        if (path.isEmpty()) return;
        // The window's Open also waits while the results have the focus; a script handed over
        // comes from outside and waits only for a run.
        if (frame_.Execution().Running()) {
            frame_.Prompts().ShowMessage(tr("%1 was not opened: a batch is running.").arg(path),
                                         QStringLiteral("Marlix"), MessageIcon::Information);
            return;
        }
        if (frame_.Scripts().MaySaveChanges()) frame_.Scripts().OpenPath(path);
    });
}

void AutomationService::Quit() {
    if (role_ == Role::Server)
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    else
        QTimer::singleShot(0, &frame_, &QWidget::close);
}

} // namespace marlix
