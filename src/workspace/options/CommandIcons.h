#pragma once
// The icons of the window's commands, one per command for its menu entry and its toolbar
// button alike. They follow the desktop's icon theme where it has the icon; the commands of
// the toolbar fall back to icons that come with the program, so they always have one.
#include "workspace/frame/CommandState.h"

#include <QIcon>

namespace marlix {

// Null for a command without an icon (or, for a command that has no toolbar button, when the
// theme lacks it).
QIcon CommandIcon(Command command);
QIcon AboutIcon();
QIcon ExitIcon();

} // namespace marlix
