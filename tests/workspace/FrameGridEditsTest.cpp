// Grid editing in the window: a fetched grid is edited in place, the four commands follow the
// grid's state, the modification script dialog shows the exact script, and Save writes it.
#include "core/ProfileStore.h"
#include "results/grid/EditableResultSetModel.h"
#include "results/grid/GridsPane.h"
#include "results/grid/ModificationScriptDialog.h"
#include "results/grid/ResultGrid.h"
#include "results/view/SQLResultsView.h"
#include "support/SessionFixture.h"
#include "workspace/FrameHarness.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/GridEditCommands.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/SelectionBar.h"
#include "workspace/options/ExecutionSettings.h"

#include "workspace/frame/CommandState.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace marlix;
using namespace marlix::test;

namespace {

// Presses the button named `name` of the modal dialog shown `delayMs` from now.
void PressInNextDialog(const char* name, int delayMs = 50) {
    QTimer::singleShot(delayMs, [name] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            if (auto* button = dialog->findChild<QPushButton*>(QString::fromLatin1(name))) button->click();
    });
}

// Runs `setup`, lets the catalog learn its tables, runs `select` and gives its grid the focus.
EditableResultSetModel* OpenGrid(FrameHarness& h, const QString& setup, const QString& select) {
    if (!setup.isEmpty() && !h.RunScript(setup)) return nullptr;
    h.Frame().ObjectBrowser().Reload();
    if (!h.RunScript(select)) return nullptr;
    GridsPane& grids = h.Frame().ResultsView().Grids();
    h.Frame().ResultsView().ShowTab(CSQLResultsView::GridsTab);
    // As a user's click into the grid: the window active, then the grid the current one (a busy
    // machine, the sanitizer build above all, delivers the activation late).
    h.Frame().activateWindow();
    (void)QTest::qWaitForWindowActive(&h.Frame());
    ResultGrid* grid = grids.GridAt(grids.GridCount() - 1);
    grid->setFocus();
    (void)QTest::qWaitFor([&] { return grids.CurrentGrid() == grid; });
    return qobject_cast<EditableResultSetModel*>(&grid->Model());
}

// The rows the database holds, as "a|b" lines (NULL for NULL).
QStringList Rows(FrameHarness& h, const char* sql) {
    auto rs = h.Frame().Session().Thread().Call(
        [&] { return FetchQuery(h.Frame().Session().Connection(), sql).resultSet; });
    QStringList rows;
    for (int64_t r = 0; r < rs->RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->ColumnCount(); ++c)
            cells << (rs->Cell(r, c).isNull ? QStringLiteral("NULL") : QString::fromUtf8(rs->Cell(r, c).Text()));
        rows << cells.join('|');
    }
    return rows;
}

// Keys typed where the focus is: the grid, or the cell editor it opened.
void Type(const QString& text, Qt::Key key = Qt::Key_unknown, Qt::KeyboardModifiers modifiers = {}) {
    if (!text.isEmpty()) QTest::keyClicks(QApplication::focusWidget(), text);
    if (key != Qt::Key_unknown) QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

class FrameGridEditsTest : public QObject {
    Q_OBJECT
private slots:
    void editSaveAndViewScriptInTheWindow();
    void unsavedEditsAreNotThrownAwayWithoutAsking();
    void aNewRowTypedWithTabIsOneRecord();
    void deletedRowsStayMarkedUntilSavedOrDiscarded();
    void multiLineValuesAndLeavingTheWindowCommit();
    void quotedNamesAndOtherSchemasAreEditable();
    void datesAreTypedInIsoOrAsShown();
};

void FrameGridEditsTest::editSaveAndViewScriptInTheWindow() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    auto* model = OpenGrid(h, "create table fruit (id integer primary key, name varchar(20));\n"
                              "insert into fruit values (1, 'apple');\ninsert into fruit values (2, 'pear');\n",
                           "select id, name from fruit order by id;\n");
    QVERIFY(model);
    ResultGrid* grid = h.Frame().ResultsView().Grids().CurrentGrid();
    QCOMPARE(model->rowCount(), 3); // two rows and the empty one
    QVERIFY2(!model->data(model->index(0, 1), EditableResultSetModel::ReadOnlyRole).toBool(),
             qPrintable(model->data(model->index(0, 1), Qt::ToolTipRole).toString()));
    grid->setFocus();
    grid->setCurrentIndex(model->index(0, 1));
    QApplication::processEvents();
    const QList<QAction*>& actions = h.Frame().Actions().GridEditActions();
    QVERIFY(!actions[0]->isEnabled()); // nothing to save yet
    QVERIFY(actions[3]->isEnabled());  // Delete Row on a fetched row

    // A value too long for the column is refused with the column's size.
    QVERIFY(!model->setData(model->index(0, 1), QString(21, QChar('x'))));
    QVERIFY(h.Prompts().messages.contains(QStringLiteral("The value entered exceed maximum length of 20")));
    QVERIFY(model->setData(model->index(0, 1), QStringLiteral("it's")));
    QVERIFY(model->setData(model->index(2, 0), QStringLiteral("3")));
    QVERIFY(model->setData(model->index(2, 1), QStringLiteral("plum")));
    QVERIFY(actions[0]->isEnabled());
    grid->setCurrentIndex(model->index(3, 0)); // the empty row
    QApplication::processEvents();
    QVERIFY(!actions[3]->isEnabled());

    // View edits as SQL script: the script in the server's dialect, copied by the dialog's Copy.
    grid->setCurrentIndex(model->index(0, 1));
    PressInNextDialog("copy");
    PressInNextDialog("close", 150);
    actions[2]->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("UPDATE fruit SET\r\n\tname = 'it''s'\r\nWHERE\r\n\tid = 1;\r\n"
                            "INSERT INTO fruit (id, name)\r\nVALUES (3, 'plum');\r\n"));

    actions[0]->trigger();
    QVERIFY2(h.Prompts().messages.size() == 1, qPrintable(h.Prompts().messages.join('\n')));
    QVERIFY(!model->Edits().HasUnsavedEdits());
    QVERIFY(!actions[0]->isEnabled());
    QCOMPARE(Rows(h, "select name from fruit order by id"), QStringList({"it's", "pear", "plum"}));
    grid->CopyAll(); // the grid menu's Copy All: every cell, the empty row left out
    QVERIFY(QApplication::clipboard()->text().endsWith(QStringLiteral("\n2\tpear\n3\tplum")));
}

void FrameGridEditsTest::unsavedEditsAreNotThrownAwayWithoutAsking() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    auto* model = OpenGrid(h, "create table veg (id integer primary key, name varchar(20));\n"
                              "insert into veg values (1, 'leek');\n",
                           "select id, name from veg;\n");
    QVERIFY(model);
    GridsPane& grids = h.Frame().ResultsView().Grids();
    QVERIFY(model->setData(model->index(0, 1), QStringLiteral("onion")));

    // Clear results: "no" keeps the grid and its edits.
    h.Prompts().yesNoAnswers = {false};
    h.Frame().ResultsView().Clear();
    QCOMPARE(grids.GridCount(), 1);
    QVERIFY(h.Prompts().yesNoAnswers.empty()); // it was asked
    // Truncation after the next run: the earlier grid stays unless the user agrees.
    SetTruncateResults(h.Frame().Profile(), true);
    h.Prompts().yesNoAnswers = {false};
    QVERIFY(h.RunScript());
    QCOMPARE(grids.GridCount(), 2);
    // Closing the window asks too.
    h.Prompts().saveAnswers = {SaveAnswer::No};
    h.Prompts().yesNoAnswers = {false};
    QVERIFY(!h.Frame().close());
    QVERIFY(h.Prompts().yesNoAnswers.empty());
    // Without unsaved edits nothing is asked.
    model->Edits().DiscardEdits();
    model->Refresh();
    h.Frame().ResultsView().Clear();
    QCOMPARE(grids.GridCount(), 0);
}

void FrameGridEditsTest::aNewRowTypedWithTabIsOneRecord() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    auto* model = OpenGrid(h, "create table pet (id integer primary key, name varchar(20), age integer);\n"
                              "insert into pet values (1, 'Rex', 3);\n",
                           "select id, name, age from pet order by id;\n");
    QVERIFY(model);
    auto* grid = h.Frame().ResultsView().Grids().CurrentGrid();
    grid->setCurrentIndex(model->index(1, 0)); // the empty row
    Type("5", Qt::Key_Tab);
    Type("Evelyn Montgomery", Qt::Key_Tab);
    // The column grows to show the value typed whole.
    QVERIFY(grid->columnWidth(1) > grid->fontMetrics().horizontalAdvance(QStringLiteral("Evelyn Montgomery")));
    Type("30", Qt::Key_Tab); // round to the row's first cell, not on to the next row
    QCOMPARE(grid->currentIndex(), model->index(1, 0));
    Type({}, Qt::Key_Backtab);
    QCOMPARE(grid->currentIndex(), model->index(1, 2));
    Type({}, Qt::Key_Escape);
    QCOMPARE(model->rowCount(), 3); // the row, the new one, the empty one
    h.Frame().Actions().GridEditActions()[0]->trigger();
    QCOMPARE(Rows(h, "select id, name, age from pet order by id"), QStringList({"1|Rex|3", "5|Evelyn Montgomery|30"}));
}

void FrameGridEditsTest::deletedRowsStayMarkedUntilSavedOrDiscarded() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    auto* model = OpenGrid(h, "create table box (id integer primary key, tag varchar(5));\n"
                              "insert into box values (1, 'a'); insert into box values (2, 'b');\n"
                              "insert into box values (3, 'c');\n",
                           "select id, tag from box order by id;\n");
    QVERIFY(model);
    auto* grid = h.Frame().ResultsView().Grids().CurrentGrid();
    QAction* newScript = h.Frame().Actions().Action(Command::New);
    QVERIFY(newScript->isEnabled()); // a grid with the focus holds nothing back
    grid->setCurrentIndex(model->index(1, 1));
    grid->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(1, 1)),
                                   QItemSelectionModel::ClearAndSelect);
    Type({}, Qt::Key_Delete);
    QCOMPARE(model->rowCount(), 4); // still shown, in place
    QCOMPARE(grid->currentIndex().row(), 1);
    for (int row : {0, 1}) {
        QCOMPARE(model->data(model->index(row, 1), EditableResultSetModel::RowStateRole).toInt(), 4);
        QVERIFY(model->data(model->index(row, 1), Qt::FontRole).value<QFont>().strikeOut());
    }
    QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QStringLiteral("1 ×"));
    QVERIFY(!newScript->isEnabled());
    // The caption counts what Save edits would still do.
    auto* caption = grid->parentWidget()->findChild<QLabel*>();
    QTRY_COMPARE(caption->text(), QStringLiteral("Result 1: 1 row from box (not saved: 2 deleted)"));
    // Discard asks first: "no" keeps the deletions, "yes" restores the rows.
    QAction* discard = h.Frame().Actions().GridEditActions()[1];
    h.Prompts().yesNoAnswers = {false};
    discard->trigger();
    QCOMPARE(model->RowState(0), 4);
    h.Prompts().yesNoAnswers = {true};
    discard->trigger();
    QCOMPARE(model->RowState(0), 0);
    QVERIFY(newScript->isEnabled());
    grid->setCurrentIndex(model->index(1, 0));
    h.Frame().Actions().GridEditActions()[3]->trigger(); // Delete Row
    h.Frame().Actions().GridEditActions()[0]->trigger();
    QCOMPARE(model->rowCount(), 3); // gone once saved
    QTRY_COMPARE(caption->text(), QStringLiteral("Result 1: 2 rows from box"));
    QCOMPARE(Rows(h, "select id, tag from box order by id"), QStringList({"1|a", "3|c"}));
}

void FrameGridEditsTest::multiLineValuesAndLeavingTheWindowCommit() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    auto* model = OpenGrid(h, "create table memo (id integer primary key, body varchar(50));\n"
                              "insert into memo values (1, 'one' || char(13, 10) || 'two');\n"
                              "insert into memo values (2, 'x');\n",
                           "select id, body from memo order by id;\n");
    QVERIFY(model);
    auto* grid = h.Frame().ResultsView().Grids().CurrentGrid();
    grid->setCurrentIndex(model->index(0, 1));
    grid->edit(model->index(0, 1));
    QVERIFY(qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()));
    Type({}, Qt::Key_End, Qt::ControlModifier);
    Type({}, Qt::Key_Return); // a line break in the value, the editor stays open
    Type("three", Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()));
    // The editor of a one-line cell commits when another window takes the activation.
    grid->setCurrentIndex(model->index(1, 1));
    grid->edit(model->index(1, 1));
    Type({}, Qt::Key_End);
    Type("y");
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(model->data(model->index(1, 1)).toString(), QStringLiteral("xy"));
    h.Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.Frame()));
    h.Frame().Actions().GridEditActions()[0]->trigger();
    QCOMPARE(Rows(h, "select id, replace(body, char(13), '\\r') from memo order by id"),
             QStringList({"1|one\\r\ntwo\\r\nthree", "2|xy"}));
}

void FrameGridEditsTest::quotedNamesAndOtherSchemasAreEditable() {
    // A type with a Schema box (MS Access, the harness's usual type, has none).
    MARLIX_QT_FRAME_ON(h, Server::PostgreSQL, ConnectionType::Oracle);
    QVERIFY(h.RunScript("drop schema if exists \"Sales\" cascade; drop schema if exists ged_other cascade;\n"
                        "create schema \"Sales\"; create schema ged_other;\n"
                        "create table \"Sales\".\"Customer\" (id integer primary key, name varchar(9));\n"
                        "insert into \"Sales\".\"Customer\" values (1, 'Ann');\n"
                        "create table ged_other.item (id integer primary key, name varchar(9), u uuid);\n"
                        "insert into ged_other.item values (1, 'nut', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11');\n"));
    // The Schema box on a third schema: the grids' tables are in none of the browser's folders.
    h.Frame().ObjectBrowser().RefreshSchemaList();
    QComboBox* box = h.Frame().Selection().SchemaBox();
    const int pub = box->findText(QStringLiteral("public"));
    box->setCurrentIndex(pub);
    emit box->activated(pub);
    const struct {
        const char* select;
        const char* check;
    } cases[] = {{"select id, name from \"Sales\".\"Customer\";\n", "select name from \"Sales\".\"Customer\""},
                 {"select * from GED_OTHER.Item;\n", "select name from ged_other.item"}};
    for (const auto& c : cases) {
        auto* model = OpenGrid(h, {}, QString::fromLatin1(c.select));
        QVERIFY(model);
        QVERIFY2(!model->data(model->index(0, 1), EditableResultSetModel::ReadOnlyRole).toBool(),
                 qPrintable(model->data(model->index(0, 1), Qt::ToolTipRole).toString()));
        QVERIFY(model->setData(model->index(0, 1), QStringLiteral("Bo")));
        // Save edits is enabled by the frame's command update after the edit, as for a user's click.
        QTRY_VERIFY(h.Frame().Actions().GridEditActions()[0]->isEnabled());
        h.Frame().Actions().GridEditActions()[0]->trigger();
        QCOMPARE(Rows(h, c.check), QStringList({"Bo"}));
    }
    // A uuid is shown, edited and saved as its text.
    auto* model = OpenGrid(h, {}, QStringLiteral("select id, u from ged_other.item;\n"));
    QVERIFY(model);
    QCOMPARE(model->data(model->index(0, 1), Qt::EditRole).toString(),
             QStringLiteral("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11"));
    QVERIFY(model->setData(model->index(0, 1), QStringLiteral("{B0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A12}")));
    QTRY_VERIFY(h.Frame().Actions().GridEditActions()[0]->isEnabled());
    h.Frame().Actions().GridEditActions()[0]->trigger();
    QCOMPARE(Rows(h, "select u::text from ged_other.item"), QStringList({"b0eebc99-9c0b-4ef8-bb6d-6bb9bd380a12"}));
}

QTEST_MAIN(FrameGridEditsTest)
#include "FrameGridEditsTest.moc"

void FrameGridEditsTest::datesAreTypedInIsoOrAsShown() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    auto* model = OpenGrid(h, "create table trip (id integer primary key, day date, at timestamp);\n"
                              "insert into trip values (1, '2024-01-02', '2024-01-02 08:00:00');\n",
                           "select id, day, at from trip;\n");
    QVERIFY(model);
    auto* grid = h.Frame().ResultsView().Grids().CurrentGrid();
    grid->setCurrentIndex(model->index(0, 1));
    // A refused text stays in the reopened editor, and the message names the forms read.
    Type({}, Qt::Key_F2);
    Type("2024-13-01", Qt::Key_Return);
    QTRY_VERIFY(h.Prompts().messages.value(0).endsWith("shows it (04.01.2024) or in ISO 8601 order (2024-04-01)."));
    QLineEdit* editor = nullptr;
    QTRY_VERIFY((editor = qobject_cast<QLineEdit*>(QApplication::focusWidget())));
    QCOMPARE(editor->text(), QStringLiteral("2024-13-01"));
    editor->setText(QStringLiteral("2024-04-01 14:30:00")); // a date column keeps the day
    Type({}, Qt::Key_Tab);                                  // on to the next cell's editor
    Type("2024-04-01T14:30:00", Qt::Key_Return);
    QTRY_VERIFY(QApplication::focusWidget() == grid);
    h.Frame().Actions().GridEditActions()[0]->trigger();
    QCOMPARE(Rows(h, "select day || '|' || at from trip"), QStringList({"2024-04-01|2024-04-01 14:30:00.000"}));
}
