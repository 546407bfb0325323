#include "transform/ColumnNameQuoting.h"
#include "core/DialectNames.h"
#include "transform/SqlKeywordTable.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(DialectNames, ReadInAnyCaseUnknownIsMssql) {
    EXPECT_EQ(DialectFromName("firebird"), Dialect::FIREBIRD);
    EXPECT_EQ(DialectFromName("Oracle"), Dialect::ORACLE);
    EXPECT_EQ(DialectFromName("GENERIC"), Dialect::GENERIC);
    EXPECT_EQ(DialectFromName("access"), Dialect::ACCESS);
    EXPECT_EQ(DialectFromName("mySql"), Dialect::MYSQL);
    EXPECT_EQ(DialectFromName("MSSQL"), Dialect::MSSQL);
    EXPECT_EQ(DialectFromName("Sybase"), Dialect::MSSQL);
    EXPECT_EQ(DialectFromName(""), Dialect::MSSQL);
    EXPECT_EQ(DialectFromName("ORACLE "), Dialect::MSSQL);
    for (int code = 0; code < kDialectCount; ++code)
        EXPECT_EQ(DialectFromName(DialectName(static_cast<Dialect>(code))), static_cast<Dialect>(code));
    EXPECT_STREQ(DialectName(static_cast<Dialect>(9)), "MSSQL");
    EXPECT_STREQ(DialectName(static_cast<Dialect>(-1)), "MSSQL");
    EXPECT_STREQ(DialectDisplayName(Dialect::FIREBIRD), "Interbase/Firebird");
    EXPECT_STREQ(DialectDisplayName(Dialect::ACCESS), "MS Access");
}

TEST(StatementTypeNames, ReadInAnyCaseUnknownIsInsert) {
    EXPECT_EQ(StatementTypeFromName("insert"), StatementType::INSERT);
    EXPECT_EQ(StatementTypeFromName("Select"), StatementType::SELECT);
    EXPECT_EQ(StatementTypeFromName("insert_array"), StatementType::INSERT_ARRAY);
    EXPECT_EQ(StatementTypeFromName("update"), StatementType::UPDATE);
    EXPECT_EQ(StatementTypeFromName("replace"), StatementType::REPLACE);
    EXPECT_EQ(StatementTypeFromName("DELETE"), StatementType::DELETE);
    EXPECT_EQ(StatementTypeFromName("load"), StatementType::LOAD);
    EXPECT_EQ(StatementTypeFromName("Upsert"), StatementType::UPSERT);
    EXPECT_EQ(StatementTypeFromName("MERGE"), StatementType::INSERT);
    EXPECT_EQ(StatementTypeFromName("INSERT ARRAY"), StatementType::INSERT);
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
    EXPECT_FALSE(ColumnNameNeedsQuoting("Name"));
    EXPECT_FALSE(ColumnNameNeedsQuoting("order_no"));
    EXPECT_FALSE(ColumnNameNeedsQuoting("Sum$2"));
    EXPECT_FALSE(ColumnNameNeedsQuoting("_x"));
    EXPECT_TRUE(ColumnNameNeedsQuoting("2nd"));
    EXPECT_TRUE(ColumnNameNeedsQuoting("ORDER"));
    EXPECT_TRUE(ColumnNameNeedsQuoting("order"));
    EXPECT_TRUE(ColumnNameNeedsQuoting("A-B"));
    EXPECT_TRUE(ColumnNameNeedsQuoting("a b"));
    EXPECT_TRUE(ColumnNameNeedsQuoting("K\xc3\xa4se")); // not ASCII
    EXPECT_TRUE(ColumnNameNeedsQuoting(""));
    EXPECT_EQ(ShortColumnName("dbo.T.Name"), "Name");
    EXPECT_EQ(ShortColumnName("Name"), "Name");
    EXPECT_EQ(ShortColumnName("T."), "");
}
