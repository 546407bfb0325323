#include "results/text/ResultsTextView.h"

#include "results/text/ClipboardText.h"
#include "results/text/TextColumns.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

namespace marlix {
namespace {

constexpr int kDragScrollMs = 40;

int ClampToInt(size_t n) {
    return static_cast<int>(std::min<size_t>(n, INT_MAX));
}

// Control characters (a tab, a lone carriage return) take one blank cell, so columns stay aligned.
QString Displayed(std::string_view bytes) {
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    return text;
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsWordByte(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || u == '_';
}

} // namespace

ResultsTextView::ResultsTextView(QWidget* parent) : QAbstractScrollArea(parent), metrics_(font()) {
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    setFont(fixed);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    UpdateMetrics();
    UpdateScrollBars();
}

void ResultsTextView::UpdateMetrics() {
    metrics_ = QFontMetricsF(font());
    cellWidth_ = std::max<qreal>(1, metrics_.horizontalAdvance(QLatin1Char('M')));
    lineHeight_ = std::max(1, static_cast<int>(std::ceil(metrics_.height())));
    ascent_ = static_cast<int>(std::ceil(metrics_.ascent()));
}

qreal ResultsTextView::WidthOf(std::string_view bytes) const {
    if (IsAscii(bytes)) return static_cast<qreal>(bytes.size()) * cellWidth_;
    return metrics_.horizontalAdvance(Displayed(bytes));
}

ResultsTextView::LineWindow ResultsTextView::WindowOf(std::string_view content) const {
    const auto firstColumn = static_cast<size_t>(horizontalScrollBar()->value());
    const auto columns = static_cast<size_t>(viewport()->width() / cellWidth_) + 2;
    LineWindow w{content, ByteOfColumn(content, firstColumn), 0, 0};
    w.to = w.from + ByteOfColumn(content.substr(w.from), columns);
    w.left = (static_cast<qreal>(ColumnsOf(content.substr(0, w.from))) - static_cast<qreal>(firstColumn)) *
             cellWidth_;
    return w;
}

qreal ResultsTextView::XOf(const LineWindow& w, size_t byte) const {
    if (byte < w.from) return -cellWidth_; // left of the view
    if (byte > w.to) return viewport()->width() + cellWidth_;
    return w.left + WidthOf(w.content.substr(w.from, byte - w.from));
}

size_t ResultsTextView::ByteAtX(const LineWindow& w, qreal x) const {
    qreal at = w.left;
    for (size_t byte = w.from; byte < w.content.size();) {
        const size_t next = NextCharacter(w.content, byte);
        const qreal width = WidthOf(w.content.substr(byte, next - byte));
        if (x < at + width / 2) return byte;
        at += width;
        byte = next;
    }
    return w.content.size();
}

size_t ResultsTextView::VisibleLines() const {
    return static_cast<size_t>(std::max(1, viewport()->height() / lineHeight_));
}

size_t ResultsTextView::FirstVisibleLine() const {
    return static_cast<size_t>(verticalScrollBar()->value());
}

void ResultsTextView::UpdateScrollBars() {
    const size_t rows = VisibleLines(), lines = text_.LineCount();
    // Scrolling ends with the last line at the bottom, unless a line near the end was brought to
    // the top (the start of a short latest output): the range then reaches it until the user
    // scrolls back up.
    const size_t last = std::max(lines > rows ? lines - rows : 0, std::min(pinnedTop_, lines - 1));
    verticalScrollBar()->setRange(0, ClampToInt(last));
    verticalScrollBar()->setPageStep(ClampToInt(rows));
    verticalScrollBar()->setSingleStep(1);
    const auto columns = static_cast<size_t>(std::max(1.0, viewport()->width() / cellWidth_));
    const size_t widest = text_.MaxLineLength() + 1; // and the caret after it
    horizontalScrollBar()->setRange(0, ClampToInt(widest > columns ? widest - columns : 0));
    horizontalScrollBar()->setPageStep(ClampToInt(columns));
    horizontalScrollBar()->setSingleStep(1);
}

void ResultsTextView::TextChanged() {
    const size_t dropped = text_.Origin() - origin_;
    origin_ = text_.Origin();
    const size_t length = text_.Length();
    auto follow = [dropped, length](size_t offset) {
        return offset >= dropped ? std::min(offset - dropped, length) : size_t{0};
    };
    const size_t before = SelectionStart(), beforeEnd = SelectionEnd();
    anchor_ = follow(anchor_);
    caret_ = follow(caret_);
    const size_t topLine = text_.LineOfOffset(follow(topOffset_));
    pinnedTop_ = topLine;
    UpdateScrollBars();
    verticalScrollBar()->setValue(ClampToInt(topLine));
    topOffset_ = text_.LineStart(FirstVisibleLine());
    viewport()->update();
    if (SelectionStart() != before || SelectionEnd() != beforeEnd) emit selectionChanged();
}

std::string ResultsTextView::SelectedText() const {
    return text_.Text(SelectionStart(), SelectionEnd());
}

void ResultsTextView::SetSelection(size_t anchor, size_t caret) {
    const size_t length = text_.Length();
    anchor = std::min(anchor, length);
    caret = std::min(caret, length);
    const bool changed =
        std::min(anchor, caret) != SelectionStart() || std::max(anchor, caret) != SelectionEnd();
    anchor_ = anchor;
    caret_ = caret;
    viewport()->update();
    if (changed) emit selectionChanged();
}

void ResultsTextView::Select(size_t start, size_t end) {
    SetSelection(start, end);
    goalColumn_ = ColumnOfOffset(caret_);
}

void ResultsTextView::SelectAll() {
    SetSelection(0, text_.Length());
}

void ResultsTextView::CopySelection() {
    if (HasSelection())
        QGuiApplication::clipboard()->setText(ClipboardText(text_, SelectionStart(), SelectionEnd()));
}

void ResultsTextView::CopyAll() {
    QGuiApplication::clipboard()->setText(ClipboardText(text_, 0, text_.Length()));
}

void ResultsTextView::ScrollToOffset(size_t offset) {
    pinnedTop_ = text_.LineOfOffset(offset);
    UpdateScrollBars();
    verticalScrollBar()->setValue(ClampToInt(pinnedTop_));
}

void ResultsTextView::ScrollToEnd() {
    const size_t lines = text_.LineCount(), rows = VisibleLines();
    pinnedTop_ = 0;
    UpdateScrollBars();
    verticalScrollBar()->setValue(ClampToInt(lines > rows ? lines - rows : 0));
}

bool ResultsTextView::FindNext(const QString& text) {
    const QByteArray needle = text.toUtf8();
    if (needle.isEmpty()) return false;
    const size_t from = findFromTop_ ? 0 : SelectionEnd();
    findFromTop_ = false;
    auto found = text_.Find(std::string_view(needle.constData(), static_cast<size_t>(needle.size())), from);
    if (!found) {
        findFromTop_ = true;
        return false;
    }
    Select(*found, *found + static_cast<size_t>(needle.size()));
    EnsureVisible(*found + static_cast<size_t>(needle.size()));
    EnsureVisible(*found);
    return true;
}

size_t ResultsTextView::ColumnOfOffset(size_t offset) const {
    const size_t line = text_.LineOfOffset(offset);
    const size_t start = text_.LineStart(line);
    const std::string_view content = text_.Line(line);
    return ColumnsOf(content.substr(0, std::min(offset - start, content.size())));
}

size_t ResultsTextView::OffsetAt(QPointF point) const {
    const long row = static_cast<long>(std::floor(point.y() / lineHeight_));
    const long line = std::clamp<long>(static_cast<long>(FirstVisibleLine()) + row, 0,
                                       static_cast<long>(text_.LineCount()) - 1);
    const size_t start = text_.LineStart(static_cast<size_t>(line));
    return start + ByteAtX(WindowOf(text_.Line(static_cast<size_t>(line))), point.x());
}

void ResultsTextView::EnsureVisible(size_t offset) {
    const size_t line = text_.LineOfOffset(offset);
    const size_t first = FirstVisibleLine(), rows = VisibleLines();
    if (line < first)
        verticalScrollBar()->setValue(ClampToInt(line));
    else if (line >= first + rows)
        verticalScrollBar()->setValue(ClampToInt(line - rows + 1));
    const size_t column = ColumnOfOffset(offset);
    const auto left = static_cast<size_t>(horizontalScrollBar()->value());
    const auto columns = static_cast<size_t>(std::max(1.0, viewport()->width() / cellWidth_));
    if (column < left)
        horizontalScrollBar()->setValue(ClampToInt(column));
    else if (column >= left + columns)
        horizontalScrollBar()->setValue(ClampToInt(column - columns + 1));
}

void ResultsTextView::MoveCaret(size_t caret, bool extend) {
    SetSelection(extend ? anchor_ : caret, caret);
    EnsureVisible(caret_);
}

size_t ResultsTextView::VerticalMove(long lines) const {
    const long target = std::clamp<long>(static_cast<long>(text_.LineOfOffset(caret_)) + lines, 0,
                                         static_cast<long>(text_.LineCount()) - 1);
    const auto line = static_cast<size_t>(target);
    return text_.LineStart(line) + ByteOfColumn(text_.Line(line), goalColumn_);
}

// The caret keys of a read-only text: the Select... forms extend the selection from its anchor.
bool ResultsTextView::MoveByKey(QKeyEvent* event) {
    using K = QKeySequence::StandardKey;
    struct Move {
        K move, select;
        int kind;
    };
    static const Move kMoves[] = {
        {K::MoveToNextChar, K::SelectNextChar, 0},
        {K::MoveToPreviousChar, K::SelectPreviousChar, 1},
        {K::MoveToNextLine, K::SelectNextLine, 2},
        {K::MoveToPreviousLine, K::SelectPreviousLine, 3},
        {K::MoveToNextPage, K::SelectNextPage, 4},
        {K::MoveToPreviousPage, K::SelectPreviousPage, 5},
        {K::MoveToStartOfLine, K::SelectStartOfLine, 6},
        {K::MoveToEndOfLine, K::SelectEndOfLine, 7},
        {K::MoveToStartOfDocument, K::SelectStartOfDocument, 8},
        {K::MoveToEndOfDocument, K::SelectEndOfDocument, 9},
    };
    for (const Move& m : kMoves) {
        const bool extend = event->matches(m.select);
        if (!extend && !event->matches(m.move)) continue;
        const size_t line = text_.LineOfOffset(caret_);
        const size_t start = text_.LineStart(line);
        const long page = static_cast<long>(VisibleLines());
        size_t caret = caret_;
        bool keepGoal = false;
        switch (m.kind) {
        case 0:
            if (caret_ >= text_.LineEnd(line))
                caret = text_.LineStart(line + 1);
            else
                caret = start + NextCharacter(text_.Line(line), caret_ - start);
            break;
        case 1:
            if (caret_ == start)
                caret = line ? text_.LineEnd(line - 1) : 0;
            else
                caret = start + PreviousCharacter(text_.Line(line), caret_ - start);
            break;
        case 2:
        case 3:
            caret = VerticalMove(m.kind == 2 ? 1 : -1);
            keepGoal = true;
            break;
        case 4:
        case 5: {
            const long lines = m.kind == 4 ? page : -page;
            caret = VerticalMove(lines);
            const long top = std::clamp<long>(static_cast<long>(FirstVisibleLine()) + lines, 0,
                                              verticalScrollBar()->maximum());
            verticalScrollBar()->setValue(static_cast<int>(top));
            keepGoal = true;
            break;
        }
        case 6:
            caret = start;
            break;
        case 7:
            caret = text_.LineEnd(line);
            break;
        case 8:
            caret = 0;
            break;
        default:
            caret = text_.Length();
            break;
        }
        MoveCaret(caret, extend);
        if (!keepGoal) goalColumn_ = ColumnOfOffset(caret_);
        return true;
    }
    return false;
}

bool ResultsTextView::event(QEvent* event) {
    // Copy and Select All belong to this pane while it has the focus, even when a window's
    // command carries the same key.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ResultsTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (!MoveByKey(event)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ResultsTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const size_t at = OffsetAt(event->position());
    SetSelection(event->modifiers() & Qt::ShiftModifier ? anchor_ : at, at);
    goalColumn_ = ColumnOfOffset(caret_);
    selecting_ = true;
    dragPoint_ = event->position();
}

void ResultsTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
    dragPoint_ = event->position();
    SetSelection(anchor_, OffsetAt(dragPoint_));
    // Beyond the edges the view keeps scrolling while the button is held.
    if (viewport()->rect().contains(dragPoint_.toPoint()))
        dragScroll_.stop();
    else if (!dragScroll_.isActive())
        dragScroll_.start(kDragScrollMs, this);
}

void ResultsTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        dragScroll_.stop();
        goalColumn_ = ColumnOfOffset(caret_);
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void ResultsTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const size_t at = OffsetAt(event->position());
    const size_t line = text_.LineOfOffset(at);
    const size_t start = text_.LineStart(line);
    const std::string_view content = text_.Line(line);
    size_t from = at - start, to = at - start;
    while (from > 0 && IsWordByte(content[from - 1]))
        --from;
    while (to < content.size() && IsWordByte(content[to]))
        ++to;
    Select(start + from, start + to);
    selecting_ = true;
}

void ResultsTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != dragScroll_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    const QRect area = viewport()->rect();
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    if (dragPoint_.y() < area.top()) v->setValue(v->value() - 1);
    if (dragPoint_.y() > area.bottom()) v->setValue(v->value() + 1);
    if (dragPoint_.x() < area.left()) h->setValue(h->value() - 1);
    if (dragPoint_.x() > area.right()) h->setValue(h->value() + 1);
    SetSelection(anchor_, OffsetAt(dragPoint_));
}

void ResultsTextView::focusInEvent(QFocusEvent* event) {
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void ResultsTextView::focusOutEvent(QFocusEvent* event) {
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void ResultsTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ResultsTextView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        UpdateMetrics();
        UpdateScrollBars();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

void ResultsTextView::scrollContentsBy(int, int) {
    const size_t first = FirstVisibleLine(), lines = text_.LineCount(), rows = VisibleLines();
    if (pinnedTop_ > 0 && first <= (lines > rows ? lines - rows : 0)) {
        pinnedTop_ = 0; // back within the text: the range ends at the last line again
        UpdateScrollBars();
    }
    topOffset_ = text_.LineStart(first);
    viewport()->update();
}

void ResultsTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.setFont(font());
    const size_t first = FirstVisibleLine();
    const size_t rows = static_cast<size_t>(viewport()->height() / lineHeight_) + 1;
    const size_t lines = text_.LineCount();
    for (size_t row = 0; row < rows && first + row < lines; ++row)
        DrawLine(painter, first + row, static_cast<qreal>(row * static_cast<size_t>(lineHeight_)));
}

// One line, decoded only where it is on screen, in runs split at the selection's edges.
void ResultsTextView::DrawLine(QPainter& painter, size_t line, qreal y) const {
    const size_t start = text_.LineStart(line);
    const std::string_view content = text_.Line(line);
    const LineWindow w = WindowOf(content);
    auto inLine = [&](size_t offset) {
        return std::clamp(std::clamp(offset, start, start + content.size()) - start, w.from, w.to);
    };
    const size_t selStart = SelectionStart(), selEnd = SelectionEnd();
    const size_t cuts[] = {w.from, inLine(selStart), inLine(selEnd), w.to};
    for (int i = 0; i < 3; ++i) {
        if (cuts[i + 1] <= cuts[i]) continue;
        const qreal x = XOf(w, cuts[i]);
        if (i == 1) {
            painter.fillRect(QRectF(x, y, XOf(w, cuts[2]) - x, lineHeight_), palette().highlight());
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        painter.drawText(QPointF(x, y + ascent_), Displayed(content.substr(cuts[i], cuts[i + 1] - cuts[i])));
    }
    // A selected line break shows as one selected cell after the line.
    const size_t end = start + content.size();
    if (line + 1 < text_.LineCount() && selStart <= end && selEnd > end)
        painter.fillRect(QRectF(XOf(w, content.size()), y, cellWidth_, lineHeight_), palette().highlight());
    if (hasFocus() && caret_ >= start && caret_ <= end)
        painter.fillRect(QRectF(XOf(w, caret_ - start), y, 1, lineHeight_), palette().color(QPalette::Text));
}

} // namespace marlix
