// The editable grid model over a real SQLite table: validation messages per type, the empty row
// that takes new rows, Delete Row, the editor's starting text, and read-only cells.
#include "core/DateTimeText.h"
#include "core/ProfileStore.h"
#include "core/ValueText.h"
#include "db/ODBCSession.h"
#include "results/grid/CellTextCopy.h"
#include "results/grid/EditableResultSetModel.h"
#include "support/SessionFixture.h"
#include "transform/CellValidation.h"
#include "transform/EditFixture.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <QtTest>

using namespace marlix;
using marlix::test::Server;

namespace {

// The tables the grid's catalog knows.
TableLookup EditsLookup() {
    return marlix::test::LookupOf(
        {{"edit_grid", {{"id", "code", "qty", "note"}, {"id"}}}, {"edit_nokey", {{"id", "note"}, {}}}});
}

using marlix::test::StarOf;

class EditableGridTest : public QObject {
    Q_OBJECT

    std::shared_ptr<ResultSet> Fetch(const std::string& table) {
        auto rs = session_.Thread().Call([&] {
            return test::FetchQuery(session_.Connection(), "SELECT * FROM " + table + " ORDER BY id")
                .resultSet;
        });
        ResultSetEdits::Of(*rs).SetAnalysis(StarOf(table));
        return rs;
    }

private slots:
    void initTestCase() {
        test::ConnectTo(session_, test::ConnectionString(Server::SQLite, "editable_grid"), profile_);
        session_.Thread().Call([&] {
            for (const char* sql :
                 {"DROP TABLE IF EXISTS edit_grid", "DROP TABLE IF EXISTS edit_nokey",
                  "CREATE TABLE edit_grid (id INTEGER NOT NULL PRIMARY KEY, code CHAR(10), qty INTEGER, "
                  "note VARCHAR(100))",
                  "INSERT INTO edit_grid VALUES (1, 'a', 1, 'O''Brien'), (2, 'b', 2, 'two\nlines'), (3, 'c', "
                  "3, NULL)",
                  "CREATE TABLE edit_nokey (id INTEGER, note VARCHAR(10))",
                  "INSERT INTO edit_nokey VALUES (1, 'x')"})
                test::Exec(session_.Connection(), sql);
        });
    }

    void validationMessagesPerType() {
        EditableResultSetModel model(Fetch("edit_grid"), EditsLookup());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy rejected(&model, &EditableResultSetModel::editRejected);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
        QVERIFY(model.setData(model.index(0, 1), QString("0123456789")));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("0123456789"));
        QVERIFY(!model.setData(model.index(0, 1), QString("0123456789A")));
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(changed.count(), 1); // the accepted value only
        QCOMPARE(rejected.at(0).at(0).toString(), QString("The value entered exceed maximum length of 10"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("0123456789")); // kept
        QVERIFY(!model.setData(model.index(0, 2), QString("12ab")));
        QCOMPARE(rejected.at(1).at(0).toString(), QString("Invalid integer format"));
        QVERIFY(model.setData(model.index(0, 2), QString("-12")));
        QCOMPARE(model.headerData(0, Qt::Vertical, EditableResultSetModel::RowStateRole).toInt(), 1);
    }

    void emptyRowTakesNewRowsAndDeletedRowsStay() {
        EditableResultSetModel model(Fetch("edit_grid"), EditsLookup());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.EmptyRow(), 3);
        QVERIFY(!model.DeleteRow(3)); // the empty row: nothing happens
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(!model.Edits().HasUnsavedEdits());

        QVERIFY(model.setData(model.index(3, 0), QString("9")));
        QCOMPARE(model.rowCount(), 5); // the new row and a new empty row
        QCOMPARE(model.data(model.index(3, 0)).toString(), QString("9"));
        QCOMPARE(model.data(model.index(3, 3)).toString(), QString("NULL"));
        QCOMPARE(model.data(model.index(3, 0), EditableResultSetModel::RowStateRole).toInt(), 2);
        QCOMPARE(model.data(model.index(4, 0), EditableResultSetModel::RowStateRole).toInt(), 3);

        // A deleted row stays in place, struck through and read-only, until saved or discarded.
        QVERIFY(model.DeleteRow(0));
        QVERIFY(!model.DeleteRow(0));
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.RowState(0), int(EditableResultSetModel::Deleted));
        QVERIFY(model.data(model.index(0, 1), Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(!model.setData(model.index(0, 1), QString("z")));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("1"));
        model.Edits().DiscardEdits();
        model.Refresh();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.RowState(0), 0);
    }

    void editorStartsFromTheStoredValue() {
        EditableResultSetModel model(Fetch("edit_grid"), EditsLookup());
        // The cell shows the value as stored, and the editor starts from it.
        QCOMPARE(model.data(model.index(0, 3)).toString(), QString("O'Brien"));
        QCOMPARE(model.data(model.index(0, 3), Qt::EditRole).toString(), QString("O'Brien"));
        QVERIFY(!model.data(model.index(0, 3), EditableResultSetModel::ReadOnlyRole).toBool());
        // A line break is edited in a multi-line editor.
        QVERIFY(model.data(model.index(1, 3), EditableResultSetModel::MultiLineRole).toBool());
        QVERIFY(!model.data(model.index(1, 3), EditableResultSetModel::ReadOnlyRole).toBool());
        QCOMPARE(model.data(model.index(2, 3), Qt::EditRole).toString(), QString()); // NULL: empty
    }

    void tablesWithoutKeysAreReadOnlyAndSayWhy() {
        EditableResultSetModel model(Fetch("edit_nokey"), EditsLookup());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.data(model.index(0, 1), EditableResultSetModel::ReadOnlyRole).toBool());
        QVERIFY(model.data(model.index(0, 1), Qt::ToolTipRole).toString().contains("has no key"));
        QVERIFY(!model.setData(model.index(0, 1), QString("y")));
        QVERIFY(!model.DeleteRow(0));
        QCOMPARE(model.rowCount(), 1); // no empty row to add rows in
    }

    void syntaxChecks() {
        for (auto [text, integer] : {std::pair{" -42 ", true}, {"4 2", false}, {"-", false}})
            QVERIFY2(IsIntegerText(text) == integer, text);
        for (auto [text, number] :
             {std::pair{"-1.5e-3", true}, {".5", true}, {"1.2.3", false}, {"1e", false}})
            QVERIFY2(IsNumberText(text) == number, text);
        ColumnDescriptor time;
        time.sqlType = SQL_TYPE_TIME;
        const CheckedCell t = CheckCellText(time, "23:59:58");
        QVERIFY(t.accepted && t.isTimestamp);
        QCOMPARE(int(t.timestamp.hour), 23);
        QCOMPARE(QString::fromStdString(CheckCellText(time, "25:00").message),
                 QString("Invalid date/time format. Enter a time as 14:30 or 14:30:00."));
        ColumnDescriptor binary;
        binary.sqlType = SQL_VARBINARY;
        QCOMPARE(QString::fromStdString(CheckCellText(binary, "00").message),
                 QString("Changing of Binary data here currently unsupported"));
    }

private:
    MemoryProfileStore profile_;
    CODBCSession session_;
};

} // namespace

QTEST_MAIN(EditableGridTest)
#include "EditableGridTest.moc"
