#include "transform/ResultSetEdits.h"

#include "core/ResultSet.h"

#include <algorithm>

namespace marlix {
namespace {

// db.dbo.T matches dbo.T and T: equal, or one ends with '.' and the whole other.
bool DottedSuffixMatch(std::string_view a, std::string_view b) noexcept {
    if (a == b) return true;
    if (a.size() < b.size()) std::swap(a, b);
    return a.size() > b.size() && a.ends_with(b) && a[a.size() - b.size() - 1] == '.';
}

// A column name with any text up to and including its first '.' removed.
std::string_view AfterFirstDot(std::string_view name) noexcept {
    const size_t dot = name.find('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

} // namespace

const CellEdit* RowEdit::Find(int column) const noexcept {
    for (const CellEdit& cell : cells)
        if (cell.column == column) return &cell;
    return nullptr;
}

ResultSetEdits::ResultSetEdits(ResultSet& resultSet) : resultSet_(resultSet) {}

int64_t ResultSetEdits::FetchedRows() const noexcept {
    const int columns = resultSet_.ColumnCount();
    return columns > 0 ? static_cast<int64_t>(resultSet_.Cells().CellCount() / columns) : 0;
}

ResultSetEdits& ResultSetEdits::Of(ResultSet& resultSet) {
    if (auto* edits = Find(resultSet)) return *edits;
    auto created = std::make_unique<ResultSetEdits>(resultSet);
    ResultSetEdits& edits = *created;
    resultSet.edits = std::move(created);
    return edits;
}

ResultSetEdits* ResultSetEdits::Find(const ResultSet& resultSet) noexcept {
    return dynamic_cast<ResultSetEdits*>(resultSet.edits.get());
}

// ---- Origins ----------------------------------------------------------------------------

bool ResultSetEdits::LoadTable(EditTable& table, const TableLookup& lookup) {
    if (table.loaded) return true;
    if (table.attempted) return false;
    table.attempted = true;
    if (!lookup || !lookup(table.name, table.columns, table.keys)) return false;
    table.loaded = true;
    return true;
}

void ResultSetEdits::ResolveColumnOrigins(const AnalysedDescription& analysis, const TableLookup& lookup) {
    if (resolved_ || !analysis.analysed) return;
    std::vector<EditTable> tables;
    for (const AnalysedTable& t : analysis.tables)
        tables.push_back({t.name, t.alias, {}, {}, false, false, false});
    std::vector<AnalysedColumn> origins;
    auto expand = [&](size_t index) {
        for (const std::string& name : tables[index].columns) {
            AnalysedColumn origin;
            origin.tableName = tables[index].name;
            origin.name = origin.alias = name;
            origin.tableIndex = static_cast<int>(index);
            origin.isPlainColumn = true;
            origins.push_back(std::move(origin));
        }
    };
    for (const AnalysedColumn& item : analysis.columns) {
        if (item.allColumns) {
            for (size_t i = 0; i < tables.size(); ++i) {
                const bool wanted = item.tableName.empty()
                                        ? item.qualifier.empty() || tables[i].alias == item.qualifier
                                        : tables[i].name == item.tableName;
                if (!wanted) continue;
                // Without the columns of every starred table the origins cannot line up.
                if (!LoadTable(tables[i], lookup)) return;
                expand(i);
            }
        } else if (item.isPlainColumn) {
            AnalysedColumn origin = item;
            const size_t dot = item.name.find('.');
            if (dot != std::string::npos) {
                const std::string_view prefix = std::string_view(item.name).substr(0, dot);
                origin.tableIndex = static_cast<int>(tables.size());
                for (size_t i = 0; i < tables.size(); ++i) {
                    LoadTable(tables[i], lookup);
                    if (DottedSuffixMatch(tables[i].name, prefix) || tables[i].alias == prefix) {
                        origin.tableIndex = static_cast<int>(i);
                        origin.tableName = tables[i].name;
                        break;
                    }
                }
            } else {
                bool found = false;
                for (size_t i = 0; i < tables.size() && !found; ++i) {
                    if (!LoadTable(tables[i], lookup)) return;
                    const auto& names = tables[i].columns;
                    if (std::find(names.begin(), names.end(), item.name) != names.end()) {
                        origin.tableIndex = static_cast<int>(i);
                        origin.tableName = tables[i].name;
                        found = true;
                    }
                }
                if (!found) return;
            }
            origins.push_back(std::move(origin));
        } else {
            AnalysedColumn origin = item;
            origin.tableIndex = -1;
            origins.push_back(std::move(origin));
        }
    }
    // Keys belong to their table: in a join of two tables that both have "id", each table's key
    // is the column drawn from that table, never the other's.
    for (size_t t = 0; t < tables.size(); ++t) {
        size_t found = 0;
        for (const std::string& key : tables[t].keys) {
            for (AnalysedColumn& origin : origins) {
                if (origin.tableIndex == static_cast<int>(t) && AfterFirstDot(origin.name) == key) {
                    origin.isKey = true;
                    ++found;
                    break;
                }
            }
        }
        // A table without a key gives no WHERE clause that finds one row: it stays read-only.
        tables[t].allKeysPresent =
            tables[t].loaded && !tables[t].keys.empty() && found == tables[t].keys.size();
    }
    tables_ = std::move(tables);
    origins_ = std::move(origins);
    resolved_ = true;
}

int ResultSetEdits::TableOf(int column) const noexcept {
    if (!resolved_ || column < 0 || column >= static_cast<int>(origins_.size())) return -1;
    const int table = origins_[column].tableIndex;
    return table >= 0 && table < static_cast<int>(tables_.size()) ? table : -1;
}

int ResultSetEdits::KeyColumn(int table, const std::string& key) const {
    for (size_t c = 0; c < origins_.size(); ++c)
        if (origins_[c].isKey && origins_[c].tableIndex == table && AfterFirstDot(origins_[c].name) == key)
            return static_cast<int>(c);
    return -1;
}

std::string ResultSetEdits::OriginColumnName(int column) const {
    return std::string(AfterFirstDot(origins_[column].name));
}

bool ResultSetEdits::CanEditColumn(int column) const noexcept {
    const int table = TableOf(column);
    return table >= 0 && column < resultSet_.ColumnCount() && tables_[table].allKeysPresent;
}

bool ResultSetEdits::CanEditRows() const noexcept {
    if (!resolved_ || tables_.empty()) return false;
    return std::all_of(tables_.begin(), tables_.end(), [](const EditTable& t) { return t.allKeysPresent; });
}

std::string ResultSetEdits::ReadOnlyReason(int column) const {
    if (CanEditColumn(column)) return {};
    if (!resolved_) return "Read-only: the statement's tables and columns are not known from the catalog";
    const int table = TableOf(column);
    if (table < 0) return "Read-only: this column does not come from a table";
    const EditTable& t = tables_[table];
    if (!t.loaded) return "Read-only: table " + t.name + " was not found in the catalog";
    if (t.keys.empty()) return "Read-only: table " + t.name + " has no key";
    return "Read-only: not every key column of table " + t.name + " is selected";
}

// ---- Rows -------------------------------------------------------------------------------

int64_t ResultSetEdits::ShownRowCount() const noexcept {
    return resultSet_.RowCount() - static_cast<int64_t>(deletedRows_.size());
}

int64_t ResultSetEdits::DataRow(int64_t displayRow) const noexcept {
    // deletedRows_[i] - i rows are shown before the i-th deleted row, and that count never
    // falls, so the deleted rows at or before the wanted one are found by bisection.
    size_t lo = 0, hi = deletedRows_.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (deletedRows_[mid] - static_cast<int64_t>(mid) <= displayRow)
            lo = mid + 1;
        else
            hi = mid;
    }
    return displayRow + static_cast<int64_t>(lo);
}

int64_t ResultSetEdits::DisplayRow(int64_t dataRow) const noexcept {
    auto at = std::lower_bound(deletedRows_.begin(), deletedRows_.end(), dataRow);
    if (at != deletedRows_.end() && *at == dataRow) return -1;
    return dataRow - (at - deletedRows_.begin());
}

RowEdit& ResultSetEdits::RecordFor(int64_t dataRow, bool create) {
    auto [at, added] = records_.try_emplace(dataRow);
    if (added) {
        at->second.row = dataRow;
        at->second.sequence = nextSequence_++;
    }
    (void)create;
    return at->second;
}

const RowEdit* ResultSetEdits::Record(int64_t dataRow) const noexcept {
    auto at = records_.find(dataRow);
    return at == records_.end() ? nullptr : &at->second;
}

void ResultSetEdits::Store(int64_t displayRow, int column, const void* bytes, size_t n, bool isNull) {
    const int64_t row = DataRow(displayRow);
    const auto index = static_cast<int64_t>(resultSet_.Cells().AppendValue(bytes, n));
    RowEdit& record = RecordFor(row, true);
    CellEdit* entry = nullptr;
    for (CellEdit& cell : record.cells)
        if (cell.column == column) entry = &cell;
    if (!entry) {
        CellEdit cell;
        cell.column = column;
        if (row < FetchedRows() && !record.inserted) {
            cell.previous = row * resultSet_.ColumnCount() + column;
            cell.previousIsNull = resultSet_.Cells().IsNull(static_cast<size_t>(cell.previous));
        } else {
            cell.previousIsNull = true;
        }
        record.cells.push_back(cell);
        entry = &record.cells.back();
    } else if (!entry->pending) {
        // The value saved last becomes the one the WHERE clause looks for; while a change is
        // pending the first value before it stays, however often the cell is typed over.
        entry->previous = entry->current;
        entry->previousIsNull = entry->currentIsNull;
    }
    entry->current = index;
    entry->currentIsNull = isNull;
    entry->length = static_cast<uint32_t>(n);
    entry->pending = true;
    record.modified = true;
}

void ResultSetEdits::SetCellValue(int64_t displayRow, int column, std::string_view text, bool isNull) {
    std::string bytes(text);
    Store(displayRow, column, bytes.c_str(), bytes.size() + 1, isNull);
}

void ResultSetEdits::SetCellTimestamp(int64_t displayRow, int column, const TIMESTAMP_STRUCT& value) {
    Store(displayRow, column, &value, sizeof value, false);
}

void ResultSetEdits::SetSavedValue(int64_t dataRow, int column, const CellRef& value) {
    RowEdit& record = RecordFor(dataRow, true);
    CellEdit* entry = nullptr;
    for (CellEdit& cell : record.cells)
        if (cell.column == column) entry = &cell;
    if (entry && entry->pending) return; // typed again since: the typed value waits for its save
    if (!entry) {
        CellEdit cell;
        cell.column = column;
        record.cells.push_back(cell);
        entry = &record.cells.back();
    }
    const char empty = 0;
    entry->current = static_cast<int64_t>(value.isNull ? resultSet_.Cells().AppendValue(&empty, 1)
                                                       : resultSet_.Cells().AppendValue(value.data, value.length));
    entry->currentIsNull = value.isNull;
    entry->length = value.isNull ? 1 : value.length;
    entry->previous = -1;
}

int64_t ResultSetEdits::AppendNewRow() {
    const int64_t row = resultSet_.RowCount();
    resultSet_.AddEditedRows(1);
    RowEdit& record = RecordFor(row, true);
    record.inserted = true;
    record.modified = true;
    return DisplayRow(row);
}

bool ResultSetEdits::DeleteRow(int64_t displayRow) {
    if (displayRow < 0 || displayRow >= ShownRowCount()) return false;
    // The row stays in the grid, marked, until the deletion is saved or discarded.
    RowEdit& record = RecordFor(DataRow(displayRow), true);
    if (record.deleted) return false;
    record.deleted = true;
    ++resultSet_.deletedRowCount; // conversions and row counts leave the row out already
    return true;
}

int ResultSetEdits::RowEditState(int64_t displayRow) const noexcept {
    if (displayRow < 0 || displayRow >= ShownRowCount()) return 0;
    const RowEdit* record = Record(DataRow(displayRow));
    if (!record) return 0;
    return record->deleted ? 4 : record->inserted ? 2 : record->modified ? 1 : 0;
}

bool ResultSetEdits::HasUnsavedEdits() const noexcept {
    for (const auto& [row, record] : records_)
        if (record.Unsaved()) return true;
    return false;
}

void ResultSetEdits::DiscardEdits() {
    int64_t removedRows = 0;
    for (auto at = records_.begin(); at != records_.end();) {
        RowEdit& record = at->second;
        if (record.inserted) {
            ++removedRows;
            at = records_.erase(at);
            continue;
        }
        for (CellEdit& cell : record.cells) {
            if (!cell.pending) continue;
            cell.current = cell.previous;
            cell.currentIsNull = cell.previousIsNull;
            cell.previous = -1;
            cell.pending = false;
        }
        record.modified = record.deleted = false;
        ++at;
    }
    // Unsaved added rows are always the last rows: saving clears them in order of creation.
    resultSet_.AddEditedRows(-removedRows);
    resultSet_.deletedRowCount = static_cast<int64_t>(deletedRows_.size());
}

ResultSetEdits::PendingCounts ResultSetEdits::Pending() const noexcept {
    PendingCounts counts;
    for (const auto& [row, record] : records_) {
        if (record.deleted) {
            // A new row deleted again is no row to save.
            if (!record.inserted) ++counts.deleted;
        } else if (record.inserted) {
            ++counts.added;
        } else if (record.modified) {
            ++counts.changed;
        }
    }
    return counts;
}

std::vector<RowEdit*> ResultSetEdits::UnsavedRecords() {
    std::vector<RowEdit*> list;
    for (auto& [row, record] : records_)
        if (record.Unsaved()) list.push_back(&record);
    std::sort(list.begin(), list.end(),
              [](const RowEdit* a, const RowEdit* b) { return a->sequence < b->sequence; });
    return list;
}

std::vector<int> ResultSetEdits::TablesTouched(const RowEdit& record) const {
    std::vector<int> tables;
    if (record.deleted) {
        for (size_t t = 0; t < tables_.size(); ++t)
            tables.push_back(static_cast<int>(t));
        return tables;
    }
    for (const CellEdit& cell : record.cells) {
        const int table = cell.pending ? TableOf(cell.column) : -1;
        if (table >= 0 && std::find(tables.begin(), tables.end(), table) == tables.end())
            tables.push_back(table);
    }
    return tables;
}

void ResultSetEdits::MarkTableSaved(RowEdit& record, int table) {
    for (CellEdit& cell : record.cells)
        if (TableOf(cell.column) == table) {
            cell.pending = false;
            cell.previous = -1;
        }
}

void ResultSetEdits::MarkRecordSaved(RowEdit& record) {
    if (record.deleted) {
        // The row is gone from the database: it leaves the grid and no edit of it remains.
        const int64_t row = record.row;
        deletedRows_.insert(std::lower_bound(deletedRows_.begin(), deletedRows_.end(), row), row);
        records_.erase(row); // deletedRowCount stays: the deletion only left the grid

        return;
    }
    record.inserted = record.modified = false;
}

// ---- Values -----------------------------------------------------------------------------

CellRef ResultSetEdits::ValueAt(int64_t dataIndex, bool isNull) const noexcept {
    if (isNull || dataIndex < 0) return {"NULL", 5, true};
    return resultSet_.Cells().Value(static_cast<size_t>(dataIndex));
}

bool ResultSetEdits::EditedValue(int64_t row, int column, bool previous, CellRef& value) const {
    if (records_.empty()) return false;
    const RowEdit* record = Record(row);
    if (!record) return false;
    const CellEdit* cell = record->Find(column);
    if (!cell) {
        if (row < FetchedRows()) return false;
        value = ValueAt(-1, true); // a column of an added row that was never typed
        return true;
    }
    if (previous && cell->pending) {
        if (cell->previous >= 0 && cell->previous < static_cast<int64_t>(resultSet_.Cells().CellCount()) &&
            cell->previous == row * resultSet_.ColumnCount() + column)
            value = cell->previousIsNull ? ValueAt(-1, true) : resultSet_.Cell(row, column);
        else
            value = ValueAt(cell->previous, cell->previousIsNull);
        return true;
    }
    value = ValueAt(cell->current, cell->currentIsNull);
    return true;
}

} // namespace marlix
