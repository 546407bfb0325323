#pragma once
// The edits a grid records on one result set: changed cells, rows added and rows deleted, kept
// beside the fetched cells so that the fetched values stay as the server sent them. Display rows
// (what the grid numbers) skip rows whose deletion was saved; a deletion not saved yet keeps its row
// in place, marked; every mapping and value lookup is O(log n) in the
// number of edits, so a grid of a million rows with thousands of edits still scrolls.
#include "core/EditedValues.h"
#include "grammar/SelectAnalysis.h"

#include <sql.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace marlix {

class ResultSet;

struct CellEdit {
    int32_t column = 0;
    int64_t current = -1;  // data index of the value shown now; -1 = no value
    int64_t previous = -1; // data index of the value before the unsaved edits; -1 = none
    uint32_t length = 0;
    bool pending = false;
    bool currentIsNull = false;
    bool previousIsNull = false;
};

struct RowEdit {
    int64_t row = 0;       // data row
    uint64_t sequence = 0; // order of creation: the order statements are written in
    bool inserted = false;
    bool modified = false;
    bool deleted = false;
    std::vector<CellEdit> cells;

    const CellEdit* Find(int column) const noexcept;
    bool Unsaved() const noexcept { return inserted || modified || deleted; }
};

// A table the statement reads, with what the catalog says of it.
struct EditTable {
    std::string name;
    std::string alias;
    std::vector<std::string> columns; // catalog order
    std::vector<std::string> keys;
    bool loaded = false;
    bool attempted = false;
    bool allKeysPresent = false; // every key column is selected, and there is at least one
};

// Finds a table (or view) of the catalog by name: its columns in catalog order and its key
// columns. False when the catalog has no such table.
using TableLookup = std::function<bool(const std::string& name, std::vector<std::string>& columns,
                                       std::vector<std::string>& keys)>;

class ResultSetEdits final : public EditedValues {
public:
    explicit ResultSetEdits(ResultSet& resultSet);

    // The edits of a result set, created on first use and owned by it.
    static ResultSetEdits& Of(ResultSet& resultSet);
    static ResultSetEdits* Find(const ResultSet& resultSet) noexcept;

    ResultSet& Result() const noexcept { return resultSet_; }

    // The SELECT analysis of the statement that produced the result (kept for the grid).
    void SetAnalysis(AnalysedDescription analysis) { analysis_ = std::move(analysis); }
    const AnalysedDescription& Analysis() const noexcept { return analysis_; }
    // Column origins and tables from the statement's analysis and the catalog, once. Columns
    // whose table is unknown or has no key stay read-only.
    void ResolveColumnOrigins(const TableLookup& lookup) { ResolveColumnOrigins(analysis_, lookup); }
    void ResolveColumnOrigins(const AnalysedDescription& analysis, const TableLookup& lookup);
    bool Resolved() const noexcept { return resolved_; }
    const std::vector<EditTable>& Tables() const noexcept { return tables_; }
    const std::vector<AnalysedColumn>& Origins() const noexcept { return origins_; }
    // The result column holding key `key` of table `table`, or -1.
    int KeyColumn(int table, const std::string& key) const;
    // The name a statement gives the column (its name in its table).
    std::string OriginColumnName(int column) const;

    bool CanEditColumn(int column) const noexcept;
    bool CanEditRows() const noexcept;
    // Why a column cannot be edited, for the grid's tooltip; empty when it can.
    std::string ReadOnlyReason(int column) const;

    // Rows the grid shows (rows whose deletion was saved left out), without its empty row.
    int64_t ShownRowCount() const noexcept;
    int64_t DataRow(int64_t displayRow) const noexcept;
    // -1 for a row whose deletion was saved.
    int64_t DisplayRow(int64_t dataRow) const noexcept;

    // Records a typed value: text bytes (without NUL), or NULL.
    void SetCellValue(int64_t displayRow, int column, std::string_view text, bool isNull = false);
    // Records a date, time or timestamp value.
    void SetCellTimestamp(int64_t displayRow, int column, const TIMESTAMP_STRUCT& value);
    // Records the value the table holds for a saved cell of data row `dataRow` (read back after
    // a save): shown from now on, with no edit pending.
    void SetSavedValue(int64_t dataRow, int column, const CellRef& value);
    // Adds a row at the end; returns its display row.
    int64_t AppendNewRow();
    // Marks a shown row deleted (it stays shown until the deletion is saved); false for a row
    // beyond the shown ones or one already deleted.
    bool DeleteRow(int64_t displayRow);
    // 4 deleted (not saved yet), 2 added, 1 changed, 0 otherwise.
    int RowEditState(int64_t displayRow) const noexcept;
    bool HasUnsavedEdits() const noexcept;
    // Records not saved yet: rows changed (not new), new rows, rows deleted.
    struct PendingCounts {
        int64_t changed = 0, added = 0, deleted = 0;
    };
    PendingCounts Pending() const noexcept;
    void DiscardEdits();

    // The unsaved records in order of creation.
    std::vector<RowEdit*> UnsavedRecords();
    // The tables a record's statements write: all of them for a deletion, else the distinct
    // tables of its pending cells in their order.
    std::vector<int> TablesTouched(const RowEdit& record) const;
    // After the statement of `table` for `record` ran: its cells of that table stop being pending.
    void MarkTableSaved(RowEdit& record, int table);
    // After every statement of `record` ran: its flags are cleared; a saved deletion leaves the
    // grid for good.
    void MarkRecordSaved(RowEdit& record);
    const RowEdit* Record(int64_t dataRow) const noexcept;

    bool EditedValue(int64_t row, int column, bool previous, CellRef& value) const override;
    int64_t DataRowOf(int64_t shownRow) const noexcept override { return DataRow(shownRow); }
    // Deleted in the grid, saved or not: conversions and row counts leave the row out.
    bool RowDeleted(int64_t dataRow) const noexcept override {
        const RowEdit* record = Record(dataRow);
        return (record && record->deleted) || DisplayRow(dataRow) < 0;
    }

private:
    RowEdit& RecordFor(int64_t dataRow, bool create);
    void Store(int64_t displayRow, int column, const void* bytes, size_t n, bool isNull);
    CellRef ValueAt(int64_t dataIndex, bool isNull) const noexcept;
    bool LoadTable(EditTable& table, const TableLookup& lookup);
    int TableOf(int column) const noexcept;

    // Rows that came from the server; rows after them were added in the grid.
    int64_t FetchedRows() const noexcept;

    ResultSet& resultSet_;
    AnalysedDescription analysis_;
    std::unordered_map<int64_t, RowEdit> records_;
    uint64_t nextSequence_ = 0;
    std::vector<int64_t> deletedRows_; // ascending data rows whose deletion was saved: hidden
    std::vector<EditTable> tables_;
    std::vector<AnalysedColumn> origins_;
    bool resolved_ = false;
};

} // namespace marlix
