#pragma once
// The Grids tab: one grid per stored result set, stacked in one scrolling page, each under a
// caption. A new grid is as high as its rows when it has few, else a fixed height inside which
// it scrolls; dragging the gap below a grid makes it higher or lower and moves the grids below.
#include "results/grid/ResultGrid.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QScrollArea;
class QSplitter;

namespace marlix {

class GridsPane : public QWidget {
    Q_OBJECT
public:
    explicit GridsPane(QWidget* parent = nullptr);

    // Adds a grid for `resultSet` below the others, shared with the results view's list.
    void AddGrid(std::shared_ptr<ResultSet> resultSet);
    // Makes the grids AddGrid adds (editable ones, for instance); without it they are read-only.
    using GridFactory = std::function<ResultGrid*(std::shared_ptr<ResultSet>, QWidget* parent)>;
    void SetGridFactory(GridFactory factory) { factory_ = std::move(factory); }
    // Whether grids holding unsaved edits may be thrown away (those of earlier runs only, or
    // all): true when none has such edits, else what `ask` answers. Without `ask`, true.
    bool MayDropGrids(bool earlierOnly) const;
    // Commits the text of every open cell editor (the window lost activation).
    void CommitEditors();
    // Whether any grid holds edits not saved to the database.
    bool HasUnsavedEdits() const;
    void SetDropQuestion(std::function<bool()> ask) { askDrop_ = std::move(ask); }
    // Marks every grid as belonging to an earlier run (a new batch starts).
    void MarkAllEarlier();
    // Removes the grids of earlier runs (Truncate results).
    void RemoveEarlier();
    // Removes every grid (Clear results).
    void Clear();

    int GridCount() const noexcept { return static_cast<int>(entries_.size()); }
    ResultGrid* GridAt(int index) const;
    // Scrolls the page so that the grid whose result set's output starts at `outputStart`
    // comes to the top, and gives it the focus. Grids of the latest run are looked at first.
    // False when no grid matches.
    bool ShowGridFor(size_t outputStart);
    // The grid with the focus, or the one last clicked; nullptr when there is none.
    ResultGrid* CurrentGrid() const noexcept { return current_; }

signals:
    void currentGridChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Entry {
        QWidget* frame = nullptr; // caption and grid
        QLabel* caption = nullptr;
        ResultGrid* grid = nullptr;
        int number = 0; // the result's number within its run
        int height = 0; // the grid's, as first fitted or as dragged
        bool dragged = false;
    };

    void RemoveWhere(bool earlierOnly);
    void UpdatePendingCaptions();
    void SetCurrent(ResultGrid* grid);
    void UpdateCaption(const Entry& entry);
    // Gives each grid not dragged yet its first height for the page's width, then lays out.
    void FitHeights();
    void FitHeight(Entry& entry, int pageWidth) const;
    // Sizes the page to the grids' heights (plus `spare` below the last, room to drag it
    // down into) and hands them to the splitter.
    void ApplyHeights(int spare = 0);
    // The gap above grid `index` was dragged: the grid above it takes the new height.
    void GapDragged(int index);
    // Brings the grid asked for by ShowGridFor to the top once the page has its layout.
    void ScrollToPending();
    void ScrollToPendingLater();

    QScrollArea* scroll_;
    QSplitter* page_;
    QWidget* spare_; // the empty last pane of the splitter
    std::vector<Entry> entries_;
    QPointer<ResultGrid> current_;
    QList<QPointer<ResultGrid>> captionsPending_; // grids whose caption waits for a recount
    QPointer<QWidget> pendingTop_;
    int nextNumber_ = 1;
    GridFactory factory_;
    std::function<bool()> askDrop_;
};

} // namespace marlix
