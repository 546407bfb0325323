#include "results/grid/GridsPane.h"

#include "results/grid/EditableResultSetModel.h"
#include "results/grid/GridPresentation.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace marlix {
namespace {

constexpr int kGridGap = 6;       // between one grid and the caption of the next
constexpr int kLeastGridRows = 4; // a grid in a very low page still shows a few rows

} // namespace

GridsPane::GridsPane(QWidget* parent)
    : QWidget(parent), scroll_(new QScrollArea(this)), page_(new QWidget), layout_(new QVBoxLayout(page_)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);
    layout_->setContentsMargins(4, 4, 4, 4);
    layout_->setSpacing(kGridGap);
    layout_->addStretch(1);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Each grid scrolls sideways itself; the page only scrolls from grid to grid.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(page_);
    scroll_->viewport()->installEventFilter(this);
}

void GridsPane::AddGrid(std::shared_ptr<ResultSet> resultSet) {
    if (!resultSet) return;
    Entry entry;
    entry.frame = new QWidget(page_);
    auto* box = new QVBoxLayout(entry.frame);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);
    entry.caption = new QLabel(entry.frame);
    entry.caption->setTextFormat(Qt::PlainText);
    entry.grid = factory_ ? factory_(std::move(resultSet), entry.frame)
                          : new ResultGrid(std::move(resultSet), entry.frame);
    entry.number = nextNumber_++;
    box->addWidget(entry.caption);
    box->addWidget(entry.grid);
    connect(entry.grid, &ResultGrid::gridActivated, this, &GridsPane::SetCurrent);
    UpdateCaption(entry);
    // Before the stretch that keeps the grids at the top of the page.
    layout_->insertWidget(layout_->count() - 1, entry.frame);
    // Shown now rather than on the next turn of the event loop, so that a ShowGridFor right
    // after a batch finds it laid out.
    entry.frame->show();
    entries_.push_back(entry);
    FitHeight(entries_.back(), scroll_->viewport()->height(), scroll_->viewport()->width());
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
    // own layout sizes the scroll area, the grids get their heights for it, and the page
    // gets the size the scroll area would give it, so the grid's place is final.
    layout()->activate();
    FitHeights();
    const QSize viewport = scroll_->viewport()->size();
    page_->resize(viewport.width(), std::max(viewport.height(), page_->minimumSizeHint().height()));
    layout_->activate();
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

void GridsPane::UpdateCaption(const Entry& entry) {
    const ResultSetModel& model = entry.grid->Model();
    entry.caption->setText(
        QString::fromStdString(GridCaptionText(entry.number, model.Result(), model.IsEarlierRun())));
    entry.caption->setEnabled(!model.IsEarlierRun()); // greyed for an earlier run
}

void GridsPane::FitHeights() {
    const int height = scroll_->viewport()->height(), width = scroll_->viewport()->width();
    for (const Entry& entry : entries_)
        FitHeight(entry, height, width);
}

void GridsPane::FitHeight(const Entry& entry, int pageHeight, int pageWidth) {
    const QMargins margins = layout_->contentsMargins();
    const int available =
        pageHeight - margins.top() - margins.bottom() - entry.caption->sizeHint().height() - 2;
    const int width = pageWidth - margins.left() - margins.right();
    const int rows = entry.grid->Model().rowCount();
    const int natural = entry.grid->HeightForRows(rows, width);
    const int least = entry.grid->HeightForRows(std::min(rows, kLeastGridRows), width);
    entry.grid->setFixedHeight(std::min(natural, std::max(available, least)));
}

bool GridsPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) FitHeights();
    return QWidget::eventFilter(watched, event);
}

void GridsPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!pendingTop_) return;
    ScrollToPending();
    ScrollToPendingLater();
}

} // namespace marlix
