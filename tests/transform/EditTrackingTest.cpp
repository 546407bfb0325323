// Edit records, the row mapping and the modification script, on a result set fetched from
// SQLite (no server needed).
#include "EditFixture.h"

#include "core/MemoryTextSink.h"
#include "transform/ModificationScript.h"
#include "transform/ScriptGenerator.h"

namespace marlix::test {
namespace {

class EditTracking : public ::testing::Test {
protected:
    void SetUp() override {
        // A database file per test: the tests of this suite may run at the same time.
        conn_ =
            ConnectionString(Server::SQLite, ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ConnectTo(session_, conn_, profile_);
        session_.Thread().Call([&] {
            try {
                Exec(session_.Connection(), "DROP TABLE track_t");
            } catch (const CODBCException&) {
            }
            Exec(session_.Connection(), "CREATE TABLE track_t (a INTEGER NOT NULL, b VARCHAR(10) NOT NULL, "
                                        "v VARCHAR(40), d DATE, PRIMARY KEY (a, b))");
            for (int i = 0; i < 5; ++i)
                Exec(session_.Connection(), "INSERT INTO track_t VALUES (" + std::to_string(i) + ", 'k" +
                                                std::to_string(i) + "', 'v" + std::to_string(i) + "', NULL)");
        });
        rs_ = session_.Thread().Call(
            [&] { return FetchQuery(session_.Connection(), "SELECT * FROM track_t ORDER BY a").resultSet; });
        edits_ = &ResultSetEdits::Of(*rs_);
        edits_->ResolveColumnOrigins(StarOf("track_t"),
                                     LookupOf({{"track_t", {{"a", "b", "v", "d"}, {"a", "b"}}}}));
    }

    std::string Script(int dialect = -1) {
        MemoryTextSink sink(2621440);
        WriteModificationScript(*edits_, sink, dialect);
        return std::string(sink.Data(), sink.Length());
    }

    MemoryProfileStore profile_;
    CODBCSession session_;
    std::string conn_;
    std::shared_ptr<ResultSet> rs_;
    ResultSetEdits* edits_ = nullptr;
};

TEST_F(EditTracking, ScriptTextOfAKnownSetOfEditsIsExact) {
    // Editing a key twice keeps the fetched value for the WHERE clause.
    edits_->SetCellValue(1, 2, "it's \\ a\nb\tc");
    edits_->SetCellValue(1, 1, "x1");
    edits_->SetCellValue(1, 1, "x2");
    edits_->DeleteRow(3); // data row 3
    const int64_t added = edits_->AppendNewRow();
    edits_->SetCellValue(added, 0, "9");
    edits_->SetCellValue(added, 1, "new");
    edits_->SetCellTimestamp(added, 3, Stamp(2024, 2, 29));
    const int64_t gone = edits_->AppendNewRow(); // added then deleted: no statement
    edits_->SetCellValue(gone, 0, "10");
    edits_->DeleteRow(gone);
    EXPECT_EQ(Script(),
              "UPDATE track_t SET\r\n\tv = 'it''s \\ a\\nb?c', b = 'x2'\r\nWHERE\r\n\ta = 1 AND b = 'k1'\r\n"
              "DELETE FROM track_t\r\nWHERE\r\n\ta = 3 AND b = 'k3'\r\n"
              "INSERT INTO track_t (a, b, d)\r\nVALUES (9, 'new', {d '2024-02-29'})\r\n\r\n");
    // In a server's dialect: its exact literals (MySQL's backslashes doubled) and statement ends.
    const std::string mysql = Script(int(Dialect::MYSQL));
    EXPECT_NE(mysql.find("'it''s \\\\ a\\nb\tc', b = 'x2'\r\nWHERE\r\n\ta = 1 AND b = 'k1';\r\nDELETE"),
              std::string::npos) << mysql;
    EXPECT_TRUE(mysql.ends_with("VALUES (9, 'new', '2024-02-29');\r\n")) << mysql;
}

TEST_F(EditTracking, DeletedRowsStayUntilTheirDeletionIsSaved) {
    EXPECT_TRUE(edits_->DeleteRow(0));
    EXPECT_FALSE(edits_->DeleteRow(0)); // already deleted
    EXPECT_TRUE(edits_->DeleteRow(3));
    EXPECT_FALSE(edits_->DeleteRow(5)); // beyond the shown rows: nothing
    EXPECT_EQ(edits_->ShownRowCount(), 5);
    EXPECT_EQ(edits_->RowEditState(3), 4);
    EXPECT_EQ(edits_->RowEditState(1), 0);
    // A saved deletion leaves the grid: display rows skip it both ways.
    for (RowEdit* record : edits_->UnsavedRecords())
        edits_->MarkRecordSaved(*record);
    EXPECT_EQ(edits_->ShownRowCount(), 3);
    EXPECT_EQ(rs_->deletedRowCount, 2);
    EXPECT_EQ(edits_->DataRow(0), 1);
    EXPECT_EQ(edits_->DataRow(2), 4);
    EXPECT_EQ(edits_->DisplayRow(4), 2);
    EXPECT_EQ(edits_->DisplayRow(3), -1);
    edits_->SetCellValue(2, 2, "four");
    EXPECT_EQ(StoredText(*rs_, 4, 2), "four");
    EXPECT_EQ(StoredText(*rs_, 2, 2), "v2");
}

TEST_F(EditTracking, DiscardRestoresFetchedValuesAndRows) {
    edits_->SetCellValue(0, 2, "changed");
    edits_->DeleteRow(1);
    const int64_t added = edits_->AppendNewRow();
    edits_->SetCellValue(added, 0, "7");
    EXPECT_EQ(rs_->RowCount(), 6);
    EXPECT_EQ(StoredText(*rs_, 0, 2), "changed");
    EXPECT_EQ(StoredText(*rs_, 5, 1), "<NULL>"); // a column of an added row never typed
    EXPECT_EQ(edits_->RowEditState(added), 2);
    EXPECT_EQ(edits_->RowEditState(0), 1);
    EXPECT_TRUE(edits_->HasUnsavedEdits());

    edits_->DiscardEdits();
    EXPECT_FALSE(edits_->HasUnsavedEdits());
    EXPECT_EQ(rs_->RowCount(), 5);
    EXPECT_EQ(edits_->ShownRowCount(), 5);
    EXPECT_EQ(StoredText(*rs_, 0, 2), "v0");
    EXPECT_EQ(Script(), "");
    // Editing again after a discard starts from the fetched value.
    edits_->SetCellValue(0, 0, "50");
    EXPECT_EQ(Script(), "UPDATE track_t SET\r\n\ta = 50\r\nWHERE\r\n\ta = 0 AND b = 'k0'\r\n");
}

TEST_F(EditTracking, UnknownOrKeylessTablesStayReadOnly) {
    auto fetch = [&] {
        return session_.Thread().Call(
            [&] { return FetchQuery(session_.Connection(), "SELECT * FROM track_t").resultSet; });
    };
    auto keyless = fetch();
    auto& e = ResultSetEdits::Of(*keyless);
    e.ResolveColumnOrigins(StarOf("track_t"), LookupOf({{"track_t", {{"a", "b", "v", "d"}, {}}}}));
    EXPECT_FALSE(e.CanEditColumn(2));
    EXPECT_FALSE(e.CanEditRows());
    EXPECT_NE(e.ReadOnlyReason(2).find("has no key"), std::string::npos);

    auto unknown = fetch();
    auto& u = ResultSetEdits::Of(*unknown);
    u.ResolveColumnOrigins(StarOf("track_t"), LookupOf({}));
    EXPECT_FALSE(u.Resolved());
    EXPECT_FALSE(u.CanEditColumn(0));
    EXPECT_TRUE(edits_->CanEditColumn(2));
    EXPECT_TRUE(edits_->CanEditRows());
}

TEST_F(EditTracking, ConversionsShowTheGridsRows) {
    edits_->DeleteRow(1);
    for (RowEdit* record : edits_->UnsavedRecords())
        edits_->MarkRecordSaved(*record); // the deletion saved: the row left the grid
    edits_->SetCellValue(1, 2, "two");  // data row 2
    const int64_t added = edits_->AppendNewRow();
    edits_->SetCellValue(added, 0, "9");
    edits_->SetCellValue(added, 1, "n");
    MemoryTextSink sink(1 << 20);
    ConvertResultSet(*rs_, StatementType::SELECT, DefaultContext(Dialect::GENERIC), sink);
    const std::string text(sink.Data(), sink.Length());
    EXPECT_EQ(text.find("k1"), std::string::npos) << text; // deleted in the grid
    EXPECT_NE(text.find("two"), std::string::npos) << text;
    EXPECT_NE(text.find("9 "), std::string::npos) << text; // the added row
    EXPECT_NE(text.find("5 row(s) selected"), std::string::npos) << text;
}

} // namespace
} // namespace marlix::test
