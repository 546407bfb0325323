#include "results/grid/GridsPane.h"

#include "results/grid/EditableResultSetModel.h"
#include "results/grid/GridPresentation.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace marlix {
namespace {

constexpr int kGridGap = 6;     // between one grid and the caption of the next: it drags
constexpr int kPageMargin = 4;  // around the grids
constexpr int kCaptionGap = 2;  // between a caption and its grid

} // namespace

GridsPane::GridsPane(QWidget* parent)
    : QWidget(parent), scroll_(new QScrollArea(this)), page_(new QSplitter(Qt::Vertical)), spare_(new QWidget) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);
    // The page is exactly as high as its grids: a drag gives the grid above the gap what it
    // takes from no one, so the page grows instead.
    page_->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    page_->setHandleWidth(kGridGap);
    page_->setChildrenCollapsible(false);
    page_->setOpaqueResize(true);
    // The spare pane may be 0 high and alone takes what the grids do not fill.
    QSizePolicy spare(QSizePolicy::Ignored, QSizePolicy::Ignored);
    spare.setVerticalStretch(1);
    spare_->setSizePolicy(spare);
    page_->addWidget(spare_);
    connect(page_, &QSplitter::splitterMoved, this, [this](int, int index) { GapDragged(index); });
    scroll_->setWidgetResizable(false);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Each grid scrolls sideways itself; the page only scrolls from grid to grid.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(page_);
    scroll_->viewport()->installEventFilter(this);
}

void GridsPane::AddGrid(std::shared_ptr<ResultSet> resultSet) {
    if (!resultSet) return;
    Entry entry;
    entry.frame = new QWidget; // the splitter takes it at its place
    auto* box = new QVBoxLayout(entry.frame);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(kCaptionGap);
    entry.caption = new QLabel(entry.frame);
    entry.caption->setTextFormat(Qt::PlainText);
    entry.grid = factory_ ? factory_(std::move(resultSet), entry.frame)
                          : new ResultGrid(std::move(resultSet), entry.frame);
    entry.number = nextNumber_++;
    box->addWidget(entry.caption);
    box->addWidget(entry.grid);
    entry.grid->setMinimumHeight(kGridLeastHeight);
    connect(entry.grid, &ResultGrid::gridActivated, this, &GridsPane::SetCurrent);
    // A grid of few rows stays fitted while rows are added to it or removed, until dragged.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&entry.grid->Model(), signal, this, &GridsPane::FitHeights, Qt::QueuedConnection);
    connect(&entry.grid->Model(), &QAbstractItemModel::modelReset, this, &GridsPane::FitHeights,
            Qt::QueuedConnection);
    // The caption counts the edits waiting for Save edits: counted once the edits of one
    // event are done, not at every cell a paste or a delete changes.
    const auto recount = [this, grid = entry.grid] {
        if (captionsPending_.contains(grid)) return;
        if (captionsPending_.isEmpty()) QTimer::singleShot(0, this, &GridsPane::UpdatePendingCaptions);
        captionsPending_.append(grid);
    };
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&entry.grid->Model(), signal, this, recount);
    connect(&entry.grid->Model(), &QAbstractItemModel::modelReset, this, recount);
    connect(&entry.grid->Model(), &QAbstractItemModel::dataChanged, this, recount);
    connect(&entry.grid->Model(), &QAbstractItemModel::headerDataChanged, this, recount);
    UpdateCaption(entry);
    page_->insertWidget(page_->count() - 1, entry.frame);
    // Its gap drags: the handle above the spare pane is the last grid's.
    for (int i = 1; i < page_->count(); ++i)
        page_->handle(i)->installEventFilter(this);
    // Columns start at most a third of the page wide; later the user sizes them.
    entry.grid->SetPageWidth(scroll_->viewport()->width());
    entries_.push_back(entry);
    FitHeights();
}

void GridsPane::MarkAllEarlier() {
    for (const Entry& entry : entries_) {
        if (entry.grid->Model().IsEarlierRun()) continue;
        entry.grid->Model().SetEarlierRun(true);
        UpdateCaption(entry);
    }
    nextNumber_ = 1; // the next run numbers its results from 1 again
}

void GridsPane::RemoveEarlier() {
    RemoveWhere(true);
}

void GridsPane::Clear() {
    RemoveWhere(false);
    nextNumber_ = 1;
}

void GridsPane::RemoveWhere(bool earlierOnly) {
    bool currentGone = false;
    auto keep = std::stable_partition(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return earlierOnly && !e.grid->Model().IsEarlierRun();
    });
    for (auto it = keep; it != entries_.end(); ++it) {
        if (it->grid == current_) currentGone = true;
        // Deleted now, not later: the grid's model holds the result set, which the results
        // view is releasing at the same time.
        delete it->frame;
    }
    entries_.erase(keep, entries_.end());
    ApplyHeights();
    if (currentGone) {
        current_ = nullptr;
        emit currentGridChanged();
    }
}

bool GridsPane::MayDropGrids(bool earlierOnly) const {
    for (const Entry& e : entries_) {
        if (earlierOnly && !e.grid->Model().IsEarlierRun()) continue;
        auto* model = qobject_cast<EditableResultSetModel*>(&e.grid->Model());
        if (model && model->Edits().HasUnsavedEdits()) return !askDrop_ || askDrop_();
    }
    return true;
}

void GridsPane::CommitEditors() {
    for (const Entry& e : entries_)
        e.grid->CommitEditor();
}

bool GridsPane::HasUnsavedEdits() const {
    for (const Entry& e : entries_) {
        auto* model = qobject_cast<EditableResultSetModel*>(&e.grid->Model());
        if (model && model->Edits().HasUnsavedEdits()) return true;
    }
    return false;
}

ResultGrid* GridsPane::GridAt(int index) const {
    if (index < 0 || index >= GridCount()) return nullptr;
    return entries_[static_cast<size_t>(index)].grid;
}

bool GridsPane::ShowGridFor(size_t outputStart) {
    const Entry* found = nullptr;
    for (bool earlier : {false, true}) {
        for (const Entry& entry : entries_) {
            if (entry.grid->Model().IsEarlierRun() == earlier &&
                entry.grid->Result().outputStart == outputStart) {
                found = &entry;
                break;
            }
        }
        if (found) break;
    }
    if (!found) return false;
    pendingTop_ = found->frame;
    SetCurrent(found->grid);
    found->grid->setFocus(Qt::OtherFocusReason);
    // Hidden behind another tab, the page has no geometry yet: showEvent scrolls instead.
    if (isVisible()) {
        ScrollToPending();
        ScrollToPendingLater();
    }
    return true;
}

void GridsPane::ScrollToPending() {
    if (!pendingTop_) return;
    // Lay the page out now instead of when the queued layout requests arrive: the pane's
    // own layout sizes the scroll area and the page takes its width, so the grid's place is
    // final.
    layout()->activate();
    FitHeights();
    scroll_->verticalScrollBar()->setValue(pendingTop_->y());
}

void GridsPane::ScrollToPendingLater() {
    // Once more after the queued layout requests, in case one of them moved the grid.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible()) return;
        ScrollToPending();
        pendingTop_ = nullptr;
    });
}

void GridsPane::SetCurrent(ResultGrid* grid) {
    if (grid == current_) return;
    current_ = grid;
    emit currentGridChanged();
}

void GridsPane::UpdatePendingCaptions() {
    const QList<QPointer<ResultGrid>> grids = std::exchange(captionsPending_, {});
    for (const Entry& entry : entries_)
        if (grids.contains(entry.grid)) UpdateCaption(entry);
}

void GridsPane::UpdateCaption(const Entry& entry) {
    const ResultSetModel& model = entry.grid->Model();
    entry.caption->setText(QString::fromStdString(GridCaptionText(entry.number, model.Result(), model.IsEarlierRun()) +
                                                  PendingEditsText(model.Result())));
    entry.caption->setEnabled(!model.IsEarlierRun()); // greyed for an earlier run
}

void GridsPane::FitHeights() {
    const int width = scroll_->viewport()->width();
    for (Entry& entry : entries_)
        if (!entry.dragged) FitHeight(entry, width);
    ApplyHeights();
}

void GridsPane::FitHeight(Entry& entry, int pageWidth) const {
    const int rows = entry.grid->Model().rowCount();
    const int fitted = entry.grid->HeightForRows(rows, pageWidth - 2 * kPageMargin);
    entry.height = GridFirstHeight(rows, fitted);
}

void GridsPane::ApplyHeights(int spare) {
    QList<int> sizes;
    int total = 2 * kPageMargin + spare;
    for (const Entry& entry : entries_) {
        sizes.append(entry.caption->sizeHint().height() + kCaptionGap + entry.height);
        total += sizes.back() + kGridGap;
    }
    sizes.append(spare);
    // The splitter shares out its own height, so it gets the sum before the sizes.
    page_->resize(scroll_->viewport()->width(), total);
    page_->setSizes(sizes);
}

void GridsPane::GapDragged(int index) {
    if (index < 1 || index > GridCount()) return;
    Entry& above = entries_[static_cast<size_t>(index - 1)];
    const int frame = page_->sizes().at(index - 1);
    above.height = std::max(frame - above.caption->sizeHint().height() - kCaptionGap, kGridLeastHeight);
    above.dragged = true;
    // The grid below gave up what the one above took: it gets it back, the page grows.
    ApplyHeights(scroll_->viewport()->height());
}

bool GridsPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) FitHeights();
    // While a gap is held, a page's height of room below the last grid to drag it into.
    if (event->type() == QEvent::MouseButtonPress && watched != scroll_->viewport())
        ApplyHeights(scroll_->viewport()->height());
    if (event->type() == QEvent::MouseButtonRelease && watched != scroll_->viewport())
        ApplyHeights();
    return QWidget::eventFilter(watched, event);
}

void GridsPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!pendingTop_) return;
    ScrollToPending();
    ScrollToPendingLater();
}

} // namespace marlix
