#include "workspace/frame/FrameActions.h"

#include "workspace/frame/TargetPlatform.h"
#include "workspace/options/CommandIcons.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace marlix {
namespace {

struct Variant {
    const char* text;
    int value;
};

constexpr Variant kConvertTo[] = {
    {"Convert to &SELECT results", static_cast<int>(StatementType::SELECT)},
    {"Convert to &INSERTs", static_cast<int>(StatementType::INSERT)},
    {"Convert to &UPDATEs", static_cast<int>(StatementType::UPDATE)},
    {"Convert to &DELETEs", static_cast<int>(StatementType::DELETE)},
    {"Convert to &REPLACEs", static_cast<int>(StatementType::REPLACE)},
    {"INSERT with &array of parameters", static_cast<int>(StatementType::INSERT_ARRAY)},
    {"&Loader format", static_cast<int>(StatementType::LOAD)},
    {"Convert to U&PSERTs", static_cast<int>(StatementType::UPSERT)},
};

constexpr Variant kUseSyntaxOf[] = {
    {"Microsoft &TSQL", static_cast<int>(Dialect::MSSQL)},
    {"&Oracle PL/SQL", static_cast<int>(Dialect::ORACLE)},
    {"&My SQL", static_cast<int>(Dialect::MYSQL)},
    {"MS &Access", static_cast<int>(Dialect::ACCESS)},
    {"&Interbase/FireBird", static_cast<int>(Dialect::FIREBIRD)},
    {"&Generic SQL'92", static_cast<int>(Dialect::GENERIC)},
    {"&PostgreSQL", static_cast<int>(Dialect::POSTGRESQL)},
    {"&SQLite", static_cast<int>(Dialect::SQLITE)},
};

constexpr Variant kCopyAs[] = {
    {"Copy as SELECT &results", static_cast<int>(StatementType::SELECT)},
    {"Copy as &INSERTs", static_cast<int>(StatementType::INSERT)},
    {"Copy as &UPDATEs", static_cast<int>(StatementType::UPDATE)},
    {"Copy as &DELETEs", static_cast<int>(StatementType::DELETE)},
    {"Copy as UPS&ERTs", static_cast<int>(StatementType::UPSERT)},
};

} // namespace

FrameActions::FrameActions(QMainWindow& window) : QObject(&window) {
    Add(Command::New, tr("&New"), QStringLiteral("Ctrl+N"));
    Add(Command::Open, tr("&Open..."), QStringLiteral("Ctrl+O"));
    Add(Command::Save, tr("&Save"), QStringLiteral("Ctrl+S"));
    Add(Command::SaveAs, tr("Save &As..."));
    Add(Command::ResultsToFile, tr("Results to &file..."));
    Add(Command::Undo, tr("&Undo"), QStringLiteral("Ctrl+Z"));
    Add(Command::Cut, tr("Cu&t"), QStringLiteral("Ctrl+X"));
    Add(Command::Copy, tr("&Copy"), QStringLiteral("Ctrl+C"));
    Add(Command::Paste, tr("&Paste"), QStringLiteral("Ctrl+V"));
    Add(Command::SelectAll, tr("Select &All"), QStringLiteral("Ctrl+A"));
    Add(Command::Find, tr("&Find..."), QStringLiteral("Ctrl+F"));
    Add(Command::Connect, tr("&Connect..."));
    Add(Command::Disconnect, tr("&Disconnect"));
    Add(Command::ExecuteScript, tr("Execute &Script"), QStringLiteral("F5"));
    QAction* statement = Add(Command::ExecuteStatement, tr("Execute S&tatement"));
    statement->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Return")), QKeySequence(QStringLiteral("Ctrl+Enter"))});
    Add(Command::CancelExecution, tr("&Cancel execution"));
    Add(Command::Commit, tr("Co&mmit"));
    Add(Command::Rollback, tr("&Rollback"));
    Add(Command::OutputWizard, tr("Output &wizard..."), QStringLiteral("Ctrl+W"));
    Add(Command::TruncateResults, tr("&Truncate results"))->setCheckable(true);
    Add(Command::ClearResults, tr("C&lear results"));
    Add(Command::Options, tr("&Options..."));
    Add(Command::HelpTopics, tr("&Help Topics"), QStringLiteral("F1"));
    for (const Variant& v : kConvertTo) {
        QAction* a = new QAction(tr(v.text), this);
        a->setData(v.value);
        a->setCheckable(true);
        convert_.append(a);
    }
    for (const Variant& v : kUseSyntaxOf) {
        QAction* a = new QAction(tr(v.text), this);
        a->setData(v.value);
        a->setCheckable(true);
        syntax_.append(a);
    }
    for (const Variant& v : kCopyAs) {
        QAction* a = new QAction(tr(v.text), this);
        a->setData(v.value);
        copyAs_.append(a);
    }
    for (const char* text : {"&Save edits", "&Discard edits", "&View edits as SQL script", "Delete &Row"}) {
        QAction* a = new QAction(tr(text), this);
        a->setEnabled(false);
        gridEdits_.append(a);
    }
    for (int i = 0; i < 8; ++i) {
        QAction* a = new QAction(this);
        a->setVisible(false);
        recent_.append(a);
    }
    exit_ = new QAction(tr("E&xit"), this);
    exit_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    exit_->setIcon(ExitIcon());
    about_ = new QAction(AboutIcon(), tr("&About Marlix..."), this);
    contextStatement_ = new QAction(statement->icon(), statement->text(), this);
    contextWizard_ = new QAction(Action(Command::OutputWizard)->text(), this);
    BuildMenus(window);
}

QAction* FrameActions::Add(Command command, const QString& text, const QString& shortcut) {
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    // The toolbar's icon beside the menu entry, and the key in context menus too.
    if (const QIcon icon = CommandIcon(command); !icon.isNull()) {
        action->setIcon(icon);
        action->setIconVisibleInMenu(true);
    }
    action->setShortcutVisibleInContextMenu(true);
    action->setData(static_cast<int>(command));
    actions_[command] = action;
    return action;
}

QAction* FrameActions::Action(Command command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void FrameActions::BuildMenus(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    QMenu* file = bar->addMenu(tr("&File"));
    file->addActions(
        {Action(Command::New), Action(Command::Open), Action(Command::Save), Action(Command::SaveAs)});
    file->addSeparator();
    file->addAction(Action(Command::ResultsToFile));
    recentSeparator_ = file->addSeparator();
    recentSeparator_->setVisible(false);
    file->addActions(recent_);
    file->addSeparator();
    file->addAction(exit_);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(Action(Command::Undo));
    edit->addSeparator();
    edit->addActions({Action(Command::Cut), Action(Command::Copy), Action(Command::Paste)});
    edit->addSeparator();
    edit->addActions({Action(Command::SelectAll), Action(Command::Find)});

    QMenu* query = bar->addMenu(tr("&Query"));
    query->addActions({Action(Command::ExecuteScript), Action(Command::ExecuteStatement),
                       Action(Command::CancelExecution)});
    query->addSeparator();
    query->addAction(Action(Command::OutputWizard));
    query->addSeparator();
    query->addActions({Action(Command::Commit), Action(Command::Rollback)});

    QMenu* connection = bar->addMenu(tr("&Connection"));
    connection->addActions({Action(Command::Connect), Action(Command::Disconnect)});

    // The conversions in menus of their own, as in the results' context menu: flat, their
    // letters and those of the grid's edits could not all be told apart by Alt.
    QMenu* results = bar->addMenu(tr("&Results"));
    QMenu* convert = results->addMenu(tr("&Convert to"));
    convert->addActions(convert_);
    QMenu* syntax = results->addMenu(tr("Use s&yntax of"));
    syntax->addActions(syntax_);
    QMenu* copyAs = results->addMenu(tr("Copy &as"));
    copyAs->addActions(copyAs_);
    results->addSeparator();
    results->addActions(gridEdits_);
    results->addSeparator();
    results->addActions({Action(Command::TruncateResults), Action(Command::ClearResults)});

    QMenu* tools = bar->addMenu(tr("&Tools"));
    tools->addAction(Action(Command::Options));

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(Action(Command::HelpTopics));
    help->addSeparator();
    help->addAction(about_);

    toolBar_ = new QToolBar(tr("Toolbar"), &window);
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->addActions({Action(Command::New), Action(Command::Open), Action(Command::Save)});
    toolBar_->addSeparator();
    toolBar_->addActions({Action(Command::ExecuteScript), Action(Command::ExecuteStatement),
                          Action(Command::CancelExecution)});
    toolBar_->addSeparator();
    toolBar_->addActions({Action(Command::Commit), Action(Command::Rollback)});
    window.addToolBar(Qt::TopToolBarArea, toolBar_);
}

QList<QAction*> FrameActions::EditorContextActions() const {
    return {Action(Command::Copy),          Action(Command::Cut), Action(Command::Paste),
            Action(Command::ExecuteScript), contextStatement_,    contextWizard_};
}

void FrameActions::Apply(const CommandState& state, bool truncateResults) {
    for (auto& [command, action] : actions_)
        action->setEnabled(state.Enabled(command));
    contextStatement_->setEnabled(state.Enabled(Command::ExecuteStatement));
    contextWizard_->setEnabled(state.Enabled(Command::OutputWizard));
    Action(Command::TruncateResults)->setChecked(truncateResults);
    const bool convert = state.Enabled(Command::ConvertTo);
    for (QAction* a : convert_)
        a->setEnabled(convert);
    const bool syntax = state.Enabled(Command::UseSyntaxOf);
    for (QAction* a : syntax_)
        a->setEnabled(syntax);
    const bool copy = state.Enabled(Command::CopyConverted);
    for (QAction* a : copyAs_)
        a->setEnabled(copy);
}

} // namespace marlix
