#pragma once
// How a result set is laid out in a grid: column widths from the column statistics gathered
// while fetching, which columns read right-aligned, the row-header width and the caption.
// Widget-free, so the rules can be checked as tables.
#include "core/ColumnDescriptor.h"

#include <cstdint>
#include <string>

namespace marlix {

class ResultSet;

// Display widths are capped so one long value cannot make a column wider than the screen;
// the cell elides the rest and the whole value is still copied.
inline constexpr int kGridColumnMaxCharacters = 64;

// Characters the widest display text of the column needs, the heading included: the largest
// stored length, plus one for every apostrophe and line break that the display form doubles
// or escapes, capped at kGridColumnMaxCharacters.
int GridColumnCharacters(const ColumnDescriptor& column) noexcept;

// Numbers and bits read right-aligned; everything else left-aligned.
bool IsRightAlignedType(int sqlType) noexcept;

// Width in pixels of the row-header column for `shownRows` rows, at 7 pixels a character.
int RowHeaderWidth(int64_t shownRows) noexcept;

// "1,234,567" for 1234567.
std::string GroupedNumber(int64_t value);

// The caption above a grid: "Result 2: 1,000 rows from customers", "(earlier run)" appended
// for a result of an earlier run.
std::string GridCaptionText(int number, const ResultSet& resultSet, bool earlierRun);

} // namespace marlix
