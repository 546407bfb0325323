// Scripts run as batches against real databases: literals, failures, the statement at a position,
// row counts, cancel and LOAD files. What the engine alone writes (TEXT blocks, GO, limit warnings,
// Results to file) is checked by the text cases in tests/app/cases.
#include "core/ResultSet.h"
#include "support/BatchFixture.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace marlix;
using namespace marlix::test;

namespace {

class ExecutionOn : public OnEachServer {
protected:
    BatchRun Run(const std::string& script, const BatchOptions& options = {}) {
        return RunBatch(session_, script, profile_, options);
    }
};

#define OPEN_OR_SKIP() MARLIX_OPEN_OR_SKIP()

} // namespace

// Comment markers inside a literal are data: blanking them would silently change what is stored.
TEST_P(ExecutionOn, CommentMarkersInsideLiteralsReachTheServerUnchanged) {
    OPEN_OR_SKIP();
    Drop("ex_literal");
    BatchRun run = Run("create table ex_literal (id integer, body varchar(60));\n"
                       "insert into ex_literal values (1, 'a -- b /*x*/ c'); -- a real comment\n"
                       "/* a block comment */ insert into ex_literal values (2, '--');\n"
                       "/*METADATA>\n<RESULTSET Type=\"SELECT\", Table=\"ex_literal\"/>\n</METADATA*/\n"
                       "select id, body from ex_literal order by id");
    ASSERT_FALSE(run.failed) << run.history;
    ASSERT_EQ(run.stored.size(), 1u);
    const ResultSet& rs = *run.stored[0];
    ASSERT_EQ(rs.RowCount(), 2);
    EXPECT_EQ(rs.Cell(0, 1).Text(), "a -- b /*x*/ c");
    EXPECT_EQ(rs.Cell(1, 1).Text(), "--");
    EXPECT_EQ(Occurrences(run.history, "SQL batch completed successfully\r\n"), 4u) << run.history;
}

TEST_P(ExecutionOn, FailureInTheSecondOfThreeStatementsStopsTheBatch) {
    OPEN_OR_SKIP();
    Drop("ex_third");
    BatchRun run =
        Run("select 1 as first;\nselect * from no_such_table_ex;\ncreate table ex_third (id integer)");
    EXPECT_TRUE(run.failed);
    EXPECT_EQ(run.stored.size(), 1u) << "the first statement's result stays";
    EXPECT_EQ(Occurrences(run.history, "SQL batch completed successfully\r\n"), 1u) << run.history;
    EXPECT_EQ(Occurrences(run.history, "SQL batch completed with error(s)\r\n"), 1u) << run.history;
    EXPECT_NE(run.history.find("no_such_table_ex"), std::string::npos);
    BatchRun check = Run("select count(*) from ex_third");
    EXPECT_TRUE(check.failed) << "the third statement never ran";
}

// A position selects a statement from the begin of its first token (a comment or block counts)
// to the end of its separator, the last statement from its first token on; a position on the
// blanks between a separator and the next statement runs nothing, and the batch still starts and
// ends. Offsets are those of the engine's text, with CR LF line ends.
TEST_P(ExecutionOn, StatementAtAPositionRunsOnlyThatStatement) {
    OPEN_OR_SKIP();
    const std::string script =
        "  select 1 as a;\r\n\r\n   select 2 as b;\r\nGO\r\n-- the last one\r\nselect 3 as c  ";
    auto at = [&](const char* what) { return static_cast<int>(script.find(what)); };
    struct Case {
        const char* where;
        int caret;
        const char* runs; // the value selected, or null when nothing runs
    };
    const Case cases[] = {
        {"before the first statement", 0, nullptr},
        {"on the first token", at("select 1"), "1"},
        {"on the separator", at(";"), "1"},
        {"right after the separator (the caret after typing it)", at(";") + 1, "1"},
        {"on the blank line", at("\r\n\r\n") + 2, nullptr},
        {"on the blanks before the statement", at("   select 2"), nullptr},
        {"on the second statement's first token", at("select 2"), "2"},
        {"inside the second statement", at("2 as b"), "2"},
        {"on a separator that ends no statement", at("GO"), nullptr},
        {"on a comment opening the last statement", at("-- the last"), "3"},
        {"inside the last statement", at("3 as c"), "3"},
        {"at the end of the text", static_cast<int>(script.size()), "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        BatchOptions options;
        options.caretOffset = c.caret;
        BatchRun run = Run(script, options);
        EXPECT_FALSE(run.failed) << run.history;
        EXPECT_EQ(run.started, 1);
        EXPECT_EQ(run.ended, 1);
        if (!c.runs) {
            EXPECT_EQ(run.resultSets, 0);
            EXPECT_EQ(run.history, "");
            continue;
        }
        ASSERT_EQ(run.stored.size(), 1u);
        EXPECT_EQ(run.stored[0]->Cell(0, 0).Text(), c.runs);
    }

    BatchOptions beyond;
    beyond.caretOffset = 100;
    BatchRun none = Run("select 1 as a;\r\n", beyond);
    EXPECT_EQ(none.resultSets, 0) << "a position after the last separator runs nothing";
    EXPECT_EQ(none.started, 1);
    EXPECT_EQ(none.ended, 1);
}

TEST_P(ExecutionOn, UpdateOfNoRowIsZeroRowsAffected) {
    OPEN_OR_SKIP();
    Drop("ex_none");
    BatchRun run = Run("create table ex_none (id integer);\nupdate ex_none set id = 2 where id = 1;\n"
                       "delete from ex_none where id = 3");
    ASSERT_FALSE(run.failed) << run.history;
    EXPECT_EQ(Occurrences(run.history, "0 row(s) affected\r\nSQL batch completed successfully\r\n"), 3u)
        << run.history;
}

// What Results to file writes is the text case results_to_file; a LOAD block's file is written
// whatever the output.
TEST_P(ExecutionOn, LoadGoesToTheFileItsBlockNames) {
    OPEN_OR_SKIP();
    Drop("ex_file");
    std::string load = TempPath(std::string(ServerName(GetParam())) + "-load.txt");
    std::filesystem::remove(load);
    BatchRun loaded = Run("create table ex_file (id integer, name varchar(10));\n"
                          "insert into ex_file values (1, 'a''b');\n"
                          "/*METADATA>\n<RESULTSET Type=\"LOAD\", Table=\"ex_file\", File=\"" +
                          load + "\"/>\n</METADATA*/\nselect id, name from ex_file");
    ASSERT_FALSE(loaded.failed) << loaded.history;
    EXPECT_TRUE(std::filesystem::exists(load));
    EXPECT_NE(ReadFile(load).size(), 0u);
    EXPECT_EQ(loaded.output, "");
}

TEST_P(ExecutionOn, CancelBetweenStatementsRunsNoFurtherStatement) {
    OPEN_OR_SKIP();
    BatchOptions options;
    options.afterEachEntry = [](Batch& batch) { batch.Cancel(); };
    BatchRun run = Run("select 1 as a;\nselect 2 as b;\nselect 3 as c", options);
    EXPECT_TRUE(run.cancelled);
    EXPECT_FALSE(run.failed);
    EXPECT_EQ(run.resultSets, 1);
    EXPECT_EQ(run.ended, 1);
}

// A value the target cannot hold (NUL in PostgreSQL text) fails its own statement, marked at that
// statement's line, after the earlier statement's output; the batch stops there. MariaDB is the
// server whose driver delivers a NUL inside a value.
// A NUL for PostgreSQL (only MariaDB's driver delivers one inside a value), a NaN for MariaDB, and
// a double the SQLite driver reads as an infinity (refused while it is fetched).
TEST_P(ExecutionOn, ValueTheTargetCannotHoldFailsItsStatementAtItsLine) {
    OPEN_OR_SKIP();
    const Server server = GetParam();
    const char* target = server == Server::MariaDB ? "POSTGRESQL" : "MYSQL";
    const char* value = server == Server::MariaDB      ? "cast(concat('a', char(0 using utf8mb4), 'b') as char(10))"
                        : server == Server::PostgreSQL ? "'NaN'::float8"
                                                       : "1.7976931348623157e308";
    const char* message = server == Server::MariaDB      ? "holds a NUL character"
                          : server == Server::PostgreSQL ? "for MYSQL: NaN"
                                                         : "delivers 1.79769313486232e+308";
    const std::string first = "select 'first' as a;\r\n";
    const std::string second = "/*METADATA>\r\n\t<OPTIONS Syntax = \"" + std::string(target) +
                               "\", Literals = \"EXACT\"/>\r\n\t<RESULTSET Type = \"INSERT\", Table = \"t\"/>\r\n"
                               "</METADATA*/\r\nselect " + value + " as v;\r\n";
    for (const bool toFile : {false, true}) {
        BatchOptions options;
        options.dialect = Dialect::POSTGRESQL;
        if (toFile) options.outputFile = TempPath("ex_nul.sql");
        BatchRun run = Run(first + second + "select 'never' as c", options);
        EXPECT_TRUE(run.failed);
        EXPECT_NE(run.history.find(message), std::string::npos) << run.history;
        ASSERT_EQ(run.errorOffsets.size(), 1u) << run.history;
        // Where the statement's own server errors are marked: just after the previous separator.
        EXPECT_EQ(run.errorOffsets[0], first.find(';') + 1)
            << "marked at the statement, not at the script's start";
        EXPECT_EQ(run.history.find("never"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, ExecutionOn, AllServers(), ServerParamName);

TEST(ExecutionPostgreSQL, CancelInterruptsALongQuery) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    BatchOptions options;
    options.whileRunning = [](Batch& batch) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        batch.Cancel();
    };
    auto start = std::chrono::steady_clock::now();
    BatchRun run = RunBatch(session, "select pg_sleep(30);\nselect 2", profile, options);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
    EXPECT_TRUE(run.failed) << "a cancelled execution fails the batch";
    EXPECT_NE(run.history.find("cancel"), std::string::npos) << run.history;
    EXPECT_EQ(run.resultSets, 0);
}

// A procedure that returns two results: the second is converted as a plain table and warned about.
TEST(ExecutionMariaDB, TwoResultSetsFromOneStatement) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    session.Thread().Call([&] {
        Exec(session.Connection(), "DROP PROCEDURE IF EXISTS ex_two");
        Exec(session.Connection(), "CREATE PROCEDURE ex_two() BEGIN SELECT 1 AS a; SELECT 2 AS b; END");
    });
    BatchRun run = RunBatch(
        session, "/*METADATA>\n<RESULTSET Type=\"INSERT\", Table=\"t\"/>\n</METADATA*/\ncall ex_two()",
        profile);
    ASSERT_FALSE(run.failed) << run.history;
    ASSERT_EQ(run.stored.size(), 2u);
    EXPECT_EQ(run.stored[0]->Description().destinationTable, "t");
    EXPECT_EQ(run.stored[1]->Description().destinationTable, "");
    EXPECT_EQ(run.stored[1]->StatementPosition(), -1);
    EXPECT_NE(
        run.history.find("1 row(s) selected \r\nWarning: running statement returned more then one resultset. "
                         "Quick conversion will be availiable for the first resultset only."),
        std::string::npos)
        << run.history;
    EXPECT_NE(run.output.find("INSERT INTO t"), std::string::npos) << run.output;

    // Whatever the driver left behind on the connection thread, the window's calls go there too.
    TextHistoryOutput history;
    session.Commit(history);
    EXPECT_EQ(history.Text(), "Transaction commited\r\n");
}
