#include "grammar/SelectGrammar.h"

namespace marlix {

namespace {

struct RuleRow {
    const char* name;
    const char* group;
    const char* body; // null: a list of `item`, separated by ","
    const char* item;
};

// The bodies are taken as they stand. Some of their effects are intended to stay: the
// unquoted words ORDER BY in the first rule are no part of the notation, so the ordering is
// tried directly after the WHERE part; the '[' after SUM's '(' has no closing bracket, so
// everything after "SUM (" is optional; a second capture under "rhs" is dropped.
constexpr RuleRow kSelectRules[] = {
    {"select_statement", "select_statement",
     "'SELECT' ['TOP' <integer:top>] <sql_columns:cols> 'FROM' <sql_tables:tables> ['WHERE' "
     "<sql_predicate:where>] [ORDER BY <select_order:order>] [';']",
     nullptr},
    {"sql_columns", "sql_columns", nullptr, "sql_column"},
    {"sql_all_columns", "sql_column", "'*'", nullptr},
    {"sql_all_table_columns1", "sql_column", "<id3:table> '.' '*'", nullptr},
    {"sql_aliased_column", "sql_column",
     "<string:alias> '=' <sql_expr:expr> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_default_column", "sql_column", "<sql_expr:expr> ['AS' <id:alias>]", nullptr},
    {"sql_()", "sql_expr", "'(' <sql_expr:expr> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_unary_expr+", "sql_expr", "'+' <sql_expr:rhs> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_unary_expr-", "sql_expr", "'-' <sql_expr:rhs> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_unary_expr~", "sql_expr", "'~' <sql_expr:rhs> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_integer", "sql_expr", "<integer:value> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_string", "sql_expr", "<string:value> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_decimal", "sql_expr", "<decimal:value> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_datetime", "sql_expr", "<datetime:value> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"args", "arg_list", nullptr, "sql_expr"},
    {"sql_func_sum", "sql_expr", "'SUM' '(' [ <sql_expr:arg> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_func_max", "sql_expr",
     "'MAX' '(' [ 'DISTINCT' ] <sql_expr:arg> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_func_min", "sql_expr",
     "'MIN' '(' [ 'DISTINCT' ] <sql_expr:arg> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_func_avg", "sql_expr",
     "'AVG' '(' [ 'DISTINCT' ] <sql_expr:arg> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_func_count", "sql_expr",
     "'COUNT' '(' [ 'DISTINCT' ] <sql_expr:arg> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_func", "sql_expr", "<id2:name> '(' <arg_list:args> ')' [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_binary+", "sql_binary", "'+'", nullptr},
    {"sql_binary-", "sql_binary", "'-'", nullptr},
    {"sql_binary*", "sql_binary", "'*'", nullptr},
    {"sql_binary/", "sql_binary", "'/'", nullptr},
    {"sql_binary%", "sql_binary", "'%'", nullptr},
    {"sql_binary&", "sql_binary", "'&'", nullptr},
    {"sql_binary|", "sql_binary", "'|'", nullptr},
    {"sql_binary^", "sql_binary", "'^'", nullptr},
    {"sql_binary||", "sql_binary", "'||'", nullptr},
    {"sql_col", "sql_expr", "<id3:name> [ <sql_binary:op> <sql_expr:rhs>]", nullptr},
    {"sql_tables", "sql_tables", nullptr, "sql_table"},
    {"sql_derived_table", "sql_table", "'(' <sql_table:table_s> ')'", nullptr},
    {"sql_one_table", "sql_table", "<id3:name> [['AS'] <id:alias>] [<sql_join:join>]", nullptr},
    {"sql_simple_join", "sql_join",
     "'JOIN' <id3:name> [['AS'] <id:alias>] 'ON' <sql_predicate:cond> [<sql_join:join>]", nullptr},
    {"sql_inner_join", "sql_join",
     "'INNER' ['OUTER'] 'JOIN' <id3:name> [['AS'] <id:alias>] 'ON' <sql_predicate:cond> [<sql_join:join>]",
     nullptr},
    {"sql_right_join", "sql_join",
     "'RIGHT' ['OUTER'] 'JOIN' <id3:name> [['AS'] <id:alias>] 'ON' <sql_predicate:cond> [<sql_join:join>]",
     nullptr},
    {"sql_left_join", "sql_join",
     "'LEFT' ['OUTER'] 'JOIN' <id3:name> [['AS'] <id:alias>] 'ON' <sql_predicate:cond> [<sql_join:join>]",
     nullptr},
    {"sql_outer_join", "sql_join",
     "'OUTER' 'JOIN' <id3:name> [['AS'] <id:alias>] 'ON' <sql_predicate:cond> [<sql_join:join>]", nullptr},
    {"sql_unary_pred", "sql_predicate", "'NOT' <sql_predicate:rhs> [<sql_andor:andor> ]", nullptr},
    {"sql_pred_()", "sql_predicate", "'(' <sql_predicate::pred> ')'  [<sql_andor:andor> ]", nullptr},
    {"sql_and", "sql_andor", "'AND' <sql_predicate:rhs> [ <sql_andor:next> ]", nullptr},
    {"sql_or", "sql_andor", "'OR' <sql_predicate:rhs> [ <sql_andor:next> ]", nullptr},
    {"sql_comparsion=", "sql_predicate", "<sql_expr:lhs> '=' <sql_expr:rhs>", nullptr},
    {"sql_comparsion<>", "sql_predicate", "<sql_expr:lhs> '<>' <sql_expr:rhs>", nullptr},
    {"sql_comparsion!=", "sql_predicate", "<sql_expr:lhs> '!=' <sql_expr:rhs>", nullptr},
    {"sql_comparsion>=", "sql_predicate", "<sql_expr:lhs> '>=' <sql_expr:rhs>", nullptr},
    {"sql_comparsion<=", "sql_predicate", "<sql_expr:lhs> '<=' <sql_expr:rhs>", nullptr},
    {"sql_comparsion>", "sql_predicate", "<sql_expr:lhs> '>' <sql_expr:rhs>", nullptr},
    {"sql_comparsion<", "sql_predicate", "<sql_expr:lhs> '<' <sql_expr:rhs>", nullptr},
    {"sql_is_pred", "sql_predicate", "<sql_expr:lhs> 'IS' ['NOT'] 'NULL' [ <sql_andor:next> ]", nullptr},
    {"select_order", "select_order", nullptr, "select_order_item"},
    {"select_order_item_n", "select_order_item", "<integer:order> [<sort_dir:dir>]", nullptr},
    {"select_order_expr", "select_order_item", "<sql_expr:expt> [<sort_dir:dir>]", nullptr},
    {"sort_dir_asc", "sort_dir", "'ASC'", nullptr},
    {"sort_dir_desc", "sort_dir", "'DESC'", nullptr},
};

} // namespace

void RegisterSelectRules(Grammar& grammar) {
    for (const RuleRow& row : kSelectRules) {
        if (row.body) {
            grammar.AddSequenceRule(row.name, row.group, row.body);
        } else {
            grammar.AddListRule(row.name, row.group, ",", row.item);
        }
    }
    grammar.SetStartRule("select_statement");
    grammar.Link();
}

const Grammar& SelectGrammar() {
    struct Holder {
        Grammar grammar;
        Holder() { RegisterSelectRules(grammar); }
    };
    static const Holder holder;
    return holder.grammar;
}

} // namespace marlix
