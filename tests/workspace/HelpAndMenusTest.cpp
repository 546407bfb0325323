// The window's help, menus and About box: the help window at each topic from F1, Help Topics and
// numbered requests, its pages with their pictures and links, the toolbar's icons on the menu
// entries, the results menus' types and dialects with their keys, the Options command on the
// frame's profile (held back while a batch runs), and the About box with the version and its link.
#include "core/ProfileStore.h"
#include "workspace/FrameHarness.h"
#include "workspace/editor/DravelView.h"
#include "workspace/editor/ScriptEditor.h"
#include "workspace/frame/ExecutionController.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/RunCommands.h"
#include "workspace/frame/TargetPlatform.h"
#include "workspace/help/AboutBox.h"
#include "workspace/help/HelpTopics.h"
#include "workspace/help/HelpWindow.h"
#include "workspace/options/DialectSettingsPage.h"
#include "workspace/options/ExecutionSettings.h"
#include "workspace/options/OptionsDialog.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>

using namespace marlix;
using namespace marlix::test;

namespace {

QList<HelpWindow*> HelpWindowsOf(QWidget& owner) {
    return owner.findChildren<HelpWindow*>(Qt::FindDirectChildrenOnly);
}

// Every anchor name, link target and picture name of a document.
struct DocumentParts {
    QStringList anchors;
    QStringList links;
    QStringList images;
};

DocumentParts PartsOf(const QTextDocument& document) {
    DocumentParts parts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            parts.anchors += format.anchorNames();
            if (format.isAnchor() && !format.anchorHref().isEmpty()) parts.links += format.anchorHref();
            if (format.isImageFormat()) parts.images += format.toImageFormat().name();
        }
    }
    return parts;
}

QList<QAction*> MenuActions(const QList<QAction*>& actions) {
    QList<QAction*> all;
    for (QAction* action : actions) {
        all += action;
        if (QMenu* menu = action->menu()) all += MenuActions(menu->actions());
    }
    return all;
}

QList<int> Values(const QList<QAction*>& actions) {
    QList<int> values;
    for (QAction* action : actions)
        values += action->data().toInt();
    return values;
}

} // namespace

class HelpAndMenusTest : public QObject {
    Q_OBJECT
private slots:
    void helpWindowOpensAtEachTopicAndF1AtTheMainWindow();
    void helpPagesFindTheirPicturesAndLinks();
    void menusShowTheToolbarsIconsKeysTypesAndDialects();
    void optionsCommandWorksOnTheFrameProfile();
    void optionsApplyWaitsForTheRunningBatch();
    void aboutBoxShowsTheVersionAndAWorkingLink();
};

void HelpAndMenusTest::helpWindowOpensAtEachTopicAndF1AtTheMainWindow() {
    FrameHarness h;
    struct Row {
        int number;
        const char* heading;
    };
    // 1003 and 0 have no page of their own.
    const Row rows[] = {{1001, "Connecting to a database"}, {1002, "The main window"}, {1004, "The Options dialog"},
                        {1003, "The main window"},          {0, "The main window"}};
    for (const Row& row : rows) {
        ShowHelpTopic(&h.Frame(), row.number);
        const QList<HelpWindow*> windows = HelpWindowsOf(h.Frame());
        QCOMPARE(windows.size(), 1); // one help window, brought to the new topic
        HelpWindow& help = *windows.front();
        QVERIFY(help.isVisible());
        const QString anchor = QStringLiteral("topic%1").arg(static_cast<int>(HelpTopicOf(row.number)));
        QCOMPARE(help.Browser()->source().fragment(), anchor);
        QVERIFY2(PartsOf(*help.Browser()->document()).anchors.contains(anchor), qPrintable(anchor));
        QVERIFY2(help.Browser()->toPlainText().startsWith(QString::fromLatin1(row.heading)),
                 qPrintable(help.Browser()->toPlainText().left(60)));
    }
    HelpWindowsOf(h.Frame()).front()->close();
    QTRY_VERIFY(HelpWindowsOf(h.Frame()).isEmpty());
    h.Frame().activateWindow(); // F1 is the active window's
    QVERIFY(QTest::qWaitForWindowActive(&h.Frame()));

    // F1 and Help Topics open the main window's topic.
    QAction* topics = h.Frame().Actions().Action(Command::HelpTopics);
    QVERIFY(h.Frame().Enabled(Command::HelpTopics));
    QTest::keyClick(&*h.Frame().ScriptView().Editor(), Qt::Key_F1);
    QCOMPARE(HelpWindowsOf(h.Frame()).size(), 1);
    HelpWindow* help = HelpWindowsOf(h.Frame()).front();
    QCOMPARE(help->Browser()->source(), HelpTopicUrl(HelpTopic::MainWindow));

    // The Contents button and the links lead on; Help Topics comes back to the main window.
    QTest::mouseClick(help->findChild<QPushButton*>(), Qt::LeftButton);
    QCOMPARE(help->Browser()->source(), HelpContentsUrl());
    help->Browser()->setSource(HelpTopicUrl(HelpTopic::Options));
    topics->trigger();
    QCOMPARE(HelpWindowsOf(h.Frame()).size(), 1);
    QCOMPARE(help->Browser()->source(), HelpTopicUrl(HelpTopic::MainWindow));
}

void HelpAndMenusTest::helpPagesFindTheirPicturesAndLinks() {
    QTextBrowser browser;
    const QList<QUrl> pages = {HelpContentsUrl(), HelpTopicUrl(HelpTopic::Connecting),
                               HelpTopicUrl(HelpTopic::MainWindow), HelpTopicUrl(HelpTopic::Options)};
    int pictures = 0;
    for (const QUrl& page : pages) {
        browser.setSource(page);
        QVERIFY2(!browser.toPlainText().trimmed().isEmpty(), qPrintable(page.toString()));
        const DocumentParts parts = PartsOf(*browser.document());
        for (const QString& image : parts.images) {
            const QVariant data = browser.loadResource(QTextDocument::ImageResource, QUrl(image));
            const QImage picture = data.typeId() == QMetaType::QByteArray
                                       ? QImage::fromData(data.toByteArray())
                                       : data.value<QImage>();
            QVERIFY2(!picture.isNull(), qPrintable(image));
            QVERIFY2(picture.width() <= 800, qPrintable(image)); // kept small
            ++pictures;
        }
        for (const QString& link : parts.links) {
            const QUrl target = page.resolved(QUrl(link));
            if (target.scheme() != QStringLiteral("qrc")) {
                QCOMPARE(target.scheme(), QStringLiteral("https"));
                continue;
            }
            QVERIFY2(QFile::exists(QLatin1Char(':') + target.path()), qPrintable(link));
            if (target.hasFragment()) {
                QTextBrowser linked;
                linked.setSource(target);
                QVERIFY2(PartsOf(*linked.document()).anchors.contains(target.fragment()), qPrintable(link));
            }
        }
    }
    QVERIFY(pictures >= 3);
}

void HelpAndMenusTest::menusShowTheToolbarsIconsKeysTypesAndDialects() {
    FrameHarness h;
    FrameActions& actions = h.Frame().Actions();
    const QList<QAction*> menus = MenuActions(h.Frame().menuBar()->actions());
    int buttons = 0;
    for (QAction* button : actions.ToolBar()->actions()) {
        if (button->isSeparator()) continue;
        ++buttons;
        QVERIFY2(menus.contains(button), qPrintable(button->text())); // the same action: the same icon
        QVERIFY2(!button->icon().isNull(), qPrintable(button->text()));
        QVERIFY2(button->isIconVisibleInMenu(), qPrintable(button->text()));
    }
    QCOMPARE(buttons, 8);
    QCOMPARE(actions.ContextExecuteStatement()->icon().cacheKey(),
             actions.Action(Command::ExecuteStatement)->icon().cacheKey());

    // Keys are the actions' own shortcuts, which the menus show beside the text; none is
    // written into a text. F5, Ctrl+Return and F1 are pressed in the tests of their commands.
    const std::pair<Command, const char*> keys[] = {
        {Command::New, "Ctrl+N"}, {Command::Open, "Ctrl+O"}, {Command::Save, "Ctrl+S"}, {Command::Find, "Ctrl+F"}};
    for (const auto& [command, key] : keys) {
        QVERIFY(menus.contains(actions.Action(command)));
        QCOMPARE(actions.Action(command)->shortcut(), QKeySequence(QString::fromLatin1(key)));
    }
    QCOMPARE(actions.ExitAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    for (QAction* action : menus)
        QVERIFY2(!action->text().contains(QLatin1Char('\t')), qPrintable(action->text()));
    int keyed = 0;
    for (QAction* action : actions.EditorContextActions()) {
        if (action->shortcut().isEmpty()) continue;
        ++keyed;
        QVERIFY2(action->isShortcutVisibleInContextMenu(), qPrintable(action->text()));
    }
    QVERIFY(keyed >= 4); // Copy, Cut, Paste, Execute Script

    // The results menus offer every type and dialect, each with its own command.
    using T = StatementType;
    auto codes = [](std::initializer_list<T> types) {
        QList<int> values;
        for (T type : types)
            values += static_cast<int>(type);
        return values;
    };
    QCOMPARE(Values(actions.ConvertActions()), codes({T::SELECT, T::INSERT, T::UPDATE, T::DELETE, T::REPLACE,
                                                      T::INSERT_ARRAY, T::LOAD, T::UPSERT}));
    QCOMPARE(Values(actions.CopyAsActions()), codes({T::SELECT, T::INSERT, T::UPDATE, T::DELETE, T::UPSERT}));
    // "Use syntax of" lists the dialects in the order of the Target platform box.
    QList<int> platforms;
    for (const TargetPlatformEntry& entry : kTargetPlatforms)
        platforms += static_cast<int>(entry.dialect);
    QCOMPARE(Values(actions.SyntaxActions()), platforms);
    QCOMPARE(actions.SyntaxActions()[6]->text(), QStringLiteral("&PostgreSQL"));
    QCOMPARE(actions.SyntaxActions()[7]->text(), QStringLiteral("&SQLite"));
}

void HelpAndMenusTest::optionsCommandWorksOnTheFrameProfile() {
    MemoryProfileStore profile;
    FrameHarness h(&profile);
    QVERIFY(h.Frame().Enabled(Command::Options));
    h.Frame().Actions().Action(Command::Options)->trigger();
    auto* dialog = h.Frame().findChild<OptionsDialog*>();
    QVERIFY(dialog && dialog->isVisible() && dialog->isModal());
    dialog->SelectTab(5);
    dialog->Page()->DatePattern()->setText(QStringLiteral("Y.m.d"));
    dialog->SizeLimit()->setText(QStringLiteral("3"));
    QTest::mouseClick(dialog->Button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!h.Frame().findChild<OptionsDialog*>());
    QCOMPARE(profile.GetString("Settings", "DateDefault", ""), std::string("Y.m.d"));
    QCOMPARE(GetDatasetSizeLimit(profile), 3);
    QCOMPARE(h.Frame().ConversionSettings()[static_cast<int>(Dialect::GENERIC)].datePattern,
             std::string("Y.m.d"));

    // Truncate results of the Results menu and the getter agree, whoever writes.
    QAction* truncate = h.Frame().Actions().Action(Command::TruncateResults);
    QVERIFY(truncate->isChecked());
    truncate->trigger();
    QVERIFY(!GetTruncateResults(profile));
    QVERIFY(!truncate->isChecked());
    SetTruncateResults(profile, true);
    h.Frame().UpdateCommands();
    QVERIFY(truncate->isChecked());
}

void HelpAndMenusTest::optionsApplyWaitsForTheRunningBatch() {
    MemoryProfileStore profile;
    FrameHarness h(&profile);
    MARLIX_QT_CONNECT_OR_SKIP(h, Server::PostgreSQL);
    h.SetScript(QStringLiteral("select pg_sleep(30);"));
    h.Frame().Runs().ExecuteScript();
    QVERIFY(h.Frame().Execution().Running());
    QVERIFY(h.Frame().Enabled(Command::Options));
    h.Frame().Actions().Action(Command::Options)->trigger();
    auto* dialog = h.Frame().findChild<OptionsDialog*>();
    QVERIFY(dialog);
    QVERIFY(!dialog->Button(QDialogButtonBox::Ok)->isEnabled());
    h.Frame().Runs().Cancel();
    QVERIFY(h.WaitForBatchEnd(10000));
    QTRY_VERIFY(dialog->Button(QDialogButtonBox::Ok)->isEnabled()); // what Apply does: the test above
    dialog->reject();
}

void HelpAndMenusTest::aboutBoxShowsTheVersionAndAWorkingLink() {
    FrameHarness h;
    QCOMPARE(QString::fromLatin1(MarlixVersion()), QStringLiteral(MARLIX_VERSION));
    h.Frame().Actions().AboutAction()->trigger();
    auto* about = h.Frame().findChild<AboutBox*>();
    QVERIFY(about && about->isVisible());
    auto* title = about->findChild<QLabel*>(QStringLiteral("aboutTitle"));
    QVERIFY(title->text().contains(QStringLiteral("Marlix " MARLIX_VERSION)));
    QLabel* link = about->Link();
    QVERIFY(link->openExternalLinks());
    QVERIFY(link->textInteractionFlags() & Qt::LinksAccessibleByMouse);
    QVERIFY(link->text().contains(QStringLiteral("<a href=\"https://")));
    about->accept();
    QTRY_VERIFY(!h.Frame().findChild<AboutBox*>());
}

QTEST_MAIN(HelpAndMenusTest)
#include "HelpAndMenusTest.moc"
