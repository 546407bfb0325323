#include "workspace/frame/GridEditCommands.h"

#include "catalog/EditTableLookup.h"
#include "core/DialectSettings.h"
#include "core/MemoryTextSink.h"
#include "core/ProfileStore.h"
#include "db/ServerDialect.h"
#include "execution/SaveEdits.h"
#include "results/grid/EditableResultSetModel.h"
#include "results/grid/EditingDelegate.h"
#include "results/grid/GridsPane.h"
#include "results/grid/ModificationScriptDialog.h"
#include "results/grid/ResultGrid.h"
#include "results/view/HistoryBridge.h"
#include "results/view/SQLResultsView.h"
#include "results/view/UserPrompts.h"
#include "transform/ModificationScript.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace marlix {
namespace {

constexpr const char* kAlwaysShowScript = "ShowModificationScript";
constexpr size_t kScriptSinkSize = 2621440;

enum GridEditAction { SaveAction, DiscardAction, ViewAction, DeleteRowAction };

} // namespace

GridEditCommands::GridEditCommands(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    frame_.ResultsView().Grids().SetGridFactory(
        [this](std::shared_ptr<ResultSet> resultSet, QWidget* parent) {
            return MakeGrid(std::move(resultSet), parent);
        });
    frame_.ResultsView().Grids().SetDropQuestion([this] {
        return frame_.Prompts().AskYesNo(tr("Some grids hold edits that were not saved to the database.\n"
                                            "Throw these edits away?"),
                                         QStringLiteral("Marlix"));
    });
    const QList<QAction*>& actions = frame_.Actions().GridEditActions();
    connect(actions[SaveAction], &QAction::triggered, this, &GridEditCommands::Save);
    connect(actions[DiscardAction], &QAction::triggered, this, &GridEditCommands::Discard);
    connect(actions[ViewAction], &QAction::triggered, this, &GridEditCommands::ViewScript);
    connect(actions[DeleteRowAction], &QAction::triggered, this, &GridEditCommands::DeleteRow);
}

ResultGrid* GridEditCommands::MakeGrid(std::shared_ptr<ResultSet> resultSet, QWidget* parent) {
    CObjectBrowser& browser = frame_.ObjectBrowser();
    ExecutionController& execution = frame_.Execution();
    // The catalog is read on the connection thread; never while a batch holds it.
    TableLookup lookup = CatalogTableLookup(browser.Reader(), browser.Folders(), {},
                                            [&execution] { return !execution.Running(); });
    auto* model = new EditableResultSetModel(std::move(resultSet), lookup);
    model->SetDateSettings(frame_.ConversionSettings());
    auto* grid = new ResultGrid(model, parent);
    model->setParent(grid);
    grid->setItemDelegate(new EditingDelegate(grid));
    connect(model, &EditableResultSetModel::editRejected, this, [this](const QString& message) {
        frame_.Prompts().ShowMessage(message, QStringLiteral("Marlix"), MessageIcon::Warning);
    });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { frame_.UpdateCommands(); });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { frame_.UpdateCommands(); });
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { frame_.UpdateCommands(); });
    connect(grid, &ResultGrid::deleteRowsRequested, this, [this, grid] {
        if (grid == CurrentGrid()) DeleteRow();
    });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
        QMenu menu(grid);
        // The copies of the Results pane's menu, on this grid's cells and result set.
        menu.addAction(tr("&Copy"), grid, [grid] { grid->CopySelection(); });
        menu.addAction(tr("Copy &All"), grid, [grid] { grid->CopyAll(); });
        menu.addMenu(tr("Copy co&nverted"))->addActions(frame_.Actions().CopyAsActions());
        menu.addSeparator();
        menu.addActions(frame_.Actions().GridEditActions());
        menu.addSeparator();
        menu.addActions({frame_.Actions().Action(Command::TruncateResults),
                         frame_.Actions().Action(Command::ClearResults)});
        menu.exec(grid->viewport()->mapToGlobal(at));
    });
    return grid;
}

ResultGrid* GridEditCommands::CurrentGrid() const {
    return frame_.ResultsView().Grids().CurrentGrid();
}

EditableResultSetModel* GridEditCommands::CurrentModel() const {
    ResultGrid* grid = CurrentGrid();
    return grid ? qobject_cast<EditableResultSetModel*>(&grid->Model()) : nullptr;
}

bool GridEditCommands::AlwaysShowScript() const {
    return frame_.Profile().GetInt(kSettingsSection, kAlwaysShowScript, 0) != 0;
}

void GridEditCommands::UpdateActions(bool allowed) {
    const QList<QAction*>& actions = frame_.Actions().GridEditActions();
    EditableResultSetModel* model = allowed ? CurrentModel() : nullptr;
    const bool unsaved = model && model->Edits().HasUnsavedEdits();
    actions[SaveAction]->setEnabled(unsaved);
    actions[DiscardAction]->setEnabled(unsaved);
    actions[ViewAction]->setEnabled(unsaved);
    // Delete Row has nothing to do on the empty row at the end or a row already deleted.
    const int row = model ? CurrentGrid()->currentIndex().row() : -1;
    actions[DeleteRowAction]->setEnabled(model && model->CanDeleteRow(row));
}

void GridEditCommands::Changed(ResultGrid* grid) {
    if (auto* model = qobject_cast<EditableResultSetModel*>(&grid->Model())) model->Refresh();
    frame_.UpdateCommands();
}

void GridEditCommands::ShowScript(EditableResultSetModel& model) {
    MemoryTextSink sink(kScriptSinkSize);
    // In the server's own dialect, with statement ends: the script runs as it is in its client.
    WriteModificationScript(model.Edits(), sink, static_cast<int>(ServerDialectOf(frame_.Session())));
    ModificationScriptDialog dialog(std::string(sink.Data(), sink.Length()), AlwaysShowScript(),
                                    frame_.Prompts(), &frame_);
    dialog.exec();
    frame_.Profile().WriteInt(kSettingsSection, kAlwaysShowScript, dialog.AlwaysShow() ? 1 : 0);
}

void GridEditCommands::Save() {
    ResultGrid* grid = CurrentGrid();
    EditableResultSetModel* model = CurrentModel();
    if (!grid || !model || frame_.Execution().Running()) return;
    // An open editor commits its text first; if it cannot close, nothing is saved.
    auto editorOpen = [grid] {
        QWidget* focus = QApplication::focusWidget();
        return focus && grid->viewport()->isAncestorOf(focus);
    };
    if (editorOpen()) {
        grid->setFocus();
        if (editorOpen()) return;
    }
    if (AlwaysShowScript()) ShowScript(*model);
    const SaveEditsResult result = SaveEdits(frame_.Session(), model->Edits(), frame_.Bridge());
    Changed(grid);
    if (result.saved) return;
    if (result.failedRow >= 0) grid->setCurrentIndex(model->index(static_cast<int>(result.failedRow), 0));
    frame_.Prompts().ShowMessage(
        QString::fromUtf8(result.error.data(), static_cast<qsizetype>(result.error.size())),
        QStringLiteral("Marlix"), MessageIcon::Critical);
}

void GridEditCommands::Discard() {
    ResultGrid* grid = CurrentGrid();
    EditableResultSetModel* model = CurrentModel();
    if (!grid || !model || !model->Edits().HasUnsavedEdits()) return;
    if (!frame_.Prompts().AskYesNo(tr("Throw away the edits of this grid that were not saved to the database?"),
                                   QStringLiteral("Marlix")))
        return;
    model->Edits().DiscardEdits();
    Changed(grid);
}

void GridEditCommands::ViewScript() {
    if (EditableResultSetModel* model = CurrentModel()) ShowScript(*model);
}

void GridEditCommands::DeleteRow() {
    ResultGrid* grid = CurrentGrid();
    EditableResultSetModel* model = CurrentModel();
    if (!grid || !model || frame_.Execution().Running()) return;
    if (model->DeleteRows(grid->SelectedRows()) > 0) frame_.UpdateCommands();
}

} // namespace marlix
