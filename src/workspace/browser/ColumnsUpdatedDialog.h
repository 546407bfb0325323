#pragma once
// "Bitmask for COLUMNS_UPDATED (MSSQL)": the tables of the Tables folder, the first 32 columns of
// the chosen one, and the mask that SQL Server's COLUMNS_UPDATED() gives when the selected
// columns are updated.
#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace marlix {

struct CatalogTable;
struct CatalogTableFolder;

class ColumnsUpdatedDialog final : public QDialog {
    Q_OBJECT
public:
    // `readColumns` reads a table's columns when they are not read yet (false when that failed).
    ColumnsUpdatedDialog(CatalogTableFolder& tables, const CatalogTable& table,
                         std::function<bool(CatalogTable&)> readColumns, QWidget* parent = nullptr);

    QComboBox* TableBox() const noexcept { return table_; }
    QListWidget* ColumnList() const noexcept { return columns_; }
    QString MaskText() const;

private:
    void ChooseTable(int entry);
    void ShowMask();

    CatalogTableFolder& tables_;
    std::function<bool(CatalogTable&)> readColumns_;
    QComboBox* table_;
    QListWidget* columns_;
    QLineEdit* mask_;
};

} // namespace marlix
