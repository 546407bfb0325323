#pragma once
// The object browser column: the tree of the database's tables, views and procedures, read from
// the catalog as the user opens it, and the commands that turn a chosen object into text for the
// script (names, a column list, a SELECT, a metadata block, a COLUMNS_UPDATED() mask). It reloads
// when the connection, the database or the schema changes. While the tree has the focus its own
// shortcuts (Ctrl+C, Ctrl+Shift+C, Ctrl+G, Ctrl+W, F5) act on the selected object; elsewhere they
// stay the window's.
#include "catalog/CatalogNode.h"
#include "catalog/CatalogReader.h"
#include "catalog/TableColumnSource.h"
#include "workspace/browser/BrowserCommandState.h"

#include <QIcon>
#include <QTreeWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace marlix {

class CMainFrame;

class CObjectBrowser final : public QTreeWidget, private CatalogTree {
    Q_OBJECT
public:
    explicit CObjectBrowser(CMainFrame& frame, QWidget* parent = nullptr);
    ~CObjectBrowser() override;

    CatalogFolders& Folders() noexcept { return folders_; }
    CatalogReader& Reader() noexcept { return reader_; }
    // The tables and views with their columns, for the metadata wizard and the key selection.
    TableColumnSource& Columns() noexcept { return *columns_; }
    BrowserState State() const;

    // The record of an item, or null (a placeholder); the item of a record.
    static CatalogNode* RecordOf(const QTreeWidgetItem* item);
    static QTreeWidgetItem* ItemOf(const CatalogNode& record);
    CatalogNode* SelectedRecord() const;
    // Selects the record's item and makes it current.
    void Select(const CatalogNode& record);
    // The table or view of that label or name with its columns read (when the catalog may be read
    // now); null when the browser has none.
    CatalogTable* TableWithColumns(std::string_view name);
    // Runs a command on the selected record when its rules allow it.
    void Run(BrowserCommand command);

    QAction* Action(BrowserCommand command) const;
    QMenu* ContextMenu() const noexcept { return menu_; }
    // Enables the context menu's entries for the selected record, as its showing does.
    void UpdateContextMenu();

public slots:
    // The connection, its database or the schema changed: the tree is read again.
    void Reload();
    // The schema box gets the database's schemas (connect, change of database).
    void RefreshSchemaList();
    // The commands, on the selected record.
    void Refresh();
    void CopyName();
    void CopySchemaName();
    void CopyColumns();
    void GenerateSelect();
    void OutputWizard();
    void ColumnsUpdated();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;

private:
    // CatalogTree
    TreeItem InsertItem(TreeItem parent, const std::string& text, int image, int selectedImage) override;
    void AttachRecord(TreeItem item, CatalogNode* record) override;
    bool HasChildren(TreeItem item) const override;
    TreeItem FirstChild(TreeItem item) const override;
    void DeleteItem(TreeItem item) override;
    void DeleteChildItems(TreeItem item) override;
    void AddPlaceholder(TreeItem item, int image) override;

    const QIcon& Icon(int image, int selectedImage);
    void AddAction(BrowserCommand command, const QString& text, const QString& shortcut);
    std::optional<BrowserCommand> ShortcutCommand(const QKeyEvent& event) const;
    void Expanded(QTreeWidgetItem* item);
    // Reads the table's columns when they are not read; false (reported) when that failed.
    bool ColumnsRead(CatalogTable& table);
    CatalogTable* SelectedTable() const;
    void SetRootText();
    void Report(std::exception_ptr failure);
    void SetClipboard(const std::string& text);

    CMainFrame& frame_;
    CatalogReader reader_;
    CatalogFolders folders_;
    std::unique_ptr<CatalogColumnSource> columns_;
    std::map<std::pair<int, int>, QIcon> icons_;
    std::vector<QPixmap> images_;
    std::map<BrowserCommand, QAction*> actions_;
    QMenu* menu_;
};

} // namespace marlix
