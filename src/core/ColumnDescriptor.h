#pragma once
// One column of a result: what the driver described, its bind buffer, and the statistics of
// the values seen so far that decide text widths and literal sizes.
#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <memory>
#include <string>

namespace marlix {

// Bit, integer, decimal and floating-point columns: numbers in loader texts, right-aligned in grids.
constexpr bool IsNumericSqlType(int sqlType) noexcept {
    switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_BIGINT:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
        return true;
    default:
        return false;
    }
}

struct ColumnDescriptor {
    char name[256] = {};
    std::string valueText; // scratch text of the last value formatted for this column
    int32_t width = 0;
    int16_t nameLength = 0;
    int16_t sqlType = 0;
    uint32_t columnSize = 0;
    int16_t decimalDigits = 0;
    int16_t nullable = 0;
    std::unique_ptr<char[]> buffer;
    SQLLEN indicator = 0;
    int32_t bufferSize = 0;
    int32_t maxLength = 0;
    int32_t maxQuotes = 0;
    int32_t maxControls = 0;
    TIMESTAMP_STRUCT timestamp = {};
    int32_t quotedFor = -1;
    std::string quotedName;
    std::string quotedShortName;
    // How a value of this column is stored, decided once from sqlType when it is bound.
    // RoundTripText, a floating-point value fetched as a double and
    // stored as the shortest text that reads back as the same number (whatever the literals);
    // DateTimeText, a date/time value fetched as the driver's text (drivers drop the fraction of
    // a second of a time, and MariaDB's negative times and zero dates, when they convert to a
    // timestamp structure) and stored as a timestamp structure, or as that text where the
    // structure cannot hold it (see ResultSet::ParseDateTimeText).
    enum class StoredAs : uint8_t { Text, CharacterText, HexText, Timestamp, RoundTripText, DateTimeText };
    StoredAs storedAs = StoredAs::Text;
    // A timestamp with a time zone (PostgreSQL's timestamptz), described under exact literals:
    // its driver delivers it in the session's time zone, without the offset. Utc once the
    // session's zone is known to be UTC, so the values can be written with their offset.
    enum class Zone : uint8_t { None, Unknown, Utc };
    Zone zone = Zone::None;
    // A date column of a server without zero dates whose driver delivers 0000-00-00 for a value
    // it cannot convert (psqlODBC, for PostgreSQL's infinite dates).
    bool zeroDateUndelivered = false;
    // Values of this column that arrived longer than the bind buffer and could not be
    // completed with SQLGetData, so their stored text is cut.
    int64_t cutValues = 0;

    std::string_view Name() const noexcept { return {name, static_cast<size_t>(nameLength)}; }
    bool IsLong() const noexcept { return IsLongType(sqlType); }
    bool IsDateTime() const noexcept {
        return sqlType == SQL_TYPE_DATE || sqlType == SQL_TYPE_TIME || sqlType == SQL_TYPE_TIMESTAMP;
    }

    static bool IsLongType(int sqlType) noexcept {
        return sqlType == SQL_WLONGVARCHAR || sqlType == SQL_LONGVARBINARY || sqlType == SQL_LONGVARCHAR;
    }
    static bool IsBinaryType(int sqlType) noexcept {
        return sqlType == SQL_GUID || sqlType == SQL_LONGVARBINARY || sqlType == SQL_VARBINARY ||
               sqlType == SQL_BINARY;
    }
    // The six character types whose values count apostrophes and control characters.
    static bool IsCharacterType(int sqlType) noexcept {
        return sqlType == SQL_WLONGVARCHAR || sqlType == SQL_WVARCHAR || sqlType == SQL_WCHAR ||
               sqlType == SQL_LONGVARCHAR || sqlType == SQL_CHAR || sqlType == SQL_VARCHAR;
    }
};

} // namespace marlix
