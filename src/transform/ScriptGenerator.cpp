#include "transform/ScriptGenerator.h"

#include "core/DialectNames.h"
#include "core/DisplayWidth.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "core/ValueText.h"
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

std::string ConversionRefusal(const ResultSet& resultSet, StatementType type, Dialect dialect) {
    const ConversionDescription& d = resultSet.Description();
    const std::string& table = d.destinationTable.empty() ? d.sourceTable : d.destinationTable;
    if (type == StatementType::UPSERT && !HasUpsert(dialect))
        return "Cannot write UPSERT statements for table " + table + ": the " + DialectDisplayName(dialect) +
               " target has no statement that inserts or updates a row (choose INSERT, UPDATE or REPLACE)";
    if (type != StatementType::SELECT && table.empty())
        return std::string("Cannot write ") + StatementTypeWord(type) +
               " statements: the result set names no table (give it in the Table of its RESULTSET block)";
    if (NeedsKeys(type) && resultSet.KeyColumns().empty())
        return std::string("Cannot write ") + StatementTypeWord(type) + " statements for table " + table +
               ": the result set has no key fields to name the rows by (give them in the KEYS of its "
               "RESULTSET block)";
    return {};
}

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
    const ConversionDescription& description = resultSet_.Description();
    // The text table shows what it always showed; statements may carry more.
    exact_ = type != StatementType::SELECT && UsesExactLiterals(description, *context_);
    textTable_ = type == StatementType::SELECT;
    // A text table shows every column: long character values cut to a readable length, long
    // binary ones as a mark while BLOB values are suppressed.
    const bool withLong = textTable_ || WritesLongColumns(description, type, *context_);
    const std::vector<int>& keys = resultSet_.KeyColumns();
    listedColumns_.clear();
    listedOtherColumns_.clear();
    for (int c = 0; c < resultSet_.ColumnCount(); ++c) {
        // An upsert inserts the keys it matches by, long or not.
        const bool key =
            type == StatementType::UPSERT && std::find(keys.begin(), keys.end(), c) != keys.end();
        if (withLong || key || !resultSet_.Column(c).IsLong()) listedColumns_.push_back(c);
    }
    for (int c : resultSet_.OtherColumns())
        if (withLong || !resultSet_.Column(c).IsLong()) listedOtherColumns_.push_back(c);

    std::string names;
    for (size_t i = 0; i < listedColumns_.size(); ++i) {
        if (i) names += ", ";
        names += QuotedColumnName(resultSet_.Column(listedColumns_[i]), dialect, exact_);
    }
    table_ = QuotedTableName(TableName(), dialect, exact_);
    insertOpening_ = "INSERT INTO ";
    insertOpening_ += table_;
    insertOpening_ += " (";
    insertOpening_ += names;
    insertOpening_ += ")\r\nVALUES(";
    allInto_ = "  INTO ";
    allInto_ += table_;
    allInto_ += " (";
    allInto_ += names;
    allInto_ += ") VALUES (";

    rowsPerStatement_ = RowsPerStatement(description, type, dialect, static_cast<int>(listedColumns_.size()));
    commitEvery_ = CommitsApply(type) && *CommitText(dialect) ? std::max(description.commitEvery, 0) : 0;
    rowsInGroup_ = 0;
    statementsSinceCommit_ = 0;
    preparedType_ = static_cast<int>(type);
    preparedDialect_ = static_cast<int>(dialect);
}

void ScriptGenerator::WriteScriptHeader(StatementType type, const ConversionContext& context,
                                        TextSink& sink) {
    context_ = &context;
    const Dialect dialect = context.dialect;
    if (std::string refusal = ConversionRefusal(resultSet_, type, dialect); !refusal.empty())
        throw CSyntaxException(std::max(0, resultSet_.StatementPosition()), std::move(refusal));
    Prepare(type, dialect);
    const int count = resultSet_.ColumnCount();
    for (int c = 0; c < count; ++c) {
        ColumnDescriptor& column = resultSet_.Column(c);
        if (column.IsLong())
            column.width =
                std::max(static_cast<int32_t>(DisplayWidth(column.Name())) + 2, kLongColumnMinimumWidth);
        else
            column.width = column.maxLength + 2 + 2 * (column.maxQuotes + column.maxControls);
    }

    if (type == StatementType::SELECT) {
        WidenToWrittenValues(dialect);
        for (int c = 0; c < count; ++c) {
            const ColumnDescriptor& column = resultSet_.Column(c);
            WriteFitted(column.Name(), static_cast<size_t>(column.width), sink);
            sink.WriteChar(' ');
        }
        sink.Write("\r\n");
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
    sink.Write(table_);
    sink.Write(" VALUES (\r\n");
    for (size_t k = 1; k <= listedColumns_.size(); ++k) {
        if (k > 1) sink.Write(",\r\n");
        sink.Write("\t:");
        WriteNumber(static_cast<int64_t>(k), sink);
    }
    sink.Write(")\r\n");
    sink.Write("\\\r\n$DATATYPES ");
    // An entry for every column, long ones (empty words, as for every character column) included.
    for (int c = 0; c < count; ++c) {
        if (c) sink.WriteChar(',');
        sink.WriteText(DataTypeWord(resultSet_.Column(c).sqlType));
    }
    sink.Write("\r\n");
}

void ScriptGenerator::AppendValue(int column, Dialect dialect, int64_t row) {
    const int mode = static_cast<int>(dialect);
    ColumnDescriptor& descriptor = resultSet_.Column(column);
    const size_t start = row_.size();
    AppendValueOf(descriptor, column, dialect, mode, row);
    if (textTable_ && descriptor.IsLong()) ShortenLongValue(descriptor, start);
}

void ScriptGenerator::ShortenLongValue(const ColumnDescriptor& column, size_t start) {
    const std::string_view value = std::string_view(row_).substr(start);
    if (value == "NULL"sv) return;
    if (ColumnDescriptor::IsBinaryType(column.sqlType) && context_->suppressBlobValues) {
        row_.replace(start, std::string::npos, "(BLOB)"sv);
        return;
    }
    // Cut after kTextTableValueCharacters characters (UTF-8 lead bytes), marked with an ellipsis.
    size_t characters = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;
        if (characters++ == kTextTableValueCharacters) {
            row_.resize(start + i);
            row_ += "\u2026"sv;
            return;
        }
    }
}

void ScriptGenerator::AppendValueOf(ColumnDescriptor& descriptor, int column, Dialect dialect, int mode,
                                    int64_t row) {
    if (resultSet_.fetchThrough) {
        std::string_view bound =
            static_cast<size_t>(column) < fetchedRow_.size() ? fetchedRow_[column] : std::string_view{};
        if (exact_)
            AppendExactFetchThroughLiteral(descriptor, dialect, bound, row_);
        else
            AppendFetchThroughValueText(descriptor, mode, context_->settings, bound, row_);
    } else if (exact_) {
        AppendExactLiteral(descriptor, StoredValueOf(resultSet_, row, column, false), dialect, row_);
    } else {
        AppendValueText(descriptor, StoredValueOf(resultSet_, row, column, false), mode, context_->settings,
                        true, row_);
    }
}

void ScriptGenerator::AppendNames(const std::vector<int>& columns, std::string_view prefix, Dialect dialect) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) row_ += ", "sv;
        row_ += prefix;
        row_ += QuotedColumnName(resultSet_.Column(columns[i]), dialect, exact_);
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
        row_ += QuotedColumnName(resultSet_.Column(columns[i]), dialect, exact_);
        row_ += " = "sv;
        AppendValue(columns[i], dialect, row);
    }
}

void ScriptGenerator::BeginStatement(Dialect dialect) {
    if (commitEvery_ && statementsSinceCommit_ == 0) row_ += BeginTransactionText(dialect);
}

void ScriptGenerator::EndStatement(Dialect dialect) {
    if (commitEvery_ && ++statementsSinceCommit_ == commitEvery_) {
        row_ += CommitText(dialect);
        statementsSinceCommit_ = 0;
    }
}

void ScriptGenerator::CloseInsertGroup(Dialect dialect) {
    if (dialect == Dialect::ORACLE) row_ += "SELECT * FROM dual"sv;
    row_ += StatementEnd(StatementType::INSERT, dialect);
    rowsInGroup_ = 0;
    EndStatement(dialect);
}

void ScriptGenerator::AppendGroupedInsert(Dialect dialect, int64_t row) {
    // The first row opens the statement as a one-row INSERT would; later rows join it.
    if (dialect == Dialect::ORACLE) {
        if (rowsInGroup_ == 0) {
            BeginStatement(dialect);
            row_ += "INSERT ALL\r\n"sv;
        }
        row_ += allInto_;
        AppendValueList(dialect, row);
        row_ += ")\r\n"sv;
    } else {
        if (rowsInGroup_ == 0) {
            BeginStatement(dialect);
            row_ += insertOpening_;
        } else {
            row_ += ",\r\n("sv;
        }
        AppendValueList(dialect, row);
        row_ += ')';
    }
    if (++rowsInGroup_ == rowsPerStatement_) CloseInsertGroup(dialect);
}

void ScriptGenerator::WriteScriptRow(StatementType type, const ConversionContext& context, int64_t row,
                                     TextSink& sink) {
    context_ = &context;
    const Dialect dialect = context.dialect;
    Prepare(type, dialect);
    rowInHand_ = row;
    // The row's text is built in one reusable buffer and handed to the sink whole.
    row_.clear();
    if (type == StatementType::INSERT && rowsPerStatement_ > 1) {
        AppendGroupedInsert(dialect, row);
        sink.Write(row_);
        ++rowsWritten_;
        return;
    }
    if (type != StatementType::SELECT) BeginStatement(dialect);
    const std::vector<int>& keys = resultSet_.KeyColumns();
    const std::string& table = table_;
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
    case StatementType::UPSERT:
        AppendUpsert(dialect, row);
        break;
    default: // INSERT, INSERT_ARRAY, LOAD and any unknown type
        row_ += insertOpening_;
        AppendValueList(dialect, row);
        row_ += ')';
        break;
    }
    if (type != StatementType::SELECT) {
        row_ += StatementEnd(type, dialect);
        EndStatement(dialect);
    }
    sink.Write(row_);
    ++rowsWritten_;
}

const char* ScriptGenerator::StatementEnd(StatementType type, Dialect dialect) noexcept {
    // MERGE must end with ";" in SQL Server; every upsert form ends so.
    if (type == StatementType::UPSERT) return ";\r\n";
    if (OpenDatabaseTarget(dialect)) return type == StatementType::SELECT ? "\r\n" : ";\r\n";
    const bool terminatedType = type == StatementType::INSERT || type == StatementType::INSERT_ARRAY ||
                                type == StatementType::UPDATE || type == StatementType::DELETE;
    const bool terminatingDialect = dialect == Dialect::ORACLE || dialect == Dialect::GENERIC ||
                                    dialect == Dialect::ACCESS || dialect == Dialect::MYSQL;
    return terminatedType && terminatingDialect ? ";\r\n" : "\r\n";
}

void ScriptGenerator::WriteStatementEnd(StatementType type, Dialect dialect, TextSink& sink) {
    sink.WriteText(StatementEnd(type, dialect));
}

void ScriptGenerator::WriteScriptFooter(StatementType type, const ConversionContext& context,
                                        TextSink& sink) {
    context_ = &context;
    const Dialect dialect = context.dialect;
    Prepare(type, dialect);
    row_.clear();
    if (rowsInGroup_ > 0) CloseInsertGroup(dialect);
    // The last transaction ends with the last statement, when any was written.
    if (commitEvery_ && statementsSinceCommit_ > 0) {
        row_ += CommitText(dialect);
        statementsSinceCommit_ = 0;
    }
    if (!row_.empty()) sink.Write(row_);
    if (type == StatementType::SELECT) {
        sink.Write("\r\n");
        WriteNumber(rowsWritten_, sink);
        sink.Write(" row(s) selected \r\n");
        // A result a limit cut says so under its table, where the reader looks.
        if (!resultSet_.fetchThrough && resultSet_.CutByLimit()) {
            sink.Write("More rows were not fetched: the result reached its ");
            if (resultSet_.CutBySize()) {
                sink.Write("size limit of ");
                WriteNumber(resultSet_.SizeLimitMB(), sink);
                sink.Write(" MB\r\n");
            } else {
                sink.Write("row limit of ");
                WriteNumber(resultSet_.RowLimit(), sink);
                sink.Write("\r\n");
            }
        }
    } else if (IsParameterArray(type, dialect) && HasRows()) {
        sink.Write("/\r\n");
    }
    sink.Write("\r\n");
}

int ScriptGenerator::ColumnInHand() const noexcept {
    int largest = -1;
    size_t largestSize = 0;
    for (int c = 0; c < resultSet_.ColumnCount(); ++c) {
        const auto at = static_cast<size_t>(c);
        size_t size = 0;
        if (resultSet_.fetchThrough)
            size = at < fetchedRow_.size() ? fetchedRow_[at].size() : 0;
        else if (rowInHand_ >= 0)
            size = StoredValueOf(resultSet_, rowInHand_, c, false).length;
        if (largest < 0 || size > largestSize) {
            largest = c;
            largestSize = size;
        }
    }
    return rowInHand_ < 0 ? -1 : largest;
}

void ConvertResultSet(ResultSet& resultSet, StatementType type, const ConversionContext& context,
                      TextSink& sink) {
    GrowableWhileConverting growable(sink);
    ScriptGenerator generator(resultSet);
    try {
        generator.WriteScriptHeader(type, context, sink);
        const int64_t rows = resultSet.RowCount();
        for (int64_t row = 0; row < rows; ++row) {
            // Rows deleted in the grid are not part of what it shows.
            if (resultSet.edits && resultSet.deletedRowCount && resultSet.edits->RowDeleted(row)) continue;
            generator.WriteScriptRow(type, context, row, sink);
        }
        generator.WriteScriptFooter(type, context, sink);
    } catch (...) {
        resultSet.ThrowValueFailure(std::current_exception(), generator.ColumnInHand(),
                                    generator.RowInHand() + 1);
    }
}

} // namespace marlix
