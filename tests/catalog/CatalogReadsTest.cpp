// The catalog reads on each real server, into a tree in memory: tables and views with and without
// schemas, names that are also patterns, columns whose catalog values are NULL, keys, procedures
// and their parameters, the schema list, SQL generated from the records that the server runs, the
// wizard's block read back by the block reader, and loads that are tried again after a failure.
#include "RecordingTree.h"
#include "catalog/CatalogReader.h"
#include "catalog/CatalogText.h"
#include "catalog/MetadataWizardModel.h"
#include "execution/CommentBlanking.h"
#include "metadata/AnalysedScript.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <set>

using namespace marlix;
using namespace marlix::test;

namespace {

class CatalogReads : public OnEachServer {
protected:
    // Connects (MARLIX_OPEN_OR_SKIP) and gives the folders their items.
    bool Open() {
        if (!OnEachServer::Open()) return false;
        tree_.Attach(folders_);
        return true;
    }
    Server Db() const { return GetParam(); }
    void Run(const std::string& sql) {
        session_.Thread().Call([&] { Exec(session_.Connection(), sql); });
    }
    void RunQuietly(const std::string& sql) {
        try {
            Run(sql);
        } catch (const CODBCException&) {
        }
    }
    // The table made again from nothing: "CREATE TABLE name columns".
    void Create(const std::string& name, const std::string& columns) {
        RunQuietly("DROP TABLE " + name);
        Run("CREATE TABLE " + name + " " + columns);
    }
    // The label a table in the default schema gets.
    std::string Label(const std::string& name) const {
        return Db() == Server::PostgreSQL ? "public." + name : name;
    }
    static CatalogTable* In(const CatalogTableFolder& folder, const std::string& label) {
        for (const auto& table : folder.tables)
            if (table->Label() == label) return table.get();
        return nullptr;
    }
    CatalogTable& Loaded(const std::string& name) {
        CatalogTable* table = In(folders_.tables, Label(name));
        if (!table) throw std::runtime_error("table not listed: " + name);
        reader_.LoadColumns(*table);
        return *table;
    }
    static std::vector<std::string> ColumnNames(const CatalogTable& table) {
        std::vector<std::string> names;
        for (const auto& column : table.columns)
            names.push_back(column->name);
        return names;
    }
    std::vector<const CatalogProcedure*> Procedures(const std::string& label) const {
        std::vector<const CatalogProcedure*> found;
        for (const auto& procedure : folders_.procedures.procedures)
            if (procedure->Label() == label) found.push_back(procedure.get());
        return found;
    }

    RecordingTree tree_;
    CatalogFolders folders_{&tree_};
    CatalogReader reader_{session_};
};

using Labels = std::vector<std::string>;

// The first statement of `script` as a batch sends it to the server: comments blanked.
std::string AsExecuted(const std::string& script) {
    AnalysedScript analysed;
    analysed.Rebuild(script);
    const StatementRecord& s = analysed.Statements().at(0);
    return BlankComments(analysed.View(), s.firstToken, s.endToken, s.start, s.end);
}

} // namespace

TEST_P(CatalogReads, TablesAndViewsAreListedInTheirFoldersWithTheirSchema) {
    MARLIX_OPEN_OR_SKIP();
    RunQuietly("DROP VIEW cat_view");
    Create("cat_item", "(id INTEGER PRIMARY KEY, name VARCHAR(20))");
    Run("CREATE VIEW cat_view AS SELECT id, name FROM cat_item");
    reader_.Reload(folders_);

    CatalogTable* item = In(folders_.tables, Label("cat_item"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->schema, Db() == Server::PostgreSQL ? "public" : "");
    ASSERT_NE(In(folders_.views, Label("cat_view")), nullptr);
    EXPECT_EQ(In(folders_.tables, Label("cat_view")), nullptr);
    EXPECT_EQ(In(folders_.views, Label("cat_item")), nullptr);
    // Unread tables show the placeholder, so that they can be expanded.
    EXPECT_EQ(RecordingTree::ChildTexts(item->item), Labels{"Nothing"});
    EXPECT_EQ(RecordingTree::Of(item->item).text, Label("cat_item"));
    EXPECT_EQ(RecordingTree::Of(item->item).image, kTableImage);
    EXPECT_EQ(tree_.Inconsistency(folders_), "");

    // The schema list: neither SQLite nor MariaDB has schemas, so no entry, and no table taken
    // for one.
    const std::vector<std::string> schemas = reader_.LoadSchemaList();
    EXPECT_TRUE(Db() == Server::PostgreSQL || schemas.empty());
    if (Db() == Server::MariaDB) {
        // The other databases' tables are not this one's.
        for (const auto& table : folders_.tables.tables)
            EXPECT_EQ(table->catalog, "marlix") << table->name;
        EXPECT_EQ(In(folders_.tables, "columns_priv"), nullptr);
    }
    if (Db() == Server::PostgreSQL) {
        RunQuietly("DROP SCHEMA t_1 CASCADE");
        RunQuietly("DROP SCHEMA tx1 CASCADE");
        Run("CREATE SCHEMA t_1");
        Run("CREATE SCHEMA tx1");
        Run("CREATE TABLE t_1.t (a INTEGER)");
        Run("CREATE TABLE tx1.t (b INTEGER)");
        Run("CREATE VIEW tx1.v AS SELECT b FROM tx1.t");
        const std::vector<std::string> names = reader_.LoadSchemaList();
        const std::set<std::string> listed(names.begin(), names.end());
        EXPECT_TRUE(listed.count("public") && listed.count("t_1") && listed.count("tx1"));
        // Schema names that are patterns give each table exactly its own columns.
        reader_.Reload(folders_);
        CatalogTable* t1 = In(folders_.tables, "t_1.t");
        CatalogTable* tx1 = In(folders_.tables, "tx1.t");
        ASSERT_TRUE(t1 && tx1);
        reader_.LoadColumns(*t1);
        reader_.LoadColumns(*tx1);
        EXPECT_EQ(ColumnNames(*t1), Labels{"a"});
        EXPECT_EQ(ColumnNames(*tx1), Labels{"b"});
        reader_.SetSchema("t_1");
        reader_.Reload(folders_);
        ASSERT_EQ(folders_.tables.tables.size(), 1u);
        EXPECT_EQ(folders_.tables.tables[0]->Label(), "t_1.t");
        EXPECT_TRUE(folders_.views.tables.empty());
        reader_.SetSchema("tx1");
        reader_.Reload(folders_);
        ASSERT_EQ(folders_.views.tables.size(), 1u);
        EXPECT_EQ(folders_.views.tables[0]->Label(), "tx1.v");
        EXPECT_EQ(tree_.Inconsistency(folders_), "");
    }
}

TEST_P(CatalogReads, NamesThatArePatternsGiveExactlyTheirOwnColumns) {
    MARLIX_OPEN_OR_SKIP();
    Create("a_b", "(x INTEGER PRIMARY KEY, y INTEGER)");
    Create("axb", "(z INTEGER PRIMARY KEY)");
    reader_.Reload(folders_);
    CatalogTable& ab = Loaded("a_b");
    CatalogTable& axb = Loaded("axb");
    EXPECT_EQ(ColumnNames(ab), (Labels{"x", "y"}));
    EXPECT_EQ(ColumnNames(axb), Labels{"z"});
    EXPECT_EQ(ab.keys, std::set<std::string>{"x"});
    EXPECT_EQ(axb.keys, std::set<std::string>{"z"});
    EXPECT_EQ(tree_.Inconsistency(folders_), "");
}

TEST_P(CatalogReads, ColumnsWithNullDecimalDigitsAndRemarksAreAllListed) {
    MARLIX_OPEN_OR_SKIP();
    Create("cat_nulls", "(code VARCHAR(10) NOT NULL, note TEXT, born DATE, amount DECIMAL(8,2))");
    reader_.Reload(folders_);
    CatalogTable& table = Loaded("cat_nulls");
    // SQLite's driver names the sizes in the types (and reports DECIMAL(8,2) as characters of 2).
    const Labels expected[] = {
        {"code VARCHAR(10), NOT NULL", "note TEXT, NULL", "born DATE, NULL", "amount DECIMAL(8,2), NULL"},
        {"code varchar (10), NOT NULL", "note text, NULL", "born date, NULL", "amount numeric (8,2), NULL"},
        {"code VARCHAR (10), NOT NULL", "note TEXT, NULL", "born DATE, NULL", "amount DECIMAL (8,2), NULL"}};
    EXPECT_EQ(RecordingTree::ChildTexts(table.item), expected[static_cast<int>(Db())]);
    EXPECT_EQ(ColumnNames(table), (Labels{"code", "note", "born", "amount"}));
}

TEST_P(CatalogReads, CompositeKeyDeclaredBAIsKeptInNameOrder) {
    MARLIX_OPEN_OR_SKIP();
    Create("cat_key", "(a INTEGER NOT NULL, b INTEGER NOT NULL, c INTEGER, PRIMARY KEY (b, a))");
    Create("cat_nokey", "(a INTEGER, b INTEGER)");
    reader_.Reload(folders_);
    CatalogTable& key = Loaded("cat_key");
    EXPECT_EQ(key.keys, (std::set<std::string>{"a", "b"}));
    ASSERT_EQ(key.columns.size(), 3u);
    EXPECT_TRUE(key.columns[0]->key && key.columns[1]->key);
    EXPECT_FALSE(key.columns[2]->key);
    EXPECT_EQ(RecordingTree::Of(key.columns[0]->item).image, kKeyColumnImage);
    EXPECT_EQ(RecordingTree::Of(key.columns[2]->item).image, kColumnImage);
    EXPECT_EQ(KeyFieldText(key), "a\r\nb");
    const IdentifierQuoting quoting(reader_.Naming());
    // PUBLIC is a keyword: quoted.
    const std::string prefix = Db() == Server::PostgreSQL ? "\"public\"." : "";
    EXPECT_EQ(GenerateSelectText(key, quoting),
              "SELECT\r\n\ta.a, a.b, a.c\r\nFROM\r\n\t" + prefix +
                  "cat_key a\r\n--WHERE\r\n--\ta.a = ? AND\r\n--\ta.b = ?\r\n;\r\n");

    CatalogTable& none = Loaded("cat_nokey");
    EXPECT_TRUE(none.keys.empty());
    EXPECT_EQ(GenerateSelectText(none, quoting),
              "SELECT\r\n\ta.a, a.b\r\nFROM\r\n\t" + prefix + "cat_nokey a\r\n--WHERE\r\n\r\n;\r\n");
    EXPECT_EQ(ColumnListText(none, quoting), "a, b");
}

TEST_P(CatalogReads, ProceduresAreListedWithTheirParameters) {
    MARLIX_OPEN_OR_SKIP();
    if (Db() == Server::PostgreSQL) {
        RunQuietly("DROP FUNCTION cat_io(integer, integer)");
        RunQuietly("DROP FUNCTION cat_ov(integer)");
        RunQuietly("DROP FUNCTION cat_ov(text, integer)");
        Run("CREATE FUNCTION cat_io(IN a integer, OUT b integer, INOUT c integer) AS 'SELECT a, c' "
            "LANGUAGE sql");
        Run("CREATE FUNCTION cat_ov(a integer) RETURNS integer AS 'SELECT a' LANGUAGE sql");
        Run("CREATE FUNCTION cat_ov(a text, b integer) RETURNS integer AS 'SELECT b' LANGUAGE sql");
    } else if (Db() == Server::MariaDB) {
        RunQuietly("DROP PROCEDURE cat_io");
        RunQuietly("DROP FUNCTION cat_fn");
        Run("CREATE PROCEDURE cat_io(IN a INT, OUT b INT, INOUT c VARCHAR(10)) BEGIN SET b = a; END");
        Run("CREATE FUNCTION cat_fn(a INT) RETURNS INT DETERMINISTIC RETURN a + 1");
    }
    reader_.Reload(folders_);
    ASSERT_TRUE(folders_.procedures.loaded);
    if (Db() == Server::SQLite) {
        EXPECT_TRUE(folders_.procedures.procedures.empty());
        return;
    }
    const std::string prefix = Db() == Server::PostgreSQL ? "public." : "";
    const std::vector<const CatalogProcedure*> io = Procedures(prefix + "cat_io");
    ASSERT_EQ(io.size(), 1u);
    auto parameters = [&](const CatalogProcedure* procedure) {
        reader_.LoadParameters(const_cast<CatalogProcedure&>(*procedure));
        return RecordingTree::ChildTexts(procedure->item);
    };
    if (Db() == Server::PostgreSQL) {
        EXPECT_EQ(parameters(io[0]), (Labels{"a int4 [in]", "b int4 [out]", "c int4 [in/out]"}));
        const std::vector<const CatalogProcedure*> overloads = Procedures("public.cat_ov");
        ASSERT_EQ(overloads.size(), 2u);
        // Each overload shows its own parameters, whichever order the driver lists them in.
        std::set<Labels> shown{parameters(overloads[0]), parameters(overloads[1])};
        EXPECT_EQ(shown, (std::set<Labels>{{" int4 [retv]", "a int4 [in]"},
                                           {" int4 [retv]", "a text [in]", "b int4 [in]"}}));
    } else {
        EXPECT_EQ(parameters(io[0]), (Labels{"a int [in]", "b int [out]", "c varchar [in/out]"}));
        const std::vector<const CatalogProcedure*> function = Procedures("cat_fn");
        ASSERT_EQ(function.size(), 1u);
        EXPECT_EQ(parameters(function[0]), (Labels{" int [retv]", "a int [in]"}));
        EXPECT_EQ(function[0]->parameters[1]->name, "a");
    }
    EXPECT_EQ(tree_.Inconsistency(folders_), "");
}

TEST_P(CatalogReads, GeneratedSelectOfMixedCaseNamesWithBlanksRuns) {
    MARLIX_OPEN_OR_SKIP();
    const bool backticks = Db() == Server::MariaDB;
    auto q = [backticks](const std::string& name) {
        return backticks ? "`" + name + "`" : "\"" + name + "\"";
    };
    Create(q("MixedCase"), "(" + q("Id") + " INTEGER PRIMARY KEY, " + q("Full Name") + " VARCHAR(20))");
    Run("INSERT INTO " + q("MixedCase") + " VALUES (1, 'one')");
    reader_.Reload(folders_);
    CatalogTable& table = Loaded("MixedCase");
    const IdentifierQuoting quoting(reader_.Naming());
    const std::string select = GenerateSelectText(table, quoting);
    EXPECT_NE(select.find("a." + q("Full Name")), std::string::npos) << select;
    Fetched fetched =
        session_.Thread().Call([&] { return FetchQuery(session_.Connection(), AsExecuted(select)); });
    ASSERT_TRUE(fetched.resultSet) << select;
    EXPECT_EQ(fetched.resultSet->RowCount(), 1);
    EXPECT_EQ(fetched.resultSet->ColumnCount(), 2);
    EXPECT_EQ(ColumnListText(table, quoting),
              (Db() == Server::PostgreSQL ? q("Id") : "Id") + ", " + q("Full Name"));
}

TEST_P(CatalogReads, WizardBlockForATableReadsBackAndItsSelectRuns) {
    MARLIX_OPEN_OR_SKIP();
    Create("cat_wiz", "(id INTEGER PRIMARY KEY, name VARCHAR(20))");
    reader_.Reload(folders_);
    CatalogTable* table = FindTable(folders_, Label("cat_wiz"));
    ASSERT_NE(table, nullptr);
    std::vector<std::exception_ptr> failures;
    CatalogColumnSource columns(reader_, folders_, [&](std::exception_ptr e) { failures.push_back(e); });
    WizardStart start{table->Label(), table->Label(), "", "Select", "", true};
    reader_.LoadColumns(*table);
    start.keyFieldText = KeyFieldText(*table);
    MetadataWizardModel wizard(start, columns);
    EXPECT_EQ(wizard.Columns(), (Labels{"id", "name"}));
    wizard.ChooseType(2);    // Update; the type and dialect read back are WizardModelTest's
    wizard.ChooseDialect(3); // MySQL
    wizard.SetSelectAll(false);
    wizard.SelectColumns({0, 1});
    wizard.AddSelectedFields();
    ASSERT_TRUE(wizard.OkEnabled());

    AnalysedScript script;
    script.Rebuild(wizard.BlockText());
    ASSERT_FALSE(script.BlockError().has_value()) << script.BlockError()->what();
    ASSERT_EQ(script.Statements().size(), 1u);
    const StatementRecord& statement = script.Statements()[0];
    EXPECT_EQ(statement.description.sourceTable, table->Label());
    EXPECT_EQ(statement.description.destinationTable, table->Label());
    EXPECT_EQ(statement.description.keyFields, Labels{"id"});
    EXPECT_TRUE(failures.empty());

    const std::string sql = script.Text().substr(statement.start, statement.end - statement.start);
    EXPECT_NE(sql.find("SELECT id, name FROM " + table->Label()), std::string::npos) << sql;
    Fetched fetched = session_.Thread().Call([&] { return FetchQuery(session_.Connection(), sql); });
    ASSERT_TRUE(fetched.resultSet);
    EXPECT_EQ(fetched.resultSet->ColumnCount(), 2);
}

// What a load that failed part way leaves (records read before the failure, the record not
// loaded) is replaced, not added to, when it is tried again.
TEST_P(CatalogReads, ALoadTriedAgainAfterAFailureLeavesOneConsistentTree) {
    MARLIX_OPEN_OR_SKIP();
    Create("cat_retry", "(a INTEGER, b INTEGER)");
    reader_.Reload(folders_);
    CatalogTable& table = Loaded("cat_retry");
    const std::size_t items = tree_.ItemCount();
    const std::size_t tables = folders_.tables.tables.size();
    table.loaded = false; // as a read that failed after its rows were shown
    reader_.LoadColumns(table);
    EXPECT_EQ(ColumnNames(table), (Labels{"a", "b"}));
    EXPECT_EQ(RecordingTree::ChildTexts(table.item).size(), 2u);
    EXPECT_EQ(tree_.ItemCount(), items);
    folders_.tables.loaded = false;
    reader_.LoadTables(folders_.tables);
    EXPECT_EQ(folders_.tables.tables.size(), tables);
    EXPECT_EQ(tree_.Inconsistency(folders_), "");
    // cat_retry is unread again: its placeholder instead of its two columns.
    EXPECT_EQ(tree_.ItemCount(), items - 1);
}

// A read that fails on the server leaves the record unread, with its placeholder, and reads
// once the connection is back.
TEST_P(CatalogReads, AReadFailingOnTheServerIsReadOnTheNextExpansion) {
    MARLIX_OPEN_OR_SKIP();
    if (Db() == Server::SQLite) GTEST_SKIP() << "a file database cannot lose its connection";
    Create("cat_lost", "(a INTEGER)");
    reader_.Reload(folders_);
    CatalogTable* table = In(folders_.tables, Label("cat_lost"));
    ASSERT_NE(table, nullptr);
    const std::string id = session_.Thread().Call([&] {
        Fetched f = FetchQuery(session_.Connection(), Db() == Server::PostgreSQL ? "SELECT pg_backend_pid()"
                                                                                 : "SELECT connection_id()");
        return std::string(f.resultSet->Cell(0, 0).Text());
    });
    {
        CODBCSession killer;
        ConnectTo(killer, conn_, profile_);
        killer.Thread().Call([&] {
            Exec(killer.Connection(), Db() == Server::PostgreSQL ? "SELECT pg_terminate_backend(" + id + ")"
                                                                 : "KILL CONNECTION " + id);
        });
    }
    EXPECT_THROW(reader_.LoadColumns(*table), CODBCException);
    EXPECT_FALSE(table->loaded);
    EXPECT_EQ(RecordingTree::ChildTexts(table->item), Labels{"Nothing"});
    EXPECT_EQ(tree_.Inconsistency(folders_), "");

    ConnectTo(session_, conn_, profile_);
    reader_.LoadColumns(*table);
    EXPECT_TRUE(table->loaded);
    EXPECT_EQ(RecordingTree::ChildTexts(table->item),
              Labels{Db() == Server::PostgreSQL ? "a int4, NULL" : "a INT, NULL"});
    EXPECT_EQ(tree_.Inconsistency(folders_), "");
}

INSTANTIATE_TEST_SUITE_P(Servers, CatalogReads, AllServers(), ServerParamName);
