#include "core/DateTimeText.h"

#include "core/CaseFold.h"

#include <cstdlib>
#include <cstring>

namespace marlix {
namespace {

constexpr const char* kShortMonths[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
constexpr const char* kLongMonths[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

void AppendDatePart(const TIMESTAMP_STRUCT& ts, std::string_view datePattern, std::string_view timePattern,
                    DateTimeKind kind, std::string& out) {
    if (kind != DateTimeKind::Time) ExpandDatePattern(ts, datePattern, out);
    if (kind == DateTimeKind::DateTime) out += ' ';
    if (kind != DateTimeKind::Date) ExpandDatePattern(ts, timePattern, out);
}

void FormatOdbcEscape(const TIMESTAMP_STRUCT& ts, DateTimeKind kind, std::string& out) {
    out += kind == DateTimeKind::Date ? "{d '" : kind == DateTimeKind::Time ? "{t '" : "{ts '";
    AppendDatePart(ts, "Y-m-d", "H:M:S.s", kind, out);
    out += "'}";
}

// The display form of the user's locale. The column's kind decides what is shown (a date
// column shows no time, a time column no date); the time is left out of a date-and-time value at
// midnight, but a time value always shows at least hours and minutes.
void FormatLocale(const TIMESTAMP_STRUCT& ts, DateTimeKind kind, std::string& out, bool quoted,
                  const DialectSettings& generic, const UserLocale& locale) {
    const bool quote = quoted && generic.datesInQuotes;
    const char* datePattern = locale.dateOrder == 1 ? "d.m.Y" : locale.dateOrder == 2 ? "Y.m.d" : "m.d.Y";

    bool hasTime = ts.hour || ts.minute || ts.second || ts.fraction;
    bool writeTime = kind == DateTimeKind::Time || (kind == DateTimeKind::DateTime && hasTime);
    char timePattern[16];
    size_t n = 0;
    if (writeTime) {
        for (char c : std::string_view(locale.twelveHourClock ? "I:M" : "H:M"))
            timePattern[n++] = c;
        if (ts.second || ts.fraction) timePattern[n++] = ':', timePattern[n++] = 'S';
        if (ts.fraction) timePattern[n++] = '.', timePattern[n++] = 's';
        // AM/PM closes the time, after any seconds, so the text reads as a clock time.
        if (locale.twelveHourClock && locale.spaceBeforeAmPm) timePattern[n++] = ' ';
        if (locale.twelveHourClock) timePattern[n++] = 'p';
    }

    if (quote) out += '\'';
    if (kind != DateTimeKind::Time) ExpandDatePattern(ts, datePattern, out);
    if (kind == DateTimeKind::DateTime && writeTime) out += ' ';
    if (writeTime) ExpandDatePattern(ts, std::string_view(timePattern, n), out);
    if (quote) out += '\'';
}

// Reads a run of digits at text[pos]; false when there is none or it is too long to be a field.
bool ReadNumber(std::string_view text, size_t& pos, int& value) {
    size_t start = pos;
    int v = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (pos - start >= 9) return false;
        v = v * 10 + (text[pos] - '0');
        ++pos;
    }
    value = v;
    return pos > start;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes value with at least width digits (at most 64 leading zeros) and moves `at` past it.
void PutPaddedNumber(char*& at, int64_t value, int width) {
    // The usual date fields: two, three or four digits that fit their width.
    if (value >= 0 && width >= 2 && width <= 4 && value < (width == 2 ? 100 : width == 3 ? 1000 : 10000)) {
        auto v = static_cast<unsigned>(value);
        for (int i = width - 1; i >= 0; --i, v /= 10)
            at[i] = static_cast<char>('0' + v % 10);
        at += width;
        return;
    }
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *at++ = '-';
    for (int i = n; i < width; ++i)
        *at++ = '0';
    while (n > 0)
        *at++ = digits[--n];
}

void PutText(char*& at, const char* text) {
    size_t n = std::strlen(text);
    std::memcpy(at, text, n);
    at += n;
}

} // namespace

DateTimeKind DateTimeKindOf(int sqlType) noexcept {
    if (sqlType == SQL_TYPE_DATE) return DateTimeKind::Date;
    if (sqlType == SQL_TYPE_TIME) return DateTimeKind::Time;
    return DateTimeKind::DateTime;
}

void AppendPaddedNumber(int64_t value, int width, std::string& out) {
    char text[24];
    char* at = text;
    PutPaddedNumber(at, value, 0);
    const size_t sign = value < 0 ? 1 : 0;
    const auto digits = static_cast<int>(at - text - sign);
    out.append(text, sign);
    if (width > digits) out.append(static_cast<size_t>(width - digits), '0');
    out.append(text + sign, static_cast<size_t>(digits));
}

void ExpandDatePattern(const TIMESTAMP_STRUCT& ts, std::string_view pattern, std::string& out) {
    // Dates are formatted for every date value of a conversion: the text is built in a local
    // buffer and appended in pieces, not character by character.
    char buffer[128];
    char* at = buffer;
    bool verbatim = false;
    for (char c : pattern) {
        if (at - buffer > 96) {
            out.append(buffer, static_cast<size_t>(at - buffer));
            at = buffer;
        }
        if (c == '"' || verbatim) {
            if (c == '"')
                verbatim = !verbatim;
            else
                *at++ = c;
            continue;
        }
        switch (c) {
        case 'Y':
            PutPaddedNumber(at, ts.year, 4);
            break;
        case 'y':
            PutPaddedNumber(at, std::abs(ts.year % 100), 2);
            break;
        case 'm':
            PutPaddedNumber(at, ts.month, 2);
            break;
        case 'd':
            PutPaddedNumber(at, ts.day, 2);
            break;
        case 'H':
            PutPaddedNumber(at, ts.hour, 2);
            break;
        case 'I':
            PutPaddedNumber(at, ts.hour < 13 ? ts.hour : ts.hour - 12, 2);
            break;
        case 'M':
            PutPaddedNumber(at, ts.minute, 2);
            break;
        case 'S':
            PutPaddedNumber(at, ts.second, 2);
            break;
        case 's':
            PutPaddedNumber(at, ts.fraction / 1000000, 3);
            break;
        case 'p':
            PutText(at, ts.hour < 12 ? "AM" : "PM");
            break;
        case 'b':
            // A month outside 1..12 (a time value's empty date) has no name.
            if (ts.month >= 1 && ts.month <= 12) PutText(at, kShortMonths[ts.month - 1]);
            break;
        case 'B':
            if (ts.month >= 1 && ts.month <= 12) PutText(at, kLongMonths[ts.month - 1]);
            break;
        default:
            *at++ = c;
            break;
        }
    }
    out.append(buffer, static_cast<size_t>(at - buffer));
}

void FormatDateTime(const TIMESTAMP_STRUCT& ts, int mode, DateTimeKind kind, std::string& out, bool quoted,
                    const DialectSettingsSet& settings) {
    if (mode == kLocaleMode)
        FormatDateTime(ts, mode, kind, out, quoted, settings, CurrentUserLocale());
    else
        FormatDateTime(ts, mode, kind, out, quoted, settings, UserLocale{});
}

void FormatDateTime(const TIMESTAMP_STRUCT& ts, int mode, DateTimeKind kind, std::string& out, bool quoted,
                    const DialectSettingsSet& settings, const UserLocale& locale) {
    if (mode == kOdbcEscapeMode) {
        FormatOdbcEscape(ts, kind, out);
        return;
    }
    if (mode == kLocaleMode) {
        FormatLocale(ts, kind, out, quoted, settings[static_cast<int>(Dialect::GENERIC)], locale);
        return;
    }
    if (mode < 0 || mode >= kDialectCount) mode = static_cast<int>(Dialect::MSSQL);
    const DialectSettings& s = settings[mode];
    if (s.alwaysDateTime) kind = DateTimeKind::DateTime;
    // Access marks date literals with '#' when they are not to be strings.
    const char enclosing = !quoted                                     ? '\0'
                           : s.datesInQuotes                           ? '\''
                           : mode == static_cast<int>(Dialect::ACCESS) ? '#'
                                                                       : '\0';
    if (enclosing) out += enclosing;
    AppendDatePart(ts, s.datePattern, s.timePattern, kind, out);
    if (enclosing) out += enclosing;
}

void AppendSecondFraction(uint32_t nanoseconds, std::string& out) {
    if (nanoseconds == 0) return;
    char digits[16];
    char* at = digits;
    PutPaddedNumber(at, nanoseconds, 9);
    while (at[-1] == '0')
        --at;
    out += '.';
    out.append(digits, static_cast<size_t>(at - digits));
}

void FormatExactDateTime(const TIMESTAMP_STRUCT& ts, Dialect dialect, DateTimeKind kind, std::string& out) {
    // The forms every session of the target reads the same way: ISO 8601 order, never the
    // order of the session's language or NLS settings.
    const bool access = dialect == Dialect::ACCESS;
    const char* datePattern = "Y-m-d";
    const char* separator = " ";
    switch (dialect) {
    case Dialect::MSSQL:
        // SQL Server reads yyyy-mm-dd in the order of the session's language for datetime and
        // smalldatetime columns; yyyymmdd and yyyy-mm-ddThh:mm:ss are read alike everywhere.
        if (kind == DateTimeKind::Date) datePattern = "Ymd";
        separator = "T";
        break;
    case Dialect::ORACLE:
        // Typed literals: a quoted text would be read with the session's NLS date format.
        if (kind == DateTimeKind::Date) out += "DATE ";
        if (kind == DateTimeKind::DateTime) out += "TIMESTAMP ";
        break;
    default:
        break;
    }
    out += access ? '#' : '\'';
    if (kind != DateTimeKind::Time) ExpandDatePattern(ts, datePattern, out);
    if (kind == DateTimeKind::DateTime) out += separator;
    if (kind != DateTimeKind::Date) {
        ExpandDatePattern(ts, "H:M:S", out);
        // Access keeps whole seconds only, and its date literals take no fraction.
        if (!access) AppendSecondFraction(ts.fraction, out);
    }
    out += access ? '#' : '\'';
}

int DaysInMonth(int year, int month) noexcept {
    switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    default:
        return 0;
    }
}

int ParseDateTime(std::string_view text, TIMESTAMP_STRUCT& timestamp) {
    return ParseDateTime(text, timestamp, CurrentUserLocale());
}

int ParseDateTime(std::string_view text, TIMESTAMP_STRUCT& timestamp, const UserLocale& locale) {
    size_t pos = 0;
    int fields[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= text.size() || IsDigit(text[pos])) return kParseInvalid;
            ++pos;
        }
        if (!ReadNumber(text, pos, fields[i])) return kParseInvalid;
    }
    // ISO 8601 (four-digit year, '-') is read whatever the locale's order.
    const bool iso = text.size() > 4 && text[4] == '-' && IsDigit(text[0]) && IsDigit(text[1]) &&
                     IsDigit(text[2]) && IsDigit(text[3]);
    int year, month, day;
    switch (iso ? 2 : locale.dateOrder) {
    case 1:
        day = fields[0], month = fields[1], year = fields[2];
        break;
    case 2:
        year = fields[0], month = fields[1], day = fields[2];
        break;
    default:
        month = fields[0], day = fields[1], year = fields[2];
        break;
    }
    if (year < 50)
        year += 2000;
    else if (year < 100)
        year += 1900;
    else if (year < 1900 || year > 2099)
        return kParseInvalid;
    if (month < 1 || month > 12) return kParseInvalid;
    if (day < 1 || day > DaysInMonth(year, month)) return kParseInvalid;

    TIMESTAMP_STRUCT parsed{};
    parsed.year = static_cast<SQLSMALLINT>(year);
    parsed.month = static_cast<SQLUSMALLINT>(month);
    parsed.day = static_cast<SQLUSMALLINT>(day);
    if (pos == text.size()) {
        timestamp = parsed;
        return kParsedDate;
    }

    ++pos; // the separator between date and time (a blank, or ISO's 'T')
    int hour, minute, second = 0;
    uint32_t nanoseconds = 0;
    if (!ReadNumber(text, pos, hour)) return kParseInvalid;
    if (pos >= text.size() || text[pos] != ':') return kParseInvalid;
    ++pos;
    if (!ReadNumber(text, pos, minute) || minute > 59) return kParseInvalid;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadNumber(text, pos, second) || second > 59) return kParseInvalid;
    }
    if (pos < text.size() && text[pos] == '.') {
        // A fraction of a second of up to nine digits: ".5" is half a second.
        const size_t start = ++pos;
        int digits = 0;
        if (!ReadNumber(text, pos, digits)) return kParseInvalid;
        nanoseconds = static_cast<uint32_t>(digits);
        for (size_t width = pos - start; width < 9; ++width)
            nanoseconds *= 10;
    }

    // AM/PM closes a 12-hour time, after the minutes or the seconds, with or without a blank.
    auto at = [&](size_t i) { return i < text.size() ? FoldCase(text[i]) : '\0'; };
    const size_t amPm = at(pos) == ' ' ? pos + 1 : pos;
    if (locale.twelveHourClock && (at(amPm) == 'A' || at(amPm) == 'P') && at(amPm + 1) == 'M') {
        bool pm = at(amPm) == 'P';
        pos = amPm + 2;
        if (pos != text.size() || hour < 1 || hour > 12) return kParseInvalid;
        if (pm)
            hour = hour == 12 ? 12 : hour + 12;
        else
            hour = hour == 12 ? 0 : hour;
    } else if (hour > 23 || pos != text.size()) {
        return kParseInvalid;
    }
    parsed.hour = static_cast<SQLUSMALLINT>(hour);
    parsed.minute = static_cast<SQLUSMALLINT>(minute);
    parsed.second = static_cast<SQLUSMALLINT>(second);
    parsed.fraction = nanoseconds;
    timestamp = parsed;
    return kParsedDateTime;
}

} // namespace marlix
