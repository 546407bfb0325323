// Ctrl+C in the runner cancels the running batch, as Cancel execution does in the window.
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

using namespace marlix::test;

TEST(CliPostgreSQL, InterruptCancelsTheRunningStatement) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    const pid_t pid = StartCli("sleep", conn, "select pg_sleep(60);\r\nselect 'never' as x\r\n");
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    auto start = std::chrono::steady_clock::now();
    kill(pid, SIGINT);
    const int status = WaitCli(pid);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 15.0) << "the statement was cancelled, not waited for";
    EXPECT_EQ(status, 1) << "a cancelled execution fails the batch";
    const std::string history = ReadFile(TempPath("sleep.err"));
    EXPECT_NE(history.find("SQL batch completed with error(s)\r\n"), std::string::npos) << history;
    EXPECT_EQ(history.find("never"), std::string::npos);
    EXPECT_EQ(history.find("Sql State"), std::string::npos) << "the cancel is said plainly: " << history;
}
