// The results menus' conversions in the window: Copy as puts the engine's text for the Target
// platform on the clipboard, a conversion the engine refuses reaches the Execution history and
// leaves the clipboard alone, and Convert to writes the chosen type into the script.
#include "core/MemoryTextSink.h"
#include "core/ResultSet.h"
#include "core/SyntaxException.h"
#include "metadata/AnalysedScript.h"
#include "results/grid/GridsPane.h"
#include "results/grid/ResultGrid.h"
#include "results/grid/ResultSetModel.h"
#include "results/view/SQLResultsView.h"
#include "transform/ScriptGenerator.h"
#include "workspace/FrameHarness.h"
#include "workspace/browser/KeySelectionDialog.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/RunCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <optional>
#include <tuple>

using namespace marlix;
using namespace marlix::test;

namespace {

// The engine's own text for a conversion, or its refusal.
struct Conversion {
    QString text;
    std::optional<QString> refusal;
};

Conversion Convert(ResultSet& result, StatementType type, Dialect dialect) {
    MemoryTextSink sink(MemoryTextSink::kClipboardSize);
    sink.SetGrowable(true);
    try {
        ConvertResultSet(result, type, DefaultContext(dialect), sink);
    } catch (const CSyntaxException& e) {
        return {{}, QString::fromStdString(e.Message())};
    }
    return {QString::fromUtf8(sink.Data(), static_cast<qsizetype>(sink.Length())), std::nullopt};
}

QAction* ActionFor(const QList<QAction*>& actions, StatementType type) {
    for (QAction* action : actions)
        if (action->data().toInt() == static_cast<int>(type)) return action;
    return nullptr;
}

void MakeCurrent(ResultGrid& grid) {
    grid.setFocus();
    emit grid.gridActivated(&grid); // also where the pane has no room to show it
    grid.setCurrentIndex(grid.Model().index(0, 1));
    QApplication::processEvents();
}

} // namespace

class FrameConversionTest : public QObject {
    Q_OBJECT
private slots:
    void copyAsUpsertPutsTheEnginesTextOrReportsItsRefusal();
};

void FrameConversionTest::copyAsUpsertPutsTheEnginesTextOrReportsItsRefusal() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QVERIFY(h.RunScript(QStringLiteral("create table fruit (id integer primary key, name varchar(20));\n"
                                       "insert into fruit values (1, 'apple');\n"
                                       "insert into fruit values (2, 'it''s');\n")));
    // The first result names its key field in its block; the second has none.
    QVERIFY(
        h.RunScript(QStringLiteral("/*METADATA>\n"
                                   "\t<RESULTSET Type = \"SELECT\", Source = \"fruit\", Table = \"fruit\">\n"
                                   "\t\t<KEYS>\n\t\t\t<KEY_id Field = \"id\"/>\n\t\t</KEYS>\n\t</RESULTSET>\n"
                                   "</METADATA*/\n"
                                   "select id, name from fruit order by id;\n"
                                   "select id, name from fruit order by id;\n"
                                   "select id, name from fruit where id = 2;\n")));
    GridsPane& grids = h.Frame().ResultsView().Grids();
    QCOMPARE(grids.GridCount(), 3);
    ResultGrid& keyed = *grids.GridAt(0);
    ResultGrid& keyless = *grids.GridAt(1);
    FrameActions& actions = h.Frame().Actions();
    QAction* copyAsUpsert = ActionFor(actions.CopyAsActions(), StatementType::UPSERT);
    QVERIFY(copyAsUpsert);
    QClipboard& clipboard = *QApplication::clipboard();
    const QString held = QStringLiteral("what the clipboard held");

    // SQLite with a key: the upsert text for the Target platform, on the clipboard.
    MakeCurrent(keyed);
    h.Frame().Connection().ChooseTargetPlatform(Dialect::SQLITE);
    QCOMPARE(h.Frame().CurrentDialect(), Dialect::SQLITE);
    QVERIFY(copyAsUpsert->isEnabled());
    clipboard.setText(held);
    copyAsUpsert->trigger();
    const Conversion upsert = Convert(*keyed.Model().SharedResult(), StatementType::UPSERT, Dialect::SQLITE);
    QVERIFY2(!upsert.refusal, qPrintable(upsert.refusal.value_or(QString())));
    QCOMPARE(clipboard.text(), upsert.text);
    QVERIFY2(upsert.text.contains(QStringLiteral("ON CONFLICT")), qPrintable(upsert.text));
    QVERIFY(upsert.text.contains(QStringLiteral("'it''s'")));

    // Refusals: a target without an upsert. The engine's message reaches the history, the
    // clipboard keeps its text, the window goes on.
    struct Refused {
        ResultGrid* grid;
        Dialect dialect;
    };
    for (const Refused& row : {Refused{&keyed, Dialect::GENERIC}, Refused{&keyed, Dialect::ACCESS}}) {
        MakeCurrent(*row.grid);
        h.Frame().Connection().ChooseTargetPlatform(row.dialect);
        const Conversion refused =
            Convert(*row.grid->Model().SharedResult(), StatementType::UPSERT, row.dialect);
        QVERIFY2(refused.refusal, qPrintable(refused.text));
        clipboard.setText(held);
        const int before = h.HistoryText().count(*refused.refusal);
        copyAsUpsert->trigger();
        QCOMPARE(clipboard.text(), held);
        QCOMPARE(h.HistoryText().count(*refused.refusal), before + 1);
        QVERIFY(h.Prompts().messages.isEmpty());
    }
    // The error marker is on the refused statement where it is now: the Target platform choices
    // have put an OPTIONS block above it since it ran.
    const std::string& script = h.Frame().ScriptView().Script().Text();
    QVERIFY(script.find("<OPTIONS") < script.find("select id"));
    QCOMPARE(
        h.Frame().ScriptView().ErrorLine(),
        static_cast<int>(std::count(
            script.begin(), script.begin() + static_cast<std::ptrdiff_t>(script.find("select id")), '\n')));

    // Without key fields, Copy as and Convert to ask for them: Cancel leaves everything as it
    // was; OK names the rows by the chosen column and writes the KEYS into the statement's block.
    h.Frame().Connection().ChooseTargetPlatform(Dialect::SQLITE);
    QAction* convertToUpdate = ActionFor(actions.ConvertActions(), StatementType::UPDATE);
    const AnalysedScript& analysed = h.Frame().ScriptView().Script();
    for (auto [grid, action, ok, statement] : {std::tuple{&keyless, copyAsUpsert, false, 1},
                                               {&keyless, copyAsUpsert, true, 1},
                                               {grids.GridAt(2), convertToUpdate, true, 2}}) {
        MakeCurrent(*grid);
        clipboard.setText(held);
        QString offered;
        WhenShown<KeySelectionDialog>(
            [&](KeySelectionDialog& dialog) {
                offered = dialog.SourceBox()->currentText() + QString::number(dialog.ColumnList()->count());
                dialog.ColumnList()->item(0)->setSelected(true);
            },
            ok);
        action->trigger();
        QCOMPARE(offered, QStringLiteral("fruit2")); // the statement's table and its columns
        QCOMPARE(clipboard.text() == held, !ok || action == convertToUpdate);
        QCOMPARE(analysed.Statements()[statement].description.keyFields.size(), size_t{ok});
    }
    QCOMPARE(analysed.Statements()[2].description.type, StatementType::UPDATE);
    QVERIFY(!h.HistoryText().contains(QStringLiteral("no key fields")));

    // Convert to Upsert writes the type into the result's block and checks its entry.
    MakeCurrent(keyed);
    QAction* convertToUpsert = ActionFor(actions.ConvertActions(), StatementType::UPSERT);
    QVERIFY(convertToUpsert && convertToUpsert->isEnabled());
    convertToUpsert->trigger();
    QVERIFY2(h.Frame().ScriptView().Script().Text().find("Type = \"UPSERT\"") != std::string::npos,
             h.Frame().ScriptView().Script().Text().c_str());
    QVERIFY(convertToUpsert->isChecked());
}

QTEST_MAIN(FrameConversionTest)
#include "FrameConversionTest.moc"
