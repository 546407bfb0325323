// The connection strings of every server type and option, the brace rule for values that would
// break them (with real logins whose password holds ";" and "}"), the driver list and Select
// Server's reading of a browse answer.
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

// What the dialog holds; the string it gives; the connection's title.
ConnectionChoice Dialog(T type, std::string server, std::string database = "", bool local = false,
                        bool login = false, std::string user = "", std::string password = "",
                        std::string port = "", std::string charset = "", std::string role = "") {
    return {type, server, database, local, login, user, password, port, charset, role};
}

ConnectionChoice Choice(T type, std::string server, bool login = false) {
    return Dialog(type, server, "", false, login);
}

struct Row {
    const char* what;
    ConnectionChoice choice;
    const char* connection;
    const char* title;
};

const Row kBuilderRows[] = {
    {"mssql windows authentication", Dialog(T::MicrosoftSQL, "srv"),
     "DRIVER={SQL Server};SERVER=srv;Trusted_Connection=yes", "srv"},
    {"mssql login and database", Dialog(T::MicrosoftSQL, "srv", "shop", false, true, "sa", "pw"),
     "DRIVER={SQL Server};SERVER=srv;Database=shop;UID=sa;PWD=pw;", "srv"},
    {"mssql local server", Dialog(T::MicrosoftSQL, "srv", "shop", true),
     "DRIVER={SQL Server};SERVER=(local);Database=shop;Trusted_Connection=yes", "Local server"},
    {"oracle os authentication", Dialog(T::Oracle, "orcl"),
     "DRIVER={Oracle ODBC Driver};DBQ=orcl;DBA=W;UID=/;", "orcl"},
    {"oracle user", Dialog(T::Oracle, "orcl", "ignored", false, true, "scott", "tiger"),
     "DRIVER={Oracle ODBC Driver};DBQ=orcl;DBA=W;UID=scott;PWD=tiger;", "orcl"},
    {"mysql local with port", Dialog(T::MySQL, "db1", "shop", true, true, "root", "pw", "3306"),
     "DRIVER={MySQL ODBC 3.51 Driver};SERVER=localhost;Option=16834;Port=3306;Database=shop;UID=root;PWD=pw;",
     "Local server"},
    {"mysql local, no port, no database, no login", Dialog(T::MySQL, "db1", "", true),
     "DRIVER={MySQL ODBC 3.51 Driver};SERVER=localhost;Option=16834;Database=;", "Local server"},
    {"mysql remote, empty port", Dialog(T::MySQL, "db1", "shop", false, true, "u", "p"),
     "DRIVER={MySQL ODBC 3.51 Driver};SERVER=db1;Port=3306;Option=131072;Stmt=;Database=shop;UID=u;PWD=p;",
     "db1"},
    {"mysql remote, port, no login", Dialog(T::MySQL, "db1", "", false, false, "", "", "3307"),
     "DRIVER={MySQL ODBC 3.51 Driver};SERVER=db1;Port=3307;Option=131072;Stmt=;Database=;", "db1"},
    {"access without credentials", Dialog(T::MSAccess, "C:\\data\\shop.mdb"),
     "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=C:\\data\\shop.mdb;UID=admin;PWD=", "C:\\data\\shop.mdb"},
    {"access with workgroup", Dialog(T::MSAccess, "C:\\data\\shop.mdb", "", false, true, "u", "p"),
     "DRIVER={Microsoft Access Driver "
     "(*.mdb)};DBQ=C:\\data\\shop.mdb;SystemDB=C:\\data\\shop.mdw;UID=u;PWD=p;",
     "C:\\data\\shop.mdb"},
    {"access with workgroup, empty path", Dialog(T::MSAccess, "", "", false, true),
     "DRIVER={Microsoft Access Driver (*.mdb)};DBQ=;SystemDB=w;UID=;PWD=;", ""},
    {"firebird always passes UID and PWD", Dialog(T::InterbaseFirebird, "fb", "/db/shop.fdb"),
     "DRIVER={Firebird/InterBase(r) driver};DBNAME=fb:/db/shop.fdb;UID=;PWD=;", "fb"},
    {"firebird charset and role",
     Dialog(T::InterbaseFirebird, "fb", "/db/shop.fdb", false, false, "SYSADM", "masterkey", "", "UTF8",
            "admin"),
     "DRIVER={Firebird/InterBase(r) "
     "driver};DBNAME=fb:/db/shop.fdb;UID=SYSADM;PWD=masterkey;CHARSET=UTF8;ROLE=admin;",
     "fb"},
    {"firebird role only",
     Dialog(T::InterbaseFirebird, "fb", "/db/shop.fdb", false, false, "SYSADM", "masterkey", "", "", "admin"),
     "DRIVER={Firebird/InterBase(r) driver};DBNAME=fb:/db/shop.fdb;UID=SYSADM;PWD=masterkey;ROLE=admin;",
     "fb"},
    {"postgresql", Dialog(T::PostgreSQL, "pg", "shop", false, false, "u", "p", "5433"),
     "DRIVER={PostgreSQL Unicode};Server=pg;Port=5433;Database=shop;UID=u;PWD=p;", "pg"},
    {"postgresql empty port", Dialog(T::PostgreSQL, "pg", "shop", false, false, "u", "p"),
     "DRIVER={PostgreSQL Unicode};Server=pg;Port=5432;Database=shop;UID=u;PWD=p;", "pg"},
    {"sqlite file", Dialog(T::SQLiteFile, "/tmp/shop.sqlite", "", false, true, "ignored"),
     "DRIVER={SQLite3};Database=/tmp/shop.sqlite;", "/tmp/shop.sqlite"},
    // Values that would break the string are braced; the rest stays as it was.
    {"mssql braces", Dialog(T::MicrosoftSQL, " srv", "a}b", false, true, "{me", "a;b}c"),
     "DRIVER={SQL Server};SERVER={ srv};Database={a}}b};UID={{me};PWD={a;b}}c};", " srv"},
    {"mysql braces", Dialog(T::MySQL, "db1;Option=0", "x;y", false, true, "u", "p}", "33 "),
     "DRIVER={MySQL ODBC 3.51 Driver};SERVER={db1;Option=0};Port={33 "
     "};Option=131072;Stmt=;Database={x;y};UID=u;PWD={p}}};",
     "db1;Option=0"},
    {"access braces", Dialog(T::MSAccess, "/d/a;b.mdb", "", false, true),
     "DRIVER={Microsoft Access Driver (*.mdb)};DBQ={/d/a;b.mdb};SystemDB={/d/a;b.mdw};UID=;PWD=;",
     "/d/a;b.mdb"},
    {"firebird braces",
     Dialog(T::InterbaseFirebird, "fb", "/db/{x}.fdb", false, false, "", "", "", "a;b", "r}"),
     "DRIVER={Firebird/InterBase(r) driver};DBNAME={fb:/db/{x}}.fdb};UID=;PWD=;CHARSET={a;b};ROLE={r}}};",
     "fb"},
    {"postgresql braces", Dialog(T::PostgreSQL, "pg", "shop;sslmode=disable"),
     "DRIVER={PostgreSQL Unicode};Server=pg;Port=5432;Database={shop;sslmode=disable};UID=;PWD=;", "pg"},
    {"sqlite braces", Dialog(T::SQLiteFile, "/tmp/a;b.sqlite"),
     "DRIVER={SQLite3};Database={/tmp/a;b.sqlite};", "/tmp/a;b.sqlite"},
};

} // namespace

TEST(ConnectionString, EveryTypeAndOptionGivesItsString) {
    for (const Row& row : kBuilderRows) {
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
    // Every string names its type's driver, so the dialog's driver check looks for the right one
    // (the exact strings above pin each driver's name).
    EXPECT_EQ(DriverOf(T::DataSourceName), "");
    for (int t = 0; t < kConnectionTypeCount; ++t) {
        if (t == 2) continue;
        ConnectionRequest request = BuildConnection(Choice(static_cast<T>(t), "x"));
        EXPECT_EQ(
            request.connectionString.rfind("DRIVER={" + std::string(DriverOf(static_cast<T>(t))) + "};", 0),
            0u)
            << t;
    }
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

// Logs in as `user` through the dialog's string for `type`; the server names the user it took.
void CheckBracedLogin(const std::string& conn, T type, const std::string& user) {
    ConnectionChoice c = Choice(type, AttributeOf(conn, "Server"), true);
    c.port = AttributeOf(conn, "Port");
    c.database = AttributeOf(conn, "Database");
    c.user = kBraceUser;
    c.password = kBracePassword;
    ConnectionRequest request = BuildConnection(c);
    ASSERT_NE(request.connectionString.find("PWD={p;w}}x{ y};"), std::string::npos)
        << request.connectionString;
    CODBCSession session;
    MemoryProfileStore profile;
    ASSERT_TRUE(session.Initialize());
    session.Connect(request, profile);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(CurrentUser(session).substr(0, user.size()), user);
    session.Disconnect();
}

TEST(ConnectionStringLogin, PostgreSQLPasswordWithSemicolonAndBrace) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    MemoryProfileStore profile;
    CODBCSession admin;
    ConnectTo(admin, conn, profile, T::PostgreSQL);
    DropLogin drop{admin, {std::string("DROP ROLE IF EXISTS ") + kBraceUser}};
    ExecOn(admin, drop.statements[0]);
    ExecOn(admin, std::string("CREATE ROLE ") + kBraceUser + " LOGIN PASSWORD '" + kBracePassword + "'");
    CheckBracedLogin(conn, T::PostgreSQL, kBraceUser);
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
    ExecOn(admin, "GRANT SELECT ON " + AttributeOf(conn, "Database") + ".* TO " + account);
    CheckBracedLogin(conn, T::MySQL, std::string(kBraceUser) + "@");
}
