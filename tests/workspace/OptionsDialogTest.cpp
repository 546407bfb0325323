// The Options dialog as the user meets it: tabs and their page, samples as patterns are typed,
// OK, Apply, Cancel and Defaults against a profile, "100abc" as a limit, Apply and OK held back
// while a batch runs, and its help. Which values each tab edits, under which names they are
// stored and which tabs share one are OptionsModelTest's.
#include "workspace/options/OptionsDialog.h"
#include "core/DialectSettings.h"
#include "workspace/OptionsProfiles.h"
#include "workspace/help/HelpWindow.h"
#include "workspace/options/DialectSettingsPage.h"
#include "workspace/options/ExecutionSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>

#include <climits>

using namespace marlix;
using namespace marlix::test;

namespace {

constexpr int kMsSql = 0, kOracle = 1, kMySql = 2;

void Click(OptionsDialog& dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dialog.Button(which), Qt::LeftButton);
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// The dialog shown on a profile, and what the window keeps: the records the dialog hands over
// on Apply and OK.
struct Shown {
    MemoryProfileStore profile;
    DialectSettingsSet settings = DefaultDialectSettingsSet();
    OptionsDialog dialog;
    explicit Shown(MemoryProfileStore start = {}) : profile(std::move(start)), dialog(profile) {
        QObject::connect(&dialog, &OptionsDialog::settingsStored,
                         [this](const DialectSettingsSet& stored) { settings = stored; });
        dialog.show();
    }
    const DialectSettings& Of(Dialect dialect) const { return settings[static_cast<int>(dialect)]; }
};

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void tabsShowTheirRecordAndKeepEditsAcrossTabChanges();
    void samplesFollowThePatternsAndTheQuoteBox();
    void okWithoutChangesKeepsEveryValue();
    void defaultsThenOkStoresFactoryValues();
    void applyThenCancelKeepsTheAppliedValues();
    void applyAndOkWaitWhileABatchRuns();
    void helpOpensTheOptionsTopic();
};

void OptionsDialogTest::tabsShowTheirRecordAndKeepEditsAcrossTabChanges() {
    Shown s;
    // What each tab shows is OptionsModelTest's; here the labels and the page follow the tab.
    for (int tab = 0; tab < kOptionsTabCount; ++tab)
        QCOMPARE(s.dialog.Tabs()->tabText(tab), QString::fromLatin1(kTabs[tab].label));
    QVERIFY(s.dialog.findChild<QCheckBox*>(QStringLiteral("suppressBlobs"))->isChecked());
    // The dialog is wide enough for its tabs without hiding any of them behind scroll buttons.
    int tabsWidth = 0;
    for (int tab = 0; tab < s.dialog.Tabs()->count(); ++tab)
        tabsWidth += s.dialog.Tabs()->tabRect(tab).width();
    QVERIFY2(tabsWidth <= s.dialog.Tabs()->width(), qPrintable(QString::number(tabsWidth)));
    QVERIFY(s.dialog.width() < 900);

    // An edit on one tab is neither lost by showing another nor shown there.
    s.dialog.SelectTab(kOracle);
    Retype(s.dialog.Page()->DatePattern(), QStringLiteral("d/m/y"));
    s.dialog.Page()->AlwaysDateTime()->click();
    s.dialog.SelectTab(kMySql);
    QCOMPARE(s.dialog.Page()->DatePattern()->text(), QStringLiteral("Y-m-d"));
    QVERIFY(!s.dialog.Page()->AlwaysDateTime()->isChecked());
    s.dialog.SelectTab(kOracle);
    QCOMPARE(s.dialog.Page()->DatePattern()->text(), QStringLiteral("d/m/y"));
    QVERIFY(!s.dialog.Page()->AlwaysDateTime()->isChecked());
    Click(s.dialog, QDialogButtonBox::Ok);
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateOracle"), std::string("d/m/y"));
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateTimeOracle"), std::string("0"));
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateMy"), std::string("Y-m-d"));
}

// The samples of each dialect are OptionsModelTest's; here they follow what is typed.
void OptionsDialogTest::samplesFollowThePatternsAndTheQuoteBox() {
    Shown s;
    s.dialog.SetSampleMoment(June27());
    DialectSettingsPage& page = *s.dialog.Page();
    QVERIFY(page.SampleDate()->isReadOnly());

    s.dialog.SelectTab(kMySql);
    Retype(page.DatePattern(), QStringLiteral("B d, Y"));
    QCOMPARE(page.SampleDate()->text(), QStringLiteral("'June 27, 2004'"));
    Retype(page.TimePattern(), QStringLiteral("I.M p"));
    QCOMPARE(page.SampleDateTime()->text(), QStringLiteral("'June 27, 2004 10.20 AM'"));
    page.DatesInQuotes()->click();
    QCOMPARE(page.SampleDate()->text(), QStringLiteral("June 27, 2004"));
    QCOMPARE(page.SampleDateTime()->text(), QStringLiteral("June 27, 2004 10.20 AM"));
    // Another tab shows its own samples again (SQL Server's dates always with their time).
    s.dialog.SelectTab(kMsSql);
    QCOMPARE(page.SampleDate()->text(), QStringLiteral("'06.27.2004 10:20:30.000'"));
    QCOMPARE(page.SampleDateTime()->text(), QStringLiteral("'06.27.2004 10:20:30.000'"));
}

void OptionsDialogTest::okWithoutChangesKeepsEveryValue() {
    MemoryProfileStore start = ChangedProfile();
    start.WriteString(kSettingsSection, "DateIB", "é d.m.Y"); // not ASCII
    const auto before = Snapshot(start);
    Shown s(std::move(start));
    // Visiting every tab puts its page's values back into the working copy.
    for (int tab = kOptionsTabCount - 1; tab >= 0; --tab)
        s.dialog.SelectTab(tab);
    Click(s.dialog, QDialogButtonBox::Ok);
    QCOMPARE(s.dialog.result(), int(QDialog::Accepted));
    QVERIFY(Snapshot(s.profile) == before);
    QCOMPARE(s.Of(Dialect::FIREBIRD).datePattern, std::string("é d.m.Y"));
}

void OptionsDialogTest::defaultsThenOkStoresFactoryValues() {
    Shown s(ChangedProfile());
    s.dialog.SelectTab(kOracle);
    QVERIFY(s.dialog.Page()->Autocommit()->isChecked()); // the changed s.profile has Oracle on
    s.dialog.Page()->Autocommit()->click();
    Click(s.dialog, QDialogButtonBox::RestoreDefaults);
    QCOMPARE(s.dialog.Page()->DatePattern()->text(), QStringLiteral("\"TIMESTAMP '\"Y-m-d"));
    QVERIFY(s.dialog.Page()->Autocommit()->isChecked());
    QCOMPARE(s.dialog.RowLimit()->text(), QStringLiteral("0"));
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateOracle"), std::string("<DateOracle>")); // not yet
    Click(s.dialog, QDialogButtonBox::Ok);
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateOracle"), std::string("\"TIMESTAMP '\"Y-m-d"));
    QCOMPARE(GetAutocommit(s.profile, ConnectionType::Oracle), 1);
    QCOMPARE(GetDatasetRowLimit(s.profile), 0);
}

void OptionsDialogTest::applyThenCancelKeepsTheAppliedValues() {
    Shown s;
    s.dialog.SelectTab(kMySql);
    Retype(s.dialog.Page()->DatePattern(), QStringLiteral("Y/m/d"));
    Retype(s.dialog.RowLimit(), QStringLiteral("100abc")); // read as its leading digits
    Retype(s.dialog.SizeLimit(), QStringLiteral("123456789012345"));
    Click(s.dialog, QDialogButtonBox::Apply);
    QVERIFY(s.dialog.isVisible());
    QCOMPARE(GetDatasetSizeLimit(s.profile), INT_MAX);
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateMy"), std::string("Y/m/d"));
    QCOMPARE(s.Of(Dialect::MYSQL).datePattern, std::string("Y/m/d"));

    Retype(s.dialog.Page()->DatePattern(), QStringLiteral("d-m-Y"));
    s.dialog.Page()->Autocommit()->click();
    Retype(s.dialog.RowLimit(), QStringLiteral("7"));
    Click(s.dialog, QDialogButtonBox::Cancel);
    QCOMPARE(s.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateMy"), std::string("Y/m/d"));
    QCOMPARE(s.Of(Dialect::MYSQL).datePattern, std::string("Y/m/d"));
    QCOMPARE(GetDatasetRowLimit(s.profile), 100);
    QCOMPARE(GetAutocommit(s.profile, ConnectionType::MySQL), 0);
}

void OptionsDialogTest::applyAndOkWaitWhileABatchRuns() {
    Shown s;
    s.dialog.SetBatchRunning(true);
    QVERIFY(!s.dialog.Button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(!s.dialog.Button(QDialogButtonBox::Apply)->isEnabled());
    QVERIFY(s.dialog.Button(QDialogButtonBox::Cancel)->isEnabled());
    Retype(s.dialog.Page()->DatePattern(), QStringLiteral("Y"));
    // Enter does not reach a disabled OK either.
    QTest::keyClick(s.dialog.Page()->DatePattern(), Qt::Key_Return);
    QVERIFY(s.dialog.isVisible());
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateMS"), std::string(kAbsent));

    s.dialog.SetBatchRunning(false);
    QVERIFY(s.dialog.Button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(s.dialog.Button(QDialogButtonBox::Apply)->isEnabled());
    Click(s.dialog, QDialogButtonBox::Ok);
    QCOMPARE(Stored(s.profile, kSettingsSection, "DateMS"), std::string("Y"));
    QCOMPARE(s.Of(Dialect::MSSQL).datePattern, std::string("Y"));
}

void OptionsDialogTest::helpOpensTheOptionsTopic() {
    Shown s;
    Click(s.dialog, QDialogButtonBox::Help);
    auto* help = s.dialog.findChild<HelpWindow*>();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->Browser()->source(), HelpTopicUrl(HelpTopic::Options)); // the page: HelpAndMenusTest
    help->close();
    QTRY_VERIFY(!s.dialog.findChild<HelpWindow*>());
    // F1 in the s.dialog asks for the same topic.
    s.dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.dialog));
    QTest::keyClick(s.dialog.Page()->DatePattern(), Qt::Key_F1);
    help = s.dialog.findChild<HelpWindow*>();
    QVERIFY(help);
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("topic1004"));
}

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
