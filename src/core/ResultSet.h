#pragma once
// One fetched ODBC result in memory: column descriptors, every cell in paged storage, the
// per-column statistics that decide widths, and the conversion description of the statement
// that produced it.
#include "core/CellStorage.h"
#include "core/ColumnDescriptor.h"
#include "core/ConversionDescription.h"
#include "core/DateTimeText.h"
#include "core/EditedValues.h"

#include <sql.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class HistoryOutput;

inline constexpr const char* kDatasetRowLimit = "DatasetRowLimit";
inline constexpr const char* kDatasetSizeLimit = "DatasetSizeLimit (MB)";

class ResultSet {
public:
    // rowLimit: rows to store at most, 0 = no limit. sizeLimitMB: MiB of stored data at most,
    // 0 = no limit. statementPosition: offset of the producing statement in the script, -1 for
    // the second and later results of one statement.
    ResultSet(int columnCount, int rowLimit, int sizeLimitMB, ConversionDescription description = {},
              int statementPosition = -1);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // Describes every column, creates its descriptor and binds it. `position` is the
    // statement's offset, carried by any CODBCException.
    void DescribeAndBind(SQLHSTMT statement, int position);
    // The columns as described, with bind buffers of their own that no statement writes, and the
    // same conversion description: what a conversion on another thread reads the fetched rows
    // through while this result set's buffers receive the next ones.
    std::unique_ptr<ResultSet> UnboundCopy() const;
    // Fetches and stores rows until the end of the result or a limit, then reports the limit
    // warnings and any values that could not be fetched whole to the history.
    void FetchAll(SQLHSTMT statement, int position, HistoryOutput& history);
    // "<rows> row(s) selected \r\n", rows marked deleted not counted.
    std::string RowsSelectedText() const;

    // After SQLFetch: the complete text of a bound character column of the current row
    // (completed with SQLGetData where the bind buffer was too short). Not for date/time
    // columns or NULL values.
    std::string_view BoundText(SQLHSTMT statement, int column) {
        const ColumnDescriptor& c = *columns_[column];
        if (c.storedAs == ColumnDescriptor::StoredAs::RoundTripText)
            return exactValues ? CheckedRoundTripText(statement, column) : RoundTripText(c);
        if (c.indicator >= 0 && c.indicator < c.bufferSize)
            return {c.buffer.get(), static_cast<size_t>(c.indicator)};
        return CompleteBoundText(statement, column);
    }
    // The text of a floating-point value bound as a double (StoredAs::RoundTripText), written
    // behind the double in the column's bind buffer.
    static std::string_view RoundTripText(const ColumnDescriptor& column) noexcept;
    // Writes the fewest digits of a float that every server reads back as the same float, and
    // returns their count (0 when `room` is too small).
    static size_t ShortestFloatText(float value, char* text, size_t room) noexcept;
    // The date/time value of a bound date, time or timestamp column of the current row.
    static TIMESTAMP_STRUCT BoundTimestamp(const ColumnDescriptor& column) noexcept;
    // The driver's text of a date/time column bound as text (StoredAs::DateTimeText); empty
    // for NULL.
    static std::string_view BoundDateTimeText(const ColumnDescriptor& column) noexcept;
    // Reads a driver's date/time text of `kind` ("YYYY-MM-DD", "H:MM[:SS[.fraction]]" with any
    // hours, or both with a blank or T between) into `timestamp`; false for what the structure
    // cannot hold as such (zero dates, BC dates, negative times, infinities, time zones).
    static bool ParseDateTimeText(std::string_view text, DateTimeKind kind, TIMESTAMP_STRUCT& timestamp) noexcept;
    // A counter that FetchAll keeps up to date with the rows stored so far, for a progress
    // display on another thread.
    void SetProgressCounter(std::atomic<int64_t>* counter) noexcept { progress_ = counter; }
    void ReportProgress() noexcept { ReportProgress(rowCount_); }
    void ReportProgress(int64_t rows) noexcept {
        if (progress_) progress_->store(rows, std::memory_order_relaxed);
    }
    // A flag another thread raises to stop the fetch: FetchAll (and a row-by-row conversion)
    // looks at it before every row and stops there, keeping the rows fetched before.
    void SetCancelFlag(const std::atomic<bool>* flag) noexcept { cancel_ = flag; }
    bool CancelRequested() const noexcept { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    // Rethrows a failure met while reading or storing a value as a CCustomMemoryException that
    // names the value's column and row (from 1; no column for -1); other failures pass unchanged.
    [[noreturn]] void ThrowValueFailure(std::exception_ptr failure, int column, int64_t row) const;

    // One warning line per result for values that arrived cut; empty when none were.
    std::string CutValuesWarning() const;

    int ColumnCount() const noexcept { return columnCount_; }
    int64_t RowCount() const noexcept { return rowCount_; }
    int64_t FinalRowCount() const noexcept { return finalRowCount_; }
    // The row or size limit left rows of the result behind (not merely reached on its last row).
    bool CutByLimit() const noexcept { return cutByLimit_ != LimitCut::None; }
    // Which limit left rows behind, when one did: the size limit, else the row limit.
    bool CutBySize() const noexcept { return cutByLimit_ == LimitCut::Size; }
    ColumnDescriptor& Column(int index) { return *columns_[index]; }
    const ColumnDescriptor& Column(int index) const { return *columns_[index]; }
    CellRef Cell(int64_t row, int column) const noexcept {
        return cells_.Cell(static_cast<size_t>(row) * columnCount_ + column);
    }
    // The date/time value of a date, time or timestamp cell.
    TIMESTAMP_STRUCT Timestamp(int64_t row, int column) const noexcept;
    const CellStorage& Cells() const noexcept { return cells_; }
    CellStorage& Cells() noexcept { return cells_; }

    const std::string& ColumnList() const noexcept { return columnList_; }
    const std::vector<std::string>& ColumnNames() const noexcept { return columnNames_; }
    const std::vector<int>& KeyColumns() const noexcept { return keyColumns_; }
    const std::vector<int>& OtherColumns() const noexcept { return otherColumns_; }
    // The key fields chosen after the rows were fetched (key selection): the description's keys
    // and the key columns they name, each key compared without its qualifier and case.
    void ChooseKeys(std::vector<std::string> keys);
    int RowLimit() const noexcept { return rowLimit_; }
    int SizeLimitMB() const noexcept { return sizeLimitMB_; }
    int StatementPosition() const noexcept { return statementPosition_; }
    const ConversionDescription& Description() const noexcept { return description_; }
    ConversionDescription& Description() noexcept { return description_; }

    bool fetchThrough = false;
    // Values are fetched with every digit the driver can deliver, for exact literals: floating-
    // point columns as doubles (drivers' texts may carry fewer digits than read back as the same
    // number: MariaDB's 6 for FLOAT) and times as text (drivers drop their fraction of a second
    // when converting them to a timestamp structure). Set before DescribeAndBind; on for a
    // description with exact literals.
    bool exactValues = false;
    std::string loadFileName;
    size_t outputStart = 0;
    size_t outputEnd = 0;
    // Rows the grid marked deleted; edits maintain it.
    int64_t deletedRowCount = 0;
    // Recorded grid edits, when the grid made any; rows added in the grid count in RowCount.
    std::unique_ptr<EditedValues> edits;
    void AddEditedRows(int64_t delta) noexcept { rowCount_ += delta; }

private:
    void BindColumn(SQLHSTMT statement, int index, ColumnDescriptor& column, int position);
    void RecordCell(SQLHSTMT statement, int index, ColumnDescriptor& column);
    std::string_view CompleteBoundText(SQLHSTMT statement, int column);
    // RoundTripText, where an infinity is asked again as the driver's text: a driver that reads
    // the value through a text of fewer digits (SQLite's) turns the largest doubles into
    // infinities, which an exact script must not write. Throws CSyntaxException naming the
    // column and the text.
    std::string_view CheckedRoundTripText(SQLHSTMT statement, int column);

    int columnCount_;
    std::vector<std::unique_ptr<ColumnDescriptor>> columns_;
    std::string columnList_;
    std::vector<std::string> columnNames_;
    std::vector<int> keyColumns_;
    std::vector<int> otherColumns_;
    int64_t rowCount_ = 0;
    int64_t finalRowCount_ = 0;
    enum class LimitCut : uint8_t { None, Rows, Size };
    LimitCut cutByLimit_ = LimitCut::None;
    int rowLimit_;
    int sizeLimitMB_;
    int statementPosition_;
    ConversionDescription description_;
    CellStorage cells_;
    // Longer-than-buffer values completed with SQLGetData, per column of the current row.
    std::vector<std::string> overflow_;
    int completeBound_ = -1; // -1 not asked yet, 0 the driver cannot, 1 it can
    std::atomic<int64_t>* progress_ = nullptr;
    const std::atomic<bool>* cancel_ = nullptr;
};

} // namespace marlix
