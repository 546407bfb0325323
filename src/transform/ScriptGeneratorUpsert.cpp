#include "transform/ScriptGenerator.h"

#include "core/ResultSet.h"
#include "transform/ColumnNameQuoting.h"

namespace marlix {

using namespace std::string_view_literals;

// Each target's insert-or-update statement for one row: MERGE (MSSQL, ORACLE), UPDATE OR INSERT
// (FIREBIRD), ON DUPLICATE KEY UPDATE (MYSQL), ON CONFLICT (POSTGRESQL, SQLITE).
void ScriptGenerator::AppendUpsert(Dialect dialect, int64_t row) {
    const std::vector<int>& keys = resultSet_.KeyColumns();
    const std::string& table = table_;
    // Every column a key: nothing to update when the row exists.
    const bool keysOnly = listedOtherColumns_.empty();
    auto keyPairs = [&](std::string_view left, std::string_view right) {
        for (size_t i = 0; i < keys.size(); ++i) {
            if (i) row_ += " AND "sv;
            const std::string& name = QuotedColumnName(resultSet_.Column(keys[i]), dialect, exact_);
            row_ += left;
            row_ += name;
            row_ += " = "sv;
            row_ += right;
            row_ += name;
        }
    };
    auto setPairs = [&](std::string_view left, std::string_view before, std::string_view after) {
        for (size_t i = 0; i < listedOtherColumns_.size(); ++i) {
            if (i) row_ += ", "sv;
            const std::string& name =
                QuotedColumnName(resultSet_.Column(listedOtherColumns_[i]), dialect, exact_);
            row_ += left;
            row_ += name;
            row_ += " = "sv;
            row_ += before;
            row_ += name;
            row_ += after;
        }
    };
    switch (dialect) {
    case Dialect::MSSQL:
        row_ += "MERGE INTO "sv;
        row_ += table;
        row_ += " AS t\r\nUSING (VALUES("sv;
        AppendValueList(dialect, row);
        row_ += ")) AS s ("sv;
        AppendNames(listedColumns_, {}, dialect);
        row_ += ")\r\nON "sv;
        keyPairs("t.", "s.");
        if (!keysOnly) {
            row_ += "\r\nWHEN MATCHED THEN UPDATE SET "sv;
            setPairs({}, "s.", {});
        }
        row_ += "\r\nWHEN NOT MATCHED THEN INSERT ("sv;
        AppendNames(listedColumns_, {}, dialect);
        row_ += ") VALUES("sv;
        AppendNames(listedColumns_, "s.", dialect);
        row_ += ')';
        break;
    case Dialect::ORACLE:
        row_ += "MERGE INTO "sv;
        row_ += table;
        row_ += " t\r\nUSING (SELECT "sv;
        for (size_t i = 0; i < listedColumns_.size(); ++i) {
            if (i) row_ += ", "sv;
            AppendValue(listedColumns_[i], dialect, row);
            row_ += " AS "sv;
            row_ += QuotedColumnName(resultSet_.Column(listedColumns_[i]), dialect, exact_);
        }
        row_ += " FROM dual) s\r\nON ("sv;
        keyPairs("t.", "s.");
        row_ += ')';
        if (!keysOnly) {
            row_ += "\r\nWHEN MATCHED THEN UPDATE SET "sv;
            setPairs("t.", "s.", {});
        }
        row_ += "\r\nWHEN NOT MATCHED THEN INSERT ("sv;
        AppendNames(listedColumns_, {}, dialect);
        row_ += ") VALUES ("sv;
        AppendNames(listedColumns_, "s.", dialect);
        row_ += ')';
        break;
    case Dialect::FIREBIRD:
        row_ += "UPDATE OR "sv;
        row_ += insertOpening_;
        AppendValueList(dialect, row);
        row_ += ")\r\nMATCHING ("sv;
        AppendNames(keys, {}, dialect);
        row_ += ')';
        break;
    case Dialect::MYSQL:
        row_ += insertOpening_;
        AppendValueList(dialect, row);
        row_ += ")\r\nON DUPLICATE KEY UPDATE "sv;
        if (keysOnly) {
            // The statement needs an assignment; one that changes nothing keeps the row.
            const std::string& key = QuotedColumnName(resultSet_.Column(keys.front()), dialect, exact_);
            row_ += key;
            row_ += " = "sv;
            row_ += key;
        } else {
            setPairs({}, "VALUES(", ")");
        }
        break;
    default: // POSTGRESQL and SQLITE
        row_ += insertOpening_;
        AppendValueList(dialect, row);
        row_ += ")\r\nON CONFLICT ("sv;
        AppendNames(keys, {}, dialect);
        if (keysOnly) {
            row_ += ") DO NOTHING"sv;
        } else {
            row_ += ") DO UPDATE SET "sv;
            setPairs({}, "EXCLUDED.", {});
        }
        break;
    }
}

} // namespace marlix
