#pragma once
// The grid model of a result set whose cells can be edited: a deleted row stays in place, struck
// through, until the deletion is saved or discarded; an empty row at the end takes new rows (a
// grid that cannot add rows has none), typed values are checked against the column's type and
// recorded by the result set's edit tracking. The widgets only show what this model says.
#include "results/grid/ResultSetModel.h"
#include "transform/ResultSetEdits.h"

namespace marlix {

class EditableResultSetModel : public ResultSetModel {
    Q_OBJECT
public:
    // True (a bool) when the cell's editor must only show its value: the column cannot be
    // written back, or the value holds characters a one-line editor would change.
    static constexpr int ReadOnlyRole = Qt::UserRole + 1;
    // The row's state: 0 as fetched, 1 changed, 2 new, 3 the empty row at the end, 4 deleted.
    static constexpr int RowStateRole = Qt::UserRole + 2;
    // True when the cell's value holds line breaks: it is edited in a multi-line editor.
    static constexpr int MultiLineRole = Qt::UserRole + 3;
    enum RowState { Fetched = 0, Changed = 1, Added = 2, EmptyRowState = 3, Deleted = 4 };

    // Resolves the column origins through `lookup` (the catalog) when the result set carries
    // the analysis of its statement.
    EditableResultSetModel(std::shared_ptr<ResultSet> resultSet, const TableLookup& lookup,
                           QObject* parent = nullptr);

    ResultSetEdits& Edits() const noexcept { return *edits_; }
    // The row of the empty row at the end; -1 when the grid cannot add rows.
    int EmptyRow() const noexcept;
    int RowState(int row) const noexcept;
    bool RowBeingAdded(int row) const override;
    // Marks the rows deleted (DeleteRow on each); the count of rows marked.
    int DeleteRows(const std::vector<int>& rows);

    // Marks a shown row deleted, where it stays until the deletion is saved; nothing for the
    // empty row or a row already deleted. True when the row was marked.
    bool DeleteRow(int row);
    bool CanDeleteRow(int row) const noexcept;
    // Rereads rows and values after a save or a discard.
    void Refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A typed value was refused; the grid shows `message` in a message box.
    void editRejected(const QString& message);

protected:
    bool CanEditCell(int row, int column) const override;
    bool CommitCellText(int row, int column, const QString& text) override;

private:
    bool IsModelCell(const QModelIndex& index) const noexcept;
    int64_t DataRow(int row) const noexcept { return edits_->DataRow(row); }
    QString ShownText(int row, int column) const;
    QString StoredText(int row, int column) const;
    bool HasEmptyRow() const noexcept { return edits_->CanEditRows(); }

    ResultSetEdits* edits_;
    int shown_ = 0;   // rows shown, without the empty row
    int growing_ = 0; // 1 while a new empty row is inserted below the one becoming a record
};

} // namespace marlix
