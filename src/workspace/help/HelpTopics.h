#pragma once
// Help Topics and the About box of the window. Every help request of the program opens the
// help window: at the main window's page, or at the numbered topic it names (1001 connecting,
// 1002 the main window, 1004 the Options dialog).
class QWidget;

namespace marlix {

void ShowHelpTopics(QWidget* parent);
void ShowHelpTopic(QWidget* parent, int topic);
void ShowAbout(QWidget* parent);

} // namespace marlix
