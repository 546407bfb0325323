#pragma once
// A result set fetched from a real table, with its edits resolved against a catalog that knows
// the table's columns and keys.
#include "core/ResultSet.h"
#include "core/ValueText.h"
#include "support/SessionFixture.h"
#include "support/Timestamps.h"
#include "transform/ResultSetEdits.h"

#include <map>
#include <string>
#include <vector>

namespace marlix::test {

struct KnownTable {
    std::vector<std::string> columns;
    std::vector<std::string> keys;
};

// A lookup over a fixed set of tables, the way the object browser's catalog answers.
inline TableLookup LookupOf(std::map<std::string, KnownTable> tables) {
    return [tables = std::move(tables)](const std::string& name, std::vector<std::string>& columns,
                                        std::vector<std::string>& keys) {
        auto at = tables.find(name);
        if (at == tables.end()) return false;
        columns = at->second.columns;
        keys = at->second.keys;
        return true;
    };
}

// "SELECT * FROM table": one table, one star.
inline AnalysedDescription StarOf(const std::string& table) {
    AnalysedDescription d;
    d.tables.push_back({table, ""});
    AnalysedColumn star;
    star.allColumns = true;
    d.columns.push_back(star);
    d.analysed = 1;
    return d;
}

// The stored text of a cell as the grid's value lookup sees it; "<NULL>" for NULL.
inline std::string StoredText(ResultSet& rs, int64_t row, int column) {
    const CellRef v = StoredValueOf(rs, row, column, false);
    if (v.isNull) return "<NULL>";
    return std::string(v.Text());
}

inline TIMESTAMP_STRUCT StoredStamp(ResultSet& rs, int64_t row, int column) {
    const CellRef v = StoredValueOf(rs, row, column, false);
    TIMESTAMP_STRUCT ts{};
    if (!v.isNull && v.length == sizeof ts) std::memcpy(&ts, v.data, sizeof ts);
    return ts;
}

} // namespace marlix::test
