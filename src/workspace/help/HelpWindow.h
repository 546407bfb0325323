#pragma once
// The program's help: HTML pages compiled into the program, shown in a window of their own at a
// numbered topic. Each top-level window has at most one help window; asking again brings it to
// the front at the new topic.
#include <QDialog>
#include <QUrl>

class QPushButton;
class QTextBrowser;

namespace marlix {

enum class HelpTopic : int {
    Connecting = 1001, // the connect dialog and the connection options
    MainWindow = 1002, // the main window, and every request that names no topic of its own
    Options = 1004,    // the Options dialog
};

// The topic of a number; numbers without a topic of their own give MainWindow.
HelpTopic HelpTopicOf(int number) noexcept;
// The page of a topic with the topic's anchor ("topic1001") as fragment.
QUrl HelpTopicUrl(HelpTopic topic);
// The contents page.
QUrl HelpContentsUrl();

class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void ShowTopic(HelpTopic topic);
    QTextBrowser* Browser() const noexcept { return browser_; }

private:
    QTextBrowser* browser_;
    QPushButton* back_;
    QPushButton* forward_;
};

// Opens the help window of `parent`'s top-level window (a new one when it has none) at `topic`.
// A help window asked from a modal dialog belongs to that dialog, so it takes input while the
// dialog is open.
HelpWindow* ShowHelp(QWidget* parent, HelpTopic topic);

} // namespace marlix
