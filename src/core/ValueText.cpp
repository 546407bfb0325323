#include "core/ValueText.h"

#include "core/DateTimeText.h"
#include "core/DialectLiterals.h"
#include "core/HexDigits.h"
#include "core/ResultSet.h"

#include <algorithm>
#include <cstring>

namespace marlix {
namespace {

constexpr CellRef kNullCell{"NULL", 5, true};

// A NUL is a control character like the others: written as it is, it ends a script's statement
// for some clients (mariadb refuses it) and the text for C strings.
bool NeedsEscape(unsigned char c) noexcept {
    return c < 32 || c == '\'';
}

// The standard literal of a value whose stored text is no literal of the dialect: a binary
// value (given as its digits) in POSTGRESQL and SQLITE, an empty binary value (0x alone is no
// literal outside MSSQL and ACCESS), a GUID as its text (a uuid column refuses its bytes), a
// bit as a digit (MariaDB delivers BIT(1) as the bit's byte), a floating-point value without
// digits (NaN, Infinity) in the target's own form, quoted where it has none, NULL where the
// target cannot hold it. False where the stored text is written unchanged.
bool AppendDialectValue(int sqlType, std::string_view text, int mode, std::string& out) {
    if (mode < 0 || mode >= kDialectCount) return false;
    const auto dialect = static_cast<Dialect>(mode);
    const bool ownForms = dialect == Dialect::POSTGRESQL || dialect == Dialect::SQLITE;
    if (ColumnDescriptor::IsBinaryType(sqlType)) {
        if (sqlType == SQL_GUID && dialect != Dialect::ACCESS && AppendGuidText(text, out)) return true;
        if (!ownForms && !(text.empty() && dialect != Dialect::MSSQL && dialect != Dialect::ACCESS))
            return false;
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
    const SpecialNumber special = SpecialNumberOf(text, sqlType);
    if (special == SpecialNumber::None) return false;
    if (AppendSpecialNumber(special, dialect, out)) return true;
    if (special == SpecialNumber::NegativeZero) return false; // the number it is
    if (dialect == Dialect::MYSQL || dialect == Dialect::SQLITE) {
        out += "NULL";
    } else {
        out += '\'';
        out += SpecialNumberName(special);
        out += '\'';
    }
    return true;
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

void AppendCharacterText(std::string_view text, bool literal, bool national, std::string& out,
                         bool backslashEscapes) {
    if (literal) out += national ? std::string_view("N'") : std::string_view("'");
    // Copy runs of plain characters whole; only the few special ones are rewritten.
    const char* data = text.data();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (!NeedsEscape(c) && !(backslashEscapes && c == '\\')) continue;
        out.append(data + start, i - start);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
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

void AppendValueText(const ColumnDescriptor& column, const CellRef& cell, int mode,
                     const DialectSettingsSet& settings, bool literal, std::string& out) {
    if (cell.isNull) {
        if (literal) out += "NULL";
        return;
    }
    const int type = column.sqlType;
    // A uuid typed into a grid (or delivered as text by its driver) is its text, not the digits
    // of a GUID structure, which are stored after 0x.
    const bool guidText = type == SQL_GUID && !cell.Text().starts_with("0x");
    if (ColumnDescriptor::IsCharacterType(type) || guidText) {
        // Display text is the value as stored: a grid shows O'Neil, not the literal's O''Neil.
        if (!literal) {
            out.append(cell.Text());
            return;
        }
        bool national = mode == static_cast<int>(Dialect::MSSQL) && IsWideCharacterType(type);
        AppendCharacterText(cell.Text(), literal, national, out, mode == static_cast<int>(Dialect::MYSQL));
    } else if (column.IsDateTime() && cell.length != sizeof(TIMESTAMP_STRUCT)) {
        // A value the structure cannot hold, kept as the driver's text.
        AppendCharacterText({cell.data, strnlen(cell.data, cell.length)}, literal, false, out,
                            literal && mode == static_cast<int>(Dialect::MYSQL));
    } else if (column.IsDateTime()) {
        FormatDateTime(TimestampOf(cell), mode, DateTimeKindOf(type), out, literal, settings);
    } else if (literal && ColumnDescriptor::IsBinaryType(type)) {
        // Stored as 0x and the digits, which is also the literal where the dialect has no form of its own.
        std::string_view text = cell.Text();
        if (!AppendDialectValue(type, HexDigitsOf(text), mode, out)) out.append(text);
    } else if (!literal && type == SQL_BIT) {
        out.append(BitText(cell.Text()));
    } else if (!literal && type == SQL_GUID && AppendGuidText(HexDigitsOf(cell.Text()), out)) {
        // A uuid reads as its text, in the lower case PostgreSQL writes it, not as bytes in GUID order.
        out.pop_back();
        const size_t opening = out.rfind('\'');
        out.erase(opening, 1);
        for (size_t i = opening; i < out.size(); ++i)
            if (out[i] >= 'A' && out[i] <= 'F') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    } else if (!literal || !AppendDialectValue(type, cell.Text(), mode, out)) {
        out.append(cell.Text());
    }
}

std::string_view ValueText(ResultSet& resultSet, int64_t row, int column, int mode,
                           const DialectSettingsSet& settings, bool literal, bool previous) {
    ColumnDescriptor& descriptor = resultSet.Column(column);
    std::string& out = descriptor.valueText;
    out.clear();
    AppendValueText(descriptor, StoredValueOf(resultSet, row, column, previous), mode, settings, literal,
                    out);
    return out;
}

std::string_view ValueText(ResultSet& resultSet, int64_t row, int column, Dialect dialect,
                           const DialectSettingsSet& settings, bool literal, bool previous) {
    return ValueText(resultSet, row, column, static_cast<int>(dialect), settings, literal, previous);
}

void AppendFetchThroughValueText(const ColumnDescriptor& column, int mode, const DialectSettingsSet& settings,
                                 std::string_view boundText, std::string& out) {
    const int type = column.sqlType;
    if (column.indicator == SQL_NULL_DATA) {
        out += "NULL";
    } else if (ColumnDescriptor::IsCharacterType(type)) {
        // N'' as for stored values, so a script reads the same whichever way it was made.
        bool national = mode == static_cast<int>(Dialect::MSSQL) && IsWideCharacterType(type);
        AppendCharacterText(boundText, true, national, out, mode == static_cast<int>(Dialect::MYSQL));
    } else if (ColumnDescriptor::IsBinaryType(type)) {
        // Bound as SQL_C_BINARY: the bytes, written as digits here as for stored values.
        std::string digits;
        AppendHexDigits(boundText, digits);
        if (!AppendDialectValue(type, digits, mode, out)) {
            out += "0x";
            out += digits;
        }
    } else if (column.IsDateTime()) {
        FormatDateTime(ResultSet::BoundTimestamp(column), mode, DateTimeKindOf(type), out, true, settings);
    } else if (!AppendDialectValue(type, boundText, mode, out)) {
        out.append(boundText);
    }
}

std::string_view FetchThroughValueText(ColumnDescriptor& column, int mode, const DialectSettingsSet& settings,
                                       std::string_view boundText) {
    column.valueText.clear();
    AppendFetchThroughValueText(column, mode, settings, boundText, column.valueText);
    return column.valueText;
}

std::string_view FetchThroughValueText(ColumnDescriptor& column, int mode,
                                       const DialectSettingsSet& settings) {
    std::string_view bound;
    if (column.storedAs == ColumnDescriptor::StoredAs::RoundTripText && column.buffer &&
        column.indicator != SQL_NULL_DATA)
        return FetchThroughValueText(column, mode, settings, ResultSet::RoundTripText(column));
    if (column.buffer && column.bufferSize > 0 && column.indicator != SQL_NULL_DATA) {
        const bool binary = column.storedAs == ColumnDescriptor::StoredAs::HexText;
        const auto capacity = static_cast<size_t>(column.bufferSize - (binary ? 0 : 1));
        if (binary) {
            const size_t n = std::min(capacity, static_cast<size_t>(std::max<SQLLEN>(column.indicator, 0)));
            return FetchThroughValueText(column, mode, settings, std::string_view(column.buffer.get(), n));
        }
        size_t n = column.indicator >= 0 && static_cast<size_t>(column.indicator) <= capacity
                       ? static_cast<size_t>(column.indicator)
                       : strnlen(column.buffer.get(), capacity);
        bound = {column.buffer.get(), n};
    }
    return FetchThroughValueText(column, mode, settings, bound);
}

} // namespace marlix
