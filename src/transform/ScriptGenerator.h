#pragma once
// Turns a result set into text for one statement type and target dialect: the plain text
// table (SELECT), one INSERT, UPDATE, DELETE or REPLACE statement per row, or the
// parameter-array and loader forms. The same header, row and footer routines serve stored
// result sets and results converted while they are fetched.
#include "core/ConversionDescription.h"
#include "core/TextSink.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class ResultSet;

class ScriptGenerator {
public:
    explicit ScriptGenerator(ResultSet& resultSet);

    // Recomputes the column widths, then writes the text table's title and underline, or the
    // parameter header of INSERT_ARRAY and LOAD for GENERIC when there are rows.
    // Throws CSyntaxException, before writing anything, for UPDATE, DELETE and REPLACE of a
    // result set without key fields: their WHERE would have nothing to compare.
    void WriteScriptHeader(StatementType type, Dialect dialect, TextSink& sink);
    // Writes the text of one row: a stored row, or, while fetching, the row just fetched.
    void WriteScriptRow(StatementType type, Dialect dialect, int64_t row, TextSink& sink);
    // Closes the text: the rows-selected line of the text table, "/" after a parameter array.
    void WriteScriptFooter(StatementType type, Dialect dialect, TextSink& sink);
    // ";" where the dialect ends such statements with one, then the line end.
    static void WriteStatementEnd(StatementType type, Dialect dialect, TextSink& sink);
    // The text WriteStatementEnd writes.
    static const char* StatementEnd(StatementType type, Dialect dialect) noexcept;

    // While fetching: the complete texts of the bound values of the row just fetched, one per
    // column (entries of NULL, date/time and long columns are not read). Must stay valid until
    // the row is written.
    void SetFetchedRow(std::span<const std::string_view> boundTexts) noexcept { fetchedRow_ = boundTexts; }

    int64_t RowsWritten() const noexcept { return rowsWritten_; }
    // The table name every statement names: the description's destination, else its source.
    const std::string& TableName() const noexcept;

private:
    void Prepare(StatementType type, Dialect dialect);
    bool HasRows() const noexcept;
    void AppendValue(int column, Dialect dialect, int64_t row);
    void AppendValueList(Dialect dialect, int64_t row);
    void AppendPairs(const std::vector<int>& columns, const char* separator, Dialect dialect, int64_t row);
    void AppendTextTableRow(Dialect dialect, int64_t row);

    ResultSet& resultSet_;
    std::span<const std::string_view> fetchedRow_;
    int64_t rowsWritten_ = 0;

    // Built once per statement type and dialect: the columns that statements list (long ones
    // left out), the non-key ones among them, and the text that opens an INSERT.
    int preparedType_ = -1;
    int preparedDialect_ = -1;
    std::vector<int> listedColumns_;
    std::vector<int> listedOtherColumns_;
    std::string insertOpening_; // "INSERT INTO T (a, b)\r\nVALUES("
    std::string row_;           // the text of the row being written
};

// The history's note on the long columns a statement type leaves out of a result set's
// statements ("Warning: ...\r\n"); empty when it leaves none out.
std::string LeftOutColumnsWarning(const ResultSet& resultSet, StatementType type);

// Converts a whole stored result set: header, every stored row, footer. The sink may grow
// while this runs.
void ConvertResultSet(ResultSet& resultSet, StatementType type, Dialect dialect, TextSink& sink);

} // namespace marlix
