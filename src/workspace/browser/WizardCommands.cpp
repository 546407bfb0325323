#include "workspace/browser/WizardCommands.h"

#include "catalog/CatalogReader.h"
#include "catalog/CatalogText.h"
#include "catalog/MetadataWizardModel.h"
#include "metadata/BlockEdits.h"
#include "workspace/browser/MetadataWizardDialog.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/CommandState.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/MainFrame.h"

#include <QAction>

namespace marlix {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

WizardCommands::WizardCommands(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    connect(frame_.Actions().Action(Command::OutputWizard), &QAction::triggered, this,
            &WizardCommands::AtCaret);
    connect(frame_.Actions().ContextOutputWizard(), &QAction::triggered, this, &WizardCommands::AtMouse);
}

void WizardCommands::AtCaret() {
    if (frame_.Enabled(Command::OutputWizard)) OpenAt(frame_.ScriptView().CaretOffset());
}

void WizardCommands::AtMouse() {
    if (!frame_.Enabled(Command::OutputWizard)) return;
    CDravelView& view = frame_.ScriptView();
    OpenAt(view.RememberedOffset().value_or(view.CaretOffset()));
}

bool WizardCommands::OpenAt(std::size_t position) {
    CDravelView& view = frame_.ScriptView();
    if (!view.AnalysisCurrent() || view.BatchRunning()) return false;
    CObjectBrowser& browser = frame_.ObjectBrowser();
    if (const std::optional<ResultSetEditStart> edit =
            ResultSetEditAt(view.Script(), position, frame_.CurrentDialect())) {
        WizardStart start{edit->sourceTable, edit->destinationTable, edit->dialectName,
                          edit->typeName,    edit->keyFieldText,     false};
        start.rowsPerStatement = edit->rowsPerStatement;
        start.commitEvery = edit->commitEvery;
        MetadataWizardModel model(start, browser.Columns());
        MetadataWizardDialog dialog(model, &frame_);
        if (dialog.exec() != QDialog::Accepted) return false;
        return view.ApplyEdit(ReplaceResultSetEdit(*edit, model.Description()));
    }
    // No block here: a new one for the table the statement reads, with that table's keys.
    WizardStart start;
    start.typeText = "Select";
    if (const StatementRecord* statement = view.Script().StatementAt(position))
        start.sourceTable = statement->description.sourceTable;
    if (const CatalogTable* table =
            start.sourceTable.empty() ? nullptr : browser.TableWithColumns(start.sourceTable))
        start.keyFieldText = KeyFieldText(*table);
    MetadataWizardModel model(start, browser.Columns());
    MetadataWizardDialog dialog(model, &frame_);
    if (dialog.exec() != QDialog::Accepted) return false;
    return view.ApplyEdit(TextEdit{position, position, model.BlockText()});
}

bool OpenTableWizard(CMainFrame& frame, const CatalogTable& table) {
    CDravelView& view = frame.ScriptView();
    // The block names the table as its SELECT writes it: quoted where the server would fold it.
    const std::string name =
        QualifiedTableName(table, IdentifierQuoting(frame.ObjectBrowser().Reader().Naming()));
    WizardStart start{name, name, "", "Select", KeyFieldText(table), true};
    MetadataWizardModel model(start, frame.ObjectBrowser().Columns());
    MetadataWizardDialog dialog(model, &frame);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (!view.ReplaceSelection(FromUtf8(model.BlockText()))) return false;
    view.FocusEditor();
    return true;
}

} // namespace marlix
