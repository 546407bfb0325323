#pragma once
// The pieces that the standard and the exact literal forms share: a stored timestamp's
// structure, a binary value's digits and its literal in each dialect, a bit's text.
#include "core/CellStorage.h"
#include "core/ColumnDescriptor.h"
#include "core/ConversionDescription.h"

#include <cstring>
#include <string>
#include <string_view>

namespace marlix {

// The timestamp a date/time cell stores; all zero for a cell of another size.
inline TIMESTAMP_STRUCT TimestampOf(const CellRef& cell) noexcept {
    TIMESTAMP_STRUCT ts{};
    if (cell.length == sizeof ts) std::memcpy(&ts, cell.data, sizeof ts);
    return ts;
}

// The digits of a stored binary value, after its 0x.
inline std::string_view HexDigitsOf(std::string_view stored) noexcept {
    if (stored.size() >= 2 && stored[0] == '0' && (stored[1] == 'x' || stored[1] == 'X'))
        stored.remove_prefix(2);
    return stored;
}

// A bit as the driver delivers it: "1"/"0", or the bit's byte itself.
inline std::string_view BitText(std::string_view text) noexcept {
    if (text.size() == 1 && text[0] == '\x01') return "1";
    if (text.size() == 1 && text[0] == '\0') return "0";
    return text;
}

// A binary value given as upper-case hex digits, in the dialect's binary literal.
void AppendBinaryLiteral(std::string_view digits, Dialect dialect, std::string& out);

// A GUID given as the hex digits of its SQLGUID structure (the first three fields in the
// machine's byte order), as the quoted text every target with a GUID type reads; false when the
// digits are no SQLGUID (a driver that delivers the GUID's text).
bool AppendGuidText(std::string_view digits, std::string& out);

// The floating-point values that are no plain number, as drivers and ResultSet::RoundTripText
// write them ("NaN", "Infinity", "-Infinity", "inf", "-0"...). Negative zero only for a
// floating-point column: elsewhere "-0" is just zero.
enum class SpecialNumber : uint8_t { None, NaN, Infinity, NegativeInfinity, NegativeZero };
SpecialNumber SpecialNumberOf(std::string_view text, int sqlType) noexcept;
// The target's own literal of a special value (PostgreSQL 'NaN'::float8, SQLite 9e999, Oracle
// BINARY_DOUBLE_NAN...); false where the target cannot hold the value (NaN in SQLite and MySQL)
// or has no form of it (negative zero is then written as the number it is).
bool AppendSpecialNumber(SpecialNumber value, Dialect dialect, std::string& out);
// "NaN", "Infinity", "-Infinity", "-0": how the history names a special value.
const char* SpecialNumberName(SpecialNumber value) noexcept;

} // namespace marlix
