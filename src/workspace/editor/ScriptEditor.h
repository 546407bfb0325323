#pragma once
// The script editor: a plain text editor without line wrap in a fixed-pitch font, with a left
// margin that marks the line of the last error, colours applied lazily from the engine's tokens
// just before lines are drawn, and the key, clipboard and drop handling of the script view.
#include <QPlainTextEdit>

namespace marlix {

class ScriptHighlighter;

class ScriptEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMarginWidth = 20;

    explicit ScriptEditor(QWidget* parent = nullptr);

    void SetHighlighter(ScriptHighlighter* highlighter) noexcept { highlighter_ = highlighter; }

    // Zero-based line marked by the arrow in the margin, or -1.
    void SetErrorLine(int line);
    int ErrorLine() const noexcept { return errorLine_; }

    // Colours the lines now visible (done before each paint as well).
    void ColourVisibleLines();

signals:
    // A context menu was asked for at document position `position` (the character under the
    // mouse), to be shown at `globalPos`.
    void contextMenuRequested(int position, QPoint globalPos);
    void findRequested();
    void executeStatementKey();
    void focused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    friend class ScriptMargin;
    void PaintMargin(QPaintEvent* event);
    QTextBlock LastVisibleBlock() const;

    QWidget* margin_;
    ScriptHighlighter* highlighter_ = nullptr;
    int errorLine_ = -1;
};

// Every lone LF or CR, CR LF, and U+2028 as one line break of the editor ('\n').
QString EditorLineBreaks(QString text);

} // namespace marlix
