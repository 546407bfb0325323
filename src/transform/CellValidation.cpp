#include "transform/CellValidation.h"

#include "core/DateTimeText.h"

#include <cctype>

namespace marlix {
namespace {

std::string_view Trimmed(std::string_view text) noexcept {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

size_t Digits(std::string_view text, size_t& i) noexcept {
    const size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    return i - start;
}

size_t CharacterCount(std::string_view text) noexcept {
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

// A time column also takes a plain time of day: H:MM or H:MM:SS.
bool ParseTimeOfDay(std::string_view text, TIMESTAMP_STRUCT& ts) noexcept {
    text = Trimmed(text);
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (count < 3) {
        const size_t start = i;
        const size_t n = Digits(text, i);
        if (n == 0 || n > 2) return false;
        parts[count++] = std::stoi(std::string(text.substr(start, n)));
        if (i == text.size()) break;
        if (text[i++] != ':') return false;
    }
    if (i != text.size() || count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
    ts = {};
    ts.hour = static_cast<SQLUSMALLINT>(parts[0]);
    ts.minute = static_cast<SQLUSMALLINT>(parts[1]);
    ts.second = static_cast<SQLUSMALLINT>(parts[2]);
    return true;
}

TIMESTAMP_STRUCT DateOnly(const TIMESTAMP_STRUCT& ts) noexcept {
    TIMESTAMP_STRUCT day{};
    day.year = ts.year;
    day.month = ts.month;
    day.day = ts.day;
    return day;
}

// The forms a date cell reads, with the grid's own form of one example value first.
std::string AcceptedDateForms(int type) {
    TIMESTAMP_STRUCT example{};
    example.year = 2024, example.month = 4, example.day = 1, example.hour = 14, example.minute = 30;
    const DateTimeKind kind = DateTimeKindOf(type);
    if (kind == DateTimeKind::Time) return "Enter a time as 14:30 or 14:30:00.";
    std::string shown;
    FormatDateTime(example, kLocaleMode, kind, shown, false, DefaultDialectSettingsSet());
    return "Enter it as the grid shows it (" + shown + ") or in ISO 8601 order (" +
           (kind == DateTimeKind::Date ? "2024-04-01" : "2024-04-01 14:30:00 or 2024-04-01T14:30:00") + ").";
}

} // namespace

bool IsIntegerText(std::string_view text) noexcept {
    text = Trimmed(text);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    return Digits(text, i) > 0 && i == text.size();
}

bool IsNumberText(std::string_view text) noexcept {
    text = Trimmed(text);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = Digits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += Digits(text, i);
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (Digits(text, i) == 0) return false;
    }
    return i == text.size();
}

bool IsGuidText(std::string_view text) noexcept {
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}') text = text.substr(1, text.size() - 2);
    int digits = 0;
    char previous = 0;
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        // PostgreSQL takes a hyphen after any group of four digits, never two in a row.
        if (c == '-' && previous != '-' && digits > 0 && digits % 4 == 0 && digits < 32) {
            previous = c;
            continue;
        }
        if (!hex) return false;
        ++digits;
        previous = c;
    }
    return digits == 32 && previous != '-';
}

bool HasControlCharacters(std::string_view text) noexcept {
    for (unsigned char c : text)
        if (c < 32 || c == 127) return true;
    return false;
}

CheckedCell CheckCellText(const ColumnDescriptor& column, std::string_view text) {
    CheckedCell result;
    const int type = column.sqlType;
    if (type == SQL_GUID) {
        // A uuid is typed as its text; the server reads the forms checked here.
        if (IsGuidText(text))
            result.accepted = true;
        else
            result.message = "Invalid uuid format: 32 hexadecimal digits, as in "
                             "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11";
    } else if (ColumnDescriptor::IsBinaryType(type)) {
        result.message = "Changing of Binary data here currently unsupported";
    } else if (ColumnDescriptor::IsCharacterType(type)) {
        // Long types report no useful size; only a real limit is enforced.
        if (column.columnSize > 0 && !column.IsLong() && CharacterCount(text) > column.columnSize)
            result.message =
                "The value entered exceed maximum length of " + std::to_string(column.columnSize);
        else
            result.accepted = true;
    } else if (type == SQL_BIT || type == SQL_TINYINT || type == SQL_BIGINT || type == SQL_INTEGER ||
               type == SQL_SMALLINT) {
        if (IsIntegerText(text))
            result.accepted = true;
        else
            result.message = "Invalid integer format";
    } else if (type == SQL_NUMERIC || type == SQL_DECIMAL || type == SQL_FLOAT || type == SQL_REAL ||
               type == SQL_DOUBLE) {
        if (IsNumberText(text))
            result.accepted = true;
        else
            result.message = "Invalid number format";
    } else if (column.IsDateTime()) {
        if (ParseDateTime(Trimmed(text), result.timestamp) == kParseInvalid &&
            !(type == SQL_TYPE_TIME && ParseTimeOfDay(text, result.timestamp))) {
            result.message = "Invalid date/time format. " + AcceptedDateForms(type);
        } else {
            result.accepted = true;
            result.isTimestamp = true;
            // A date column keeps the day alone, as the grid shows it.
            if (type == SQL_TYPE_DATE) result.timestamp = DateOnly(result.timestamp);
        }
    } else {
        result.message = "Editing of this data type currently unsupported";
    }
    return result;
}

} // namespace marlix
