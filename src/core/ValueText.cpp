#include "core/ValueText.h"

#include "core/DateTimeText.h"
#include "core/HexDigits.h"
#include "core/ResultSet.h"
#include "metadata/SyntaxException.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace marlix {
namespace {

constexpr CellRef kNullCell{"NULL", 5, true};

bool NeedsEscape(unsigned char c) noexcept {
    return (c < 32 && c != 0) || c == '\'';
}

TIMESTAMP_STRUCT TimestampOf(const CellRef& cell) noexcept {
    TIMESTAMP_STRUCT ts{};
    if (cell.length == sizeof ts) std::memcpy(&ts, cell.data, sizeof ts);
    return ts;
}

// Exact literals ------------------------------------------------------------------------------

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

// A binary value given as upper-case hex digits, in the dialect's binary literal.
void AppendBinaryLiteral(std::string_view digits, Dialect dialect, std::string& out) {
    switch (dialect) {
    case Dialect::POSTGRESQL:
        // bytea's hex input form (standard_conforming_strings, the default since 9.1).
        out += "'\\x";
        out += digits;
        out += '\'';
        break;
    case Dialect::ORACLE:
        out += "HEXTORAW('";
        out += digits;
        out += "')";
        break;
    case Dialect::FIREBIRD:
        out += "x'";
        out += digits;
        out += '\'';
        break;
    case Dialect::MYSQL:
    case Dialect::SQLITE:
    case Dialect::GENERIC:
        // X'' is also the empty value, where 0x alone is no literal at all.
        out += "X'";
        out += digits;
        out += '\'';
        break;
    default:
        out += "0x";
        out += digits;
        break;
    }
}

// The digits of a stored binary value, after its 0x.
std::string_view HexDigitsOf(std::string_view stored) noexcept {
    if (stored.size() >= 2 && stored[0] == '0' && (stored[1] == 'x' || stored[1] == 'X'))
        stored.remove_prefix(2);
    return stored;
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

// A bit as the driver delivers it: "1"/"0", or the bit's byte itself.
std::string_view BitText(std::string_view text) noexcept {
    if (text.size() == 1 && text[0] == '\x01') return "1";
    if (text.size() == 1 && text[0] == '\0') return "0";
    return text;
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

// The standard literal of a binary value (given as its digits) or an "other" value where the
// dialect has a form of its own; false where the stored text is written unchanged.
bool HasOwnValueForms(int mode) noexcept {
    return mode == static_cast<int>(Dialect::POSTGRESQL) || mode == static_cast<int>(Dialect::SQLITE);
}

bool AppendDialectValue(int sqlType, std::string_view text, int mode, std::string& out) {
    if (!HasOwnValueForms(mode)) return false;
    const auto dialect = static_cast<Dialect>(mode);
    if (ColumnDescriptor::IsBinaryType(sqlType)) {
        AppendBinaryLiteral(text, dialect, out);
        return true;
    }
    if (sqlType == SQL_BIT) {
        std::string_view bit = BitText(text);
        if (dialect == Dialect::POSTGRESQL) {
            out += '\'';
            out += bit;
            out += '\'';
        } else {
            out += bit;
        }
        return true;
    }
    return false;
}

} // namespace

bool IsWideCharacterType(int sqlType) noexcept {
    return sqlType == SQL_WCHAR || sqlType == SQL_WVARCHAR || sqlType == SQL_WLONGVARCHAR;
}

CellRef StoredValueOf(const ResultSet& resultSet, int64_t row, int column, bool previous) {
    if (row < 0 || row >= resultSet.RowCount() || column < 0 || column >= resultSet.ColumnCount())
        return kNullCell;
    if (resultSet.edits) {
        CellRef value;
        if (resultSet.edits->EditedValue(row, column, previous, value))
            return value.isNull ? kNullCell : value;
    }
    // Rows added in the grid have no fetched cells.
    const size_t cell = static_cast<size_t>(row) * resultSet.ColumnCount() + column;
    if (cell >= resultSet.Cells().CellCount()) return kNullCell;
    return resultSet.Cell(row, column);
}

void AppendCharacterText(std::string_view text, bool literal, bool national, std::string& out) {
    if (literal) out += national ? std::string_view("N'") : std::string_view("'");
    // Copy runs of plain characters whole; only the few special ones are rewritten.
    const char* data = text.data();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (!NeedsEscape(c)) continue;
        out.append(data + start, i - start);
        switch (c) {
        case '\'':
            out += "''";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += '?';
            break;
        }
        start = i + 1;
    }
    out.append(data + start, text.size() - start);
    if (literal) out += '\'';
}

void AppendValueText(const ColumnDescriptor& column, const CellRef& cell, int mode, bool literal,
                     std::string& out) {
    if (cell.isNull) {
        if (literal) out += "NULL";
        return;
    }
    const int type = column.sqlType;
    if (ColumnDescriptor::IsCharacterType(type)) {
        bool national = mode == static_cast<int>(Dialect::MSSQL) && IsWideCharacterType(type);
        AppendCharacterText(cell.Text(), literal, national, out);
    } else if (column.IsDateTime()) {
        FormatDateTime(TimestampOf(cell), mode, DateTimeKindOf(type), out, literal);
    } else if (literal && ColumnDescriptor::IsBinaryType(type)) {
        // Stored as 0x and the digits, which is also the literal where the dialect has no form of its own.
        std::string_view text = cell.Text();
        if (!AppendDialectValue(type, HexDigitsOf(text), mode, out)) out.append(text);
    } else if (!literal || !AppendDialectValue(type, cell.Text(), mode, out)) {
        out.append(cell.Text());
    }
}

std::string_view ValueText(ResultSet& resultSet, int64_t row, int column, int mode, bool literal,
                           bool previous) {
    ColumnDescriptor& descriptor = resultSet.Column(column);
    std::string& out = descriptor.valueText;
    out.clear();
    AppendValueText(descriptor, StoredValueOf(resultSet, row, column, previous), mode, literal, out);
    return out;
}

std::string_view ValueText(ResultSet& resultSet, int64_t row, int column, Dialect dialect, bool literal,
                           bool previous) {
    return ValueText(resultSet, row, column, static_cast<int>(dialect), literal, previous);
}

void AppendFetchThroughValueText(const ColumnDescriptor& column, int mode, std::string_view boundText,
                                 std::string& out) {
    const int type = column.sqlType;
    if (column.indicator == SQL_NULL_DATA) {
        out += "NULL";
    } else if (ColumnDescriptor::IsCharacterType(type)) {
        // N'' as for stored values, so a script reads the same whichever way it was made.
        bool national = mode == static_cast<int>(Dialect::MSSQL) && IsWideCharacterType(type);
        AppendCharacterText(boundText, true, national, out);
    } else if (ColumnDescriptor::IsBinaryType(type)) {
        // Bound as SQL_C_BINARY: the bytes, written as digits here as for stored values.
        if (HasOwnValueForms(mode)) {
            std::string digits;
            AppendHexDigits(boundText, digits);
            AppendDialectValue(type, digits, mode, out);
        } else {
            out += "0x";
            AppendHexDigits(boundText, out);
        }
    } else if (column.IsDateTime()) {
        FormatDateTime(ResultSet::BoundTimestamp(column), mode, DateTimeKindOf(type), out, true);
    } else if (!AppendDialectValue(type, boundText, mode, out)) {
        out.append(boundText);
    }
}

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

std::string_view FetchThroughValueText(ColumnDescriptor& column, int mode, std::string_view boundText) {
    column.valueText.clear();
    AppendFetchThroughValueText(column, mode, boundText, column.valueText);
    return column.valueText;
}

std::string_view FetchThroughValueText(ColumnDescriptor& column, int mode) {
    std::string_view bound;
    if (column.storedAs == ColumnDescriptor::StoredAs::RoundTripText && column.buffer &&
        column.indicator != SQL_NULL_DATA)
        return FetchThroughValueText(column, mode, ResultSet::RoundTripText(column));
    if (column.buffer && column.bufferSize > 0 && column.indicator != SQL_NULL_DATA) {
        const bool binary = column.storedAs == ColumnDescriptor::StoredAs::HexText;
        const auto capacity = static_cast<size_t>(column.bufferSize - (binary ? 0 : 1));
        if (binary) {
            const size_t n = std::min(capacity, static_cast<size_t>(std::max<SQLLEN>(column.indicator, 0)));
            return FetchThroughValueText(column, mode, std::string_view(column.buffer.get(), n));
        }
        size_t n = column.indicator >= 0 && static_cast<size_t>(column.indicator) <= capacity
                       ? static_cast<size_t>(column.indicator)
                       : strnlen(column.buffer.get(), capacity);
        bound = {column.buffer.get(), n};
    }
    return FetchThroughValueText(column, mode, bound);
}

} // namespace marlix
