// The window's road of a run: Execute Script and Execute Statement on real databases, what the
// results view shows afterwards, cancel, the enabling of commands while a batch runs, truncation
// and the write-back of a conversion after the script was edited.
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "results/grid/GridsPane.h"
#include "results/history/ExecutionHistory.h"
#include "results/history/HistoryPane.h"
#include "results/view/SQLResultsView.h"
#include "workspace/FrameHarness.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/SelectionBar.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>

using namespace marlix;
using namespace marlix::test;

namespace {

const QString kItems =
    QStringLiteral("create table item (id integer primary key, name varchar(20));\n"
                   "insert into item values (1, 'apple');\n"
                   "insert into item values (2, 'pear');\n"
                   "/*METADATA>\n"
                   "\t<RESULTSET Type = \"INSERT\", Source = \"item\", Table = \"item_copy\"/>\n"
                   "</METADATA*/\n"
                   "select id, name from item order by id;\n"
                   "select name from item where id = 2;\n");

void ExecuteStatement(CMainFrame& frame) {
    frame.Runs().ExecuteStatementAtCaret();
}

} // namespace

class FrameExecutionTest : public QObject {
    Q_OBJECT
private slots:
    void executeScriptShowsTextGridsHistoryAndFailures();
    void executeStatementAtCaretMouseAndWhitespace();
    void commandsWaitWhileABatchRunsAndCancelEndsIt();
    void truncateKeepsExactlyTheLatestRun();
    void conversionIsWrittenWhereTheStatementIsNow();
    void databaseBoxListsAndUsesMariaDBDatabases();
};

void FrameExecutionTest::executeScriptShowsTextGridsHistoryAndFailures() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QVERIFY(h.RunScript(kItems));

    // The texts themselves are the engine's (the text cases); here they reach the panes.
    CSQLResultsView& results = h.Frame().ResultsView();
    QVERIFY2(h.ResultsText().contains(QStringLiteral("INSERT INTO item_copy")), qPrintable(h.ResultsText()));
    QCOMPARE(results.Grids().GridCount(), 2);
    QVERIFY2(results.CurrentTab() == CSQLResultsView::GridsTab, qPrintable(h.HistoryText()));
    QCOMPARE(h.HistoryText().count(QStringLiteral("SQL batch completed successfully")), 5);
    QCOMPARE(results.History().History().Entries().size(), size_t(5));
    // The editor is writable again and the run is over for every command.
    QVERIFY(!(*h.Frame().ScriptView().Editor()).isReadOnly());
    QVERIFY(h.Frame().Enabled(Command::ExecuteScript));
    QVERIFY(!h.Frame().Enabled(Command::CancelExecution));

    // A failure goes to the history, which comes to the front, and marks the statement's line
    // (not its METADATA block's).
    QVERIFY(h.RunScript(QStringLiteral("select 1 as a;\n\n/*METADATA>\n<RESULTSET Type = \"INSERT\", Table = \"T\"/>\n"
                                       "</METADATA*/\nselect * from no_such_table;\nselect 3 as c;\n")));
    const QString history = h.HistoryText();
    QVERIFY2(history.contains(QStringLiteral("no_such_table")), qPrintable(history));
    QCOMPARE(history.count(QStringLiteral("SQL batch completed with error(s)")), 1);
    QCOMPARE(history.count(QStringLiteral("SQL batch completed successfully")), 1); // truncated to this run
    QCOMPARE(h.Frame().ResultsView().CurrentTab(), CSQLResultsView::HistoryTab);
    QCOMPARE(h.Frame().ScriptView().ErrorLine(), 5);
}

void FrameExecutionTest::executeStatementAtCaretMouseAndWhitespace() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    h.SetScript(QStringLiteral("select 'first' as a;  \nselect 'second' as b;\n"));

    h.PutCaret(QStringLiteral("second"));
    QVERIFY(h.RunAndWait(ExecuteStatement));
    QVERIFY(h.ResultsText().contains(QStringLiteral("second")));
    QVERIFY(!h.ResultsText().contains(QStringLiteral("first")));

    // Whitespace between a separator and the next statement runs nothing: no run starts, and the
    // results of the last one stay.
    h.PutCaret(QStringLiteral(";  \n"), 2);
    ExecuteStatement(h.Frame());
    QVERIFY(!h.Frame().Execution().Running());
    QCOMPARE(h.Frame().statusBar()->currentMessage(), QStringLiteral("No statement at the caret"));
    QVERIFY(h.ResultsText().contains(QStringLiteral("second")));
    // The caret right after a separator runs the statement it ends.
    h.PutCaret(QStringLiteral(";  \n"), 1);
    QVERIFY(h.RunAndWait(ExecuteStatement));
    QVERIFY(h.ResultsText().contains(QStringLiteral("first")));

    // With text selected Execute Statement is disabled, the shortcut included.
    QTextCursor cursor = (*h.Frame().ScriptView().Editor()).textCursor();
    cursor.setPosition(0);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    (*h.Frame().ScriptView().Editor()).setTextCursor(cursor);
    QVERIFY(!h.Frame().Enabled(Command::ExecuteStatement));
    QTest::keyClick(&(*h.Frame().ScriptView().Editor()), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!h.Frame().Execution().Running());
    QCOMPARE((*h.Frame().ScriptView().Editor()).toPlainText(),
             QStringLiteral("select 'first' as a;  \nselect 'second' as b;\n"));

    // The context menu's command runs the statement under the mouse, not the one at the caret.
    h.PutCaret(QStringLiteral("second"));
    h.RightClickAt(3);
    h.Frame().Runs().ExecuteStatementAtMouse();
    QVERIFY(h.WaitForBatchEnd());
    QVERIFY(h.ResultsText().contains(QStringLiteral("first")));
    QVERIFY(!h.ResultsText().contains(QStringLiteral("second")));

    // Ctrl+Enter in the editor runs the statement at the caret.
    h.Frame().ResultsView().Clear();
    h.PutCaret(QStringLiteral("second"));
    QTest::keyClick(&(*h.Frame().ScriptView().Editor()), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(h.WaitForBatchEnd());
    QVERIFY(h.ResultsText().contains(QStringLiteral("second")));
}

void FrameExecutionTest::commandsWaitWhileABatchRunsAndCancelEndsIt() {
    MARLIX_QT_FRAME_ON(h, Server::PostgreSQL);
    // Something to convert and truncate, so the result commands would be enabled if idle.
    QVERIFY(h.RunScript(QStringLiteral("select 1 as a;")));
    QVERIFY(h.Frame().Enabled(Command::ConvertTo));
    h.Frame().Document().SetModified(true);

    h.SetScript(QStringLiteral("select pg_sleep(30);"));
    h.Frame().Runs().ExecuteScript();
    QVERIFY(h.Frame().Execution().Running());
    QTest::qWait(300);
    // The rules are CommandState's (CommandStateTest); here the window follows them.
    for (Command c : {Command::Open, Command::ExecuteScript, Command::Commit, Command::ConvertTo})
        QVERIFY2(!h.Frame().Enabled(c), qPrintable(QString::number(static_cast<int>(c))));
    QVERIFY(h.Frame().Enabled(Command::CancelExecution));
    QVERIFY(h.Frame().Enabled(Command::Save));
    QVERIFY((*h.Frame().ScriptView().Editor()).isReadOnly());
    QVERIFY(!h.Frame().Selection().TargetPlatformBox()->isEnabled());

    // The disabled commands do nothing even when called directly.
    h.Frame().Actions().Action(Command::ClearResults)->trigger();
    h.Frame().Runs().Commit();
    QVERIFY(h.Frame().ResultsView().Grids().GridCount() == 1);
    QVERIFY(!h.HistoryText().contains(QStringLiteral("Transaction commited")));

    h.Frame().Runs().Cancel();
    QVERIFY(h.WaitForBatchEnd(10000));
    QVERIFY(!(*h.Frame().ScriptView().Editor()).isReadOnly());
    QVERIFY(h.HistoryText().contains(QStringLiteral("SQL batch completed with error(s)")));
    QVERIFY(h.Frame().Enabled(Command::ExecuteScript));
}

void FrameExecutionTest::truncateKeepsExactlyTheLatestRun() {
    MemoryProfileStore profile;
    profile.WriteInt(kExecutionSettings, "TruncateResults", 0);
    FrameHarness h(&profile);
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::SQLite);
    QVERIFY(h.RunScript(QStringLiteral("select 'one' as a;\nselect 'two' as b;")));
    QVERIFY(h.RunScript(QStringLiteral("select 'three' as c;")));
    CSQLResultsView& results = h.Frame().ResultsView();
    QCOMPARE(results.Grids().GridCount(), 3);
    QCOMPARE(results.History().History().Entries().size(), size_t(3));

    results.Truncate();
    QCOMPARE(results.Grids().GridCount(), 1);
    QCOMPARE(results.History().History().Entries().size(), size_t(1));
    QVERIFY(h.ResultsText().contains(QStringLiteral("three")));
    QVERIFY(!h.ResultsText().contains(QStringLiteral("one")));
    QVERIFY(!h.HistoryText().contains(QStringLiteral("'two'")));
    // Show result in text still finds the kept result's output after the text moved.
    results.ShowResultInText(0);
    QCOMPARE(results.CurrentTab(), CSQLResultsView::ResultsTab);
    QVERIFY(results.Grids().ShowGridFor(results.ResultSets().front()->outputStart));

    // With the option on, each run keeps only itself.
    profile.WriteInt(kExecutionSettings, "TruncateResults", 1);
    QVERIFY(h.RunScript());
    QCOMPARE(results.Grids().GridCount(), 1);
}

void FrameExecutionTest::conversionIsWrittenWhereTheStatementIsNow() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QVERIFY(h.RunScript(QStringLiteral("select 'é' as a, 2 as b;\nselect 3 as c;\n")));
    CSQLResultsView& results = h.Frame().ResultsView();
    QCOMPARE(results.Grids().GridCount(), 2);

    // An edit above the second statement moves it; the write-back follows.
    QPlainTextEdit& editor = (*h.Frame().ScriptView().Editor());
    h.PutCaret(QStringLiteral("select"));
    editor.insertPlainText(QStringLiteral("-- ünïcode comment\n"));
    results.Grids().ShowGridFor(results.ResultSets()[1]->outputStart);
    QVERIFY2(h.Frame().Runs().ConvertTo(StatementType::INSERT), qPrintable(h.Prompts().messages.join('|')));
    const QString script = editor.toPlainText();
    const int block = script.indexOf(QStringLiteral("/*METADATA>"));
    QVERIFY2(block > script.indexOf(QStringLiteral("2 as b;")), qPrintable(script));
    QVERIFY2(script.indexOf(QStringLiteral("select 3 as c")) > block, qPrintable(script));
    QVERIFY(script.contains(QStringLiteral("INSERT")));

    // A result whose statement was edited since is not written back.
    h.PutCaret(QStringLiteral("'é'"), 1);
    editor.insertPlainText(QStringLiteral("x"));
    results.Grids().ShowGridFor(results.ResultSets()[0]->outputStart);
    const QString edited = editor.toPlainText();
    QVERIFY(!h.Frame().Runs().ConvertTo(StatementType::UPDATE));
    QCOMPARE(editor.toPlainText(), edited);
    QCOMPARE(h.Prompts().messages.size(), 1);
}

void FrameExecutionTest::databaseBoxListsAndUsesMariaDBDatabases() {
    MARLIX_QT_FRAME_ON(h, Server::MariaDB, ConnectionType::MySQL);
    QComboBox* box = h.Frame().Selection().DatabaseBox();
    QVERIFY(box->isEnabled());
    QVERIFY(box->count() >= 2);
    QCOMPARE(h.Frame().Selection().SelectedDatabase(), std::string("marlix"));

    const int other = box->findData(QStringLiteral("information_schema"));
    QVERIFY(other >= 0);
    h.Frame().Connection().ChooseDatabase(QStringLiteral("information_schema"));
    QVERIFY(h.RunScript(QStringLiteral("select database() as current_db;")));
    QVERIFY2(h.ResultsText().contains(QStringLiteral("information_schema")), qPrintable(h.ResultsText()));
    // After the run the box shows the database in use.
    QCOMPARE(h.Frame().Selection().SelectedDatabase(), std::string("information_schema"));
    h.Frame().Connection().ChooseDatabase(QStringLiteral("marlix"));

    h.Frame().Connection().Disconnect();
    QVERIFY(!box->isEnabled());
    QCOMPARE(box->count(), 0);
}

QTEST_MAIN(FrameExecutionTest)
#include "FrameExecutionTest.moc"
