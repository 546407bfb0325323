#pragma once
// The notation of grammar rule bodies, compiled once into a list of elements so that matching
// never re-reads the text:
//   'text'          a literal, compared with one token ignoring case (no escape);
//   <type:name>     a capture of a terminal type or of a group of rules;
//   [ ... ]         an optional group, nested; an unclosed group runs to the end of the body.
// Every other character, unquoted words included, is skipped.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// The capture types that match tokens directly; any other type names a group of rules.
enum class TerminalType : std::uint8_t { None, Integer, Decimal, DateTime, String, Binary, Id, Id2, Id3 };

// The terminal type a capture type names, or None for a group name.
TerminalType TerminalTypeOf(std::string_view type) noexcept;

struct RuleElement {
    enum class Kind : std::uint8_t { Literal, Capture, Optional };

    Kind kind = Kind::Literal;
    std::string text;   // literal text, or capture type
    std::string name;   // capture name
    bool closed = true; // the literal ends with its apostrophe
    TerminalType terminal = TerminalType::None;
    int group = -1;                    // group captures: the group's number, set when linking
    std::vector<RuleElement> optional; // the elements of an optional group
};

// Compiles a rule body. Never fails: an unclosed literal or capture runs to the end of the
// body (linking then rejects the unclosed literal).
std::vector<RuleElement> CompileRuleText(std::string_view body);

} // namespace marlix
