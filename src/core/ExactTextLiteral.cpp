#include "core/ExactTextLiteral.h"

#include "core/HexDigits.h"
#include "core/SyntaxException.h"

#include <algorithm>
#include <vector>

namespace marlix {
namespace {

// The characters a literal never holds as they are: the control characters but the tab. A line
// break inside the quotes would change with the script's line ends (the editor writes CR LF,
// mariadb and sqlite3 read a CR LF as a line end, a checkout may turn it into LF), and the others
// do not belong in a text file either.
bool IsCoded(unsigned char c) noexcept {
    return c < 0x20 && c != '\t';
}

bool HasCoded(std::string_view text) noexcept {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return IsCoded(static_cast<unsigned char>(c)); });
}

[[noreturn]] void ThrowUnwritableCharacter(std::string_view columnName, Dialect dialect) {
    throw CSyntaxException(0, "Cannot write the value of column " + std::string(columnName) +
                                  " exactly for " +
                                  std::string(dialect == Dialect::POSTGRESQL ? "POSTGRESQL" : "GENERIC") +
                                  ": it holds a NUL character, which the target's text cannot store");
}

void AppendQuotedRun(std::string_view text, std::string& out) {
    for (size_t at = 0;;) {
        const size_t quote = text.find('\'', at);
        out.append(text.substr(at, quote == std::string_view::npos ? quote : quote + 1 - at));
        if (quote == std::string_view::npos) return;
        out += '\'';
        at = quote + 1;
    }
}

void AppendHexDigit(unsigned value, std::string& out) {
    out += "0123456789ABCDEF"[value & 15];
}

// The escapes of a literal whose backslash starts one; every other character is copied.
enum class Escapes { MySql, PostgreSql, Unicode };

void AppendEscape(unsigned char c, Escapes escapes, std::string& out) {
    out += '\\';
    if (c == '\\') {
        out += '\\';
    } else if (escapes == Escapes::Unicode) {
        out += "00";
        AppendHexDigit(c >> 4, out);
        AppendHexDigit(c, out);
    } else if (c == '\n' || c == '\r') {
        out += c == '\n' ? 'n' : 'r';
    } else if (escapes == Escapes::MySql) {
        out += c == 0 ? '0' : c == 8 ? 'b' : 'Z';
    } else {
        // Three octal digits, so that a digit after it is not taken into the escape.
        out += static_cast<char>('0' + (c >> 6));
        out += static_cast<char>('0' + ((c >> 3) & 7));
        out += static_cast<char>('0' + (c & 7));
    }
}

void AppendEscapedLiteral(std::string_view text, const char* opening, const char* closing, Escapes escapes,
                          std::string& out) {
    out += opening;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // MySQL reads the other control characters as they are; it has no escape for them.
        const bool coded =
            escapes == Escapes::MySql ? c == 0 || c == 8 || c == '\n' || c == '\r' || c == 26 : IsCoded(c);
        if (c != '\'' && c != '\\' && !coded) continue;
        out.append(text.substr(start, i - start));
        start = i + 1;
        if (c == '\'')
            out += "''";
        else
            AppendEscape(c, escapes, out);
    }
    out.append(text.substr(start));
    out += closing;
}

// The targets without escapes: quoted runs and character calls joined by the target's operator.
struct CharacterCall {
    const char* join;
    const char* function;
};

CharacterCall CharacterCallOf(Dialect dialect, bool national) noexcept {
    switch (dialect) {
    case Dialect::MSSQL:
        return {" + ", national ? "NCHAR(" : "CHAR("};
    case Dialect::FIREBIRD:
        return {" || ", "ASCII_CHAR("};
    default:
        return {" & ", "Chr("};
    }
}

// A chain of terms no longer than this is written flat; a longer one in as many parenthesised
// groups, each written the same way, so the parse depth grows with the logarithm of the number of
// terms (a flat chain of thousands of terms is too deep for the servers' parsers).
constexpr size_t kTermsPerGroup = 8;

struct Terms {
    std::string text;
    std::vector<size_t> ends; // where each term ends in text
    std::string_view Term(size_t i) const {
        const size_t begin = i ? ends[i - 1] : 0;
        return std::string_view(text).substr(begin, ends[i] - begin);
    }
};

// `head`, when given, opens every group: the type that keeps the group's result from being cut.
void AppendGrouped(const Terms& terms, size_t first, size_t last, const char* join, const char* head,
                   std::string& out) {
    if (head) {
        out += head;
        out += join;
    }
    const size_t count = last - first;
    const size_t size = count <= kTermsPerGroup ? 1 : (count + kTermsPerGroup - 1) / kTermsPerGroup;
    for (size_t at = first; at < last; at += size) {
        if (at > first) out += join;
        const size_t end = std::min(at + size, last);
        if (end - at == 1) {
            out += terms.Term(at);
        } else {
            out += '(';
            AppendGrouped(terms, at, end, join, head, out);
            out += ')';
        }
    }
}

void AppendCharacterChain(std::string_view text, Dialect dialect, bool national, std::string& out) {
    const CharacterCall call = CharacterCallOf(dialect, national);
    Terms terms;
    size_t start = 0;
    auto closeRun = [&](size_t end) {
        if (end == start) return;
        terms.text += national ? "N'" : "'";
        AppendQuotedRun(text.substr(start, end - start), terms.text);
        terms.text += '\'';
        terms.ends.push_back(terms.text.size());
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsCoded(c)) continue;
        closeRun(i);
        start = i + 1;
        terms.text += call.function;
        terms.text += std::to_string(c);
        terms.text += ')';
        terms.ends.push_back(terms.text.size());
    }
    closeRun(text.size());
    // SQL Server cuts a concatenation of strings that are not (MAX) types at 8000 bytes, silently:
    // a longer value starts each group with an empty (MAX) string.
    const char* head = nullptr;
    if (dialect == Dialect::MSSQL && text.size() > 4000)
        head = national ? "CAST(N'' AS NVARCHAR(MAX))" : "CAST('' AS VARCHAR(MAX))";
    AppendGrouped(terms, 0, terms.ends.size(), call.join, head, out);
}

} // namespace

void AppendExactCharacterLiteral(std::string_view text, Dialect dialect, bool wide,
                                 std::string_view columnName, std::string& out) {
    if (dialect == Dialect::MYSQL) return AppendEscapedLiteral(text, "'", "'", Escapes::MySql, out);
    const bool national = dialect == Dialect::MSSQL && wide;
    if (!HasCoded(text)) {
        out += national ? "N'" : "'";
        AppendQuotedRun(text, out);
        out += '\'';
        return;
    }
    if ((dialect == Dialect::POSTGRESQL || dialect == Dialect::GENERIC) &&
        text.find('\0') != std::string_view::npos)
        ThrowUnwritableCharacter(columnName, dialect);
    switch (dialect) {
    case Dialect::POSTGRESQL:
        return AppendEscapedLiteral(text, "E'", "'", Escapes::PostgreSql, out);
    case Dialect::GENERIC:
        return AppendEscapedLiteral(text, "U&'", "'", Escapes::Unicode, out);
    case Dialect::ORACLE:
        return AppendEscapedLiteral(text, "UNISTR('", "')", Escapes::Unicode, out);
    case Dialect::SQLITE:
        // The bytes are read as text in the database's encoding, UTF-8 as the driver delivers it.
        out += "CAST(X'";
        AppendHexDigits(text, out);
        out += "' AS TEXT)";
        return;
    default:
        return AppendCharacterChain(text, dialect, national, out);
    }
}

} // namespace marlix
