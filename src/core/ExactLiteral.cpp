#include "core/ExactLiteral.h"

#include "core/DateTimeText.h"
#include "core/DialectLiterals.h"
#include "core/HexDigits.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "core/ValueText.h"

#include <cstdio>
#include <cstring>

namespace marlix {
namespace {

// A number as SQL writes it unquoted: sign, digits with at most one '.', optional exponent.
bool IsPlainNumber(std::string_view text) noexcept {
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        size_t exponent = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            ++exponent;
        if (exponent == 0) return false;
    }
    return i == text.size();
}

// How a dialect writes a character that its quoted literals cannot hold: the literal is closed,
// joined to a call of the dialect's character function and opened again. Null where the target
// has no such form.
struct CharacterCall {
    const char* join;
    const char* function;
};

CharacterCall CharacterCallOf(Dialect dialect, bool national) noexcept {
    switch (dialect) {
    case Dialect::MSSQL:
        return {" + ", national ? "NCHAR(" : "CHAR("};
    case Dialect::ORACLE:
        return {" || ", "CHR("};
    case Dialect::SQLITE:
        return {" || ", "char("};
    case Dialect::POSTGRESQL:
        return {" || ", "chr("};
    case Dialect::FIREBIRD:
        return {" || ", "ASCII_CHAR("};
    case Dialect::ACCESS:
        return {" & ", "Chr("};
    default:
        return {nullptr, nullptr};
    }
}

[[noreturn]] void ThrowUnwritableCharacter(std::string_view columnName, Dialect dialect) {
    throw CSyntaxException(0, "Cannot write the value of column " + std::string(columnName) +
                                  " exactly for " +
                                  std::string(dialect == Dialect::POSTGRESQL ? "POSTGRESQL" : "GENERIC") +
                                  ": it holds a NUL character, which the target's text cannot store");
}

// True for a CR or LF that is not part of a CR LF pair. Scripts keep CR LF line ends (they are
// converted to it when loaded, and the editor writes nothing else), so a lone one written as it is
// would come back as a CR LF pair: it is written by its code instead. A CR LF pair is the script's
// own line end and stays as it is.
bool IsLoneLineBreak(std::string_view text, size_t i) noexcept {
    if (text[i] == '\r') return i + 1 >= text.size() || text[i + 1] != '\n';
    if (text[i] == '\n') return i == 0 || text[i - 1] != '\r';
    return false;
}

// GENERIC has no character function: a value with a lone line break is written as a Unicode
// escape literal (U&'...', where a backslash starts an escape and is therefore doubled).
void AppendUnicodeEscapeLiteral(std::string_view text, std::string& out) {
    out += "U&'";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'') {
            out += "''";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (IsLoneLineBreak(text, i)) {
            out += c == '\n' ? "\\000A" : "\\000D";
        } else {
            out += c;
        }
    }
    out += '\'';
}

void AppendExactCharacterLiteral(std::string_view text, Dialect dialect, bool wide,
                                 std::string_view columnName, std::string& out) {
    const bool national = dialect == Dialect::MSSQL && wide;
    const std::string_view opening = national ? std::string_view("N'") : std::string_view("'");
    const bool mysql = dialect == Dialect::MYSQL;
    if (dialect == Dialect::GENERIC && text.find('\0') == std::string_view::npos) {
        for (size_t i = 0; i < text.size(); ++i)
            if (IsLoneLineBreak(text, i)) return AppendUnicodeEscapeLiteral(text, out);
    }
    const CharacterCall call = CharacterCallOf(dialect, national);
    // The value is a chain of quoted runs and character calls ("'a' || char(10) || 'b'").
    bool quoted = false;
    bool chained = false;
    auto openQuotes = [&] {
        if (quoted) return;
        if (chained) out += call.join;
        out += opening;
        quoted = chained = true;
    };
    const char* data = text.data();
    size_t start = 0;
    size_t codedCR = std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        // SQL Server drops a backslash-line break pair inside a literal (line continuation):
        // a line break right after a backslash is written by its code.
        const bool continuation =
            dialect == Dialect::MSSQL && (c == '\n' || c == '\r') && i > 0 && data[i - 1] == '\\';
        // The LF of a pair whose CR went by its code is alone in the script's text.
        const bool lone =
            (c == '\n' || c == '\r') && (IsLoneLineBreak(text, i) || (c == '\n' && codedCR + 1 == i));
        if (c != '\'' && c != 0 && !(mysql && c == '\\') && !continuation && !lone) continue;
        if (i > start) {
            openQuotes();
            out.append(data + start, i - start);
        }
        start = i + 1;
        if (c == '\'') {
            openQuotes();
            out += "''";
        } else if (mysql) {
            openQuotes();
            out += c == 0 ? "\\0" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\\\";
        } else {
            // PostgreSQL's text cannot hold NUL at all, whatever function would make it.
            if (!call.function || (c == 0 && dialect == Dialect::POSTGRESQL))
                ThrowUnwritableCharacter(columnName, dialect);
            if (c == '\r') codedCR = i;
            if (quoted) out += '\'';
            if (chained) out += call.join;
            out += call.function;
            AppendPaddedNumber(c, 1, out);
            out += ')';
            quoted = false;
            chained = true;
        }
    }
    if (start < text.size() || !chained) {
        openQuotes();
        out.append(data + start, text.size() - start);
    }
    if (quoted) out += '\'';
}

int HexValue(char c) noexcept {
    return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10;
}

std::string BytesOfDigits(std::string_view digits) {
    std::string bytes(digits.size() / 2, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(HexValue(digits[2 * i]) << 4 | HexValue(digits[2 * i + 1]));
    return bytes;
}

void AppendExactBinaryDigits(int sqlType, std::string_view digits, Dialect dialect,
                             std::string_view columnName, std::string& out) {
    if (sqlType == SQL_GUID && dialect != Dialect::ACCESS) {
        std::string bytes = BytesOfDigits(digits);
        if (bytes.size() == sizeof(SQLGUID)) {
            // The GUID structure (its first three fields in the machine's byte order), written
            // as the usual text every target with a GUID type reads.
            SQLGUID guid;
            std::memcpy(&guid, bytes.data(), sizeof guid);
            char text[40];
            std::snprintf(text, sizeof text, "'%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X'",
                          static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                          guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                          guid.Data4[6], guid.Data4[7]);
            out += text;
        } else {
            // A driver that delivers the GUID as its text.
            AppendExactCharacterLiteral(bytes, dialect, false, columnName, out);
        }
        return;
    }
    AppendBinaryLiteral(digits, dialect, out);
}

void AppendExactOtherValue(const ColumnDescriptor& column, std::string_view text, Dialect dialect,
                           std::string& out) {
    if (column.sqlType == SQL_BIT) text = BitText(text);
    // PostgreSQL takes no number for a boolean, but a quoted '1' or '0' for a boolean, a bit
    // and any number column alike.
    const bool quoteBit = column.sqlType == SQL_BIT && dialect == Dialect::POSTGRESQL;
    if (IsPlainNumber(text) && !quoteBit) {
        out += text;
        return;
    }
    // Anything else (NaN, Infinity, intervals, a driver's own text) as the text it is.
    AppendExactCharacterLiteral(text, dialect, false, column.Name(), out);
}

} // namespace

void AppendExactLiteral(const ColumnDescriptor& column, const CellRef& cell, Dialect dialect,
                        std::string& out) {
    if (cell.isNull) {
        out += "NULL";
        return;
    }
    const int type = column.sqlType;
    if (ColumnDescriptor::IsCharacterType(type)) {
        AppendExactCharacterLiteral(cell.Text(), dialect, IsWideCharacterType(type), column.Name(), out);
    } else if (column.IsDateTime()) {
        FormatExactDateTime(TimestampOf(cell), dialect, DateTimeKindOf(type), out);
    } else if (ColumnDescriptor::IsBinaryType(type)) {
        // Stored as 0x and the digits.
        AppendExactBinaryDigits(type, HexDigitsOf(cell.Text()), dialect, column.Name(), out);
    } else {
        AppendExactOtherValue(column, cell.Text(), dialect, out);
    }
}

void AppendExactFetchThroughLiteral(const ColumnDescriptor& column, Dialect dialect,
                                    std::string_view boundText, std::string& out) {
    const int type = column.sqlType;
    if (column.indicator == SQL_NULL_DATA) {
        out += "NULL";
    } else if (ColumnDescriptor::IsCharacterType(type)) {
        AppendExactCharacterLiteral(boundText, dialect, IsWideCharacterType(type), column.Name(), out);
    } else if (column.IsDateTime()) {
        FormatExactDateTime(ResultSet::BoundTimestamp(column), dialect, DateTimeKindOf(type), out);
    } else if (ColumnDescriptor::IsBinaryType(type)) {
        // Bound as SQL_C_BINARY: the bytes themselves.
        std::string digits;
        AppendHexDigits(boundText, digits);
        AppendExactBinaryDigits(type, digits, dialect, column.Name(), out);
    } else {
        AppendExactOtherValue(column, boundText, dialect, out);
    }
}

} // namespace marlix
