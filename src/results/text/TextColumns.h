#pragma once
// Character cells of a UTF-8 line in a fixed-pitch view: one cell per UTF-16 code unit of the
// decoded text, so for valid UTF-8 a column is also an index into the QString of the line.
// Text that is not valid UTF-8 is only drawn oddly: every lead byte still takes a cell and a stray
// continuation byte is stepped over with the character before it.
#include <cstddef>
#include <string_view>

namespace marlix {

// Cells taken by the bytes (a whole number of characters).
size_t ColumnsOf(std::string_view bytes) noexcept;
// The byte where the character at `column` begins; a column inside a character gives that
// character's start, a column past the end gives the line's length.
size_t ByteOfColumn(std::string_view line, size_t column) noexcept;
// The start of the character after, or before, the one at `byte` (clamped to the line).
size_t NextCharacter(std::string_view line, size_t byte) noexcept;
size_t PreviousCharacter(std::string_view line, size_t byte) noexcept;

} // namespace marlix
