// The window's own rules: where it opens, what Save acts on.
#include "workspace/FrameHarness.h"
#include "workspace/Mnemonics.h"

#include "catalog/KeySelectionModel.h"
#include "catalog/MetadataWizardModel.h"
#include "results/view/SQLResultsView.h"
#include "workspace/browser/KeySelectionDialog.h"
#include "workspace/browser/MetadataWizardDialog.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/connect/ConnectDialog.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/FindDialog.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/ScriptCommands.h"
#include "workspace/frame/SelectionBar.h"
#include "workspace/options/OptionsDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace marlix;
using namespace marlix::test;

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartOpensLargeAndCentred();
    void storedPlacementWins();
    void saveInTheResultsSavesTheResultsText();
    void narrowWindowKeepsEverySelectionBox();
    void everyMnemonicOfTheWindowIsItsOwn();
    void f6MovesTheFocusAcrossThePanes();
    void tablesAScriptCreatesAreListedAfterItsRun();
};

void WindowTest::firstStartOpensLargeAndCentred() {
    FrameHarness harness; // an empty profile: the user has placed nothing yet
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed = harness.Frame().geometry();
    QVERIFY2(placed.width() >= available.width() * 3 / 4 && placed.height() >= available.height() * 3 / 4,
             qPrintable(QStringLiteral("%1 wide on %2").arg(placed.width()).arg(available.width())));
    QVERIFY(qAbs(placed.center().x() - available.center().x()) <= 2);
}

void WindowTest::storedPlacementWins() {
    MemoryProfileStore profile;
    for (const auto& [name, value] : {std::pair("Left", 10), {"Top", 20}, {"Right", 910}, {"Bottom", 540}})
        profile.WriteInt("MainFrm", name, value);
    FrameHarness harness(&profile);
    QCOMPARE(harness.Frame().geometry().topLeft(), QPoint(10, 20));
    QCOMPARE(harness.Frame().geometry().width(), 900);
}

void WindowTest::saveInTheResultsSavesTheResultsText() {
    FrameHarness h;
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::SQLite);
    h.SetScript(QStringLiteral("select 'kept' as saved_word;"));
    QVERIFY(h.RunAndWait([](CMainFrame& frame) { frame.Runs().ExecuteScript(); }));
    h.Frame().Document().SetModified(false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.sql"));
    h.Prompts().saveFiles = {path};

    h.Frame().ResultsView().setFocus(); // Save now belongs to the Results pane
    QTRY_VERIFY(h.Frame().ResultsViewActive());
    h.Frame().UpdateCommands();
    QAction* save = h.Frame().Actions().Action(Command::Save);
    QVERIFY(save->isEnabled()); // though the script is unmodified
    save->trigger();            // no results file yet: it asks for one
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("saved_word"));
    QCOMPARE(h.Frame().Document().Path(), QString()); // the script was not saved there

    // Save As of the script puts it at the top of the recent files.
    h.Frame().ScriptView().FocusEditor();
    QTRY_VERIFY(!h.Frame().ResultsViewActive());
    const QString script = dir.filePath(QStringLiteral("kept.sql"));
    h.Prompts().saveFiles = {script};
    QVERIFY(h.Frame().Scripts().SaveAs());
    QCOMPARE(h.Frame().Scripts().RecentFiles().value(0), script);
}

void WindowTest::narrowWindowKeepsEverySelectionBox() {
    FrameHarness h;
    h.Frame().resize(640, 480);
    QTest::qWait(50);
    const SelectionBar& bar = h.Frame().Selection();
    for (QComboBox* box : {bar.DatabaseBox(), bar.SchemaBox(), bar.TargetPlatformBox()}) {
        QVERIFY(box->isVisible());
        const QRect shown(box->mapTo(&h.Frame(), QPoint(0, 0)), box->size());
        QVERIFY2(h.Frame().rect().contains(shown), qPrintable(box->currentText()));
    }
}

void WindowTest::everyMnemonicOfTheWindowIsItsOwn() {
    FrameHarness h;
    QVERIFY2(MnemonicClashes(h.Frame()).isEmpty(), qPrintable(MnemonicClashes(h.Frame()).join(' ')));
    // Each dialog in each of its states (the connect dialog shows other labels for each type):
    // a letter of its own for every control, and (but in the connect dialog, whose buttons are
    // its own) one for every label and button.
    CConnectDialog connect(h.Session(), h.Frame().Profile());
    OptionsDialog options(h.Frame().Profile());
    MetadataWizardModel newBlock({"t", "t", "", "Update", "", true}, h.Frame().ObjectBrowser().Columns());
    MetadataWizardDialog wizard(newBlock);
    KeySelectionModel keys({"t", "t", {"t"}}, h.Frame().ObjectBrowser().Columns());
    KeySelectionDialog keySelection(keys);
    FindDialog find(QStringLiteral("x"));
    std::vector<std::pair<QDialog*, std::function<void()>>> states = {
        {&wizard, [] {}}, {&keySelection, [] {}}, {&find, [] {}}, {&options, [] {}}};
    for (int type = 0; type < kConnectionTypeCount; ++type)
        states.emplace_back(&connect, [&connect, type] {
            connect.findChild<QRadioButton*>(QStringLiteral("type%1").arg(type))->click();
        });
    for (auto& [dialog, enter] : states) {
        dialog->show();
        enter();
        const QStringList faults =
            MnemonicClashes(*dialog) + (dialog == &connect ? QStringList() : WithoutMnemonic(*dialog));
        QVERIFY2(faults.isEmpty(),
                 qPrintable(dialog->windowTitle() + QStringLiteral(": ") + faults.join(' ')));
    }
}

void WindowTest::f6MovesTheFocusAcrossThePanes() {
    FrameHarness h;
    CMainFrame& frame = h.Frame();
    frame.ScriptView().FocusEditor();
    const auto focusedIn = [](QWidget* pane) {
        QWidget* focused = QApplication::focusWidget();
        return focused && (focused == pane || pane->isAncestorOf(focused));
    };
    QTest::keyClick(&frame, Qt::Key_F6);
    QTRY_VERIFY(focusedIn(&frame.ResultsView()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QTRY_VERIFY(focusedIn(&frame.ObjectBrowser()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QTRY_VERIFY(focusedIn(&frame.ScriptView()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    QTRY_VERIFY(focusedIn(&frame.ObjectBrowser()));
}

void WindowTest::tablesAScriptCreatesAreListedAfterItsRun() {
    FrameHarness h;
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::SQLite);
    const auto listed = [&h](const char* name) {
        for (const auto& table : h.Frame().ObjectBrowser().Folders().tables.tables)
            if (table->Label() == name) return true;
        return false;
    };
    h.SetScript(QStringLiteral("/* made here */ create table made_by_script (id int);"));
    QVERIFY(h.RunAndWait([](CMainFrame& frame) { frame.Runs().ExecuteScript(); }));
    QVERIFY(listed("made_by_script"));
    h.SetScript(QStringLiteral("drop table made_by_script;"));
    QVERIFY(h.RunAndWait([](CMainFrame& frame) { frame.Runs().ExecuteScript(); }));
    QVERIFY(!listed("made_by_script"));
}

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
