#include "transform/ScriptGenerator.h"

#include "core/DisplayWidth.h"
#include "core/ResultSet.h"
#include "core/ValueText.h"
#include "metadata/SyntaxException.h"
#include "transform/ColumnNameQuoting.h"

#include <algorithm>
#include <charconv>

namespace marlix {

using namespace std::string_view_literals;

namespace {

constexpr int32_t kLongColumnMinimumWidth = 32;

// INSERT_ARRAY and LOAD read values through numbered parameters; they have a header only in
// the GENERIC form.
bool IsParameterArray(StatementType type, Dialect dialect) noexcept {
    return (type == StatementType::INSERT_ARRAY || type == StatementType::LOAD) &&
           dialect == Dialect::GENERIC;
}

// The loader's type word of a column; empty for character, binary and other columns.
const char* DataTypeWord(int sqlType) noexcept {
    switch (sqlType) {
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
        return "DATETIME";
    default:
        return IsNumericSqlType(sqlType) ? "NUMERIC" : "";
    }
}

// The statement types whose WHERE compares the key fields.
bool NeedsKeys(StatementType type) noexcept {
    return type == StatementType::UPDATE || type == StatementType::DELETE || type == StatementType::REPLACE;
}

const char* TypeWord(StatementType type) noexcept {
    switch (type) {
    case StatementType::UPDATE:
        return "UPDATE";
    case StatementType::DELETE:
        return "DELETE";
    case StatementType::REPLACE:
        return "REPLACE";
    default:
        return "INSERT";
    }
}

void WriteNumber(int64_t value, TextSink& sink) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    sink.WriteBytes(digits, static_cast<size_t>(end - digits));
}

// The text cut or padded to exactly `width` terminal columns.
void WriteFitted(std::string_view text, size_t width, TextSink& sink) {
    const FittedText fit = FitToWidth(text, width);
    if (fit.bytes == text.size() && fit.width == text.size()) {
        sink.WritePadded(text, width); // ASCII, the common case: one call
        return;
    }
    sink.WriteBytes(text.data(), fit.bytes);
    for (size_t i = fit.width; i < width; ++i)
        sink.WriteChar(' ');
}

// Clears the growable flag however the conversion ends.
class GrowableWhileConverting {
public:
    explicit GrowableWhileConverting(TextSink& sink) : sink_(sink) { sink_.SetGrowable(true); }
    ~GrowableWhileConverting() { sink_.SetGrowable(false); }
    GrowableWhileConverting(const GrowableWhileConverting&) = delete;
    GrowableWhileConverting& operator=(const GrowableWhileConverting&) = delete;

private:
    TextSink& sink_;
};

} // namespace

ScriptGenerator::ScriptGenerator(ResultSet& resultSet) : resultSet_(resultSet) {}

const std::string& ScriptGenerator::TableName() const noexcept {
    const ConversionDescription& d = resultSet_.Description();
    return d.destinationTable.empty() ? d.sourceTable : d.destinationTable;
}

bool ScriptGenerator::HasRows() const noexcept {
    if (resultSet_.fetchThrough) return rowsWritten_ > 0 || !fetchedRow_.empty();
    return resultSet_.RowCount() > 0;
}

void ScriptGenerator::Prepare(StatementType type, Dialect dialect) {
    if (preparedType_ == static_cast<int>(type) && preparedDialect_ == static_cast<int>(dialect)) return;
    listedColumns_.clear();
    listedOtherColumns_.clear();
    for (int c = 0; c < resultSet_.ColumnCount(); ++c)
        if (!resultSet_.Column(c).IsLong()) listedColumns_.push_back(c);
    for (int c : resultSet_.OtherColumns())
        if (!resultSet_.Column(c).IsLong()) listedOtherColumns_.push_back(c);

    insertOpening_ = "INSERT INTO ";
    insertOpening_ += TableName();
    insertOpening_ += " (";
    for (size_t i = 0; i < listedColumns_.size(); ++i) {
        if (i) insertOpening_ += ", ";
        insertOpening_ += QuotedColumnName(resultSet_.Column(listedColumns_[i]), dialect);
    }
    insertOpening_ += ")\r\nVALUES(";
    preparedType_ = static_cast<int>(type);
    preparedDialect_ = static_cast<int>(dialect);
}

void ScriptGenerator::WriteScriptHeader(StatementType type, Dialect dialect, TextSink& sink) {
    if (NeedsKeys(type) && resultSet_.KeyColumns().empty())
        throw CSyntaxException(std::max(0, resultSet_.StatementPosition()),
                               std::string("Cannot write ") + TypeWord(type) + " statements for table " +
                                   TableName() +
                                   ": the result set has no key fields to name the rows by (give them "
                                   "in the KEYS of its RESULTSET block)");
    Prepare(type, dialect);
    const int count = resultSet_.ColumnCount();
    for (int c = 0; c < count; ++c) {
        ColumnDescriptor& column = resultSet_.Column(c);
        if (column.IsLong())
            column.width = std::max(static_cast<int32_t>(DisplayWidth(column.Name())) + 2, kLongColumnMinimumWidth);
        else
            column.width = column.maxLength + 2 + 2 * (column.maxQuotes + column.maxControls);
    }

    if (type == StatementType::SELECT) {
        for (int c = 0; c < count; ++c) {
            const ColumnDescriptor& column = resultSet_.Column(c);
            if (column.IsLong()) continue;
            WriteFitted(column.Name(), static_cast<size_t>(column.width), sink);
            sink.WriteChar(' ');
        }
        sink.Write("\r\n");
        // The underline marks every column, long ones included, so their place stays visible.
        for (int c = 0; c < count; ++c) {
            for (int32_t i = 0; i < resultSet_.Column(c).width; ++i)
                sink.WriteChar('=');
            sink.WriteChar(' ');
        }
        sink.Write("\r\n");
        return;
    }

    if (!IsParameterArray(type, dialect) || !HasRows()) return;
    sink.Write("INSERT INTO ");
    sink.Write(TableName());
    sink.Write(" VALUES (\r\n");
    for (size_t k = 1; k <= listedColumns_.size(); ++k) {
        if (k > 1) sink.Write(",\r\n");
        sink.Write("\t:");
        WriteNumber(static_cast<int64_t>(k), sink);
    }
    sink.Write(")\r\n");
    sink.Write("\\\r\n$DATATYPES ");
    // One type word per parameter, so that the n-th word belongs to parameter :n.
    for (size_t k = 0; k < listedColumns_.size(); ++k) {
        if (k) sink.WriteChar(',');
        sink.WriteText(DataTypeWord(resultSet_.Column(listedColumns_[k]).sqlType));
    }
    sink.Write("\r\n");
}

void ScriptGenerator::AppendValue(int column, Dialect dialect, int64_t row) {
    const int mode = static_cast<int>(dialect);
    ColumnDescriptor& descriptor = resultSet_.Column(column);
    if (resultSet_.fetchThrough) {
        std::string_view bound =
            static_cast<size_t>(column) < fetchedRow_.size() ? fetchedRow_[column] : std::string_view{};
        AppendFetchThroughValueText(descriptor, mode, bound, row_);
    } else {
        AppendValueText(descriptor, StoredValueOf(resultSet_, row, column, false), mode, true, row_);
    }
}

void ScriptGenerator::AppendValueList(Dialect dialect, int64_t row) {
    for (size_t i = 0; i < listedColumns_.size(); ++i) {
        if (i) row_ += ", "sv;
        AppendValue(listedColumns_[i], dialect, row);
    }
}

void ScriptGenerator::AppendPairs(const std::vector<int>& columns, const char* separator, Dialect dialect,
                                  int64_t row) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) row_ += separator;
        row_ += QuotedColumnName(resultSet_.Column(columns[i]), dialect);
        row_ += " = "sv;
        AppendValue(columns[i], dialect, row);
    }
}

void ScriptGenerator::AppendTextTableRow(Dialect dialect, int64_t row) {
    for (int c : listedColumns_) {
        const size_t start = row_.size();
        AppendValue(c, dialect, row);
        // Exactly the column's width in the columns a terminal shows: longer values are cut
        // before the first character that does not fit, shorter ones padded with blanks.
        const auto width = static_cast<size_t>(std::max(resultSet_.Column(c).width, 0));
        const FittedText fit = FitToWidth(std::string_view(row_).substr(start), width);
        row_.resize(start + fit.bytes);
        row_.append(width - fit.width, ' ');
        row_ += ' ';
    }
    row_ += "\r\n"sv;
}

void ScriptGenerator::WriteScriptRow(StatementType type, Dialect dialect, int64_t row, TextSink& sink) {
    Prepare(type, dialect);
    // The row's text is built in one reusable buffer and handed to the sink whole.
    row_.clear();
    const std::vector<int>& keys = resultSet_.KeyColumns();
    const std::string& table = TableName();
    switch (type) {
    case StatementType::SELECT:
        AppendTextTableRow(dialect, row);
        break;
    case StatementType::UPDATE:
        row_ += "UPDATE "sv;
        row_ += table;
        row_ += " SET\r\n"sv;
        AppendPairs(listedOtherColumns_, ", ", dialect, row);
        row_ += "\r\nWHERE "sv;
        AppendPairs(keys, " AND ", dialect, row);
        break;
    case StatementType::REPLACE:
        if (dialect == Dialect::MSSQL) {
            row_ += "if exists (SELECT * FROM "sv;
            row_ += table;
            row_ += " WHERE "sv;
            AppendPairs(keys, " AND ", dialect, row);
            row_ += ")\r\nUPDATE "sv;
            row_ += table;
            row_ += " SET\r\n"sv;
            AppendPairs(listedOtherColumns_, ", ", dialect, row);
            row_ += "\r\nWHERE "sv;
            AppendPairs(keys, " AND ", dialect, row);
            row_ += "\r\nelse "sv;
        } else {
            row_ += "DELETE FROM "sv;
            row_ += table;
            row_ += "\r\nWHERE "sv;
            AppendPairs(keys, " AND ", dialect, row);
            row_ += ";\r\n"sv;
        }
        row_ += insertOpening_;
        AppendValueList(dialect, row);
        row_ += ')';
        break;
    case StatementType::DELETE:
        row_ += dialect == Dialect::MSSQL ? "DELETE "sv : "DELETE FROM "sv;
        row_ += table;
        row_ += " WHERE "sv;
        AppendPairs(keys, " AND ", dialect, row);
        break;
    default: // INSERT, INSERT_ARRAY, LOAD and any unknown type
        row_ += insertOpening_;
        AppendValueList(dialect, row);
        row_ += ')';
        break;
    }
    if (type != StatementType::SELECT) row_ += StatementEnd(type, dialect);
    sink.Write(row_);
    ++rowsWritten_;
}

const char* ScriptGenerator::StatementEnd(StatementType type, Dialect dialect) noexcept {
    const bool terminatedType = type == StatementType::INSERT || type == StatementType::INSERT_ARRAY ||
                                type == StatementType::UPDATE || type == StatementType::DELETE;
    const bool terminatingDialect = dialect == Dialect::ORACLE || dialect == Dialect::GENERIC ||
                                    dialect == Dialect::ACCESS || dialect == Dialect::MYSQL;
    return terminatedType && terminatingDialect ? ";\r\n" : "\r\n";
}

void ScriptGenerator::WriteStatementEnd(StatementType type, Dialect dialect, TextSink& sink) {
    sink.WriteText(StatementEnd(type, dialect));
}

void ScriptGenerator::WriteScriptFooter(StatementType type, Dialect dialect, TextSink& sink) {
    if (type == StatementType::SELECT) {
        sink.Write("\r\n");
        WriteNumber(rowsWritten_, sink);
        sink.Write(" row(s) selected \r\n");
    } else if (IsParameterArray(type, dialect) && HasRows()) {
        sink.Write("/\r\n");
    }
    sink.Write("\r\n");
}

std::string LeftOutColumnsWarning(const ResultSet& resultSet, StatementType type) {
    // The text table and DELETE (whose WHERE lists every key, long or not) write no such list.
    if (type == StatementType::SELECT || type == StatementType::DELETE) return {};
    std::string names;
    auto consider = [&](int c) {
        const ColumnDescriptor& column = resultSet.Column(c);
        if (!column.IsLong()) return;
        if (!names.empty()) names += ", ";
        names += column.Name();
    };
    if (type == StatementType::UPDATE) {
        for (int c : resultSet.OtherColumns())
            consider(c);
    } else {
        for (int c = 0; c < resultSet.ColumnCount(); ++c)
            consider(c);
    }
    if (names.empty()) return {};
    const ConversionDescription& d = resultSet.Description();
    const std::string& table = d.destinationTable.empty() ? d.sourceTable : d.destinationTable;
    return std::string("Warning: the ") + TypeWord(type) + " statements for " + table +
           " leave out the long column(s) " + names +
           ": the driver reports them as long data, which scripts do not carry\r\n";
}

void ConvertResultSet(ResultSet& resultSet, StatementType type, Dialect dialect, TextSink& sink) {
    GrowableWhileConverting growable(sink);
    ScriptGenerator generator(resultSet);
    generator.WriteScriptHeader(type, dialect, sink);
    const int64_t rows = resultSet.RowCount();
    for (int64_t row = 0; row < rows; ++row) {
        // Rows deleted in the grid are not part of what it shows.
        if (resultSet.edits && resultSet.deletedRowCount && resultSet.edits->RowDeleted(row)) continue;
        generator.WriteScriptRow(type, dialect, row, sink);
    }
    generator.WriteScriptFooter(type, dialect, sink);
}

} // namespace marlix
