#pragma once
// A table model over one stored result set. It keeps no texts of its own: each cell is read
// where the result set stores it and formatted by the engine's display form when the view
// asks, so a million rows cost nothing beyond the result set itself.
#include "core/DateTimeText.h"
#include "core/ResultSet.h"

#include <QAbstractTableModel>

#include <memory>

namespace marlix {

class ResultSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultSetModel(std::shared_ptr<ResultSet> resultSet, QObject* parent = nullptr);

    ResultSet& Result() const noexcept { return *resultSet_; }
    const std::shared_ptr<ResultSet>& SharedResult() const noexcept { return resultSet_; }

    // Whether the result set belongs to a run before the latest one.
    bool IsEarlierRun() const noexcept { return earlierRun_; }
    void SetEarlierRun(bool earlier) noexcept { earlierRun_ = earlier; }

    // The formatting mode of dates and times (a dialect code, kOdbcEscapeMode or kLocaleMode).
    int DateMode() const noexcept { return dateMode_; }
    void SetDateMode(int mode);
    // The dialect settings the date modes read: the host's records, which must outlive the
    // model and are read whenever a cell is shown (the factory records until this is called).
    const DialectSettingsSet& DateSettings() const noexcept { return *dateSettings_; }
    void SetDateSettings(const DialectSettingsSet& settings);

    // The text a cell shows: the stored value with control characters marked, "NULL" for NULL.
    QString CellText(int row, int column) const;
    // Rereads the row count and every cell, after the result set's rows changed.
    void Reload();
    // Whether `row` is a record being typed in (a new row, or the empty row that takes them):
    // Tab and Shift+Tab go round its cells instead of on to the next row.
    virtual bool RowBeingAdded(int) const { return false; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

protected:
    // Whether the cell takes an edited value. The result set has no edit tracking yet, so no
    // cell does; an editable model answers from the column's type and origin.
    virtual bool CanEditCell(int row, int column) const;
    // Checks and stores the text typed into a cell; false rejects it and the cell keeps its
    // value. Only called for cells CanEditCell allows.
    virtual bool CommitCellText(int row, int column, const QString& text);

private:
    bool IsCell(const QModelIndex& index) const noexcept;
    // The engine's display text of the cell (empty for NULL), converted once for the view.
    QString DisplayText(int row, int column) const;
    // That text with control characters as visible marks, for one line of a cell.
    QString ShownCellText(int row, int column) const;

    std::shared_ptr<ResultSet> resultSet_;
    int rows_ = 0;
    int dateMode_ = kLocaleMode;
    const DialectSettingsSet* dateSettings_ = &DefaultDialectSettingsSet();
    bool earlierRun_ = false;
};

} // namespace marlix
