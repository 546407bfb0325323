#include "workspace/browser/ObjectBrowser.h"

#include "catalog/CatalogText.h"
#include "db/ODBCSession.h"
#include "workspace/browser/ColumnsUpdatedDialog.h"
#include "workspace/browser/WizardCommands.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/frame/SelectionBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalBlocker>

namespace marlix {
namespace {

// The eight images of the tree, in the order of CatalogImage.
constexpr const char* kImageFiles[kCatalogImageCount] = {
    ":/browser/0-root.png",        ":/browser/1-table.png",     ":/browser/2-column.png",
    ":/browser/3-folder-open.png", ":/browser/4-folder.png",    ":/browser/5-procedure.png",
    ":/browser/6-parameter.png",   ":/browser/7-key-column.png"};

constexpr const char* kNoData = "(No data)";

bool Draggable(CatalogNodeKind kind) {
    return kind == CatalogNodeKind::Table || kind == CatalogNodeKind::Column ||
           kind == CatalogNodeKind::Procedure || kind == CatalogNodeKind::Parameter;
}

QTreeWidgetItem* AsItem(TreeItem item) {
    return static_cast<QTreeWidgetItem*>(item);
}

} // namespace

CObjectBrowser::CObjectBrowser(CMainFrame& frame, QWidget* parent)
    : QTreeWidget(parent), frame_(frame), reader_(frame.Session()), folders_(this), menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("objectBrowser"));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    // Labels are shown whole; a wide one scrolls the tree sideways.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    for (const char* file : kImageFiles)
        images_.emplace_back(QString::fromLatin1(file));
    columns_ = std::make_unique<CatalogColumnSource>(
        reader_, folders_, [this](std::exception_ptr failure) { Report(failure); },
        [this] { return BrowserCommandState(State()).CatalogAllowed(); });

    folders_.root.item = InsertItem(nullptr, kNoData, kRootImage, kRootImage);
    AttachRecord(folders_.root.item, &folders_.root);
    for (CatalogTableFolder* folder : {&folders_.tables, &folders_.views}) {
        folder->item = InsertItem(folders_.root.item, folder->Label(), kFolderImage, kOpenFolderImage);
        AttachRecord(folder->item, folder);
    }
    folders_.procedures.item = InsertItem(folders_.root.item, "Procedures", kFolderImage, kOpenFolderImage);
    AttachRecord(folders_.procedures.item, &folders_.procedures);
    AsItem(folders_.procedures.item)->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);

    AddAction(BrowserCommand::CopyName, tr("&Copy name"), QStringLiteral("Ctrl+C"));
    AddAction(BrowserCommand::CopySchemaName, tr("Copy SCHEMA.NAME"), QStringLiteral("Ctrl+Shift+C"));
    AddAction(BrowserCommand::CopyColumns, tr("Copy columns list"), {});
    menu_->addSeparator();
    AddAction(BrowserCommand::GenerateSelect, tr("Generate SELECT"), QStringLiteral("Ctrl+G"));
    AddAction(BrowserCommand::OutputWizard, tr("Output &wizard..."), QStringLiteral("Ctrl+W"));
    AddAction(BrowserCommand::ColumnsUpdated, tr("COLUMNS_UPDATED()"), {});
    menu_->addSeparator();
    AddAction(BrowserCommand::Refresh, tr("&Refresh"), QStringLiteral("F5"));

    connect(this, &QTreeWidget::itemExpanded, this, &CObjectBrowser::Expanded);
    setCurrentItem(AsItem(folders_.root.item));
}

// The records go before the items (the base class deletes those); their destructors leave the
// tree alone, so nothing is deleted one by one.
CObjectBrowser::~CObjectBrowser() = default;

void CObjectBrowser::AddAction(BrowserCommand command, const QString& text, const QString& shortcut) {
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) {
        // Shown in the menu; the key itself is taken while the tree has the focus (event()).
        action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    action->setData(static_cast<int>(command));
    connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    actions_[command] = action;
    menu_->addAction(action);
}

QAction* CObjectBrowser::Action(BrowserCommand command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

// ----------------------------------------------------------------------------- tree operations

const QIcon& CObjectBrowser::Icon(int image, int selectedImage) {
    auto [it, made] = icons_.try_emplace({image, selectedImage});
    if (made) {
        it->second.addPixmap(images_[static_cast<size_t>(image)], QIcon::Normal);
        it->second.addPixmap(images_[static_cast<size_t>(selectedImage)], QIcon::Selected);
    }
    return it->second;
}

TreeItem CObjectBrowser::InsertItem(TreeItem parent, const std::string& text, int image, int selectedImage) {
    auto* item =
        new QTreeWidgetItem(QStringList{QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))});
    item->setIcon(0, Icon(image, selectedImage));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (parent)
        AsItem(parent)->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void CObjectBrowser::AttachRecord(TreeItem item, CatalogNode* record) {
    QTreeWidgetItem* treeItem = AsItem(item);
    treeItem->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
    if (Draggable(record->kind)) treeItem->setFlags(treeItem->flags() | Qt::ItemIsDragEnabled);
}

bool CObjectBrowser::HasChildren(TreeItem item) const {
    return AsItem(item)->childCount() > 0;
}

TreeItem CObjectBrowser::FirstChild(TreeItem item) const {
    return AsItem(item)->child(0);
}

void CObjectBrowser::DeleteItem(TreeItem item) {
    delete AsItem(item);
}

void CObjectBrowser::AddPlaceholder(TreeItem item, int) {
    // The tree shows the button of an item without children itself; an item per table would
    // double the items a reload makes.
    AsItem(item)->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void CObjectBrowser::DeleteChildItems(TreeItem item) {
    // One removal for all, instead of one per child.
    const QList<QTreeWidgetItem*> children = AsItem(item)->takeChildren();
    qDeleteAll(children);
}

CatalogNode* CObjectBrowser::RecordOf(const QTreeWidgetItem* item) {
    if (!item) return nullptr;
    return reinterpret_cast<CatalogNode*>(item->data(0, Qt::UserRole).value<quintptr>());
}

QTreeWidgetItem* CObjectBrowser::ItemOf(const CatalogNode& record) {
    return AsItem(record.item);
}

CatalogNode* CObjectBrowser::SelectedRecord() const {
    return RecordOf(currentItem());
}

void CObjectBrowser::Select(const CatalogNode& record) {
    if (QTreeWidgetItem* item = ItemOf(record)) setCurrentItem(item);
}

CatalogTable* CObjectBrowser::SelectedTable() const {
    CatalogNode* record = SelectedRecord();
    return record && record->kind == CatalogNodeKind::Table ? static_cast<CatalogTable*>(record) : nullptr;
}

BrowserState CObjectBrowser::State() const {
    BrowserState state;
    const CODBCSession& session = frame_.Session();
    state.connected = session.Connected();
    state.serverType = session.Type();
    state.batchRunning = frame_.Execution().Running();
    if (const CatalogNode* record = SelectedRecord()) state.selected = record->kind;
    return state;
}

// ----------------------------------------------------------------------------- loading

void CObjectBrowser::SetRootText() {
    const CODBCSession& session = frame_.Session();
    AsItem(folders_.root.item)
        ->setText(0, session.Connected() ? QString::fromStdString(session.Title())
                                         : QString::fromLatin1(kNoData));
}

void CObjectBrowser::Reload() {
    SetRootText();
    // A batch holds the connection; the window never asks for a reload while one runs.
    if (frame_.Execution().Running()) return;
    const QComboBox* schema = frame_.Selection().SchemaBox();
    reader_.SetSchema(schema->currentIndex() > 0 ? schema->currentText().toStdString() : std::string());
    // The folders leave the tree while they are refilled: items added under an item outside the
    // tree cost no view update each.
    QTreeWidgetItem* root = AsItem(folders_.root.item);
    const QList<QTreeWidgetItem*> folderItems = root->takeChildren();
    try {
        // The Procedures folder is shown closed after a reload, and is read when first opened:
        // PostgreSQL's driver lists every function of every schema (thousands of its own), whatever
        // schema is chosen, which would make each reload several times slower.
        reader_.Reload(folders_, false);
    } catch (...) {
        Report(std::current_exception());
    }
    root->addChildren(folderItems);
    AsItem(folders_.procedures.item)->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    root->setExpanded(true);
    AsItem(folders_.tables.item)->setExpanded(true);
}

void CObjectBrowser::RefreshSchemaList() {
    // A schema chosen before stays chosen while it is still listed.
    QComboBox* box = frame_.Selection().SchemaBox();
    const QString chosen = box->currentIndex() > 0 ? box->currentText() : QString();
    std::vector<std::string> schemas;
    if (BrowserCommandState(State()).CatalogAllowed()) {
        try {
            schemas = reader_.LoadSchemaList();
        } catch (...) {
            Report(std::current_exception());
        }
    }
    frame_.Selection().SetSchemas(schemas);
    if (const int at = chosen.isEmpty() ? -1 : box->findText(chosen); at > 0) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(at);
    }
}

void CObjectBrowser::Expanded(QTreeWidgetItem* item) {
    CatalogNode* record = RecordOf(item);
    if (!record || record->loaded || !BrowserCommandState(State()).CatalogAllowed()) return;
    try {
        if (record->kind == CatalogNodeKind::Table)
            reader_.LoadColumns(*static_cast<CatalogTable*>(record));
        else if (record->kind == CatalogNodeKind::Procedure)
            reader_.LoadParameters(*static_cast<CatalogProcedure*>(record));
        else if (record->kind == CatalogNodeKind::ProcedureFolder)
            reader_.LoadProcedures(*static_cast<CatalogProcedureFolder*>(record));
    } catch (...) {
        Report(std::current_exception());
    }
    if (record->loaded) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool CObjectBrowser::ColumnsRead(CatalogTable& table) {
    if (table.loaded) return true;
    try {
        reader_.LoadColumns(table);
    } catch (...) {
        Report(std::current_exception());
    }
    return table.loaded;
}

void CObjectBrowser::Report(std::exception_ptr failure) {
    frame_.ReportFailure(failure);
}

void CObjectBrowser::SetClipboard(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// ----------------------------------------------------------------------------- commands

void CObjectBrowser::Run(BrowserCommand command) {
    switch (command) {
    case BrowserCommand::CopyName:
        return CopyName();
    case BrowserCommand::CopySchemaName:
        return CopySchemaName();
    case BrowserCommand::CopyColumns:
        return CopyColumns();
    case BrowserCommand::GenerateSelect:
        return GenerateSelect();
    case BrowserCommand::OutputWizard:
        return OutputWizard();
    case BrowserCommand::ColumnsUpdated:
        return ColumnsUpdated();
    case BrowserCommand::Refresh:
        return Refresh();
    }
}

CatalogTable* CObjectBrowser::TableWithColumns(std::string_view name) {
    CatalogTable* table = FindTable(folders_, name);
    if (table && !table->loaded && BrowserCommandState(State()).CatalogAllowed()) ColumnsRead(*table);
    return table;
}

void CObjectBrowser::Refresh() {
    CatalogNode* record = SelectedRecord();
    if (!record || !BrowserCommandState(State()).Enabled(BrowserCommand::Refresh)) return;
    ClearChildren(*record);
    if (record->kind == CatalogNodeKind::Table || record->kind == CatalogNodeKind::Procedure)
        AsItem(record->item)->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    try {
        switch (record->kind) {
        case CatalogNodeKind::Table:
            reader_.LoadColumns(*static_cast<CatalogTable*>(record));
            break;
        case CatalogNodeKind::TableFolder:
            reader_.LoadTables(*static_cast<CatalogTableFolder*>(record));
            break;
        case CatalogNodeKind::ProcedureFolder:
            reader_.LoadProcedures(*static_cast<CatalogProcedureFolder*>(record));
            break;
        case CatalogNodeKind::Procedure:
            reader_.LoadParameters(*static_cast<CatalogProcedure*>(record));
            break;
        default:
            break;
        }
    } catch (...) {
        Report(std::current_exception());
    }
    AsItem(record->item)->setExpanded(true);
    // Schemas made since the connection are chosen from the box once the tree is refreshed.
    RefreshSchemaList();
}

void CObjectBrowser::CopyName() {
    CatalogNode* record = SelectedRecord();
    if (record && BrowserCommandState(State()).Enabled(BrowserCommand::CopyName))
        SetClipboard(CopyNameText(*record));
}

void CObjectBrowser::CopySchemaName() {
    CatalogNode* record = SelectedRecord();
    if (record && BrowserCommandState(State()).Enabled(BrowserCommand::CopySchemaName))
        SetClipboard(CopySchemaNameText(*record));
}

void CObjectBrowser::CopyColumns() {
    CatalogTable* table = SelectedTable();
    if (!table || !BrowserCommandState(State()).Enabled(BrowserCommand::CopyColumns) || !ColumnsRead(*table))
        return;
    SetClipboard(ColumnListText(*table, IdentifierQuoting(reader_.Naming())));
}

void CObjectBrowser::GenerateSelect() {
    CatalogTable* table = SelectedTable();
    if (!table || !BrowserCommandState(State()).Enabled(BrowserCommand::GenerateSelect) ||
        !ColumnsRead(*table))
        return;
    const std::string text = GenerateSelectText(*table, IdentifierQuoting(reader_.Naming()));
    if (frame_.ScriptView().ReplaceSelection(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))))
        frame_.ScriptView().FocusEditor();
}

void CObjectBrowser::OutputWizard() {
    CatalogTable* table = SelectedTable();
    if (!table || !BrowserCommandState(State()).Enabled(BrowserCommand::OutputWizard) || !ColumnsRead(*table))
        return;
    OpenTableWizard(frame_, *table);
}

void CObjectBrowser::ColumnsUpdated() {
    CatalogTable* table = SelectedTable();
    if (!table || !BrowserCommandState(State()).Enabled(BrowserCommand::ColumnsUpdated) ||
        !ColumnsRead(*table))
        return;
    ColumnsUpdatedDialog dialog(
        folders_.tables, *table, [this](CatalogTable& chosen) { return ColumnsRead(chosen); }, this);
    dialog.exec();
}

// ----------------------------------------------------------------------------- events

void CObjectBrowser::UpdateContextMenu() {
    const BrowserCommandState state(State());
    for (auto& [command, action] : actions_)
        action->setEnabled(state.ContextEnabled(command));
}

void CObjectBrowser::contextMenuEvent(QContextMenuEvent* event) {
    if (QTreeWidgetItem* item = itemAt(event->pos())) setCurrentItem(item);
    UpdateContextMenu();
    menu_->popup(event->globalPos());
    event->accept();
}

std::optional<BrowserCommand> CObjectBrowser::ShortcutCommand(const QKeyEvent& event) const {
    const QKeySequence pressed(event.keyCombination());
    for (const auto& [command, action] : actions_)
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return command;
    return std::nullopt;
}

bool CObjectBrowser::event(QEvent* event) {
    // The browser's keys are its own while it has the focus: the window's shortcuts with the
    // same keys (Copy, Execute Script, the editor's wizard) do not fire then.
    if (event->type() == QEvent::ShortcutOverride && ShortcutCommand(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void CObjectBrowser::keyPressEvent(QKeyEvent* event) {
    if (const std::optional<BrowserCommand> command = ShortcutCommand(*event)) {
        event->accept();
        Run(*command);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

QStringList CObjectBrowser::mimeTypes() const {
    return {QStringLiteral("text/plain")};
}

QMimeData* CObjectBrowser::mimeData(const QList<QTreeWidgetItem*>& items) const {
    for (const QTreeWidgetItem* item : items) {
        const CatalogNode* record = RecordOf(item);
        if (!record || !Draggable(record->kind)) continue;
        auto* data = new QMimeData;
        const std::string name = CopyNameText(*record);
        data->setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        return data;
    }
    return nullptr;
}

} // namespace marlix
