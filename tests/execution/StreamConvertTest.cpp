#include "execution/StreamConvert.h"
#include "core/DialectNames.h"
#include "core/CustomMemoryException.h"
#include "core/FileTextSink.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "db/StatementHandle.h"
#include "transform/ConversionFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>

using namespace marlix;
using namespace marlix::test;

namespace {

class StreamConvertTest : public SQLiteConversion {
protected:
    // Runs the query and converts its result while fetching.
    int64_t Stream(const char* query, const ConversionDescription& description, StatementType type,
                   Dialect dialect, TextSink& sink) {
        StatementHandle statement(session_->Connection());
        EXPECT_EQ(SQLExecDirect(statement, (SQLCHAR*)query, SQL_NTS), SQL_SUCCESS);
        SQLSMALLINT columns = 0;
        SQLNumResultCols(statement, &columns);
        ResultSet through(columns, 0, 0, description, 0);
        through.DescribeAndBind(statement, 0);
        int64_t rows = StreamConvert(through, statement, 0, type, DefaultContext(dialect), sink);
        EXPECT_TRUE(through.fetchThrough);
        EXPECT_EQ(through.RowCount(), 0);
        return rows;
    }
    std::string Streamed(const char* query, const ConversionDescription& description, StatementType type,
                         Dialect dialect) {
        MemoryTextSink sink(1 << 26);
        Stream(query, description, type, dialect, sink);
        return sink.Str();
    }
};

// Holds what is written; past `limit` bytes it raises the cancel flag, or fails as memory does.
class LimitedSink final : public TextSink {
public:
    LimitedSink(size_t limit, std::atomic<bool>* cancel) : limit_(limit), cancel_(cancel) {}
    void WriteBytes(const char* data, size_t length) override {
        if (text.size() + length > limit_) {
            if (!cancel_) throw std::bad_alloc();
            cancel_->store(true);
        }
        text.append(data, length);
    }
    size_t Length() const override { return text.size(); }
    std::string text;

private:
    size_t limit_;
    std::atomic<bool>* cancel_;
};

} // namespace

TEST_F(StreamConvertTest, StatementsEqualThoseOfTheStoredResult) {
    session_->Exec("INSERT INTO w VALUES (4, 'd', 'note' || char(13) || char(10) || 'two', -2.5)");
    session_->Exec("INSERT INTO w VALUES (5, NULL, NULL, 0)");
    // Rows and CommitEvery that divide the five rows evenly and unevenly, and the literal styles.
    const int rowsPerStatement[] = {1, 2, 5};
    const int commitEvery[] = {0, 1, 2};
    const LiteralStyle styles[] = {LiteralStyle::Inherit, LiteralStyle::Exact};
    for (int rows : rowsPerStatement)
        for (int commit : commitEvery)
            for (LiteralStyle style : styles) {
                ConversionDescription description = Description("W", {"id"});
                description.rowsPerStatement = rows;
                description.commitEvery = commit;
                description.literals = style;
                auto stored = Fetch(kWideTable, description);
                for (int t = 1; t < kStatementTypeCount; ++t)
                    for (int d = 0; d < kDialectCount; ++d) {
                        auto type = static_cast<StatementType>(t);
                        auto dialect = static_cast<Dialect>(d);
                        const std::string what = std::string(StatementTypeName(type)) + " " +
                                                 DialectName(dialect) + " Rows " + std::to_string(rows) +
                                                 " CommitEvery " + std::to_string(commit) + " style " +
                                                 std::to_string(static_cast<int>(style));
                        if (type == StatementType::UPSERT &&
                            (dialect == Dialect::ACCESS || dialect == Dialect::GENERIC)) {
                            // Refused either way, before any text.
                            EXPECT_THROW(Streamed(kWideTable, description, type, dialect), CSyntaxException)
                                << what;
                            EXPECT_THROW(Converted(*stored, type, dialect), CSyntaxException) << what;
                            continue;
                        }
                        EXPECT_EQ(Streamed(kWideTable, description, type, dialect),
                                  Converted(*stored, type, dialect))
                            << what;
                    }
            }
}

// The text of a streamed text table and of parameter arrays with and without rows is the text
// case streamed_text_table.

TEST_F(StreamConvertTest, ValuesLongerThanTheBindBufferArriveWhole) {
    // SQLite keeps any length in a varchar(10); the bind buffer holds 10 characters.
    session_->Exec("INSERT INTO w VALUES (4, replace(hex(zeroblob(6000)), '0', 'ab'), NULL, 4)");
    const char* query = "SELECT id, name FROM w WHERE id = 4";
    std::string text = Streamed(query, Description("W", {"id"}), StatementType::INSERT, Dialect::MYSQL);
    std::string value;
    for (int i = 0; i < 12000; ++i)
        value += "ab";
    EXPECT_EQ(text, "INSERT INTO W (id, name)\r\nVALUES(4, '" + value + "');\r\n\r\n");
}

TEST_F(StreamConvertTest, IntoAFileSink) {
    session_->Exec("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 2999) "
                   "INSERT INTO w SELECT i, 'n' || i, NULL, i + 0.25 FROM n");
    const ConversionDescription description = Description("W", {"id"});
    const std::string file = TempPath("stream_convert.sql");
    int64_t rows;
    {
        FileTextSink sink(file);
        rows = Stream(kWideTable, description, StatementType::REPLACE, Dialect::ORACLE, sink);
        sink.Close();
    }
    EXPECT_EQ(rows, 2993);
    const std::string written = ReadFile(file);
    auto stored = Fetch(kWideTable, description);
    EXPECT_EQ(written, Converted(*stored, StatementType::REPLACE, Dialect::ORACLE));
    EXPECT_GT(written.size(), 250000u);
}

// Results of several blocks: converted beside the fetch, the same text as the stored result's; a
// failure or a cancel in the middle ends the conversion at its row.
TEST_F(StreamConvertTest, ResultsOfManyBlocks) {
    session_->Exec("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 30000) "
                   "INSERT INTO w SELECT i, 'n''' || i, CASE WHEN i % 7 THEN 'x' END, i + 0.25 FROM n");
    ConversionDescription description = Description("W", {"id"});
    description.rowsPerStatement = 1000;
    description.literals = LiteralStyle::Exact;
    auto stored = Fetch(kWideTable, description);
    EXPECT_TRUE(Streamed(kWideTable, description, StatementType::INSERT, Dialect::MYSQL) ==
                Converted(*stored, StatementType::INSERT, Dialect::MYSQL));

    description.rowsPerStatement = 1;
    const std::string whole = Streamed(kWideTable, description, StatementType::INSERT, Dialect::MSSQL);
    LimitedSink failing(whole.size() / 2, nullptr);
    try {
        Stream(kWideTable, description, StatementType::INSERT, Dialect::MSSQL, failing);
        ADD_FAILURE() << "the failure passed unreported";
    } catch (const CCustomMemoryException& e) {
        size_t rows = 0;
        for (size_t at = failing.text.find("INSERT"); at != std::string::npos; at = failing.text.find("INSERT", at + 1))
            ++rows;
        EXPECT_EQ(e.Row(), static_cast<int64_t>(rows) + 1);
        EXPECT_EQ(whole.substr(0, failing.text.size()), failing.text);
    }

    std::atomic<bool> cancel{false};
    LimitedSink cancelling(whole.size() / 3, &cancel);
    StatementHandle statement(session_->Connection());
    ASSERT_EQ(SQLExecDirect(statement, (SQLCHAR*)kWideTable, SQL_NTS), SQL_SUCCESS);
    ResultSet through(4, 0, 0, description, 0);
    through.SetCancelFlag(&cancel);
    through.DescribeAndBind(statement, 0);
    const int64_t rows =
        StreamConvert(through, statement, 0, StatementType::INSERT, DefaultContext(Dialect::MSSQL), cancelling);
    EXPECT_GT(rows, 0);
    EXPECT_LT(cancelling.text.size(), whole.size());
    EXPECT_EQ(whole.substr(0, cancelling.text.size()), cancelling.text) << "a cancelled text ends without footer";
}
