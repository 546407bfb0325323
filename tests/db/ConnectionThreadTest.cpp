// Every call on the connection runs on the session's connection thread, so a driver that ties
// its connection lock to a thread cannot hang the caller.
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>

using namespace marlix;
using namespace marlix::test;

TEST(ConnectionThread, CallRunsOnTheThreadAndCarriesResultsAndExceptionsBack) {
    ConnectionThread thread;
    EXPECT_FALSE(thread.OnThread());
    EXPECT_TRUE(thread.Call([&] { return thread.OnThread(); }));
    EXPECT_EQ(thread.Call([&] { return thread.Call([] { return 7; }); }), 7) << "a nested call runs at once";
    EXPECT_THROW(thread.Call([]() -> int { throw std::runtime_error("boom"); }), std::runtime_error);
    int order = 0;
    thread.Post([&] { order = 1; });
    thread.Post([] { throw std::runtime_error("a posted task's own failure"); });
    EXPECT_EQ(thread.Call([&] { return order; }), 1) << "tasks run in order and the thread survives";
}

// MariaDB Connector/ODBC leaves its connection lock owned by the thread that ran a
// multi-statement text; a call from any other thread then waits forever.
TEST(ConnectionThreadMariaDB, CallsAfterAMultiStatementTextDoNotHang) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile, ConnectionType::MySQL);
    session.Thread().Call([&] {
        StatementHandle statement(session.Connection());
        SQLExecDirect(statement, (SQLCHAR*)"SELECT 1; SELECT 2", SQL_NTS); // refused by the server
    });

    auto done = std::async(std::launch::async, [&] {
        TextHistoryOutput history;
        session.Commit(history);
        Fetched f = session.Thread().Call([&] { return FetchQuery(session.Connection(), "SELECT 42"); });
        session.Disconnect();
        return std::string(f.resultSet->Cell(0, 0).Text()) + " " + history.Text();
    });
    if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "a call after the multi-statement text hung";
        std::_Exit(1); // the hung call cannot be undone
    }
    EXPECT_EQ(done.get(), "42 Transaction commited\r\n");
}
