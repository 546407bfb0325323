// Exact scripts reproduce the rows they were made from: a table holding every common type and
// the values that break naive literals is converted with exact literals, run through marlix-cli
// into an empty copy of the table, and the server itself compares the copy with the original.
// Each server's own types are there too (UUID, CHAR, REAL NaN, infinities, negative zero and BC
// timestamps on PostgreSQL; BLOB, BIT, FLOAT of all its digits, zero dates and negative times on
// MariaDB; infinities on SQLite), stored and streamed, so one table proves both.
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using marlix::test::CliRun;
using marlix::test::Server;

// The tables of the running test: tests that share a server run at the same time under
// "ctest -j", so each names its own pair ("<prefix>_src", "<prefix>_copy").
std::string tablePrefix = "rt";

std::string Renamed(std::string script) {
    for (const char* table : {"rt_src", "rt_copy"}) {
        const std::string to = tablePrefix + (table + 2);
        for (size_t at = script.find(table); at != std::string::npos; at = script.find(table, at + to.size()))
            script.replace(at, std::strlen(table), to);
    }
    return script;
}

CliRun RunCli(const std::string& name, const std::string& connection, const std::string& script,
              std::vector<std::string> extra = {}) {
    return marlix::test::RunCli(name, connection, Renamed(script), std::move(extra));
}

// One server's SQL for the test table: its column types and the expressions that fill it.
struct Flavour {
    const char* name;
    const char* dialect;                   // the target dialect of scripts for this server
    std::string columns;                   // the column list of CREATE TABLE
    std::string rows;                      // "VALUES ..." of the hand-made rows
    std::string bulk;                      // INSERT ... SELECT of generated rows, ids 1000 and up
    const char* exceptWord = "EXCEPT ALL"; // the set difference that counts duplicates, where there is one
};

// 'identical' when both tables hold the same rows, as many of each.
std::string Verdict(const char* exceptWord) {
    const std::string e = exceptWord;
    // A short character column: a text column is long to some drivers and stays out of text tables.
    return "SELECT CAST(CASE WHEN (SELECT COUNT(*) FROM (SELECT * FROM rt_src " + e +
           " SELECT * FROM rt_copy) d1) = 0 AND (SELECT COUNT(*) FROM (SELECT * FROM rt_copy " + e +
           " SELECT * FROM rt_src) d2) = 0 AND (SELECT COUNT(*) FROM rt_src) = (SELECT COUNT(*) FROM "
           "rt_copy) "
           "THEN 'identical' ELSE 'different' END AS CHAR(9)) AS verdict";
}

// Changes and deletes rows of rt_copy, for the upsert.
const char* kChangeCopy = "UPDATE rt_copy SET label = 'changed', amount = 0 WHERE id % 2 = 0;\r\n"
                          "DELETE FROM rt_copy WHERE id % 3 = 0;\r\n";

Flavour PostgreSQL() {
    Flavour f;
    f.name = "pg";
    f.dialect = "POSTGRESQL";
    f.columns =
        "id INTEGER PRIMARY KEY, small SMALLINT, big BIGINT, amount NUMERIC(20,6), ratio DOUBLE "
        "PRECISION, single REAL, label VARCHAR(200), body TEXT, born DATE, alarm TIME, seen TIMESTAMP(6), "
        "flag BOOLEAN, data BYTEA, tag UUID, code CHAR(4)";
    f.rows =
        "VALUES (1, 1, 9007199254740993, 12345678901234.123456, 0.1, 1.5, 'it''s', E'back\\\\slash \\\\n "
        "not a break', '2024-02-29', '23:59:59', '2024-02-29 23:59:59.123456', TRUE, '\\x00ff0a', "
        "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', 'ab'),\r\n"
        "(2, -32768, -9223372036854775808, -0.000001, 1e300, -2.5, E'tab\\there', "
        "E'line\\r\\nbreak\\nand\\rmore', "
        "'1970-01-01', '00:00:00', '1999-12-31 00:00:00', FALSE, '\\x', NULL, ''),\r\n"
        "(3, 32767, 9223372036854775807, 0, 0.30000000000000004, 0.1, 'Z\u00fcrich \u6771\u4eac "
        "\U0001F600', 'semi;colon -- no comment /* nor this */ GO ? {d ''2020-01-01''}', '2038-01-19', "
        "'12:34:56', '2038-01-19 03:14:07.000001', TRUE, '\\x5c27', NULL, 'abcd'),\r\n"
        "(4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),\r\n"
        "(5, 0, 0, 99.5, 3.141592653589793, 3.25, '', E'ctrl \\x01\\x1b\\x7f end', '2000-01-01', '06:07:08', "
        "'2000-01-01 06:07:08.5', FALSE, '\\xdeadbeef', NULL, NULL),\r\n"
        "(6, 7, 8, -1, -2.5e-300, 0, E'\\r\\nGO\\r\\n', E'</METADATA*/ /*METADATA> \\\\', '1999-12-31', "
        "'23:00:00', '1999-12-31 23:59:59.999999', TRUE, '\\x00', NULL, NULL),\r\n"
        // Floating-point values without digits, a float4 that needs all its digits, time fractions.
        "(7, 1, 2, 123456.789012, 'Infinity', 'NaN', 'x', 'y', '0987-11-30', '10:20:30.5', "
        "'2024-12-31 00:00:00.000001', TRUE, '\\xff', NULL, NULL),\r\n"
        "(8, 2, 3, 1e-6, '-Infinity', '-Infinity', 'x', 'y', '2024-12-31', '23:59:59.999999', "
        "'2024-01-02 03:04:05.123456', FALSE, '\\x', NULL, NULL),\r\n"
        "(9, 3, 4, 1, 3.141592653589793, 1.0 / 3, '', '', '2024-01-02', '00:00:00', NULL, NULL, NULL, NULL, "
        "NULL),\r\n"
        // Negative zero, the largest float4, the end of a day, a BC timestamp.
        "(10, 0, 0, 0, '-0', 3.4028235e38, '', '', '2000-01-01', '24:00:00', '0044-03-15 10:00:00 BC', NULL, "
        "NULL, NULL, NULL)";
    f.bulk =
        "INSERT INTO rt_src SELECT x, x % 1000, x::BIGINT * 1000003, x / 7.0, x / 3.0, x / 4.0, 'row ' || x, "
        "'body of row ' || x || E'\\nsecond line', DATE '2020-01-01' + x, TIME '10:00:00' + x * INTERVAL '1 "
        "second', TIMESTAMP '2020-01-01 00:00:00' + x * INTERVAL '1.000001 second', x % 2 = 0, "
        "decode(md5(x::text), 'hex'), md5(x::text)::uuid, 'c' || (x % 10) FROM generate_series(1000, 2199) "
        "AS x";
    return f;
}

Flavour MariaDB() {
    Flavour f;
    f.name = "maria";
    f.dialect = "MYSQL";
    f.columns =
        "id INTEGER PRIMARY KEY, small SMALLINT, big BIGINT, amount DECIMAL(20,6), ratio DOUBLE, single "
        "FLOAT, label VARCHAR(200), body TEXT, born DATE, alarm TIME(6), seen DATETIME(6), flag BOOLEAN, "
        "data VARBINARY(64), blobby BLOB, bits BIT(1)";
    f.rows =
        "VALUES (1, 1, 9007199254740993, 12345678901234.123456, 0.1, 1.5, 'it''s', 'back\\\\slash \\\\n not "
        "a break', '2024-02-29', '23:59:59', '2024-02-29 23:59:59.123456', TRUE, 0x00ff0a, x'00', b'1'),\r\n"
        "(2, -32768, -9223372036854775808, -0.000001, 1e300, -2.5, 'tab\\there', "
        "'line\\r\\nbreak\\nand\\rmore', "
        "'1970-01-01', '00:00:00', '1999-12-31 00:00:00', FALSE, '', x'', b'0'),\r\n"
        "(3, 32767, 9223372036854775807, 0, 0.30000000000000004, 0.1, 'Z\u00fcrich \u6771\u4eac "
        "\U0001F600', 'semi;colon -- no comment /* nor this */ GO ? {d ''2020-01-01''}', '2038-01-19', "
        "'12:34:56', '2038-01-19 03:14:07.000001', TRUE, 0x5c27, NULL, NULL),\r\n"
        "(4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),\r\n"
        "(5, 0, 0, 99.5, 3.141592653589793, 3.25, '', CONCAT('ctrl ', CHAR(1), CHAR(27), CHAR(127), ' end', "
        "CHAR(0), 'after nul'), '2000-01-01', '06:07:08', '2000-01-01 06:07:08.5', FALSE, 0xdeadbeef, x'0a', "
        "b'1'),\r\n"
        "(6, 7, 8, -1, -2.5e-300, 0, '\\r\\nGO\\r\\n', '</METADATA*/ /*METADATA> \\\\', '1999-12-31', "
        "'23:00:00', '1999-12-31 23:59:59.999999', TRUE, 0x00, NULL, b'0'),\r\n"
        // FLOAT values that need all their digits, a boolean that is a number, time fractions.
        "(7, 1, 2, 123456.789012, 1e0 / 3, 16777217, 'x', 'y', '0987-11-30', '10:20:30.5', "
        "'2024-12-31 00:00:00.000001', 7, x'ff', x'ff', b'1'),\r\n"
        "(8, 2, 3, 1e-6, 3.141592653589793, 1e-7, 'x', 'y', '2024-12-31', '23:59:59.999999', "
        "'2024-01-02 03:04:05.123456', FALSE, x'', NULL, NULL),\r\n"
        "(9, 3, 4, 1, 0.1e0 + 0.2e0, 1e0 / 3, '', '', NULL, NULL, NULL, NULL, NULL, NULL, NULL),\r\n"
        // Zero dates, negative times and times past a day, the largest FLOAT.
        "(10, 0, 0, 0, -0e0, 3.4028234663852886e38, '', '', '0000-00-00', '-838:59:59', '0000-00-00 00:00:00', "
        "0, x'', x'', b'0'),\r\n"
        "(11, 0, 0, 0, 0, -3.4028234663852886e38, '', '', NULL, '-00:00:00.000001', NULL, 0, NULL, NULL, b'1'),\r\n"
        "(12, 0, 0, 0, 0, 0, '', '', NULL, '100:00:00', NULL, 0, NULL, NULL, NULL)";
    f.bulk =
        "INSERT INTO rt_src SELECT seq, seq % 1000, seq * 1000003, seq / 7.0, seq / 3.0, seq / 4.0, "
        "CONCAT('row ', seq), CONCAT('body of row ', seq, '\\nsecond line'), DATE '2020-01-01' + INTERVAL "
        "seq DAY, SEC_TO_TIME(36000 + seq), TIMESTAMP '2020-01-01 00:00:00' + INTERVAL seq * 1000001 "
        "MICROSECOND, seq % 2 = 0, UNHEX(MD5(seq)), UNHEX(MD5(seq + 1)), seq % 2 FROM seq_1000_to_2199";
    return f;
}

// The SQLite driver reads floating-point values through SQLite's own 15-digit text, so the values
// here need no more digits than that.
Flavour SQLite() {
    Flavour f;
    f.name = "sqlite";
    f.dialect = "SQLITE";
    f.columns =
        "id INTEGER PRIMARY KEY, small SMALLINT, big BIGINT, amount NUMERIC(20,6), ratio DOUBLE, single "
        "REAL, label VARCHAR(200), body TEXT, born DATE, alarm TIME, seen TIMESTAMP, flag BOOLEAN, data "
        "BLOB";
    f.rows =
        "VALUES (1, 1, 9007199254740993, 12345678.123456, 0.1, 1.5, 'it''s', 'back\\slash \\n not a break', "
        "'2024-02-29', '23:59:59', '2024-02-29 23:59:59.123', 1, X'00ff0a'),\r\n"
        "(2, -32768, -9223372036854775808, -0.000001, 1e300, -2.5, 'tab' || char(9) || 'here', 'line' || "
        "char(13, 10) || 'break' || char(10) || 'and' || char(13) || 'more', '1970-01-01', '00:00:00', "
        "'1999-12-31 00:00:00', 0, X''),\r\n"
        "(3, 32767, 9223372036854775807, 0, 0.3, 0.1, 'Z\u00fcrich \u6771\u4eac "
        "\U0001F600', 'semi;colon -- no comment /* nor this */ GO ? {d ''2020-01-01''}', '2038-01-19', "
        "'12:34:56', '2038-01-19 03:14:07.001', 1, X'5c27'),\r\n"
        "(4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),\r\n"
        "(5, 0, 0, 99.5, 3.14159265358979, 3.25, '', 'ctrl ' || char(1, 27, 127) || ' end', '2000-01-01', "
        "'06:07:08', '2000-01-01 06:07:08.5', 0, X'deadbeef'),\r\n"
        "(6, 7, 8, -1, -2.5e-300, 0, char(13, 10) || 'GO' || char(13, 10), '</METADATA*/ /*METADATA> \\', "
        "'1999-12-31', '23:00:00', '1999-12-31 23:59:59.999', 1, X'00'),\r\n"
        // Far dates, time fractions, tiny numbers.
        "(7, 1, 2, 0.0000001, -2.5e-10, 0.5, 'x', 'y', '0987-11-30', '10:20:30.5', "
        "'2024-01-02 03:04:05.123456', 0, X'ff'),\r\n"
        "(8, 2, 3, 1e-6, 0.5, 1e300, '', '', '2024-12-31', '23:59:59.999999', '2024-12-31 00:00:00.5', NULL, "
        "NULL),\r\n"
        // Infinities; dates and times as the text SQLite keeps.
        "(9, 0, 0, 0, 9e999, -9e999, '', '', '0000-00-00', '25:00:00', 'someday', NULL, X'')";
    f.bulk = "WITH RECURSIVE c(x) AS (SELECT 1000 UNION ALL SELECT x + 1 FROM c WHERE x < 2199) "
             "INSERT INTO rt_src SELECT x, x % 1000, x * 1000003, x / 8.0, x / 16.0, x / 4.0, 'row ' || x, "
             "'body of row ' || x || char(10) || 'second line', date('2020-01-01', '+' || x || ' days'), "
             "time('10:00:00', '+' || x || ' seconds'), datetime('2020-01-01', '+' || x || ' seconds'), x % "
             "2 = 0, randomblob(16) FROM c";
    f.exceptWord = "EXCEPT";
    return f;
}

std::string Tables(const Flavour& f) {
    return "DROP TABLE IF EXISTS rt_src;\r\nDROP TABLE IF EXISTS rt_copy;\r\nCREATE TABLE rt_src (" +
           f.columns + ");\r\nCREATE TABLE rt_copy (" + f.columns + ");\r\nINSERT INTO rt_src " + f.rows +
           ";\r\n" + f.bulk + ";\r\n";
}

// The script that converts rt_src: exact literals in `dialect`, as `type` with `attributes`.
std::string Conversion(const std::string& dialect, const std::string& type, const std::string& attributes) {
    return "/*METADATA>\r\n\t<OPTIONS Syntax = \"" + dialect +
           "\", Literals = \"EXACT\"/>\r\n\t<RESULTSET Type = \"" + type + "\", Table = \"rt_copy\"" +
           attributes +
           "><KEYS><KEY_id Field = \"id\"/></KEYS></RESULTSET>\r\n</METADATA*/\r\n"
           "SELECT * FROM rt_src ORDER BY id";
}

// Converts on `from` and runs the script on `to`; the stored conversion unless streamed.
CliRun ConvertAndLoad(const std::string& label, const std::string& from, const std::string& to,
                      const std::string& conversion, bool streamed) {
    std::vector<std::string> limits = streamed
                                          ? std::vector<std::string>{"--output", "-"}
                                          : std::vector<std::string>{"--size-limit", "0", "--row-limit", "0"};
    CliRun made = RunCli(label + "-make", from, conversion, limits);
    if (made.status != 0) return made;
    CliRun loaded = RunCli(label + "-load", to, made.out);
    if (loaded.status != 0) loaded.err = "loading the script of " + label + ":\n" + loaded.err;
    return loaded;
}

std::string Verdict(const Flavour& f, const std::string& label, const std::string& connection) {
    CliRun verdict = RunCli(label + "-verdict", connection, Verdict(f.exceptWord));
    if (verdict.out.find("'identical'") != std::string::npos) return "identical";
    CliRun rows = RunCli(label + "-differing", connection,
                         "SELECT * FROM rt_src " + std::string(f.exceptWord) + " SELECT * FROM rt_copy",
                         {"--size-limit", "0"});
    return verdict.out + verdict.err + "\nrows of the original the copy lacks:\n" + rows.out;
}

void CheckRoundTrips(const Flavour& f, const std::string& connection) {
    CliRun setup = RunCli(std::string(f.name) + "-setup", connection, Tables(f));
    ASSERT_EQ(setup.status, 0) << setup.err;

    struct Pass {
        const char* label;
        const char* type;
        const char* attributes;
        bool streamed;
    } const passes[] = {
        {"rows1", "INSERT", "", false},
        {"rows500", "INSERT", ", Rows = \"500\"", true},
        {"rows500-commit", "INSERT", ", Rows = \"500\", CommitEvery = \"2\"", false},
    };
    for (const Pass& pass : passes) {
        const std::string label = std::string(f.name) + "-" + pass.label;
        ASSERT_EQ(RunCli(label + "-empty", connection, "DELETE FROM rt_copy").status, 0);
        CliRun loaded = ConvertAndLoad(label, connection, connection,
                                       Conversion(f.dialect, pass.type, pass.attributes), pass.streamed);
        ASSERT_EQ(loaded.status, 0) << loaded.err;
        EXPECT_EQ(Verdict(f, label, connection), "identical") << label;
    }

    // The upsert brings changed rows back and adds the deleted ones.
    const std::string label = std::string(f.name) + "-upsert";
    ASSERT_EQ(RunCli(label + "-change", connection, kChangeCopy).status, 0);
    ASSERT_NE(Verdict(f, label + "-changed", connection), "identical");
    CliRun loaded = ConvertAndLoad(label, connection, connection, Conversion(f.dialect, "UPSERT", ""), true);
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(Verdict(f, label, connection), "identical");
}

TEST(ExactRoundTrip, SQLite) {
    CheckRoundTrips(SQLite(), marlix::test::ConnectionString(Server::SQLite, "roundtrip"));
}

TEST(ExactRoundTrip, PostgreSQL) {
    MARLIX_CONNECTION_OR_SKIP(connection, Server::PostgreSQL);
    tablePrefix = "rt1";
    CheckRoundTrips(PostgreSQL(), connection);
}

TEST(ExactRoundTrip, MariaDB) {
    MARLIX_CONNECTION_OR_SKIP(connection, Server::MariaDB);
    tablePrefix = "rt1";
    CheckRoundTrips(MariaDB(), connection);
}

// Between the two servers, for the types both hold: PostgreSQL's rows go to MariaDB as MYSQL
// script and come back as POSTGRESQL script, and the other way round; each server compares what
// came back with its original.
const char* kSharedColumns =
    "id INTEGER PRIMARY KEY, big BIGINT, amount DECIMAL(20,6), ratio DOUBLE PRECISION, "
    "label VARCHAR(200), born DATE, alarm TIME, seen TIMESTAMP(6)";
const char* kSharedColumnsMaria = "id INTEGER PRIMARY KEY, big BIGINT, amount DECIMAL(20,6), ratio DOUBLE, "
                                  "label VARCHAR(200), born DATE, alarm TIME, seen DATETIME(6)";
const char* kSharedRows =
    "VALUES (1, 9007199254740993, 12345678901234.123456, 0.1, 'it''s', '2024-02-29', '23:59:59', "
    "'2024-02-29 23:59:59.123456'),\r\n"
    "(2, -9223372036854775808, -0.000001, 0.30000000000000004, 'Z\u00fcrich \u6771\u4eac', '1970-01-01', "
    "'00:00:00', '2038-01-19 03:14:07.000001'),\r\n"
    "(3, NULL, NULL, NULL, NULL, NULL, NULL, NULL)";

std::string SharedTables(const char* columns, const std::string& extraRows) {
    return "DROP TABLE IF EXISTS rt_src;\r\nDROP TABLE IF EXISTS rt_copy;\r\nCREATE TABLE rt_src (" +
           std::string(columns) + ");\r\nCREATE TABLE rt_copy (" + columns + ");\r\nINSERT INTO rt_src " +
           kSharedRows + extraRows + ";\r\n";
}

void CheckCrossing(const std::string& label, const Flavour& home, const std::string& homeConnection,
                   const char* homeColumns, const std::string& homeExtraRows, const Flavour& away,
                   const std::string& awayConnection, const char* awayColumns) {
    ASSERT_EQ(RunCli(label + "-home", homeConnection, SharedTables(homeColumns, homeExtraRows)).status, 0);
    ASSERT_EQ(RunCli(label + "-away", awayConnection, SharedTables(awayColumns, "")).status, 0);
    ASSERT_EQ(RunCli(label + "-away-empty", awayConnection, "DELETE FROM rt_copy").status, 0);
    // Out: home's rows into away's copy.
    CliRun out = ConvertAndLoad(label + "-out", homeConnection, awayConnection,
                                Conversion(away.dialect, "INSERT", ", Rows = \"100\""), false);
    ASSERT_EQ(out.status, 0) << out.err;
    // Back: away's copy into home's copy.
    const std::string back =
        "/*METADATA>\r\n\t<OPTIONS Syntax = \"" + std::string(home.dialect) +
        "\", Literals = \"EXACT\"/>\r\n\t<RESULTSET Type = \"INSERT\", Table = \"rt_copy\", "
        "Rows = \"100\"/>\r\n</METADATA*/\r\nSELECT * FROM rt_copy ORDER BY id";
    CliRun returned = ConvertAndLoad(label + "-back", awayConnection, homeConnection, back, true);
    ASSERT_EQ(returned.status, 0) << returned.err;
    EXPECT_EQ(Verdict(home, label, homeConnection), "identical");
}

TEST(ExactRoundTrip, PostgreSQLToMariaDBAndBack) {
    MARLIX_CONNECTION_OR_SKIP(pg, Server::PostgreSQL);
    MARLIX_CONNECTION_OR_SKIP(maria, Server::MariaDB);
    tablePrefix = "rt2";
    CheckCrossing("pg-maria", PostgreSQL(), pg, kSharedColumns,
                  ",\r\n(4, 5, 1.5, 1e300, E'line\\r\\nbreak back\\\\slash', '2000-01-01', '06:07:08', "
                  "'2000-01-01 06:07:08.5')",
                  MariaDB(), maria, kSharedColumnsMaria);
}

TEST(ExactRoundTrip, MariaDBToPostgreSQLAndBack) {
    MARLIX_CONNECTION_OR_SKIP(pg, Server::PostgreSQL);
    MARLIX_CONNECTION_OR_SKIP(maria, Server::MariaDB);
    tablePrefix = "rt3";
    CheckCrossing("maria-pg", MariaDB(), maria, kSharedColumnsMaria,
                  ",\r\n(4, 5, 1.5, 1e300, 'line\\r\\nbreak back\\\\slash', '2000-01-01', '06:07:08', "
                  "'2000-01-01 06:07:08.5')",
                  PostgreSQL(), pg, kSharedColumns);
}

} // namespace
