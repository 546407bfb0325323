// The command lines of the runner and the window: what they accept and the error they give for
// what they do not.
#include "app/CliOptions.h"
#include "app/WindowOptions.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

std::string ErrorOf(std::vector<std::string> args) {
    std::string error;
    EXPECT_FALSE(ParseCliOptions(args, error).has_value());
    return error;
}

std::string WindowErrorOf(std::vector<std::string> args) {
    std::string error;
    EXPECT_FALSE(ParseWindowOptions(args, error).has_value());
    return error;
}

} // namespace

TEST(CliOptions, ReadsEveryOption) {
    std::string error;
    auto o = ParseCliOptions({"--dsn", "Sales", "--user", "me", "--password", "p w", "--type", "3",
                              "--syntax", "oracle", "--output", "out.sql", "--statement-at", "120",
                              "--profile", "p.ini", "script.sql"},
                             error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->dsn, "Sales");
    EXPECT_EQ(o->password, "p w");
    EXPECT_EQ(o->type, 3);
    EXPECT_EQ(o->syntax, Dialect::ORACLE) << "dialect names read in any case";
    EXPECT_EQ(o->outputFile, "out.sql");
    EXPECT_EQ(o->statementAt, 120);
    EXPECT_EQ(o->profileFile, "p.ini");
    EXPECT_EQ(o->script, "script.sql");
    auto stdinScript = ParseCliOptions({"--connect", "Driver=SQLite3;Database=x", "-"}, error);
    ASSERT_TRUE(stdinScript) << error;
    EXPECT_EQ(stdinScript->script, "-");
}

// The messages of the refusals marlix-cli prints are the text cases usage_*; what a text case's
// command line cannot show is here.
TEST(CliOptions, RefusesWhatItCannotRun) {
    EXPECT_EQ(ErrorOf({"--connect", "x"}), "no script given");
    EXPECT_EQ(ErrorOf({"--connect"}), "--connect needs a value");
    EXPECT_EQ(ErrorOf({"--connect", "x", "s.sql", "--row-limit"}), "--row-limit needs a value");
}

TEST(CliOptions, LimitsOverrideTheProfileOnlyWhenGiven) {
    std::string error;
    auto none = ParseCliOptions({"--connect", "x", "s.sql"}, error);
    ASSERT_TRUE(none) << error;
    EXPECT_FALSE(none->rowLimit) << "without the option the profile's limit stays";
    EXPECT_FALSE(none->sizeLimitMB);
    EXPECT_FALSE(none->ToStandardOutput());
    auto o = ParseCliOptions(
        {"--connect", "x", "--row-limit", "0", "--size-limit", "250", "--output", "-", "s.sql"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->rowLimit, 0) << "0 is a value (no limit), not the absence of one";
    EXPECT_EQ(o->sizeLimitMB, 250);
    EXPECT_TRUE(o->ToStandardOutput());
}

TEST(WindowOptions, ConnectsOnlyWhenAskedAndOpensOneScript) {
    std::string error;
    auto none = ParseWindowOptions({}, error);
    ASSERT_TRUE(none) << error;
    EXPECT_FALSE(none->Connects());

    auto o = ParseWindowOptions(
        {"--connect", "Driver=SQLite3;Database=/tmp/shop.sqlite", "--type", "4", "a.sql"}, error);
    ASSERT_TRUE(o) << error;
    ConnectionRequest request = o->Request(ConnectionTitleOf(o->connectionString));
    EXPECT_EQ(request.type, ConnectionType::MSAccess);
    EXPECT_EQ(request.title, "shop.sqlite");
    EXPECT_EQ(o->script, "a.sql");

    auto dsn = ParseWindowOptions({"--dsn", "Sales", "--user", "me", "--password", "p;w"}, error);
    ASSERT_TRUE(dsn) << error;
    request = dsn->Request("unused");
    EXPECT_EQ(request.type, ConnectionType::DataSourceName);
    EXPECT_EQ(request.connectionString, "Sales");
    EXPECT_EQ(request.title, "Sales");
    EXPECT_EQ(request.password, "p;w");

    EXPECT_EQ(WindowErrorOf({"--connect", "x", "--dsn", "y"}), "--connect and --dsn cannot be used together");
    EXPECT_FALSE(ParseWindowOptions({"a.sql", "b.sql"}, error));
    EXPECT_EQ(WindowErrorOf({"--syntax", "MSSQL"}), "unknown option --syntax");
    EXPECT_EQ(WindowErrorOf({"--type", "9"}), "--type takes a number from 0 to 7, not '9'");
    auto sqlite = ParseWindowOptions({"--connect", "Driver=SQLite3;Database=x", "--type", "7"}, error);
    ASSERT_TRUE(sqlite) << error;
    EXPECT_EQ(sqlite->Request("x").type, ConnectionType::SQLiteFile);
}

TEST(WindowOptions, ConnectionTitleNamesTheSourceDatabaseOrServer) {
    EXPECT_EQ(ConnectionTitleOf("DSN=Sales;UID=me"), "Sales");
    EXPECT_EQ(ConnectionTitleOf("Driver=SQLite3;Database=/var/db/shop.sqlite"), "shop.sqlite");
    EXPECT_EQ(ConnectionTitleOf("Driver={PostgreSQL Unicode};server = db1;database=sales"), "sales");
    EXPECT_EQ(ConnectionTitleOf("Driver={PostgreSQL Unicode};Server=db1"), "db1");
    EXPECT_EQ(ConnectionTitleOf("Driver=X"), "ODBC");
}

TEST(WindowOptions, AutomationSwitchesStandAlone) {
    std::string error;
    for (const char* spelling : {"-RegServer", "--regserver", "/RegServer", "--register", "-REGISTER"}) {
        auto o = ParseWindowOptions({spelling}, error);
        if (spelling[0] == '/') {
            // A word starting with a slash is a path: the script to open.
            ASSERT_TRUE(o) << error;
            EXPECT_FALSE(o->registerServer);
            EXPECT_EQ(o->script, spelling);
            continue;
        }
        ASSERT_TRUE(o) << spelling << ": " << error;
        EXPECT_TRUE(o->registerServer && o->Registration()) << spelling;
        EXPECT_TRUE(IsAutomationSwitch(spelling));
    }
    auto unregister = ParseWindowOptions({"-UnregServer"}, error);
    ASSERT_TRUE(unregister) << error;
    EXPECT_TRUE(unregister->unregisterServer && !unregister->registerServer);
    auto server = ParseWindowOptions({"--automation", "--profile", "p.ini"}, error);
    ASSERT_TRUE(server) << error;
    EXPECT_TRUE(server->automation && !server->Registration());
    EXPECT_EQ(server->profileFile, "p.ini");
    EXPECT_FALSE(IsAutomationSwitch("RegServer")) << "a bare word is a script";
    EXPECT_FALSE(IsAutomationSwitch("--registers"));

    EXPECT_EQ(WindowErrorOf({"-RegServer", "-UnregServer"}),
              "give only one of -RegServer, -UnregServer and --automation");
    EXPECT_EQ(WindowErrorOf({"--register", "a.sql"}), "-RegServer and -UnregServer take no other options");
    EXPECT_EQ(WindowErrorOf({"--unregister", "--profile", "p.ini"}),
              "-RegServer and -UnregServer take no other options");
    EXPECT_EQ(WindowErrorOf({"--automation", "a.sql"}),
              "--automation takes no script or connection: its client connects and opens scripts");
    EXPECT_EQ(WindowErrorOf({"--connect", "x", "--automation"}),
              "--automation takes no script or connection: its client connects and opens scripts");
}
