// marlix-cli at the end of a pipeline ("marlix-cli ... > dump.sql"): a run that a limit cut says
// so in its exit status and last history line, the limits can be lifted for one run, and
// "--output -" streams every row to standard output without holding them.
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using marlix::test::CliRun;
using marlix::test::Occurrences;
using marlix::test::RunCli;

std::string LastLine(const std::string& text) {
    size_t end = text.size() >= 2 ? text.size() - 2 : 0; // before the final CR LF
    size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1));
}

// 50,000 rows of about 60 bytes, dumped as MYSQL INSERT statements.
const char* kDumpScript = "/*METADATA>\r\n\t<OPTIONS Syntax = \"MYSQL\"/>\r\n"
                          "\t<RESULTSET Type = \"INSERT\", Table = \"copy\"/>\r\n</METADATA*/\r\n"
                          "SELECT n, label FROM marlix_pipe ORDER BY n";
constexpr int kRows = 50000;

void CheckPipeline(const std::string& name, const std::string& connection) {
    // The default 1 MB limit cuts the dump: status 4, and the history says so last.
    CliRun cut = RunCli(name + "-cut", connection, kDumpScript);
    EXPECT_EQ(cut.status, 4) << cut.err;
    const size_t written = Occurrences(cut.out, "INSERT INTO copy");
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, static_cast<size_t>(kRows));
    EXPECT_EQ(LastLine(cut.err), "marlix-cli: the row or size limit cut 1 result(s); --row-limit 0 "
                                 "--size-limit 0 or --output - keep every row");

    // The limits lifted for this run: every row, status 0.
    CliRun whole = RunCli(name + "-whole", connection, kDumpScript, {"--size-limit", "0"});
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(Occurrences(whole.out, "INSERT INTO copy"), static_cast<size_t>(kRows));

    // A row limit on the command line wins over no limit at all.
    CliRun few = RunCli(name + "-few", connection, kDumpScript, {"--size-limit", "0", "--row-limit", "10"});
    EXPECT_EQ(few.status, 4) << few.err;
    EXPECT_EQ(Occurrences(few.out, "INSERT INTO copy"), 10u);

    // Streamed: the same text as the stored conversion, row by row, with no limit.
    CliRun streamed =
        RunCli(name + "-stream", connection, kDumpScript, {"--output", "-", "--row-limit", "10"});
    EXPECT_EQ(streamed.status, 0) << streamed.err;
    EXPECT_EQ(streamed.out, whole.out);
}

std::string PipeTable(const std::string& rowsFrom) {
    return "DROP TABLE IF EXISTS marlix_pipe;\r\n"
           "CREATE TABLE marlix_pipe (n INTEGER PRIMARY KEY, label VARCHAR(60));\r\n"
           "INSERT INTO marlix_pipe " +
           rowsFrom + ";\r\n";
}

TEST(CliPipeline, SQLiteDumpIsCutLoudlyOrWhole) {
    const std::string connection = "Driver=SQLite3;Database=" + marlix::test::TempPath("pipe.sqlite");
    std::remove(marlix::test::TempPath("pipe.sqlite").c_str());
    CliRun made =
        RunCli("pipe-make", connection,
               PipeTable("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 50000) "
                         "SELECT x, printf('row %d with some text to make it longer', x) FROM c"));
    ASSERT_EQ(made.status, 0) << made.err;
    CheckPipeline("pipe-sqlite", connection);
}

TEST(CliPipeline, PostgreSQLDumpIsCutLoudlyOrWhole) {
    MARLIX_CONNECTION_OR_SKIP(conn, marlix::test::Server::PostgreSQL);
    CliRun made = RunCli("pipe-pg-make", conn,
                         PipeTable("SELECT x, 'row ' || x || ' with some text to make it longer' "
                                   "FROM generate_series(1, 50000) AS x"));
    ASSERT_EQ(made.status, 0) << made.err;
    CheckPipeline("pipe-pg", conn);
}

// Streaming holds no rows: 400,000 rows (about 40 MB of text) leave the runner no larger than
// 40,000 rows do. StepAPI=1 keeps the SQLite driver itself from reading the whole result first.
TEST(CliPipeline, StreamingToStandardOutputKeepsMemoryFlat) {
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine, so resident memory grows with the work
    // done whatever the program keeps; the Release build measures it.
    GTEST_SKIP() << "resident memory is not the program's own under AddressSanitizer";
#endif
    const std::string db = marlix::test::TempPath("pipe-flat.sqlite");
    std::remove(db.c_str());
    const std::string connection = "Driver=SQLite3;StepAPI=1;Database=" + db;
    const std::string script =
        "/*METADATA>\r\n\t<RESULTSET Type = \"INSERT\", Table = \"t\"/>\r\n</METADATA*/\r\n"
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < ";
    const std::string tail = ") SELECT x, printf('%060d', x) AS pad FROM c";
    CliRun small = RunCli("pipe-flat-small", connection, script + "40000" + tail, {"--output", "-"});
    CliRun large = RunCli("pipe-flat-large", connection, script + "400000" + tail, {"--output", "-"});
    ASSERT_EQ(small.status, 0) << small.err;
    ASSERT_EQ(large.status, 0) << large.err;
    EXPECT_EQ(Occurrences(large.out, "INSERT INTO t"), 400000u);
    EXPECT_GT(large.out.size(), 30u << 20);
    EXPECT_LT(large.maxResidentKB, small.maxResidentKB + 8 * 1024)
        << "resident " << large.maxResidentKB << " KB against " << small.maxResidentKB << " KB";
}

} // namespace
