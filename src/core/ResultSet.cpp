#include "core/ResultSet.h"
#include "core/HexDigits.h"

#include "core/CaseFold.h"
#include "core/CustomMemoryException.h"
#include "core/DisplayWidth.h"
#include "core/HistoryOutput.h"
#include "core/ODBCException.h"
#include "core/SyntaxException.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace marlix {
namespace {

// Character and binary columns whose declared size is unknown (0) or huge are bound like
// long columns; longer values are completed with SQLGetData when they arrive.
constexpr SQLULEN kLargestSizedBuffer = 65535;
constexpr int32_t kLongBufferSize = 8000;
constexpr int32_t kOtherBufferSize = 64;

// A display length as the statistics keep it; values of gigabytes stay clear of overflow in the
// widths computed from it.
int32_t ClampedLength(size_t length) noexcept {
    return static_cast<int32_t>(std::min<size_t>(length, INT32_MAX / 4));
}

bool IsFloatingSqlType(int sqlType) noexcept {
    return sqlType == SQL_FLOAT || sqlType == SQL_REAL || sqlType == SQL_DOUBLE;
}

int32_t BindBufferSize(int sqlType, SQLULEN columnSize) {
    switch (sqlType) {
    case SQL_WLONGVARCHAR:
    case SQL_LONGVARBINARY:
    case SQL_LONGVARCHAR:
        return kLongBufferSize;
    case SQL_WVARCHAR:
    case SQL_WCHAR:
    case SQL_VARBINARY:
    case SQL_BINARY:
    case SQL_CHAR:
    case SQL_VARCHAR:
        if (columnSize == 0 || columnSize > kLargestSizedBuffer) return kLongBufferSize;
        return static_cast<int32_t>(columnSize) + 1;
    default:
        return kOtherBufferSize;
    }
}

} // namespace

ResultSet::ResultSet(int columnCount, int rowLimit, int sizeLimitMB, ConversionDescription description,
                     int statementPosition)
    : columnCount_(columnCount), rowLimit_(rowLimit), sizeLimitMB_(sizeLimitMB),
      statementPosition_(statementPosition), description_(std::move(description)),
      overflow_(static_cast<size_t>(std::max(columnCount, 0))) {
    exactValues = description_.literals == LiteralStyle::Exact;
    columns_.reserve(overflow_.size());
}

ResultSet::~ResultSet() = default;

void ResultSet::DescribeAndBind(SQLHSTMT statement, int position) {
    for (int c = 0; c < columnCount_; ++c) {
        auto column = std::make_unique<ColumnDescriptor>();
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN columnSize = 0;
        SQLRETURN rc = SQLDescribeCol(statement, static_cast<SQLUSMALLINT>(c + 1), name, 255, &nameLength,
                                      &sqlType, &columnSize, &digits, &nullable);
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, position);

        size_t copied = std::min<size_t>(std::strlen(reinterpret_cast<char*>(name)), 255);
        std::memcpy(column->name, name, copied);
        column->name[copied] = '\0';
        column->nameLength = static_cast<int16_t>(copied);
        column->sqlType = sqlType;
        column->columnSize = static_cast<uint32_t>(std::min<SQLULEN>(columnSize, UINT32_MAX));
        column->decimalDigits = digits;
        column->nullable = nullable;
        column->bufferSize = BindBufferSize(sqlType, columnSize);
        column->buffer = std::make_unique<char[]>(static_cast<size_t>(column->bufferSize));
        // Text tables count widths in the columns a terminal shows, not in bytes.
        column->maxLength = column->width = static_cast<int32_t>(DisplayWidth(column->Name())) + 2;
        using StoredAs = ColumnDescriptor::StoredAs;
        // Floating-point values are read as doubles whatever the literals: drivers' own texts keep
        // fewer digits than the value has.
        column->storedAs = exactValues && column->IsDateTime()          ? StoredAs::DateTimeText
                           : column->IsDateTime()                       ? StoredAs::Timestamp
                           : ColumnDescriptor::IsBinaryType(sqlType)    ? StoredAs::HexText
                           : ColumnDescriptor::IsCharacterType(sqlType) ? StoredAs::CharacterText
                           : IsFloatingSqlType(sqlType)                 ? StoredAs::RoundTripText
                                                                        : StoredAs::Text;

        if (exactValues && sqlType == SQL_TYPE_TIMESTAMP) {
            SQLCHAR typeName[64] = {};
            SQLSMALLINT typeNameLength = 0;
            if (Succeeded(SQLColAttribute(statement, static_cast<SQLUSMALLINT>(c + 1), SQL_DESC_TYPE_NAME,
                                          typeName, sizeof typeName, &typeNameLength, nullptr))) {
                const std::string_view type(reinterpret_cast<char*>(typeName));
                if (EqualsFolded(type, "timestamptz") || ContainsFolded(type, "with time zone"))
                    column->zone = ColumnDescriptor::Zone::Unknown;
            }
        }

        std::string_view columnName = column->Name();
        if (!columnList_.empty()) columnList_ += ", ";
        columnList_ += columnName;
        columnNames_.emplace_back(columnName);
        bool isKey = std::any_of(description_.keyFields.begin(), description_.keyFields.end(),
                                 [&](const std::string& key) { return EqualsFolded(key, columnName); });
        (isKey ? keyColumns_ : otherColumns_).push_back(c);

        ColumnDescriptor& bound = *column;
        columns_.push_back(std::move(column));
        BindColumn(statement, c, bound, position);
    }
}

std::unique_ptr<ResultSet> ResultSet::UnboundCopy() const {
    auto copy = std::make_unique<ResultSet>(columnCount_, rowLimit_, sizeLimitMB_, description_, statementPosition_);
    copy->fetchThrough = fetchThrough;
    copy->exactValues = exactValues;
    copy->columnList_ = columnList_;
    copy->columnNames_ = columnNames_;
    copy->keyColumns_ = keyColumns_;
    copy->otherColumns_ = otherColumns_;
    for (const auto& from : columns_) {
        auto column = std::make_unique<ColumnDescriptor>();
        std::memcpy(column->name, from->name, sizeof column->name);
        column->nameLength = from->nameLength;
        column->width = from->width;
        column->sqlType = from->sqlType;
        column->columnSize = from->columnSize;
        column->decimalDigits = from->decimalDigits;
        column->nullable = from->nullable;
        column->bufferSize = from->bufferSize;
        column->buffer = std::make_unique<char[]>(static_cast<size_t>(std::max(from->bufferSize, 1)));
        column->maxLength = from->maxLength;
        column->maxQuotes = from->maxQuotes;
        column->maxControls = from->maxControls;
        column->storedAs = from->storedAs;
        column->zone = from->zone;
        column->zeroDateUndelivered = from->zeroDateUndelivered;
        copy->columns_.push_back(std::move(column));
    }
    return copy;
}

void ResultSet::ChooseKeys(std::vector<std::string> keys) {
    description_.keyFields = std::move(keys);
    keyColumns_.clear();
    otherColumns_.clear();
    for (int c = 0; c < static_cast<int>(columnNames_.size()); ++c) {
        const bool isKey = std::any_of(
            description_.keyFields.begin(), description_.keyFields.end(), [&](const std::string& key) {
                const std::size_t dot = key.rfind('.');
                const std::string_view field =
                    dot == std::string::npos ? std::string_view(key) : std::string_view(key).substr(dot + 1);
                return EqualsFolded(field, columnNames_[static_cast<std::size_t>(c)]);
            });
        (isKey ? keyColumns_ : otherColumns_).push_back(c);
    }
}

void ResultSet::BindColumn(SQLHSTMT statement, int index, ColumnDescriptor& column, int position) {
    SQLRETURN rc;
    if (column.storedAs == ColumnDescriptor::StoredAs::Timestamp)
        rc = SQLBindCol(statement, static_cast<SQLUSMALLINT>(index + 1), SQL_C_TYPE_TIMESTAMP,
                        &column.timestamp, sizeof column.timestamp, &column.indicator);
    else if (column.storedAs == ColumnDescriptor::StoredAs::RoundTripText)
        rc = SQLBindCol(statement, static_cast<SQLUSMALLINT>(index + 1), SQL_C_DOUBLE, column.buffer.get(),
                        sizeof(double), &column.indicator);
    else if (column.storedAs == ColumnDescriptor::StoredAs::HexText)
        // The bytes themselves: drivers that convert them to text do it each their own way.
        rc = SQLBindCol(statement, static_cast<SQLUSMALLINT>(index + 1), SQL_C_BINARY, column.buffer.get(),
                        column.bufferSize, &column.indicator);
    else
        rc = SQLBindCol(statement, static_cast<SQLUSMALLINT>(index + 1), SQL_C_CHAR, column.buffer.get(),
                        column.bufferSize, &column.indicator);
    if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, position);
}

void ResultSet::FetchAll(SQLHSTMT statement, int position, HistoryOutput& history) {
    SQLRETURN rc = SQLFetch(statement);
    cutByLimit_ = LimitCut::None;
    // A limit stops the loop only when the server has another row: a result of exactly the
    // limit's size is whole.
    while (rc != SQL_NO_DATA && !CancelRequested()) {
        int64_t rowLimit = rowLimit_ ? rowLimit_ : rowCount_ + 1;
        if (rowCount_ >= rowLimit) {
            cutByLimit_ = LimitCut::Rows;
            break;
        }
        size_t sizeLimit = sizeLimitMB_ ? static_cast<size_t>(sizeLimitMB_) << 20 : cells_.StoredBytes() + 1;
        if (cells_.StoredBytes() >= sizeLimit) {
            cutByLimit_ = LimitCut::Size;
            break;
        }
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, position);
        int c = 0;
        try {
            for (; c < columnCount_; ++c)
                RecordCell(statement, c, *columns_[c]);
        } catch (...) {
            // The cells of the row before the failing one stay recorded; the rows before are whole.
            ThrowValueFailure(std::current_exception(), c, rowCount_ + 1);
        }
        finalRowCount_ = ++rowCount_; // also right after a failed fetch
        if ((rowCount_ & 1023) == 0) ReportProgress();
        rc = SQLFetch(statement);
    }
    finalRowCount_ = rowCount_;
    ReportProgress();

    std::string warning = CutValuesWarning();
    if (!warning.empty()) history.AppendText(warning, false);
    // The warnings follow the limits as the settings state them (a result of exactly the limit's
    // size warns too); CutByLimit says whether rows were really left behind.
    if (rowLimit_ != 0 && rowCount_ >= rowLimit_)
        history.AppendText(
            "Warning: recordset was truncated due a number of rows excceded defined limit of " +
                std::to_string(rowLimit_) + "\r\n",
            false);
    if (sizeLimitMB_ != 0 && cells_.StoredBytes() >= static_cast<size_t>(sizeLimitMB_) << 20)
        history.AppendText("Warning: recordset was truncated due a size of data excceded defined limit of " +
                               std::to_string(sizeLimitMB_) + " MB\r\n",
                           false);
}

void ResultSet::RecordCell(SQLHSTMT statement, int index, ColumnDescriptor& column) {
    using StoredAs = ColumnDescriptor::StoredAs;
    int32_t displayLength;
    if (column.indicator == SQL_NULL_DATA) {
        cells_.AppendCell(true, "NULL", 5);
        displayLength = 4;
    } else if (column.storedAs == StoredAs::Timestamp) {
        cells_.AppendCell(false, &column.timestamp, sizeof column.timestamp);
        displayLength = column.sqlType == SQL_TYPE_TIMESTAMP ? 27 : 14;
    } else if (column.storedAs == StoredAs::DateTimeText) {
        TIMESTAMP_STRUCT value{};
        const std::string_view text = BoundText(statement, index);
        if (ParseDateTimeText(text, DateTimeKindOf(column.sqlType), value)) {
            cells_.AppendCell(false, &value, sizeof value);
        } else {
            // What the structure cannot hold (MariaDB's negative times and zero dates,
            // PostgreSQL's BC timestamps) is kept as the driver's text, never the size of a
            // structure, so that the literal writers tell the two apart.
            const size_t n = text.size() + (text.size() + 1 == sizeof value ? 2 : 1);
            char* at = cells_.AppendCell(false, n);
            std::memset(at, 0, n);
            std::memcpy(at, text.data(), text.size());
        }
        displayLength = std::max<int32_t>(column.sqlType == SQL_TYPE_TIMESTAMP ? 27 : 14,
                                          ClampedLength(text.size()));
    } else {
        std::string_view text = BoundText(statement, index);
        const size_t n = text.size();
        if (column.storedAs == StoredAs::HexText) {
            char* at = cells_.AppendCell(false, 2 * n + 3);
            at[0] = '0';
            at[1] = 'x';
            WriteHexDigits(text, at + 2);
            at[2 * n + 2] = '\0';
            displayLength = ClampedLength(2 * n + 2);
        } else {
            char* at = cells_.AppendCell(false, n + 1);
            std::memcpy(at, text.data(), n);
            at[n] = '\0';
            if (column.storedAs == StoredAs::CharacterText) {
                int32_t quotes = 0, controls = 0;
                unsigned char high = 0;
                for (char ch : text) {
                    auto u = static_cast<unsigned char>(ch);
                    quotes += (u == '\'');
                    controls += (u - 1u < 31u); // codes 1 to 31
                    high |= u;
                }
                if (quotes > column.maxQuotes) column.maxQuotes = quotes;
                if (controls > column.maxControls) column.maxControls = controls;
                // ASCII text is as wide as it is long; other text is measured in columns.
                const size_t width = high < 0x80 ? n : DisplayWidth(text);
                displayLength = ClampedLength(width + 2);
            } else {
                displayLength = ClampedLength(n);
            }
        }
    }
    if (displayLength > column.maxLength) column.maxLength = column.width = displayLength;
}

void ResultSet::ThrowValueFailure(std::exception_ptr failure, int column, int64_t row) const {
    try {
        std::rethrow_exception(failure);
    } catch (CCustomMemoryException& e) {
        if (column >= 0) e.SetValue(std::string(columns_[column]->Name()), row);
        throw;
    } catch (const std::bad_alloc&) {
        CCustomMemoryException e(CCustomMemoryException::kExhausted);
        if (column >= 0) e.SetValue(std::string(columns_[column]->Name()), row);
        throw e;
    }
}

std::string_view ResultSet::CompleteBoundText(SQLHSTMT statement, int column) {
    ColumnDescriptor& c = *columns_[column];
    const auto capacity = static_cast<SQLLEN>(c.bufferSize - 1);

    // The value is longer than its bind buffer (or of unknown length). Read it whole again
    // with SQLGetData where the driver allows that on a bound column; never cut it silently.
    if (completeBound_ != 0) {
        std::string& whole = overflow_[static_cast<size_t>(column)];
        whole.clear();
        bool complete = false;
        char chunk[16384];
        for (;;) {
            SQLLEN length = 0;
            const bool binary = c.storedAs == ColumnDescriptor::StoredAs::HexText;
            SQLRETURN rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(column + 1),
                                      binary ? SQL_C_BINARY : SQL_C_CHAR, chunk, sizeof chunk, &length);
            if (rc == SQL_NO_DATA) {
                complete = true;
                break;
            }
            if (!Succeeded(rc)) break;
            // Character data ends each piece with a NUL; binary data does not.
            const size_t room = binary ? sizeof chunk : sizeof chunk - 1;
            size_t piece = (length == SQL_NO_TOTAL || length > static_cast<SQLLEN>(room))
                               ? room
                               : static_cast<size_t>(std::max<SQLLEN>(length, 0));
            whole.append(chunk, piece);
            if (rc == SQL_SUCCESS) {
                complete = true;
                break;
            }
            // A driver that tells the length left gets one read into the value's own memory:
            // a value of many megabytes is not read 16 KiB at a time into a growing copy.
            if (length != SQL_NO_TOTAL && length > static_cast<SQLLEN>(piece)) {
                const auto rest = static_cast<size_t>(length) - piece;
                const size_t have = whole.size();
                whole.resize(have + rest + 1);
                SQLLEN got = 0;
                rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(column + 1),
                                binary ? SQL_C_BINARY : SQL_C_CHAR, whole.data() + have,
                                static_cast<SQLLEN>(rest + 1), &got);
                if (rc == SQL_SUCCESS && got >= 0 && static_cast<size_t>(got) <= rest) {
                    whole.resize(have + static_cast<size_t>(got));
                    complete = true;
                    break;
                }
                // Not what the length promised: keep what arrived and go on piece by piece.
                if (!Succeeded(rc)) {
                    whole.resize(have);
                    break;
                }
                const size_t arrived = got == SQL_NO_TOTAL || got > static_cast<SQLLEN>(rest)
                                           ? rest
                                           : static_cast<size_t>(std::max<SQLLEN>(got, 0));
                whole.resize(have + arrived);
                if (rc == SQL_SUCCESS) {
                    complete = true;
                    break;
                }
            }
        }
        if (complete) {
            completeBound_ = 1;
            return whole;
        }
        if (completeBound_ < 0) completeBound_ = 0;
    }
    ++c.cutValues;
    return {c.buffer.get(), static_cast<size_t>(std::max<SQLLEN>(capacity, 0))};
}

std::string_view ResultSet::RoundTripText(const ColumnDescriptor& column) noexcept {
    double value;
    std::memcpy(&value, column.buffer.get(), sizeof value);
    char* const text = column.buffer.get() + sizeof value;
    char* const end = column.buffer.get() + column.bufferSize;
    // The words SQL servers read back (quoted) as the special values.
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    // A single-precision column's value is a float: it is written with the fewest digits that
    // read back as the same float (3.1415927, not 3.1415927410125732). Drivers that read the
    // server's shortest text of the float into a double deliver the double nearest that text,
    // not the float itself (3.4028235e+38 for the float's largest value).
    // Beyond half a step past the largest float the value is no float's at all.
    constexpr float kLargest = std::numeric_limits<float>::max();
    if (column.sqlType == SQL_REAL && std::fabs(value) < 3.4028235677973366e+38) {
        const float single = std::fabs(value) <= kLargest ? static_cast<float>(value)
                             : value > 0                  ? kLargest
                                                          : -kLargest;
        const size_t n = ShortestFloatText(single, text, static_cast<size_t>(end - text));
        if (n != 0) return {text, n};
    }
    const std::to_chars_result r = std::to_chars(text, end, value);
    return {text, static_cast<size_t>(r.ptr - text)};
}

std::string_view ResultSet::CheckedRoundTripText(SQLHSTMT statement, int column) {
    const ColumnDescriptor& c = *columns_[column];
    const std::string_view text = RoundTripText(c);
    if (text != "Infinity" && text != "-Infinity") return text;
    char delivered[64] = {};
    SQLLEN length = 0;
    if (!Succeeded(SQLGetData(statement, static_cast<SQLUSMALLINT>(column + 1), SQL_C_CHAR, delivered,
                              sizeof delivered, &length)))
        return text;
    const std::string_view digits(delivered);
    const size_t first = digits.find_first_not_of("+-");
    if (first == std::string_view::npos || digits[first] < '0' || digits[first] > '9') return text;
    throw CSyntaxException(0, "Cannot read the value of column " + std::string(c.Name()) +
                                  " exactly: the driver delivers " + std::string(digits) +
                                  ", beyond the range of a double");
}

size_t ResultSet::ShortestFloatText(float value, char* text, size_t room) noexcept {
    // Servers read a number literal as a double and then round it to the column's float
    // (MariaDB); the shortest text as a float may lie beyond the float's range as a double
    // (3.4028235e+38 > FLT_MAX), which such a server refuses. Each candidate is therefore
    // checked both ways, within range.
    char format[8];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(format, sizeof format, "%%.%dg", digits);
        const int n = std::snprintf(text, room, format, static_cast<double>(value));
        if (n <= 0 || static_cast<size_t>(n) >= room) return 0;
        const double asDouble = std::strtod(text, nullptr);
        if (std::strtof(text, nullptr) == value && static_cast<float>(asDouble) == value &&
            std::fabs(asDouble) <= std::numeric_limits<float>::max())
            return static_cast<size_t>(n);
    }
    // The double's digits of the float itself (its largest value as 3.4028234663852886e+38).
    const std::to_chars_result r = std::to_chars(text, text + room, static_cast<double>(value));
    return r.ec == std::errc() ? static_cast<size_t>(r.ptr - text) : 0;
}

bool ResultSet::ParseDateTimeText(std::string_view text, DateTimeKind kind, TIMESTAMP_STRUCT& ts) noexcept {
    size_t i = 0;
    auto number = [&](size_t maxDigits, uint32_t& value) {
        const size_t start = i;
        value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < maxDigits)
            value = value * 10 + static_cast<uint32_t>(text[i++] - '0');
        return i > start;
    };
    auto expect = [&](char c) { return i < text.size() && text[i++] == c; };
    TIMESTAMP_STRUCT value{};
    if (kind != DateTimeKind::Time) {
        uint32_t year, month, day;
        // A year 0 is no year of the calendar: a zero date, or a driver's BC date.
        if (!number(4, year) || year == 0 || !expect('-') || !number(2, month) || month < 1 || month > 12 ||
            !expect('-') || !number(2, day) || day < 1 || static_cast<int>(day) > DaysInMonth(int(year), int(month)))
            return false;
        value.year = static_cast<SQLSMALLINT>(year);
        value.month = static_cast<SQLUSMALLINT>(month);
        value.day = static_cast<SQLUSMALLINT>(day);
        if (i == text.size()) {
            ts = value;
            return true;
        }
        if (kind == DateTimeKind::Date || (text[i] != ' ' && text[i] != 'T')) return false;
        ++i;
    }
    // A time of day; a time value may pass 24 hours (MariaDB's TIME), a timestamp's may not.
    uint32_t hour, minute, second = 0, fraction = 0;
    if (!number(kind == DateTimeKind::Time ? 5 : 2, hour) || hour > (kind == DateTimeKind::Time ? 65535u : 23u) ||
        !expect(':') || !number(2, minute) || minute > 59)
        return false;
    if (i < text.size() && text[i] == ':' && (++i, !number(2, second) || second > 61)) return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const size_t start = i;
        if (!number(9, fraction)) return false;
        for (size_t digits = i - start; digits < 9; ++digits)
            fraction *= 10;
    }
    if (i != text.size()) return false;
    value.hour = static_cast<SQLUSMALLINT>(hour);
    value.minute = static_cast<SQLUSMALLINT>(minute);
    value.second = static_cast<SQLUSMALLINT>(second);
    value.fraction = fraction;
    ts = value;
    return true;
}

TIMESTAMP_STRUCT ResultSet::BoundTimestamp(const ColumnDescriptor& column) noexcept {
    if (column.storedAs != ColumnDescriptor::StoredAs::DateTimeText) return column.timestamp;
    TIMESTAMP_STRUCT value{};
    ParseDateTimeText(BoundDateTimeText(column), DateTimeKindOf(column.sqlType), value);
    return value;
}

std::string_view ResultSet::BoundDateTimeText(const ColumnDescriptor& column) noexcept {
    if (column.indicator < 0 || column.indicator >= column.bufferSize) return {};
    return {column.buffer.get(), static_cast<size_t>(column.indicator)};
}

std::string ResultSet::CutValuesWarning() const {
    std::string columns;
    int64_t total = 0;
    for (const auto& c : columns_) {
        if (c->cutValues == 0) continue;
        if (!columns.empty()) columns += ", ";
        columns += c->Name();
        columns += " (" + std::to_string(c->cutValues) + ")";
        total += c->cutValues;
    }
    if (total == 0) return {};
    return "Warning: " + std::to_string(total) +
           " value(s) arrived longer than the driver could deliver and were stored cut, in column(s) " +
           columns + "\r\n";
}

TIMESTAMP_STRUCT ResultSet::Timestamp(int64_t row, int column) const noexcept {
    TIMESTAMP_STRUCT ts{};
    CellRef cell = Cell(row, column);
    if (!cell.isNull && cell.length == sizeof ts) std::memcpy(&ts, cell.data, sizeof ts);
    return ts;
}

std::string ResultSet::RowsSelectedText() const {
    return std::to_string(rowCount_ - deletedRowCount) + " row(s) selected \r\n";
}

} // namespace marlix
