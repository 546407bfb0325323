#include "core/DialectLiterals.h"

#include "core/CaseFold.h"

#include <cstdio>
#include <cstring>

namespace marlix {
namespace {

int HexValue(char c) noexcept {
    return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10;
}

bool IsFloatingSqlType(int sqlType) noexcept {
    return sqlType == SQL_FLOAT || sqlType == SQL_REAL || sqlType == SQL_DOUBLE;
}

} // namespace

bool AppendGuidText(std::string_view digits, std::string& out) {
    if (digits.size() != 2 * sizeof(SQLGUID)) return false;
    unsigned char bytes[sizeof(SQLGUID)];
    for (size_t i = 0; i < sizeof bytes; ++i)
        bytes[i] = static_cast<unsigned char>(HexValue(digits[2 * i]) << 4 | HexValue(digits[2 * i + 1]));
    SQLGUID guid;
    std::memcpy(&guid, bytes, sizeof guid);
    char text[40];
    std::snprintf(text, sizeof text, "'%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X'",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    out += text;
    return true;
}

SpecialNumber SpecialNumberOf(std::string_view text, int sqlType) noexcept {
    if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return SpecialNumber::None;
    const bool negative = text[0] == '-';
    std::string_view word = negative || text[0] == '+' ? text.substr(1) : text;
    if (EqualsFolded(word, "NaN")) return SpecialNumber::NaN;
    if (EqualsFolded(word, "Infinity") || EqualsFolded(word, "Inf"))
        return negative ? SpecialNumber::NegativeInfinity : SpecialNumber::Infinity;
    if (negative && IsFloatingSqlType(sqlType) && word.find_first_not_of("0.") == std::string_view::npos &&
        word.find('0') != std::string_view::npos)
        return SpecialNumber::NegativeZero;
    return SpecialNumber::None;
}

const char* SpecialNumberName(SpecialNumber value) noexcept {
    switch (value) {
    case SpecialNumber::NaN:
        return "NaN";
    case SpecialNumber::Infinity:
        return "Infinity";
    case SpecialNumber::NegativeInfinity:
        return "-Infinity";
    case SpecialNumber::NegativeZero:
        return "-0";
    default:
        return "";
    }
}

bool AppendSpecialNumber(SpecialNumber value, Dialect dialect, std::string& out) {
    if (value == SpecialNumber::None) return false;
    switch (dialect) {
    case Dialect::POSTGRESQL:
        // Typed: an untyped 'NaN' among numbers of a multi-row VALUES would be read as numeric,
        // which has no negative zero.
        out += '\'';
        out += SpecialNumberName(value);
        out += "'::float8";
        return true;
    case Dialect::SQLITE:
        // SQLite reads a number beyond the double's range as an infinity; it stores NaN as NULL
        // and negative zero as zero.
        if (value != SpecialNumber::Infinity && value != SpecialNumber::NegativeInfinity) return false;
        out += value == SpecialNumber::Infinity ? "9e999" : "-9e999";
        return true;
    case Dialect::ORACLE:
        if (value == SpecialNumber::NegativeZero) return false;
        out += value == SpecialNumber::NaN                ? "BINARY_DOUBLE_NAN"
               : value == SpecialNumber::Infinity         ? "BINARY_DOUBLE_INFINITY"
                                                          : "-BINARY_DOUBLE_INFINITY";
        return true;
    default:
        return false;
    }
}

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

} // namespace marlix
