#pragma once
// Where the main window opens before the user has placed it: three quarters of the screen's
// available area (never below the window's minimum), centred, so a first start shows the
// editor, the browser and the results at a size worth working in.
#include <QRect>

namespace marlix {

inline QRect FirstPlacement(const QRect& available, const QSize& minimum) {
    const QSize size = QSize(available.width() * 3 / 4, available.height() * 3 / 4).expandedTo(minimum);
    return QRect(available.left() + (available.width() - size.width()) / 2,
                 available.top() + (available.height() - size.height()) / 2, size.width(), size.height());
}

} // namespace marlix
