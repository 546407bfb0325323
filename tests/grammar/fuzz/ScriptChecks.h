#pragma once
// The properties every script must keep through tokenizing and SELECT analysis, whatever its
// bytes: shared by the fuzz target and the regression test that replays its findings.
#include <string>
#include <string_view>

namespace marlix::fuzzcheck {

// Tokenizes `script`, checks the tokens and the token found at each character, then analyses every
// statement that begins with SELECT. Returns an empty text when all holds, else what broke.
std::string CheckScript(std::string_view script);

} // namespace marlix::fuzzcheck
