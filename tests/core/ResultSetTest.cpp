// Fetching real results into stored result sets: cells, NULLs, display lengths, the row and
// size limits with their warnings, and values longer than their bind buffers.
#include "core/CustomMemoryException.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

using namespace marlix;
using namespace marlix::test;

namespace {

class ResultSetOn : public OnEachServer {
protected:
    void Run(const std::string& sql) { Exec(session_.Connection(), sql); }
    Fetched Fetch(const std::string& sql, int rowLimit = 0, int sizeLimitMB = 0,
                  ConversionDescription d = {}) {
        return FetchQuery(session_.Connection(), sql, rowLimit, sizeLimitMB, std::move(d));
    }
    std::string Table(const std::string& name) {
        Drop(name);
        return name;
    }
    // A query of `rows` rows numbered from 1, each with a text of `width` characters.
    std::string Rows(int rows, int width) {
        switch (GetParam()) {
        case Server::PostgreSQL:
            return "SELECT i, repeat('x', " + std::to_string(width) + ") AS t FROM generate_series(1, " +
                   std::to_string(rows) + ") AS g(i) ORDER BY i";
        case Server::MariaDB:
            // Recursive queries stop at 1000 levels here; the sequence engine has no such limit.
            return "SELECT seq AS i, repeat('x', " + std::to_string(width) + ") AS t FROM seq_1_to_" +
                   std::to_string(rows) + " ORDER BY seq";
        default:
            return "WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r WHERE i < " +
                   std::to_string(rows) + ") SELECT i, substr(printf('%0" + std::to_string(width) +
                   "d', 0), 1) AS t FROM r ORDER BY i";
        }
    }
};

// PostgreSQL reads through a server-side cursor, as the benchmarks do.
#define OPEN_OR_SKIP()                                                                                       \
    MARLIX_OPEN_OR_SKIP(GetParam() == Server::PostgreSQL ? "UseDeclareFetch=1;Fetch=100;" : "")

std::string DateType(Server s) {
    return s == Server::MariaDB ? "DATETIME" : "TIMESTAMP";
}

} // namespace

TEST_P(ResultSetOn, StoresNullsTextAndDatesWithTheirDisplayLengths) {
    OPEN_OR_SKIP();
    std::string t = Table("rs_values");
    Run("CREATE TABLE " + t + " (id INTEGER, name VARCHAR(20), born DATE, at_time TIME, stamp " +
        DateType(GetParam()) + ", price NUMERIC(10,2))");
    Run("INSERT INTO " + t +
        " VALUES (1, 'O''Brien''s', '2024-02-29', '23:59:58', '2024-02-29 10:11:12', 12.50)");
    Run("INSERT INTO " + t + " VALUES (2, NULL, NULL, NULL, NULL, NULL)");
    Run("INSERT INTO " + t +
        " VALUES (3, 'a\tb', '1999-12-31', '00:00:00', '1999-12-31 23:59:59', 1234567.25)");
    Fetched f = Fetch("SELECT id, name, born, at_time, stamp, price FROM " + t + " ORDER BY id");
    const ResultSet& rs = *f.resultSet;

    ASSERT_EQ(rs.RowCount(), 3);
    EXPECT_EQ(rs.FinalRowCount(), 3);
    EXPECT_EQ(rs.ColumnList(), "id, name, born, at_time, stamp, price");
    EXPECT_EQ(rs.RowsSelectedText(), "3 row(s) selected \r\n");
    EXPECT_EQ(f.history, "");

    EXPECT_EQ(rs.Cell(0, 1).Text(), "O'Brien's");
    EXPECT_EQ(rs.Column(1).maxQuotes, 2);
    EXPECT_EQ(rs.Column(1).maxControls, 1);
    EXPECT_EQ(rs.Column(1).maxLength, 11) << "text is as long as its value plus its quotes";

    EXPECT_EQ(rs.Column(2).sqlType, SQL_TYPE_DATE);
    EXPECT_EQ(rs.Column(3).sqlType, SQL_TYPE_TIME);
    EXPECT_EQ(rs.Column(4).sqlType, SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(rs.Column(2).maxLength, 14);
    EXPECT_EQ(rs.Column(3).maxLength, 14);
    EXPECT_EQ(rs.Column(4).maxLength, 27);
    const TIMESTAMP_STRUCT born = rs.Timestamp(0, 2), stamp = rs.Timestamp(2, 4);
    EXPECT_EQ(born.year * 10000 + born.month * 100 + born.day, 20240229);
    EXPECT_EQ(stamp.hour * 10000 + stamp.minute * 100 + stamp.second, 235959);
    EXPECT_EQ(rs.Timestamp(0, 3).minute, 59);

    for (int c = 1; c < rs.ColumnCount(); ++c) {
        CellRef cell = rs.Cell(1, c);
        EXPECT_TRUE(cell.isNull) << "column " << c;
        EXPECT_EQ(cell.Text(), "NULL") << "column " << c;
        EXPECT_EQ(cell.length, 5u);
    }
    EXPECT_FALSE(rs.Cell(1, 0).isNull);
    EXPECT_EQ(rs.Cell(2, 0).Text(), "3");
    EXPECT_EQ(rs.Column(0).maxLength, 4)
        << "a number's display length is its text; the name 'id' + 2 is wider";
}

TEST_P(ResultSetOn, KeyColumnsMatchTheDescriptionWhateverTheirCase) {
    OPEN_OR_SKIP();
    ConversionDescription d;
    d.keyFields = {"ID", "Code"};
    Fetched f = Fetch("SELECT 1 AS id, 'x' AS name, 'c' AS code", 0, 0, d);
    EXPECT_EQ(f.resultSet->KeyColumns(), (std::vector<int>{0, 2}));
    EXPECT_EQ(f.resultSet->OtherColumns(), (std::vector<int>{1}));
    Fetched none = Fetch("SELECT 1 AS id, 'x' AS name");
    EXPECT_TRUE(none.resultSet->KeyColumns().empty());
    EXPECT_EQ(none.resultSet->OtherColumns(), (std::vector<int>{0, 1}));
}

TEST_P(ResultSetOn, RowLimitReachedExactlyStillWarns) {
    OPEN_OR_SKIP();
    Fetched exact = Fetch(Rows(5, 3), 5, 0);
    EXPECT_EQ(exact.resultSet->RowCount(), 5);
    EXPECT_EQ(exact.history,
              "Warning: recordset was truncated due a number of rows excceded defined limit of 5\r\n");
    EXPECT_FALSE(exact.resultSet->CutByLimit()) << "no row was left behind";

    Fetched cut = Fetch(Rows(8, 3), 3, 0);
    EXPECT_EQ(cut.resultSet->RowCount(), 3);
    EXPECT_EQ(cut.resultSet->Cell(2, 0).Text(), "3");
    EXPECT_EQ(cut.history,
              "Warning: recordset was truncated due a number of rows excceded defined limit of 3\r\n");
    EXPECT_TRUE(cut.resultSet->CutByLimit());

    Fetched all = Fetch(Rows(2000, 600), 0, 0);
    EXPECT_EQ(all.resultSet->RowCount(), 2000) << "no limits store every row";
    EXPECT_EQ(all.history, "");
}

TEST_P(ResultSetOn, DefaultSizeLimitStopsAfterTheRowThatReachesOneMegabyte) {
    OPEN_OR_SKIP();
    Fetched f = Fetch(Rows(3000, 1000), 0, 1);
    const ResultSet& rs = *f.resultSet;
    size_t stored = rs.Cells().StoredBytes();
    size_t lastRow = rs.Cell(rs.RowCount() - 1, 0).length + rs.Cell(rs.RowCount() - 1, 1).length;
    EXPECT_GE(stored, 1048576u);
    EXPECT_LT(stored - lastRow, 1048576u) << "the row that crosses the limit is the last one stored";
    EXPECT_LT(rs.RowCount(), 3000);
    EXPECT_EQ(f.history,
              "Warning: recordset was truncated due a size of data excceded defined limit of 1 MB\r\n");
}

TEST_P(ResultSetOn, ValuesLongerThanTheirBindBufferAreStoredWhole) {
    OPEN_OR_SKIP();
    std::string t = Table("rs_long");
    std::string textType = GetParam() == Server::MariaDB ? "LONGTEXT" : "TEXT";
    std::string plainVarchar = GetParam() == Server::PostgreSQL ? "VARCHAR" : "VARCHAR(300)";
    Run("CREATE TABLE " + t + " (id INTEGER, body " + textType + ", free " + plainVarchar + ")");
    std::string body(20000, 'b');
    body[0] = 'S';
    body[19999] = 'E';
    std::string free(300, 'f');
    free[299] = 'Z';
    Run("INSERT INTO " + t + " VALUES (1, '" + body + "', '" + free + "')");
    Run("INSERT INTO " + t + " VALUES (2, 'short', 'short')");
    Fetched f = Fetch("SELECT id, body, free FROM " + t + " ORDER BY id");
    const ResultSet& rs = *f.resultSet;
    ASSERT_EQ(rs.RowCount(), 2);
    EXPECT_EQ(rs.Cell(0, 1).Text(), body);
    EXPECT_EQ(rs.Cell(0, 2).Text(), free);
    EXPECT_EQ(rs.Cell(1, 1).Text(), "short");
    EXPECT_EQ(rs.Column(1).maxLength, 20002);
    EXPECT_EQ(rs.CutValuesWarning(), "");
    EXPECT_EQ(f.history, "");
}

INSTANTIATE_TEST_SUITE_P(Databases, ResultSetOn, AllServers(), ServerParamName);

// SQLite keeps whatever text it is given, whatever the declared size.
TEST(ResultSetSQLite, TextLongerThanItsDeclaredSizeIsNotCut) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    Exec(session.Connection(), "CREATE TABLE narrow (code VARCHAR(4))");
    Exec(session.Connection(), "INSERT INTO narrow VALUES ('ABCDEFGHIJ')");
    Fetched f = FetchQuery(session.Connection(), "SELECT code FROM narrow");
    EXPECT_EQ(f.resultSet->Column(0).bufferSize, 5);
    EXPECT_EQ(f.resultSet->Cell(0, 0).Text(), "ABCDEFGHIJ");
}

TEST(ResultSetSQLite, AValueLongerThanAStoragePageIsStoredWhole) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    Exec(session.Connection(), "CREATE TABLE big (id INTEGER, body TEXT)");
    Exec(session.Connection(), "INSERT INTO big VALUES (1, 'small')");
    Exec(session.Connection(), "INSERT INTO big VALUES (2, substr(printf('%0140000d', 0), 1))");
    StatementHandle statement(session.Connection());
    ASSERT_TRUE(
        Succeeded(SQLExecDirect(statement, (SQLCHAR*)"SELECT id, body FROM big ORDER BY id", SQL_NTS)));
    ResultSet rs(2, 0, 0);
    TextHistoryOutput history;
    rs.DescribeAndBind(statement, 0);
    rs.FetchAll(statement, 0, history);
    EXPECT_EQ(rs.RowCount(), 2);
    EXPECT_EQ(rs.Cell(0, 1).Text(), "small");
    EXPECT_EQ(rs.Cell(1, 1).Text(), std::string(140000, '0'));
}

// With a server-side cursor an error can arrive while fetching: the rows before it stay.
TEST(ResultSetPostgreSQL, FetchErrorKeepsTheRowsStoredBefore) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn + "UseDeclareFetch=1;Fetch=2;", profile);
    StatementHandle statement(session.Connection());
    const char* sql =
        "SELECT CASE WHEN i = 5 THEN 1 / (i - 5) ELSE i END AS v FROM generate_series(1, 10) AS g(i)";
    ASSERT_TRUE(Succeeded(SQLExecDirect(statement, (SQLCHAR*)sql, SQL_NTS)));
    ResultSet rs(1, 0, 0);
    TextHistoryOutput history;
    rs.DescribeAndBind(statement, 17);
    try {
        rs.FetchAll(statement, 17, history);
        FAIL() << "division by zero must surface while fetching";
    } catch (const CODBCException& e) {
        EXPECT_NE(e.Message().find("Sql State : 22012\r\n"), std::string::npos) << e.Message();
        EXPECT_EQ(e.Position(), 17);
    }
    EXPECT_EQ(rs.RowCount(), 4);
    EXPECT_EQ(rs.Cell(3, 0).Text(), "4");
}

// psqlODBC describes unbounded varchar as 255 characters and text as a long column.
TEST(ResultSetPostgreSQL, BinaryValuesArriveAsWholeHexText) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile);
    Fetched f = FetchQuery(session.Connection(), "SELECT decode(repeat('0123456789abcdef', 40), 'hex') AS b");
    const ResultSet& rs = *f.resultSet;
    std::string hex = "0x" + std::string(rs.Cell(0, 0).Text().substr(2));
    EXPECT_EQ(rs.Cell(0, 0).Text().size(), 2u + 640u);
    EXPECT_EQ(rs.Cell(0, 0).Text().substr(0, 6), "0x0123");
    EXPECT_EQ(rs.Column(0).maxLength, 642);
}
