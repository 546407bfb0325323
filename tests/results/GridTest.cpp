// The grids of the Grids tab over real fetched result sets.
#include "core/DateTimeText.h"
#include "core/ODBCException.h"
#include "core/ProfileStore.h"
#include "core/UserLocale.h"
#include "core/ValueText.h"
#include "db/ODBCSession.h"
#include "results/grid/GridPresentation.h"
#include "results/grid/GridsPane.h"
#include "results/grid/ResultGrid.h"
#include "results/grid/ResultSetModel.h"
#include "support/SessionFixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QToolTip>
#include <QtTest>

#include <memory>
#include <optional>

using namespace marlix;
using marlix::test::Server;

namespace {

// A connected session on a new SQLite database.
class Database {
public:
    // Makes grid_values: a row of ordinary values, a row of NULLs, a row of non-ASCII text.
    void Open(const char* name) {
        test::ConnectTo(session_, test::ConnectionString(Server::SQLite, name), profile_);
        session_.Thread().Call([&] {
            test::Exec(session_.Connection(), "DROP TABLE IF EXISTS grid_values");
            test::Exec(session_.Connection(), "CREATE TABLE grid_values (id INTEGER, name VARCHAR(40), "
                                              "qty NUMERIC(10,2), created TIMESTAMP, note VARCHAR(200))");
            test::Exec(
                session_.Connection(),
                "INSERT INTO grid_values VALUES (1, 'O''Brien', 12.50, '2004-06-27 10:20:30', 'plain'), "
                "(2, NULL, NULL, NULL, NULL), (3, 'Gr\xC3\xBC\xC3\x9F"
                "e', -3.25, '1999-12-31 23:59:59', 'x')");
        });
    }
    std::shared_ptr<ResultSet> Fetch(const std::string& sql, ConversionDescription description = {}) {
        return session_.Thread().Call([&] {
            return test::FetchQuery(session_.Connection(), sql, 0, 0, std::move(description)).resultSet;
        });
    }
    std::shared_ptr<ResultSet> FetchValues() {
        return Fetch("SELECT id, name, qty, created, note FROM grid_values ORDER BY id");
    }

private:
    MemoryProfileStore profile_;
    CODBCSession session_;
};

// Year first and a 24-hour clock, so a date's display text is known in advance.
UserLocale YearFirstLocale() {
    return UserLocale{2, false};
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Select(ResultGrid& grid, int top, int left, int bottom, int right) {
    const QItemSelection block(grid.model()->index(top, left), grid.model()->index(bottom, right));
    grid.selectionModel()->select(block, QItemSelectionModel::Select);
}

QString CopiedWithCtrlC(ResultGrid& grid) {
    QApplication::clipboard()->clear();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    return QApplication::clipboard()->text();
}

// A caption's text in the pane, found through the grid's frame.
QString CaptionOf(ResultGrid* grid) {
    auto* caption = grid->parentWidget()->findChild<QLabel*>();
    return caption ? caption->text() : QString();
}

// 50 rows of one column, whose output is said to start at `outputStart`.
std::shared_ptr<ResultSet> FiftyRows(Database& db, size_t outputStart) {
    auto rs = db.Fetch("WITH RECURSIVE g(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM g WHERE i < 50) "
                       "SELECT i FROM g");
    rs->outputStart = outputStart;
    return rs;
}

} // namespace

class ResultGridTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        try {
            sqlite_.Open("results_grid");
        } catch (const CODBCException& e) {
            QFAIL(e.Message().c_str());
        }
    }

    // The model over a fetched result passes Qt's model checks and shows the engine's display
    // texts, with NULL marked. The texts per server are ValueText's own (core tests).
    void modelShowsTheEngineDisplayText() {
        std::shared_ptr<ResultSet> rs = sqlite_.FetchValues();
        const UserLocaleProvider previous = SetUserLocaleProvider(&YearFirstLocale);
        ResultSetModel model(rs);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 5);
        for (int c = 0; c < 5; ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), Utf8(rs->Column(c).Name()));
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 5; ++c) {
                const QString shown = model.data(model.index(r, c)).toString();
                const bool isNull = rs->Cell(r, c).isNull;
                QCOMPARE(isNull, r == 1 && c > 0);
                QCOMPARE(shown, isNull ? QString("NULL")
                                       : Utf8(ValueText(*rs, r, c, kLocaleMode, DefaultDialectSettingsSet(),
                                                        false)));
                // The NULL marker is not a value: an editor starts empty.
                if (isNull) QCOMPARE(model.data(model.index(r, c), Qt::EditRole).toString(), QString());
                // Greyed only for NULL.
                QCOMPARE(model.data(model.index(r, c), Qt::ForegroundRole).isValid(), isNull);
            }
        }
        QCOMPARE(model.data(model.index(0, 3)).toString(), QString("2004.06.27 10:20:30"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("O'Brien"));
        // Numbers to the right, text to the left.
        QVERIFY(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
        QVERIFY(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
        // Read-only: the editable model's cells are EditableGridTest's.
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 1), "x"));
        SetUserLocaleProvider(previous);
    }

    // Ctrl+C puts the selected cells on the clipboard as tab-separated Unicode text, not just
    // the current cell as the table view would.
    void ctrlCCopiesTheSelectedCells() {
        ResultGrid grid(sqlite_.FetchValues());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        Select(grid, 0, 0, 2, 1);
        QCOMPARE(CopiedWithCtrlC(grid), QString::fromUtf8("1\tO'Brien\n2\t\n3\tGr\xC3\xBC\xC3\x9F"
                                                          "e"));

        // Two cells apart: a line per row that has one, empty cells between.
        grid.clearSelection();
        Select(grid, 0, 0, 0, 0);
        Select(grid, 2, 1, 2, 1);
        QCOMPARE(CopiedWithCtrlC(grid), QString::fromUtf8("1\t\n\tGr\xC3\xBC\xC3\x9F"
                                                          "e"));

        // A click on a heading selects the whole column.
        grid.clearSelection();
        const int x = grid.horizontalHeader()->sectionViewportPosition(2) + grid.columnWidth(2) / 2;
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(x, 3));
        QCOMPARE(CopiedWithCtrlC(grid), QString("12.5\n\n-3.25"));

        // A value holding a line break or a tab is quoted as spreadsheets quote it: still one cell.
        auto broken = sqlite_.Fetch(
            "SELECT 'line one' || char(10) || 'two' AS a, 'b' || char(9) || 'c' AS b, 'say \"hi\"' AS c");
        ResultGrid other(broken);
        Select(other, 0, 0, 0, 2);
        QCOMPARE(CopiedWithCtrlC(other), QString("\"line one\ntwo\"\t\"b\tc\"\tsay \"hi\""));
        QCOMPARE(other.model()->data(other.model()->index(0, 0)).toString(), QString::fromUtf8("line one\u21B5two"));
        QCOMPARE(other.model()->data(other.model()->index(0, 0), Qt::ToolTipRole).toString(), QString("line one\ntwo"));
    }

    // Column widths come from the column statistics: binary ones are capped, others start at
    // most a third of the page wide, the whole value in the tooltip; rows have one height.
    void columnsAreSizedFromTheResultSetStatistics() {
        auto rs = sqlite_.Fetch(
            "SELECT 'ab' AS s, replace(hex(zeroblob(75)), '0', 'x') AS l, 7 AS n, zeroblob(100) AS b");
        ResultGrid grid(rs);
        const int character = grid.fontMetrics().averageCharWidth();
        QVERIFY(GridColumnCharacters(rs->Column(1)) >= 150);
        QCOMPARE(GridColumnCharacters(rs->Column(3)), kGridBinaryMaxCharacters);
        for (auto [page, widest] : {std::pair{0, 448}, {1344, 448}, {1800, 600}})
            QCOMPARE(GridColumnMaxWidth(7, page), widest);
        QVERIFY(grid.columnWidth(1) < (kGridBinaryMaxCharacters + 4) * character);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QRect cell = grid.visualRect(grid.model()->index(0, 1));
        QHelpEvent tip(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(grid.viewport(), &tip);
        QTRY_COMPARE(QToolTip::text(), QString(150, 'x'));
        grid.SetPageWidth(600 * character);
        QVERIFY(grid.columnWidth(1) >= 150 * character);
        QVERIFY(grid.columnWidth(0) < grid.columnWidth(1) / 4);
        QVERIFY(grid.columnWidth(0) >= 3 * character); // "s" with its margin, not squeezed to the value
        QCOMPARE(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    }

    // The row-header steps and the caption.
    void rowHeaderWidthsAndCaptions() {
        const std::pair<int64_t, int> steps[] = {{0, 30},      {50, 30},      {51, 40},     {900, 40},
                                                 {1000, 50},   {9900, 50},    {99900, 60},  {999900, 70},
                                                 {999901, 80}, {9999900, 80}, {9999901, 90}};
        for (auto [rows, width] : steps)
            QCOMPARE(RowHeaderWidth(rows), width);
        for (auto [rows, height] : {std::pair{1, 50}, {14, 50}, {15, 160}, {1000000, 160}})
            QCOMPARE(GridFirstHeight(rows, 50), height);

        ConversionDescription from;
        from.sourceTable = "grid_values";
        auto rs = sqlite_.Fetch("SELECT id FROM grid_values", from);
        QCOMPARE(QString::fromStdString(GridCaptionText(2, *rs, false)),
                 QString("Result 2: 3 rows from grid_values"));
        auto one = sqlite_.Fetch("SELECT 1 AS one");
        QCOMPARE(QString::fromStdString(GridCaptionText(1, *one, true)),
                 QString("Result 1: 1 row (earlier run)"));
        QCOMPARE(QString::fromStdString(GroupedNumber(1234567)), QString("1,234,567"));
        QCOMPARE(QString::fromStdString(GroupedNumber(999)), QString("999"));
    }

    // Adding, marking earlier, truncating and clearing keep the grids, their result sets and
    // the current grid in step.
    void paneKeepsGridsOfTheRuns() {
        GridsPane pane;
        pane.resize(700, 500);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QSignalSpy current(&pane, &GridsPane::currentGridChanged);

        pane.AddGrid(nullptr); // nothing to show: no grid, no failure
        QCOMPARE(pane.GridCount(), 0);
        auto first = sqlite_.FetchValues();
        auto second = sqlite_.Fetch("SELECT id FROM grid_values");
        pane.AddGrid(first);
        pane.AddGrid(second);
        QCOMPARE(pane.GridCount(), 2);
        QCOMPARE(&pane.GridAt(0)->Result(), first.get());
        QCOMPARE(pane.GridAt(2), nullptr);
        QCOMPARE(CaptionOf(pane.GridAt(1)), QString("Result 2: 3 rows"));

        QTest::mouseClick(pane.GridAt(1)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(pane.CurrentGrid(), pane.GridAt(1));
        QCOMPARE(current.count(), 1);

        // A new run: the old grids are earlier ones, the new results count from 1 again.
        pane.MarkAllEarlier();
        auto third = sqlite_.Fetch("SELECT name FROM grid_values");
        pane.AddGrid(third);
        QVERIFY(pane.GridAt(0)->Model().IsEarlierRun());
        QVERIFY(!pane.GridAt(2)->Model().IsEarlierRun());
        QCOMPARE(CaptionOf(pane.GridAt(0)), QString("Result 1: 3 rows (earlier run)"));
        QCOMPARE(CaptionOf(pane.GridAt(2)), QString("Result 1: 3 rows"));

        // Truncate: only the latest run's grid stays, and the others let go of their results.
        pane.RemoveEarlier();
        QCOMPARE(pane.GridCount(), 1);
        QCOMPARE(&pane.GridAt(0)->Result(), third.get());
        QCOMPARE(first.use_count(), 1L);
        QCOMPARE(second.use_count(), 1L);
        QCOMPARE(pane.CurrentGrid(), nullptr); // the current grid went with them
        QCOMPARE(current.count(), 2);

        pane.Clear();
        QCOMPARE(pane.GridCount(), 0);
        QCOMPARE(third.use_count(), 1L);
        pane.Clear(); // nothing there: nothing happens
        QCOMPARE(current.count(), 2);
    }

    // Show result in grid: the grid of that output comes to the top of the page with the focus;
    // big results scroll inside their own grid, small ones are as high as their rows; the gap
    // below a grid drags its height and moves the grids below.
    void paneShowsTheGridOfAnOutput() {
        GridsPane pane;
        pane.resize(600, 300);
        pane.show();
        QApplication::setActiveWindow(&pane);
        QVERIFY(QTest::qWaitForWindowActive(&pane));

        for (size_t start : {0, 100, 200, 300})
            pane.AddGrid(FiftyRows(sqlite_, start));
        auto small = sqlite_.Fetch("SELECT id FROM grid_values");
        small->outputStart = 400;
        pane.AddGrid(small);
        QCOMPARE(pane.GridCount(), 5);

        // Each 50-row grid is 160 pixels high; the small one shows its three rows.
        for (int i = 0; i < 4; ++i)
            QTRY_COMPARE(pane.GridAt(i)->height(), kGridFirstHeight);
        ResultGrid* last = pane.GridAt(4);
        QTRY_COMPARE(last->height(), last->HeightForRows(3, last->width()));
        const auto drag = [&](int grid, int by) { // the gap below `grid`, `by` pixels down
            QWidget* gap = pane.findChild<QSplitter*>()->handle(grid + 1);
            const QPoint at = gap->rect().center();
            QTest::mousePress(gap, Qt::LeftButton, {}, at);
            QTest::mouseMove(gap, at + QPoint(0, by));
            QTest::mouseRelease(gap, Qt::LeftButton, {}, at + QPoint(0, by));
        };
        const int below = pane.GridAt(1)->parentWidget()->y();
        drag(0, 40);
        QCOMPARE(pane.GridAt(0)->height(), kGridFirstHeight + 40);
        QCOMPARE(pane.GridAt(1)->height(), kGridFirstHeight);
        QCOMPARE(pane.GridAt(1)->parentWidget()->y(), below + 40);
        drag(4, 60); // the last grid drags down into the page, and not below the least height
        QCOMPARE(last->height(), last->HeightForRows(3, last->width()) + 60);
        drag(4, -500);
        QCOMPARE(last->height(), kGridLeastHeight);

        ResultGrid* shown = pane.GridAt(2);
        QTRY_VERIFY(shown->parentWidget()->y() > pane.height()); // two page heights down

        QVERIFY(!pane.ShowGridFor(150));
        QVERIFY(pane.ShowGridFor(200));
        QCOMPARE(pane.CurrentGrid(), shown);
        QTRY_VERIFY(shown->hasFocus());
        // Its caption sits at the top of the page, the grid right below it.
        QTRY_VERIFY(std::abs(shown->parentWidget()->mapTo(&pane, QPoint(0, 0)).y()) <= 1);

        // An earlier run's grid is found when no grid of the latest run has that output.
        pane.MarkAllEarlier();
        pane.AddGrid(FiftyRows(sqlite_, 100));
        QVERIFY(pane.ShowGridFor(100));
        QCOMPARE(pane.CurrentGrid(), pane.GridAt(5));
        QVERIFY(pane.ShowGridFor(300));
        QCOMPARE(pane.CurrentGrid(), pane.GridAt(3));
        QTRY_VERIFY(std::abs(pane.GridAt(3)->parentWidget()->mapTo(&pane, QPoint(0, 0)).y()) <= 1);

        // Asked while another tab is in front: done when the pane is shown.
        GridsPane hidden;
        hidden.resize(600, 300);
        for (size_t start : {0, 100, 200, 300})
            hidden.AddGrid(FiftyRows(sqlite_, start));
        QVERIFY(hidden.ShowGridFor(200));
        QTest::qWait(1);
        hidden.show();
        QTRY_VERIFY(std::abs(hidden.GridAt(2)->parentWidget()->mapTo(&hidden, QPoint(0, 0)).y()) <= 1);
        QVERIFY(hidden.GridAt(2)->parentWidget()->y() > hidden.height());
    }

private:
    Database sqlite_;
};

QTEST_MAIN(ResultGridTest)
#include "GridTest.moc"
