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
#include "workspace/options/ExecutionSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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

} // namespace

class FrameGridEditsTest : public QObject {
    Q_OBJECT
private slots:
    void editSaveAndViewScriptInTheWindow();
    void unsavedEditsAreNotThrownAwayWithoutAsking();
};

void FrameGridEditsTest::editSaveAndViewScriptInTheWindow() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QVERIFY(h.RunScript(QStringLiteral("create table fruit (id integer primary key, name varchar(20));\n"
                                       "insert into fruit values (1, 'apple');\n"
                                       "insert into fruit values (2, 'pear');\n")));
    h.Frame().ObjectBrowser().Reload(); // the catalog learns the new table and its key
    QVERIFY(h.RunScript(QStringLiteral("select id, name from fruit order by id;\n")));

    GridsPane& grids = h.Frame().ResultsView().Grids();
    QCOMPARE(grids.GridCount(), 1);
    ResultGrid* grid = grids.GridAt(0);
    auto* model = qobject_cast<EditableResultSetModel*>(&grid->Model());
    QVERIFY(model);
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

    // View edits as SQL script: the exact script, copied by the dialog's Copy.
    grid->setCurrentIndex(model->index(0, 1));
    PressInNextDialog("copy");
    PressInNextDialog("close", 150);
    actions[2]->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("UPDATE fruit SET\r\n\tname = 'it''s'\r\nWHERE\r\n\tid = 1\r\n"
                            "INSERT INTO fruit (id, name)\r\nVALUES (3, 'plum')\r\n\r\n"));

    actions[0]->trigger();
    QVERIFY2(h.Prompts().messages.size() == 1, qPrintable(h.Prompts().messages.join('\n')));
    QVERIFY(!model->Edits().HasUnsavedEdits());
    QVERIFY(!actions[0]->isEnabled());
    auto fetched = h.Frame().Session().Thread().Call([&] {
        return FetchQuery(h.Frame().Session().Connection(), "select name from fruit order by id").resultSet;
    });
    QCOMPARE(fetched->RowCount(), int64_t(3));
    QCOMPARE(QString::fromUtf8(fetched->Cell(0, 0).Text().data()), QStringLiteral("it's"));
    QCOMPARE(QString::fromUtf8(fetched->Cell(2, 0).Text().data()), QStringLiteral("plum"));
}

void FrameGridEditsTest::unsavedEditsAreNotThrownAwayWithoutAsking() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QVERIFY(h.RunScript(QStringLiteral("create table veg (id integer primary key, name varchar(20));\n"
                                       "insert into veg values (1, 'leek');\n")));
    h.Frame().ObjectBrowser().Reload();
    QVERIFY(h.RunScript(QStringLiteral("select id, name from veg;\n")));
    GridsPane& grids = h.Frame().ResultsView().Grids();
    auto* model = qobject_cast<EditableResultSetModel*>(&grids.GridAt(0)->Model());
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

QTEST_MAIN(FrameGridEditsTest)
#include "FrameGridEditsTest.moc"
