#include "results/history/HistoryPane.h"

#include "results/history/StatementSummaryPopup.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

namespace marlix {

HistoryPane::HistoryPane(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    setFont(font);
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A log that only grows at its end: an undo stack would keep a second copy of it.
    setUndoRedoEnabled(false);
    viewport()->setMouseTracking(true);
    popup_ = new StatementSummaryPopup(this);
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &HistoryPane::FlushText);
}

size_t HistoryPane::Length() const {
    const int shown = std::max(0, document()->characterCount() - 1);
    return static_cast<size_t>(shown) + static_cast<size_t>(unshown_.size());
}

void HistoryPane::AppendText(std::string_view utf8) {
    if (utf8.empty()) return;
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // One "\n" per line break, so that a line break is one position before the document has
    // it (QTextCursor would also make one of CR LF, but not of a CR and an LF appended apart).
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A batch appends a line or two per statement, thousands of times in a row: the document
    // takes them once per pass of the event loop, one layout and one scroll for all.
    unshown_ += text;
    if (!flushTimer_.isActive()) flushTimer_.start();
}

void HistoryPane::FlushText() {
    flushTimer_.stop();
    if (unshown_.isEmpty()) return;
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    const bool showedEnd = vertical->value() == vertical->maximum();
    const int verticalValue = vertical->value();
    const int horizontalValue = horizontal->value();
    const QTextCursor user = textCursor();
    const int anchor = user.anchor();
    const int position = user.position();
    const bool caretAtEnd = !user.hasSelection() && position == document()->characterCount() - 1;

    QTextCursor tail(document());
    tail.movePosition(QTextCursor::End);
    tail.insertText(unshown_);
    unshown_.clear();

    // A selection that reached the end would have grown with the new text.
    const QTextCursor moved = textCursor();
    if (!caretAtEnd && (moved.anchor() != anchor || moved.position() != position)) {
        QTextCursor restored(document());
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(restored);
    }
    horizontal->setValue(horizontalValue);
    vertical->setValue(showedEnd ? vertical->maximum() : verticalValue);
}

void HistoryPane::BeginEntry(std::string statementText, size_t sinkLength) {
    history_.BeginEntry(std::move(statementText), sinkLength, Length());
}

void HistoryPane::MarkError() {
    history_.MarkError();
}

void HistoryPane::EndEntry(size_t sinkLength) {
    AppendText(history_.EndEntry(sinkLength));
    history_.RecordLogEnd(Length());
}

void HistoryPane::MarkBatchStart() {
    history_.MarkBatchStart(Length());
}

void HistoryPane::SetLatestOutputBase(size_t base) {
    history_.SetOutputBase(base);
}

void HistoryPane::Truncate() {
    HideSummary();
    FlushText();
    ++generation_;
    const size_t cut = std::min(history_.TruncateBeforeMark(), Length());
    if (cut == 0) return;
    QTextCursor front(document());
    front.setPosition(0);
    front.setPosition(static_cast<int>(cut), QTextCursor::KeepAnchor);
    front.removeSelectedText();
}

void HistoryPane::Clear() {
    HideSummary();
    ++generation_;
    history_.Clear();
    flushTimer_.stop();
    unshown_.clear();
    clear();
}

void HistoryPane::ScrollToEnd() {
    FlushText();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QString HistoryPane::PlainText() {
    FlushText();
    return toPlainText();
}

int HistoryPane::EntryIndexAt(QPoint viewportPos) {
    FlushText();
    // Below the text the nearest position is the end of the pane, which no entry holds: every
    // entry ends with its completion line's line break.
    return history_.IndexAtLog(static_cast<size_t>(cursorForPosition(viewportPos).position()));
}

bool HistoryPane::ShowSummaryAt(QPoint viewportPos) {
    const int index = EntryIndexAt(viewportPos);
    if (index < 0) {
        HideSummary();
        return false;
    }
    const ExecutionHistory::Entry& entry = history_.Entries()[static_cast<size_t>(index)];
    if (entry.lineCount == 0) {
        HideSummary();
        return false;
    }
    if (index != popupEntry_ || !popup_->isVisible()) {
        popup_->SetSummary(entry.summary, entry.width);
        popupEntry_ = index;
    }
    popup_->ShowAt(viewport()->mapToGlobal(viewportPos));
    return true;
}

void HistoryPane::HideSummary() {
    popup_->hide();
    popupEntry_ = -1;
}

QMenu* HistoryPane::CreateEntryMenu(int entry, QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("Messages"), parent);
    // The menu stays open while the history may change under it (a batch ending truncates):
    // an index into an earlier list of entries is dropped instead of naming another entry.
    const int generation = generation_;
    auto forward = [this, entry, generation](void (HistoryPane::*signal)(int)) {
        return [this, entry, generation, signal] {
            if (generation == generation_ && entry >= 0 &&
                static_cast<size_t>(entry) < history_.Entries().size())
                emit(this->*signal)(entry);
        };
    };
    connect(menu->addAction(QStringLiteral("Show query text...")), &QAction::triggered, this,
            forward(&HistoryPane::showQueryTextRequested));
    connect(menu->addAction(QStringLiteral("Show result in text")), &QAction::triggered, this,
            forward(&HistoryPane::showResultInTextRequested));
    connect(menu->addAction(QStringLiteral("Show result in grid")), &QAction::triggered, this,
            forward(&HistoryPane::showResultInGridRequested));
    return menu;
}

void HistoryPane::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        ShowSummaryAt(event->position().toPoint());
    else
        HideSummary(); // selecting text: the popup would hide what is selected
}

bool HistoryPane::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) HideSummary();
    return QPlainTextEdit::viewportEvent(event);
}

void HistoryPane::leaveEvent(QEvent* event) {
    HideSummary();
    QPlainTextEdit::leaveEvent(event);
}

void HistoryPane::hideEvent(QHideEvent* event) {
    HideSummary();
    QPlainTextEdit::hideEvent(event);
}

void HistoryPane::scrollContentsBy(int dx, int dy) {
    // The entry under the mouse moved away with the text.
    HideSummary();
    QPlainTextEdit::scrollContentsBy(dx, dy);
}

void HistoryPane::contextMenuEvent(QContextMenuEvent* event) {
    HideSummary();
    FlushText();
    const bool byKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int index = byKeyboard ? history_.IndexAtLog(static_cast<size_t>(textCursor().position()))
                                 : EntryIndexAt(event->pos());
    if (index < 0) {
        QPlainTextEdit::contextMenuEvent(event);
        return;
    }
    QMenu* menu = CreateEntryMenu(index, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint at = byKeyboard ? viewport()->mapToGlobal(cursorRect().bottomLeft()) : event->globalPos();
    menu->popup(at);
}

} // namespace marlix
