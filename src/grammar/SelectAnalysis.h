#pragma once
// The analysis of one SELECT statement: which tables it reads (with their aliases and joins)
// and which columns it selects. The METADATA interpreter uses it for statements that carry no
// block of their own; grid editing resolves column origins from it.
#include "grammar/Grammar.h"
#include "grammar/Token.h"

#include <cstddef>
#include <string>
#include <vector>

namespace marlix {

struct AnalysedTable {
    std::string name;  // as written, dots included (db.owner.tab)
    std::string alias; // empty when none
};

struct AnalysedColumn {
    std::string qualifier; // the table part of a qualified star (t.*)
    std::string tableName; // the owning table, resolved later from the result set
    std::string name;      // the column name of a plain column
    std::string alias;     // AS alias, or the 'alias' = expr string with its quotes
    int tableIndex = -1;   // index into the table list, resolved later
    bool isPlainColumn = false;
    bool isKey = false; // set later from the catalog
    bool allColumns = false;
};

// The analysed description of a statement. A later step merges it into the statement's
// conversion description.
struct AnalysedDescription {
    std::string sourceTable;
    std::string destinationTable;
    std::vector<AnalysedTable> tables;   // FROM order; joined tables follow the table they join
    std::vector<AnalysedColumn> columns; // one entry per select item, in order
    int analysed = 0;                    // 1 when the statement parsed and both lists were built
};

// Analyses the statement whose tokens run from `first` (its SELECT keyword) to `end`. On
// success it replaces the table and column lists, sets the source and destination table when
// the first FROM item is a plain table, and sets `analysed`; a statement that does not parse
// leaves the description as it was. Only the select list and the FROM list have to match: the
// rest of the statement is not required to. Never reports an error.
void AnalyseSelect(AnalysedDescription& description, TokenView script, std::size_t first, std::size_t end);
// The same with another grammar whose start rule builds the same tree (tests, experiments).
void AnalyseSelect(const Grammar& grammar, AnalysedDescription& description, TokenView script,
                   std::size_t first, std::size_t end);

} // namespace marlix
