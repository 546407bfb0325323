// The Rows and CommitEvery attributes of RESULTSET and the Literals attribute of OPTIONS: read,
// refused with the place of a bad value, written only where they differ from the defaults, kept
// by the edits that rewrite their elements.
#include "metadata/BlockComposer.h"
#include "metadata/BlockEdits.h"
#include "metadata/BlockReader.h"

#include <gtest/gtest.h>

#include <string>

namespace marlix {
namespace {

AnalysedScript Analysed(std::string text) {
    AnalysedScript s;
    s.Rebuild(std::move(text));
    return s;
}

std::string ResultSetBlock(std::string_view attributes) {
    return "/*METADATA><RESULTSET Type = \"INSERT\", Table = \"t\"" + std::string(attributes) +
           "/></METADATA*/\r\nselect * from s";
}

TEST(ConversionAttributes, RowsAndCommitEveryRead) {
    const AnalysedScript s =
        Analysed("select 1;\r\n" + ResultSetBlock(", rows = \"500\", COMMITEVERY = \"1000\"") + ";\r\n" +
                 ResultSetBlock(", Rows = \"1\", CommitEvery = \"0\""));
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    ASSERT_EQ(s.Statements().size(), 3u);
    // A statement without them, or with no block at all, keeps the defaults.
    EXPECT_EQ(s.Statements()[0].description.rowsPerStatement, 1);
    EXPECT_EQ(s.Statements()[0].description.commitEvery, 0);
    EXPECT_EQ(s.Statements()[1].description.rowsPerStatement, 500);
    EXPECT_EQ(s.Statements()[1].description.commitEvery, 1000);
    EXPECT_EQ(s.Statements()[2].description.rowsPerStatement, 1);
    EXPECT_EQ(s.Statements()[2].description.commitEvery, 0);
    const ConversionDescription plain = Analysed(ResultSetBlock("")).Statements()[0].description;
    EXPECT_EQ(plain.rowsPerStatement, 1);
    EXPECT_EQ(plain.commitEvery, 0);
}

// A bad value stops the reading at the value itself; what came before keeps what it read.
TEST(ConversionAttributes, BadNumbersRefusedAtTheirValue) {
    // An attribute, its value, the least it takes.
    const struct {
        std::string name, value, least;
    } cases[] = {
        {"Rows", "0", "1"},         {"Rows", "-5", "1"},         {"Rows", "ten", "1"},
        {"Rows", "", "1"},          {"Rows", "5 ", "1"},         {"Rows", "99999999999", "1"},
        {"CommitEvery", "-1", "0"}, {"CommitEvery", "1.5", "0"},
    };
    for (const auto& c : cases) {
        const std::string first =
            "/*METADATA><RESULTSET Table = \"a\", Rows = \"7\"/></METADATA*/ select 1;\r\n";
        const std::string attributes = ", " + c.name + " = \"" + c.value + "\"";
        const std::string text = first + "\r\n" + ResultSetBlock(attributes);
        const AnalysedScript s = Analysed(text);
        ASSERT_TRUE(s.BlockError().has_value()) << attributes;
        EXPECT_EQ(s.BlockError()->Message(),
                  c.name + " must be a whole number of " + c.least + " or more, not \"" + c.value + "\"");
        EXPECT_EQ(static_cast<std::size_t>(s.BlockError()->Offset()),
                  text.rfind(attributes) + c.name.size() + 5)
            << attributes;
        EXPECT_EQ(s.BlockErrorLine(), 2);
        EXPECT_EQ(s.Statements()[0].description.rowsPerStatement, 7);
    }
}

TEST(ConversionAttributes, LiteralsGovernFromTheirOptionsToTheNext) {
    const std::string text = "select 0;\r\n"
                             "/*METADATA><OPTIONS Syntax = \"SQLITE\", Literals = \"exact\"/></METADATA*/\r\n"
                             "select 1;\r\n" +
                             ResultSetBlock("") +
                             ";\r\n"
                             "/*METADATA><OPTIONS Syntax = \"MYSQL\", LITERALS = \"Standard\"/>"
                             "<RESULTSET Table = \"x\"/></METADATA*/ select 3;\r\n"
                             "/*METADATA><OPTIONS Syntax = \"MYSQL\"/></METADATA*/ select 4";
    const AnalysedScript s = Analysed(text);
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    ASSERT_EQ(s.Statements().size(), 5u);
    const LiteralStyle expected[] = {LiteralStyle::Inherit, LiteralStyle::Exact, LiteralStyle::Exact,
                                     LiteralStyle::Standard, LiteralStyle::Inherit};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(s.Statements()[i].description.literals, expected[i]) << i;
    EXPECT_EQ(s.CurrentDialect(), Dialect::MYSQL);

    // Anything but the two words is refused at the value.
    const std::string bad =
        "/*METADATA><OPTIONS Syntax = \"MSSQL\", Literals = \"LOSSLESS\"/></METADATA*/ select 1";
    const AnalysedScript refused = Analysed(bad);
    ASSERT_TRUE(refused.BlockError().has_value());
    EXPECT_EQ(refused.BlockError()->Message(),
              "Literals must be \"EXACT\" or \"STANDARD\", not \"LOSSLESS\"");
    EXPECT_EQ(static_cast<std::size_t>(refused.BlockError()->Offset()), bad.find("\"LOSSLESS"));
    EXPECT_EQ(LiteralStyleFromName("Exact"), LiteralStyle::Exact);
    EXPECT_FALSE(LiteralStyleFromName("INHERIT").has_value());
}

TEST(ConversionAttributes, ComposedOnlyWhereNotTheDefaults) {
    ConversionDescription d;
    d.type = StatementType::INSERT;
    d.sourceTable = "s";
    d.destinationTable = "t";
    const std::string plain = ComposeResultSetElement(d);
    EXPECT_EQ(plain.substr(0, plain.find('\r')),
              "<RESULTSET Type = \"INSERT\", Source = \"s\", Table = \"t\">");
    EXPECT_EQ(ComposeBlock(d, "SQLITE").find("Literals"), std::string::npos);

    d.rowsPerStatement = 500;
    d.commitEvery = 2;
    d.literals = LiteralStyle::Exact;
    const std::string block = ComposeBlock(d, "SQLITE");
    EXPECT_EQ(block.substr(0, block.find("\t\t<KEYS>")),
              "/*METADATA>\r\n\t<OPTIONS Syntax = \"SQLITE\", Literals = \"EXACT\"/>\r\n\t<RESULTSET Type = "
              "\"INSERT\", Source = \"s\", Table = \"t\", Rows = \"500\", CommitEvery = \"2\">\r\n");
    // Without an OPTIONS element there is nothing to carry the style.
    EXPECT_EQ(ComposeBlock(d, kDefaultDialectMarker).find("Literals"), std::string::npos);

    const AnalysedScript s = Analysed(block + "select * from s");
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    const ConversionDescription& read = s.Statements()[0].description;
    EXPECT_EQ(read.rowsPerStatement, 500);
    EXPECT_EQ(read.commitEvery, 2);
    EXPECT_EQ(read.literals, LiteralStyle::Exact);
    EXPECT_EQ(s.CurrentDialect(), Dialect::SQLITE);
}

TEST(ConversionAttributes, EditsKeepThemAndNewElementsCarryThem) {
    std::string text =
        "/*METADATA>\r\n\t<OPTIONS Syntax = \"MYSQL\", Literals = \"EXACT\"/>\r\n\t"
        "<RESULTSET Type = \"INSERT\", Table = \"t\", Rows = \"100\", CommitEvery = \"5\"/>\r\n"
        "</METADATA*/\r\nselect * from s";
    // The syntax change rewrites the OPTIONS element with its Literals.
    ApplyEdit(text, ChangeSyntaxEdit(Analysed(text), Dialect::POSTGRESQL));
    EXPECT_NE(text.find("<OPTIONS Literals = \"EXACT\", Syntax = \"POSTGRESQL\"/>"), std::string::npos)
        << text;
    // The wizard opened on the block starts from them.
    AnalysedScript s = Analysed(text);
    const std::optional<ResultSetEditStart> start = ResultSetEditAt(s, text.find("Rows"), Dialect::MSSQL);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->rowsPerStatement, 100);
    EXPECT_EQ(start->commitEvery, 5);
    EXPECT_EQ(ResultSetEditAt(Analysed(ResultSetBlock("")), 12, Dialect::MSSQL)->rowsPerStatement, 1);
    // A conversion choice sets the type and leaves the rest as written.
    ApplyEdit(text, WriteConversionChoice(s, &s.ResultSetItems()[0], 0, s.Statements()[0].description,
                                          StatementType::UPSERT));
    EXPECT_NE(text.find("<RESULTSET CommitEvery = \"5\", Rows = \"100\", Table = \"t\", Type = \"UPSERT\"/>"),
              std::string::npos)
        << text;
    s = Analysed(text);
    ASSERT_FALSE(s.BlockError().has_value()) << s.BlockError()->Message();
    const ConversionDescription& d = s.Statements()[0].description;
    EXPECT_EQ(d.type, StatementType::UPSERT);
    EXPECT_EQ(d.rowsPerStatement, 100);
    EXPECT_EQ(d.commitEvery, 5);
    EXPECT_EQ(d.literals, LiteralStyle::Exact);

    // A new element names them only when they are not the defaults.
    ConversionDescription fresh;
    fresh.sourceTable = "s";
    EXPECT_EQ(SerializeElement(BuildResultSetElement(fresh, StatementType::INSERT), "\t", true),
              "<RESULTSET Source = \"s\", Type = \"INSERT\"/>");
    fresh.rowsPerStatement = 1000;
    fresh.commitEvery = 10;
    EXPECT_EQ(SerializeElement(BuildResultSetElement(fresh, StatementType::INSERT), "\t", true),
              "<RESULTSET CommitEvery = \"10\", Rows = \"1000\", Source = \"s\", Type = \"INSERT\"/>");
}

} // namespace
} // namespace marlix
