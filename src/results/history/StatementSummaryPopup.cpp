#include "results/history/StatementSummaryPopup.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace marlix {

StatementSummaryPopup::StatementSummaryPopup(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    if (parent && parent->font().pointSizeF() > 0) font.setPointSizeF(parent->font().pointSizeF());
    setFont(font);
    setPalette(QToolTip::palette());
}

QSize StatementSummaryPopup::SizeFor(int lineCount, int width, int lineHeight) {
    return {(width * 3 + 3) * 4, lineCount * lineHeight + 2};
}

void StatementSummaryPopup::SetSummary(std::string_view summary, int width) {
    lines_.clear();
    size_t pos = 0;
    while (pos < summary.size()) {
        size_t end = summary.find("\r\n", pos);
        if (end == std::string_view::npos) end = summary.size();
        lines_.append(QString::fromUtf8(summary.data() + pos, static_cast<qsizetype>(end - pos)));
        pos = end + 2;
    }

    resize(SizeFor(static_cast<int>(lines_.size()), width, fontMetrics().height()));
    update();
}

void StatementSummaryPopup::ShowAt(QPoint globalMouse) {
    QPoint corner = globalMouse + QPoint(kOffsetX, kOffsetY);
    const QScreen* screen = QGuiApplication::screenAt(globalMouse);
    if (!screen && parentWidget()) screen = parentWidget()->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        if (corner.x() + width() > area.right() + 1)
            corner.setX(std::max(area.left(), area.right() + 1 - width()));
        // Too low: above the mouse instead, so the popup never covers the line it describes.
        if (corner.y() + height() > area.bottom() + 1)
            corner.setY(std::max(area.top(), globalMouse.y() - kOffsetY - height()));
    }
    move(corner);
    show();
}

void StatementSummaryPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::ToolTipBase));
    painter.setPen(colours.color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const int lineHeight = fontMetrics().height();
    // No mnemonic flag: an "&" of the statement is drawn as it is.
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QRect line(3, 1 + static_cast<int>(i) * lineHeight, width() - 6, lineHeight);
        painter.drawText(line, flags, lines_[i]);
    }
}

} // namespace marlix
