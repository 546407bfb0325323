#pragma once
// The window's commands as actions, and the menus and toolbar that show them. Each action is
// found by its command; the variants of one command (the statement types of "Convert to", the
// dialects of "Use syntax of", ...) carry their value as the action's data.
#include "workspace/frame/CommandState.h"

#include <QList>
#include <QObject>

#include <map>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace marlix {

class FrameActions final : public QObject {
    Q_OBJECT
public:
    explicit FrameActions(QMainWindow& window);

    QAction* Action(Command command) const;
    // "Convert to ..." (data: StatementType), "Use syntax of ..." (data: Dialect), "Copy as ..."
    // (data: StatementType), in menu order.
    const QList<QAction*>& ConvertActions() const noexcept { return convert_; }
    const QList<QAction*>& SyntaxActions() const noexcept { return syntax_; }
    const QList<QAction*>& CopyAsActions() const noexcept { return copyAs_; }
    const QList<QAction*>& RecentFileActions() const noexcept { return recent_; }
    // Save edits, Discard edits, View edits as SQL script, Delete Row, in that order.
    const QList<QAction*>& GridEditActions() const noexcept { return gridEdits_; }
    QAction* ExitAction() const noexcept { return exit_; }
    QAction* AboutAction() const noexcept { return about_; }
    // Execute Statement of the editor's context menu: it runs the statement under the mouse,
    // where the menu's and the shortcut's run the one at the caret.
    QAction* ContextExecuteStatement() const noexcept { return contextStatement_; }
    // Output wizard of the editor's context menu: at the mouse, where the menu's is at the caret.
    QAction* ContextOutputWizard() const noexcept { return contextWizard_; }
    QAction* RecentSeparator() const noexcept { return recentSeparator_; }
    QToolBar* ToolBar() const noexcept { return toolBar_; }
    // The script editor's context menu: Copy, Cut, Paste, Execute Script, Execute Statement,
    // Output wizard.
    QList<QAction*> EditorContextActions() const;

    // Enables every action as the state says, and checks the current type and syntax entries.
    void Apply(const CommandState& state, bool truncateResults);

private:
    QAction* Add(Command command, const QString& text, const QString& shortcut = {});
    void BuildMenus(QMainWindow& window);

    std::map<Command, QAction*> actions_;
    QList<QAction*> convert_;
    QList<QAction*> syntax_;
    QList<QAction*> copyAs_;
    QList<QAction*> recent_;
    QList<QAction*> gridEdits_;
    QAction* exit_ = nullptr;
    QAction* about_ = nullptr;
    QAction* contextStatement_ = nullptr;
    QAction* contextWizard_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};

} // namespace marlix
