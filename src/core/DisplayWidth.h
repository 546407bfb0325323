#pragma once
// How wide UTF-8 text is where a terminal shows it: the widths of text tables are counted in
// these columns, so that a table of non-ASCII text lines up as ASCII does. A wide East Asian
// character takes two columns, a combining mark none; a byte that does not start a valid UTF-8
// sequence takes one, so text in another encoding still gets a width.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace marlix {

// Columns of one code point: 0, 1 or 2.
int CodePointWidth(char32_t codePoint) noexcept;

// Columns of the whole text; equals its byte count for ASCII.
std::size_t DisplayWidth(std::string_view utf8) noexcept;

struct FittedText {
    std::size_t bytes = 0; // the longest prefix of whole characters that fits
    std::size_t width = 0; // its columns, at most the width asked for
};

// The prefix of `utf8` that fits in `width` columns without cutting a character.
FittedText FitToWidth(std::string_view utf8, std::size_t width) noexcept;

} // namespace marlix
