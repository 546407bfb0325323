// Exact literals proved on the real servers: values are fetched, written back as exact literals
// into an empty copy of their table, and the server compares copy and original.
#include "FetchedResult.h"
#include "core/ValueText.h"
#include "core/ODBCException.h"
#include "db/StatementHandle.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <vector>

using namespace marlix;
using marlix::test::Server;
using marlix::test::TestSession;

namespace {

struct ServerTable {
    Dialect dialect;
    std::vector<std::string> setup; // creates exact_src with its rows and the empty exact_copy
    const char* columns;            // id first
    const char* sameValue;          // condition on a.%s and b.%s (%s replaced by the column name)
};

std::string Replaced(std::string_view pattern, std::string_view column) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            out += column;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Scalar(const TestSession& session, const std::string& query) {
    auto rs = session.Fetch(query);
    if (rs->RowCount() != 1) return "no row";
    return std::string(rs->Cell(0, 0).Text());
}

ConversionDescription ExactDescription() {
    ConversionDescription description;
    description.literals = LiteralStyle::Exact;
    return description;
}

void ExpectCopiedExactly(Server server, const std::string& connection, const ServerTable& table) {
    TestSession session(connection);
    for (const std::string& statement : table.setup)
        session.Exec(statement);
    const std::string query = std::string("SELECT ") + table.columns + " FROM exact_src ORDER BY id";
    auto rs = session.Fetch(query, ExactDescription());
    ASSERT_GT(rs->RowCount(), 0);

    // Every row back through its exact literals.
    std::string inserts;
    for (int64_t row = 0; row < rs->RowCount(); ++row) {
        std::string insert = std::string("INSERT INTO exact_copy (") + table.columns + ") VALUES (";
        for (int c = 0; c < rs->ColumnCount(); ++c) {
            if (c) insert += ", ";
            AppendExactLiteral(rs->Column(c), rs->Cell(row, c), table.dialect, insert);
        }
        insert += ")";
        inserts += insert + "\n";
        try {
            session.Exec(insert);
        } catch (const CODBCException& e) {
            ADD_FAILURE() << marlix::test::ServerName(server) << " refused " << insert << "\n" << e.Message();
        }
    }
    EXPECT_EQ(Scalar(session, "SELECT COUNT(*) FROM exact_copy"), std::to_string(rs->RowCount()));
    for (int c = 1; c < rs->ColumnCount(); ++c) {
        const std::string name(rs->Column(c).Name());
        const std::string differing =
            "SELECT COUNT(*) FROM exact_src a JOIN exact_copy b ON a.id = b.id WHERE NOT (" +
            Replaced(table.sameValue, name) + ")";
        EXPECT_EQ(Scalar(session, differing), "0")
            << marlix::test::ServerName(server) << " column " << name << " after\n"
            << inserts;
    }

    // Streaming writes the same literals from the bound values.
    StatementHandle statement(session.Connection());
    ASSERT_TRUE(Succeeded(SQLExecDirect(statement, (SQLCHAR*)query.c_str(), SQL_NTS)));
    ResultSet through(rs->ColumnCount(), 0, 0, ExactDescription());
    through.fetchThrough = true;
    through.DescribeAndBind(statement, 0);
    for (int64_t row = 0; row < rs->RowCount(); ++row) {
        ASSERT_TRUE(Succeeded(SQLFetch(statement)));
        for (int c = 0; c < rs->ColumnCount(); ++c) {
            const ColumnDescriptor& column = through.Column(c);
            std::string_view bound;
            if (column.indicator != SQL_NULL_DATA && !column.IsDateTime())
                bound = through.BoundText(statement, c);
            std::string streamed, stored;
            AppendExactFetchThroughLiteral(column, table.dialect, bound, streamed);
            AppendExactLiteral(rs->Column(c), rs->Cell(row, c), table.dialect, stored);
            EXPECT_EQ(streamed, stored) << row << "/" << column.Name();
        }
    }
}

} // namespace

TEST(ExactLiteralOnServers, SQLiteValuesReadBackUnchanged) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    // The SQLite driver reads REAL values through SQLite's text of them, 15 significant digits,
    // whichever C type they are fetched as: a value that needs 16 or 17 (0.1 + 0.2) cannot arrive
    // whole, so the values here are those the driver can deliver.
    const char* columns = "id integer primary key, t text, vc varchar(40), b blob, r double, d date, "
                          "ts timestamp, tm time, bo boolean, n numeric(12,2)";
    const std::string createSource = std::string("CREATE TABLE exact_src (") + columns + ")";
    const std::string createCopy = std::string("CREATE TABLE exact_copy (") + columns + ")";
    ServerTable table{Dialect::SQLITE,
                      {},
                      "id, t, vc, b, r, d, ts, tm, bo, n",
                      "a.%s IS b.%s AND typeof(a.%s) = typeof(b.%s)"};
    table.setup = {
        "DROP TABLE IF EXISTS exact_src",
        "DROP TABLE IF EXISTS exact_copy",
        createSource,
        createCopy,
        "INSERT INTO exact_src VALUES (1, 'it''s' || char(13) || char(10) || char(9) || 'C:\\dir\\ ' || "
        "char(1) || ' Z\xC3\xBCrich', 'a''b\\c', x'000aff27', 0.5, '2024-01-02', '2024-01-02 03:04:05.123456', "
        "'10:20:30.5', 1, 12.5)",
        "INSERT INTO exact_src VALUES (2, '', '', x'', 1e300, '0987-11-30', '2024-02-29 23:59:59', "
        "'00:00:00', 0, -0.01)",
        "INSERT INTO exact_src VALUES (3, NULL, NULL, NULL, 3.14159265358979, NULL, NULL, NULL, NULL, NULL)",
        "INSERT INTO exact_src VALUES (4, 'x', 'y', x'ff', -2.5e-10, '2024-12-31', '2024-12-31 00:00:00.5', "
        "'23:59:59.999999', NULL, 1e-7)",
    };
    ExpectCopiedExactly(Server::SQLite, conn, table);
}

TEST(ExactLiteralOnServers, PostgreSQLValuesReadBackUnchanged) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    ServerTable table{
        Dialect::POSTGRESQL,
        {
            "DROP TABLE IF EXISTS exact_src, exact_copy",
            "CREATE TABLE exact_src (id int primary key, t text, vc varchar(40), b bytea, f8 float8, f4 "
            "real, "
            "n numeric(20,6), d date, ts timestamp(6), tm time(6), bo boolean, u uuid, c char(4))",
            "CREATE TABLE exact_copy (LIKE exact_src)",
            "INSERT INTO exact_src VALUES (1, E'it''s\\r\\n\\tC:\\\\dir\\\\ \\x01 Z\xC3\xBCrich', 'a''b\\c', "
            "'\\x000aff27', 0.1::float8 + 0.2::float8, 3.1415927, 123456.789012, '2024-01-02', "
            "'2024-01-02 03:04:05.123456', '10:20:30.5', true, 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', 'ab')",
            "INSERT INTO exact_src VALUES (2, '', '', '\\x', 1e300, 'NaN', -0.01, '0987-11-30', "
            "'2024-02-29 23:59:59', '00:00:00', false, NULL, '')",
            "INSERT INTO exact_src VALUES (3, NULL, NULL, NULL, 'Infinity', 1.0 / 3, NULL, NULL, NULL, NULL, "
            "NULL, "
            "NULL, NULL)",
            "INSERT INTO exact_src VALUES (4, 'x', 'y', '\\xff', 3.141592653589793, '-Infinity', 1e-6, "
            "'2024-12-31', '2024-12-31 00:00:00.000001', '23:59:59.999999', true, NULL, 'abcd')",
        },
        "id, t, vc, b, f8, f4, n, d, ts, tm, bo, u, c",
        "a.%s IS NOT DISTINCT FROM b.%s",
    };
    ExpectCopiedExactly(Server::PostgreSQL, conn, table);
}

TEST(ExactLiteralOnServers, MariaDBValuesReadBackUnchanged) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    ServerTable table{
        Dialect::MYSQL,
        {
            "CREATE OR REPLACE TABLE exact_src (id int primary key, t text, vc varchar(40), b varbinary(20), "
            "bl blob, f8 double, f4 float, n decimal(20,6), d date, dt datetime(6), tm time(6), bo boolean, "
            "bt bit(1)) CHARACTER SET utf8mb4",
            "CREATE OR REPLACE TABLE exact_copy LIKE exact_src",
            "INSERT INTO exact_src VALUES (1, CONCAT('it''s', CHAR(13), CHAR(10), CHAR(9), 'C:\\\\dir\\\\ ', "
            "CHAR(0), CHAR(1), ' Z\xC3\xBCrich'), 'a''b\\\\c', x'000aff27', x'00', 0.1e0 + 0.2e0, 3.1415927, "
            "123456.789012, '2024-01-02', '2024-01-02 03:04:05.123456', '10:20:30.5', true, b'1')",
            "INSERT INTO exact_src VALUES (2, '', '', x'', x'', 1e300, 1e0 / 3, -0.01, '0987-11-30', "
            "'2024-02-29 23:59:59', '00:00:00', false, b'0')",
            "INSERT INTO exact_src VALUES (3, NULL, NULL, NULL, NULL, 3.141592653589793, 1e-7, NULL, NULL, "
            "NULL, "
            "NULL, NULL, NULL)",
            "INSERT INTO exact_src VALUES (4, 'x', 'y', x'ff', x'0a', 1e0 / 3, 16777217, 1e-6, '2024-12-31', "
            "'2024-12-31 00:00:00.000001', '23:59:59.999999', 7, b'1')",
        },
        "id, t, vc, b, bl, f8, f4, n, d, dt, tm, bo, bt",
        "a.%s <=> b.%s AND BINARY a.%s <=> BINARY b.%s",
    };
    ExpectCopiedExactly(Server::MariaDB, conn, table);
}
