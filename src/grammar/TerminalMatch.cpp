// The token-level tests of the matcher: literals and the eight terminal capture types.
#include "grammar/Matcher.h"

#include "core/CaseFold.h"

namespace marlix {

namespace {

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) noexcept {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsLetter(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsOperatorCharacter(char c) noexcept {
    return c == '<' || c == '>' || c == '=' || c == '!' || c == '|';
}

} // namespace

std::optional<std::size_t> Matcher::Literal(std::string_view text, std::size_t p) const noexcept {
    if (p >= end_) return std::nullopt;
    const Token& t = view_.tokens[p];
    const std::string_view tokenText = view_.TextOf(t);
    if (EqualsFolded(tokenText, text)) return Next(p);
    if (text.size() == 2 && IsOperatorCharacter(text[0]) && IsOperatorCharacter(text[1]) && t.length == 1 &&
        tokenText[0] == text[0] && p + 1 < end_) {
        const Token& second = view_.tokens[p + 1];
        if (second.offset == t.End() && second.length == 1 && view_.text[second.offset] == text[1])
            return Next(p + 1);
    }
    return std::nullopt;
}

bool Matcher::IsText(std::size_t p, char c) const noexcept {
    return p < end_ && view_.tokens[p].length == 1 && view_.text[view_.tokens[p].offset] == c &&
           view_.tokens[p].cls == TokenClass::Punctuation;
}

bool Matcher::IsInteger(std::size_t p) const noexcept {
    if (p >= end_ || view_.tokens[p].cls != TokenClass::Word) return false;
    for (char c : view_.TextOf(p))
        if (!IsDigit(c)) return false;
    return true;
}

// Keywords are not reserved: any word beginning like a name is an identifier.
bool Matcher::IsId(std::size_t p) const noexcept {
    if (p >= end_) return false;
    const Token& t = view_.tokens[p];
    if (t.cls == TokenClass::QuotedIdentifier) return true;
    if (t.cls != TokenClass::Word) return false;
    const char c = view_.text[t.offset];
    return IsLetter(c) || c == '[' || c == '_' || c == '$' || c == '%' || c == '@';
}

// An identifier of up to `parts` parts joined by '.'. A '.' after a part must be followed by
// another identifier, or nothing matches, except that with `stopBeforeStar` the name ends
// before a ".*", leaving the qualified star of a select list to its own rule.
std::optional<std::size_t> Matcher::Qualified(std::size_t p, int parts, bool stopBeforeStar,
                                              std::string* value) const {
    if (!IsId(p)) return std::nullopt;
    if (value) *value = view_.TextOf(p);
    std::size_t q = Next(p);
    for (int n = 1; n < parts && IsText(q, '.'); ++n) {
        const std::size_t r = Next(q);
        if (stopBeforeStar && IsText(r, '*')) break;
        if (!IsId(r)) return std::nullopt;
        if (value) {
            value->push_back('.');
            value->append(view_.TextOf(r));
        }
        q = Next(r);
    }
    return q;
}

// integer [ '.' [ integer ] ], the value being the tokens' texts run together.
std::optional<std::size_t> Matcher::Decimal(std::size_t p, std::string* value) const {
    if (!IsInteger(p)) return std::nullopt;
    if (value) *value = view_.TextOf(p);
    std::size_t q = Next(p);
    if (!IsText(q, '.')) return q;
    if (value) value->push_back('.');
    q = Next(q);
    if (!IsInteger(q)) return q;
    if (value) value->append(view_.TextOf(q));
    return Next(q);
}

// integer '-' integer '-' integer [ integer ':' integer [ ':' integer [ '.' integer ] ] ]; the
// value is the date part, a blank and the time part, each as its tokens run together.
std::optional<std::size_t> Matcher::DateTime(std::size_t p, std::string* value) const {
    std::string text;
    // Takes `separator` integer at q, or leaves q alone.
    auto pair = [&](std::size_t& q, char separator) {
        if (!IsText(q, separator)) return false;
        const std::size_t n = Next(q);
        if (!IsInteger(n)) return false;
        text.push_back(separator);
        text.append(view_.TextOf(n));
        q = Next(n);
        return true;
    };
    if (!IsInteger(p)) return std::nullopt;
    text = view_.TextOf(p);
    std::size_t q = Next(p);
    if (!pair(q, '-') || !pair(q, '-')) return std::nullopt;
    if (IsInteger(q)) {
        const std::size_t colon = Next(q);
        const std::size_t minutes = Next(colon);
        if (IsText(colon, ':') && IsInteger(minutes)) {
            text.push_back(' ');
            text.append(view_.TextOf(q));
            text.push_back(':');
            text.append(view_.TextOf(minutes));
            q = Next(minutes);
            if (pair(q, ':')) pair(q, '.');
        }
    }
    if (value) *value = std::move(text);
    return q;
}

std::optional<std::size_t> Matcher::Terminal(TerminalType type, std::size_t p, std::string* value) const {
    const Token& t = view_.tokens[p];
    const std::string_view text = view_.TextOf(t);
    switch (type) {
    case TerminalType::Integer:
        if (!IsInteger(p)) return std::nullopt;
        break;
    case TerminalType::Decimal:
        return Decimal(p, value);
    case TerminalType::DateTime:
        return DateTime(p, value);
    case TerminalType::String:
        if (t.cls != TokenClass::String && t.cls != TokenClass::QuotedIdentifier) return std::nullopt;
        break;
    case TerminalType::Binary: {
        if (t.cls != TokenClass::Word || text.size() < 3 || text[0] != '0' || text[1] != 'x')
            return std::nullopt;
        for (char c : text.substr(2))
            if (!IsHexDigit(c)) return std::nullopt;
        break;
    }
    case TerminalType::Id:
        if (!IsId(p)) return std::nullopt;
        break;
    case TerminalType::Id2:
        return Qualified(p, 2, false, value);
    case TerminalType::Id3:
        return Qualified(p, 3, true, value);
    case TerminalType::None:
        return std::nullopt;
    }
    if (value) *value = text;
    return Next(p);
}

} // namespace marlix
