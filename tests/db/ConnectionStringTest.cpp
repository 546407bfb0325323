// The connection strings of every server type and option, the brace rule for values that would
// break them (with real logins whose password holds ";" and "}"), the driver list, Select
// Server's reading of a browse answer, and the autocommit values of the newer types.
#include "db/ConnectionString.h"
#include "db/DriverRegistry.h"
#include "db/ServerBrowser.h"
#include "support/ConnectionAttributes.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

using namespace marlix;
using namespace marlix::test;

namespace {

using T = ConnectionType;

ConnectionChoice Choice(T type, std::string server, bool userAndPassword = false) {
    ConnectionChoice c;
    c.type = type;
    c.server = std::move(server);
    c.userAndPassword = userAndPassword;
    return c;
}

struct Row {
    const char* what;
    ConnectionChoice choice;
    const char* connection;
    const char* title;
};

std::vector<Row> BuilderRows() {
    std::vector<Row> rows;
    auto add = [&](const char* what, ConnectionChoice c, const char* connection, const char* title) {
        rows.push_back({what, std::move(c), connection, title});
    };
    ConnectionChoice c;

    // Microsoft SQL
    add("mssql windows authentication", Choice(T::MicrosoftSQL, "srv"),
        "DRIVER={SQL Server};SERVER=srv;Trusted_Connection=yes", "srv");
    c = Choice(T::MicrosoftSQL, "srv", true);
    c.database = "shop";
    c.user = "sa";
    c.password = "pw";
    add("mssql login and database", c, "DRIVER={SQL Server};SERVER=srv;Database=shop;UID=sa;PWD=pw;", "srv");
    c = Choice(T::MicrosoftSQL, "srv");
    c.useLocalServer = true;
    c.database = "shop";
    add("mssql local server", c, "DRIVER={SQL Server};SERVER=(local);Database=shop;Trusted_Connection=yes",
        "Local server");

    // Oracle
    add("oracle os authentication", Choice(T::Oracle, "orcl"),
        "DRIVER={Oracle ODBC Driver};DBQ=orcl;DBA=W;UID=/;", "orcl");
    c = Choice(T::Oracle, "orcl", true);
    c.user = "scott";
    c.password = "tiger";
    c.database = "ignored";
    add("oracle user", c, "DRIVER={Oracle ODBC Driver};DBQ=orcl;DBA=W;UID=scott;PWD=tiger;", "orcl");

    // MySQL
    c = Choice(T::MySQL, "db1", true);
    c.useLocalServer = true;
    c.port = "3306";
    c.database = "shop";
    c.user = "root";
    c.password = "pw";
    add("mysql local with port", c,
        "DRIVER={MySQL ODBC 3.51 "
        "Driver};SERVER=localhost;Option=16834;Port=3306;Database=shop;UID=root;PWD=pw;",
        "Local server");
    c = Choice(T::MySQL, "db1");
    c.useLocalServer = true;
    add("mysql local, no port, no database, no login", c,
        "DRIVER={MySQL ODBC 3.51 Driver};SERVER=localhost;Option=16834;Database=;", "Local server");
    c = Choice(T::MySQL, "db1", true);
    c.database = "shop";
    c.user = "u";
    c.password = "p";
    add("mysql remote, empty port", c,
        "DRIVER={MySQL ODBC 3.51 Driver};SERVER=db1;Port=3306;Option=131072;Stmt=;Database=shop;UID=u;PWD=p;",
        "db1");
    c = Choice(T::MySQL, "db1");
    c.port = "3307";
    add("mysql remote, port, no login", c,
        "DRIVER={MySQL ODBC 3.51 Driver};SERVER=db1;Port=3307;Option=131072;Stmt=;Database=;", "db1");

    // MS Access
    add("access without credentials", Choice(T::MSAccess, "C:\\data\\shop.mdb"),
        "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=C:\\data\\shop.mdb;UID=admin;PWD=",
        "C:\\data\\shop.mdb");
    c = Choice(T::MSAccess, "C:\\data\\shop.mdb", true);
    c.user = "u";
    c.password = "p";
    add("access with workgroup", c,
        "DRIVER={Microsoft Access Driver "
        "(*.mdb)};DBQ=C:\\data\\shop.mdb;SystemDB=C:\\data\\shop.mdw;UID=u;PWD=p;",
        "C:\\data\\shop.mdb");
    c = Choice(T::MSAccess, "", true);
    add("access with workgroup, empty path", c,
        "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=;SystemDB=w;UID=;PWD=;", "");

    // Interbase/Firebird
    c = Choice(T::InterbaseFirebird, "fb");
    c.database = "/db/shop.fdb";
    add("firebird always passes UID and PWD", c,
        "DRIVER={Firebird/InterBase(r) driver};DBNAME=fb:/db/shop.fdb;UID=;PWD=;", "fb");
    c.user = "SYSADM";
    c.password = "masterkey";
    c.charset = "UTF8";
    c.role = "admin";
    add("firebird charset and role", c,
        "DRIVER={Firebird/InterBase(r) driver};DBNAME=fb:/db/shop.fdb;UID=SYSADM;PWD=masterkey;CHARSET=UTF8;"
        "ROLE=admin;",
        "fb");
    c.charset.clear();
    add("firebird role only", c,
        "DRIVER={Firebird/InterBase(r) driver};DBNAME=fb:/db/shop.fdb;UID=SYSADM;PWD=masterkey;ROLE=admin;",
        "fb");

    // PostgreSQL
    c = Choice(T::PostgreSQL, "pg");
    c.port = "5433";
    c.database = "shop";
    c.user = "u";
    c.password = "p";
    add("postgresql", c, "DRIVER={PostgreSQL Unicode};Server=pg;Port=5433;Database=shop;UID=u;PWD=p;", "pg");
    c.port.clear();
    add("postgresql empty port", c,
        "DRIVER={PostgreSQL Unicode};Server=pg;Port=5432;Database=shop;UID=u;PWD=p;", "pg");

    // SQLite file
    c = Choice(T::SQLiteFile, "/tmp/shop.sqlite", true);
    c.user = "ignored";
    add("sqlite file", c, "DRIVER={SQLite3};Database=/tmp/shop.sqlite;", "/tmp/shop.sqlite");

    // Values that would break the string are braced; the rest stays as it was.
    c = Choice(T::MicrosoftSQL, " srv", true);
    c.database = "a}b";
    c.user = "{me";
    c.password = "a;b}c";
    add("mssql braces", c, "DRIVER={SQL Server};SERVER={ srv};Database={a}}b};UID={{me};PWD={a;b}}c};",
        " srv");
    c = Choice(T::MySQL, "db1;Option=0", true);
    c.port = "33 ";
    c.database = "x;y";
    c.user = "u";
    c.password = "p}";
    add("mysql braces", c,
        "DRIVER={MySQL ODBC 3.51 Driver};SERVER={db1;Option=0};Port={33 };Option=131072;Stmt=;Database={x;y};"
        "UID=u;PWD={p}}};",
        "db1;Option=0");
    c = Choice(T::MSAccess, "/d/a;b.mdb", true);
    add("access braces", c,
        "DRIVER={Microsoft Access Driver (*.mdb)};DBQ={/d/a;b.mdb};SystemDB={/d/a;b.mdw};UID=;PWD=;",
        "/d/a;b.mdb");
    c = Choice(T::InterbaseFirebird, "fb");
    c.database = "/db/{x}.fdb";
    c.charset = "a;b";
    c.role = "r}";
    add("firebird braces", c,
        "DRIVER={Firebird/InterBase(r) driver};DBNAME={fb:/db/{x}}.fdb};UID=;PWD=;CHARSET={a;b};ROLE={r}}};",
        "fb");
    c = Choice(T::PostgreSQL, "pg");
    c.database = "shop;sslmode=disable";
    add("postgresql braces", c,
        "DRIVER={PostgreSQL Unicode};Server=pg;Port=5432;Database={shop;sslmode=disable};UID=;PWD=;", "pg");
    add("sqlite braces", Choice(T::SQLiteFile, "/tmp/a;b.sqlite"),
        "DRIVER={SQLite3};Database={/tmp/a;b.sqlite};", "/tmp/a;b.sqlite");
    return rows;
}

} // namespace

TEST(ConnectionString, EveryTypeAndOptionGivesItsString) {
    for (const Row& row : BuilderRows()) {
        ConnectionRequest request = BuildConnection(row.choice);
        EXPECT_EQ(request.connectionString, row.connection) << row.what;
        EXPECT_EQ(request.title, row.title) << row.what;
        EXPECT_EQ(request.type, row.choice.type) << row.what;
    }
}

TEST(ConnectionString, OnlyTheDataSourceNameTypeHandsOverUserAndPasswordAsTheyAre) {
    ConnectionChoice c = Choice(T::DataSourceName, "Sales;x", true);
    c.user = "me";
    c.password = "p;w}";
    c.database = "ignored";
    ConnectionRequest request = BuildConnection(c);
    EXPECT_EQ(request.connectionString, "Sales;x") << "SQLConnect takes the name itself";
    EXPECT_EQ(request.user, "me");
    EXPECT_EQ(request.password, "p;w}");
    EXPECT_EQ(request.title, "Sales;x");

    c.userAndPassword = false;
    request = BuildConnection(c);
    EXPECT_EQ(request.user, "") << "without the second radio no credentials";
    EXPECT_EQ(request.password, "");
}

TEST(ConnectionString, BracesOnlyWhereAValueWouldBreakTheString) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},       {"plain", "plain"}, {"a b", "a b"},       {"C:\\x y.mdb", "C:\\x y.mdb"},
        {" a", "{ a}"}, {"a ", "{a }"},     {"\ta", "{\ta}"},     {";", "{;}"},
        {"{", "{{}"},   {"}", "{}}}"},      {"a}}b", "{a}}}}b}"}, {"x=1;y=2", "{x=1;y=2}"},
    };
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(ConnectionValue(value), expected) << "'" << value << "'";
}

TEST(ConnectionString, DriversOfTheTypes) {
    EXPECT_EQ(DriverOf(T::MicrosoftSQL), "SQL Server");
    EXPECT_EQ(DriverOf(T::Oracle), "Oracle ODBC Driver");
    EXPECT_EQ(DriverOf(T::DataSourceName), "");
    EXPECT_EQ(DriverOf(T::MySQL), "MySQL ODBC 3.51 Driver");
    EXPECT_EQ(DriverOf(T::MSAccess), "Microsoft Access Driver (*.mdb)");
    EXPECT_EQ(DriverOf(T::InterbaseFirebird), "Firebird/InterBase(r) driver");
    EXPECT_EQ(DriverOf(T::PostgreSQL), "PostgreSQL Unicode");
    EXPECT_EQ(DriverOf(T::SQLiteFile), "SQLite3");
    // Every string names its type's driver, so the dialog's driver check looks for the right one.
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        if (t == 2) continue;
        ConnectionRequest request = BuildConnection(Choice(static_cast<T>(t), "x"));
        EXPECT_EQ(
            request.connectionString.rfind("DRIVER={" + std::string(DriverOf(static_cast<T>(t))) + "};", 0),
            0u)
            << t;
    }
}

TEST(AutocommitSetting, TheNewerTypesHaveValuesOfTheirOwn) {
    MemoryProfileStore profile;
    EXPECT_EQ(AutocommitValueName(T::PostgreSQL), "Autocommit6");
    EXPECT_EQ(AutocommitValueName(T::SQLiteFile), "Autocommit7");
    EXPECT_EQ(GetAutocommit(profile, T::PostgreSQL), 1);
    EXPECT_EQ(GetAutocommit(profile, T::SQLiteFile), 1);
    SetAutocommit(profile, T::MicrosoftSQL, 0);
    EXPECT_EQ(GetAutocommit(profile, T::PostgreSQL), 1) << "not tied to digit 0 as Interbase/Firebird is";
    SetAutocommit(profile, T::PostgreSQL, 0);
    EXPECT_EQ(profile.GetInt("Execution Settings", "Autocommit6", -1), 0);
    EXPECT_EQ(GetAutocommit(profile, T::SQLiteFile), 1);
    // The older types keep their digits.
    for (int t = 0; t <= 5; ++t)
        EXPECT_EQ(AutocommitSuffix(static_cast<T>(t)), t == 5 ? 0 : t) << t;
}

TEST(ServerBrowser, BrowseAnswersGiveTheNamesBetweenTheFirstBraces) {
    struct Case {
        const char* output;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"SERVER:Server={alpha,beta};UID:Login ID=?;PWD:Password=?;", {"alpha", "beta"}},
        {"SERVER:Server={only};UID:Login ID=?;", {"only"}},
        {"SERVER:Server=?;UID:Login ID=?;", {}},
        {"", {}},
        {"SERVER:Server={a,,b};", {"a"}},
        {"SERVER:Server={};", {}},
        {"{a,b,c}x{d,e}", {"a", "b", "c"}},
        {"SERVER:Server={a,b,cut sho", {"a", "b"}},
        {"SERVER:Server={a,b,", {"a", "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ServersInBrowseOutput(c.output), c.names) << c.output;

    // An answer cut at the buffer's end lists what ended before the cut and stops there.
    std::string output = "SERVER:Server={";
    int whole = 0;
    while (output.size() < kBrowseOutputSize + 100) {
        output += "server" + std::to_string(whole) + ",";
        ++whole;
    }
    std::string cut = output.substr(0, kBrowseOutputSize - 1);
    std::vector<std::string> names = ServersInBrowseOutput(cut);
    ASSERT_FALSE(names.empty());
    EXPECT_LT(static_cast<int>(names.size()), whole);
    EXPECT_EQ(names.front(), "server0");
    EXPECT_EQ(names.back(), "server" + std::to_string(names.size() - 1));
}

TEST(ServerBrowser, ADriverThatCannotBrowseListsNothingAndLeavesTheSessionAlone) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
    CODBCSession session;
    MemoryProfileStore profile;
    ConnectTo(session, conn, profile, T::SQLiteFile);
    EXPECT_TRUE(BrowseServers(session, "DRIVER={SQLite3}").empty());
    EXPECT_TRUE(BrowseServers(session, "DRIVER={No Such Marlix Driver}").empty());
    EXPECT_TRUE(BrowseServers(session, "Oracle ODBC Driver").empty());
    EXPECT_TRUE(session.Connected());
    Fetched f = session.Thread().Call([&] { return FetchQuery(session.Connection(), "SELECT 41 + 1"); });
    EXPECT_EQ(f.resultSet->Cell(0, 0).Text(), "42");
}

TEST(DriverRegistry, TheDriverManagersDriversAreListed) {
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    std::vector<std::string> drivers = InstalledDrivers(session);
    // The tests' private driver list (odbcinst.ini of the build folder).
    EXPECT_TRUE(DriverInstalled(drivers, "SQLite3"));
    EXPECT_TRUE(DriverInstalled(drivers, "postgresql unicode")) << "found ignoring case";
    EXPECT_TRUE(DriverInstalled(drivers, "MySQL ODBC 3.51 Driver"));
    EXPECT_FALSE(DriverInstalled(drivers, "SQL Server"));
    EXPECT_FALSE(DriverInstalled(drivers, "SQLite"));
}

namespace {

constexpr const char* kBraceUser = "marlix_brace";
constexpr const char* kBracePassword = "p;w}x{ y";

void ExecOn(CODBCSession& session, const std::string& sql) {
    session.Thread().Call([&] { Exec(session.Connection(), sql); });
}

// Drops the login the test made, whatever way the test ends.
struct DropLogin {
    CODBCSession& admin;
    std::vector<std::string> statements;
    ~DropLogin() {
        for (const std::string& sql : statements) {
            try {
                ExecOn(admin, sql);
            } catch (const CODBCException&) {
            }
        }
    }
};

std::string CurrentUser(CODBCSession& session) {
    Fetched f =
        session.Thread().Call([&] { return FetchQuery(session.Connection(), "SELECT CURRENT_USER"); });
    return std::string(f.resultSet->Cell(0, 0).Text());
}

} // namespace

TEST(ConnectionStringLogin, PostgreSQLPasswordWithSemicolonAndBrace) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    MemoryProfileStore profile;
    CODBCSession admin;
    ConnectTo(admin, conn, profile, T::PostgreSQL);
    DropLogin drop{admin, {std::string("DROP ROLE IF EXISTS ") + kBraceUser}};
    ExecOn(admin, drop.statements[0]);
    ExecOn(admin, std::string("CREATE ROLE ") + kBraceUser + " LOGIN PASSWORD '" + kBracePassword + "'");

    ConnectionChoice c = Choice(T::PostgreSQL, AttributeOf(conn, "Server"));
    c.port = AttributeOf(conn, "Port");
    c.database = AttributeOf(conn, "Database");
    c.user = kBraceUser;
    c.password = kBracePassword;
    ConnectionRequest request = BuildConnection(c);
    ASSERT_NE(request.connectionString.find("PWD={p;w}}x{ y};"), std::string::npos)
        << request.connectionString;
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    session.Connect(request, profile);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(CurrentUser(session), kBraceUser);
    session.Disconnect();
}

TEST(ConnectionStringLogin, MariaDBPasswordWithSemicolonAndBrace) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    MemoryProfileStore profile;
    CODBCSession admin;
    ConnectTo(admin, conn, profile, T::MySQL);
    const std::string account = std::string("'") + kBraceUser + "'@'%'";
    DropLogin drop{admin, {"DROP USER IF EXISTS " + account}};
    ExecOn(admin, drop.statements[0]);
    ExecOn(admin, "CREATE USER " + account + " IDENTIFIED BY '" + kBracePassword + "'");
    const std::string database = AttributeOf(conn, "Database");
    ExecOn(admin, "GRANT SELECT ON " + database + ".* TO " + account);

    ConnectionChoice c = Choice(T::MySQL, AttributeOf(conn, "Server"), true);
    c.port = AttributeOf(conn, "Port");
    c.database = database;
    c.user = kBraceUser;
    c.password = kBracePassword;
    ConnectionRequest request = BuildConnection(c);
    ASSERT_NE(request.connectionString.find("PWD={p;w}}x{ y};"), std::string::npos)
        << request.connectionString;
    CODBCSession session;
    ASSERT_TRUE(session.Initialize());
    session.Connect(request, profile);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(CurrentUser(session).rfind(std::string(kBraceUser) + "@", 0), 0u) << CurrentUser(session);
    session.Disconnect();
}
