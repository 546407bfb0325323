#pragma once
// The properties every script must keep through a whole analysis (tokens, statements, blocks,
// SELECT analysis) and through the block edits, whatever its bytes: shared by the fuzz target
// and the test that replays its seeds and findings.
#include <string>
#include <string_view>

namespace marlix::fuzzcheck {

// Analyses `script`, checks the statement records, items, block nodes and any syntax error, then
// applies the syntax and conversion-choice edits and analyses the results again. Returns an
// empty text when all holds, else what broke.
std::string CheckAnalysis(std::string_view script);

} // namespace marlix::fuzzcheck
