// The Execution history: statement summaries, entries with their spans, truncate and clear,
// and the pane around them (appending, hover popup, entry menu, statement text dialog).
#include "results/history/ExecutionHistory.h"
#include "results/history/HistoryPane.h"
#include "results/history/QueryTextDialog.h"
#include "results/history/StatementSummaryPopup.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <string>

using namespace marlix;

namespace {

std::string Repeat(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

// One statement run through the pane as the engine reports it.
void RunStatement(HistoryPane& pane, const std::string& text, std::string_view message, bool fails,
                  size_t sinkStart, size_t sinkEnd) {
    pane.BeginEntry(text, sinkStart);
    pane.AppendText(message);
    if (fails) pane.MarkError();
    pane.EndEntry(sinkEnd);
}

// The pane text an entry's log span covers.
QString LogText(HistoryPane& pane, const ExecutionHistory::Entry& entry) {
    return pane.PlainText().mid(static_cast<qsizetype>(entry.logStart),
                                static_cast<qsizetype>(entry.logEnd - entry.logStart));
}

bool Shown(QWidget& widget) {
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

// Lets the event loop put the appended text into the document.
bool Settle(HistoryPane& pane) {
    return QTest::qWaitFor(
        [&] { return static_cast<size_t>(pane.document()->characterCount() - 1) == pane.Length(); });
}

// The viewport point in the middle of the first character of a pane line.
QPoint PointOfLine(const HistoryPane& pane, int line) {
    const QTextBlock block = pane.document()->findBlockByNumber(line);
    QTextCursor cursor(block);
    const QRect rect = pane.cursorRect(cursor);
    return {rect.left() + 3, rect.center().y()};
}

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void summarize_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QByteArray>("summary");

        auto row = [](const char* name, const std::string& statement, const std::string& summary) {
            QTest::newRow(name) << QByteArray::fromStdString(statement) << QByteArray::fromStdString(summary);
        };
        const std::string y56 = Repeat("y", 56), cut = " ...\r\n";
        row("25 lines give the first 20", NumberedLines(25), NumberedLines(20));
        row("56 characters stay whole", y56, y56 + "\r\n");
        row("57 characters are cut to 56 and ' ...'", y56 + "y", y56 + cut);
        row("blank lines are skipped", "\r\n  \t\r\nselect 1\r\n\r\n   \r\nfrom t\r\n",
            "select 1\r\nfrom t\r\n");
        row("21 lines among blank ones give 20", "\r\n\r\n" + NumberedLines(10) + " \r\n" + NumberedLines(11),
            NumberedLines(10) + NumberedLines(10));
        row("last line without a line end", "select a,\r\n  b from t", "select a,\r\n  b from t\r\n");
        row("indentation is kept", "\tselect 1", "\tselect 1\r\n");
        row("lone CR and lone LF end lines", "a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd\r\n");
        row("long last line without a line end", "select\r\n" + y56 + "y", "select\r\n" + y56 + cut);
        row("control characters only is blank", "\x01\x02 \t", "");
        row("empty", "", "");
        // Lines count characters, not bytes.
        const std::string e56 = Repeat("\xC3\xA9", 56), euro = "\xE2\x82\xAC";
        row("56 two-byte characters stay whole", e56, e56 + "\r\n");
        row("57 two-byte characters are cut", e56 + "!", e56 + cut);
        row("a cut inside a character keeps it whole", Repeat("a", 55) + euro + euro,
            Repeat("a", 55) + euro + cut);
        row("bytes that are no UTF-8 count one each", Repeat("\xE9", 57), Repeat("\xE9", 56) + cut);
        row("a sequence cut short by the line end", Repeat("b", 56) + "\xE2\x82", Repeat("b", 56) + cut);
        row("four-byte characters", Repeat("\xF0\x9F\x98\x80", 80), Repeat("\xF0\x9F\x98\x80", 56) + cut);
        row("sequences all cut short", Repeat("\xE2\x82", 70), Repeat("\xE2\x82", 28) + cut);
    }

    void summarize() {
        QFETCH(QByteArray, statement);
        QFETCH(QByteArray, summary);
        const std::string made = ExecutionHistory::Summarize(statement.toStdString());
        QCOMPARE(QByteArray::fromStdString(made), summary);

        ExecutionHistory history;
        history.BeginEntry(statement.toStdString(), 0, 0);
        history.EndEntry(0);
        QCOMPARE(history.Entries().at(0).lineCount, static_cast<int>(summary.count('\n')));
        QCOMPARE(history.Entries().at(0).width, 60);
    }

    void errorFlagBelongsToOneStatement() {
        HistoryPane pane;
        RunStatement(pane, "select * from missing", "no such table: missing\r\n", true, 0, 0);
        RunStatement(pane, "insert into t values (1)", "1 row(s) affected\r\n", false, 0, 0);
        RunStatement(pane, "select 1", "1 row(s) selected \r\n", false, 0, 17);

        QCOMPARE(pane.PlainText(), QStringLiteral("no such table: missing\n"
                                                  "SQL batch completed with error(s)\n"
                                                  "1 row(s) affected\n"
                                                  "SQL batch completed successfully\n"
                                                  "1 row(s) selected \n"
                                                  "SQL batch completed successfully\n"));
        const auto& entries = pane.History().Entries();
        QCOMPARE(entries.size(), size_t{3});
        QVERIFY(entries[0].failed);
        QVERIFY(!entries[1].failed);
        QCOMPARE(LogText(pane, entries[0]),
                 QStringLiteral("no such table: missing\nSQL batch completed with error(s)\n"));
        QCOMPARE(LogText(pane, entries[1]),
                 QStringLiteral("1 row(s) affected\nSQL batch completed successfully\n"));
        QCOMPARE(entries[1].statementText, std::string("insert into t values (1)"));
        QCOMPARE(entries[2].outputStart, size_t{0});
        QCOMPARE(entries[2].outputEnd, size_t{17});
        QCOMPARE(entries[2].summary, std::string("select 1\r\n"));

        // A completion line when no statement began is shown; no entry grows over it.
        const size_t end = entries[2].logEnd;
        pane.EndEntry(5);
        QCOMPARE(entries.size(), size_t{3});
        QCOMPARE(entries[2].logEnd, end);
        QCOMPARE(pane.History().IndexAtLog(end), -1);
        QVERIFY(
            pane.PlainText().endsWith(QStringLiteral("successfully\nSQL batch completed successfully\n")));
    }

    void entryAtLogEdges() {
        ExecutionHistory history;
        history.BeginEntry("a", 0, 0);
        QCOMPARE(history.EndEntry(0), std::string("SQL batch completed successfully\r\n"));
        history.RecordLogEnd(10);
        history.BeginEntry("b", 0, 10);
        history.MarkError();
        QCOMPARE(history.EndEntry(0), std::string("SQL batch completed with error(s)\r\n"));
        history.RecordLogEnd(20);
        // Text outside any entry (a report between batches) from 20 to 25.
        history.BeginEntry("c", 0, 25);
        history.EndEntry(0);
        history.RecordLogEnd(30);

        const std::pair<size_t, int> cases[] = {{0, 0},   {9, 0},  {10, 1}, {19, 1},  {20, -1},
                                                {24, -1}, {25, 2}, {29, 2}, {30, -1}, {1000, -1}};
        for (const auto& [position, index] : cases) {
            QCOMPARE(history.IndexAtLog(position), index);
            const ExecutionHistory::Entry* entry = history.EntryAtLog(position);
            QCOMPARE(entry ? static_cast<int>(entry - history.Entries().data()) : -1, index);
        }
        QCOMPARE(ExecutionHistory().EntryAtLog(0), nullptr);
    }

    void truncateKeepsExactlyTheLatestBatch() {
        HistoryPane pane;
        pane.MarkBatchStart();
        RunStatement(pane, "select 1", "1 row(s) selected \r\n", false, 0, 20);
        RunStatement(pane, "select x", "no such column: x\r\n", true, 20, 20);
        pane.SetLatestOutputBase(0);
        pane.AppendText("Connected to demo\r\n"); // between the batches: an earlier run's text

        pane.MarkBatchStart();
        pane.AppendText("Läuft\r\n"); // the latest batch's own text before its first entry
        RunStatement(pane, "select 'ä'", "1 row(s) selected \r\n", false, 0, 30);
        RunStatement(pane, "delete from t", "2 row(s) affected\r\n", false, 30, 30);
        QVERIFY(!pane.History().Entries()[3].outputBase.has_value()); // the batch has not ended yet
        pane.SetLatestOutputBase(20);
        // The output base goes to the latest batch's entries only.
        QCOMPARE(pane.History().Entries()[1].outputBase, std::optional<size_t>(0));
        QCOMPARE(pane.History().Entries()[2].outputBase, std::optional<size_t>(20));
        const std::vector<ExecutionHistory::Entry> latest(pane.History().Entries().begin() + 2,
                                                          pane.History().Entries().end());

        pane.Truncate();

        const QString kept = QStringLiteral("Läuft\n"
                                            "1 row(s) selected \n"
                                            "SQL batch completed successfully\n"
                                            "2 row(s) affected\n"
                                            "SQL batch completed successfully\n");
        QCOMPARE(pane.PlainText(), kept);
        QCOMPARE(pane.Length(), static_cast<size_t>(kept.size()));
        const auto& entries = pane.History().Entries();
        QCOMPARE(entries.size(), size_t{2});
        for (size_t i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].statementText, latest[i].statementText);
            QCOMPARE(entries[i].outputStart, latest[i].outputStart);
            QCOMPARE(entries[i].outputBase, std::optional<size_t>(0)); // earlier Results text is gone too
        }
        QCOMPARE(LogText(pane, entries[0]),
                 QStringLiteral("1 row(s) selected \nSQL batch completed successfully\n"));
        QCOMPARE(LogText(pane, entries[1]),
                 QStringLiteral("2 row(s) affected\nSQL batch completed successfully\n"));
        QCOMPARE(pane.History().IndexAtLog(0), -1);
        QCOMPARE(pane.History().IndexAtLog(entries[0].logStart), 0);

        // Truncating again, and running on afterwards, keeps everything in step.
        pane.Truncate();
        QCOMPARE(pane.PlainText(), kept);
        pane.MarkBatchStart();
        RunStatement(pane, "select 3", "", false, 0, 0);
        pane.Truncate();
        QCOMPARE(pane.PlainText(), QStringLiteral("SQL batch completed successfully\n"));
        QCOMPARE(pane.History().Entries().size(), size_t{1});
        QCOMPARE(pane.History().Entries()[0].logStart, size_t{0});
        QCOMPARE(pane.History().Entries()[0].statementText, std::string("select 3"));
    }

    void clear() {
        HistoryPane pane;
        pane.Clear(); // an empty pane stays empty, and so does truncating it
        pane.Truncate();
        QCOMPARE(pane.PlainText(), QString());

        pane.MarkBatchStart();
        RunStatement(pane, "select 1", "1 row(s) selected \r\n", false, 0, 0);
        pane.MarkBatchStart();
        RunStatement(pane, "select 2", "1 row(s) selected \r\n", false, 0, 0);
        pane.Clear();
        QCOMPARE(pane.PlainText(), QString());
        QCOMPARE(pane.Length(), size_t{0});
        QVERIFY(pane.History().Entries().empty());
        QCOMPARE(pane.History().EntryAtLog(0), nullptr);

        // A later Truncate has no earlier batch to cut; new entries start at the front.
        pane.Truncate();
        RunStatement(pane, "select 3", "", false, 0, 0);
        QCOMPARE(pane.History().Entries()[0].logStart, size_t{0});
        QCOMPARE(pane.PlainText(), QStringLiteral("SQL batch completed successfully\n"));
    }

    // Appending follows the end; scrolled up, or with a selection, the view stays where it is.
    void appendFollowsTheEndOrKeepsTheUsersSelectionAndScroll() {
        HistoryPane pane;
        pane.resize(400, 200);
        QVERIFY(Shown(pane));
        pane.moveCursor(QTextCursor::End);
        for (int i = 0; i < 100; ++i) {
            pane.AppendText("1 row(s) affected\r\n");
            if (i % 10 == 0) QVERIFY(Settle(pane));
        }
        QVERIFY(Settle(pane));
        QVERIFY(pane.verticalScrollBar()->maximum() > 0);
        QCOMPARE(pane.verticalScrollBar()->value(), pane.verticalScrollBar()->maximum());
        pane.verticalScrollBar()->setValue(5);
        pane.AppendText("1 row(s) affected\r\n");
        QVERIFY(Settle(pane));
        QCOMPARE(pane.verticalScrollBar()->value(), 5);
        QCOMPARE(static_cast<size_t>(pane.textCursor().position()), pane.Length());

        // A selection in the middle, the view scrolled up.
        QTextCursor selection(pane.document());
        selection.setPosition(20);
        selection.setPosition(40, QTextCursor::KeepAnchor);
        pane.setTextCursor(selection);
        pane.verticalScrollBar()->setValue(10);
        pane.AppendText("more\r\nand more\r\n");
        QVERIFY(Settle(pane));
        QCOMPARE(pane.textCursor().anchor(), 20);
        QCOMPARE(pane.textCursor().position(), 40);
        QCOMPARE(pane.verticalScrollBar()->value(), 10);

        // A selection that reaches the end does not take in the new text.
        const int end = static_cast<int>(pane.Length());
        selection.setPosition(end);
        selection.setPosition(end - 5, QTextCursor::KeepAnchor);
        pane.setTextCursor(selection);
        pane.AppendText("tail\r\n");
        QVERIFY(Settle(pane));
        QCOMPARE(pane.textCursor().anchor(), end);
        QCOMPARE(pane.textCursor().position(), end - 5);
        QCOMPARE(pane.textCursor().selectedText(), QStringLiteral("more") + QChar(QChar::ParagraphSeparator));
        QVERIFY(pane.PlainText().endsWith(QStringLiteral("and more\ntail\n")));
    }

    void lengthCountsPanePositionsBeforeTheDocumentHasThem() {
        HistoryPane pane;
        // Line breaks of every kind, one cut between its CR and LF, characters beyond 16 bits.
        pane.BeginEntry("select 1", 0);
        pane.AppendText("caf\xC3\xA9 \xF0\x9F\x98\x80\r");
        pane.AppendText("\nnext\rline\nend");
        pane.AppendText("\r\n");
        pane.EndEntry(0);
        RunStatement(pane, "select 2", "\xE2\x82\xAC\r\n", false, 0, 0);
        const size_t length = pane.Length();
        QVERIFY(Settle(pane));
        QCOMPARE(pane.Length(), length);
        const auto& entries = pane.History().Entries();
        QCOMPARE(LogText(pane, entries[0]), QStringLiteral("caf\u00E9 \U0001F600\n\nnext\nline\nend\n"
                                                           "SQL batch completed successfully\n"));
        QCOMPARE(LogText(pane, entries[1]), QStringLiteral("\u20AC\nSQL batch completed successfully\n"));
        QCOMPARE(entries[1].logEnd, pane.Length());
    }

    void popupShowsTheSummaryNextToTheMouse() {
        HistoryPane pane;
        pane.move(0, 0);
        pane.resize(600, 300);
        QVERIFY(Shown(pane));
        pane.AppendText("Connected\r\n");
        RunStatement(pane, "select a,\r\n\r\n  b & c\r\nfrom\tt", "1 row(s) selected \r\n", false, 0, 0);
        RunStatement(pane, "delete from t", "", false, 0, 0);
        QVERIFY(Settle(pane));

        // The pane's second and third lines are the first entry's messages.
        const QPoint onEntry = PointOfLine(pane, 2);
        QCOMPARE(pane.EntryIndexAt(onEntry), 0);
        QVERIFY(pane.ShowSummaryAt(onEntry));
        StatementSummaryPopup* popup = pane.SummaryPopup();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->Lines(), QStringList({"select a,", "  b & c", "from\tt"}));
        QCOMPARE(popup->pos(), pane.viewport()->mapToGlobal(onEntry) + QPoint(10, 5));
        QCOMPARE(popup->size(), QSize(732, 3 * QFontMetrics(popup->font()).height() + 2));
        QCOMPARE(popup->palette().color(QPalette::ToolTipBase),
                 QToolTip::palette().color(QPalette::ToolTipBase));
        QVERIFY(popup->font().family().contains(QStringLiteral("Courier New")) ||
                popup->font().styleHint() == QFont::Monospace);

        // The next entry shows its own summary.
        QVERIFY(pane.ShowSummaryAt(PointOfLine(pane, 3)));
        QCOMPARE(popup->Lines(), QStringList({"delete from t"}));
        QCOMPARE(popup->height(), QFontMetrics(popup->font()).height() + 2);

        // Text outside entries, and the empty space below the text, hide it.
        QVERIFY(!pane.ShowSummaryAt(PointOfLine(pane, 0)));
        QVERIFY(!popup->isVisible());
        QVERIFY(pane.ShowSummaryAt(onEntry));
        QVERIFY(!pane.ShowSummaryAt(QPoint(5, pane.viewport()->height() - 3)));
        QVERIFY(!popup->isVisible());

        // Through the mouse: moving onto an entry shows it, leaving the pane hides it.
        QTest::mouseMove(pane.viewport(), onEntry);
        QTRY_VERIFY(popup->isVisible());
        QCOMPARE(popup->Lines().size(), 3);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(pane.viewport(), &leave);
        QVERIFY(!popup->isVisible());

        // Clearing the pane takes the popup with it.
        QVERIFY(pane.ShowSummaryAt(onEntry));
        pane.Clear();
        QVERIFY(!popup->isVisible());
    }

    void popupStaysOnTheScreen() {
        HistoryPane pane;
        const QRect screen = pane.screen()->availableGeometry();
        pane.resize(300, 200);
        pane.move(screen.right() - 300, screen.bottom() - 200);
        QVERIFY(Shown(pane));
        RunStatement(pane, NumberedLines(20), "", false, 0, 0);
        QVERIFY(Settle(pane));
        QVERIFY(pane.ShowSummaryAt(PointOfLine(pane, 0)));
        const QRect popup = pane.SummaryPopup()->geometry();
        QVERIFY2(screen.contains(popup), qPrintable(QDebug::toString(popup)));
        // Moved above the mouse, it does not cover the entry's line.
        QVERIFY(popup.bottom() < pane.viewport()->mapToGlobal(PointOfLine(pane, 0)).y());
    }

    void entryMenuNamesTheEntry() {
        HistoryPane pane;
        RunStatement(pane, "select 1", "", false, 0, 0);
        RunStatement(pane, "select 2", "", false, 0, 0);
        QSignalSpy query(&pane, &HistoryPane::showQueryTextRequested);
        QSignalSpy text(&pane, &HistoryPane::showResultInTextRequested);
        QSignalSpy grid(&pane, &HistoryPane::showResultInGridRequested);

        std::unique_ptr<QMenu> menu(pane.CreateEntryMenu(1, nullptr));
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions[0]->text(), QStringLiteral("Show query text..."));
        QCOMPARE(actions[1]->text(), QStringLiteral("Show result in text"));
        QCOMPARE(actions[2]->text(), QStringLiteral("Show result in grid"));
        for (QAction* action : actions)
            action->trigger();
        QCOMPARE(query.size(), 1);
        QCOMPARE(query.at(0).at(0).toInt(), 1);
        QCOMPARE(text.at(0).at(0).toInt(), 1);
        QCOMPARE(grid.at(0).at(0).toInt(), 1);

        // A menu left open across a clear names no entry of the new history.
        pane.Clear();
        RunStatement(pane, "select 3", "", false, 0, 0);
        RunStatement(pane, "select 4", "", false, 0, 0);
        actions[0]->trigger();
        QCOMPARE(query.size(), 1);
    }

    void dialogCopiesTheStatementText() {
        const std::string statement = "select 'a\xC2\xA0"
                                      "b' as \"Stra\xC3\x9F"
                                      "e\"\r\n  from t\r\n";
        QueryTextDialog dialog(statement);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Executed statement text"));
        const QString expected = QStringLiteral("select 'a\u00A0b' as \"Stra\u00DFe\"\n  from t\n");
        QCOMPARE(dialog.Text(), expected);
        auto* shown = dialog.findChild<QPlainTextEdit*>();
        QVERIFY(shown && shown->isReadOnly());
        QCOMPARE(dialog.CopyButton()->text(), QStringLiteral("Copy"));
        QCOMPARE(dialog.CloseButton()->text(), QStringLiteral("Close"));

        dialog.show();
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        QVERIFY(dialog.isVisible()); // Copy leaves it open
        QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"
