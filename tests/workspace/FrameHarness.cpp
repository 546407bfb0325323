#include "workspace/FrameHarness.h"

#include "core/ResultSet.h"
#include "results/history/HistoryPane.h"
#include "results/text/ResultsText.h"
#include "results/text/ResultsTextView.h"
#include "results/view/SQLResultsView.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/RunCommands.h"

#include <QApplication>
#include <QTimer>

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>

namespace marlix::test {

FrameHarness::FrameHarness(ProfileStore* profile) {
    session_.Initialize();
    auto prompts = std::make_unique<ScriptedPrompts>();
    prompts_ = prompts.get();
    frame_ = std::make_unique<CMainFrame>(session_, profile ? *profile : memoryProfile_, std::move(prompts));
    frame_->show();
    // Window shortcuts (F5, Ctrl+Enter) reach only the active window.
    frame_->activateWindow();
    if (!QTest::qWaitForWindowActive(frame_.get())) qWarning("the main frame did not become active");
}

FrameHarness::~FrameHarness() {
    frame_.reset();
    session_.Disconnect();
}

bool FrameHarness::Connect(Server server, const char* name) {
    return Connect(server, name,
                   server == Server::MariaDB ? ConnectionType::MySQL : ConnectionType::MSAccess);
}

bool FrameHarness::Connect(Server server, const char* name, ConnectionType type) {
    std::string connection = ConnectionString(server, name);
    if (connection.empty()) return false;
    ConnectionRequest request;
    request.type = type;
    request.connectionString = connection;
    request.title = ServerName(server);
    return frame_->Connection().ConnectWith(request);
}

void FrameHarness::SetScript(const QString& text) {
    frame_->ScriptView().SetScriptText(text);
}

void FrameHarness::PutCaret(const QString& marker, int delta) {
    QPlainTextEdit& editor = *frame_->ScriptView().Editor();
    const int at = editor.toPlainText().indexOf(marker);
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(at + delta);
    editor.setTextCursor(cursor);
}

bool FrameHarness::WaitForBatchEnd(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (frame_->Execution().Running()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool FrameHarness::RunAndWait(void (*start)(CMainFrame&), int timeoutMs) {
    start(*frame_);
    return WaitForBatchEnd(timeoutMs);
}

bool FrameHarness::RunScript(int timeoutMs) {
    return RunAndWait([](CMainFrame& frame) { frame.Runs().ExecuteScript(); }, timeoutMs);
}

void FrameHarness::RightClickAt(int position) {
    QTimer::singleShot(50, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    });
    ScriptEditor* editor = frame_->ScriptView().Editor();
    emit editor->contextMenuRequested(position, editor->mapToGlobal(QPoint(30, 10)));
}

QString FrameHarness::ResultsText() {
    const marlix::ResultsText& text = frame_->ResultsView().TextView().Text();
    return QString::fromStdString(text.Text(0, text.Length()));
}

QString FrameHarness::HistoryText() {
    return frame_->ResultsView().History().PlainText();
}

} // namespace marlix::test
