// The ODBC session against real drivers: diagnostics text, autocommit per server type,
// transactions across reconnects, and the data source name path.
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace marlix;
using namespace marlix::test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

// Every diagnostic record is a block of five lines, the fourth the message's length.
void ExpectDiagnosticBlocks(const std::string& text, const char* nativeLabel, const char* messageLabel) {
    std::vector<std::string> lines = Lines(text);
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(lines.size() % 5, 0u) << text;
    for (size_t i = 0; i < lines.size(); i += 5) {
        EXPECT_EQ(lines[i].rfind("Sql State : ", 0), 0u) << lines[i];
        EXPECT_EQ(lines[i].size(), 17u) << "a five-character SQLSTATE: " << lines[i];
        EXPECT_EQ(lines[i + 1].rfind(nativeLabel, 0), 0u) << lines[i + 1];
        EXPECT_EQ(lines[i + 2].rfind(messageLabel, 0), 0u) << lines[i + 2];
        size_t messageLength = lines[i + 2].size() - std::string(messageLabel).size();
        EXPECT_EQ(lines[i + 3], std::to_string(messageLength)) << "the text length the driver reported";
        EXPECT_EQ(lines[i + 4].rfind("ODBC Row Number : ", 0), 0u) << lines[i + 4];
    }
}

int CountRows(CODBCSession& session, const std::string& table) {
    Fetched f = FetchQuery(session.Connection(), "SELECT COUNT(*) FROM " + table);
    return std::stoi(std::string(f.resultSet->Cell(0, 0).Text()));
}

} // namespace

// Each type's value and default: the older types by their digit (Interbase/Firebird shares 0 with
// Microsoft SQL), the newer ones by values of their own.
TEST(AutocommitSetting, DefaultsAndValueNamesFollowTheServerType) {
    MemoryProfileStore profile;
    const int defaults[kConnectionTypeCount] = {1, 0, 1, 0, 1, 1, 1, 1};
    const int digits[kConnectionTypeCount] = {0, 1, 2, 3, 4, 0, 6, 7};
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        const auto type = static_cast<ConnectionType>(t);
        EXPECT_EQ(GetAutocommit(profile, type), defaults[t]) << t;
        EXPECT_EQ(AutocommitSuffix(type), digits[t]) << t;
        EXPECT_EQ(AutocommitValueName(type), "Autocommit" + std::to_string(digits[t])) << t;
    }
    SetAutocommit(profile, ConnectionType::MicrosoftSQL, 0);
    EXPECT_EQ(GetAutocommit(profile, ConnectionType::InterbaseFirebird), 0) << "Firebird follows digit 0";
    EXPECT_EQ(profile.GetInt("Execution Settings", "Autocommit0", -1), 0);
    EXPECT_EQ(GetAutocommit(profile, ConnectionType::PostgreSQL), 1) << "not tied to digit 0";
    SetAutocommit(profile, ConnectionType::MySQL, 1);
    EXPECT_EQ(GetAutocommit(profile, ConnectionType::MySQL), 1);
    EXPECT_EQ(GetAutocommit(profile, ConnectionType::Oracle), 0);
    SetAutocommit(profile, ConnectionType::PostgreSQL, 0);
    EXPECT_EQ(profile.GetInt("Execution Settings", "Autocommit6", -1), 0);
    EXPECT_EQ(GetAutocommit(profile, ConnectionType::SQLiteFile), 1);
}

TEST(ODBCSession, FailedDriverConnectCarriesEveryDiagnosticRecord) {
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    MemoryProfileStore profile;
    ConnectionRequest request;
    request.type = ConnectionType::MySQL;
    request.connectionString = "Driver=No Such Marlix Driver;Server=nowhere;";
    request.title = "nowhere";
    try {
        session.Connect(request, profile);
        FAIL() << "a missing driver cannot connect";
    } catch (const CODBCException& e) {
        ExpectDiagnosticBlocks(e.Message(), "Native Error : ", "Error Message : ");
        EXPECT_NE(e.Message().find("No Such Marlix Driver"), std::string::npos) << e.Message();
        EXPECT_EQ(e.Position(), -1) << "no statement of the script failed: no line to mark";
        EXPECT_EQ(e.RowNumber(), 0);
        EXPECT_EQ(e.HandleType(), SQL_HANDLE_DBC);
        char small[11];
        EXPECT_TRUE(e.GetErrorMessage(small, sizeof small));
        EXPECT_EQ(std::string(small), e.Message().substr(0, 10));
    }
    EXPECT_FALSE(session.Connected());
    EXPECT_EQ(session.Type(), ConnectionType::MicrosoftSQL) << "a failed connect changes nothing";
    EXPECT_EQ(session.ConnectionString(), "");
    session.Disconnect(); // not connected: nothing happens
    EXPECT_FALSE(session.Connected());
}

TEST(ODBCSession, FailedStatementDiagnosticsOnSQLite) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    try {
        Exec(session.Connection(), "SELECT * FROM no_such_table");
        FAIL();
    } catch (const CODBCException& e) {
        // The SQLite driver leaves the row number unset and the driver manager hands over
        // whatever its memory held; only a value a one-row fetch can mean is shown.
        EXPECT_GE(e.RowNumber(), SQL_ROW_NUMBER_UNKNOWN);
        EXPECT_LE(e.RowNumber(), 1);
        EXPECT_EQ(e.Message(), "Sql State : HY000\r\nNative Error : 1\r\n"
                               "Error Message : [SQLite]no such table: no_such_table (1)\r\n"
                               "40\r\nODBC Row Number : " +
                                   std::to_string(e.RowNumber()) + "\r\n");
    }
}

TEST(ODBCSession, DataSourceNameConnectsThroughSQLConnect) {
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    MemoryProfileStore profile;
    ConnectionRequest request;
    request.type = ConnectionType::DataSourceName;
    request.connectionString = "MarlixTestSQLite";
    request.title = "dsn";
    session.Connect(request, profile);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(session.Title(), "dsn");
    Fetched f = FetchQuery(session.Connection(), "SELECT 40 + 2");
    EXPECT_EQ(f.resultSet->Cell(0, 0).Text(), "42");
}

class SessionOn : public ::testing::TestWithParam<Server> {};

TEST_P(SessionOn, FailedStatementGivesFiveLineBlocks) {
    MARLIX_CONNECTION_OR_SKIP(conn, GetParam());
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    try {
        Exec(session.Connection(), "SELECT * FROM no_such_table_here");
        FAIL();
    } catch (const CODBCException& e) {
        ExpectDiagnosticBlocks(e.Message(), "Native Error : ", "Error Message : ");
        EXPECT_NE(e.Message().find("no_such_table_here"), std::string::npos) << e.Message();
        EXPECT_EQ(e.HandleType(), SQL_HANDLE_STMT);
    }
}

// Oracle and MySQL types run without autocommit: disconnecting or reconnecting rolls back.
TEST_P(SessionOn, ReconnectRollsBackAndAutocommitFollowsTheType) {
    MARLIX_CONNECTION_OR_SKIP(conn, GetParam());
    if (GetParam() == Server::SQLite) GTEST_SKIP() << "each SQLite test uses a new file";
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile, ConnectionType::MicrosoftSQL);
    try {
        Exec(session.Connection(), "DROP TABLE tx_probe");
    } catch (const CODBCException&) {
    }
    Exec(session.Connection(), "CREATE TABLE tx_probe (id INTEGER)");

    ConnectTo(session, conn, profile, ConnectionType::MySQL); // autocommit off by default
    Exec(session.Connection(), "INSERT INTO tx_probe VALUES (1)");
    EXPECT_EQ(CountRows(session, "tx_probe"), 1);
    ConnectTo(session, conn, profile, ConnectionType::Oracle);
    EXPECT_EQ(CountRows(session, "tx_probe"), 0) << "the reconnect rolled the insert back";

    // A type that runs with autocommit must not inherit "off" from the reused handle.
    ConnectTo(session, conn, profile, ConnectionType::MicrosoftSQL);
    Exec(session.Connection(), "INSERT INTO tx_probe VALUES (2)");
    session.Disconnect();
    ConnectTo(session, conn, profile, ConnectionType::MySQL);
    EXPECT_EQ(CountRows(session, "tx_probe"), 1);

    // Commit and Rollback end the transaction and say so.
    TextHistoryOutput history;
    Exec(session.Connection(), "INSERT INTO tx_probe VALUES (3)");
    session.Commit(history);
    Exec(session.Connection(), "INSERT INTO tx_probe VALUES (4)");
    session.Rollback(history);
    EXPECT_EQ(history.Text(), "Transaction commited\r\nTransaction rolled back\r\n");
    EXPECT_EQ(history.BringToFrontCount(), 2);
    ConnectTo(session, conn, profile, ConnectionType::MySQL);
    EXPECT_EQ(CountRows(session, "tx_probe"), 2);

    // A failed reconnect leaves the old connection as it was, its open work included.
    Exec(session.Connection(), "INSERT INTO tx_probe VALUES (5)");
    ConnectionRequest bad;
    bad.type = ConnectionType::MySQL;
    bad.connectionString = "Driver=No Such Marlix Driver;";
    EXPECT_THROW(session.Connect(bad, profile), CODBCException);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(CountRows(session, "tx_probe"), 3);
    session.Rollback(history);
    ConnectTo(session, conn, profile, ConnectionType::MicrosoftSQL);
    EXPECT_EQ(CountRows(session, "tx_probe"), 2);
    Exec(session.Connection(), "DROP TABLE tx_probe");
}

INSTANTIATE_TEST_SUITE_P(Databases, SessionOn, AllServers(), ServerParamName);

TEST(ODBCSessionPostgreSQL, LongServerMessagesAreNotCut) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    try {
        Exec(session.Connection(), "DO $$ BEGIN RAISE EXCEPTION 'start%end', repeat('x', 400); END $$");
        FAIL();
    } catch (const CODBCException& e) {
        // psqlODBC hands a long message over in several records; together they hold all of it.
        std::string joined;
        for (const std::string& line : Lines(e.Message()))
            if (line.rfind("Error Message : ", 0) == 0) joined += line.substr(16);
        EXPECT_NE(joined.find("start" + std::string(400, 'x') + "end"), std::string::npos) << e.Message();
        ExpectDiagnosticBlocks(e.Message(), "Native Error : ", "Error Message : ");
    }
}

TEST(ODBCSessionPostgreSQL, ServerNoticesUseTheInformationalLayout) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    StatementHandle statement(session.Connection());
    SQLRETURN rc =
        SQLExecDirect(statement, (SQLCHAR*)"DO $$ BEGIN RAISE NOTICE 'marlix says hello'; END $$", SQL_NTS);
    ASSERT_EQ(rc, SQL_SUCCESS_WITH_INFO);
    std::string text = StatementMessagesText(statement);
    ExpectDiagnosticBlocks(text, "Native Message : ", "SQL Message : ");
    EXPECT_NE(text.find("marlix says hello"), std::string::npos) << text;

    StatementHandle quiet(session.Connection());
    ASSERT_EQ(SQLExecDirect(quiet, (SQLCHAR*)"SELECT 1", SQL_NTS), SQL_SUCCESS);
    EXPECT_EQ(StatementMessagesText(quiet), "");
}
