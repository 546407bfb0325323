#pragma once
// Dates and times as text: the program's own pattern letters, the per-dialect literal forms,
// the ODBC escape form, the user's locale form, and the reading of dates typed by the user.
#include "core/DialectSettings.h"
#include "core/UserLocale.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace marlix {

// What a date/time value holds; the codes are those of the formatter's callers.
enum class DateTimeKind : int { Date = 0, Time = 1, DateTime = 2 };

// Formatting modes beyond the dialect codes (kept clear of them as dialects are added).
inline constexpr int kOdbcEscapeMode = 64; // {d '...'}, {t '...'}, {ts '...'}
inline constexpr int kLocaleMode = 65;     // the user's locale, for display

// ParseDateTime results.
inline constexpr int kParsedDate = 0;
inline constexpr int kParsedDateTime = 2;
inline constexpr int kParseInvalid = -1;

// The kind of a date/time SQL type; DateTime for any other type.
DateTimeKind DateTimeKindOf(int sqlType) noexcept;

// Appends value with at least `width` digits (leading zeros), '-' first when negative; a
// longer number is written whole.
void AppendPaddedNumber(int64_t value, int width, std::string& out);

// Appends the pattern with each pattern letter replaced by its part of the timestamp:
// Y year (4+ digits), y year % 100, m month, d day, H hour, I 12-hour clock hour, M minute,
// S second, s milliseconds, p AM/PM, b jan..dec, B January..December; all else is copied,
// and text between double quotes is copied without its quotes, letters included (so a pattern
// can write a keyword: "TIMESTAMP '"Y-m-d).
void ExpandDatePattern(const TIMESTAMP_STRUCT& timestamp, std::string_view pattern, std::string& out);

// Appends the value in the form of `mode`: a dialect code (that dialect's record of
// `settings`), kOdbcEscapeMode or kLocaleMode (the user's locale, with the Generic record's
// flags). quoted asks for a literal (apostrophes where the dialect wants them).
void FormatDateTime(const TIMESTAMP_STRUCT& timestamp, int mode, DateTimeKind kind, std::string& out,
                    bool quoted, const DialectSettingsSet& settings);
void FormatDateTime(const TIMESTAMP_STRUCT& timestamp, int mode, DateTimeKind kind, std::string& out,
                    bool quoted, const DialectSettingsSet& settings, const UserLocale& locale);

// Appends '.' and the digits of a fraction of a second given in nanoseconds, trailing zeros left
// out; nothing when it is zero.
void AppendSecondFraction(uint32_t nanoseconds, std::string& out);

// Appends the exact literal of a date/time value for `dialect`: every digit of it, in a form the
// target reads whatever its session's date settings (the dialect's own date settings do not
// apply). A time value is a time of day; its date fields are not written.
void FormatExactDateTime(const TIMESTAMP_STRUCT& timestamp, Dialect dialect, DateTimeKind kind,
                         std::string& out);

// Reads a date, optionally followed by a time, in the order of the user's locale (its display
// form, AM/PM after the minutes or seconds on a 12-hour clock) or in ISO 8601 order
// (2024-04-01, 2024-04-01 14:30:00 or 2024-04-01T14:30:00.5; seconds and a fraction of up to
// nine digits optional). Returns
// kParsedDate, kParsedDateTime, or kParseInvalid (timestamp then unchanged).
int ParseDateTime(std::string_view text, TIMESTAMP_STRUCT& timestamp);
int ParseDateTime(std::string_view text, TIMESTAMP_STRUCT& timestamp, const UserLocale& locale);

// The Gregorian calendar: divisible by 4, except centuries not divisible by 400.
constexpr bool IsLeapYear(int year) noexcept {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}
int DaysInMonth(int year, int month) noexcept;

} // namespace marlix
