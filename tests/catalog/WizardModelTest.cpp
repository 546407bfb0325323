// The Metadata Wizard's and the key selection's rules without their windows, as tables: which
// controls are enabled in each state, what the lists start with, what the buttons add, and the
// block or element a confirmed choice writes.
#include "catalog/CatalogText.h"
#include "catalog/KeySelectionModel.h"
#include "catalog/MetadataWizardModel.h"
#include "core/SyntaxException.h"
#include "metadata/AnalysedScript.h"
#include "metadata/BlockEdits.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>

using namespace marlix;

namespace {

using Names = std::vector<std::string>;

// Tables and their columns given by the test.
class FixedColumns final : public TableColumnSource {
public:
    std::vector<std::string> SourceNames() override {
        return {"item", "orders", "item_view", "\"Sales\".\"Customer\""};
    }
    std::vector<std::string> ColumnsOf(const std::string& source) override {
        ++reads;
        static const std::map<std::string, Names> columns = {
            {"item", {"id", "name", "price"}},
            {"orders", {"no", "item_id"}},
            {"item_view", {"id"}},
            {"\"Sales\".\"Customer\"", {"CustomerID", "Name", "note"}}};
        auto it = columns.find(source);
        return it == columns.end() ? Names{} : it->second;
    }
    // As PostgreSQL, which folds unquoted names to lower case.
    std::string QuotedName(const std::string& name) override {
        return IdentifierQuoting(DriverNaming{"", "\"", SQL_IC_LOWER, ""}).Quote(name);
    }
    int reads = 0;
};

WizardStart NewBlock(const char* keys = "id") {
    return WizardStart{"item", "item", "", "Select", keys, true};
}
WizardStart EditBlock(const char* type = "UPDATE") {
    return WizardStart{"item", "item", "MSSQL", type, "id", false};
}

// The model's block as the block reader reads it back: its one statement and the dialect.
struct ReadBack {
    ConversionDescription description;
    std::optional<Dialect> dialect;
};
ReadBack Read(const MetadataWizardModel& model) {
    AnalysedScript script;
    script.Rebuild(model.BlockText());
    if (script.BlockError() || script.Statements().size() != 1)
        throw std::runtime_error("the block does not read back: " + model.BlockText());
    return {script.Statements()[0].description, script.CurrentDialect()};
}

} // namespace

TEST(WizardModel, ControlsFollowTheRulesInEveryState) {
    using Act = std::function<void(MetadataWizardModel&)>;
    const Act none = [](auto&) {};
    const Act fields = [](auto& m) { m.SetSelectAll(false); };
    const Act update = [](auto& m) { m.ChooseType(2); };
    const char* keys = "Key fields are needed for UPDATE, DELETE, REPLACE and UPSERT: add at least one.";
    // Enabled, in order: OK, Generate, the SELECT choice, the field list, Add keys, Add fields,
    // Add all; and the hint beside OK.
    const struct {
        const char* what;
        WizardStart start;
        Act act;
        const char* enabled;
        const char* hint;
    } cases[] = {
        {"new block for a table with a key", NewBlock(), none, "1110000", ""},
        {"a SELECT of a table without a key", NewBlock(""), none, "1110000", ""},
        {"an INSERT without a key", NewBlock(""), [](auto& m) { m.ChooseType(1); }, "1110000", ""},
        {"an UPDATE without a key", NewBlock(""), update, "0110000", keys},
        {"an UPDATE, a key typed", NewBlock(""), [&](auto& m) { update(m), m.EditKeys("id"); }, "1110000",
         ""},
        {"an UPDATE, only blank lines as keys", NewBlock("\r\n\r\n"), update, "0110000", keys},
        {"SELECT fields without a field", NewBlock(), fields, "0111001", "Give the fields to SELECT."},
        {"SELECT fields with fields", NewBlock(), [&](auto& m) { fields(m), m.EditFields("id\r\nname"); },
         "1111001", ""},
        {"SELECT fields, no SELECT generated", NewBlock(),
         [&](auto& m) { fields(m), m.SetGenerateSelect(false); }, "1100000", ""},
        {"a column selected, SELECT *", NewBlock(), [](auto& m) { m.SelectColumns({1}); }, "1110100", ""},
        {"a column selected, SELECT fields", NewBlock(), [&](auto& m) { fields(m), m.SelectColumns({1}); },
         "0111111", "Give the fields to SELECT."},
        {"no source", NewBlock(), [](auto& m) { m.EditSource(""); }, "0110000", "Give the source table."},
        {"no statement type", NewBlock(), [](auto& m) { m.ChooseType(-1); }, "0110000",
         "Choose a statement type."},
        {"editing a block", EditBlock(), none, "1000000", ""},
        {"editing an INSERT block without keys", EditBlock("INSERT"), [](auto& m) { m.EditKeys(""); },
         "1000000", ""},
        {"editing a block of type INSERT_ARRAY", EditBlock("INSERT_ARRAY"), none, "1000000", ""},
        {"editing a block, a column selected", EditBlock(), [](auto& m) { m.SelectColumns({0}); }, "1000100",
         ""}};
    for (const auto& c : cases) {
        FixedColumns columns;
        MetadataWizardModel m(c.start, columns);
        c.act(m);
        std::string enabled;
        for (bool on : {m.OkEnabled(), m.GenerateEnabled(), m.SelectChoiceEnabled(), m.FieldListEnabled(),
                        m.AddKeysEnabled(), m.AddFieldsEnabled(), m.AddAllFieldsEnabled()})
            enabled += on ? '1' : '0';
        EXPECT_EQ(enabled, c.enabled) << c.what;
        EXPECT_EQ(m.OkHint(), c.hint) << c.what;
    }
}

// The SELECT a new block generates lists every key field, and the source's columns as the
// catalog spells them, quoted where the server folds names; the block names the source as the
// SELECT does, and reads back with its dialect and type.
TEST(WizardModel, TheSelectListsEveryKeyAsTheCatalogSpellsIt) {
    const std::tuple<const char*, const char*, const char*, const char*, int, Dialect> cases[] = {
        {"\"Sales\".\"Customer\"", "CustomerID", "name",
         "\"Name\", \"CustomerID\" FROM \"Sales\".\"Customer\";", 6, Dialect::POSTGRESQL},
        {"\"Sales\".\"Customer\"", "customerid", "c.\"CustomerID\"\r\nNOTE",
         "c.\"CustomerID\", note FROM \"Sales\".\"Customer\";", 7, Dialect::SQLITE},
        {"item", "id\r\nname", "price", "price, id, name FROM item;", 5, Dialect::GENERIC},
        {"item", "", "upper(name)", "upper(name) FROM item;", 1, Dialect::MSSQL}};
    for (const auto& [source, keys, fields, select, dialectIndex, dialect] : cases) {
        FixedColumns columns;
        MetadataWizardModel model(WizardStart{source, source, "", "Upsert", keys, true}, columns);
        model.SetSelectAll(false);
        model.EditFields(fields);
        model.ChooseDialect(dialectIndex);
        const ReadBack read = Read(model);
        EXPECT_NE(model.BlockText().find(std::string("\r\nSELECT ") + select), std::string::npos)
            << model.BlockText();
        EXPECT_EQ(read.description.sourceTable + read.description.destinationTable,
                  std::string(source) + source);
        EXPECT_EQ(read.dialect.value_or(Dialect::MSSQL), dialect);
        EXPECT_EQ(read.description.type, StatementType::UPSERT);
    }
}

TEST(WizardModel, StartSelectsTheFirstItemThatBeginsWithTheText) {
    const std::tuple<const char*, int, const char*, int> cases[] = {{"", 0, "Select", 0},
                                                                    {"MSSQL", 0, "SELECT", 0},
                                                                    {"ACCESS", 0, "update", 2},
                                                                    {"FIREBIRD", 0, "DELETE", 4},
                                                                    {"ORACLE", 2, "INSERT", 1},
                                                                    {"MYSQL", 3, "REPLACE", 3},
                                                                    {"GENERIC", 5, "INSERT_ARRAY", 6},
                                                                    {"oracle", 2, "LOAD", 7},
                                                                    {"POSTGRESQL", 6, "UPSERT", 5},
                                                                    {"sqlite", 7, "upsert", 5}};
    for (const auto& [dialect, dialectIndex, type, typeIndex] : cases) {
        FixedColumns columns;
        WizardStart start = EditBlock(type);
        start.dialectText = dialect;
        MetadataWizardModel model(start, columns);
        EXPECT_EQ(model.DialectIndex(), dialectIndex) << dialect;
        EXPECT_EQ(model.TypeIndex(), typeIndex) << type;
    }
}

TEST(WizardModel, SourceChoiceLoadsItsColumnsAndTheDestinationFollowsWhenItStartedEmpty) {
    FixedColumns columns;
    MetadataWizardModel model(WizardStart{"ITEM", "", "", "Select", "", true}, columns);
    EXPECT_EQ(model.SourceIndex(), 0); // compared without case
    EXPECT_EQ(model.Columns(), (Names{"id", "name", "price"}));
    model.ChooseSource(1);
    EXPECT_EQ(model.SourceText(), "orders");
    EXPECT_EQ(model.DestinationText(), "orders");
    EXPECT_EQ(model.Columns(), (Names{"no", "item_id"}));
    model.EditSource("unknown");
    EXPECT_EQ(model.DestinationText(), "unknown");
    EXPECT_TRUE(model.Columns().empty());

    MetadataWizardModel kept(NewBlock(), columns);
    kept.EditSource("orders");
    EXPECT_EQ(kept.DestinationText(), "item");
}

TEST(WizardModel, ButtonsAppendColumnsInListOrderOnePerLine) {
    FixedColumns columns;
    MetadataWizardModel model(NewBlock(), columns);
    model.SelectColumns({2, 0, 2});
    model.AddSelectedKeys();
    EXPECT_EQ(model.KeyText(), "id\r\nid\r\nprice"); // duplicates stay
    model.SetSelectAll(false);
    model.AddSelectedFields();
    EXPECT_EQ(model.FieldText(), "id\r\nprice");
    model.AddAllFields();
    EXPECT_EQ(model.FieldText(), "id\r\nprice\r\nid\r\nname\r\nprice");
    // A SELECT * leaves the field list alone.
    MetadataWizardModel all(NewBlock(), columns);
    all.SelectColumns({0});
    all.AddSelectedFields();
    all.AddAllFields();
    EXPECT_EQ(all.FieldText(), "");
}

// The block's texts are BlockComposer's (BlockWritingTest), the new block's choices
// TheSelectListsEveryKeyAsTheCatalogSpellsIt's.
TEST(WizardModel, EditingABlockWritesItsResultSetElementAlone) {
    FixedColumns columns;
    // Editing a block writes the RESULTSET element only; the dialect stays where it is.
    MetadataWizardModel edit(EditBlock(), columns);
    edit.ChooseType(4);
    EXPECT_EQ(edit.ResultSetElementText(),
              "<RESULTSET Type = \"DELETE\", Source = \"item\", Table = \"item\">\r\n"
              "\t\t<KEYS>\r\n\t\t\t<KEY_id Field = \"id\"/>\r\n\t\t</KEYS>\r\n\t</RESULTSET>");
}

TEST(KeySelectionModel, OkNeedsAColumnAndTheChoiceGoesIntoTheElement) {
    FixedColumns columns;
    KeySelectionModel model(KeySelectionStart{"Orders", "orders_copy", {"item", "orders"}}, columns);
    EXPECT_EQ(model.SourceIndex(), 1);
    EXPECT_EQ(model.Columns(), (Names{"no", "item_id"}));
    EXPECT_FALSE(model.OkEnabled());
    model.SelectColumns({1, 0});
    EXPECT_TRUE(model.OkEnabled());
    EXPECT_EQ(model.ChosenKeys(), (Names{"no", "item_id"}));
    model.ChooseSource(0);
    EXPECT_FALSE(model.OkEnabled()); // a new source, nothing chosen in it yet

    ElementNode element("RESULTSET");
    element.SetAttribute("TYPE", "UPDATE");
    ApplyKeyChoice(element, "orders", "orders_copy", {"no", "item_id"});
    EXPECT_EQ(element.Attribute("SOURCE"), "orders");
    EXPECT_EQ(element.Attribute("TABLE"), "orders_copy");
    const ElementNode* keys = element.FindChild("KEYS");
    ASSERT_NE(keys, nullptr);
    ASSERT_NE(keys->FindChild("item_id"), nullptr); // named by the field itself
    EXPECT_EQ(keys->FindChild("no")->Attribute("FIELD"), "no");
    EXPECT_THROW(ApplyKeyChoice(element, "orders", "orders", {"no", "NO"}), CSyntaxException);
}

// Convert to and Copy as on a result without keys: the statement's tables are offered, and the
// choice goes into its block, or into a new one before it, with the type.
TEST(KeySelectionModel, TheChoiceGoesIntoTheStatementsBlockOrANewOne) {
    FixedColumns columns;
    AnalysedDescription analysis;
    analysis.tables = {{"orders", "o"}, {"item", ""}, {"orders", ""}};
    ConversionDescription description;
    description.sourceTable = "orders";
    KeySelectionModel model(KeySelectionStartFor(description, analysis), columns);
    EXPECT_EQ(model.Sources(), (Names{"orders", "item"}));
    EXPECT_EQ(model.DestinationText(), "orders");
    model.SelectColumns({0});
    model.EditDestination("orders_copy");
    for (const char* block :
         {"", "/*METADATA>\r\n<RESULTSET Type = \"SELECT\", Rows = \"5\"/>\r\n</METADATA*/\r\n"}) {
        AnalysedScript script;
        std::string text = std::string(block) + "select no from orders;";
        script.Rebuild(text);
        const ScriptItem* item = script.ResultSetItems().empty() ? nullptr : &script.ResultSetItems()[0];
        ApplyEdit(text, KeyChoiceEdit(script, item, script.Statements()[0].start, description,
                                      StatementType::UPDATE, model));
        script.Rebuild(text);
        const ConversionDescription& written = script.Statements().at(0).description;
        EXPECT_EQ(written.type, StatementType::UPDATE) << text;
        EXPECT_EQ(written.keyFields, Names{"no"}) << text;
        EXPECT_EQ(written.destinationTable + written.sourceTable, "orders_copyorders") << text;
        EXPECT_EQ(written.rowsPerStatement, *block ? 5 : 1) << text; // the block's own attributes stay
    }
}

TEST(KeySelectionModel, KeysNameResultColumnsWithoutQualifierOrCase) {
    const Names columns = {"ID", "Name", "price"};
    EXPECT_EQ(KeyColumnIndexes(columns, {"o.name", "dbo.orders.id"}), (std::vector<int>{0, 1}));
    EXPECT_EQ(KeyColumnIndexes(columns, {"qty"}), std::vector<int>{});
}

TEST(WizardModel, RowsAndCommitEveryFollowTheTypeAndAreKept) {
    FixedColumns columns;
    // Rows only group INSERTs; commits go between statements of every type but the text table.
    const std::tuple<int, bool, bool> cases[] = {{-1, false, false}, {0, false, false}, {1, true, true},
                                                 {2, false, true},   {3, false, true},  {4, false, true},
                                                 {5, false, true},   {6, false, false}, {7, false, false}};
    for (const auto& [typeIndex, rows, commitEvery] : cases) {
        MetadataWizardModel model(NewBlock(), columns);
        model.ChooseType(typeIndex);
        EXPECT_EQ(model.RowsEnabled(), rows) << typeIndex;
        EXPECT_EQ(model.CommitEveryEnabled(), commitEvery) << typeIndex;
    }

    // A new block starts with one row per statement and no commits (the composer leaves those
    // out); counts below their least value are the least value.
    MetadataWizardModel fresh(NewBlock(), columns);
    EXPECT_EQ(fresh.Description().rowsPerStatement, 1);
    EXPECT_EQ(fresh.Description().commitEvery, 0);
    fresh.SetRowsPerStatement(0);
    fresh.SetCommitEvery(-5);
    EXPECT_EQ(fresh.RowsPerStatement(), 1);
    EXPECT_EQ(fresh.CommitEvery(), 0);
    // An edited block's counts are shown and written back: ObjectBrowserTest.
}

TEST(WizardModel, LiteralsGoIntoTheOptionsOfANewBlockThatNamesADialect) {
    FixedColumns columns;
    MetadataWizardModel model(NewBlock(), columns);
    model.ChooseType(1);
    model.ChooseLiterals(2);
    // "<default>" writes no OPTIONS element to hold the choice.
    EXPECT_FALSE(model.LiteralsEnabled());
    EXPECT_EQ(model.Description().literals, LiteralStyle::Inherit);
    EXPECT_EQ(model.BlockText().find("Literals"), std::string::npos);

    model.ChooseDialect(3); // MySQL: the composer writes the style (ConversionAttributesTest)
    for (int index = 0; index < 3; ++index) {
        model.ChooseLiterals(index);
        EXPECT_TRUE(model.LiteralsEnabled());
        EXPECT_EQ(model.Description().literals, kWizardLiteralItems[static_cast<size_t>(index)].style);
    }

    // Editing writes the RESULTSET element alone: nothing to hold the choice.
    MetadataWizardModel edit(EditBlock(), columns);
    edit.ChooseDialect(4);
    EXPECT_FALSE(edit.LiteralsEnabled());
}
