#pragma once
// Help Topics: the part of the README that describes the window, in a window of its own. Every
// help request of the program opens it.
class QWidget;

namespace marlix {

void ShowHelpTopics(QWidget* parent);
void ShowAbout(QWidget* parent);

} // namespace marlix
