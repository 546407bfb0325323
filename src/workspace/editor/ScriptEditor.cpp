#include "workspace/editor/ScriptEditor.h"

#include "workspace/editor/ScriptHighlighter.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace marlix {

// The strip left of the text: plain, with the error arrow.
class ScriptMargin : public QWidget {
public:
    explicit ScriptMargin(ScriptEditor* editor) : QWidget(editor), editor_(editor) {}

protected:
    void paintEvent(QPaintEvent* event) override { editor_->PaintMargin(event); }

private:
    ScriptEditor* editor_;
};

namespace {

QFont ScriptFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(10);
    if (!QFontInfo(font).fixedPitch()) {
        // No Courier New and no fixed-pitch substitute for it: the system's fixed font.
        const int size = font.pointSize();
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(size);
    }
    return font;
}

bool IsEnter(const QKeyEvent* event) noexcept {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

QString EditorLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar& c : text)
        if (c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) c = u'\n';
    return text;
}

ScriptEditor::ScriptEditor(QWidget* parent) : QPlainTextEdit(parent), margin_(new ScriptMargin(this)) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(ScriptFont());
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    // Words that are no keyword and characters outside tokens are black on white, whatever the
    // desktop's colours: the token colours are chosen against that.
    QPalette colours = palette();
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
    setViewportMargins(kMarginWidth, 0, 0, 0);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect&, int) { margin_->update(); });
}

void ScriptEditor::SetErrorLine(int line) {
    if (line == errorLine_) return;
    errorLine_ = line;
    margin_->update();
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event) && (event->modifiers() & Qt::ControlModifier)) {
        // Ctrl+Enter belongs to Execute Statement: it never breaks the line, and the command
        // decides by its own enabling whether it runs.
        event->accept();
        emit executeStatementKey();
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        event->accept();
        emit findRequested();
        return;
    }
    if (isReadOnly() && (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
                         event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste))) {
        event->accept();
        return;
    }
    if (IsEnter(event) && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift+Enter would insert a line separator inside the line; the script knows only one
        // kind of line break.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ScriptEditor::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    emit contextMenuRequested(cursorForPosition(event->pos()).position(), event->globalPos());
}

void ScriptEditor::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focused();
}

void ScriptEditor::ColourVisibleLines() {
    if (!highlighter_) return;
    const QTextBlock first = firstVisibleBlock();
    if (!first.isValid()) return;
    // The font has a fixed pitch: the horizontal scroll offset counts columns.
    const int columnWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    highlighter_->ColourLines(first, LastVisibleBlock(), horizontalScrollBar()->value() / columnWidth,
                              viewport()->width() / columnWidth + 1);
}

QTextBlock ScriptEditor::LastVisibleBlock() const {
    QTextBlock block = firstVisibleBlock();
    QTextBlock last = block;
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    const qreal bottom = viewport()->height();
    while (block.isValid() && top <= bottom) {
        last = block;
        top += blockBoundingRect(block).height();
        block = block.next();
    }
    return last;
}

void ScriptEditor::paintEvent(QPaintEvent* event) {
    ColourVisibleLines();
    QPlainTextEdit::paintEvent(event);
}

void ScriptEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    margin_->setGeometry(area.left(), area.top(), kMarginWidth, area.height());
}

void ScriptEditor::PaintMargin(QPaintEvent* event) {
    QPainter painter(margin_);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    if (errorLine_ < 0) return;
    const QTextBlock block = document()->findBlockByNumber(errorLine_);
    if (!block.isValid()) return;
    // The margin and the viewport share their top edge.
    const int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    if (top > margin_->height() || top + 9 < 0) return;
    // A navy arrow of five strokes, 4 to 8 pixels below the line's top, pointing right.
    static constexpr int kStrokeEnds[5] = {11, 12, 13, 12, 11};
    for (int row = 0; row < 5; ++row)
        painter.fillRect(4, top + 4 + row, kStrokeEnds[row] - 4, 1, QColor(0, 0, 128));
}

void ScriptEditor::dropEvent(QDropEvent* event) {
    QPlainTextEdit::dropEvent(event);
    if (event->isAccepted()) setFocus(Qt::OtherFocusReason);
}

bool ScriptEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void ScriptEditor::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source || !source->hasText()) return;
    const QString text = EditorLineBreaks(source->text());
    if (text.isEmpty()) return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* ScriptEditor::createMimeDataFromSelection() const {
    // Plain text only: the colours are no part of the script.
    auto* data = new QMimeData;
    data->setText(EditorLineBreaks(textCursor().selectedText()));
    return data;
}

} // namespace marlix
