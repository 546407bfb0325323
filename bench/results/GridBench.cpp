// bench_grid: a grid over a million fetched rows. Opening it (model, view, first paint) and
// jumping to the last row, against the same view over a model that answers every cell with
// a constant text and against reading the visible cells directly; and the memory the grid
// adds to its result set for ten thousand rows and for a million.
#include "core/DateTimeText.h"
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "core/ValueText.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "results/grid/ResultGrid.h"
#include "support/BenchTable.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

using namespace marlix;
using namespace marlix::bench;

namespace {

constexpr int kRounds = 5;
constexpr double kTargetMs = 16.0;

// Bytes the heap hands out now (small blocks and mapped ones alike).
long HeapInUse() {
    struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks + info.hblkhd);
}

std::shared_ptr<ResultSet> Fetch(SQLHDBC connection, int rowLimit) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)kBenchQuery, SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    auto rs = std::make_shared<ResultSet>(columns, rowLimit, 0);
    TextHistoryOutput history;
    rs->DescribeAndBind(statement, 0);
    rs->FetchAll(statement, 0, history);
    return rs;
}

// The cheapest model a view can have: the same shape, one constant text for every cell.
class ConstantModel : public QAbstractTableModel {
public:
    ConstantModel(int rows, int columns) : rows_(rows), columns_(columns) {}
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : columns_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole && index.isValid() ? QVariant(text_) : QVariant();
    }

private:
    int rows_, columns_;
    QString text_ = QStringLiteral("customer 123456");
};

// The same view settings as the grid, over the constant model.
std::unique_ptr<QTableView> ConstantView(int rows, int columns, int rowHeight) {
    auto view = std::make_unique<QTableView>();
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setWordWrap(false);
    view->setModel(new ConstantModel(rows, columns));
    view->model()->setParent(view.get());
    return view;
}

struct Timing {
    double openMs = 1e100;
    double jumpMs = 1e100;
    bool lastRowShown = false;
};

// Shows the view and paints it; then jumps to the last row and paints again.
Timing OpenAndJump(const std::function<std::unique_ptr<QTableView>()>& make,
                   std::unique_ptr<QTableView>* keep) {
    Timing t;
    double start = Now();
    std::unique_ptr<QTableView> view = make();
    view->resize(1000, 700);
    view->show();
    QApplication::processEvents(); // polish, layout, the first paint
    view->viewport()->repaint();   // makes sure the paint is done inside the span
    t.openMs = (Now() - start) * 1000;

    start = Now();
    view->scrollToBottom();
    view->viewport()->repaint();
    t.jumpMs = (Now() - start) * 1000;
    const int rows = view->model()->rowCount();
    t.lastRowShown = view->rowAt(view->viewport()->height() - 1) == rows - 1 ||
                     view->verticalScrollBar()->value() == view->verticalScrollBar()->maximum();
    if (keep) *keep = std::move(view);
    return t;
}

Timing Best(const std::function<std::unique_ptr<QTableView>()>& make) {
    Timing best;
    for (int round = 0; round < kRounds; ++round) {
        Timing t = OpenAndJump(make, nullptr);
        best.openMs = std::min(best.openMs, t.openMs);
        best.jumpMs = std::min(best.jumpMs, t.jumpMs);
        best.lastRowShown = t.lastRowShown;
    }
    return best;
}

// Reading the cells a 700-pixel grid shows (first and last screen) straight from the result set.
double DirectReadMs(ResultSet& rs, int visibleRows) {
    double best = 1e100;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        size_t bytes = 0;
        for (int64_t first : {int64_t{0}, rs.RowCount() - visibleRows})
            for (int64_t row = std::max<int64_t>(first, 0); row < first + visibleRows && row < rs.RowCount();
                 ++row)
                for (int c = 0; c < rs.ColumnCount(); ++c) {
                    std::string_view text =
                        ValueText(rs, row, c, kLocaleMode, DefaultDialectSettingsSet(), false);
                    bytes += QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).size();
                }
        best = std::min(best, (Now() - start) * 1000);
        if (bytes == 0) std::fprintf(stderr, "no cells were read\n");
    }
    return best;
}

struct Selecting {
    double selectAllMs = 0; // Ctrl+A and the repaint
    double columnMs = 0;    // a click on a heading: the whole column, and the repaint
    double copyAllMs = 0;   // the text Ctrl+C puts on the clipboard for every cell
    size_t copiedBytes = 0;
};

Selecting SelectAndCopy(const std::shared_ptr<ResultSet>& rs) {
    Selecting s;
    ResultGrid grid(rs);
    grid.resize(1000, 700);
    grid.show();
    QApplication::processEvents();
    double start = Now();
    grid.selectColumn(1);
    grid.viewport()->repaint();
    grid.horizontalHeader()->repaint();
    grid.verticalHeader()->repaint();
    s.columnMs = (Now() - start) * 1000;
    start = Now();
    grid.selectAll();
    grid.viewport()->repaint();
    grid.verticalHeader()->repaint();
    s.selectAllMs = (Now() - start) * 1000;
    start = Now();
    s.copiedBytes = static_cast<size_t>(grid.SelectedText().size()) * 2;
    s.copyAllMs = (Now() - start) * 1000;
    return s;
}

struct Memory {
    long heap = 0; // heap bytes the open grid holds
    long rss = 0;  // resident growth while it was opened
};

// What an open, painted grid scrolled to its last row adds to its result set.
Memory GridMemory(const std::shared_ptr<ResultSet>& rs) {
    QApplication::processEvents();
    malloc_trim(0);
    const long heap = HeapInUse(), rss = CurrentRss();
    std::unique_ptr<QTableView> grid;
    OpenAndJump([&] { return std::make_unique<ResultGrid>(rs); }, &grid);
    Memory m{HeapInUse() - heap, CurrentRss() - rss};
    grid.reset();
    return m;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    CODBCSession session;
    if (!session.Initialize()) {
        std::fprintf(stderr, "%s\n", kOdbcInitFailedMessage);
        return 1;
    }
    MemoryProfileStore profile;
    const BenchDatabase db = AvailableDatabases().front(); // SQLite, needs no server
    std::shared_ptr<ResultSet> million, small;
    try {
        ConnectionRequest request{ConnectionType::MicrosoftSQL, db.connectionString, "", "", db.name};
        session.Connect(request, profile);
        session.Thread().Call([&] {
            EnsureBenchTable(session.Connection(), db.server);
            million = Fetch(session.Connection(), 0);
            small = Fetch(session.Connection(), 10000);
        });
        session.Disconnect();
    } catch (const CODBCException& e) {
        std::fprintf(stderr, "%s: %s\n", db.name.c_str(), e.Message().c_str());
        return 1;
    }
    const int rows = static_cast<int>(million->RowCount());
    const int columns = million->ColumnCount();

    // Fonts, styles and the platform plugin load on the first paint of the process.
    OpenAndJump([&] { return std::make_unique<ResultGrid>(small); }, nullptr);
    const int rowHeight = ResultGrid(small).RowHeight();

    Timing grid = Best([&] { return std::make_unique<ResultGrid>(million); });
    Timing constant = Best([&] { return ConstantView(rows, columns, rowHeight); });
    const int visibleRows = 700 / rowHeight + 1;
    double direct = DirectReadMs(*million, visibleRows);

    Selecting selecting = SelectAndCopy(million);
    Memory smallMemory = GridMemory(small);
    Memory largeMemory = GridMemory(million);
    // Twice more, to see what is kept rather than what the allocator holds on to.
    smallMemory = std::min(smallMemory, GridMemory(small), [](auto& a, auto& b) { return a.heap < b.heap; });
    largeMemory =
        std::min(largeMemory, GridMemory(million), [](auto& a, auto& b) { return a.heap < b.heap; });

    std::printf("grid over %s rows x %d columns from %s, best of %d\n", std::to_string(rows).c_str(), columns,
                db.name.c_str(), kRounds);
    std::printf("  %-34s %9s %9s\n", "", "open ms", "jump ms");
    std::printf("  %-34s %9.2f %9.2f%s\n", "result grid", grid.openMs, grid.jumpMs,
                grid.lastRowShown ? "" : "  [last row not shown]");
    std::printf("  %-34s %9.2f %9.2f%s\n", "baseline: same view, constant model", constant.openMs,
                constant.jumpMs, constant.lastRowShown ? "" : "  [last row not shown]");
    std::printf("  %-34s %9.3f %9s\n", "baseline: read 2 screens of cells", direct, "");
    std::printf("selecting a column: %.2f ms, selecting all: %.2f ms (with the repaint); "
                "copying all %d cells: %.0f ms for %.0f MB of text\n",
                selecting.columnMs, selecting.selectAllMs, rows * columns, selecting.copyAllMs,
                selecting.copiedBytes / 1048576.0);
    std::printf("memory an open grid adds to its result set (heap in use; resident growth beside it)\n");
    std::printf("  %-34s %9.1f KB heap %9.1f KB resident\n", "10,000 rows", smallMemory.heap / 1024.0,
                smallMemory.rss / 1024.0);
    std::printf("  %-34s %9.1f KB heap %9.1f KB resident\n", "1,000,000 rows", largeMemory.heap / 1024.0,
                largeMemory.rss / 1024.0);
    const double perRow = double(largeMemory.heap - smallMemory.heap) / (rows - small->RowCount());
    std::printf("  growth with the row count: %.2f bytes per row (result set itself: %.1f bytes per row)\n",
                perRow, double(million->Cells().FootprintBytes()) / rows);
    const bool fast = grid.openMs <= kTargetMs && grid.jumpMs <= kTargetMs;
    std::printf("open and jump within %.0f ms: %s\n", kTargetMs, fast ? "yes" : "no  [outside target]");
    return 0;
}
