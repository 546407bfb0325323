#include "core/ResultSet.h"
#include "core/HexDigits.h"

#include "core/CaseFold.h"
#include "core/CustomMemoryException.h"
#include "core/DisplayWidth.h"
#include "core/HistoryOutput.h"
#include "core/ODBCException.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
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
        column->storedAs = exactValues && sqlType == SQL_TYPE_TIME      ? StoredAs::TimeText
                           : column->IsDateTime()                       ? StoredAs::Timestamp
                           : ColumnDescriptor::IsBinaryType(sqlType)    ? StoredAs::HexText
                           : ColumnDescriptor::IsCharacterType(sqlType) ? StoredAs::CharacterText
                           : exactValues && IsFloatingSqlType(sqlType)  ? StoredAs::RoundTripText
                                                                        : StoredAs::Text;

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
    if (column.IsDateTime() && column.storedAs != ColumnDescriptor::StoredAs::TimeText)
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
    } else if (column.storedAs == StoredAs::Timestamp || column.storedAs == StoredAs::TimeText) {
        TIMESTAMP_STRUCT value = column.timestamp;
        if (column.storedAs == StoredAs::TimeText) {
            value = {};
            // A time the structure cannot hold (MariaDB's negative times) is reported, not hidden.
            if (!ParseTimeOfDay(BoundText(statement, index), value)) ++column.cutValues;
        }
        cells_.AppendCell(false, &value, sizeof value);
        displayLength = column.sqlType == SQL_TYPE_TIMESTAMP ? 27 : 14;
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
    // A single-precision column's value is a float: its shortest text as a float is the one
    // its own server writes (3.1415927, not 3.1415927410125732).
    const auto single = static_cast<float>(value);
    std::to_chars_result r = column.sqlType == SQL_REAL && static_cast<double>(single) == value
                                 ? std::to_chars(text, end, single)
                                 : std::to_chars(text, end, value);
    return {text, static_cast<size_t>(r.ptr - text)};
}

bool ResultSet::ParseTimeOfDay(std::string_view text, TIMESTAMP_STRUCT& ts) noexcept {
    size_t i = 0;
    auto number = [&](size_t maxDigits, uint32_t& value) {
        const size_t start = i;
        value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < maxDigits)
            value = value * 10 + static_cast<uint32_t>(text[i++] - '0');
        return i > start;
    };
    uint32_t hour, minute, fraction = 0;
    uint32_t second = 0;
    if (!number(5, hour) || hour > 65535 || i >= text.size() || text[i++] != ':') return false;
    if (!number(2, minute) || minute > 59) return false;
    if (i < text.size() && text[i] == ':' && (++i, !number(2, second) || second > 61)) return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const size_t start = i;
        if (!number(9, fraction)) return false;
        for (size_t digits = i - start; digits < 9; ++digits)
            fraction *= 10;
    }
    if (i != text.size()) return false;
    ts.hour = static_cast<SQLUSMALLINT>(hour);
    ts.minute = static_cast<SQLUSMALLINT>(minute);
    ts.second = static_cast<SQLUSMALLINT>(second);
    ts.fraction = fraction;
    return true;
}

TIMESTAMP_STRUCT ResultSet::BoundTimestamp(const ColumnDescriptor& column) noexcept {
    if (column.storedAs != ColumnDescriptor::StoredAs::TimeText) return column.timestamp;
    TIMESTAMP_STRUCT value{};
    if (column.indicator >= 0 && column.indicator < column.bufferSize)
        ParseTimeOfDay({column.buffer.get(), static_cast<size_t>(column.indicator)}, value);
    return value;
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
