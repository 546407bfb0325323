#include "workspace/help/HelpTopics.h"

#include "workspace/help/AboutBox.h"
#include "workspace/help/HelpWindow.h"

namespace marlix {

void ShowHelpTopics(QWidget* parent) {
    ShowHelp(parent, HelpTopic::MainWindow);
}

void ShowHelpTopic(QWidget* parent, int topic) {
    ShowHelp(parent, HelpTopicOf(topic));
}

void ShowAbout(QWidget* parent) {
    ShowAboutBox(parent);
}

} // namespace marlix
