#include "results/grid/ResultGrid.h"

#include "results/grid/CellTextCopy.h"
#include "results/grid/GridPresentation.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace marlix {
namespace {

// Pixels added to a column's text width for the cell's margins and the grid line.
constexpr int kCellMargin = 8;

} // namespace

ResultGrid::ResultGrid(std::shared_ptr<ResultSet> resultSet, QWidget* parent)
    : ResultGrid(new ResultSetModel(std::move(resultSet)), parent) {}

ResultGrid::ResultGrid(ResultSetModel* model, QWidget* parent) : QTableView(parent), model_(model) {
    model_->setParent(this);
    Configure();
    setModel(model_);
    // The column headings draw whether their column is selected, and the selection model
    // answers that by visiting every row of the column: after Select All on a million rows,
    // a quarter of a second per repaint. Headings with a selection of their own never see
    // the grid's selection; clicking a heading still selects the column through the grid.
    horizontalHeader()->setSelectionModel(new QItemSelectionModel(model_, horizontalHeader()));
    ApplyColumnWidths();
    // A reset (after edits) makes the header forget its section sizes.
    connect(model_, &QAbstractItemModel::modelReset, this, &ResultGrid::ApplyColumnWidths);
}

int ResultGrid::RowHeight() const {
    return fontMetrics().height() + 6;
}

void ResultGrid::Configure() {
    // Everything that would visit every row is switched off before the model arrives: the
    // row height is fixed and set while the header still has no sections, and no size is
    // measured from the cells.
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(RowHeight());
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setHighlightSections(false);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(true); // a click on a heading selects the column

    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);
}

void ResultGrid::ApplyColumnWidths() {
    const int character = std::max(fontMetrics().averageCharWidth(), 1);
    const ResultSet& rs = Result();
    for (int c = 0; c < rs.ColumnCount(); ++c)
        horizontalHeader()->resizeSection(c, GridColumnCharacters(rs.Column(c)) * character + kCellMargin);
    // The row numbers: as wide as the largest needs, by the same steps as the row count.
    verticalHeader()->setMinimumWidth(RowHeaderWidth(model_->rowCount()) * character / 7);
}

QString ResultGrid::SelectedText() const {
    std::vector<CellBlock> blocks;
    const QItemSelection selection = selectionModel()->selection();
    blocks.reserve(static_cast<size_t>(selection.size()));
    for (const QItemSelectionRange& range : selection)
        blocks.push_back({range.top(), range.bottom(), range.left(), range.right()});
    // Nothing selected: the current cell, as a single-cell copy.
    if (blocks.empty() && currentIndex().isValid())
        blocks.push_back(
            {currentIndex().row(), currentIndex().row(), currentIndex().column(), currentIndex().column()});
    const std::string text = SelectedCellsText(Result(), blocks, model_->DateMode(), model_->DateSettings());
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void ResultGrid::CopySelection() const {
    QApplication::clipboard()->setText(SelectedText());
}

int ResultGrid::HeightForRows(int64_t rows, int width) const {
    int64_t height = int64_t{2} * frameWidth() + horizontalHeader()->sizeHint().height() + rows * RowHeight();
    const int64_t columnsWidth =
        int64_t{2} * frameWidth() + verticalHeader()->sizeHint().width() + horizontalHeader()->length();
    if (columnsWidth > width) height += horizontalScrollBar()->sizeHint().height();
    return static_cast<int>(std::min<int64_t>(height, QWIDGETSIZE_MAX));
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    // The view's own Copy takes only the current cell.
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit gridActivated(this);
}

void ResultGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    emit gridActivated(this);
}

} // namespace marlix
