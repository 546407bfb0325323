// Script files in the window: the save question on close, Open and New, a failed Open, saving
// byte for byte with its own line ends, Results to file's checks, and the Target platform kept across starts.
#include "core/ProfileStore.h"
#include "core/qt/IniProfileStore.h"
#include "support/TestDatabases.h"
#include "workspace/FrameHarness.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/ScriptCommands.h"
#include "workspace/frame/SelectionBar.h"
#include "workspace/frame/TargetPlatform.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

using namespace marlix;
using namespace marlix::test;

namespace {

QString TempFile(const char* name, const QByteArray& bytes = {}) {
    const QString path = QString::fromStdString(TempPath(name));
    QFile::remove(path);
    if (!bytes.isNull()) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    return path;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void Type(FrameHarness& h, const QString& text) {
    (*h.Frame().ScriptView().Editor()).insertPlainText(text);
}

} // namespace

class FrameFilesTest : public QObject {
    Q_OBJECT
private slots:
    void closingAsksToSaveAndCancelKeepsTheWindow();
    void openAndNewAskFirstAndNewForgetsThePath();
    void failedOpenLeavesTheScriptAndLatin1SavesBack();
    void resultsToFileRefusesTheScriptAndAsksBeforeReplacing();
    void targetPlatformIsKeptForTheNextStart();
    void closingDuringARunCancelsItFirst();
    void linesTypedOrSavedKeepTheScriptsLineEnds();
};

void FrameFilesTest::closingAsksToSaveAndCancelKeepsTheWindow() {
    FrameHarness h;
    Type(h, QStringLiteral("select 1"));
    QVERIFY(h.Frame().Document().Modified());

    h.Prompts().saveAnswers = {SaveAnswer::Cancel};
    QVERIFY(!h.Frame().close());
    QCOMPARE(h.Prompts().asked.last(), QStringLiteral("save changes: [Untitled] "));

    // Yes on a never-saved script asks for a file; cancelling the chooser keeps the window open.
    h.Prompts().saveAnswers = {SaveAnswer::Yes};
    QVERIFY(!h.Frame().close());
    QVERIFY(h.Prompts().asked.last().startsWith(QStringLiteral("save file: ")));
    QVERIFY(h.Frame().Document().Modified());

    const QString path = TempFile("closing.sql");
    h.Prompts().saveAnswers = {SaveAnswer::Yes};
    h.Prompts().saveFiles = {path};
    QVERIFY(h.Frame().close());
    QCOMPARE(Bytes(path), QByteArray("select 1"));
}

void FrameFilesTest::openAndNewAskFirstAndNewForgetsThePath() {
    FrameHarness h;
    const QString first = TempFile("first.sql", "select 1;\nselect 2;\n");
    const QString second = TempFile("second.sql", "select 'second';\r\n");
    QVERIFY(h.Frame().Scripts().OpenPath(first));
    QCOMPARE((*h.Frame().ScriptView().Editor()).toPlainText(), QStringLiteral("select 1;\nselect 2;\n"));
    QVERIFY(!h.Frame().Document().Modified());

    Type(h, QStringLiteral("-- changed\n"));
    h.Prompts().saveAnswers = {SaveAnswer::Cancel};
    h.Frame().Scripts().Open();
    QCOMPARE(h.Frame().Document().Path(), first);
    QVERIFY(!h.Prompts().asked.contains(QStringLiteral("open file")));

    h.Prompts().saveAnswers = {SaveAnswer::No};
    h.Prompts().openFiles = {second};
    h.Frame().Scripts().Open();
    QCOMPARE(h.Frame().Document().Path(), second);
    QCOMPARE((*h.Frame().ScriptView().Editor()).toPlainText(), QStringLiteral("select 'second';\n"));
    QCOMPARE(Bytes(first), QByteArray("select 1;\nselect 2;\n"));

    Type(h, QStringLiteral("x"));
    h.Prompts().saveAnswers = {SaveAnswer::No};
    h.Frame().Scripts().New();
    QVERIFY(h.Frame().Document().Path().isEmpty());
    QVERIFY((*h.Frame().ScriptView().Editor()).toPlainText().isEmpty());
    // Save after New asks for a file instead of writing over the previous one.
    Type(h, QStringLiteral("select 3;"));
    h.Prompts().saveFiles = {QString()};
    QVERIFY(!h.Frame().Scripts().Save());
    QCOMPARE(Bytes(second), QByteArray("select 'second';\r\n"));
    QVERIFY(h.Frame().windowTitle().contains(QStringLiteral("[Untitled] ")));
}

void FrameFilesTest::failedOpenLeavesTheScriptAndLatin1SavesBack() {
    FrameHarness h;
    const QString good = TempFile("good.sql", "select 'kept';\n");
    QVERIFY(h.Frame().Scripts().OpenPath(good));
    Type(h, QStringLiteral("-- unsaved\n"));
    const QString text = (*h.Frame().ScriptView().Editor()).toPlainText();
    const QString title = h.Frame().windowTitle();

    const QString missing = TempFile("missing-folder/none.sql");
    QVERIFY(!h.Frame().Scripts().OpenPath(missing));
    QCOMPARE(h.Prompts().messages.size(), 1);
    QVERIFY2(h.Prompts().messages.first().startsWith(QStringLiteral("OS IO Error 2 when working with file ")),
             qPrintable(h.Prompts().messages.first()));
    QCOMPARE(h.Frame().Document().Path(), good);
    QCOMPARE((*h.Frame().ScriptView().Editor()).toPlainText(), text);
    QCOMPARE(h.Frame().windowTitle(), title);
    QVERIFY(h.Frame().Document().Modified());

    // A Latin-1 script is saved back byte for byte.
    h.Frame().Document().SetModified(false);
    const QByteArray latin1("select 'caf\xe9' as a;\r\n-- \xfc\r\n");
    const QString path = TempFile("latin1.sql", latin1);
    QVERIFY(h.Frame().Scripts().OpenPath(path));
    QVERIFY((*h.Frame().ScriptView().Editor()).toPlainText().contains(QStringLiteral("café")));
    QCOMPARE(h.Frame().Document().Encoding(), ScriptEncoding::Latin1);
    h.Frame().Document().SetModified(true);
    QVERIFY(h.Frame().Scripts().Save());
    QCOMPARE(Bytes(path), latin1);

    // A character Latin-1 cannot hold: the script is written as UTF-8 instead of losing it.
    Type(h, QStringLiteral("€"));
    QVERIFY(h.Frame().Scripts().Save());
    QVERIFY(Bytes(path).startsWith("\xe2\x82\xac"));
    QCOMPARE(h.Frame().Document().Encoding(), ScriptEncoding::Utf8);
}

void FrameFilesTest::resultsToFileRefusesTheScriptAndAsksBeforeReplacing() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    const QString script = TempFile("script-for-results.sql", "select 'row' as a;\n");
    QVERIFY(h.Frame().Scripts().OpenPath(script));

    h.Frame().Runs().ResultsToFilePath(script);
    QVERIFY(!h.Frame().Execution().Running());
    QCOMPARE(h.Prompts().messages.size(), 1);
    QCOMPARE(Bytes(script), QByteArray("select 'row' as a;\n"));

    const QString out = TempFile("results-out.sql", "old results");
    h.Prompts().yesNoAnswers = {false};
    h.Frame().Runs().ResultsToFilePath(out);
    QVERIFY(!h.Frame().Execution().Running());
    QCOMPARE(Bytes(out), QByteArray("old results"));

    h.Prompts().yesNoAnswers = {true};
    h.Frame().Runs().ResultsToFilePath(out);
    QVERIFY(h.WaitForBatchEnd());
    QVERIFY(Bytes(out).contains("row"));
    QVERIFY(h.ResultsText().isEmpty());
}

void FrameFilesTest::targetPlatformIsKeptForTheNextStart() {
    const QString ini = TempFile("target-platform.ini");
    {
        IniProfileStore profile(ini.toStdString());
        FrameHarness h(&profile);
        MARLIX_QT_CONNECT_OR_SKIP(h, Server::SQLite);
        QVERIFY(h.Frame().Selection().TargetPlatformBox()->isEnabled());
        h.Frame().Connection().ChooseTargetPlatform(Dialect::POSTGRESQL);
        QCOMPARE(profile.GetInt("Settings", "DefaultSyntax", -1), static_cast<int>(Dialect::POSTGRESQL));
        profile.Sync();
    }
    // The box's entry of each dialect is TargetPlatform's table (CommandStateTest).
    IniProfileStore profile(ini.toStdString());
    FrameHarness next(&profile);
    QCOMPARE(next.Frame().CurrentDialect(), Dialect::POSTGRESQL);
    QCOMPARE(next.Frame().Selection().TargetPlatformBox()->currentText(), QStringLiteral("PostgreSQL"));
    // Without a connection the box is disabled.
    QVERIFY(!next.Frame().Selection().TargetPlatformBox()->isEnabled());
}

void FrameFilesTest::closingDuringARunCancelsItFirst() {
    MARLIX_QT_FRAME_ON(h, Server::PostgreSQL);
    h.SetScript(QStringLiteral("select pg_sleep(60);"));
    h.Frame().Document().SetModified(true);
    h.Frame().Runs().ExecuteScript();
    QVERIFY(h.Frame().Execution().Running());

    h.Prompts().yesNoAnswers = {false};
    QVERIFY(!h.Frame().close());
    QVERIFY(h.Frame().Execution().Running());

    h.Prompts().yesNoAnswers = {true};
    h.Prompts().saveAnswers = {SaveAnswer::Cancel};
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!h.Frame().close()); // cancelled the run, then Cancel at the save question
    QVERIFY(timer.elapsed() < 20000);
    QVERIFY(!h.Frame().Execution().Running());
    QCOMPARE(h.Prompts().asked.last(), QStringLiteral("save changes: [PostgreSQL - Untitled] "));
    h.Frame().Document().SetModified(false);
}

QTEST_MAIN(FrameFilesTest)
#include "FrameFilesTest.moc"

void FrameFilesTest::linesTypedOrSavedKeepTheScriptsLineEnds() {
    MARLIX_QT_FRAME_ON(h, Server::SQLite);
    QPlainTextEdit& editor = *h.Frame().ScriptView().Editor();
    // Unchanged scripts of one line end and of several are saved back byte for byte.
    for (const QByteArray& bytes :
         {QByteArray("select 1;\nselect 'a\nb';\n"), QByteArray("select 1;\r\n'a\nb'\rc\r\n")}) {
        const QString path = TempFile("line-ends.sql", bytes);
        QVERIFY(h.Frame().Scripts().OpenPath(path));
        h.Frame().Document().SetModified(true);
        QVERIFY(h.Frame().Scripts().Save());
        QCOMPARE(Bytes(path), bytes);
    }
    // A line typed into the mixed script takes the end most of its lines have; the others keep theirs.
    editor.moveCursor(QTextCursor::Start);
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(QByteArray::fromStdString(std::string(h.Frame().ScriptView().Script().Text())),
             QByteArray("\r\nselect 1;\r\n'a\nb'\rc\r\n"));

    // A two-line literal typed into a new script (LF), then into a CR LF script, reaches the
    // server with the script's line end.
    h.Prompts().saveAnswers = {SaveAnswer::No};
    h.Frame().Scripts().New();
    for (const char* stored : {"'610A62'", "'610D0A62'"}) {
        editor.moveCursor(QTextCursor::End);
        QTest::keyClicks(
            &editor,
            QStringLiteral("create table if not exists u (v text); delete from u; insert into u values ('a"));
        QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClicks(&editor, QStringLiteral("b'); select hex(v) as bytes from u;"));
        QVERIFY(h.RunScript());
        QVERIFY2(h.ResultsText().contains(QLatin1StringView(stored)), qPrintable(h.ResultsText()));
        h.Frame().Document().SetModified(false);
        QVERIFY(h.Frame().Scripts().OpenPath(TempFile("crlf.sql", "select 1;\r\n")));
    }
}
