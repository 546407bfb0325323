// The automation interface on a private session bus (the test runs under dbus-run-session):
// the server started by the bus through the registered service file, a script opened and run
// on SQLite with its Results text and history read back, the statement at a position, waiting
// for a run's end and its signal, the refusals, and a second start handing its script to the
// running window.
#include "app/automation/AutomationNames.h"
#include "app/automation/AutomationStartup.h"
#include "support/TestDatabases.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace marlix;
using namespace marlix::test;

namespace {

constexpr int kCallTimeout = 60000;

bool NameOwned(const char* name) {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(QLatin1String(name));
}

// Waits until `name` is (or is no longer) on the bus.
bool WaitForName(const char* name, bool owned, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (NameOwned(name) != owned) {
        if (timer.elapsed() > timeoutMs) return false;
        QTest::qWait(50);
    }
    return true;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

QString ErrorOf(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() + ": " + reply.errorMessage()
                                                      : QStringLiteral("(no error)");
}

} // namespace

// Receives the server's BatchEnded signals.
class BatchEnds : public QObject {
    Q_OBJECT
public:
    QList<bool> failed;
public slots:
    void Ended(bool runFailed) { failed << runFailed; }
};

class AutomationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void RunsAScriptOnSQLiteAndReadsItBack();
    void RunsTheStatementAtAPosition();
    void WaitsForTheEndOfALongRun();
    void RefusesWhatTheWindowWouldNot();
    void QuitEndsTheServer();
    void SecondStartOpensTheScriptInTheRunningWindow();

private:
    // The interface of the server, started by the bus on the first call.
    QDBusInterface& Server();
    // Calls `method` and checks that it succeeded.
    QVariant Call(const QString& method, const QVariant& a = {}, const QVariant& b = {});
    QString ExpectError(const char* errorName, const QString& method, const QVariant& a = {});
    void ConnectSQLite(const char* name);
    bool RunAndWait(const QString& method, const QVariant& a = {});

    QTemporaryDir dir_;
    std::unique_ptr<QDBusInterface> server_;
    BatchEnds ends_;
};

void AutomationTest::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(),
             "no session bus: run the test under dbus-run-session");
    QVERIFY(dir_.isValid());
    // The service file goes into XDG_DATA_HOME, one of the bus's own service folders.
    QVERIFY(!qEnvironmentVariableIsEmpty("XDG_DATA_HOME"));
    QProcess registration;
    registration.start(QStringLiteral(MARLIX_PATH), {QStringLiteral("--register")});
    QVERIFY(registration.waitForFinished(20000));
    QVERIFY2(registration.exitCode() == 0, registration.readAllStandardError().constData());
    QVERIFY(!NameOwned(automation::kServerService));
    QVERIFY(QDBusConnection::sessionBus().connect(
        QLatin1String(automation::kServerService), QLatin1String(automation::kObjectPath),
        QLatin1String(automation::kInterface), QStringLiteral("BatchEnded"), &ends_, SLOT(Ended(bool))));
}

QDBusInterface& AutomationTest::Server() {
    if (!server_) {
        server_ = std::make_unique<QDBusInterface>(QLatin1String(automation::kServerService),
                                                   QLatin1String(automation::kObjectPath),
                                                   QLatin1String(automation::kInterface));
        server_->setTimeout(kCallTimeout);
    }
    return *server_;
}

QVariant AutomationTest::Call(const QString& method, const QVariant& a, const QVariant& b) {
    QList<QVariant> args;
    if (a.isValid()) args << a;
    if (b.isValid()) args << b;
    const QDBusMessage reply = Server().callWithArgumentList(QDBus::Block, method, args);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qWarning("%s failed: %s", qPrintable(method), qPrintable(ErrorOf(reply)));
        return QStringLiteral("<failed>");
    }
    return reply.arguments().value(0);
}

QString AutomationTest::ExpectError(const char* errorName, const QString& method, const QVariant& a) {
    const QDBusMessage reply = Server().callWithArgumentList(
        QDBus::Block, method, a.isValid() ? QList<QVariant>{a} : QList<QVariant>{});
    if (reply.type() != QDBusMessage::ErrorMessage || reply.errorName() != QLatin1String(errorName))
        return QStringLiteral("<expected %1, got %2>").arg(QLatin1String(errorName), ErrorOf(reply));
    return reply.errorMessage();
}

void AutomationTest::ConnectSQLite(const char* name) {
    const QString connection = QString::fromStdString(ConnectionString(Server::SQLite, name));
    QCOMPARE(Call(QStringLiteral("Connect"), connection, 7), QVariant(true)); // SQLite, the highest type
    QCOMPARE(Call(QStringLiteral("Connected")), QVariant(true));
}

bool AutomationTest::RunAndWait(const QString& method, const QVariant& a) {
    if (Call(method, a) != QVariant(true)) return false;
    return Call(QStringLiteral("WaitForBatchEnd"), 30000) == QVariant(true);
}

void AutomationTest::RunsAScriptOnSQLiteAndReadsItBack() {
    ConnectSQLite("automation_round_trip");
    const QString script =
        WriteFile(dir_.filePath("fruit.sql"), "create table fruit (name varchar(20), price int);\r\n"
                                              "insert into fruit values ('apple', 3), ('pear', 5);\r\n"
                                              "select name, price from fruit order by name;\r\n");
    QCOMPARE(Call(QStringLiteral("OpenScript"), script), QVariant(true));
    QVERIFY(Call(QStringLiteral("ScriptText"))
                .toString()
                .startsWith("create table fruit (name varchar(20), price int);\n"));
    ends_.failed.clear();
    QVERIFY(RunAndWait(QStringLiteral("ExecuteScript")));
    QCOMPARE(Call(QStringLiteral("Running")), QVariant(false));

    const QString results = Call(QStringLiteral("ResultsText")).toString();
    QVERIFY2(results.contains(QRegularExpression("'apple' +3 *\r\n'pear' +5 *\r\n")), qPrintable(results));
    QVERIFY2(results.contains("2 row(s) selected"), qPrintable(results));
    const QString history = Call(QStringLiteral("HistoryText")).toString();
    QCOMPARE(history.count("SQL batch completed successfully"), 3);
    QVERIFY2(history.contains("2 row(s) affected"), qPrintable(history));
    QTRY_COMPARE(ends_.failed, QList<bool>{false});

    // A failing statement: the signal says so and the history shows the error.
    QCOMPARE(Call(QStringLiteral("SetScriptText"), QStringLiteral("select * from no_such_table;")),
             QVariant(true));
    ends_.failed.clear();
    QVERIFY(RunAndWait(QStringLiteral("ExecuteScript")));
    QTRY_COMPARE(ends_.failed, QList<bool>{true});
    QVERIFY(Call(QStringLiteral("HistoryText")).toString().contains("no such table"));
}

void AutomationTest::RunsTheStatementAtAPosition() {
    // Positions count characters: each emoji is one, though two UTF-16 units.
    const QString script = QStringLiteral("select '\U0001F600\U0001F600\U0001F600' as first_one;\nselect 2 as second_one;\n");
    QCOMPARE(Call(QStringLiteral("SetScriptText"), script), QVariant(true));
    QVERIFY(RunAndWait(QStringLiteral("ExecuteStatementAt"), int(script.indexOf("select 2")) - 3));
    const QString results = Call(QStringLiteral("ResultsText")).toString();
    QVERIFY2(results.contains("second_one") && !results.contains("first_one"), qPrintable(results));
    QCOMPARE(Call(QStringLiteral("ScriptText")).toString(), script);
}

void AutomationTest::WaitsForTheEndOfALongRun() {
    // A count that keeps SQLite busy for a while.
    QCOMPARE(Call(QStringLiteral("SetScriptText"),
                  QStringLiteral("with recursive c(x) as (select 1 union all select x + 1 from c "
                                 "where x < 50000000) select count(*) as how_many from c;")),
             QVariant(true));
    QCOMPARE(Call(QStringLiteral("ExecuteScript")), QVariant(true));
    QCOMPARE(Call(QStringLiteral("WaitForBatchEnd"), 0), QVariant(false));
    QCOMPARE(Call(QStringLiteral("Running")), QVariant(true));
    QVERIFY(ExpectError(automation::kErrorRefused, QStringLiteral("ExecuteScript"))
                .contains("a batch is running"));
    QVERIFY(
        ExpectError(automation::kErrorRefused, QStringLiteral("SetScriptText"), QStringLiteral("x")).size() >
        0);
    QCOMPARE(Call(QStringLiteral("Cancel")), QVariant(true));
    QCOMPARE(Call(QStringLiteral("WaitForBatchEnd"), 30000), QVariant(true));
    QCOMPARE(Call(QStringLiteral("Running")), QVariant(false));
    QCOMPARE(Call(QStringLiteral("WaitForBatchEnd"), 0), QVariant(true)); // nothing running
}

void AutomationTest::RefusesWhatTheWindowWouldNot() {
    QCOMPARE(ExpectError(automation::kErrorInvalidArgument, QStringLiteral("ExecuteStatementAt"), -1),
             QStringLiteral("position -1 is outside the script (0 to %1)")
                 .arg(Call(QStringLiteral("ScriptText")).toString().toUcs4().size()));
    QVERIFY(ExpectError(automation::kErrorInvalidArgument, QStringLiteral("OpenScript"),
                        QStringLiteral("relative.sql"))
                .contains("absolute path"));

    // A script that cannot be read leaves the open one as it was.
    const QString before = Call(QStringLiteral("ScriptText")).toString();
    const QString missing = dir_.filePath("missing.sql");
    QCOMPARE(ExpectError(automation::kErrorFailed, QStringLiteral("OpenScript"), missing),
             QStringLiteral("OS IO Error 2 when working with file %1: No such file or directory").arg(missing));
    QCOMPARE(Call(QStringLiteral("ScriptText")).toString(), before);

    QCOMPARE(Call(QStringLiteral("Disconnect")), QVariant(true));
    QCOMPARE(ExpectError(automation::kErrorRefused, QStringLiteral("ExecuteScript")),
             QStringLiteral("not connected"));
    QCOMPARE(ExpectError(automation::kErrorRefused, QStringLiteral("Disconnect")),
             QStringLiteral("not connected"));

    const QDBusMessage badType =
        Server().call(QStringLiteral("Connect"), QStringLiteral("Driver=SQLite3"), 9);
    QCOMPARE(badType.errorName(), QLatin1String(automation::kErrorInvalidArgument));
    QCOMPARE(badType.errorMessage(), QStringLiteral("9 is not a server type (0 to 7)"));
    const QDBusMessage noDriver =
        Server().call(QStringLiteral("Connect"), QStringLiteral("Driver=No Such Driver;Database=x"), 4);
    QCOMPARE(noDriver.errorName(), QLatin1String(automation::kErrorFailed));
    QVERIFY2(noDriver.errorMessage().contains("No Such Driver") || noDriver.errorMessage().contains("IM002"),
             qPrintable(noDriver.errorMessage()));
    QCOMPARE(Call(QStringLiteral("Connected")), QVariant(false));
}

void AutomationTest::QuitEndsTheServer() {
    QVERIFY(NameOwned(automation::kServerService));
    Call(QStringLiteral("Quit"));
    QVERIFY(WaitForName(automation::kServerService, false));
    server_.reset();
}

void AutomationTest::SecondStartOpensTheScriptInTheRunningWindow() {
    const QString script = WriteFile(dir_.filePath("second.sql"), "select 42 as answer;\r\n");
    // Without a window the second start has nobody to hand its script to.
    QVERIFY(!HandToRunningWindow(script));

    QProcess window;
    window.setProcessChannelMode(QProcess::ForwardedChannels);
    window.start(QStringLiteral(MARLIX_PATH),
                 {QStringLiteral("--profile"), WriteFile(dir_.filePath("window.ini"), {}),
                  QStringLiteral("--connect"),
                  QString::fromStdString(ConnectionString(Server::SQLite, "automation_window")),
                  QStringLiteral("--type"), QStringLiteral("4")});
    QVERIFY(window.waitForStarted());
    QVERIFY2(WaitForName(automation::kWindowService, true), "the window did not appear on the bus");
    QDBusInterface running(QLatin1String(automation::kWindowService), QLatin1String(automation::kObjectPath),
                           QLatin1String(automation::kInterface));
    QCOMPARE(running.call(QStringLiteral("ScriptText")).arguments().value(0).toString(), QString());

    // Named relative to the second start's own folder.
    QProcess second;
    second.setWorkingDirectory(dir_.path());
    second.start(QStringLiteral(MARLIX_PATH), {QStringLiteral("second.sql")});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(running.call(QStringLiteral("ScriptText")).arguments().value(0).toString(),
                 QStringLiteral("select 42 as answer;\n"));
    QVERIFY2(running.call(QStringLiteral("Connected")).arguments().value(0).toBool(),
             "the window's own connection");

    running.call(QStringLiteral("Quit"));
    QVERIFY(window.waitForFinished(20000));
    QCOMPARE(window.exitCode(), 0);
    QVERIFY(!NameOwned(automation::kWindowService));
}

QTEST_MAIN(AutomationTest)
#include "AutomationTest.moc"
