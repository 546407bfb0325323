#pragma once
// The real databases the tests run against. The server ones are started by
// scripts/testdb.sh, which exports their connection strings; SQLite needs no server.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace marlix::test {

enum class Server { SQLite, PostgreSQL, MariaDB };

const char* ServerName(Server server);

// The connection string of a server, or empty when it was not started. For SQLite a new
// database file in the test folder (named after `name`) is used.
std::string ConnectionString(Server server, std::string_view name = "test");

// True where a missing server is a failure (CI, or the project's test command).
bool ServersRequired();

// A folder for the files a test writes.
std::string TempPath(std::string_view name);

// The file's bytes (empty when it cannot be read), for comparing written output.
std::string ReadFile(const std::string& path);

// How often `what` occurs in `text`, counting from the end of each occurrence.
size_t Occurrences(std::string_view text, std::string_view what);

// A port on 127.0.0.1 that takes connections into its backlog and never answers; closed with
// the object.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    std::string Port() const { return std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

// Runs one statement on the connection; throws CODBCException when it fails.
void Exec(SQLHDBC connection, std::string_view sql);

} // namespace marlix::test

// Skips the test locally, fails it where servers are required, when `server` is missing.
#define MARLIX_CONNECTION_OR_SKIP(var, server)                                                               \
    std::string var = ::marlix::test::ConnectionString(                                                      \
        server, ::testing::UnitTest::GetInstance()->current_test_info()->name());                            \
    if (var.empty()) {                                                                                       \
        if (::marlix::test::ServersRequired())                                                               \
            FAIL() << ::marlix::test::ServerName(server)                                                     \
                   << " is not running: start it with scripts/testdb.sh";                                    \
        GTEST_SKIP() << ::marlix::test::ServerName(server)                                                   \
                     << " is not running (scripts/testdb.sh starts it)";                                     \
    }
