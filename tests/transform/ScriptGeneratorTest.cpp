#include "ConversionFixture.h"
#include "core/DialectNames.h"
#include "core/DialectSettings.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "core/ValueText.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace marlix;
using namespace marlix::test;

namespace {

class ScriptGeneratorTest : public SQLiteConversion {};

} // namespace

// Each statement type in each dialect under the default settings: text cases forms_*. Text
// table widths, long columns left out of lists but kept as keys, several keys, the source as the
// table name and empty results: text case generator_shapes.

// Without key fields a WHERE would compare nothing: the conversion stops, naming the table,
// before any text is written (INSERT needs no keys and goes on).
TEST_F(ScriptGeneratorTest, WithoutKeyColumnsRowStatementsStopNamingTheTable) {
    auto rs = Fetch(kOneRow, Description("T", {}));
    for (StatementType type : {StatementType::UPDATE, StatementType::DELETE, StatementType::REPLACE})
        for (Dialect dialect : {Dialect::MSSQL, Dialect::ORACLE, Dialect::MYSQL}) {
            MemoryTextSink sink(1 << 16);
            try {
                ConvertResultSet(*rs, type, DefaultContext(dialect), sink);
                ADD_FAILURE() << StatementTypeName(type) << " without keys was written";
            } catch (const CSyntaxException& e) {
                EXPECT_NE(e.Message().find(std::string(StatementTypeName(type)) + " statements for table T"),
                          std::string::npos)
                    << e.Message();
            }
            EXPECT_EQ(sink.Length(), 0u) << StatementTypeName(type);
        }
    EXPECT_EQ(Converted(*rs, StatementType::INSERT, Dialect::MYSQL).substr(0, 14), "INSERT INTO T ");
}

// Names each dialect quotes: text cases forms_*. A server that keeps a dotted alias whole
// describes it so (SQLite reports only the part after the last dot); the name after the last dot
// is written, and the cached names follow a change of dialect.
TEST_F(ScriptGeneratorTest, DottedNamesAndTheCachedNamesOfTheDialect) {
    auto rs = Fetch("SELECT 2 AS \"ORDER\", 4 AS \"dbo.T.Name\"", Description("T", {}));
    std::strcpy(rs->Column(1).name, "dbo.T.Name");
    rs->Column(1).nameLength = 10;
    EXPECT_EQ(Converted(*rs, StatementType::INSERT, Dialect::ACCESS),
              "INSERT INTO T ([ORDER], Name)\r\nVALUES(2, 4);\r\n\r\n");
    EXPECT_EQ(Converted(*rs, StatementType::INSERT, Dialect::FIREBIRD),
              "INSERT INTO T (\"ORDER\", Name)\r\nVALUES(2, 4)\r\n\r\n");
    EXPECT_EQ(rs->Column(0).quotedFor, static_cast<int>(Dialect::FIREBIRD));
    EXPECT_EQ(rs->Column(1).quotedName, "dbo.T.Name");
}

TEST_F(ScriptGeneratorTest, WideColumnsAreNationalInMssqlOnly) {
    session_->Exec("INSERT INTO g VALUES (2, 'it''s' || char(10) || 'ok', NULL)");
    auto rs = Fetch("SELECT id, name FROM g WHERE id = 2", Description("T", {"id"}));
    // As a Unicode SQL Server driver describes it; none here reports wide types to ANSI calls.
    rs->Column(1).sqlType = SQL_WVARCHAR;
    EXPECT_EQ(Converted(*rs, StatementType::UPDATE, Dialect::MSSQL),
              "UPDATE T SET\r\nname = N'it''s\\nok'\r\nWHERE id = 2\r\n\r\n");
    EXPECT_EQ(Converted(*rs, StatementType::UPDATE, Dialect::ORACLE),
              "UPDATE T SET\r\nname = 'it''s\\nok'\r\nWHERE id = 2;\r\n\r\n");
    EXPECT_EQ(Converted(*rs, StatementType::SELECT, Dialect::MSSQL),
              Padded("id", 7) + Padded("name", 16) + "\r\n" + std::string(6, '=') + " " +
                  std::string(15, '=') + " \r\n" + Padded("2", 7) + Padded("N'it''s\\nok'", 16) +
                  "\r\n\r\n1 row(s) selected \r\n\r\n");
}

// Dates under settings read from the profile: text case date_settings.

TEST_F(ScriptGeneratorTest, ConversionMayGrowTheSinkOnlyWhileItRuns) {
    session_->Exec("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
                   "INSERT INTO g SELECT i, 'name', '2004-06-27 10:20:30' FROM n");
    auto rs = Fetch(kOneRow, Description("T", {"id"}));
    MemoryTextSink sink(4096);
    ConvertResultSet(*rs, StatementType::INSERT, DefaultContext(Dialect::MSSQL), sink);
    EXPECT_GT(sink.Length(), 4096u * 8);
    EXPECT_FALSE(sink.Growable());
    EXPECT_EQ(sink.View().substr(sink.Length() - 5), ")\r\n\r\n");
}

TEST(ScriptGeneratorOnServers, PostgreSQL) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    TestSession session(conn);
    session.Exec("DROP TABLE IF EXISTS gen_pg");
    session.Exec("CREATE TABLE gen_pg (id integer primary key, \"order\" varchar(10), qty numeric(8,2), "
                 "created timestamp, note text)");
    session.Exec("INSERT INTO gen_pg VALUES (1, 'a''b', 2.5, '2004-06-27 10:20:30', 'long')");
    session.Exec("INSERT INTO gen_pg VALUES (2, NULL, NULL, NULL, NULL)");
    auto rs = session.Fetch("SELECT id, \"order\", qty, created, note FROM gen_pg ORDER BY id",
                            Description("public.gen_pg", {"id"}));
    EXPECT_EQ(Converted(*rs, StatementType::REPLACE, Dialect::MSSQL),
              "if exists (SELECT * FROM \"public\".gen_pg WHERE id = 1)\r\nUPDATE \"public\".gen_pg SET\r\n"
              "\"order\" = 'a''b', qty = 2.50, created = '06.27.2004 10:20:30.000'\r\nWHERE id = 1\r\n"
              "else INSERT INTO \"public\".gen_pg (id, \"order\", qty, created)\r\n"
              "VALUES(1, 'a''b', 2.50, '06.27.2004 10:20:30.000')\r\n"
              "if exists (SELECT * FROM \"public\".gen_pg WHERE id = 2)\r\nUPDATE \"public\".gen_pg SET\r\n"
              "\"order\" = NULL, qty = NULL, created = NULL\r\nWHERE id = 2\r\n"
              "else INSERT INTO \"public\".gen_pg (id, \"order\", qty, created)\r\nVALUES(2, NULL, NULL, "
              "NULL)\r\n\r\n");
    EXPECT_EQ(Converted(*rs, StatementType::SELECT, Dialect::GENERIC),
              // order: 'a''b' counts 5, less than its name + 2; one apostrophe adds 2 x 1.
              "id     " + Padded("order", 12) +
                  "qty     created                       note                             \r\n"
                  "====== " +
                  std::string(11, '=') + " ======= ============================= " + std::string(32, '=') +
                  " \r\n"
                  "1      " +
                  Padded("'a''b'", 12) +
                  "2.50    27.06.2004 10:20:30           'long'                           \r\n"
                  "2      " +
                  Padded("NULL", 12) +
                  "NULL    NULL                          NULL                             \r\n"
                  "\r\n2 row(s) selected \r\n\r\n");
}

TEST(ScriptGeneratorOnServers, MariaDB) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    TestSession session(conn);
    session.Exec(
        "CREATE OR REPLACE TABLE gen_my (id integer primary key, `A-B` varchar(10), d date, t time)");
    session.Exec("INSERT INTO gen_my VALUES (7, CONCAT('x', CHAR(13), CHAR(10)), '2004-02-29', '23:05:00')");
    auto rs = session.Fetch("SELECT id, `A-B`, d, t FROM gen_my", Description("gen_my", {"id"}));
    EXPECT_EQ(
        Converted(*rs, StatementType::UPDATE, Dialect::MYSQL),
        "UPDATE gen_my SET\r\n\"A-B\" = 'x\\r\\n', d = '2004-02-29', t = '23:05:00'\r\nWHERE id = 7;\r\n\r\n");
    EXPECT_EQ(Converted(*rs, StatementType::INSERT_ARRAY, Dialect::GENERIC),
              "INSERT INTO gen_my VALUES (\r\n\t:1,\r\n\t:2,\r\n\t:3,\r\n\t:4)\r\n\\\r\n"
              "$DATATYPES NUMERIC,,DATETIME,DATETIME\r\n"
              "INSERT INTO gen_my (id, \"A-B\", d, t)\r\nVALUES(7, 'x\\r\\n', 29.02.2004 00:00:00, " +
                  // A time arrives with the driver's date of today; GENERIC writes dates and times whole.
                  std::string(ValueText(*rs, 0, 3, Dialect::GENERIC, DefaultDialectSettingsSet(), true)) +
                  ");\r\n/\r\n\r\n");
}
