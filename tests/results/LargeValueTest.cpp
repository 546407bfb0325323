// Values longer than a storage page (200 KB and 10 MB) on each database: stored whole, read
// back whole by the grid's model, and written whole by the text table and INSERT statements.
#include "core/MemoryTextSink.h"
#include "core/ODBCException.h"
#include "results/grid/ResultSetModel.h"
#include "support/SessionFixture.h"
#include "transform/ScriptGenerator.h"

#include <gtest/gtest.h>

#include <string>

using namespace marlix;
using namespace marlix::test;

namespace {

constexpr size_t kSizes[] = {200000, 10000000};

class LargeValues : public OnEachServer {
protected:
    void Exec(const std::string& sql) {
        session_.Thread().Call([&] { test::Exec(session_.Connection(), sql); });
    }
    std::shared_ptr<ResultSet> Fetch(const std::string& sql) {
        return session_.Thread().Call([&] { return FetchQuery(session_.Connection(), sql).resultSet; });
    }
    // n characters "ab..." made by the server itself.
    std::string Made(size_t n) const {
        const std::string half = std::to_string(n / 2);
        return GetParam() == Server::SQLite ? "replace(hex(zeroblob(" + half + ")), '00', 'ab')"
                                            : "repeat('ab', " + half + ")";
    }
    static std::string Expected(size_t n) {
        std::string text;
        text.reserve(n);
        while (text.size() < n)
            text += "ab";
        return text;
    }
};

TEST_P(LargeValues, AreStoredReadAndWrittenWhole) {
    MARLIX_OPEN_OR_SKIP();
    Drop("large_values");
    // SQLite keeps a VARCHAR(255) out of the long types whatever it holds: the text table shows it too.
    const char* type = GetParam() == Server::SQLite       ? "VARCHAR(255)"
                       : GetParam() == Server::PostgreSQL ? "TEXT"
                                                          : "LONGTEXT";
    Exec(std::string("CREATE TABLE large_values (id INTEGER, v ") + type + ")");
    Exec("INSERT INTO large_values VALUES (1, 'small')");
    for (size_t i = 0; i < std::size(kSizes); ++i)
        Exec("INSERT INTO large_values VALUES (" + std::to_string(i + 2) + ", " + Made(kSizes[i]) + ")");

    std::shared_ptr<ResultSet> rs = Fetch("SELECT id, v FROM large_values ORDER BY id");
    ASSERT_EQ(rs->RowCount(), 3);
    EXPECT_EQ(rs->CutValuesWarning(), "");
    EXPECT_EQ(rs->Cells().LargeValueCount(), 2u) << "each value longer than a page stored on its own";
    EXPECT_EQ(rs->Cell(0, 1).Text(), "small");
    EXPECT_GE(rs->Cells().StoredBytes(), kSizes[0] + kSizes[1])
        << "large values count against the size limit";
    ResultSetModel model(rs);
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        const std::string expected = Expected(kSizes[i]);
        EXPECT_TRUE(rs->Cell(static_cast<int64_t>(i) + 1, 1).Text() == expected) << kSizes[i];
        EXPECT_TRUE(model.CellText(static_cast<int>(i) + 1, 1).toStdString() == expected) << kSizes[i];
    }

    std::string biggest = "'";
    biggest += Expected(kSizes[1]) + "'";
    MemoryTextSink inserts(65536);
    rs->Description().destinationTable = "copy";
    ConvertResultSet(*rs, StatementType::INSERT, DefaultContext(Dialect::POSTGRESQL), inserts);
    EXPECT_NE(inserts.View().find("VALUES(3, " + biggest + ");"), std::string_view::npos);
    if (GetParam() != Server::SQLite) return; // long columns stay out of text tables
    ASSERT_FALSE(rs->Column(1).IsLong());
    MemoryTextSink table(65536);
    ConvertResultSet(*rs, StatementType::SELECT, DefaultContext(Dialect::MSSQL), table);
    EXPECT_NE(table.View().find("\r\n3      " + biggest + "   \r\n"), std::string_view::npos);
}

INSTANTIATE_TEST_SUITE_P(Servers, LargeValues, AllServers(), ServerParamName);

} // namespace
