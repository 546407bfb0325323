#include "grammar/TextFault.h"

#include <cstring>

namespace marlix {
namespace {

constexpr const char* kNotRun = ": the script is not run";

// The message for a token the end of the text cut off, or null when that is no fault.
const char* CutOffMessage(TokenView script, const Token& last) {
    const std::string_view text = script.TextOf(last);
    switch (last.cls) {
    case TokenClass::Comment:
        return text.starts_with("--") ? nullptr : "Unterminated comment (\"/*\" without \"*/\")";
    case TokenClass::TextBlock:
        return "Unterminated TEXT block (\"/*TEXT>\" without \"</TEXT*/\")";
    case TokenClass::String:
        return last.role == TokenRole::CopyData ? "COPY data without the line \"\\.\" that ends them"
                                                : "Unterminated string literal";
    case TokenClass::QuotedIdentifier:
        return "Unterminated quoted identifier";
    case TokenClass::Word:
        return text.starts_with("[") ? "Unterminated bracketed identifier (\"[\" without \"]\")" : nullptr;
    default:
        return nullptr; // inside a METADATA block: the block reader reports it
    }
}

} // namespace

std::optional<CSyntaxException> FindTextFault(TokenView script) {
    std::optional<CSyntaxException> fault;
    if (!script.tokens.empty() && !script.tokens.back().terminated) {
        const Token& last = script.tokens.back();
        if (const char* message = CutOffMessage(script, last))
            fault.emplace(static_cast<std::int32_t>(last.offset), std::string(message) + kNotRun);
    }
    // A trigger or routine whose body the text ends in: its CREATE is marked, in the last statement.
    for (std::size_t i = script.tokens.size(); i-- > 0 && !script.tokens[i].separator;) {
        const Token& token = script.tokens[i];
        if (token.terminated || token.cls != TokenClass::Word || script.TextOf(token).starts_with("[")) continue;
        fault.emplace(static_cast<std::int32_t>(token.offset),
                      std::string("Unterminated trigger or routine body (\"BEGIN\" without \"END\")") + kNotRun);
        break;
    }
    if (const void* nul = std::memchr(script.text.data(), '\0', script.text.size())) {
        const auto offset = static_cast<std::int32_t>(static_cast<const char*>(nul) - script.text.data());
        if (!fault || offset < fault->Offset())
            fault.emplace(offset, std::string("NUL character in the script text") + kNotRun);
    }
    return fault;
}

} // namespace marlix
