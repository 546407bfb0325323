#pragma once
// What keeps a tokenized script from being run as written: a NUL character, where the drivers
// end the statement's text, or a comment, TEXT block, string literal or quoted name that the end
// of the text cuts off, so that every statement after its start disappears into it. A METADATA
// block cut off this way is the block reader's error ("end of XML clause expected here"), and a
// trigger or routine whose BEGIN ... END body the text ends in is refused at its CREATE.
#include "core/SyntaxException.h"
#include "grammar/Token.h"

#include <optional>

namespace marlix {

// The first such fault, at its offset, or nothing. An unterminated token can only be the last
// one, so apart from one search for a NUL this looks at one token; a "--" comment on the last
// line without a line end is complete. The last statement's tokens are looked at for an open
// body.
std::optional<CSyntaxException> FindTextFault(TokenView script);

} // namespace marlix
