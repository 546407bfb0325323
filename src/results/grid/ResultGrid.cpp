#include "results/grid/ResultGrid.h"

#include "results/grid/CellTextCopy.h"
#include "results/grid/GridPresentation.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace marlix {
namespace {

// Pixels added to a column's text width for the cell's margins and the grid line.
constexpr int kCellMargin = 8;
constexpr int kMeasuredRows = 50;

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
    connect(model_, &QAbstractItemModel::dataChanged, this, &ResultGrid::WidenForValues);
}

void ResultGrid::WidenForValues(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    // A value just typed is shown whole where the column may grow to it: the user sees what
    // Save will write instead of its first letters. Only a few cells change at a time.
    if (bottomRight.row() - topLeft.row() > 16) return;
    const int widest = GridColumnMaxWidth(std::max(fontMetrics().averageCharWidth(), 1), pageWidth_);
    for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
        int width = horizontalHeader()->sectionSize(c) - kCellMargin;
        if (width >= widest) continue;
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            width = std::max(width, fontMetrics().horizontalAdvance(model_->index(row, c).data().toString()));
        if (width + kCellMargin > horizontalHeader()->sectionSize(c))
            horizontalHeader()->resizeSection(c, std::min(width, widest) + kCellMargin);
    }
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
    const int widest = GridColumnMaxWidth(character, pageWidth_);
    // Characters of a proportional font are not all of average width: the first rows' texts
    // are measured too, so a column of short values does not elide them.
    const int measured = std::min(model_->rowCount(), kMeasuredRows);
    for (int c = 0; c < rs.ColumnCount(); ++c) {
        int width = GridColumnCharacters(rs.Column(c)) * character;
        for (int row = 0; row < measured && width < widest; ++row)
            width = std::max(width, fontMetrics().horizontalAdvance(model_->index(row, c).data().toString()));
        horizontalHeader()->resizeSection(c, std::min(width, widest) + kCellMargin);
    }
    // The row numbers: as wide as the largest needs, by the same steps as the row count.
    verticalHeader()->setMinimumWidth(RowHeaderWidth(model_->rowCount()) * character / 7);
}

void ResultGrid::SetPageWidth(int width) {
    if (width == pageWidth_) return;
    pageWidth_ = width;
    ApplyColumnWidths();
}

bool ResultGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    // The model's own tooltip (a value with line breaks, why a column is read-only) comes first.
    if (!index.isValid() || !index.data(Qt::ToolTipRole).toString().isEmpty())
        return QTableView::viewportEvent(event);
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect cell = visualRect(index);
    if (fontMetrics().horizontalAdvance(text) + kCellMargin > cell.width())
        QToolTip::showText(help->globalPos(), text, viewport(), cell);
    else
        QToolTip::hideText();
    return true;
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

void ResultGrid::CopyAll() const {
    const std::string text = SelectedCellsText(
        Result(), {{0, model_->rowCount() - 1, 0, model_->columnCount() - 1}}, model_->DateMode(),
        model_->DateSettings());
    QApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int ResultGrid::HeightForRows(int64_t rows, int width) const {
    int64_t height = int64_t{2} * frameWidth() + horizontalHeader()->sizeHint().height() + rows * RowHeight();
    const int64_t columnsWidth =
        int64_t{2} * frameWidth() + verticalHeader()->sizeHint().width() + horizontalHeader()->length();
    if (columnsWidth > width) height += horizontalScrollBar()->sizeHint().height();
    return static_cast<int>(std::min<int64_t>(height, QWIDGETSIZE_MAX));
}

std::vector<int> ResultGrid::SelectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    if (rows.empty() && currentIndex().isValid()) rows.push_back(currentIndex().row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    // The view's own Copy takes only the current cell.
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && state() != EditingState) {
        emit deleteRowsRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex ResultGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    const int columns = model_->columnCount();
    if ((action == MoveNext || action == MovePrevious) && current.isValid() && columns > 0 &&
        model_->RowBeingAdded(current.row())) {
        // A new row is one record until the user leaves it: Tab stays within it.
        const int step = action == MoveNext ? 1 : columns - 1;
        return model_->index(current.row(), (current.column() + step) % columns);
    }
    return QTableView::moveCursor(action, modifiers);
}

void ResultGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit gridActivated(this);
}

void ResultGrid::CommitEditor() {
    if (state() != EditingState || committing_) return;
    // The open editor is the viewport's visible child. The message of a refusal takes the
    // activation again, hence the guard.
    committing_ = true;
    for (QWidget* editor : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!editor->isVisible()) continue;
        commitData(editor);
        break;
    }
    committing_ = false;
}

void ResultGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    emit gridActivated(this);
}

} // namespace marlix
