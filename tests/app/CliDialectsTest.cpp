// Scripts written as psql and the mariadb client take them run through marlix-cli unchanged:
// dollar-quoted bodies, escape strings, backslash escapes and DELIMITER lines.
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using marlix::test::CliRun;
using marlix::test::RunCli;

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

TEST(CliPostgreSQL, DollarQuotedBodiesAndEscapeStringsRunWhole) {
    MARLIX_CONNECTION_OR_SKIP(conn, marlix::test::Server::PostgreSQL);
    const std::string script =
        "DROP FUNCTION IF EXISTS marlix_add_one(integer);\r\n"
        "DROP TABLE IF EXISTS marlix_dollar;\r\n"
        "CREATE FUNCTION marlix_add_one(i integer) RETURNS integer AS $$\r\n"
        "BEGIN\r\n"
        "  RETURN i + 1;\r\n"
        "END;\r\n"
        "$$ LANGUAGE plpgsql;\r\n"
        "SELECT marlix_add_one(41) AS answer;\r\n"
        "CREATE TABLE marlix_dollar (v text);\r\n"
        "DO $body$\r\n"
        "BEGIN\r\n"
        "  INSERT INTO marlix_dollar VALUES ('from; the block');\r\n"
        "  INSERT INTO marlix_dollar VALUES ($q$it's; $$ quoted$q$);\r\n"
        "END\r\n"
        "$body$;\r\n"
        "SELECT count(*) AS inserted FROM marlix_dollar WHERE v LIKE '%;%';\r\n"
        "SELECT CAST(E'x\\'y;z' AS varchar(10)) AS escaped, length(E'x\\'y;z') AS len;\r\n"
        "DROP FUNCTION marlix_add_one(integer);\r\n"
        "DROP TABLE marlix_dollar\r\n";
    const CliRun run = RunCli("pg_dialect", conn, script);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Has(run.err, "error")) << run.err;
    EXPECT_TRUE(Has(run.out, "42")) << run.out;
    EXPECT_TRUE(Has(run.out, "inserted")) << run.out;
    EXPECT_TRUE(Has(run.out, "2 ")) << run.out;
    // the literal reached the server whole: x'y;z, five characters
    EXPECT_TRUE(Has(run.out, "'x''y;z'")) << run.out;
    EXPECT_TRUE(Has(run.out, "5 ")) << run.out;
}

TEST(CliMariaDB, ProcedureBetweenDelimiterLinesAndBackslashEscapes) {
    MARLIX_CONNECTION_OR_SKIP(conn, marlix::test::Server::MariaDB);
    const std::string script = "DROP PROCEDURE IF EXISTS marlix_fill;\r\n"
                               "DROP TABLE IF EXISTS marlix_names;\r\n"
                               "CREATE TABLE marlix_names (name varchar(40));\r\n"
                               "DELIMITER //\r\n"
                               "CREATE PROCEDURE marlix_fill(IN n varchar(40))\r\n"
                               "BEGIN\r\n"
                               "  INSERT INTO marlix_names VALUES (n);\r\n"
                               "  INSERT INTO marlix_names VALUES (CONCAT(n, '; again'));\r\n"
                               "END//\r\n"
                               "DELIMITER ;\r\n"
                               "CALL marlix_fill('first');\r\n"
                               "INSERT INTO marlix_names VALUES ('O\\'Brien; Ltd');\r\n"
                               "SELECT COUNT(*) AS stored FROM marlix_names;\r\n"
                               "SELECT COUNT(*) AS whole FROM marlix_names WHERE name = 'O''Brien; Ltd';\r\n"
                               "DROP PROCEDURE marlix_fill;\r\n"
                               "DROP TABLE marlix_names\r\n";
    const CliRun run = RunCli("maria_dialect", conn, script);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Has(run.err, "error")) << run.err;
    EXPECT_FALSE(Has(run.err, "DELIMITER")) << "the client's command is never sent: " << run.err;
    // two rows from the procedure and the literal, stored whole
    EXPECT_TRUE(Has(run.out, "stored")) << run.out;
    EXPECT_TRUE(Has(run.out, "3 ")) << run.out;
    EXPECT_TRUE(Has(run.out, "whole")) << run.out;
    EXPECT_TRUE(Has(run.out, "1 ")) << run.out;
}

TEST(CliMariaDB, StatementAtAPositionInsideAProcedureBody) {
    MARLIX_CONNECTION_OR_SKIP(conn, marlix::test::Server::MariaDB);
    const std::string script =
        "DROP PROCEDURE IF EXISTS marlix_two;\r\n"
        "DELIMITER $$\r\n"
        "CREATE PROCEDURE marlix_two() BEGIN SELECT 1 AS one; SELECT 'a\\'b' AS two; END$$\r\n"
        "CALL marlix_two()$$\r\n"
        "DELIMITER ;\r\n"
        "DROP PROCEDURE marlix_two;\r\n";
    const std::string body = "SELECT 'a";
    // first the whole procedure as Execute Statement sends it from a caret inside its body ...
    const CliRun create =
        RunCli("maria_at_create", conn, script, {"--statement-at", std::to_string(script.find(body) + 8)});
    EXPECT_EQ(create.status, 0) << create.err;
    EXPECT_FALSE(Has(create.out, "one")) << "only the CREATE ran: " << create.out;
    // ... then the CALL alone, whose two results come back
    const CliRun call =
        RunCli("maria_at_call", conn, script, {"--statement-at", std::to_string(script.find("CALL"))});
    EXPECT_EQ(call.status, 0) << call.err;
    EXPECT_TRUE(Has(call.out, "one")) << call.out;
    EXPECT_TRUE(Has(call.out, "'a''b'")) << call.out;
    RunCli("maria_at_drop", conn, script, {"--statement-at", std::to_string(script.rfind("DROP"))});
}

} // namespace
