#include "workspace/options/CommandIcons.h"

#include <QApplication>
#include <QStyle>

namespace marlix {
namespace {

constexpr int kNoFallback = -1;

struct IconChoice {
    Command command;
    const char* themeName; // freedesktop icon naming
    int fallback;          // QStyle::StandardPixmap, or kNoFallback
};

// The toolbar's commands come first; each has a fallback.
constexpr IconChoice kIcons[] = {
    {Command::New, "document-new", QStyle::SP_FileIcon},
    {Command::Open, "document-open", QStyle::SP_DialogOpenButton},
    {Command::Save, "document-save", QStyle::SP_DialogSaveButton},
    {Command::ExecuteScript, "media-playback-start", QStyle::SP_MediaPlay},
    {Command::ExecuteStatement, "media-skip-forward", QStyle::SP_MediaSeekForward},
    {Command::CancelExecution, "process-stop", QStyle::SP_MediaStop},
    {Command::Commit, "dialog-ok-apply", QStyle::SP_DialogApplyButton},
    {Command::Rollback, "dialog-cancel", QStyle::SP_DialogDiscardButton},
    {Command::SaveAs, "document-save-as", kNoFallback},
    {Command::Undo, "edit-undo", kNoFallback},
    {Command::Cut, "edit-cut", kNoFallback},
    {Command::Copy, "edit-copy", kNoFallback},
    {Command::Paste, "edit-paste", kNoFallback},
    {Command::SelectAll, "edit-select-all", kNoFallback},
    {Command::Find, "edit-find", kNoFallback},
    {Command::ClearResults, "edit-clear", kNoFallback},
    {Command::Options, "preferences-system", kNoFallback},
    {Command::HelpTopics, "help-contents", kNoFallback},
};

QIcon Themed(const char* name, int fallback) {
    const QString themeName = QString::fromLatin1(name);
    if (fallback == kNoFallback) return QIcon::fromTheme(themeName);
    return QIcon::fromTheme(
        themeName, QApplication::style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback)));
}

} // namespace

QIcon CommandIcon(Command command) {
    for (const IconChoice& choice : kIcons) {
        if (choice.command == command) return Themed(choice.themeName, choice.fallback);
    }
    return {};
}

QIcon AboutIcon() {
    return QIcon::fromTheme(QStringLiteral("help-about"));
}

QIcon ExitIcon() {
    return QIcon::fromTheme(QStringLiteral("application-exit"));
}

} // namespace marlix
