#pragma once
// How a result set is laid out in a grid: column widths from the column statistics gathered
// while fetching, which columns read right-aligned, the row-header width and the caption.
// Widget-free, so the rules can be checked as tables.
#include "core/ColumnDescriptor.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace marlix {

class ResultSet;

// A binary column's hexadecimal digits are no use to read past this many characters.
inline constexpr int kGridBinaryMaxCharacters = 64;

// Characters the widest display text of the column needs, the heading included: the largest
// stored length plus a margin, capped at kGridBinaryMaxCharacters for binary columns.
int GridColumnCharacters(const ColumnDescriptor& column) noexcept;

// The widest a column starts, in pixels, in a grid whose page is `pageWidth` wide: a third of
// the page, and never less than a binary column's cap, so one long text cannot push the other
// columns out of sight. The cell elides the rest and its tooltip shows the whole value.
int GridColumnMaxWidth(int characterWidth, int pageWidth) noexcept;

// A new grid is this high, and fitted to its rows and heading instead when it shows fewer
// than kGridFitRowsBelow rows (the empty row for new rows counted); dragging the gap below a
// grid changes its height, down to kGridLeastHeight.
inline constexpr int kGridFirstHeight = 160;
inline constexpr int kGridFitRowsBelow = 15;
inline constexpr int kGridLeastHeight = 30;
int GridFirstHeight(int64_t shownRows, int fittedHeight) noexcept;

// Numbers and bits read right-aligned; everything else left-aligned.
bool IsRightAlignedType(int sqlType) noexcept;

// Width in pixels of the row-header column for `shownRows` rows, at 7 pixels a character.
int RowHeaderWidth(int64_t shownRows) noexcept;

// "1,234,567" for 1234567.
std::string GroupedNumber(int64_t value);

// The caption above a grid: "Result 2: 1,000 rows from customers", "(earlier run)" appended
// for a result of an earlier run; a result a limit cut reads "Result 1: first 45,542 rows of
// customers (size limit 1 MB)".
std::string GridCaptionText(int number, const ResultSet& resultSet, bool earlierRun);

// What a grid's edits would still change, for its caption: " (not saved: 1 changed, 2 new,
// 1 deleted)", naming only the kinds there are; empty when nothing waits for Save edits.
std::string PendingEditsText(const ResultSet& resultSet);

// The status bar's word after a run whose results (numbered from 1) a limit cut: the caption of
// the first cut one, and how many more were cut; empty when none was.
std::string CutResultsText(std::span<const std::shared_ptr<ResultSet>> runResults);

// A stored value as a one-line cell shows it: line breaks and other control characters become
// visible marks (the editor and the tooltip show the value itself).
std::string VisibleCellText(std::string_view stored);

} // namespace marlix
