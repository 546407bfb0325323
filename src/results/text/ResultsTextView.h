#pragma once
// The Results pane: a read-only, fixed-pitch view that draws only the lines on screen straight
// from the Results text, with a selection made by mouse or keyboard, copy and find.
#include "results/text/ResultsText.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFontMetricsF>
#include <QString>

#include <string>
#include <string_view>

namespace marlix {

class ResultsTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ResultsTextView(QWidget* parent = nullptr);

    ResultsText& Text() noexcept { return text_; }
    const ResultsText& Text() const noexcept { return text_; }
    // To be called after appending to, truncating or clearing Text(): offsets held by the view
    // (selection, first visible line) follow the text that stays, and vanish with the text dropped.
    void TextChanged();

    bool HasSelection() const noexcept { return anchor_ != caret_; }
    size_t SelectionStart() const noexcept { return std::min(anchor_, caret_); }
    size_t SelectionEnd() const noexcept { return std::max(anchor_, caret_); }
    // The selected bytes as they are in the text, "\r\n" included.
    std::string SelectedText() const;
    // Selects [start, end) and moves the caret to end (both clamped to the text).
    void Select(size_t start, size_t end);
    void SelectAll();
    // The clipboard gets Unicode text with "\n" line ends, as other Linux programs paste it.
    void CopySelection();
    void CopyAll();

    // The line of the offset becomes the first visible line.
    void ScrollToOffset(size_t offset);
    // The last line becomes the bottom visible line.
    void ScrollToEnd();
    size_t FirstVisibleLine() const;
    size_t VisibleLines() const;

    // Selects the next occurrence (case-sensitive) after the selection and brings it into view.
    // When there is none it returns false, and the next search starts at the top of the text.
    bool FindNext(const QString& text);

signals:
    void selectionChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateMetrics();
    void UpdateScrollBars();
    void SetSelection(size_t anchor, size_t caret);
    void MoveCaret(size_t caret, bool extend);
    bool MoveByKey(QKeyEvent* event);
    size_t VerticalMove(long lines) const;
    size_t OffsetAt(QPointF point) const;
    size_t ColumnOfOffset(size_t offset) const;
    void EnsureVisible(size_t offset);
    // The part of a line that is on screen: its bytes [from, to), and where `from` is drawn.
    struct LineWindow {
        std::string_view content;
        size_t from, to;
        qreal left;
    };
    LineWindow WindowOf(std::string_view content) const;
    qreal WidthOf(std::string_view bytes) const;
    qreal XOf(const LineWindow& window, size_t byte) const;
    size_t ByteAtX(const LineWindow& window, qreal x) const;
    void DrawLine(class QPainter& painter, size_t line, qreal y) const;

    ResultsText text_;
    size_t origin_ = 0;    // Text().Origin() when the view last saw the text
    size_t topOffset_ = 0; // start of the first visible line, kept across changes of the text
    size_t anchor_ = 0;    // selection: from the anchor to the caret
    size_t caret_ = 0;
    size_t pinnedTop_ = 0;  // a line brought to the top that the scroll range must reach
    size_t goalColumn_ = 0; // column that moves up and down keep aiming at
    bool selecting_ = false;
    bool findFromTop_ = false;
    QBasicTimer dragScroll_;
    QPointF dragPoint_;
    QFontMetricsF metrics_;
    qreal cellWidth_ = 8; // horizontal scrolling counts these cells
    int lineHeight_ = 16;
    int ascent_ = 12;
};

} // namespace marlix
