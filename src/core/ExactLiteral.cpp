#include "core/ExactLiteral.h"

#include "core/CaseFold.h"
#include "core/DateTimeText.h"
#include "core/DialectNames.h"
#include "core/DialectLiterals.h"
#include "core/ExactTextLiteral.h"
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

int HexValue(char c) noexcept {
    return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10;
}

std::string BytesOfDigits(std::string_view digits) {
    std::string bytes(digits.size() / 2, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(HexValue(digits[2 * i]) << 4 | HexValue(digits[2 * i + 1]));
    return bytes;
}

// A value the target cannot hold stops the conversion: writing something else would load a
// different value without a word.
[[noreturn]] void ThrowUnwritableValue(std::string_view columnName, std::string_view value, Dialect dialect) {
    throw CSyntaxException(0, "Cannot write the value of column " + std::string(columnName) + " exactly for " +
                                  DialectName(dialect) + ": " + std::string(value) +
                                  ", which the target cannot store");
}

void AppendExactBinaryDigits(int sqlType, std::string_view digits, Dialect dialect,
                             std::string_view columnName, std::string& out) {
    if (sqlType == SQL_GUID && dialect != Dialect::ACCESS) {
        // A driver that delivers the GUID as its text rather than its structure.
        if (!AppendGuidText(digits, out))
            AppendExactCharacterLiteral(BytesOfDigits(digits), dialect, false, columnName, out);
        return;
    }
    AppendBinaryLiteral(digits, dialect, out);
}

void AppendExactOtherValue(const ColumnDescriptor& column, std::string_view text, Dialect dialect,
                           std::string& out) {
    if (column.sqlType == SQL_BIT) text = BitText(text);
    const SpecialNumber special = SpecialNumberOf(text, column.sqlType);
    if (special != SpecialNumber::None) {
        if (AppendSpecialNumber(special, dialect, out)) return;
        if (special != SpecialNumber::NegativeZero) ThrowUnwritableValue(column.Name(), SpecialNumberName(special), dialect);
    }
    // PostgreSQL takes no number for a boolean, but a quoted '1' or '0' for a boolean, a bit
    // and any number column alike.
    const bool quoteBit = column.sqlType == SQL_BIT && dialect == Dialect::POSTGRESQL;
    if (IsPlainNumber(text) && !quoteBit) {
        out += text;
        return;
    }
    // Anything else (intervals, a driver's own text) as the text it is.
    AppendExactCharacterLiteral(text, dialect, false, column.Name(), out);
}

// SQLite keeps dates and times as the text it is given, whatever that text holds.
bool KeepsDateText(Dialect dialect) noexcept {
    return dialect == Dialect::SQLITE;
}

// A date/time value as the structure holds it. A time of 24 hours or more is a duration only
// MySQL's TIME holds (PostgreSQL's time ends at 24:00:00).
void AppendExactDateTime(const ColumnDescriptor& column, const TIMESTAMP_STRUCT& ts, Dialect dialect,
                         std::string& out) {
    const DateTimeKind kind = DateTimeKindOf(column.sqlType);
    const bool endOfDay = ts.hour == 24 && ts.minute == 0 && ts.second == 0 && ts.fraction == 0;
    if (kind == DateTimeKind::Time && ts.hour >= 24 && dialect != Dialect::MYSQL && !KeepsDateText(dialect) &&
        !(endOfDay && dialect == Dialect::POSTGRESQL)) {
        std::string text;
        ExpandDatePattern(ts, "H:M:S", text);
        AppendSecondFraction(ts.fraction, text);
        ThrowUnwritableValue(column.Name(), text, dialect);
    }
    if (column.zone == ColumnDescriptor::Zone::None) {
        FormatExactDateTime(ts, dialect, kind, out);
        return;
    }
    // A timestamp with a time zone arrives in the session's zone, without its offset: it is
    // written with the offset where the session's zone is known to be UTC; MySQL and Access
    // read no offset, and get the UTC time.
    std::string text;
    ExpandDatePattern(ts, "Y-m-d H:M:S", text);
    AppendSecondFraction(ts.fraction, text);
    if (column.zone != ColumnDescriptor::Zone::Utc)
        throw CSyntaxException(0, "Cannot write the value of column " + std::string(column.Name()) +
                                      " exactly for " + DialectName(dialect) + ": " + text +
                                      ", a time in the session's time zone, which is not UTC");
    if (dialect == Dialect::MYSQL || dialect == Dialect::ACCESS) return FormatExactDateTime(ts, dialect, kind, out);
    text.clear();
    FormatExactDateTime(ts, dialect, kind, text);
    text.pop_back(); // the closing quote
    out += text;
    out += "+00:00'";
}

// A date/time value the structure cannot hold, as the driver's text: MySQL's zero dates and
// negative times, PostgreSQL's BC dates and infinities. Each is written for the target that has
// it, and SQLite, as it is; any other text (a date SQLite keeps in a form of its own) is written
// as text.
void AppendExactDateTimeText(const ColumnDescriptor& column, std::string_view text, Dialect dialect,
                             std::string& out) {
    const bool zero = text.substr(0, 10) == "0000-00-00";
    const bool negativeTime = column.sqlType == SQL_TYPE_TIME && !text.empty() && text[0] == '-';
    const bool bc = text.size() > 3 && text.substr(text.size() - 3) == " BC";
    const bool infinity = EqualsFolded(text, "infinity") || EqualsFolded(text, "-infinity");
    if (zero && column.zeroDateUndelivered)
        throw CSyntaxException(0, "Cannot read the value of column " + std::string(column.Name()) +
                                      " exactly: the driver delivers " + std::string(text) +
                                      " for a date it cannot convert (an infinity)");
    const bool mysqlOnly = zero || negativeTime;
    const bool postgresqlOnly = bc || infinity;
    if (!KeepsDateText(dialect) &&
        ((mysqlOnly && dialect != Dialect::MYSQL) || (postgresqlOnly && dialect != Dialect::POSTGRESQL)))
        ThrowUnwritableValue(column.Name(), text, dialect);
    AppendExactCharacterLiteral(text, dialect, false, column.Name(), out);
}

// A stored date/time cell: the structure, or (never of the structure's size) the driver's text.
void AppendExactDateTimeCell(const ColumnDescriptor& column, const CellRef& cell, Dialect dialect,
                             std::string& out) {
    if (cell.length == sizeof(TIMESTAMP_STRUCT))
        AppendExactDateTime(column, TimestampOf(cell), dialect, out);
    else
        AppendExactDateTimeText(column, {cell.data, strnlen(cell.data, cell.length)}, dialect, out);
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
        AppendExactDateTimeCell(column, cell, dialect, out);
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
        TIMESTAMP_STRUCT ts = column.timestamp;
        const std::string_view text = ResultSet::BoundDateTimeText(column);
        if (column.storedAs != ColumnDescriptor::StoredAs::DateTimeText)
            AppendExactDateTime(column, ts, dialect, out);
        else if (ResultSet::ParseDateTimeText(text, DateTimeKindOf(type), ts))
            AppendExactDateTime(column, ts, dialect, out);
        else
            AppendExactDateTimeText(column, text, dialect, out);
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
