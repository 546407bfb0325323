// What the browser makes of its records, as tables: labels, display names, escaped patterns, the
// quoting of names, the copy texts, the COLUMNS_UPDATED() mask, and the dropping of
// children with their items.
#include "catalog/CatalogText.h"
#include "RecordingTree.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace marlix;
using namespace marlix::test;

TEST(CatalogText, ProcedureNamesLoseAOneDigitVersionOnly) {
    const std::pair<const char*, const char*> cases[] = {{"proc;1", "proc"},     {"x;9", "x"},
                                                         {"proc;12", "proc;12"}, {";1", ";1"},
                                                         {"ab", "ab"},           {"proc", "proc"}};
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(ProcedureDisplayName(name), shown) << name;
}

TEST(CatalogText, LabelsNameTypeSizeAndNullability) {
    EXPECT_EQ(ColumnLabel("CODE", "varchar", SQL_VARCHAR, 10, 0, SQL_NO_NULLS),
              "CODE varchar (10), NOT NULL");
    EXPECT_EQ(ColumnLabel("N", "nvarchar", SQL_WVARCHAR, 40, 0, SQL_NULLABLE), "N nvarchar (40), NULL");
    EXPECT_EQ(ColumnLabel("C", "nchar", SQL_WCHAR, 2, 0, SQL_NULLABLE_UNKNOWN), "C nchar (2), NULL");
    EXPECT_EQ(ColumnLabel("ID", "int", SQL_INTEGER, 10, 0, SQL_NO_NULLS), "ID int, NOT NULL");
    // Each size once, as the server names the type; precision and scale for exact numbers.
    EXPECT_EQ(ColumnLabel("V", "varchar(30)", SQL_VARCHAR, 30, 0, SQL_NULLABLE), "V varchar(30), NULL");
    EXPECT_EQ(ColumnLabel("B", "bool", SQL_VARCHAR, 5, 0, SQL_NULLABLE), "B bool, NULL");
    EXPECT_EQ(ColumnLabel("M", "numeric", SQL_NUMERIC, 10, 2, SQL_NULLABLE), "M numeric (10,2), NULL");

    EXPECT_EQ(ParameterLabel("PCODE", "varchar", SQL_PARAM_INPUT, SQL_VARCHAR, 10, 0),
              "PCODE varchar [in] (10)");
    // The wide types get no size here, unlike columns.
    EXPECT_EQ(ParameterLabel("W", "nvarchar", SQL_PARAM_OUTPUT, SQL_WVARCHAR, 10, 0), "W nvarchar [out]");
    EXPECT_EQ(ParameterLabel("B", "int", SQL_PARAM_INPUT_OUTPUT, SQL_INTEGER, 10, 0), "B int [in/out]");
    EXPECT_EQ(ParameterLabel("R", "decimal", SQL_RESULT_COL, SQL_DECIMAL, 12, 4), "R decimal [data] (12,4)");
    EXPECT_EQ(ParameterLabel("", "int", SQL_RETURN_VALUE, SQL_INTEGER, 10, 0), " int [retv]");
    EXPECT_EQ(ParameterLabel("U", "int", SQL_PARAM_TYPE_UNKNOWN, SQL_INTEGER, 10, 0), "U int");
}

TEST(CatalogText, PatternsEscapeTheirWildcardsAndTheEscape) {
    EXPECT_EQ(EscapePattern("a_b", "\\"), "a\\_b");
    EXPECT_EQ(EscapePattern("50%_off", "\\"), "50\\%\\_off");
    EXPECT_EQ(EscapePattern("a\\b", "\\"), "a\\\\b");
    EXPECT_EQ(EscapePattern("a_b", ""), "a_b"); // no escape: the rows are filtered instead
    EXPECT_EQ(EscapePattern("", "\\"), "");
}

TEST(CatalogText, NamesAreQuotedWhereTheServerWouldNotReadThemAsWritten) {
    DriverNaming postgres{"\\", "\"", SQL_IC_LOWER, ""};
    DriverNaming mariadb{"\\", "`", SQL_IC_MIXED, "marlix"};
    DriverNaming oracle{"\\", "\"", SQL_IC_UPPER, ""};
    DriverNaming none{"", " ", SQL_IC_UPPER, ""};
    const std::tuple<const DriverNaming*, const char*, const char*> cases[] = {
        {&postgres, "plain_name", "plain_name"},
        {&postgres, "MixedCase", "\"MixedCase\""},
        {&postgres, "Full Name", "\"Full Name\""},
        {&postgres, "say\"hi", "\"say\"\"hi\""},
        {&postgres, "select", "\"select\""},
        {&mariadb, "MixedCase", "MixedCase"},
        {&mariadb, "Full Name", "`Full Name`"},
        {&mariadb, "a`b c", "`a``b c`"},
        {&oracle, "NAME", "NAME"},
        {&oracle, "name", "\"name\""},
        {&none, "Full Name", "Full Name"}};
    for (const auto& [naming, name, sql] : cases)
        EXPECT_EQ(IdentifierQuoting(*naming).Quote(name), sql) << name;
}

namespace {

// Table T in schema S with columns ID and NAME and key ID, as the reads make it.
struct Example {
    CatalogFolders folders{nullptr};
    CatalogTable* table;
    Example(const char* schema = "S") {
        table = folders.tables.tables.emplace_back(std::make_unique<CatalogTable>(nullptr, "T", schema, ""))
                    .get();
        table->keys = {"ID"};
        table->columns.push_back(std::make_unique<CatalogColumn>(nullptr, "ID", table, true));
        table->columns.push_back(std::make_unique<CatalogColumn>(nullptr, "NAME", table, false));
        table->loaded = true;
    }
};

} // namespace

TEST(CatalogText, CopyTextsOfEachKind) {
    Example e;
    CatalogProcedure procedure(nullptr, "p;1", "dbo", "");
    CatalogParameter parameter(nullptr, "@x", &procedure);
    Example bare("");
    const std::tuple<const CatalogNode*, const char*, const char*> cases[] = {
        {e.table, "T", "S.T"},
        {bare.table, "T", "T"},
        {e.table->columns[1].get(), "NAME", "T.NAME"}, // the table, not the schema
        {&procedure, "p", "dbo.p"},
        {&parameter, "@x", "@x"},
        {&e.folders.tables, "", ""}};
    for (const auto& [node, name, schemaName] : cases) {
        EXPECT_EQ(CopyNameText(*node), name);
        EXPECT_EQ(CopySchemaNameText(*node), schemaName);
    }
    EXPECT_EQ(KeyFieldText(*e.table), "ID");
}

TEST(CatalogText, ColumnsUpdatedMaskIsSignedThirtyTwoBits) {
    const std::tuple<std::vector<int>, int, int32_t> cases[] = {{{0, 2}, 3, 5}, {{31}, 32, INT32_MIN},
                                                                {{32}, 40, 0}, // a 33rd column is not listed
                                                                {{3}, 2, 0},   // past the entries
                                                                {{}, 5, 0},     {{0, 1, 30}, 32, 0x40000003}};
    for (const auto& [selected, entries, mask] : cases)
        EXPECT_EQ(ColumnsUpdatedMask(selected, entries), mask);
    std::vector<int> all(32);
    for (int i = 0; i < 32; ++i)
        all[static_cast<size_t>(i)] = i;
    EXPECT_EQ(ColumnsUpdatedMask(all, 32), -1);
}

TEST(CatalogRecords, TablesAreFoundByLabelThenNameTablesBeforeViews) {
    CatalogFolders folders(nullptr);
    auto add = [](CatalogTableFolder& folder, const char* name, const char* schema) {
        return folder.tables.emplace_back(std::make_unique<CatalogTable>(nullptr, name, schema, "")).get();
    };
    CatalogTable* s1 = add(folders.tables, "t", "s_1");
    CatalogTable* sx1 = add(folders.tables, "t", "sx1");
    CatalogTable* view = add(folders.views, "v", "s_1");
    CatalogTable* shadow = add(folders.views, "t", "");
    EXPECT_EQ(FindTable(folders, "sx1.t"), sx1);
    EXPECT_EQ(FindTable(folders, "t"), s1);
    EXPECT_EQ(FindTable(folders, "v"), view);
    EXPECT_EQ(FindTable(folders, "s_1.v"), view);
    EXPECT_EQ(FindTable(folders, "T"), nullptr); // exact names
    EXPECT_NE(shadow, nullptr);
    EXPECT_EQ(TableAndViewNames(folders, IdentifierQuoting(DriverNaming{"", "\"", SQL_IC_LOWER, ""})),
              (std::vector<std::string>{"s_1.t", "sx1.t", "s_1.v", "t"}));
    shadow->schema = "Sales";
    shadow->name = "Big \"T\"";
    // A name as SQL writes it is found without its quotes.
    for (const char* written : {"\"Sales\".\"Big \"\"T\"\"\"", "[Sales].`Big \"T\"`"})
        EXPECT_EQ(FindTable(folders, written), shadow) << written;
}

TEST(CatalogRecords, ClearingDropsRecordsWithTheirItemsAndThePlaceholder) {
    RecordingTree tree;
    CatalogFolders folders(&tree);
    tree.Attach(folders);
    auto& table = *folders.tables.tables.emplace_back(std::make_unique<CatalogTable>(&tree, "t", "", ""));
    table.item = tree.InsertItem(folders.tables.item, "t", kTableImage, kTableImage);
    tree.AttachRecord(table.item, &table);
    tree.InsertItem(table.item, "Nothing", kColumnImage, kColumnImage);
    folders.tables.loaded = true;
    const std::size_t before = tree.ItemCount();
    ClearChildren(table);
    EXPECT_TRUE(RecordingTree::ChildTexts(table.item).empty());
    EXPECT_EQ(tree.ItemCount(), before - 1);
    ClearChildren(folders.tables);
    EXPECT_TRUE(folders.tables.tables.empty());
    EXPECT_FALSE(folders.tables.loaded);
    EXPECT_EQ(tree.ItemCount(), before - 2);
    EXPECT_EQ(tree.Inconsistency(folders), "");
}
