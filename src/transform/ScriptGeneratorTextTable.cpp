#include "transform/ScriptGenerator.h"

#include "core/DateTimeText.h"
#include "core/DisplayWidth.h"
#include "core/ResultSet.h"

#include <algorithm>

namespace marlix {

using namespace std::string_view_literals;

namespace {

// While fetching, a column is as wide as its declared size says its values are, up to this
// many columns; a longer value is written whole and pushes the rest of its row to the right.
constexpr size_t kLongestDeclaredWidth = 64;

// The width the declared type gives the column's written values, quotes and signs included,
// the way maxLength counts them.
size_t DeclaredWidth(const ColumnDescriptor& column, Dialect dialect, const DialectSettingsSet& settings) {
    const size_t size = column.columnSize;
    if (ColumnDescriptor::IsCharacterType(column.sqlType)) return size + 3; // N'...'
    if (ColumnDescriptor::IsBinaryType(column.sqlType)) return 2 * size + 2;
    if (column.IsDateTime()) {
        // Every field of the dialect's form written: two-digit days and times, a fraction.
        const TIMESTAMP_STRUCT sample{2000, 12, 28, 23, 59, 59, 999000000};
        std::string text;
        FormatDateTime(sample, static_cast<int>(dialect), DateTimeKindOf(column.sqlType), text, true, settings);
        return DisplayWidth(text);
    }
    switch (column.sqlType) {
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return 24; // -1.2345678901234567e+308
    case SQL_REAL:
        return 15;
    case SQL_BIT:
        return 3;
    default:
        return size + 2; // a sign and a decimal point
    }
}

} // namespace

void ScriptGenerator::WidenToWrittenValues(Dialect dialect) {
    const bool fetching = resultSet_.fetchThrough;
    // Stored: every value is known, so no column is narrower than its widest written value.
    // Fetching: only the first row is (when there is one); the declared sizes stand for the rest.
    const int64_t rows = fetching ? (fetchedRow_.empty() ? 0 : 1) : resultSet_.RowCount();
    for (int c : listedColumns_) {
        ColumnDescriptor& column = resultSet_.Column(c);
        size_t width = static_cast<size_t>(std::max(column.width, 0));
        if (fetching)
            width = std::max(width, std::min(DeclaredWidth(column, dialect, context_->settings), kLongestDeclaredWidth) + 2);
        for (int64_t row = 0; row < rows; ++row) {
            rowInHand_ = row;
            row_.clear();
            AppendValue(c, dialect, row);
            width = std::max(width, DisplayWidth(row_));
        }
        column.width = static_cast<int32_t>(std::min<size_t>(width, INT32_MAX));
    }
    row_.clear();
    rowInHand_ = -1;
}

void ScriptGenerator::AppendTextTableRow(Dialect dialect, int64_t row) {
    for (int c : listedColumns_) {
        const size_t start = row_.size();
        AppendValue(c, dialect, row);
        // Padded with blanks to the column's width in the columns a terminal shows. A value
        // wider than its column (only while fetching, after the first row) is written whole:
        // a text table shows every character of its values.
        const auto width = static_cast<size_t>(std::max(resultSet_.Column(c).width, 0));
        const size_t written = DisplayWidth(std::string_view(row_).substr(start));
        if (written < width) row_.append(width - written, ' ');
        row_ += ' ';
    }
    row_ += "\r\n"sv;
}

} // namespace marlix
