// The Metadata Wizard's and the key selection's rules without their windows, as tables: which
// controls are enabled in each state, what the lists start with, what the buttons add, and the
// block or element a confirmed choice writes.
#include "catalog/KeySelectionModel.h"
#include "catalog/MetadataWizardModel.h"
#include "core/SyntaxException.h"
#include "metadata/AnalysedScript.h"

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
    std::vector<std::string> SourceNames() override { return {"item", "orders", "item_view"}; }
    std::vector<std::string> ColumnsOf(const std::string& source) override {
        ++reads;
        static const std::map<std::string, Names> columns = {
            {"item", {"id", "name", "price"}}, {"orders", {"no", "item_id"}}, {"item_view", {"id"}}};
        auto it = columns.find(source);
        return it == columns.end() ? Names{} : it->second;
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
    // Enabled, in order: OK, Generate, the SELECT choice, the field list, Add keys, Add fields, Add all.
    const struct {
        const char* what;
        WizardStart start;
        Act act;
        const char* enabled;
    } cases[] = {
        {"new block for a table with a key", NewBlock(), none, "1110000"},
        {"a table without a key", NewBlock(""), none, "0110000"},
        {"a key typed", NewBlock(""), [](auto& m) { m.EditKeys("id"); }, "1110000"},
        {"only blank lines as keys", NewBlock("\r\n\r\n"), none, "0110000"},
        {"SELECT fields without a field", NewBlock(), fields, "0111001"},
        {"SELECT fields with fields", NewBlock(), [&](auto& m) { fields(m), m.EditFields("id\r\nname"); },
         "1111001"},
        {"SELECT fields, no SELECT generated", NewBlock(),
         [&](auto& m) { fields(m), m.SetGenerateSelect(false); }, "1100000"},
        {"a column selected, SELECT *", NewBlock(), [](auto& m) { m.SelectColumns({1}); }, "1110100"},
        {"a column selected, SELECT fields", NewBlock(), [&](auto& m) { fields(m), m.SelectColumns({1}); },
         "0111111"},
        {"no source", NewBlock(), [](auto& m) { m.EditSource(""); }, "0110000"},
        {"no statement type", NewBlock(), [](auto& m) { m.ChooseType(-1); }, "0110000"},
        {"editing a block", EditBlock(), none, "1000000"},
        {"editing a block of type INSERT_ARRAY", EditBlock("INSERT_ARRAY"), none, "0000000"},
        {"editing a block, a column selected", EditBlock(), [](auto& m) { m.SelectColumns({0}); },
         "1000100"}};
    for (const auto& c : cases) {
        FixedColumns columns;
        MetadataWizardModel m(c.start, columns);
        c.act(m);
        std::string enabled;
        for (bool on : {m.OkEnabled(), m.GenerateEnabled(), m.SelectChoiceEnabled(), m.FieldListEnabled(),
                        m.AddKeysEnabled(), m.AddFieldsEnabled(), m.AddAllFieldsEnabled()})
            enabled += on ? '1' : '0';
        EXPECT_EQ(enabled, c.enabled) << c.what;
    }
}

TEST(WizardModel, StartSelectsTheFirstItemThatBeginsWithTheText) {
    const std::tuple<const char*, int, const char*, int> cases[] = {{"", 0, "Select", 0},
                                                                    {"MSSQL", 0, "SELECT", 0},
                                                                    {"ACCESS", 0, "update", 2},
                                                                    {"FIREBIRD", 0, "DELETE", 4},
                                                                    {"ORACLE", 2, "INSERT", 1},
                                                                    {"MYSQL", 3, "REPLACE", 3},
                                                                    {"GENERIC", 5, "INSERT_ARRAY", -1},
                                                                    {"oracle", 2, "LOAD", -1},
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

TEST(WizardModel, ConfirmedChoicesComposeTheBlock) {
    FixedColumns columns;
    MetadataWizardModel fields(NewBlock("id\r\n\r\nname"), columns);
    fields.ChooseType(2);
    fields.SetSelectAll(false);
    fields.EditFields("a\r\nb\r\nc");
    EXPECT_EQ(fields.BlockText(),
              "/*METADATA>\r\n<RESULTSET Type = \"UPDATE\", Source = \"item\", Table = \"item\">\r\n"
              "\t\t<KEYS>\r\n\t\t\t<KEY_id Field = \"id\"/>\r\n\t\t\t<KEY_name Field = \"name\"/>\r\n"
              "\t\t</KEYS>\r\n\t</RESULTSET>\r\n</METADATA*/\r\n\r\n\r\nSELECT a, b, c FROM item;\r\n");

    MetadataWizardModel star(NewBlock(), columns);
    star.ChooseDialect(1);
    const ReadBack read = Read(star);
    EXPECT_EQ(read.dialect, Dialect::MSSQL);
    EXPECT_EQ(read.description.type, StatementType::SELECT);
    EXPECT_NE(star.BlockText().find("SELECT  * FROM item;"), std::string::npos);

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

TEST(KeySelectionModel, KeysNameResultColumnsWithoutQualifierOrCase) {
    const Names columns = {"ID", "Name", "price"};
    EXPECT_EQ(KeyColumnIndexes(columns, {"o.name", "dbo.orders.id"}), (std::vector<int>{0, 1}));
    EXPECT_EQ(KeyColumnIndexes(columns, {"qty"}), std::vector<int>{});
}

TEST(WizardModel, NewDialectsAndUpsertReadBackFromTheBlock) {
    const std::tuple<int, int, Dialect, StatementType> cases[] = {
        {6, 5, Dialect::POSTGRESQL, StatementType::UPSERT},
        {7, 5, Dialect::SQLITE, StatementType::UPSERT},
        {7, 1, Dialect::SQLITE, StatementType::INSERT},
        {5, 5, Dialect::GENERIC, StatementType::UPSERT}};
    for (const auto& [dialectIndex, typeIndex, dialect, type] : cases) {
        FixedColumns columns;
        MetadataWizardModel model(NewBlock(), columns);
        model.ChooseDialect(dialectIndex);
        model.ChooseType(typeIndex);
        const ReadBack read = Read(model);
        EXPECT_EQ(read.dialect, dialect) << model.BlockText();
        EXPECT_EQ(read.description.type, type) << model.BlockText();
        EXPECT_EQ(read.description.keyFields, Names{"id"});
    }
}

TEST(WizardModel, RowsAndCommitEveryFollowTheTypeAndAreKept) {
    FixedColumns columns;
    // Rows only group INSERTs; commits go between statements of every type but the text table.
    const std::tuple<int, bool, bool> cases[] = {{-1, false, false}, {0, false, false}, {1, true, true},
                                                 {2, false, true},   {3, false, true},  {4, false, true},
                                                 {5, false, true}};
    for (const auto& [typeIndex, rows, commitEvery] : cases) {
        MetadataWizardModel model(NewBlock(), columns);
        model.ChooseType(typeIndex);
        EXPECT_EQ(model.RowsEnabled(), rows) << typeIndex;
        EXPECT_EQ(model.CommitEveryEnabled(), commitEvery) << typeIndex;
    }

    // A new block starts with one row per statement and no commits, which add nothing to it.
    MetadataWizardModel fresh(NewBlock(), columns);
    EXPECT_EQ(fresh.RowsPerStatement(), 1);
    EXPECT_EQ(fresh.CommitEvery(), 0);
    fresh.ChooseType(1);
    EXPECT_EQ(fresh.Description().rowsPerStatement, 1);
    EXPECT_EQ(fresh.Description().commitEvery, 0);
    EXPECT_EQ(fresh.ResultSetElementText().find("Rows"), std::string::npos);
    EXPECT_EQ(fresh.ResultSetElementText().find("CommitEvery"), std::string::npos);
    // Counts below their least value are the least value.
    fresh.SetRowsPerStatement(0);
    fresh.SetCommitEvery(-5);
    EXPECT_EQ(fresh.RowsPerStatement(), 1);
    EXPECT_EQ(fresh.CommitEvery(), 0);

    // An edited block shows its counts and writes them back, also when the type changes.
    WizardStart start = EditBlock("INSERT");
    start.rowsPerStatement = 500;
    start.commitEvery = 1000;
    MetadataWizardModel edit(start, columns);
    EXPECT_EQ(edit.RowsPerStatement(), 500);
    EXPECT_EQ(edit.CommitEvery(), 1000);
    edit.ChooseType(5);
    EXPECT_EQ(edit.Description().type, StatementType::UPSERT);
    EXPECT_EQ(edit.Description().rowsPerStatement, 500);
    EXPECT_EQ(edit.Description().commitEvery, 1000);

    // Chosen in a new block, they read back from its text.
    MetadataWizardModel chosen(NewBlock(), columns);
    chosen.ChooseDialect(7);
    chosen.ChooseType(1);
    chosen.SetRowsPerStatement(250);
    chosen.SetCommitEvery(4);
    const ReadBack read = Read(chosen);
    EXPECT_EQ(read.description.rowsPerStatement, 250) << chosen.BlockText();
    EXPECT_EQ(read.description.commitEvery, 4) << chosen.BlockText();
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

    model.ChooseDialect(3); // MySQL
    for (int index = 0; index < 3; ++index) {
        model.ChooseLiterals(index);
        EXPECT_TRUE(model.LiteralsEnabled());
        const ReadBack read = Read(model);
        EXPECT_EQ(read.dialect, Dialect::MYSQL);
        const LiteralStyle styles[] = {LiteralStyle::Inherit, LiteralStyle::Standard, LiteralStyle::Exact};
        EXPECT_EQ(read.description.literals, styles[index]) << model.BlockText();
    }
    // The inherited choice leaves the block as the wizard always wrote it.
    model.ChooseLiterals(0);
    EXPECT_EQ(model.BlockText().find("Literals"), std::string::npos);

    // Editing writes the RESULTSET element alone: nothing to hold the choice.
    MetadataWizardModel edit(EditBlock(), columns);
    edit.ChooseDialect(4);
    EXPECT_FALSE(edit.LiteralsEnabled());
}
