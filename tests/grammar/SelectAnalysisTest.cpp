#include "grammar/SelectAnalysis.h"
#include "grammar/SelectGrammar.h"
#include "grammar/Tokenizer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace marlix {
namespace {

AnalysedDescription Analyse(std::string_view sql, AnalysedDescription d = {}) {
    const TokenizedScript t = Tokenize(sql);
    AnalyseSelect(d, t.View(), 0, t.Tokens().size());
    return d;
}

std::string Tables(const AnalysedDescription& d) {
    std::string s;
    for (const auto& t : d.tables)
        s += t.name + "(" + t.alias + ") ";
    return s;
}

// name/alias/qualifier and flags P(lain), A(ll columns) per column
std::string Columns(const AnalysedDescription& d) {
    std::string s;
    for (const auto& c : d.columns) {
        s += c.name + "/" + c.alias + "/" + c.qualifier + "/" + (c.isPlainColumn ? "P" : "") +
             (c.allColumns ? "A" : "") + " ";
        EXPECT_EQ(c.tableIndex, -1);
        EXPECT_TRUE(c.tableName.empty());
        EXPECT_FALSE(c.isKey);
    }
    return s;
}

TEST(SelectGrammar, TheRuleTableLinks) {
    const Grammar& g = SelectGrammar();
    EXPECT_TRUE(g.IsValid());
    ASSERT_EQ(g.Rules().size(), 56u);
    EXPECT_EQ(g.StartRule()->Name(), "select_statement");
    EXPECT_EQ(g.Rules()[27]->Name(), "sql_binary|");
    EXPECT_EQ(g.Rules()[29]->Name(), "sql_binary||");
    EXPECT_EQ(&g, &SelectGrammar());
}

TEST(SelectAnalysis, JoinExample) {
    const auto d = Analyse("SELECT a, b AS x, 'T' = c + 1, * FROM t1 a1 JOIN t2 b2 ON a1.k = b2.k, t3 c3");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "t1(a1) t2(b2) t3(c3) ");
    EXPECT_EQ(d.sourceTable, "t1");
    EXPECT_EQ(d.destinationTable, "t1");
    EXPECT_EQ(Columns(d), "a///P b/x//P /'T'// ///A ");
}

TEST(SelectAnalysis, KeywordsAreNotReservedSoAliasesSwallowClauses) {
    // the joined table takes ON as its alias; the join then misses its ON and is dropped
    auto d = Analyse("SELECT a FROM t1 a1 JOIN t2 ON a1.k = t2.k");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "t1(a1) ");
    // the table takes WHERE as its alias; the unmatched tail is ignored
    d = Analyse("SELECT a FROM t WHERE a <> 1");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "t(WHERE) ");
    EXPECT_EQ(Columns(d), "a///P ");
    d = Analyse("SELECT * FROM t WHERE x = 1");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "t(WHERE) ");
}

TEST(SelectAnalysis, SelectListForms) {
    auto d = Analyse("SELECT TOP 10 * FROM t");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Columns(d), "///A ");
    EXPECT_EQ(Tables(d), "t() ");

    d = Analyse("SELECT a + b FROM t");
    EXPECT_EQ(Columns(d), "/// ");

    d = Analyse("select t.*, db.o.tab.*, x.y AS z, MAX(DISTINCT q) from db.o.tab AS t");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Columns(d), "//t/A //db.o.tab/A x.y/z//P /// ");
    EXPECT_EQ(Tables(d), "db.o.tab(t) ");
    EXPECT_EQ(d.sourceTable, "db.o.tab");

    d = Analyse("SELECT 'a' = (x), -y, f(1, 'z') * 2, COUNT(DISTINCT id), 2024-01-02 FROM t");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Columns(d), "/'a'// /// /// /// /// ");
}

TEST(SelectAnalysis, DerivedTablesAndJoinChains) {
    AnalysedDescription before;
    before.sourceTable = "keep";
    before.destinationTable = "keep2";
    auto d = Analyse("SELECT x FROM (t)", before);
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "");
    EXPECT_EQ(d.sourceTable, "keep");
    EXPECT_EQ(d.destinationTable, "keep2");
    EXPECT_EQ(Columns(d), "x///P ");

    // without an alias, the join keyword itself would become the alias of the table before it
    d = Analyse(
        "SELECT * FROM a x LEFT OUTER JOIN b y ON x.k = y.k INNER JOIN c AS cc ON (y.k = cc.k), (d), e");
    EXPECT_EQ(Tables(d), "a(x) b(y) c(cc) e() ");
    EXPECT_EQ(d.sourceTable, "a");
}

TEST(SelectAnalysis, ClausesAfterTheTables) {
    auto d =
        Analyse("SELECT a FROM t AS x WHERE NOT (a >= 1 AND b IS NOT NULL) OR c != 2 ORDER BY 1 DESC, a;");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "t(x) ");
    d = Analyse("/* lead */ SELECT a -- c\r\n FROM t /* tail */");
    EXPECT_EQ(d.analysed, 1);
    EXPECT_EQ(Tables(d), "t() ");
}

TEST(SelectAnalysis, StatementsThatDoNotParseLeaveTheDescription) {
    AnalysedDescription before;
    before.sourceTable = "s";
    before.tables.push_back({"old", ""});
    for (const char* sql : {"UPDATE t SET a = 1", "SELECT 12.5 FROM t", "SELECT a FROM",
                            "SELECT COUNT(*) FROM t", "SELECT a, FROM t", "", "SELECT"}) {
        const auto d = Analyse(sql, before);
        EXPECT_EQ(d.analysed, 0) << sql;
        EXPECT_EQ(d.sourceTable, "s") << sql;
        EXPECT_EQ(Tables(d), "old() ") << sql;
    }
}

TEST(SelectAnalysis, ASecondAnalysisReplacesTheLists) {
    auto d = Analyse("SELECT a, b FROM t1, t2");
    d = Analyse("SELECT c FROM t3", d);
    EXPECT_EQ(Tables(d), "t3() ");
    EXPECT_EQ(Columns(d), "c///P ");
    EXPECT_EQ(d.sourceTable, "t3");
}

TEST(SelectAnalysis, AnInvalidGrammarAnalysesNothing) {
    Grammar broken;
    RegisterSelectRules(broken);
    broken.AddSequenceRule("sql_bad", "sql_expr", "<no_such_group:x>");
    EXPECT_FALSE(broken.Link());
    const TokenizedScript t = Tokenize("SELECT a FROM t");
    AnalysedDescription d;
    AnalyseSelect(broken, d, t.View(), 0, t.Tokens().size());
    EXPECT_EQ(d.analysed, 0);
}

TEST(SelectAnalysis, PathologicalNestingEndsQuickly) {
    // MAX( is tried as an aggregate and then as a plain function: without remembering what
    // failed, each level would double the work.
    std::string nested = "SELECT ";
    for (int i = 0; i < 60; ++i)
        nested += "MAX(";
    nested += "x y FROM t";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Analyse(nested).analysed, 0);
    // nesting far beyond any real statement fails instead of exhausting the stack
    EXPECT_EQ(Analyse("SELECT " + std::string(100000, '(') + "x FROM t").analysed, 0);
    EXPECT_EQ(Analyse("SELECT a FROM t WHERE " + std::string(100000, '(') + "x = 1").analysed, 1);
    std::string chain = "SELECT a";
    for (int i = 0; i < 100000; ++i)
        chain += " + a";
    EXPECT_EQ(Analyse(chain + " FROM t").analysed, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // a chain of ordinary length still analyses
    std::string shortChain = "SELECT a";
    for (int i = 0; i < 150; ++i)
        shortChain += " + a";
    EXPECT_EQ(Analyse(shortChain + " FROM t").analysed, 1);
}

} // namespace
} // namespace marlix
