// The Database box's list and the switch of database, on real servers: MariaDB connected as the
// MySQL type, and connections of types that have no list.
#include "catalog/DatabaseList.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>

using namespace marlix;
using namespace marlix::test;

namespace {

std::string CurrentDatabase(CODBCSession& session) {
    return session.Thread().Call([&] {
        Fetched f = FetchQuery(session.Connection(), "select database()");
        return f.resultSet->RowCount() == 1 ? std::string(f.resultSet->Cell(0, 0).Text()) : std::string();
    });
}

int IndexOf(const DatabaseList& list, const std::string& name) {
    auto at = std::find(list.names.begin(), list.names.end(), name);
    return at == list.names.end() ? -1 : static_cast<int>(at - list.names.begin());
}

// A MariaDB session of the MySQL type, and databases the test creates and drops again.
class DatabaseListMariaDB : public ::testing::Test {
protected:
    void SetUp() override {
        conn_ = ConnectionString(Server::MariaDB);
        if (conn_.empty() && ServersRequired()) FAIL() << "MariaDB is not running";
        if (conn_.empty()) GTEST_SKIP() << "MariaDB is not running (scripts/testdb.sh starts it)";
        ConnectTo(session_, conn_, profile_, ConnectionType::MySQL);
    }
    void Create(const std::string& quotedName) {
        DropDatabase(quotedName);
        session_.Thread().Call([&] { Exec(session_.Connection(), "create database " + quotedName); });
        created_.push_back(quotedName);
    }
    void DropDatabase(const std::string& quotedName) {
        session_.Thread().Call([&] { Exec(session_.Connection(), "drop database if exists " + quotedName); });
    }
    void TearDown() override {
        for (const std::string& name : created_) {
            try {
                DropDatabase(name);
            } catch (const CODBCException&) {
            }
        }
    }

    MemoryProfileStore profile_;
    CODBCSession session_;
    std::string conn_;
    std::vector<std::string> created_;
};

} // namespace

TEST(UseDatabaseText, QuotesWithTheDriversCharacterAndDoublesItInside) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"marlix", "`", "use `marlix`"}, {"a`b c", "`", "use `a``b c`"},
        {"``", "`", "use ``````"},       {"sales \"2024\"", "\"", "use \"sales \"\"2024\"\"\""},
        {"plain", " ", "use plain"}, // the driver quotes nothing
        {"plain", "", "use plain"}};
    for (const auto& [name, quote, expected] : cases)
        EXPECT_EQ(UseDatabaseText(name, quote), expected) << name << " with " << quote;
}

// Every database is listed with the current one selected; a name longer than the old fixed
// buffers arrives whole, so "use" finds the database.
TEST_F(DatabaseListMariaDB, ListsEveryDatabaseWholeAndSelectsTheCurrentOne) {
    const std::string name = "marlix_db_list_name_of_forty_characters_";
    ASSERT_EQ(name.size(), 40u);
    Create(name);
    DatabaseList list = LoadDatabaseList(session_);
    ASSERT_GE(IndexOf(list, name), 0);
    EXPECT_EQ(IndexOf(list, name.substr(0, 29)), -1);
    EXPECT_GE(IndexOf(list, "information_schema"), 0);
    ASSERT_GE(IndexOf(list, "marlix"), 0);
    EXPECT_EQ(list.selected, IndexOf(list, "marlix"));

    UseDatabase(session_, name);
    EXPECT_EQ(CurrentDatabase(session_), name);
    list = LoadDatabaseList(session_);
    EXPECT_EQ(list.selected, IndexOf(list, name));
    EXPECT_NE(list.selected, -1);
}

TEST_F(DatabaseListMariaDB, NamesWithQuoteCharactersAndBlanksAreQuotedForUse) {
    const std::string name = "marlix `odd` name";
    Create("`marlix ``odd`` name`");
    DatabaseList list = LoadDatabaseList(session_);
    ASSERT_GE(IndexOf(list, name), 0);

    UseDatabase(session_, name);
    EXPECT_EQ(CurrentDatabase(session_), name);
    EXPECT_EQ(LoadDatabaseList(session_).selected, IndexOf(list, name));

    // A quote in the name cannot end the identifier early and run what follows.
    EXPECT_THROW(UseDatabase(session_, "marlix`; drop database `marlix"), CODBCException);
    EXPECT_EQ(CurrentDatabase(session_), name);
    EXPECT_GE(IndexOf(LoadDatabaseList(session_), "marlix"), 0);
    // A refused use names the database in its error and keeps the current one.
    try {
        UseDatabase(session_, "marlix_no_such_database");
        FAIL() << "use of a missing database succeeded";
    } catch (const CODBCException& e) {
        EXPECT_NE(e.Message().find("marlix_no_such_database"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(CurrentDatabase(session_), name);
}

// Before any connection, and after the connection ends: an empty list, nothing selected.
TEST_F(DatabaseListMariaDB, NoListWithoutAConnection) {
    CODBCSession never;
    ASSERT_TRUE(never.Initialize());
    EXPECT_TRUE(LoadDatabaseList(never).names.empty());
    EXPECT_EQ(LoadDatabaseList(never).selected, -1);
    session_.Disconnect();
    DatabaseList list = LoadDatabaseList(session_);
    EXPECT_TRUE(list.names.empty());
    EXPECT_EQ(list.selected, -1);
}

// Only SQL Server and MySQL have a list: other types read nothing from the server, whichever
// server it is.
TEST(DatabaseList, OtherTypesGiveAnEmptyList) {
    const std::string conn = ConnectionString(Server::SQLite, "database_list_other");
    for (ConnectionType type :
         {ConnectionType::Oracle, ConnectionType::MSAccess, ConnectionType::InterbaseFirebird}) {
        MemoryProfileStore profile;
        CODBCSession session;
        ConnectTo(session, conn, profile, type);
        ASSERT_TRUE(session.Connected());
        DatabaseList list = LoadDatabaseList(session);
        EXPECT_TRUE(list.names.empty()) << static_cast<int>(type);
        EXPECT_EQ(list.selected, -1);
    }
}

// A server that does not know the SQL Server catalog, connected as that type: the failure comes
// back as the engine's exception, and the connection stays usable.
TEST(DatabaseList, QueryTheServerCannotRunRaises) {
    std::string conn = ConnectionString(Server::SQLite, "database_list_wrong_type");
    MemoryProfileStore profile;
    CODBCSession session;
    ConnectTo(session, conn, profile, ConnectionType::MicrosoftSQL);
    EXPECT_THROW(LoadDatabaseList(session), CODBCException);
    EXPECT_NO_THROW(session.Thread().Call([&] { Exec(session.Connection(), "select 1"); }));
}
