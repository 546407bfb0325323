// Ctrl+C in the runner cancels the running batch, as Cancel execution does in the window.
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

TEST(CliPostgreSQL, InterruptCancelsTheRunningStatement) {
    MARLIX_CONNECTION_OR_SKIP(conn, marlix::test::Server::PostgreSQL);
    std::string script = marlix::test::TempPath("sleep.sql");
    std::ofstream(script) << "select pg_sleep(60);\r\nselect 'never' as x\r\n";
    std::string profile = marlix::test::TempPath("sleep.ini");
    std::ofstream{profile};
    std::string out = marlix::test::TempPath("sleep.out");
    std::string err = marlix::test::TempPath("sleep.err");

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args = {MARLIX_CLI_PATH, "--connect", conn, "--profile", profile, script};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&files);

    std::this_thread::sleep_for(std::chrono::seconds(2));
    auto start = std::chrono::steady_clock::now();
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 15.0) << "the statement was cancelled, not waited for";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "a cancelled execution fails the batch";
    const std::string history = marlix::test::ReadFile(err);
    EXPECT_NE(history.find("SQL batch completed with error(s)\r\n"), std::string::npos) << history;
    EXPECT_EQ(history.find("never"), std::string::npos);
}
