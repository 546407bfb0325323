#include "core/DialectNames.h"
#include "transform/ColumnNameQuoting.h"
#include "transform/SqlKeywordTable.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(DialectNames, ReadInAnyCaseUnknownIsMssql) {
    // clang-format off
    for (const auto& [name, dialect] : {std::pair{"firebird", Dialect::FIREBIRD}, {"Oracle", Dialect::ORACLE},
             {"access", Dialect::ACCESS}, {"mySql", Dialect::MYSQL}, {"Sybase", Dialect::MSSQL},
             {"", Dialect::MSSQL}, {"ORACLE ", Dialect::MSSQL}})
        EXPECT_EQ(DialectFromName(name), dialect) << '"' << name << '"';
    // clang-format on
    for (int code = 0; code < kDialectCount; ++code)
        EXPECT_EQ(DialectFromName(DialectName(static_cast<Dialect>(code))), static_cast<Dialect>(code));
    EXPECT_STREQ(DialectName(static_cast<Dialect>(9)), "MSSQL");
    EXPECT_STREQ(DialectName(static_cast<Dialect>(-1)), "MSSQL");
    EXPECT_STREQ(DialectDisplayName(Dialect::FIREBIRD), "Interbase/Firebird");
    EXPECT_STREQ(DialectDisplayName(Dialect::ACCESS), "MS Access");
}

TEST(StatementTypeNames, ReadInAnyCaseUnknownIsInsert) {
    using S = StatementType;
    // clang-format off
    for (const auto& [name, type] : {std::pair{"insert", S::INSERT}, {"Select", S::SELECT},
             {"insert_array", S::INSERT_ARRAY}, {"Upsert", S::UPSERT}, {"MERGE", S::INSERT},
             {"INSERT ARRAY", S::INSERT}})
        EXPECT_EQ(StatementTypeFromName(name), type) << name;
    // clang-format on
    for (int code = 0; code < kStatementTypeCount; ++code)
        EXPECT_EQ(StatementTypeFromName(StatementTypeName(static_cast<StatementType>(code))),
                  static_cast<StatementType>(code));
    EXPECT_STREQ(StatementTypeName(static_cast<StatementType>(8)), "SELECT");
}

TEST(SqlKeywordTable, TheSystemsKeywordsInTableOrder) {
    const SqlKeywordTable& table = StandardKeywordTable();
    ASSERT_EQ(table.Count(), 174u);
    EXPECT_EQ(table.At(0).text, "ADD");
    EXPECT_EQ(table.At(173).text, "WRITETEXT");
    int compute = table.Find("COMPUTE");
    ASSERT_GE(compute, 0);
    EXPECT_EQ(table.At(static_cast<size_t>(compute) + 1).text, "INDEX");
    EXPECT_EQ(table.At(static_cast<size_t>(compute) + 2).text, "CONSTRAINT");
    int blue = 0, gray = 0, magenta = 0;
    for (size_t i = 0; i < table.Count(); ++i) {
        KeywordColour c = table.At(i).colour;
        blue += c == kKeywordBlue;
        gray += c == kKeywordGray;
        magenta += c == kKeywordMagenta;
        EXPECT_EQ(table.Find(table.At(i).text), static_cast<int>(i)) << table.At(i).text;
    }
    EXPECT_EQ(blue, 148);
    EXPECT_EQ(gray, 17);
    EXPECT_EQ(magenta, 9);
}

TEST(SqlKeywordTable, LookupFoldsCaseAndNeedsTheWholeWord) {
    const SqlKeywordTable& table = StandardKeywordTable();
    EXPECT_TRUE(table.IsKeyword("select"));
    EXPECT_FALSE(table.IsKeyword("selects"));
    EXPECT_FALSE(table.IsKeyword("selec"));
    EXPECT_FALSE(table.IsKeyword(""));
    for (const char* word : {"exec", "exists", "index", "Identity_Insert", "current_timestamp"})
        EXPECT_TRUE(table.IsKeyword(word)) << word;
    EXPECT_EQ(table.At(static_cast<size_t>(table.Find("commit"))).colour, kKeywordBlue);
    // IN comes after INDEX, whose path it shares.
    EXPECT_EQ(table.At(static_cast<size_t>(table.Find("in"))).colour, kKeywordGray);
    EXPECT_EQ(table.At(static_cast<size_t>(table.Find("Coalesce"))).colour, kKeywordMagenta);
    EXPECT_EQ(RgbColour(255, 0, 255), kKeywordMagenta);
}

TEST(SqlKeywordTable, AnEntryAddedLaterOnAnExistingPath) {
    SqlKeywordTable table;
    table.Add(1, "ABCD");
    table.Add(2, "AB");
    EXPECT_EQ(table.Find("ab"), 1);
    EXPECT_EQ(table.Find("abcd"), 0);
    EXPECT_EQ(table.Find("abc"), -1);
    table.Add(3, std::string(300, 'Q'));
    EXPECT_EQ(table.At(2).text.size(), SqlKeywordTable::kMaxKeywordLength);
}

TEST(ColumnNameQuoting, PlainNamesAndNamesThatNeedQuotes) {
    for (const char* plain : {"Name", "order_no", "Sum$2", "_x"})
        EXPECT_FALSE(ColumnNameNeedsQuoting(plain)) << plain;
    // A keyword in any case, a leading digit, other characters, letters beyond ASCII, no name.
    for (const char* quoted : {"2nd", "ORDER", "order", "A-B", "a b", "K\xc3\xa4se", ""})
        EXPECT_TRUE(ColumnNameNeedsQuoting(quoted)) << quoted;
    EXPECT_EQ(ShortColumnName("dbo.T.Name"), "Name");
    EXPECT_EQ(ShortColumnName("Name"), "Name");
    EXPECT_EQ(ShortColumnName("T."), "");
}
