// Binary values read as bytes and written as our own hexadecimal digits: the same display text
// and the same literal whichever server the value came from, stored or converted while fetched.
#include "transform/EditFixture.h"

#include "core/DateTimeText.h"
#include "execution/SaveEdits.h"

namespace marlix::test {
namespace {

class BinaryValues : public OnEachServer {};

TEST_P(BinaryValues, GiveTheSameTextFromEveryServer) {
    MARLIX_OPEN_OR_SKIP();
    Drop("bin_t");
    const Server server = GetParam();
    const char* type = server == Server::PostgreSQL ? "BYTEA"
                       : server == Server::MariaDB  ? "VARBINARY(40)"
                                                    : "BLOB";
    const char* value = server == Server::PostgreSQL ? "decode('0aff00417f', 'hex')" : "X'0AFF00417F'";
    session_.Thread().Call([&] {
        Exec(session_.Connection(), std::string("CREATE TABLE bin_t (id INTEGER, b ") + type + ")");
        Exec(session_.Connection(), std::string("INSERT INTO bin_t VALUES (1, ") + value + ")");
        Exec(session_.Connection(), "INSERT INTO bin_t VALUES (2, NULL)");
    });
    auto rs = session_.Thread().Call(
        [&] { return FetchQuery(session_.Connection(), "SELECT id, b FROM bin_t ORDER BY id").resultSet; });
    ASSERT_TRUE(ColumnDescriptor::IsBinaryType(rs->Column(1).sqlType)) << rs->Column(1).sqlType;
    EXPECT_EQ(std::string(ValueText(*rs, 0, 1, kLocaleMode, DefaultDialectSettingsSet(), false)),
              "0x0AFF00417F");
    for (Dialect d : {Dialect::MSSQL, Dialect::GENERIC, Dialect::MYSQL})
        EXPECT_EQ(std::string(ValueText(*rs, 0, 1, d, DefaultDialectSettingsSet(), true)), "0x0AFF00417F");
    EXPECT_EQ(std::string(ValueText(*rs, 1, 1, Dialect::GENERIC, DefaultDialectSettingsSet(), true)), "NULL");
}

TEST_P(BinaryValues, ABinaryKeyFindsItsRow) {
    MARLIX_OPEN_OR_SKIP();
    Drop("bin_k");
    const Server server = GetParam();
    const char* type = server == Server::PostgreSQL ? "BYTEA"
                       : server == Server::MariaDB  ? "VARBINARY(40)"
                                                    : "BLOB";
    const char* value = server == Server::PostgreSQL ? "decode('0aff27', 'hex')" : "X'0AFF27'";
    session_.Thread().Call([&] {
        Exec(session_.Connection(),
             std::string("CREATE TABLE bin_k (k ") + type + " NOT NULL PRIMARY KEY, v VARCHAR(10))");
        Exec(session_.Connection(), std::string("INSERT INTO bin_k VALUES (") + value + ", 'old')");
    });
    auto fetch = [&] {
        return session_.Thread().Call(
            [&] { return FetchQuery(session_.Connection(), "SELECT k, v FROM bin_k").resultSet; });
    };
    auto rs = fetch();
    auto& e = ResultSetEdits::Of(*rs);
    e.ResolveColumnOrigins(StarOf("bin_k"), LookupOf({{"bin_k", {{"k", "v"}, {"k"}}}}));
    e.SetCellValue(0, 1, "new");
    TextHistoryOutput history;
    const SaveEditsResult r = SaveEdits(session_, e, history);
    ASSERT_TRUE(r.saved) << r.error;
    EXPECT_EQ(StoredText(*fetch(), 0, 1), "new");
    // A DELETE that matched nothing would count as done: it must find the row.
    auto again = fetch();
    auto& d = ResultSetEdits::Of(*again);
    d.ResolveColumnOrigins(StarOf("bin_k"), LookupOf({{"bin_k", {{"k", "v"}, {"k"}}}}));
    d.DeleteRow(0);
    ASSERT_TRUE(SaveEdits(session_, d, history).saved);
    EXPECT_EQ(fetch()->RowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Servers, BinaryValues, AllServers(), ServerParamName);

} // namespace
} // namespace marlix::test
