// Connecting from the window to a server that never answers: the window stays alive with a
// progress dialog whose Cancel gives up, a failed connect keeps the working connection, and the
// connect dialog's server is remembered only once it connected.
#include "core/ProfileStore.h"
#include "results/view/HistoryBridge.h"
#include "workspace/FrameHarness.h"
#include "workspace/connect/StagedProfile.h"
#include "workspace/frame/ConnectionCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

using namespace marlix;
using namespace marlix::test;

namespace {

ConnectionRequest Silent(const std::string& port) {
    ConnectionRequest request;
    request.type = ConnectionType::PostgreSQL;
    request.connectionString = "Driver={PostgreSQL ANSI};Server=127.0.0.1;Port=" + port + ";Database=x;";
    request.title = "silent";
    return request;
}

} // namespace

class FrameConnectTest : public QObject {
    Q_OBJECT
private slots:
    void cancelAndFailureKeepTheWorkingConnection();
    void theDialogsChoiceIsRememberedOnlyOnceConnected();
};

void FrameConnectTest::cancelAndFailureKeepTheWorkingConnection() {
    MemoryProfileStore profile;
    profile.WriteInt(kLoginSettings, kLoginTimeout, 3);
    FrameHarness h(&profile);
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::SQLite);
    const QString title = h.Frame().windowTitle();
    SilentServer silent;
    const std::string port = silent.Port();

    // Cancel in the progress dialog: back at once, the SQLite connection as it was.
    bool sawProgress = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget())) {
            sawProgress = progress->isVisible();
            progress->cancel();
        }
    });
    poll.start(50);
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(h.Frame().Connection().ConnectWith(Silent(port)));
    poll.stop();
    QVERIFY(sawProgress);
    QVERIFY2(elapsed.elapsed() < 2500, "Cancel does not wait for the login timeout");
    QVERIFY(h.Session().Connected());
    QCOMPARE(h.Session().Type(), ConnectionType::MSAccess);
    QVERIFY(h.HistoryText().contains("Connect cancelled: the connection stays as it was"));

    // Left to time out: the failure is reported, the connection and the title stay.
    elapsed.restart();
    QVERIFY(!h.Frame().Connection().ConnectWith(Silent(port)));
    QVERIFY(elapsed.elapsed() < 10000);
    QVERIFY(h.HistoryText().contains("timeout expired"));
    QVERIFY(h.Session().Connected());
    QCOMPARE(h.Frame().windowTitle(), title);
}

void FrameConnectTest::theDialogsChoiceIsRememberedOnlyOnceConnected() {
    MemoryProfileStore profile;
    profile.WriteString(kLoginSettings, "ServersList6LastValue", "good");
    StagedProfile staged(profile);
    staged.WriteString(kLoginSettings, "ServersList6LastValue", "typo");
    staged.WriteInt(kLoginSettings, "ConnectionType", 6);
    QCOMPARE(staged.GetString(kLoginSettings, "ServersList6LastValue", ""), std::string("typo"));
    QCOMPARE(profile.GetString(kLoginSettings, "ServersList6LastValue", ""), std::string("good"));
    staged.Apply();
    QCOMPARE(profile.GetString(kLoginSettings, "ServersList6LastValue", ""), std::string("typo"));
    QCOMPARE(profile.GetInt(kLoginSettings, "ConnectionType", 0), 6);
}

QTEST_MAIN(FrameConnectTest)
#include "FrameConnectTest.moc"
