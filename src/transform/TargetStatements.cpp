#include "transform/TargetStatements.h"

#include "core/DialectSettings.h"
#include "core/ResultSet.h"

#include <algorithm>

namespace marlix {
namespace {

// SQL Server reads at most 1000 rows in one VALUES list.
constexpr int64_t kMssqlRowsPerInsert = 1000;
// ORACLE refuses an INSERT ALL whose INTO clauses name more than 999 columns in all.
constexpr int64_t kOracleValuesPerInsertAll = 999;

} // namespace

bool NeedsKeys(StatementType type) noexcept {
    return type == StatementType::UPDATE || type == StatementType::DELETE || type == StatementType::REPLACE ||
           type == StatementType::UPSERT;
}

bool CommitsApply(StatementType type) noexcept {
    return type == StatementType::INSERT || type == StatementType::UPDATE || type == StatementType::DELETE ||
           type == StatementType::REPLACE || type == StatementType::UPSERT;
}

bool OpenDatabaseTarget(Dialect dialect) noexcept {
    return dialect == Dialect::POSTGRESQL || dialect == Dialect::SQLITE;
}

bool HasUpsert(Dialect dialect) noexcept {
    return dialect != Dialect::ACCESS && dialect != Dialect::GENERIC;
}

const char* StatementTypeWord(StatementType type) noexcept {
    switch (type) {
    case StatementType::UPDATE:
        return "UPDATE";
    case StatementType::DELETE:
        return "DELETE";
    case StatementType::REPLACE:
        return "REPLACE";
    case StatementType::UPSERT:
        return "UPSERT";
    default:
        return "INSERT";
    }
}

bool UsesExactLiterals(const ConversionDescription& description, const ConversionContext& context) {
    switch (description.literals) {
    case LiteralStyle::Exact:
        return true;
    case LiteralStyle::Standard:
        return false;
    default:
        return context.Target().exactLiterals;
    }
}

bool WritesLongColumns(const ConversionDescription& description, StatementType type,
                       const ConversionContext& context) {
    if (type == StatementType::SELECT) return false;
    return OpenDatabaseTarget(context.dialect) || UsesExactLiterals(description, context);
}

int64_t RowsPerStatement(const ConversionDescription& description, StatementType type, Dialect dialect,
                         int columns) {
    const int64_t asked = std::max(description.rowsPerStatement, 1);
    if (type != StatementType::INSERT) return 1;
    switch (dialect) {
    case Dialect::ACCESS:
    case Dialect::FIREBIRD:
        // No multi-row VALUES. FIREBIRD's UNION ALL of SELECTs would be one, but it fails on a
        // first row of NULLs and on more than 255 rows, so it is not used.
        return 1;
    case Dialect::MSSQL:
        return std::min(asked, kMssqlRowsPerInsert);
    case Dialect::ORACLE:
        return std::min(asked, std::max<int64_t>(1, kOracleValuesPerInsertAll / std::max(columns, 1)));
    default:
        return asked;
    }
}

const char* BeginTransactionText(Dialect dialect) noexcept {
    switch (dialect) {
    case Dialect::MSSQL:
        return "BEGIN TRANSACTION\r\n";
    case Dialect::MYSQL:
        return "START TRANSACTION;\r\n";
    case Dialect::POSTGRESQL:
    case Dialect::SQLITE:
        return "BEGIN;\r\n";
    default: // ORACLE, FIREBIRD and GENERIC open a transaction with the first statement
        return "";
    }
}

const char* CommitText(Dialect dialect) noexcept {
    switch (dialect) {
    case Dialect::MSSQL:
        return "COMMIT TRANSACTION\r\n";
    case Dialect::ACCESS:
        return ""; // no commit statement
    default:
        return "COMMIT;\r\n";
    }
}

std::string LeftOutColumnsWarning(const ResultSet& resultSet, StatementType type,
                                  const ConversionContext& context) {
    // The text table and DELETE (whose WHERE lists every key, long or not) write no such list.
    if (type == StatementType::SELECT || type == StatementType::DELETE) return {};
    if (WritesLongColumns(resultSet.Description(), type, context)) return {};
    const std::vector<int>& keys = resultSet.KeyColumns();
    std::string names;
    auto consider = [&](int c) {
        const ColumnDescriptor& column = resultSet.Column(c);
        if (!column.IsLong()) return;
        // An upsert writes its keys, long or not.
        if (type == StatementType::UPSERT && std::find(keys.begin(), keys.end(), c) != keys.end()) return;
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
    return std::string("Warning: the ") + StatementTypeWord(type) + " statements for " + table +
           " leave out the long column(s) " + names +
           ": the driver reports them as long data, which scripts do not carry\r\n";
}

} // namespace marlix
