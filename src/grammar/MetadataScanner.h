#pragma once
// The scanner for the inside of a METADATA block: cuts the block's mark-up into tag, word,
// value and marker tokens (classes 5 to 13) for the block reader.
#include "grammar/Tokenizer.h"

#include <cstddef>
#include <string_view>

namespace marlix {

inline constexpr std::string_view kMetadataStartMarker = "/*METADATA>";
inline constexpr std::string_view kMetadataEndMarker = "</METADATA*/";

// Scans `text` from `position` (just after the start marker) and appends the tokens to `into`
// until it has emitted the end marker "</METADATA*/" (matched ignoring case) or reached the end
// of the text. Returns the position after the end marker, or the length of the text.
std::size_t ScanMetadataBlock(std::string_view text, std::size_t position, TokenizedScript& into);

} // namespace marlix
