#pragma once
// The grid of one stored result set: a table view set up so that a million rows open and
// scroll as fast as ten (fixed row height, widths from the result set's own statistics,
// nothing measured from the cells), with cell selection and Ctrl+C as tab-separated text.
#include "results/grid/ResultSetModel.h"

#include <QTableView>

#include <memory>
#include <vector>

namespace marlix {

class ResultGrid : public QTableView {
    Q_OBJECT
public:
    // A read-only grid over `resultSet`.
    explicit ResultGrid(std::shared_ptr<ResultSet> resultSet, QWidget* parent = nullptr);
    // A grid over `model`, which it takes over (a model that accepts edits, for instance).
    explicit ResultGrid(ResultSetModel* model, QWidget* parent = nullptr);

    ResultSetModel& Model() const noexcept { return *model_; }
    ResultSet& Result() const noexcept { return model_->Result(); }

    // The selected cells as tab-separated display texts, one line per row.
    QString SelectedText() const;
    // Puts SelectedText on the clipboard (the Copy command on a grid).
    void CopySelection() const;
    // Puts every cell on the clipboard, as SelectedText writes them (Copy All).
    void CopyAll() const;

    // The height that shows `rows` rows, the header and the frame, and a horizontal scroll bar
    // when the columns are wider than `width`.
    int HeightForRows(int64_t rows, int width) const;
    // The height of one row.
    int RowHeight() const;
    // The width of the page the grid sits in, which caps how wide a column starts.
    void SetPageWidth(int width);

    // Commits the text of an open cell editor (the window lost activation). The editor stays
    // open with its text, so a refused value is not lost.
    void CommitEditor();
    // The rows the selection touches (or the current row), ascending, each once.
    std::vector<int> SelectedRows() const;

signals:
    // The grid received the focus or a click: it becomes the grid commands act on.
    void gridActivated(marlix::ResultGrid* grid);
    // The Delete key outside a cell editor: Delete Row on the selected rows.
    void deleteRowsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // A value wider than its column reads whole in the cell's tooltip.
    bool viewportEvent(QEvent* event) override;

    // Typing in a read-only cell would search every row's text: not on a million rows.
    void keyboardSearch(const QString&) override {}

private:
    void Configure();
    void ApplyColumnWidths();
    void WidenForValues(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    ResultSetModel* model_;
    bool committing_ = false;
    int pageWidth_ = 0;
};

} // namespace marlix
