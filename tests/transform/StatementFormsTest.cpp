// Multi-row INSERT, UPSERT, CommitEvery, the open-database targets, long columns and the
// routing of exact literals, checked as texts and, where SQLite can run them, by running them.
#include "ConversionFixture.h"
#include "core/DialectNames.h"
#include "core/DialectSettings.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "core/ValueText.h"
#include "transform/ResultSetEdits.h"

#include <gtest/gtest.h>

using namespace marlix;
using namespace marlix::test;

namespace {

constexpr const char* kThreeRows = "SELECT id, name FROM m ORDER BY id";

ConversionDescription Grouped(std::string table, std::vector<std::string> keys, int rows,
                              int commitEvery = 0) {
    ConversionDescription d = Description(std::move(table), std::move(keys));
    d.rowsPerStatement = rows;
    d.commitEvery = commitEvery;
    return d;
}

size_t Count(std::string_view text, std::string_view what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// The statements of a generated SQLite script: each ends with ";\r\n" outside literals.
std::vector<std::string> SplitScript(std::string_view text) {
    std::vector<std::string> statements;
    std::string current;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        current += c;
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == ';') {
            statements.push_back(current);
            current.clear();
        }
    }
    return statements;
}

class StatementForms : public SQLiteConversion {
protected:
    void SetUp() override {
        SQLiteConversion::SetUp();
        if (!session_) return;
        session_->Exec("CREATE TABLE m (id integer primary key, name varchar(10))");
        session_->Exec("INSERT INTO m VALUES (1, 'a'), (2, NULL), (3, 'c')");
    }

    // Runs a generated SQLite script statement by statement, as a client would.
    void RunScript(std::string_view text) {
        for (const std::string& statement : SplitScript(text))
            session_->Exec(statement);
    }
    std::string Rows(const char* query) {
        auto rs = Fetch(query, {});
        std::string all;
        for (int64_t r = 0; r < rs->RowCount(); ++r) {
            for (int c = 0; c < rs->ColumnCount(); ++c) {
                all += ValueText(*rs, r, c, Dialect::SQLITE, DefaultDialectSettingsSet(), true);
                all += c + 1 < rs->ColumnCount() ? "|" : "\n";
            }
        }
        return all;
    }
};

// Rows = 2 over three rows in every dialect: text cases forms_*. Rows = 1 is the statement per
// row of old, and Rows groups nothing but INSERT.
TEST_F(StatementForms, RowsGroupOnlyInserts) {
    auto rs = Fetch(kThreeRows, Grouped("T", {"id"}, 2));
    auto single = Fetch(kThreeRows, Grouped("T", {"id"}, 1));
    auto plain = Fetch(kThreeRows, Description("T", {"id"}));
    for (int d = 0; d < kDialectCount; ++d)
        for (int t = 1; t < kStatementTypeCount; ++t) {
            auto type = static_cast<StatementType>(t);
            auto dialect = static_cast<Dialect>(d);
            if (type == StatementType::UPSERT && (dialect == Dialect::ACCESS || dialect == Dialect::GENERIC))
                continue;
            if (type != StatementType::INSERT) {
                EXPECT_EQ(Converted(*rs, type, dialect), Converted(*plain, type, dialect));
            }
            EXPECT_EQ(Converted(*single, type, dialect), Converted(*plain, type, dialect));
        }
}

TEST_F(StatementForms, RowsPerStatementWithinWhatTheTargetReads) {
    session_->Exec("WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) "
                   "INSERT INTO m SELECT i, 'n' || i FROM n");
    auto rs = Fetch(kThreeRows, Grouped("T", {"id"}, 5000));
    // SQL Server: 1000 rows per VALUES list.
    EXPECT_EQ(Count(Converted(*rs, StatementType::INSERT, Dialect::MSSQL), "INSERT INTO"), 3u);
    // ORACLE: 999 values per INSERT ALL, two per row here.
    EXPECT_EQ(Count(Converted(*rs, StatementType::INSERT, Dialect::ORACLE), "INSERT ALL"), 6u);
    EXPECT_EQ(Count(Converted(*rs, StatementType::INSERT, Dialect::MYSQL), "INSERT INTO"), 1u);
    EXPECT_EQ(Count(Converted(*rs, StatementType::INSERT, Dialect::ACCESS), "INSERT INTO"), 2500u);
    EXPECT_EQ(RowsPerStatement(rs->Description(), StatementType::INSERT, Dialect::ORACLE, 2), 499);
    EXPECT_EQ(RowsPerStatement(rs->Description(), StatementType::INSERT, Dialect::ORACLE, 2000), 1);
    EXPECT_EQ(RowsPerStatement(Grouped("T", {}, 0), StatementType::INSERT, Dialect::MYSQL, 2), 1);
}

TEST_F(StatementForms, RowsDeletedInTheGridLeaveTheGroupWhole) {
    session_->Exec("INSERT INTO m VALUES (4, 'd')");
    auto rs = Fetch(kThreeRows, Grouped("T", {"id"}, 2));
    ResultSetEdits::Of(*rs).DeleteRow(1); // id 2
    EXPECT_EQ(Converted(*rs, StatementType::INSERT, Dialect::SQLITE),
              "INSERT INTO T (id, name)\r\nVALUES(1, 'a'),\r\n(3, 'c');\r\n"
              "INSERT INTO T (id, name)\r\nVALUES(4, 'd');\r\n\r\n");
}

// UPSERT in every dialect that has one: text cases forms_*.

// Upserts of keys only and quoted names, in each dialect: text cases forms_*. SQLite runs its
// form, which updates nothing, and keeps the row once.
TEST_F(StatementForms, UpsertOfKeysOnlyRunsOnSqlite) {
    session_->Exec(
        "CREATE TABLE k (\"Order\" integer, \"a b\" varchar(5), PRIMARY KEY (\"Order\", \"a b\"))");
    session_->Exec("INSERT INTO k VALUES (1, 'x')");
    auto rs = Fetch("SELECT \"Order\", \"a b\" FROM k", Description("K", {"Order", "a b"}));
    RunScript(Converted(*rs, StatementType::UPSERT, Dialect::SQLITE));
    EXPECT_EQ(Rows("SELECT \"Order\", \"a b\" FROM k"), "1|'x'\n");
}

TEST_F(StatementForms, UpsertRefusedWhereTheTargetHasNoneAndWithoutKeys) {
    auto keyed = Fetch(kOneRow, Description("T", {"id"}));
    auto keyless = Fetch(kOneRow, Description("T", {}));
    const std::pair<ResultSet*, std::string> cases[] = {
        {keyed.get(), "Cannot write UPSERT statements for table T: the MS Access target has no"},
        {keyless.get(), "Cannot write UPSERT statements for table T: the result set has no key fields"},
    };
    for (const auto& [rs, message] : cases) {
        const Dialect dialect = rs == keyed.get() ? Dialect::ACCESS : Dialect::POSTGRESQL;
        MemoryTextSink sink(1 << 16);
        try {
            ConvertResultSet(*rs, StatementType::UPSERT, DefaultContext(dialect), sink);
            ADD_FAILURE() << "written: " << sink.Str();
        } catch (const CSyntaxException& e) {
            EXPECT_EQ(e.Message().substr(0, message.size()), message);
        }
        EXPECT_EQ(sink.Length(), 0u);
    }
    MemoryTextSink sink(1 << 16);
    EXPECT_THROW(ConvertResultSet(*keyed, StatementType::UPSERT, DefaultContext(Dialect::GENERIC), sink),
                 CSyntaxException);
    EXPECT_EQ(sink.Length(), 0u);
}

// CommitEvery = 2 over three rows in every dialect: text cases forms_*.
TEST_F(StatementForms, CommitEveryCountsStatements) {
    const std::string one = "INSERT INTO \"T\" (id, name)\r\nVALUES(";
    // A multi-row INSERT counts as one statement; a last commit only after statements.
    auto grouped = Fetch(kThreeRows, Grouped("T", {"id"}, 2, 1));
    EXPECT_EQ(Converted(*grouped, StatementType::INSERT, Dialect::POSTGRESQL),
              "BEGIN;\r\n" + one + "1, 'a'),\r\n(2, NULL);\r\nCOMMIT;\r\nBEGIN;\r\n" + one +
                  "3, 'c');\r\nCOMMIT;\r\n\r\n");
    auto three = Fetch(kThreeRows, Grouped("T", {"id"}, 1, 3));
    EXPECT_EQ(Count(Converted(*three, StatementType::DELETE, Dialect::MYSQL), "COMMIT;"), 1u);
    auto none = Fetch("SELECT id, name FROM m WHERE id < 0", Grouped("T", {"id"}, 1, 2));
    EXPECT_EQ(Converted(*none, StatementType::UPDATE, Dialect::SQLITE), "\r\n");

    // Every statement type that writes statements commits; the text table and loader forms do not.
    auto every = Fetch(kThreeRows, Grouped("T", {"id"}, 1, 2));
    for (StatementType type :
         {StatementType::UPDATE, StatementType::DELETE, StatementType::REPLACE, StatementType::UPSERT})
        EXPECT_EQ(Count(Converted(*every, type, Dialect::ORACLE), "COMMIT;\r\n"), 2u)
            << StatementTypeName(type);
    auto plain = Fetch(kThreeRows, Description("T", {"id"}));
    for (StatementType type : {StatementType::SELECT, StatementType::INSERT_ARRAY, StatementType::LOAD})
        for (Dialect dialect : {Dialect::GENERIC, Dialect::MSSQL})
            EXPECT_EQ(Converted(*every, type, dialect), Converted(*plain, type, dialect))
                << StatementTypeName(type);
}

// SQLite with autocommit on runs the grouped, committed statements and keeps every row.
TEST_F(StatementForms, SqliteRunsGroupedCommittedAndUpsertScripts) {
    session_->Exec("WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < 1200) "
                   "INSERT INTO m SELECT i, 'n' || char(39) || i FROM n");
    session_->Exec("CREATE TABLE m_copy (id integer primary key, name varchar(10))");
    const std::string original = Rows("SELECT id, name FROM m ORDER BY id");
    auto rs = Fetch(kThreeRows, Grouped("m_copy", {"id"}, 500, 2));
    const std::string script = Converted(*rs, StatementType::INSERT, Dialect::SQLITE);
    EXPECT_EQ(Count(script, "BEGIN;"), 2u);
    EXPECT_EQ(Count(script, "COMMIT;"), 2u);
    RunScript(script);
    EXPECT_EQ(Rows("SELECT id, name FROM m_copy ORDER BY id"), original);

    // Upsert over changed and missing rows brings the copy back to the original.
    session_->Exec("UPDATE m_copy SET name = 'changed' WHERE id % 3 = 0");
    session_->Exec("DELETE FROM m_copy WHERE id % 7 = 0");
    auto upsert = Fetch(kThreeRows, Grouped("m_copy", {"id"}, 1, 100));
    RunScript(Converted(*upsert, StatementType::UPSERT, Dialect::SQLITE));
    EXPECT_EQ(Rows("SELECT id, name FROM m_copy ORDER BY id"), original);
}

// Long columns for the open-database targets and exact scripts, the literal style from the
// statement or the dialect's setting, and the names each target quotes: text cases forms_*,
// literal_style_*.

// The grouped, committed INSERTs and the upserts run on each server, which then finds its copy
// equal to the original, row for row.
struct ServerCase {
    Server server;
    Dialect dialect;
    const char* createTables; // the original "gen_rt" and its empty copy "gen_rt_copy", ';'-separated
    const char* fillOriginal;
    const char* differences; // rows of either table the other lacks
};

class StatementFormsOnServers : public ::testing::TestWithParam<ServerCase> {};

TEST_P(StatementFormsOnServers, GroupedCommittedAndUpsertScriptsRun) {
    const ServerCase& c = GetParam();
    MARLIX_CONNECTION_OR_SKIP(conn, c.server);
    TestSession session(conn);
    for (std::string_view sql : {"DROP TABLE IF EXISTS gen_rt", "DROP TABLE IF EXISTS gen_rt_copy"})
        session.Exec(sql);
    for (const std::string& sql : SplitScript(c.createTables))
        session.Exec(sql);
    session.Exec(c.fillOriginal);
    auto differences = [&] {
        auto rs = session.Fetch(c.differences);
        return std::string(ValueText(*rs, 0, 0, c.dialect, DefaultDialectSettingsSet(), false));
    };
    auto run = [&](const ConversionDescription& description, StatementType type) {
        auto rs = session.Fetch("SELECT * FROM gen_rt ORDER BY id", description);
        for (const std::string& statement : SplitScript(Converted(*rs, type, c.dialect)))
            session.Exec(statement);
    };
    run(Grouped("gen_rt_copy", {"id"}, 2, 1), StatementType::INSERT);
    EXPECT_EQ(differences(), "0");
    session.Exec("UPDATE gen_rt_copy SET name = 'changed', qty = 0 WHERE id <> 2");
    session.Exec("DELETE FROM gen_rt_copy WHERE id = 2");
    run(Grouped("gen_rt_copy", {"id"}, 1, 2), StatementType::UPSERT);
    EXPECT_EQ(differences(), "0");
}

const ServerCase kServerCases[] = {
    {Server::PostgreSQL, Dialect::POSTGRESQL,
     "CREATE TABLE gen_rt (id integer primary key, name varchar(20), \"Note\" text, qty numeric(8,2), "
     "created timestamp);"
     "CREATE TABLE gen_rt_copy (id integer primary key, name varchar(20), \"Note\" text, qty numeric(8,2), "
     "created timestamp);",
     "INSERT INTO gen_rt VALUES (1, 'it''s', 'long text', 1.5, '2004-06-27 10:20:30.25'), "
     "(2, NULL, NULL, NULL, NULL), (3, 'c', 'x', -3, '1999-12-31 23:59:59'), (4, 'd', '', 0, NULL), "
     "(5, 'e', 'e', 5, '2000-01-01 00:00:00')",
     "SELECT count(*) FROM ((SELECT * FROM gen_rt EXCEPT SELECT * FROM gen_rt_copy) UNION ALL "
     "(SELECT * FROM gen_rt_copy EXCEPT SELECT * FROM gen_rt)) d"},
    {Server::MariaDB, Dialect::MYSQL,
     "CREATE TABLE gen_rt (id integer primary key, name varchar(20), qty decimal(8,2));"
     "CREATE TABLE gen_rt_copy (id integer primary key, name varchar(20), qty decimal(8,2));",
     "INSERT INTO gen_rt VALUES (1, 'it''s', 1.5), (2, NULL, NULL), (3, 'c', -3), (4, 'd', 0), (5, 'e', 5)",
     "SELECT count(*) FROM gen_rt o LEFT JOIN gen_rt_copy c ON c.id = o.id AND c.name <=> o.name AND "
     "c.qty <=> o.qty WHERE c.id IS NULL"},
};

INSTANTIATE_TEST_SUITE_P(Servers, StatementFormsOnServers, ::testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(ServerName(info.param.server)); });

} // namespace
