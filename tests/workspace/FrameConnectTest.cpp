// Connecting from the window to a server that never answers: the window stays alive with a
// progress dialog whose Cancel gives up, a failed connect keeps the working connection, and the
// connect dialog's server is remembered only once it connected.
#include "core/ProfileStore.h"
#include "results/view/HistoryBridge.h"
#include "workspace/connect/StagedProfile.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/FrameHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace marlix;
using namespace marlix::test;

namespace {

// A port on 127.0.0.1 that takes connections and never answers.
int SilentPort(int& fd) {
    fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 16);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

ConnectionRequest Silent(int port) {
    ConnectionRequest request;
    request.type = ConnectionType::PostgreSQL;
    request.connectionString = "Driver={PostgreSQL ANSI};Server=127.0.0.1;Port=" + std::to_string(port) + ";Database=x;";
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
    int fd = -1;
    const int port = SilentPort(fd);

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
    close(fd);
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
