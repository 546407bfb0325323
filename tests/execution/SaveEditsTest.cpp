// Saving grid edits to each test server: the round trip, failures that leave nothing half done,
// the vanished row, joins, NULL keys and values that must arrive exactly as typed.
#include "transform/EditFixture.h"

#include "core/MemoryTextSink.h"
#include "execution/SaveEdits.h"
#include "transform/CellValidation.h"
#include "transform/ModificationScript.h"

namespace marlix::test {
namespace {

class SaveEditsOnServer : public OnEachServer {
protected:
    void Run(const std::string& sql) {
        session_.Thread().Call([&] { Exec(session_.Connection(), sql); });
    }
    std::shared_ptr<ResultSet> Fetch(const std::string& sql) {
        return session_.Thread().Call([&] { return FetchQuery(session_.Connection(), sql).resultSet; });
    }
    void SetAutocommit(bool on) {
        session_.Thread().Call([&] {
            ASSERT_TRUE(
                Succeeded(SQLSetConnectAttr(session_.Connection(), SQL_ATTR_AUTOCOMMIT,
                                            (SQLPOINTER)(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0)));
        });
    }
    void EndTransaction(SQLSMALLINT completion) {
        session_.Thread().Call([&] { SQLEndTran(SQL_HANDLE_DBC, session_.Connection(), completion); });
    }
    // The two-column-key table with a row per key 1..3.
    void CreateKeyed() {
        Drop("save_t");
        const char* stamp = GetParam() == Server::MariaDB ? "DATETIME" : "TIMESTAMP";
        Run(std::string("CREATE TABLE save_t (a INTEGER NOT NULL, b VARCHAR(20) NOT NULL, v VARCHAR(100), "
                        "d DATE, t TIME, ts ") +
            stamp + ", PRIMARY KEY (a, b))");
        Run("INSERT INTO save_t (a, b, v) VALUES (1, 'x', 'one')");
        Run("INSERT INTO save_t (a, b, v) VALUES (2, 'y', 'two')");
        Run("INSERT INTO save_t (a, b, v) VALUES (3, 'z', 'three')");
    }
    ResultSetEdits& EditsOf(const std::shared_ptr<ResultSet>& rs) {
        auto& e = ResultSetEdits::Of(*rs);
        e.ResolveColumnOrigins(StarOf("save_t"),
                               LookupOf({{"save_t", {{"a", "b", "v", "d", "t", "ts"}, {"a", "b"}}}}));
        return e;
    }
    SaveEditsResult Save(ResultSetEdits& e) { return SaveEdits(session_, e, history_); }

    // Update, insert and delete, saved; then fetched again, also after a rollback that must
    // find nothing left to undo.
    void RoundTrip(bool autocommit) {
        CreateKeyed();
        if (!autocommit) EndTransaction(SQL_COMMIT);
        auto rs = Fetch("SELECT * FROM save_t ORDER BY a");
        auto& e = EditsOf(rs);
        ASSERT_TRUE(e.CanEditColumn(2));
        const std::string tricky = "it's a \\ back\r\nslash\tand 'quotes'";
        e.SetCellValue(0, 2, tricky);
        e.SetCellValue(1, 1, "it's\tkey"); // a key changes: the WHERE clause uses the old one
        ASSERT_TRUE(e.DeleteRow(2));
        const int64_t added = e.AppendNewRow();
        e.SetCellValue(added, 0, "4");
        e.SetCellValue(added, 1, "w\\'\n");
        e.SetCellValue(added, 2, "new");
        e.SetCellTimestamp(added, 3, Stamp(2024, 2, 29));
        e.SetCellTimestamp(added, 4, Stamp(1900, 1, 1, 23, 59, 58));
        e.SetCellTimestamp(added, 5, Stamp(1999, 12, 31, 13, 14, 15));
        const SaveEditsResult r = Save(e);
        ASSERT_TRUE(r.saved) << r.error << history_.Text();
        EXPECT_EQ(r.statements, 4);
        EXPECT_FALSE(e.HasUnsavedEdits());
        EXPECT_EQ(e.ShownRowCount(), 3); // the deleted row stays gone
        e.DiscardEdits();
        EXPECT_EQ(e.ShownRowCount(), 3);
        EXPECT_EQ(history_.Text().find("Transaction commited") != std::string::npos, !autocommit);
        if (!autocommit) EndTransaction(SQL_ROLLBACK); // the save committed: nothing to undo

        auto again = Fetch("SELECT a, b, v, d, t, ts FROM save_t ORDER BY a");
        ASSERT_EQ(again->RowCount(), 3);
        EXPECT_EQ(StoredText(*again, 0, 2), tricky);
        EXPECT_EQ(StoredText(*again, 1, 1), "it's\tkey");
        EXPECT_EQ(StoredText(*again, 1, 2), "two");
        EXPECT_EQ(StoredText(*again, 2, 0), "4");
        EXPECT_EQ(StoredText(*again, 2, 1), "w\\'\n");
        const TIMESTAMP_STRUCT d = StoredStamp(*again, 2, 3), t = StoredStamp(*again, 2, 4),
                               ts = StoredStamp(*again, 2, 5);
        EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 20240229);
        EXPECT_EQ(t.hour * 10000 + t.minute * 100 + t.second, 235958);
        EXPECT_EQ(ts.year * 10000 + ts.month * 100 + ts.day, 19991231);
        EXPECT_EQ(ts.hour * 10000 + ts.minute * 100 + ts.second, 131415);

        // A key holding such characters still finds its row.
        auto third = Fetch("SELECT * FROM save_t ORDER BY a");
        auto& e3 = EditsOf(third);
        e3.SetCellValue(1, 2, "found");
        e3.SetCellValue(2, 2, "found too");
        ASSERT_TRUE(Save(e3).saved) << history_.Text();
        auto fourth = Fetch("SELECT v FROM save_t WHERE a IN (2, 4) ORDER BY a");
        EXPECT_EQ(StoredText(*fourth, 0, 0), "found");
        EXPECT_EQ(StoredText(*fourth, 1, 0), "found too");
    }

    // A duplicate key fails the save after an earlier good insert; fixing it and saving again
    // inserts each row once.
    void DuplicateKey(bool autocommit) {
        CreateKeyed();
        if (!autocommit) EndTransaction(SQL_COMMIT);
        auto rs = Fetch("SELECT * FROM save_t ORDER BY a");
        auto& e = EditsOf(rs);
        e.SetCellValue(0, 2, "changed");
        const int64_t good = e.AppendNewRow();
        e.SetCellValue(good, 0, "5");
        e.SetCellValue(good, 1, "q");
        const int64_t bad = e.AppendNewRow();
        e.SetCellValue(bad, 0, "2");
        e.SetCellValue(bad, 1, "y");
        SaveEditsResult r = Save(e);
        EXPECT_FALSE(r.saved);
        EXPECT_EQ(r.failedRow, bad);
        EXPECT_FALSE(r.error.empty());
        EXPECT_TRUE(e.HasUnsavedEdits());
        if (!autocommit) {
            // Nothing of the failed save is in the database, every record is still pending.
            auto seen = Fetch("SELECT v FROM save_t WHERE a = 1");
            EXPECT_EQ(StoredText(*seen, 0, 0), "one");
            EXPECT_EQ(Fetch("SELECT a FROM save_t WHERE a = 5")->RowCount(), 0);
            EXPECT_EQ(e.RowEditState(good), 2);
        } else {
            EXPECT_EQ(e.RowEditState(good), 0);
        }
        e.SetCellValue(bad, 1, "fixed");
        r = Save(e);
        ASSERT_TRUE(r.saved) << r.error;
        EXPECT_EQ(Fetch("SELECT a FROM save_t WHERE a = 5")->RowCount(), 1);
        EXPECT_EQ(Fetch("SELECT a FROM save_t WHERE a = 2")->RowCount(), 2);
        EXPECT_EQ(StoredText(*Fetch("SELECT v FROM save_t WHERE a = 1"), 0, 0), "changed");
        if (!autocommit) EndTransaction(SQL_ROLLBACK);
        EXPECT_EQ(Fetch("SELECT a FROM save_t")->RowCount(), 5);
    }

    TextHistoryOutput history_;
};

TEST_P(SaveEditsOnServer, RoundTripWithAutocommitOn) {
    MARLIX_OPEN_OR_SKIP();
    SetAutocommit(true);
    RoundTrip(true);
}

TEST_P(SaveEditsOnServer, RoundTripWithAutocommitOffCommits) {
    MARLIX_OPEN_OR_SKIP();
    // The settings say autocommit is on; the connection is what counts.
    SetAutocommit(false);
    RoundTrip(false);
    SetAutocommit(true);
}

TEST_P(SaveEditsOnServer, FailedSaveWithAutocommitOffLeavesNothingHalfDone) {
    MARLIX_OPEN_OR_SKIP();
    SetAutocommit(false);
    DuplicateKey(false);
    SetAutocommit(true);
}

TEST_P(SaveEditsOnServer, FailedSaveWithAutocommitOnInsertsNothingTwice) {
    MARLIX_OPEN_OR_SKIP();
    SetAutocommit(true);
    DuplicateKey(true);
}

TEST_P(SaveEditsOnServer, UserWorkOfAnOpenTransactionSurvivesAFailedSave) {
    MARLIX_OPEN_OR_SKIP();
    CreateKeyed();
    SetAutocommit(false);
    Run("INSERT INTO save_t (a, b, v) VALUES (7, 'mine', 'uncommitted')");
    auto rs = Fetch("SELECT * FROM save_t WHERE a < 4 ORDER BY a");
    auto& e = EditsOf(rs);
    const int64_t bad = e.AppendNewRow();
    e.SetCellValue(bad, 0, "1");
    e.SetCellValue(bad, 1, "x");
    EXPECT_FALSE(Save(e).saved);
    EXPECT_EQ(Fetch("SELECT a FROM save_t WHERE a = 7")->RowCount(), 1);
    EndTransaction(SQL_ROLLBACK);
    SetAutocommit(true);
}

TEST_P(SaveEditsOnServer, SavedRowsShowWhatTheTableHolds) {
    MARLIX_OPEN_OR_SKIP();
    Drop("back_t");
    const bool maria = GetParam() == Server::MariaDB;
    Run(std::string("CREATE TABLE back_t (id INTEGER PRIMARY KEY, v VARCHAR(10) DEFAULT 'dflt', c ") +
        (maria ? "ENUM('a', 'b'))" : "VARCHAR(2))"));
    Run("INSERT INTO back_t (id, c) VALUES (1, 'a')");
    if (maria) Run("SET SESSION sql_mode = ''"); // a value outside the list is then kept as ''
    if (GetParam() == Server::PostgreSQL) { // a notice comes as SQL_SUCCESS_WITH_INFO
        Run("CREATE OR REPLACE FUNCTION back_note() RETURNS trigger AS $$ BEGIN RAISE NOTICE 'noted'; "
            "RETURN NEW; END $$ LANGUAGE plpgsql");
        Run("CREATE TRIGGER back_n BEFORE UPDATE ON back_t FOR EACH ROW EXECUTE FUNCTION back_note()");
    }
    auto rs = Fetch("SELECT * FROM back_t");
    auto& e = ResultSetEdits::Of(*rs);
    e.ResolveColumnOrigins(StarOf("back_t"), LookupOf({{"back_t", {{"id", "v", "c"}, {"id"}}}}));
    e.SetCellValue(e.AppendNewRow(), 0, "2");
    e.SetCellValue(0, 2, "zz");
    ASSERT_TRUE(Save(e).saved) << history_.Text();
    if (maria) Run("SET SESSION sql_mode = DEFAULT");
    EXPECT_EQ(StoredText(*rs, 1, 1), "dflt"); // the server's default, read back by key
    EXPECT_EQ(StoredText(*rs, 0, 2), StoredText(*Fetch("SELECT c FROM back_t WHERE id = 1"), 0, 0));
    const char* warning = maria ? "holds '' in column c, not the value saved"
                          : GetParam() == Server::PostgreSQL ? "noted" : "";
    EXPECT_NE(history_.Text().find(warning), std::string::npos) << history_.Text();
}

TEST_P(SaveEditsOnServer, UpdateOfAVanishedRowFailsAndDeleteOfOneIsDone) {
    MARLIX_OPEN_OR_SKIP();
    CreateKeyed();
    auto rs = Fetch("SELECT * FROM save_t ORDER BY a");
    auto& e = EditsOf(rs);
    e.SetCellValue(1, 2, "two"); // the value it already holds: still a row found
    e.SetCellValue(2, 2, "lost");
    Run("DELETE FROM save_t WHERE a = 3");
    SaveEditsResult r = Save(e);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(r.failedRow, 2);
    EXPECT_NE(r.error.find("not found"), std::string::npos) << r.error;
    EXPECT_EQ(e.RowEditState(2), 1);
    EXPECT_EQ(e.RowEditState(1), 0);

    e.DiscardEdits();
    ASSERT_TRUE(e.DeleteRow(2));
    r = Save(e);
    EXPECT_TRUE(r.saved) << r.error;
    EXPECT_FALSE(e.HasUnsavedEdits());
}

TEST_P(SaveEditsOnServer, JoinUsesEachTablesOwnKey) {
    MARLIX_OPEN_OR_SKIP();
    Drop("save_c");
    Drop("save_p");
    Run("CREATE TABLE save_p (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(20))");
    Run("CREATE TABLE save_c (id INTEGER NOT NULL PRIMARY KEY, p_id INTEGER, label VARCHAR(20))");
    Run("INSERT INTO save_p VALUES (1, 'p1')");
    Run("INSERT INTO save_p VALUES (2, 'p2')");
    Run("INSERT INTO save_p VALUES (3, 'p3')");
    Run("INSERT INTO save_c VALUES (10, 1, 'c10')");
    Run("INSERT INTO save_c VALUES (1, 2, 'c1')");
    auto rs = Fetch(
        "SELECT p.id, p.name, c.id, c.label FROM save_p p LEFT JOIN save_c c ON c.p_id = p.id ORDER BY p.id");
    AnalysedDescription d;
    d.tables = {{"save_p", "p"}, {"save_c", "c"}};
    for (const char* name : {"p.id", "p.name", "c.id", "c.label"}) {
        AnalysedColumn c;
        c.name = name;
        c.isPlainColumn = true;
        d.columns.push_back(c);
    }
    d.analysed = 1;
    auto& e = ResultSetEdits::Of(*rs);
    e.ResolveColumnOrigins(
        d, LookupOf({{"save_p", {{"id", "name"}, {"id"}}}, {"save_c", {{"id", "p_id", "label"}, {"id"}}}}));
    ASSERT_TRUE(e.CanEditColumn(3));
    e.SetCellValue(0, 3, "edited"); // p.id 1, c.id 10
    e.SetCellValue(0, 1, "P1");
    e.SetCellValue(2, 3, "orphan"); // the outer join's missing row: c.id is NULL

    MemoryTextSink sink(2621440);
    WriteModificationScript(e, sink);
    EXPECT_EQ(std::string(sink.Data(), sink.Length()),
              "UPDATE save_c SET\r\n\tlabel = 'edited'\r\nWHERE\r\n\tid = 10\r\n"
              "UPDATE save_p SET\r\n\tname = 'P1'\r\nWHERE\r\n\tid = 1\r\n");
    const SaveEditsResult r = Save(e);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(r.leftPending, 1);
    EXPECT_NE(history_.Text().find("holds NULL"), std::string::npos) << history_.Text();
    EXPECT_EQ(e.RowEditState(2), 1); // still pending
    EXPECT_EQ(e.RowEditState(0), 0);
    auto c = Fetch("SELECT id, label FROM save_c ORDER BY id");
    EXPECT_EQ(StoredText(*c, 0, 1), "c1");
    EXPECT_EQ(StoredText(*c, 1, 1), "edited");
    EXPECT_EQ(StoredText(*Fetch("SELECT name FROM save_p WHERE id = 1"), 0, 0), "P1");
}

TEST_P(SaveEditsOnServer, AnAddedRowWhoseGeneratedKeyWasNeverReadStaysPending) {
    MARLIX_OPEN_OR_SKIP();
    Drop("save_g");
    const char* key = GetParam() == Server::PostgreSQL ? "id SERIAL PRIMARY KEY"
                      : GetParam() == Server::MariaDB  ? "id INTEGER AUTO_INCREMENT PRIMARY KEY"
                                                       : "id INTEGER PRIMARY KEY";
    Run(std::string("CREATE TABLE save_g (") + key + ", name VARCHAR(20))");
    auto rs = Fetch("SELECT id, name FROM save_g");
    auto& e = ResultSetEdits::Of(*rs);
    e.ResolveColumnOrigins(StarOf("save_g"), LookupOf({{"save_g", {{"id", "name"}, {"id"}}}}));
    const int64_t added = e.AppendNewRow();
    e.SetCellValue(added, 1, "first");
    ASSERT_TRUE(Save(e).saved) << history_.Text();
    // The server chose the key; the grid never learnt it, so no WHERE clause can name the row.
    e.SetCellValue(added, 1, "second");
    const SaveEditsResult r = Save(e);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(r.leftPending, 1);
    EXPECT_EQ(r.statements, 0);
    EXPECT_NE(history_.Text().find("holds NULL"), std::string::npos) << history_.Text();
    EXPECT_TRUE(e.HasUnsavedEdits());
    auto rows = Fetch("SELECT name FROM save_g");
    ASSERT_EQ(rows->RowCount(), 1);
    EXPECT_EQ(StoredText(*rows, 0, 0), "first");
}

// A uuid is shown and typed as its text: a uuid key finds its row, a typed uuid is saved, and
// one that is no uuid is refused before anything is sent.
TEST_P(SaveEditsOnServer, UuidCellsAreEditedAsText) {
    MARLIX_OPEN_OR_SKIP();
    if (GetParam() != Server::PostgreSQL) GTEST_SKIP() << "only PostgreSQL has a uuid type";
    Drop("save_u");
    Run("CREATE TABLE save_u (id uuid PRIMARY KEY, other uuid)");
    Run("INSERT INTO save_u VALUES ('a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', NULL), "
        "('00000000-0000-0000-0000-000000000002', NULL)");
    auto rs = Fetch("SELECT id, other FROM save_u ORDER BY id");
    auto& e = ResultSetEdits::Of(*rs);
    e.ResolveColumnOrigins(StarOf("save_u"), LookupOf({{"save_u", {{"id", "other"}, {"id"}}}}));
    EXPECT_FALSE(CheckCellText(rs->Column(1), "not-a-uuid").accepted);
    ASSERT_TRUE(CheckCellText(rs->Column(1), "{B0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A12}").accepted);
    e.SetCellValue(1, 1, "b0eebc99-9c0b-4ef8-bb6d-6bb9bd380a12");
    ASSERT_TRUE(e.DeleteRow(0));
    const int64_t added = e.AppendNewRow();
    e.SetCellValue(added, 0, "c0eebc99-9c0b-4ef8-bb6d-6bb9bd380a13");
    ASSERT_TRUE(Save(e).saved) << history_.Text();
    auto rows = Fetch("SELECT id::text || '/' || COALESCE(other::text, '-') FROM save_u ORDER BY id");
    ASSERT_EQ(rows->RowCount(), 2);
    EXPECT_EQ(StoredText(*rows, 0, 0), "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11/b0eebc99-9c0b-4ef8-bb6d-6bb9bd380a12");
    EXPECT_EQ(StoredText(*rows, 1, 0), "c0eebc99-9c0b-4ef8-bb6d-6bb9bd380a13/-");
}

INSTANTIATE_TEST_SUITE_P(Servers, SaveEditsOnServer, AllServers(), ServerParamName);

} // namespace
} // namespace marlix::test
