#pragma once
// What the server receives of a statement: its comments, METADATA blocks and TEXT blocks turned
// into blanks, every character position kept so that offsets the server reports still match the
// script. String literals and quoted names are never touched.
#include "grammar/Token.h"

#include <cstddef>
#include <string>

namespace marlix {

// The text of the tokens [firstToken, endToken) from `textStart` to `textEnd`, with the
// comment-like tokens blanked except their tabs, line feeds and carriage returns. The markers of
// an executable comment stay: the server runs what they enclose.
std::string BlankComments(TokenView script, std::size_t firstToken, std::size_t endToken,
                          std::size_t textStart, std::size_t textEnd);

} // namespace marlix
