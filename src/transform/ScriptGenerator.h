#pragma once
// Turns a result set into text for one statement type and conversion context (target dialect
// and its settings): the plain text
// table (SELECT), INSERT, UPDATE, DELETE, REPLACE or UPSERT statements (INSERT optionally
// grouping several rows per statement, any of them optionally committed every N statements),
// or the parameter-array and loader forms. The same header, row and footer routines serve
// stored result sets and results converted while they are fetched.
#include "core/ConversionDescription.h"
#include "core/TextSink.h"
// The per-target statement forms, which callers of the generator consult too.
#include "transform/TargetStatements.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class ResultSet;
struct ColumnDescriptor;

// A text table shows this many characters of a long column's value, then a mark where it is cut.
inline constexpr size_t kTextTableValueCharacters = 1000;

class ScriptGenerator {
public:
    explicit ScriptGenerator(ResultSet& resultSet);

    // Recomputes the column widths, then writes the text table's title and underline, or the
    // parameter header of INSERT_ARRAY and LOAD for GENERIC when there are rows.
    // Throws CSyntaxException, before writing anything, for UPDATE, DELETE, REPLACE and UPSERT
    // of a result set without key fields (their WHERE would have nothing to compare), and for
    // UPSERT in a dialect that has no such statement (ACCESS, GENERIC).
    void WriteScriptHeader(StatementType type, const ConversionContext& context, TextSink& sink);
    // Writes the text of one row: a stored row, or, while fetching, the row just fetched. With
    // several rows per INSERT the row joins the open statement; with CommitEvery the begin and
    // commit statements come with the rows that open and close a transaction.
    void WriteScriptRow(StatementType type, const ConversionContext& context, int64_t row, TextSink& sink);
    // Closes the text: the open multi-row INSERT and the last commit, the rows-selected line of
    // the text table, "/" after a parameter array.
    void WriteScriptFooter(StatementType type, const ConversionContext& context, TextSink& sink);
    // ";" where the dialect ends such statements with one (POSTGRESQL and SQLITE every
    // statement, every dialect an UPSERT), then the line end.
    static void WriteStatementEnd(StatementType type, Dialect dialect, TextSink& sink);
    // The text WriteStatementEnd writes.
    static const char* StatementEnd(StatementType type, Dialect dialect) noexcept;

    // While fetching: the complete texts of the bound values of the row just fetched, one per
    // column (entries of NULL and date/time columns are not read, nor those of long columns the
    // statements leave out: see WritesLongColumns). Must stay valid until the row is written.
    void SetFetchedRow(std::span<const std::string_view> boundTexts) noexcept { fetchedRow_ = boundTexts; }

    int64_t RowsWritten() const noexcept { return rowsWritten_; }
    // Where a failure to hold the text (memory exhausted) is reported: the row (from 0) being
    // written, -1 before any, and the column of its largest value, which the failure is all but
    // certainly due to (not tracked value by value, which would cost every value written).
    int64_t RowInHand() const noexcept { return rowInHand_; }
    int ColumnInHand() const noexcept;
    // The table name every statement names: the description's destination, else its source.
    const std::string& TableName() const noexcept;

private:
    void Prepare(StatementType type, Dialect dialect);
    bool HasRows() const noexcept;
    void AppendValue(int column, Dialect dialect, int64_t row);
    void AppendValueOf(ColumnDescriptor& descriptor, int column, Dialect dialect, int mode, int64_t row);
    // A text table's long value from `start` of the row text: cut to kTextTableValueCharacters
    // characters and an ellipsis, or the (BLOB) mark for a binary one while BLOB values are suppressed.
    void ShortenLongValue(const ColumnDescriptor& column, size_t start);
    void AppendValueList(Dialect dialect, int64_t row);
    void AppendPairs(const std::vector<int>& columns, const char* separator, Dialect dialect, int64_t row);
    void AppendTextTableRow(Dialect dialect, int64_t row);
    // Widens the text table's columns to the text their values are written as.
    void WidenToWrittenValues(Dialect dialect);
    void AppendNames(const std::vector<int>& columns, std::string_view prefix, Dialect dialect);
    void AppendUpsert(Dialect dialect, int64_t row);
    void AppendGroupedInsert(Dialect dialect, int64_t row);
    // Statement boundaries, for the transactions of CommitEvery.
    void BeginStatement(Dialect dialect);
    void EndStatement(Dialect dialect);
    void CloseInsertGroup(Dialect dialect);

    ResultSet& resultSet_;
    // The context of the Write call in progress; each call names its own, which must outlive it.
    const ConversionContext* context_ = nullptr;
    std::span<const std::string_view> fetchedRow_;
    int64_t rowsWritten_ = 0;
    int64_t rowInHand_ = -1;

    // Built once per statement type and dialect: the columns that statements list (long ones
    // left out unless written; for UPSERT every key too), the non-key ones among them, and the
    // text that opens an INSERT.
    int preparedType_ = -1;
    int preparedDialect_ = -1;
    bool exact_ = false;
    bool textTable_ = false; // the text table is being written
    std::string table_; // TableName() as statements write it (QuotedTableName)
    std::vector<int> listedColumns_;
    std::vector<int> listedOtherColumns_;
    std::string insertOpening_; // "INSERT INTO T (a, b)\r\nVALUES("
    std::string allInto_;       // ORACLE's multi-row form: "  INTO T (a, b) VALUES ("
    std::string row_;           // the text of the row being written

    int64_t rowsPerStatement_ = 1;      // rows one INSERT holds (1: a statement per row)
    int64_t commitEvery_ = 0;           // statements per transaction, 0 for no commits
    int64_t rowsInGroup_ = 0;           // rows of the open multi-row INSERT
    int64_t statementsSinceCommit_ = 0; // statements written since the last commit
};

// Why the result set cannot be converted to the type for the dialect at all (an UPSERT for a
// target without one, a type that names rows by key fields for a result without them); empty
// when it can.
std::string ConversionRefusal(const ResultSet& resultSet, StatementType type, Dialect dialect);

// Converts a whole stored result set: header, every stored row, footer. The sink may grow
// while this runs.
void ConvertResultSet(ResultSet& resultSet, StatementType type, const ConversionContext& context,
                      TextSink& sink);

} // namespace marlix
