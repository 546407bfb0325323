#include "grammar/SelectAnalysis.h"

#include "grammar/ParseException.h"
#include "grammar/ParseNode.h"
#include "grammar/SelectGrammar.h"

namespace marlix {

namespace {

// A plain column is a bare (possibly qualified) name with no operator after it.
bool IsPlainColumn(const ParseNode& expr) {
    return expr.Name() == "sql_col" && !expr.HasChild("rhs");
}

void CollectTables(const ParseNode& tables, AnalysedDescription& d) {
    const auto& items = tables.Items();
    if (!items.empty() && items.front()->Name() == "sql_one_table" && items.front()->HasValue("name")) {
        d.sourceTable = items.front()->Value("name");
        d.destinationTable = d.sourceTable;
    }
    for (const auto& item : items) {
        if (item->Name() != "sql_one_table") continue; // a derived table names no table of its own
        d.tables.push_back({std::string(item->Value("name")), std::string(item->Value("alias"))});
        for (const ParseNode* join = item->Child("join"); join; join = join->Child("join"))
            d.tables.push_back({std::string(join->Value("name")), std::string(join->Value("alias"))});
    }
}

AnalysedColumn DescribeColumn(const ParseNode& item) {
    AnalysedColumn c;
    const std::string_view kind = item.Name();
    if (kind == "sql_col") {
        if (!item.HasChild("rhs")) {
            c.isPlainColumn = true;
            c.name = item.Value("name");
        }
    } else if (kind == "sql_all_columns") {
        c.allColumns = true;
    } else if (kind == "sql_all_table_columns1") {
        c.allColumns = true;
        c.qualifier = item.Value("table");
    } else if (kind == "sql_aliased_column" || kind == "sql_default_column") {
        c.alias = item.Value("alias");
        const ParseNode* expr = item.Child("expr");
        if (expr && IsPlainColumn(*expr) && expr->HasValue("name")) {
            c.isPlainColumn = true;
            c.name = expr->Value("name");
        }
    }
    return c;
}

} // namespace

void AnalyseSelect(const Grammar& grammar, AnalysedDescription& description, TokenView script,
                   std::size_t first, std::size_t end) {
    const Rule* start = grammar.StartRule();
    if (!grammar.IsValid() || !start) return;
    ParseNode root("root");
    try {
        grammar.Parse(*start, script, first, end, root);
    } catch (const CParseException&) {
        return;
    }
    AnalysedDescription result;
    result.sourceTable = description.sourceTable;
    result.destinationTable = description.destinationTable;
    if (const ParseNode* tables = root.Child("tables")) CollectTables(*tables, result);
    if (const ParseNode* columns = root.Child("cols"))
        for (const auto& item : columns->Items())
            result.columns.push_back(DescribeColumn(*item));
    result.analysed = 1;
    description = std::move(result);
}

void AnalyseSelect(AnalysedDescription& description, TokenView script, std::size_t first, std::size_t end) {
    AnalyseSelect(SelectGrammar(), description, script, first, end);
}

} // namespace marlix
