#include "core/ValueText.h"
#include "FetchedResult.h"
#include "core/DateTimeText.h"
#include "db/StatementHandle.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

using namespace marlix;
using marlix::test::Server;
using marlix::test::TestSession;

namespace {

constexpr const char* kValueTable =
    "CREATE TABLE v (id integer primary key, name varchar(20), qty numeric(12,2), created timestamp, "
    "d date, tm time, note text)";
constexpr const char* kValueRows[] = {
    "INSERT INTO v VALUES (1, 'it''s', 12.5, '2004-06-27 10:20:30.123', '2004-06-27', '10:20:30', "
    "'x' || char(13) || char(10) || 'y')",
    "INSERT INTO v VALUES (2, 'tab' || char(9) || 'end' || char(10), NULL, NULL, NULL, NULL, NULL)"};
constexpr const char* kValueQuery = "SELECT id, name, qty, created, d, tm, note FROM v ORDER BY id";

enum Col { kId, kName, kQty, kCreated, kDate, kTime, kNote };

std::string Literal(ResultSet& rs, int64_t row, int col, int mode) {
    return std::string(ValueText(rs, row, col, mode, DefaultDialectSettingsSet(), true));
}
std::string Display(ResultSet& rs, int64_t row, int col, int mode = 0) {
    return std::string(ValueText(rs, row, col, mode, DefaultDialectSettingsSet(), false));
}

class SQLiteValues : public ::testing::Test {
protected:
    void SetUp() override {
        MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
        session_ = std::make_unique<TestSession>(conn);
        session_->Exec(kValueTable);
        for (const char* insert : kValueRows)
            session_->Exec(insert);
        rs_ = session_->Fetch(kValueQuery);
        ASSERT_EQ(rs_->RowCount(), 2);
    }
    std::unique_ptr<TestSession> session_;
    std::unique_ptr<ResultSet> rs_;
};

} // namespace

TEST_F(SQLiteValues, CharacterValuesEscapedInBothModes) {
    ResultSet& rs = *rs_;
    EXPECT_EQ(Literal(rs, 0, kName, 0), "'it''s'");
    EXPECT_EQ(Display(rs, 0, kName), "it's"); // grids show the value as stored
    EXPECT_EQ(Literal(rs, 1, kName, 1), "'tab?end\\n'");
    EXPECT_EQ(Display(rs, 1, kName), "tab\tend\n");
    // The long text column reads the same way.
    EXPECT_EQ(Literal(rs, 0, kNote, 4), "'x\\r\\ny'");
}

TEST_F(SQLiteValues, NullIsTheWordNullOrNothing) {
    ResultSet& rs = *rs_;
    for (int col : {kName, kQty, kCreated, kDate, kTime, kNote}) {
        EXPECT_EQ(Literal(rs, 1, col, 0), col == kName ? "'tab?end\\n'" : "NULL") << col;
        if (col != kName) {
            EXPECT_EQ(Display(rs, 1, col), "") << col;
        }
    }
    // A row beyond the stored ones reads as NULL.
    EXPECT_EQ(Literal(rs, 2, kName, 0), "NULL");
    EXPECT_EQ(Display(rs, 7, kId), "");
}

TEST_F(SQLiteValues, WideCharacterColumnsAreNationalInMssqlOnly) {
    // No driver here reports a wide type through the ANSI calls; the column is described as
    // one, as a Unicode SQL Server driver would.
    ResultSet& rs = *rs_;
    for (SQLSMALLINT wide : {SQL_WVARCHAR, SQL_WCHAR, SQL_WLONGVARCHAR}) {
        rs.Column(kName).sqlType = wide;
        EXPECT_EQ(Literal(rs, 0, kName, 0), "N'it''s'");
        EXPECT_EQ(Literal(rs, 1, kName, 0), "N'tab?end\\n'");
        for (int mode = 1; mode <= 7; ++mode)
            EXPECT_EQ(Literal(rs, 0, kName, mode), "'it''s'") << mode;
        EXPECT_EQ(Display(rs, 0, kName, 0), "it's");
    }
}

TEST_F(SQLiteValues, DatesFollowTheDialectSettings) {
    ResultSet& rs = *rs_;
    EXPECT_EQ(Literal(rs, 0, kCreated, 0), "'06.27.2004 10:20:30.123'");
    EXPECT_EQ(Literal(rs, 0, kDate, 0), "'06.27.2004 00:00:00.000'");
    EXPECT_EQ(Literal(rs, 0, kCreated, 1), "TIMESTAMP '2004-06-27 10:20:30.123'");
    EXPECT_EQ(Literal(rs, 0, kDate, 1), "TIMESTAMP '2004-06-27 00:00:00.000'");
    EXPECT_EQ(Literal(rs, 0, kTime, 1).substr(22), "10:20:30.000'"); // the date of the driver's choice
    EXPECT_EQ(Literal(rs, 0, kDate, 2), "27.06.2004 00:00:00");
    EXPECT_EQ(Literal(rs, 0, kDate, 3), "#06/27/2004 00:00:00#");
    EXPECT_EQ(Display(rs, 0, kDate, 3), "06/27/2004 00:00:00");
    EXPECT_EQ(Literal(rs, 0, kTime, 4), "'10:20:30'");
    EXPECT_EQ(Literal(rs, 0, kDate, 5), "'2004-06-27'");
    EXPECT_EQ(Literal(rs, 0, kCreated, kOdbcEscapeMode), "{ts '2004-06-27 10:20:30.123'}");
    EXPECT_EQ(Literal(rs, 0, kDate, kOdbcEscapeMode), "{d '2004-06-27'}");
    EXPECT_EQ(Literal(rs, 0, kTime, kOdbcEscapeMode), "{t '10:20:30.000'}");
}

TEST_F(SQLiteValues, FetchThroughTextMatchesTheStoredLiteral) {
    StatementHandle statement(session_->Connection());
    ASSERT_EQ(SQLExecDirect(statement, (SQLCHAR*)kValueQuery, SQL_NTS), SQL_SUCCESS);
    ResultSet through(7, 0, 0);
    through.DescribeAndBind(statement, 0);
    for (int64_t row = 0; row < 2; ++row) {
        ASSERT_TRUE(Succeeded(SQLFetch(statement)));
        for (int col = 0; col < 7; ++col)
            for (int mode = 0; mode <= 7; ++mode)
                EXPECT_EQ(FetchThroughValueText(through.Column(col), mode, DefaultDialectSettingsSet()),
                          Literal(*rs_, row, col, mode))
                    << row << "/" << col << "/" << mode;
    }
}

TEST(FetchThroughValueText, BinaryAndCompleteTextsOfTheRow) {
    ColumnDescriptor binary;
    binary.sqlType = SQL_VARBINARY;
    binary.indicator = 2;
    // The bytes as bound with SQL_C_BINARY; the digits are written here.
    EXPECT_EQ(FetchThroughValueText(binary, 2, DefaultDialectSettingsSet(), std::string_view("\x0A\xFF", 2)),
              "0x0AFF");
    binary.indicator = SQL_NULL_DATA;
    EXPECT_EQ(FetchThroughValueText(binary, 2, DefaultDialectSettingsSet(), ""), "NULL");

    ColumnDescriptor text;
    text.sqlType = SQL_LONGVARCHAR;
    text.indicator = SQL_NO_TOTAL; // longer than the buffer: the caller's complete text is used
    std::string whole(10000, 'a');
    whole += '\'';
    EXPECT_EQ(FetchThroughValueText(text, 0, DefaultDialectSettingsSet(), whole),
              "'" + std::string(10000, 'a') + "'''");
}

TEST(ValueTextOnServers, PostgreSQLTypes) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    TestSession session(conn);
    session.Exec("DROP TABLE IF EXISTS values_pg");
    session.Exec("CREATE TABLE values_pg (id integer, qty numeric(12,2), created timestamp(3), d date, "
                 "name varchar(20), c char(4), b bytea)");
    session.Exec(
        "INSERT INTO values_pg VALUES (1, 12.5, '2004-06-27 10:20:30.5', '2004-02-29', 'it''s', 'ab', "
        "'\\x0aff')");
    auto rs = session.Fetch("SELECT id, qty, created, d, name, c, b FROM values_pg");
    ASSERT_EQ(rs->RowCount(), 1);
    EXPECT_EQ(Literal(*rs, 0, 1, 0), "12.50");
    EXPECT_EQ(Literal(*rs, 0, 2, 0), "'06.27.2004 10:20:30.500'");
    EXPECT_EQ(Literal(*rs, 0, 3, 1), "TIMESTAMP '2004-02-29 00:00:00.000'");
    EXPECT_EQ(Literal(*rs, 0, 4, 0), "'it''s'");
    EXPECT_EQ(Literal(*rs, 0, 5, 2), "'ab  '");
    // Binary values are hexadecimal (our own upper-case digits, not the driver's text),
    // unquoted, in every dialect and in display.
    EXPECT_EQ(Literal(*rs, 0, 6, 0), "0x0AFF");
    EXPECT_EQ(Literal(*rs, 0, 6, 3), "0x0AFF");
    EXPECT_EQ(Display(*rs, 0, 6), "0x0AFF");
}

TEST(ValueTextOnServers, MariaDBTypes) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    TestSession session(conn);
    session.Exec("CREATE OR REPLACE TABLE values_my (id integer, qty decimal(12,2), created datetime(3), "
                 "tm time, name varchar(20), b varbinary(8))");
    session.Exec("INSERT INTO values_my VALUES (1, 12.5, '2004-06-27 10:20:30.25', '23:59:58', "
                 "CONCAT('a', CHAR(10), 'b'), x'0aff')");
    auto rs = session.Fetch("SELECT id, qty, created, tm, name, b FROM values_my");
    ASSERT_EQ(rs->RowCount(), 1);
    EXPECT_EQ(Literal(*rs, 0, 1, 4), "12.50");
    EXPECT_EQ(Literal(*rs, 0, 2, 4), "'2004-06-27 10:20:30'");
    EXPECT_EQ(Literal(*rs, 0, 2, kOdbcEscapeMode), "{ts '2004-06-27 10:20:30.250'}");
    EXPECT_EQ(Literal(*rs, 0, 3, 4), "'23:59:58'");
    EXPECT_EQ(Literal(*rs, 0, 4, 4), "'a\\nb'");
    EXPECT_EQ(Literal(*rs, 0, 5, 4).substr(0, 2), "0x");
}
