#pragma once
// A main frame on a real database, with scripted answers to its questions, for the window's
// tests.
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "support/TestDatabases.h"
#include "workspace/ScriptedPrompts.h"
#include "workspace/frame/MainFrame.h"

#include <QApplication>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <functional>

#include <memory>

namespace marlix::test {

class FrameHarness {
public:
    // `profile` null: a profile in memory.
    explicit FrameHarness(ProfileStore* profile = nullptr);
    ~FrameHarness();

    CMainFrame& Frame() { return *frame_; }
    ScriptedPrompts& Prompts() { return *prompts_; }
    CODBCSession& Session() { return session_; }

    // Connects to `server` (a new SQLite file named after `name`). False when the server is not
    // running; the caller skips or fails as the test suite says. SQLite and PostgreSQL connect as
    // the MS Access type (a server without a database list), MariaDB as the MySQL type.
    bool Connect(Server server, const char* name);
    bool Connect(Server server, const char* name, ConnectionType type);
    void SetScript(const QString& text);
    // Places the caret at the first occurrence of `marker` (plus `delta` characters).
    void PutCaret(const QString& marker, int delta = 0);
    // Runs a command and waits until its batch has ended and been applied.
    bool RunAndWait(void (*start)(CMainFrame&), int timeoutMs = 30000);
    bool RunScript(int timeoutMs = 30000);
    bool RunScript(const QString& text) {
        SetScript(text);
        return RunScript();
    }
    // The editor's context-menu request at a position; the menu is closed again at once.
    void RightClickAt(int position);
    bool WaitForBatchEnd(int timeoutMs = 30000);
    QString ResultsText();
    QString HistoryText();

private:
    MemoryProfileStore memoryProfile_;
    CODBCSession session_;
    ScriptedPrompts* prompts_ = nullptr;
    std::unique_ptr<CMainFrame> frame_;
};

// Acts on the modal dialog of that class as soon as it is shown, then presses OK or Cancel.
template <class Dialog> void WhenShown(std::function<void(Dialog&)> act, bool ok = true) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act, ok] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
            ok ? dialog->OkButton()->click() : dialog->reject();
        }
    });
    timer->start(20);
}

} // namespace marlix::test

// Skips locally, fails where servers are required, when a server is not running.
#define MARLIX_QT_CONNECT_OR_SKIP(harness, server, ...)                                                      \
    if (!(harness).Connect(server, QTest::currentTestFunction() __VA_OPT__(, ) __VA_ARGS__)) {               \
        if (::marlix::test::ServersRequired()) QFAIL("the test database server is not running");             \
        QSKIP("the test database server is not running (scripts/testdb.sh starts it)");                      \
    }

// A frame named `harness` connected to `server`, or the test skipped or failed as above.
#define MARLIX_QT_FRAME_ON(harness, server, ...)                                                             \
    ::marlix::test::FrameHarness harness;                                                                    \
    MARLIX_QT_CONNECT_OR_SKIP(harness, server __VA_OPT__(, ) __VA_ARGS__)
