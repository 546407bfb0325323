#pragma once
// Reads elements of METADATA mark-up from the tokens of the block scanner (classes 6 to 13)
// into the element tree.
#include "grammar/Token.h"
#include "metadata/ElementNode.h"

#include <cstddef>

namespace marlix {

// How deep elements may nest in a block, the block's own elements being the first level. The
// mark-up the program reads needs three; the bound keeps the reading and every walk over the
// tree within the stack.
inline constexpr int kMaxElementDepth = 256;

// Parses the element that begins at token `first` (a '<'), with everything inside it, and
// inserts it into `parent`. Tokens from `end` on are not looked at. Returns the index of the
// token after the element. Throws CSyntaxException at the offending token; nodes made before the
// error stay in the tree. Elements nested deeper than kMaxElementDepth are an error.
std::size_t ParseElement(TokenView script, std::size_t first, std::size_t end, ElementNode& parent);

} // namespace marlix
