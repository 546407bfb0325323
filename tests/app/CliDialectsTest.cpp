// Execute Statement inside a procedure body between DELIMITER lines, on MariaDB. (Dollar quotes,
// escape strings and DELIMITER lines run whole are the text cases pg_dollar_quotes and
// maria_delimiter_procedure.)
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
