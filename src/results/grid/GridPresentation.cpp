#include "results/grid/GridPresentation.h"

#include "core/ResultSet.h"
#include "transform/ResultSetEdits.h"

#include <algorithm>

namespace marlix {

int GridColumnCharacters(const ColumnDescriptor& column) noexcept {
    // maxLength already counts the name (it starts at the name's length + 2) and, for
    // character values, two characters the display form leaves out: they serve as margin.
    const int64_t characters =
        int64_t{column.maxLength} + std::max(column.maxQuotes, 0) + std::max(column.maxControls, 0);
    const bool binary = ColumnDescriptor::IsBinaryType(column.sqlType) && column.sqlType != SQL_GUID;
    return static_cast<int>(std::clamp<int64_t>(characters, 1, binary ? kGridBinaryMaxCharacters : 1 << 20));
}

int GridColumnMaxWidth(int characterWidth, int pageWidth) noexcept {
    return std::max(kGridBinaryMaxCharacters * characterWidth, pageWidth / 3);
}

int GridFirstHeight(int64_t shownRows, int fittedHeight) noexcept {
    return shownRows < kGridFitRowsBelow ? fittedHeight : kGridFirstHeight;
}

bool IsRightAlignedType(int sqlType) noexcept {
    return IsNumericSqlType(sqlType);
}

int RowHeaderWidth(int64_t shownRows) noexcept {
    struct Step {
        int64_t upTo;
        int width;
    };
    static constexpr Step kSteps[] = {{50, 30},    {900, 40},    {9900, 50},
                                      {99900, 60}, {999900, 70}, {9999900, 80}};
    for (const Step& step : kSteps)
        if (shownRows <= step.upTo) return step.width;
    return 90;
}

std::string GroupedNumber(int64_t value) {
    const uint64_t magnitude = value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : uint64_t(value);
    const std::string digits = std::to_string(magnitude);
    std::string out;
    if (value < 0) out += '-';
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string GridCaptionText(int number, const ResultSet& resultSet, bool earlierRun) {
    const int64_t rows = resultSet.RowCount() - resultSet.deletedRowCount;
    const bool cut = resultSet.CutByLimit();
    // A result a limit cut says so where the user looks, not only in the history.
    std::string text = "Result " + std::to_string(number) + ": " + (cut ? "first " : "") + GroupedNumber(rows) +
                       (rows == 1 ? " row" : " rows");
    const std::string& table = resultSet.Description().sourceTable;
    if (!table.empty()) text += (cut ? " of " : " from ") + table;
    if (cut)
        text += resultSet.CutBySize() ? " (size limit " + GroupedNumber(resultSet.SizeLimitMB()) + " MB)"
                                      : " (row limit " + GroupedNumber(resultSet.RowLimit()) + ")";
    if (earlierRun) text += " (earlier run)";
    return text;
}

std::string PendingEditsText(const ResultSet& resultSet) {
    const ResultSetEdits* edits = ResultSetEdits::Find(resultSet);
    if (!edits) return {};
    const ResultSetEdits::PendingCounts counts = edits->Pending();
    std::string text;
    for (const auto& [count, word] : {std::pair{counts.changed, " changed"}, std::pair{counts.added, " new"},
                                      std::pair{counts.deleted, " deleted"}}) {
        if (count == 0) continue;
        text += (text.empty() ? " (not saved: " : ", ") + GroupedNumber(count) + word;
    }
    return text.empty() ? text : text + ")";
}

std::string CutResultsText(std::span<const std::shared_ptr<ResultSet>> runResults) {
    std::string text;
    int more = 0;
    for (size_t i = 0; i < runResults.size(); ++i) {
        if (!runResults[i] || !runResults[i]->CutByLimit()) continue;
        if (text.empty())
            text = GridCaptionText(static_cast<int>(i + 1), *runResults[i], false);
        else
            ++more;
    }
    if (more > 0) text += "; " + std::to_string(more) + (more == 1 ? " more result was" : " more results were") + " cut";
    return text;
}

std::string VisibleCellText(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        const auto c = static_cast<unsigned char>(stored[i]);
        if (c >= 32 && c != 127) {
            out += static_cast<char>(c);
            continue;
        }
        // A line break (LF or CR LF) is one return arrow; other control characters are their
        // pictures from the Control Pictures block (U+2400 + the code, U+2421 for DEL).
        unsigned picture = c == 127 ? 0x2421 : 0x2400 + c;
        if (c == '\n' || (c == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n')) {
            picture = 0x21B5;
            if (c == '\r') ++i;
        }
        out += static_cast<char>(0xE0 | (picture >> 12));
        out += static_cast<char>(0x80 | ((picture >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (picture & 0x3F));
    }
    return out;
}

} // namespace marlix
