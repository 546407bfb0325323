#pragma once
// The check of a value typed into a grid cell against its column's SQL type, before it is
// recorded as an edit. The messages are the ones the grid shows in its message box.
#include "core/ColumnDescriptor.h"

#include <sql.h>

#include <string>
#include <string_view>

namespace marlix {

struct CheckedCell {
    bool accepted = false;
    std::string message;          // why not, when not accepted
    bool isTimestamp = false;     // date/time columns store the parsed value
    TIMESTAMP_STRUCT timestamp{}; // ... which is this
};

// `text` is UTF-8; a character column's size counts characters, not bytes.
CheckedCell CheckCellText(const ColumnDescriptor& column, std::string_view text);

// Integer syntax: an optional sign and digits, blanks around them allowed.
bool IsIntegerText(std::string_view text) noexcept;
// Number syntax: an optional sign, digits with at most one decimal point (at least one digit),
// an optional exponent; blanks around them allowed.
bool IsNumberText(std::string_view text) noexcept;

// A uuid's text: 32 hexadecimal digits, hyphens after groups of four, braces around allowed.
bool IsGuidText(std::string_view text) noexcept;

// True when the value holds a line break or another control character, which a one-line
// editor would change: such a cell is shown read-only, its whole value in a tooltip.
bool HasControlCharacters(std::string_view text) noexcept;

} // namespace marlix
