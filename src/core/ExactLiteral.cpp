#include "core/ExactLiteral.h"

#include "core/DateTimeText.h"
#include "core/DialectLiterals.h"
#include "core/ExactTextLiteral.h"
#include "core/HexDigits.h"
#include "core/ResultSet.h"
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
