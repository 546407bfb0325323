// Statement splitting, block reading and SELECT analysis of whole scripts.
#include "metadata/AnalysedScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlix {
namespace {

std::vector<std::string> StatementTexts(const AnalysedScript& s) {
    std::vector<std::string> texts;
    for (const StatementRecord& r : s.Statements())
        texts.push_back(s.Text().substr(r.start, r.end - r.start));
    return texts;
}

AnalysedScript Analysed(std::string text) {
    AnalysedScript s;
    s.Rebuild(std::move(text));
    return s;
}

TEST(StatementSplitting, SeparatorsInAnyCaseOutsideCommentsAndLiterals) {
    const AnalysedScript s =
        Analysed("select 1 GO select 2 go\r\nselect 'GO;' -- go;\r\n/* ; */ ;select 3 Go");
    EXPECT_EQ(StatementTexts(s), (std::vector<std::string>{"select 1 ", "select 2 ",
                                                           "select 'GO;' -- go;\r\n/* ; */ ", "select 3 "}));
    const StatementRecord& first = s.Statements()[0];
    EXPECT_EQ(first.firstToken, 0u);
    EXPECT_EQ(first.endToken, 2u);
    EXPECT_TRUE(IsStatementSeparator(s.View(), first.endToken));
}

TEST(StatementSplitting, NoEmptyStatementsAndTheLastRunsToTheEnd) {
    EXPECT_EQ(StatementTexts(Analysed("select 1;")), (std::vector<std::string>{"select 1"}));
    EXPECT_EQ(StatementTexts(Analysed(";; go select 1 ;;")), (std::vector<std::string>{"select 1 "}));
    const AnalysedScript one = Analysed("  select 1  ");
    ASSERT_EQ(one.Statements().size(), 1u);
    EXPECT_EQ(one.Statements()[0].start, 2u);
    EXPECT_EQ(one.Statements()[0].end, one.Text().size());
    EXPECT_EQ(one.Statements()[0].endToken, one.Script().Tokens().size());
    EXPECT_TRUE(Analysed("").Statements().empty());
    EXPECT_FALSE(Analysed(" \r\n").StatementsReady());
    // GOTO, [GO], "GO" and a GO inside a block's mark-up are no separators.
    EXPECT_EQ(Analysed("goto x [go] \"GO\" /*METADATA><A x = \"1\" GO ;</METADATA*/ y").Statements().size(),
              1u);
}

TEST(BlockReading, ResultSetDescribesItsStatement) {
    const AnalysedScript s = Analysed(
        "/*metadata><RESULTSET Type = \"update\", Source = \"src\", Table = \"dst\", File = \"f.txt\">"
        "<KEYS><KEY_C Field = \"C\"/><KEY_A Field = \"A\"/></KEYS></RESULTSET></metadata*/\r\n"
        "SELECT * FROM other;\r\nSELECT * FROM plain");
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    ASSERT_EQ(s.Statements().size(), 2u);
    const ConversionDescription& d = s.Statements()[0].description;
    EXPECT_EQ(d.type, StatementType::UPDATE);
    EXPECT_EQ(d.sourceTable, "src");
    EXPECT_EQ(d.destinationTable, "dst");
    EXPECT_EQ(d.file, "f.txt");
    EXPECT_EQ(d.keyFields, (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(d.described, 0);
    EXPECT_EQ(d.describedByBlock, 1);
    EXPECT_EQ(d.resultSetNumber, 0);
    // The block's description wins over the analysis, which is still made.
    EXPECT_EQ(s.Statements()[0].analysed.analysed, 1);
    EXPECT_EQ(s.Statements()[0].analysed.sourceTable, "other");

    const StatementRecord& plain = s.Statements()[1];
    EXPECT_EQ(plain.description.describedByBlock, 0);
    EXPECT_EQ(plain.description.sourceTable, "plain");
    EXPECT_EQ(plain.description.destinationTable, "plain");

    ASSERT_EQ(s.ResultSetItems().size(), 1u);
    const ScriptItem& item = s.ResultSetItems()[0];
    EXPECT_EQ(item.kind, ScriptItemKind::ResultSet);
    EXPECT_EQ(item.start, s.Text().find("<RESULTSET"));
    EXPECT_EQ(item.end, s.Text().find("</metadata*/"));
    ASSERT_NE(s.ItemElement(item), nullptr);
    EXPECT_EQ(s.ItemElement(item)->Name(), "RESULTSET");
}

TEST(BlockReading, OnlyTableMissingTypeAndResultSetNumbers) {
    const AnalysedScript s =
        Analysed("/*METADATA><RESULTSET Table = \"t\"/></METADATA*/\r\n"
                 "/*METADATA><RESULTSET Source = \"s\", Type = \"bogus\"/></METADATA*/\r\n"
                 "exec p");
    ASSERT_FALSE(s.BlockError().has_value());
    ASSERT_EQ(s.Statements().size(), 1u);
    const ConversionDescription& d = s.Statements()[0].description;
    // The second block's RESULTSET applies after the first one's.
    EXPECT_EQ(d.sourceTable, "s");
    EXPECT_EQ(d.destinationTable, "t");
    EXPECT_EQ(d.type, StatementType::INSERT);
    EXPECT_EQ(d.resultSetNumber, 1);
    EXPECT_EQ(s.ResultSetItems().size(), 2u);
    EXPECT_LT(s.ResultSetItems()[0].number, s.ResultSetItems()[1].number);

    const ConversionDescription only =
        Analysed("/*METADATA><RESULTSET Table = \"t\"/></METADATA*/ x").Statements()[0].description;
    EXPECT_EQ(only.sourceTable, "t");
    EXPECT_EQ(only.destinationTable, "t");
    EXPECT_EQ(only.type, StatementType::INSERT);
}

TEST(BlockReading, OptionsGovernEveryLaterStatement) {
    const std::string text = "/*METADATA>\r\n\t<OPTIONS Syntax = \"oracle\"/>\r\n</METADATA*/\r\n"
                             "SELECT * FROM a;\r\nSELECT * FROM b;\r\n"
                             "/*METADATA><options syntax = \"MYSQL\"/></METADATA*/ SELECT * FROM c";
    const AnalysedScript s = Analysed(text);
    ASSERT_FALSE(s.BlockError().has_value());
    ASSERT_EQ(s.Statements().size(), 3u);
    for (const StatementRecord& r : s.Statements())
        EXPECT_EQ(r.description.describedByBlock, 0);
    EXPECT_EQ(s.Statements()[0].description.sourceTable, "a");
    EXPECT_EQ(s.SyntaxAt(0, Dialect::GENERIC), Dialect::GENERIC);
    EXPECT_EQ(s.SyntaxAt(s.ItemElement(s.SyntaxItems()[0])->Start(), Dialect::GENERIC), Dialect::GENERIC);
    EXPECT_EQ(s.SyntaxAt(text.find("SELECT"), Dialect::GENERIC), Dialect::ORACLE);
    EXPECT_EQ(s.SyntaxAt(s.Statements()[1].start, Dialect::GENERIC), Dialect::ORACLE);
    EXPECT_EQ(s.SyntaxAt(text.find("FROM c"), Dialect::GENERIC), Dialect::MYSQL);
    EXPECT_EQ(s.CurrentDialect(), Dialect::MYSQL);
    EXPECT_FALSE(Analysed("select 1").CurrentDialect().has_value());
    EXPECT_EQ(Analysed("select 1").SyntaxAt(5, Dialect::ACCESS), Dialect::ACCESS);
}

TEST(BlockReading, CommentsTextAndKeysBlocksDoNotHideASelect) {
    const AnalysedScript s =
        Analysed("-- first\r\n/*TEXT>header</TEXT*/ /*METADATA><OPTIONS Syntax = \"ORACLE\"/>"
                 "<X><Y/></X></METADATA*/ select * from t1 JOIN t2 ON t1.a = t2.a");
    ASSERT_FALSE(s.BlockError().has_value());
    const StatementRecord& r = s.Statements()[0];
    EXPECT_EQ(r.analysed.analysed, 1);
    EXPECT_EQ(r.description.sourceTable, "t1");
    EXPECT_EQ(Analysed("update t set a = 1").Statements()[0].analysed.analysed, 0);
}

TEST(BlockReading, AnErrorStopsTheReadingAndIsKeptWithItsLine) {
    const std::string text =
        "/*METADATA><RESULTSET Table = \"a\"/></METADATA*/ select * from a;\r\n"
        "/*METADATA><RESULTSET/><RESULTSET/></METADATA*/\r\nselect * from b;\r\n"
        "/*METADATA><OPTIONS Syntax = \"ORACLE\"/><RESULTSET Table = \"c\"/></METADATA*/ "
        "select * from c";
    const AnalysedScript s = Analysed(text);
    ASSERT_TRUE(s.BlockError().has_value());
    EXPECT_EQ(s.BlockError()->Message(), "Duplicate key name detected");
    EXPECT_EQ(static_cast<std::size_t>(s.BlockError()->Offset()), text.find("<RESULTSET/><RESULTSET") + 12);
    EXPECT_EQ(s.BlockErrorLine(), 1);
    ASSERT_EQ(s.Statements().size(), 3u);
    EXPECT_EQ(s.Statements()[0].description.destinationTable, "a");
    EXPECT_EQ(s.Statements()[1].description.describedByBlock, 0);
    EXPECT_EQ(s.Statements()[2].description.describedByBlock, 0);
    EXPECT_EQ(s.Statements()[2].analysed.analysed, 0);
    EXPECT_TRUE(s.SyntaxItems().empty());
    EXPECT_EQ(s.ResultSetItems().size(), 1u);

    const std::string unclosed = "select 1;\r\n/*METADATA><OPTIONS Syntax = \"ORACLE\"/>";
    const AnalysedScript open = Analysed(unclosed);
    ASSERT_TRUE(open.BlockError().has_value());
    EXPECT_EQ(open.BlockError()->Message(), "end of XML clause expected here");
    EXPECT_LT(static_cast<std::size_t>(open.BlockError()->Offset()), unclosed.size());
    // The OPTIONS element was read, but its block failed before it could be applied.
    EXPECT_FALSE(open.CurrentDialect().has_value());

    EXPECT_FALSE(Analysed("select 1").BlockError().has_value());
    EXPECT_EQ(Analysed("select 1").BlockErrorLine(), -1);
}

TEST(AnalysedScriptObject, RebuildStartsAfreshAndCopiesKeepTheirText) {
    AnalysedScript s;
    s.Rebuild(
        "/*METADATA><OPTIONS Syntax = \"ORACLE\"/><RESULTSET Table = \"t\"/></METADATA*/ select * from t");
    AnalysedScript copy = s;
    s.Rebuild("short");
    EXPECT_TRUE(s.ResultSetItems().empty());
    EXPECT_TRUE(s.SyntaxItems().empty());
    EXPECT_TRUE(s.Root().Children().empty());
    EXPECT_FALSE(s.CurrentDialect().has_value());
    EXPECT_EQ(s.Root().Name(), "GLOBALROOT");
    EXPECT_EQ(copy.View().TextOf(copy.Statements()[0].firstToken), "/*METADATA>");
    EXPECT_EQ(copy.Root().Children().size(), 1u);
    EXPECT_EQ(copy.BlockAt(5)->Name(), copy.Root().Children().begin()->first);
    EXPECT_EQ(copy.BlockAt(copy.Text().find("select")), nullptr);
    EXPECT_EQ(copy.StatementAt(copy.Text().size()), &copy.Statements()[0]);
}

TEST(LineOfOffset, EveryLineEndCountsOnce) {
    EXPECT_EQ(LineOfOffset("a\r\nb\nc\rd", 0), 0);
    EXPECT_EQ(LineOfOffset("a\r\nb\nc\rd", 3), 1);
    EXPECT_EQ(LineOfOffset("a\r\nb\nc\rd", 5), 2);
    EXPECT_EQ(LineOfOffset("a\r\nb\nc\rd", 7), 3);
    EXPECT_EQ(LineOfOffset("a\r\n", 99), 1);
}

} // namespace
} // namespace marlix

// Reused analyses must give exactly what a script object seeing the text for the first time gives.
TEST(AnalysedScriptReuse, AnalysesAfterAnEditEqualAColdAnalysis) {
    const std::string before = "select a, b from t1 x join t2 y on x.id = y.id;\r\n"
                               "select c from t3;\r\nselect * from t4 where q = 1";
    const std::string after = "select a, b from t1 x join t2 y on x.id = y.id;\r\n"
                              "select c, d from t5 z;\r\nselect * from t4 where q = 1";
    marlix::AnalysedScript warm;
    warm.Rebuild(before);
    warm.Rebuild(after);
    warm.Rebuild(after); // twice: the reused set is the last run's, not the first one's
    marlix::AnalysedScript cold;
    cold.Rebuild(after);
    ASSERT_EQ(warm.Statements().size(), cold.Statements().size());
    for (std::size_t i = 0; i < cold.Statements().size(); ++i) {
        const auto& w = warm.Statements()[i].analysed;
        const auto& c = cold.Statements()[i].analysed;
        EXPECT_EQ(w.analysed, c.analysed) << i;
        EXPECT_EQ(w.sourceTable, c.sourceTable) << i;
        ASSERT_EQ(w.tables.size(), c.tables.size()) << i;
        for (std::size_t t = 0; t < c.tables.size(); ++t) {
            EXPECT_EQ(w.tables[t].name, c.tables[t].name);
            EXPECT_EQ(w.tables[t].alias, c.tables[t].alias);
        }
        ASSERT_EQ(w.columns.size(), c.columns.size()) << i;
        for (std::size_t k = 0; k < c.columns.size(); ++k)
            EXPECT_EQ(w.columns[k].name, c.columns[k].name);
        EXPECT_EQ(warm.Statements()[i].description.sourceTable, cold.Statements()[i].description.sourceTable);
    }
    EXPECT_EQ(warm.Statements()[1].analysed.sourceTable, "t5");
}
