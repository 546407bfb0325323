#pragma once
// A connected session on one of the test databases, and a way to fetch a query into a
// stored result set the way statement execution does.
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "support/TestDatabases.h"

#include <memory>
#include <string>

namespace marlix::test {

struct Fetched {
    std::shared_ptr<ResultSet> resultSet;
    std::string history;
};

// Executes `sql` and fetches its first result into a result set with the given limits.
Fetched FetchQuery(SQLHDBC connection, const std::string& sql, int rowLimit = 0, int sizeLimitMB = 0,
                   ConversionDescription description = {});

// Connects `session` with a connection string of the given type.
void ConnectTo(CODBCSession& session, const std::string& connectionString, const ProfileStore& profile,
               ConnectionType type = ConnectionType::MicrosoftSQL);

// A test run once on each database: a connected session and its profile.
class OnEachServer : public ::testing::TestWithParam<Server> {
protected:
    // Connects, with `extra` appended to the connection string of the server. False when the
    // server is not running.
    bool Open(const std::string& extra = "");
    // Drops a table, if it is there.
    void Drop(const std::string& table);

    MemoryProfileStore profile_;
    CODBCSession session_;
    std::string conn_;
};

// The parameter values and test names of OnEachServer suites.
inline auto AllServers() {
    return ::testing::Values(Server::SQLite, Server::PostgreSQL, Server::MariaDB);
}
inline std::string ServerParamName(const ::testing::TestParamInfo<Server>& info) {
    return ServerName(info.param);
}

} // namespace marlix::test

// In an OnEachServer test: connect, or skip locally / fail where servers are required.
#define MARLIX_OPEN_OR_SKIP(...)                                                                             \
    if (!Open(__VA_ARGS__)) {                                                                                \
        if (::marlix::test::ServersRequired())                                                               \
            FAIL() << ::marlix::test::ServerName(GetParam()) << " is not running";                           \
        GTEST_SKIP() << ::marlix::test::ServerName(GetParam())                                               \
                     << " is not running (scripts/testdb.sh starts it)";                                     \
    }
