#pragma once
// The interface org.marlix.Marlix on the session bus, object /Marlix: a client connects, opens
// a script or sets its text, runs it or the statement at a position, waits for the run to end
// and reads back the Results text and the Execution history. The automation server
// (marlix --automation, no window) and the window (so that a second start can hand it a
// script) both serve it, under different names. Every call goes through the window's own
// commands, with their rules: what the window would not allow now is refused with an error
// saying why.
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <map>

namespace marlix {

class AutomationPrompts;
class CMainFrame;
enum class Command : int;
struct ConnectionRequest;

class AutomationService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.marlix.Marlix")
public:
    enum class Role {
        Server, // org.marlix.Marlix, no window; Quit ends the program
        Window  // org.marlix.Marlix.Window; Quit closes the window
    };

    // `prompts`: the server's answers, whose messages explain a failed call (null: the window's
    // own dialogs tell the user).
    AutomationService(CMainFrame& frame, Role role, AutomationPrompts* prompts = nullptr);
    ~AutomationService() override;

    // Registers the object and claims the role's name on the session bus. The server fails when
    // another server holds the name; a window waits in line behind the window that holds it.
    bool Publish(QString& error);

    // The interface. Calls that fail answer with an error (org.marlix.Marlix.Error.Refused,
    // .InvalidArgument or .Failed) whose text says why; called in the process itself they
    // return false instead.
public slots:
    // Connects (after disconnecting) with an ODBC connection string; `type` is the server type
    // 0..5 of --type. A failure's ODBC message is the error's text.
    bool Connect(const QString& connectionString, int type);
    // Connects to a data source name (server type 2) with a user and a password.
    bool ConnectDataSource(const QString& dsn, const QString& user, const QString& password);
    bool Disconnect();
    bool Connected();

    // Opens a script file (a changed script is discarded by the server; the window asks).
    bool OpenScript(const QString& path);
    // Replaces the script's text; ScriptText reads it, with "\n" line breaks.
    bool SetScriptText(const QString& text);
    QString ScriptText();

    // Start a run and return at once; WaitForBatchEnd or the signal BatchEnded tell its end.
    // `position` counts the characters (UTF-16 units) of ScriptText().
    bool ExecuteScript();
    bool ExecuteStatementAt(int position);
    bool Running();
    // Returns when no batch runs any more (its end applied to the results), true, or after
    // `timeoutMs` milliseconds, false. A client calling it must allow its call that long.
    bool WaitForBatchEnd(int timeoutMs);
    bool Cancel();

    // The Results text (the converted output of the runs, "\r\n" line breaks) and the
    // Execution history as shown.
    QString ResultsText();
    QString HistoryText();

    // Brings the window forward and opens `path` in it (nothing when empty), after this call
    // has returned: the window may first ask to save the changed script.
    void Present(const QString& path);
    // Ends the server, or closes the window.
    void Quit();

signals:
    // A run's end has been applied to the results; `failed`: the run reported an error.
    void BatchEnded(bool failed);

private:
    bool Refuse(const char* errorName, const QString& text);
    bool Allowed(Command command);
    // No batch runs (else refused): the condition of every command that changes the script or
    // the connection.
    bool Idle();
    // What a failed command reported: the messages the server was shown, else what it added
    // to the Execution history, else `fallback`.
    QString ReportedSince(const QString& historyBefore, const QString& fallback);
    QString WhyNot(Command command) const;
    bool ConnectAs(const ConnectionRequest& request);
    void RunApplied();
    void AnswerWaiters(bool ended);

    struct Waiter {
        QDBusMessage call;
        QDBusConnection bus;
    };

    CMainFrame& frame_;
    Role role_;
    AutomationPrompts* prompts_;
    bool runFailed_ = false;
    std::map<int, Waiter> waiters_;
    int nextWaiter_ = 0;
};

} // namespace marlix
