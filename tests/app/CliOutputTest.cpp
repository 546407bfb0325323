// marlix-cli never leaves output that passes for a whole export when it is not one: a cancelled
// or broken streamed export leaves --output FILE as it was and fails; output that cannot be
// written fails; the script is never overwritten by its own results.
#include "support/CliRunner.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace marlix;
using namespace marlix::test;
namespace fs = std::filesystem;

namespace {

// A started run: its process and the file of its history.
struct Cli {
    pid_t pid = 0;
    std::string err;
    int Status() const { return WaitCli(pid); }
    std::string History() const { return ReadFile(err); }
};

// Starts marlix-cli on `script` with standard output on `out` and standard error on `errFile`
// (a file name, or empty for a file of its own).
Cli Start(const std::string& name, const std::string& connection, const std::string& script,
          std::vector<std::string> extra, int out, const std::string& errFile = "") {
    const std::string err = errFile.empty() ? TempPath(name + ".err") : errFile;
    const pid_t pid = StartCli(name, connection, script, std::move(extra), out, err);
    EXPECT_GT(pid, 0);
    return {pid, err};
}

int DevNull() { return ::open("/dev/null", O_WRONLY | O_CLOEXEC); }

// The export's temporary file beside `path`, once it holds something: the export is under way.
bool WaitForExportUnderWay(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
            std::error_code ec;
            if (entry.path().string().rfind(path + ".marlix-", 0) == 0 && fs::file_size(entry.path(), ec) > 0)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

size_t FilesBeside(const std::string& path) {
    size_t n = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        n += entry.path().string().rfind(path, 0) == 0;
    return n;
}

std::string Previous(const std::string& name) {
    fs::path folder = TempPath("cli-out-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string path = (folder / "out.sql").string();
    std::ofstream(path) << "previous export";
    return path;
}

constexpr const char* kInsertScript = "/*METADATA>\r\n\t<RESULTSET Type = \"INSERT\", Table = \"copy\"/>\r\n"
                                      "</METADATA*/\r\n";

// An export of `rows` rows, interrupted once its rows are written (or, without `waitForRows`,
// when `interrupt` finds it under way): by Ctrl+C, or the server ending the session. --output
// FILE keeps the previous file; --output - fails.
void CheckInterruptedExport(const std::string& name, const std::string& connection, const std::string& rows,
                            const std::function<void(pid_t)>& interrupt, const std::string& expected,
                            bool waitForRows = true) {
    const std::string script = kInsertScript + rows + ";\r\nselect 'never' as x";
    const std::string path = Previous(name);
    int null = DevNull();
    Cli toFile = Start(name, connection, script, {"--output", path}, null);
    ::close(null);
    if (waitForRows && !WaitForExportUnderWay(path)) {
        kill(toFile.pid, SIGKILL);
        toFile.Status();
        FAIL() << "the export never wrote beside " << path;
    }
    interrupt(toFile.pid);
    EXPECT_EQ(toFile.Status(), 1) << toFile.History();
    const std::string history = toFile.History();
    EXPECT_NE(history.find(expected), std::string::npos) << history;
    EXPECT_EQ(history.find("never"), std::string::npos) << history;
    EXPECT_TRUE(ReadFile(path) == "previous export") << "the export replaced the file";
    EXPECT_EQ(FilesBeside(path), 1u) << "no temporary file is left";

    // Standard output cannot be taken back: the run says it failed.
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    Cli streamed = Start(name + "-stdout", connection, script, {"--output", "-"}, ends[1]);
    ::close(ends[1]);
    char block[65536];
    if (waitForRows) ASSERT_GT(::read(ends[0], block, sizeof block), 0);
    interrupt(streamed.pid);
    while (::read(ends[0], block, sizeof block) > 0) {}
    ::close(ends[0]);
    EXPECT_EQ(streamed.Status(), 1) << streamed.History();
    EXPECT_NE(streamed.History().find(expected), std::string::npos) << streamed.History();
}

} // namespace

TEST(CliOutputSQLite, InterruptedStreamedExportFails) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    CheckInterruptedExport("sqlite-int", conn + "StepAPI=1;",
                           "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000000) "
                           "select i, 'a row of the export' as label from n",
                           [](pid_t pid) { kill(pid, SIGINT); }, "SQL Batch cancelled by user\r\n");
}

TEST(CliOutputPostgreSQL, InterruptedStreamedExportFails) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CheckInterruptedExport("pg-int", conn + "UseDeclareFetch=1;",
                           "select i, 'a row of the export' as label from generate_series(1, 2000000) as g(i)",
                           [](pid_t pid) { kill(pid, SIGINT); }, "SQL Batch cancelled by user\r\n");
}

// The server ends the session in the middle of the rows (its backend terminated).
TEST(CliOutputPostgreSQL, ExportWhoseBackendDiesFails) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CODBCSession killer;
    MemoryProfileStore profile;
    ConnectTo(killer, conn, profile);
    CheckInterruptedExport(
        "pg-kill", conn + "UseDeclareFetch=1;pqopt={application_name=marlix_terminated};",
        "select i, 'a row of the export' as label from generate_series(1, 2000000) as g(i)",
        [&](pid_t) {
            killer.Thread().Call([&] {
                Exec(killer.Connection(), "select pg_terminate_backend(pid) from pg_stat_activity "
                                          "where application_name = 'marlix_terminated'");
            });
        },
        "SQL batch completed with error(s)\r\n");
}

TEST(CliOutputSQLite, OutputThatCannotBeWrittenFails) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    Cli results = Start("full-stdout", conn, "select 1 as a", {}, full);
    EXPECT_EQ(results.Status(), 1);
    EXPECT_NE(results.History().find("SQL batch completed successfully\r\nOS IO Error 28 when working with file "
                                     "standard output: No space left on device\r\n"),
              std::string::npos)
        << results.History();

    Cli streamed = Start("full-streamed", conn, "select 1 as a", {"--output", "-"}, full);
    EXPECT_EQ(streamed.Status(), 1);
    EXPECT_NE(streamed.History().find("No space left on device"), std::string::npos) << streamed.History();

    int null = DevNull();
    Cli history = Start("full-stderr", conn, "select 1 as a", {}, null, "/dev/full");
    EXPECT_EQ(history.Status(), 1) << "the history could not be written";
    ::close(full);
    ::close(null);

    // A reader that has gone (| head -1) ends the runner by SIGPIPE, as any filter.
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    ::close(ends[0]);
    Cli gone = Start("gone-stdout", conn, "select 1 as a", {}, ends[1]);
    ::close(ends[1]);
    EXPECT_EQ(gone.Status(), 128 + SIGPIPE) << gone.History();
}

TEST(CliOutputSQLite, OutputNamingTheScriptIsRefused) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    const std::string script = TempPath("self.sql");
    const std::string text = "select 1 as a";
    const std::string link = TempPath("self-link.sql");
    fs::remove(link);
    fs::create_symlink(script, link);
    for (const std::string& output : {script, link, fs::path(script).parent_path().string() + "/./self.sql"}) {
        int null = DevNull();
        Cli run = Start("self", conn, text, {"--output", output}, null);
        ::close(null);
        EXPECT_EQ(run.Status(), 2) << output;
        EXPECT_EQ(run.History(), "marlix-cli: the results cannot be written to " + output + ": it is the script\r\n");
        EXPECT_EQ(ReadFile(script), text);
    }
}

// MariaDB's server drops the connection while the driver reads the rows (its binary protocol
// reads them all before the first is converted): KILL from another session, once it runs.
TEST(CliOutputMariaDB, ExportWhoseConnectionIsKilledFails) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    CODBCSession killer;
    MemoryProfileStore profile;
    ConnectTo(killer, conn, profile);
    auto kill = [&](pid_t) {
        killer.Thread().Call([&] {
            for (int tries = 0; tries < 1000; ++tries) {
                Fetched victim = FetchQuery(killer.Connection(), "select id from information_schema.processlist "
                                                                 "where info like '%seq_1_to_3000%' and id <> connection_id()");
                if (victim.resultSet->RowCount() == 1)
                    return Exec(killer.Connection(), "kill " + std::string(victim.resultSet->Cell(0, 0).Text()));
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ADD_FAILURE() << "the export never ran";
        });
    };
    CheckInterruptedExport("my-kill", conn,
                           "select seq, 'a row of the export' as label, sleep(0.002) as pace from seq_1_to_3000", kill,
                           "SQL batch completed with error(s)\r\n", false);
}
