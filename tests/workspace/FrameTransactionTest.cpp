// An open transaction in the window: Commit and Rollback only while autocommit is off, the status
// bar's count of uncommitted statements, and the question before the connection ends.
#include "db/StatementHandle.h"
#include "support/SessionFixture.h"
#include "workspace/FrameHarness.h"
#include "workspace/frame/CommandState.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/RunCommands.h"

#include <QLabel>
#include <QTest>

using namespace marlix;
using namespace marlix::test;

namespace {

// The rows of `table` as another connection sees them: only what was committed.
QString CommittedCount(const char* table) {
    MemoryProfileStore profile;
    CODBCSession other;
    other.Initialize();
    ConnectTo(other, ConnectionString(Server::MariaDB), profile);
    Fetched fetched = FetchQuery(other.Connection(), std::string("select count(*) from ") + table);
    return QString::fromStdString(std::string(fetched.resultSet->Cell(0, 0).Text()));
}

QString StatusText(FrameHarness& h) {
    return h.Frame().findChild<QLabel*>(QStringLiteral("transactionStatus"))->text();
}

} // namespace

class FrameTransactionTest : public QObject {
    Q_OBJECT
private slots:
    void rulesFollowAutocommit();
    void endingTheConnectionAsksAboutTheOpenTransaction();
};

void FrameTransactionTest::rulesFollowAutocommit() {
    WorkspaceState s;
    s.connected = true;
    s.autocommit = true;
    s.statementsSinceCommit = 2; // a count left from before cannot ask
    QVERIFY(!CommandState(s).Enabled(Command::Commit));
    QVERIFY(!CommandState(s).Enabled(Command::Rollback));
    QVERIFY(!CommandState(s).AsksToEndTransaction());
    QCOMPARE(CommandState(s).TransactionStatus(), std::string());
    s.autocommit = false; // what then asks and shows: the test below, in the window
    s.statementsSinceCommit = 0;
    QVERIFY(CommandState(s).Enabled(Command::Rollback));
    QVERIFY(!CommandState(s).AsksToEndTransaction());
}

void FrameTransactionTest::endingTheConnectionAsksAboutTheOpenTransaction() {
    FrameHarness h;
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::MariaDB); // the MySQL type: autocommit off
    QVERIFY(!h.Session().Autocommit());
    QVERIFY(h.RunScript(
                QStringLiteral("drop table if exists frame_tx;\ncreate table frame_tx (id int) engine=InnoDB;\n")));
    QVERIFY(h.RunScript(QStringLiteral(
                "insert into frame_tx values (1);\nselect * from frame_tx;\ninsert into frame_tx values (2);\n")));
    QCOMPARE(StatusText(h), QStringLiteral("Transaction open: 2 statement(s) since the last commit"));

    // Cancel keeps the connection and the transaction; Commit ends both, the work kept.
    h.Prompts().transactionAnswers = {TransactionAnswer::Cancel, TransactionAnswer::Commit};
    h.Frame().Connection().Disconnect();
    QVERIFY(h.Session().Connected());
    QCOMPARE(h.Prompts().asked.last(), QStringLiteral("end transaction: 2"));
    QCOMPARE(CommittedCount("frame_tx"), QStringLiteral("0"));
    h.Frame().Connection().Disconnect();
    QVERIFY(!h.Session().Connected());
    QCOMPARE(CommittedCount("frame_tx"), QStringLiteral("2"));
    QCOMPARE(StatusText(h), QString());

    // A new connection over open work: Roll back drops it.
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::MariaDB);
    QVERIFY(h.RunScript(QStringLiteral("insert into frame_tx values (3);\n")));
    h.Prompts().transactionAnswers = {TransactionAnswer::RollBack};
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::MariaDB);
    QCOMPARE(h.Prompts().asked.last(), QStringLiteral("end transaction: 1"));
    QCOMPARE(CommittedCount("frame_tx"), QStringLiteral("2"));

    // Closing the window asks too; Cancel keeps it open.
    QVERIFY(h.RunScript(QStringLiteral("insert into frame_tx values (4);\n")));
    h.Frame().Document().SetModified(false);
    h.Prompts().transactionAnswers = {TransactionAnswer::Cancel};
    QVERIFY(!h.Frame().close());
    h.Frame().Runs().Commit();
    QCOMPARE(StatusText(h), QString());
    QCOMPARE(CommittedCount("frame_tx"), QStringLiteral("3"));
}

QTEST_MAIN(FrameTransactionTest)
#include "FrameTransactionTest.moc"
