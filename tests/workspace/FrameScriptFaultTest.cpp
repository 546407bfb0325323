// What the window tells before a run about the script's own text: ignored attributes, an error
// in a block, and a script it refuses to run, each with its line.
#include "workspace/FrameHarness.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/RunCommands.h"

#include <QTest>

using namespace marlix;
using namespace marlix::test;

class FrameScriptFaultTest : public QObject {
    Q_OBJECT
private slots:
    void warningsAndBlockErrorsLeadTheRun();
    void anUnterminatedCommentRunsNothing();
};

void FrameScriptFaultTest::warningsAndBlockErrorsLeadTheRun() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QVERIFY(h.RunScript(QStringLiteral("/*METADATA>\n<RESULTSET Table = \"t\", CommitEvry = \"1\"/>\n</METADATA*/\n"
                                       "select 1 as n;\n/*METADATA>\n<RESULTSET Type = \"UPDATE\" Table = \"t\"/>\n"
                                       "</METADATA*/\nselect 2 as m;\n")));
    const QString history = h.HistoryText();
    QVERIFY2(history.startsWith(
                 QStringLiteral("Warning: unknown attribute CommitEvry of RESULTSET ignored at line 2\n"
                                "Unexpected symbol\nMETADATA error at line 6\n")),
             qPrintable(history));
    QCOMPARE(history.count(QStringLiteral("SQL batch completed successfully")), 2);
    QCOMPARE(h.Frame().ScriptView().ErrorLine(), 5);
}

void FrameScriptFaultTest::anUnterminatedCommentRunsNothing() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    h.SetScript(QStringLiteral("select 1 as a;\nselect 2 as b /* never closed\nselect 3 as c;\n"));
    h.Frame().Runs().ExecuteScript();
    QVERIFY(!h.Frame().Execution().Running());
    QCOMPARE(h.HistoryText(),
             QStringLiteral("Unterminated comment (\"/*\" without \"*/\"): the script is not run\n"
                            "Script error at line 2\n"));
    QCOMPARE(h.Frame().ScriptView().ErrorLine(), 1);
}

QTEST_MAIN(FrameScriptFaultTest)
#include "FrameScriptFaultTest.moc"
