#pragma once
// The small window that shows a statement's summary while the mouse rests on its entry in the
// Execution history: tooltip colours, a fixed-pitch font, the lines drawn as they are.
#include <QStringList>
#include <QWidget>

#include <string_view>

namespace marlix {

class StatementSummaryPopup : public QWidget {
    Q_OBJECT
public:
    // Offset of the popup's corner from the mouse.
    static constexpr int kOffsetX = 10;
    static constexpr int kOffsetY = 5;

    explicit StatementSummaryPopup(QWidget* parent);

    // summary: UTF-8 lines, each followed by "\r\n"; width: characters of a line at most.
    void SetSummary(std::string_view summary, int width);
    // Shows the popup 10 px right and 5 px below the mouse (global coordinates), moved back
    // onto the screen when it would leave it.
    void ShowAt(QPoint globalMouse);

    const QStringList& Lines() const { return lines_; }
    // (width * 3 + 3) * 4 pixels wide, one font line per summary line plus 2 pixels high.
    static QSize SizeFor(int lineCount, int width, int lineHeight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList lines_;
};

} // namespace marlix
