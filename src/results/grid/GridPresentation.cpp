#include "results/grid/GridPresentation.h"

#include "core/ResultSet.h"

#include <algorithm>

namespace marlix {

int GridColumnCharacters(const ColumnDescriptor& column) noexcept {
    // maxLength already counts the name (it starts at the name's length + 2) and, for
    // character values, two characters the display form leaves out: they serve as margin.
    const int64_t characters =
        int64_t{column.maxLength} + std::max(column.maxQuotes, 0) + std::max(column.maxControls, 0);
    return static_cast<int>(std::clamp<int64_t>(characters, 1, kGridColumnMaxCharacters));
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
    std::string text =
        "Result " + std::to_string(number) + ": " + GroupedNumber(rows) + (rows == 1 ? " row" : " rows");
    const std::string& table = resultSet.Description().sourceTable;
    if (!table.empty()) text += " from " + table;
    if (earlierRun) text += " (earlier run)";
    return text;
}

} // namespace marlix
