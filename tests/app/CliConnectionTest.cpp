// How marlix-cli connects: the password kept out of the process list, autocommit for one run
// and the rollback of what a run left uncommitted, and a server that never answers the login.
#include "app/CliOptions.h"
#include "app/WindowOptions.h"
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sys/stat.h>

using namespace marlix;
using namespace marlix::test;

namespace {

std::string WriteSecret(const std::string& name, const std::string& content, mode_t mode) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    chmod(path.c_str(), mode);
    return path;
}

// Sets an environment variable for the length of a scope.
struct ScopedVariable {
    ScopedVariable(const char* name, const char* value) : name_(name) { setenv(name, value, 1); }
    ~ScopedVariable() { unsetenv(name_); }
    const char* name_;
};

} // namespace

TEST(CliPassword, ComesFromTheFileOrTheEnvironmentAndGoesWhereTheConnectionTakesIt) {
    std::string error;
    const std::string secret = WriteSecret("secret-600", "s3cr;t\r\nsecond line\n", 0600);
    auto fromFile =
        ParseCliOptions({"--connect", "Driver=X;Server=h", "--password-file", secret, "s.sql"}, error);
    ASSERT_TRUE(fromFile) << error;
    EXPECT_EQ(fromFile->password, "s3cr;t");
    EXPECT_EQ(fromFile->Request("t").connectionString, "Driver=X;Server=h;PWD={s3cr;t};");
    {
        ScopedVariable variable(kPasswordVariable, "from-env");
        auto fromEnvironment = ParseWindowOptions({"--dsn", "Sales", "--type", "3"}, error);
        ASSERT_TRUE(fromEnvironment) << error;
        ConnectionRequest request = fromEnvironment->Request("t");
        EXPECT_EQ(request.password, "from-env");
        EXPECT_EQ(request.connectionString, "Sales") << "a data source name takes it through SQLConnect";
        auto own = ParseCliOptions({"--connect", "Driver=X;PWD=own", "s.sql"}, error);
        ASSERT_TRUE(own) << error;
        EXPECT_EQ(own->Request("t").connectionString, "Driver=X;PWD=own") << "the string's own PWD stays";
        auto given = ParseCliOptions({"--connect", "Driver=X", "--password", "typed", "s.sql"}, error);
        ASSERT_TRUE(given) << error;
        EXPECT_EQ(given->password, "typed") << "--password comes before the environment";
    }
    const std::string readable = WriteSecret("secret-644", "x\n", 0644);
    EXPECT_FALSE(ParseCliOptions({"--connect", "x", "--password-file", readable, "s.sql"}, error));
    EXPECT_EQ(error, "the password file " + readable + " may be read by others (mode 644): chmod 600 it");
    EXPECT_FALSE(ParseWindowOptions({"--dsn", "x", "--password", "a", "--password-file", secret}, error));
    EXPECT_EQ(error, "give only one of --password and --password-file");
    EXPECT_FALSE(
        ParseCliOptions({"--dsn", "x", "--password-file", TempPath("no-such-secret"), "s.sql"}, error));
    EXPECT_EQ(error,
              "cannot read the password file " + TempPath("no-such-secret") + ": No such file or directory");
}

TEST(CliPassword, LogsInToPostgreSQLWithoutThePasswordOnTheCommandLine) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    const std::string withoutPassword =
        std::regex_replace(conn, std::regex("Pwd=[^;]*;", std::regex::icase), "");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(conn, found, std::regex("Pwd=([^;]*);", std::regex::icase)));
    EXPECT_EQ(RunCli("pw-none", withoutPassword, "select 1").status, 3);
    const std::string secret = WriteSecret("pg-secret", found[1].str() + "\n", 0600);
    CliRun fromFile = RunCli("pw-file", withoutPassword, "select 1", {"--password-file", secret});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    ScopedVariable variable(kPasswordVariable, found[1].str().c_str());
    CliRun fromEnvironment = RunCli("pw-env", withoutPassword, "select 1");
    EXPECT_EQ(fromEnvironment.status, 0) << fromEnvironment.err;
}

TEST(CliAutocommit, WorkLeftUncommittedIsRolledBackOpenlyAndTheOptionKeepsIt) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    auto count = [&conn] {
        CliRun run = RunCli("ac-count", conn, "select count(*) as n from cli_autocommit");
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out.substr(run.out.find('\n', run.out.find("==")) + 1, 1); // the row under the rule
    };
    ASSERT_EQ(RunCli("ac-setup", conn,
                     "drop table if exists cli_autocommit;\n"
                     "create table cli_autocommit (id int) engine=InnoDB;\n")
                  .status,
              0);
    const std::string insert = "insert into cli_autocommit values (1);\n";
    CliRun off = RunCli("ac-off", conn, insert, {"--type", "3"});
    EXPECT_EQ(off.status, 1);
    EXPECT_NE(off.err.find("marlix-cli: rolled back: autocommit is off for this connection type (--type 3), "
                           "and 1 statement(s)"),
              std::string::npos)
        << off.err;
    EXPECT_EQ(count(), "0");
    CliRun committed = RunCli("ac-commit", conn, insert + "commit;\nselect 1 as one;\n", {"--type", "3"});
    EXPECT_EQ(committed.status, 0) << committed.err;
    EXPECT_EQ(count(), "1");
    CliRun on = RunCli("ac-on", conn, insert, {"--type", "3", "--autocommit", "on"});
    EXPECT_EQ(on.status, 0) << on.err;
    EXPECT_EQ(count(), "2");
    std::string error;
    EXPECT_FALSE(ParseCliOptions({"--connect", "x", "--autocommit", "yes", "s.sql"}, error));
    EXPECT_EQ(error, "--autocommit takes on or off, not 'yes'");
}

TEST(SessionTransactions, StatementsThatMayChangeDataAreCounted) {
    const std::pair<const char*, TransactionEffect> cases[] = {
        {"insert into t values (1)", TransactionEffect::Change},
        {"  (select 1)", TransactionEffect::None},
        {"show tables", TransactionEffect::None},
        {"Commit", TransactionEffect::Ends},
        {"rollback", TransactionEffect::Ends},
        {"ROLLBACK TO SAVEPOINT a", TransactionEffect::None},
        {"create table t (id int)", TransactionEffect::Change},
        {"drop table t", TransactionEffect::Change},
        {"", TransactionEffect::None},
    };
    for (const auto& [sql, effect] : cases)
        EXPECT_EQ(EffectOnTransaction(sql), effect) << sql;
}
// (MySQL and Oracle commit around every definition.)
TEST(SessionTransactions, DefinitionsCommitWhereTheServerCommitsThem) {
    EXPECT_EQ(EffectOnTransaction("create table t (id int)", true), TransactionEffect::Ends);
    EXPECT_EQ(EffectOnTransaction("update t set id = 1", true), TransactionEffect::Change);
}
