// Composing blocks, reading them back, and the three edits applied to scripts.
#include "metadata/BlockComposer.h"
#include "metadata/BlockEdits.h"

#include <gtest/gtest.h>

#include <string>

namespace marlix {
namespace {

ConversionDescription Description(StatementType type, std::string source, std::string destination,
                                  std::vector<std::string> keys) {
    ConversionDescription d;
    d.type = type;
    d.sourceTable = std::move(source);
    d.destinationTable = std::move(destination);
    d.keyFields = std::move(keys);
    return d;
}

AnalysedScript Analysed(std::string text) {
    AnalysedScript s;
    s.Rebuild(std::move(text));
    return s;
}

TEST(BlockComposer, WorkedExampleByteForByte) {
    const auto d = Description(StatementType::UPDATE, "sysdatabases", "sysdatabases", {"name"});
    EXPECT_EQ(
        ComposeBlock(d, "MSSQL"),
        "/*METADATA>\r\n\t<OPTIONS Syntax = \"MSSQL\"/>\r\n\t<RESULTSET Type = \"UPDATE\", Source = "
        "\"sysdatabases\", Table = \"sysdatabases\">\r\n\t\t<KEYS>\r\n\t\t\t<KEY_name Field = \"name\"/>\r\n"
        "\t\t</KEYS>\r\n\t</RESULTSET>\r\n</METADATA*/\r\n\r\n");
    EXPECT_EQ(
        ComposeBlock(d, "<default>"),
        "/*METADATA>\r\n<RESULTSET Type = \"UPDATE\", Source = \"sysdatabases\", Table = \"sysdatabases\">"
        "\r\n\t\t<KEYS>\r\n\t\t\t<KEY_name Field = \"name\"/>\r\n\t\t</KEYS>\r\n\t</RESULTSET>\r\n"
        "</METADATA*/\r\n\r\n");
}

TEST(BlockComposer, GeneratedSelectAndKeyLines) {
    EXPECT_EQ(SplitFieldLines("a\r\n\r\nb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
    auto d = Description(StatementType::SELECT, "t", "t", SplitFieldLines("k\r\n"));
    const std::string star = ComposeBlock(d, "<default>", {true, true, ""});
    EXPECT_TRUE(star.ends_with("</METADATA*/\r\n\r\n\r\nSELECT  * FROM t;\r\n")) << star;
    const std::string fields = ComposeBlock(d, "<default>", {true, false, "a\r\nb\r\n\r\nc"});
    EXPECT_TRUE(fields.ends_with("\r\nSELECT a, b, c FROM t;\r\n")) << fields;
}

TEST(BlockComposer, ComposedBlocksReadBackAsTheyWereWritten) {
    for (StatementType type :
         {StatementType::SELECT, StatementType::INSERT, StatementType::INSERT_ARRAY, StatementType::UPDATE,
          StatementType::REPLACE, StatementType::DELETE, StatementType::LOAD}) {
        const auto d = Description(type, "dbo.src", "dst", {"z", "b", "a"});
        const AnalysedScript s = Analysed(ComposeBlock(d, "FIREBIRD", {true, false, "x\r\ny"}));
        ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
        ASSERT_EQ(s.Statements().size(), 1u);
        const ConversionDescription& read = s.Statements()[0].description;
        EXPECT_EQ(read.type, type);
        EXPECT_EQ(read.sourceTable, "dbo.src");
        EXPECT_EQ(read.destinationTable, "dst");
        EXPECT_EQ(read.keyFields, (std::vector<std::string>{"a", "b", "z"})); // name order
        EXPECT_EQ(s.SyntaxAt(s.Text().size(), Dialect::MSSQL), Dialect::FIREBIRD);
    }
}

TEST(BlockComposer, KeyFieldWithABlankCannotBeReadBack) {
    const AnalysedScript s =
        Analysed(ComposeBlock(Description(StatementType::UPDATE, "t", "t", {"first name"}), "<default>"));
    ASSERT_TRUE(s.BlockError().has_value());
    EXPECT_EQ(s.BlockError()->Message(), "'=' expected here");
    EXPECT_EQ(static_cast<std::size_t>(s.BlockError()->Offset()), s.Text().find("Field"));
}

TEST(BlockEdits, EditingTheResultSetAtAPositionKeepsTheOptions) {
    std::string text =
        "select 1;\r\n/*METADATA>\r\n\t<OPTIONS Syntax = \"ORACLE\"/>\r\n\t<RESULTSET Table = \"t\">"
        "<KEYS><KEY_B Field = \"b\"/><KEY_A Field = \"a\"/></KEYS></RESULTSET>\r\n</METADATA*/\r\n"
        "select * from t";
    const AnalysedScript s = Analysed(text);
    EXPECT_FALSE(ResultSetEditAt(s, 3, Dialect::MSSQL).has_value());
    EXPECT_FALSE(ResultSetEditAt(s, text.find("select * from t"), Dialect::MSSQL).has_value());
    const auto start = ResultSetEditAt(s, text.find("KEY_A"), Dialect::MSSQL);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->typeName, "SELECT"); // no Type: the wizard shows SELECT, execution reads INSERT
    EXPECT_EQ(start->sourceTable, "t");
    EXPECT_EQ(start->destinationTable, "t");
    EXPECT_EQ(start->keyFieldText, "a\r\nb");
    EXPECT_EQ(start->dialectName, "ORACLE");
    EXPECT_EQ(s.Statements()[1].description.type, StatementType::INSERT);

    ApplyEdit(text, ReplaceResultSetEdit(*start, Description(StatementType::DELETE, "s", "d", {"k"})));
    const AnalysedScript edited = Analysed(text);
    ASSERT_FALSE(edited.BlockError().has_value()) << edited.BlockError()->Message();
    const ConversionDescription& d = edited.Statements()[1].description;
    EXPECT_EQ(d.type, StatementType::DELETE);
    EXPECT_EQ(d.sourceTable, "s");
    EXPECT_EQ(d.keyFields, (std::vector<std::string>{"k"}));
    EXPECT_EQ(edited.SyntaxAt(text.size(), Dialect::MSSQL), Dialect::ORACLE);
    EXPECT_NE(text.find("\t<OPTIONS Syntax = \"ORACLE\"/>\r\n\t<RESULTSET Type = \"DELETE\""),
              std::string::npos);
}

TEST(BlockEdits, ConversionChoiceInsertsABlockOrRewritesTheElement) {
    std::string text = "select * from a;\r\nselect * from b";
    AnalysedScript s = Analysed(text);
    const std::size_t afterSeparator = s.Statements()[0].end + 1;
    const TextEdit insert = WriteConversionChoice(s, nullptr, afterSeparator,
                                                  Description(StatementType::INSERT, "b", "nb", {"id", "x"}),
                                                  StatementType::UPDATE);
    EXPECT_EQ(insert.text,
              "\r\n/*METADATA>\r\n\t<RESULTSET Source = \"b\", Table = \"nb\", Type = \"UPDATE\">\r\n"
              "\t\t<KEYS>\r\n\t\t\t<ID Field = \"id\"/>\r\n\t\t\t<X Field = \"x\"/>\r\n\t\t</KEYS>\r\n"
              "\t</RESULTSET>\r\n</METADATA*/\r\n");
    EXPECT_EQ(insert.Delta(), static_cast<std::ptrdiff_t>(insert.text.size()));
    ApplyEdit(text, insert);
    s = Analysed(text);
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    ASSERT_EQ(s.Statements().size(), 2u);
    EXPECT_EQ(s.Statements()[1].description.type, StatementType::UPDATE);
    EXPECT_EQ(s.Statements()[1].description.destinationTable, "nb");
    EXPECT_EQ(s.Statements()[1].description.keyFields, (std::vector<std::string>{"id", "x"}));

    const TextEdit rewrite = WriteConversionChoice(s, &s.ResultSetItems()[0], 0, {}, StatementType::DELETE);
    ApplyEdit(text, rewrite);
    s = Analysed(text);
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    EXPECT_EQ(s.Statements()[1].description.type, StatementType::DELETE);
    EXPECT_EQ(s.Statements()[1].description.keyFields, (std::vector<std::string>{"id", "x"}));
    EXPECT_EQ(rewrite.Delta(), 0); // UPDATE and DELETE have the same length

    EXPECT_THROW(
        BuildResultSetElement(Description(StatementType::UPDATE, "t", "", {"a", "A"}), StatementType::UPDATE),
        CSyntaxException);
    EXPECT_FALSE(BuildResultSetElement(Description(StatementType::UPDATE, "t", "", {}), StatementType::UPDATE)
                     .HasAttribute("TABLE"));
}

TEST(BlockEdits, ChangingTheSyntaxRewritesTheFirstOptionsOrAddsABlock) {
    std::string text = "-- note\r\nselect * from a;\r\nselect * from b";
    ApplyEdit(text, ChangeSyntaxEdit(Analysed(text), Dialect::ACCESS));
    AnalysedScript s = Analysed(text);
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    EXPECT_EQ(s.Statements().size(), 2u);
    EXPECT_TRUE(
        text.starts_with("/*METADATA>\r\n\t<OPTIONS Syntax = \"ACCESS\"/>\r\n</METADATA*/\r\n-- note"));
    EXPECT_EQ(s.SyntaxAt(text.size(), Dialect::MSSQL), Dialect::ACCESS);

    text += ";\r\n/*METADATA><OPTIONS Syntax = \"MYSQL\"/></METADATA*/ select 1";
    ApplyEdit(text, ChangeSyntaxEdit(Analysed(text), Dialect::GENERIC));
    s = Analysed(text);
    ASSERT_EQ(s.SyntaxItems().size(), 2u);
    EXPECT_EQ(s.SyntaxItems()[0].dialect, Dialect::GENERIC);
    EXPECT_EQ(s.SyntaxItems()[1].dialect, Dialect::MYSQL);

    std::string empty;
    ApplyEdit(empty, ChangeSyntaxEdit(Analysed(empty), Dialect::ORACLE));
    EXPECT_EQ(Analysed(empty).CurrentDialect(), Dialect::ORACLE);
}

} // namespace
} // namespace marlix
