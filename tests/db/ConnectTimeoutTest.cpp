// A server that accepts the connection and never answers: the connect gives up after the
// profile's login timeout, and a connect that fails or is abandoned leaves the working
// connection as it was.
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace marlix;
using namespace marlix::test;

namespace {

double SecondsOf(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Rows(CODBCSession& session) {
    return std::stoi(std::string(
        FetchQuery(session.Connection(), "select count(*) from kept").resultSet->Cell(0, 0).Text()));
}

} // namespace

TEST(ConnectTimeout, ASilentServerFailsAfterTheLoginTimeoutAndTheOldConnectionStays) {
    SilentServer silent;
    MemoryProfileStore profile;
    profile.WriteInt(kLoginSettings, kLoginTimeout, 2);
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    ConnectTo(session, ConnectionString(Server::SQLite, "timeout_old"), profile, ConnectionType::SQLiteFile);
    Exec(session.Connection(), "create table kept (id integer)");
    Exec(session.Connection(), "insert into kept values (1)");
    const std::string title = session.Title();
    // MariaDB's connector under both names, and psqlODBC.
    for (const char* driver : {"MariaDB", "MySQL ODBC 3.51 Driver", "PostgreSQL ANSI"}) {
        ConnectionRequest request;
        request.type = ConnectionType::MySQL;
        request.connectionString = std::string("Driver={") + driver +
                                   "};Server=127.0.0.1;Port=" + silent.Port() + ";Database=x;UID=u;PWD=p;";
        request.title = "silent";
        const double seconds =
            SecondsOf([&] { EXPECT_THROW(session.Connect(request, profile), CODBCException); });
        EXPECT_LT(seconds, 10) << driver;
        EXPECT_GT(seconds, 1) << driver << ": it did wait for the server";
        EXPECT_TRUE(session.Connected()) << driver;
        EXPECT_EQ(session.Type(), ConnectionType::SQLiteFile);
        EXPECT_EQ(session.Title(), title);
        EXPECT_EQ(Rows(session), 1) << "the working connection still answers";
    }

    // Abandoned while it waits: it ends on its own, and nothing changes.
    ConnectionRequest request;
    request.type = ConnectionType::PostgreSQL;
    request.connectionString =
        "Driver={PostgreSQL ANSI};Server=127.0.0.1;Port=" + silent.Port() + ";Database=x;";
    std::shared_ptr<ConnectAttempt> attempt = session.BeginConnect(request, profile);
    EXPECT_FALSE(attempt->Wait(300));
    EXPECT_TRUE(attempt->Abandon());
    EXPECT_TRUE(attempt->Wait(10000));
    EXPECT_EQ(Rows(session), 1);
    // Abandoned too late (it has connected) says so; the new connection is the session's.
    attempt = session.BeginConnect(
        {ConnectionType::SQLiteFile, ConnectionString(Server::SQLite, "timeout_new"), "", "", "new"},
        profile);
    ASSERT_TRUE(attempt->Wait(10000));
    EXPECT_FALSE(attempt->Abandon());
    EXPECT_EQ(attempt->Failure(), nullptr);
    EXPECT_EQ(session.Title(), "new");
}
