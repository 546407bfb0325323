// The Options dialog as the user meets it: tabs and their page, samples as patterns are typed,
// OK, Apply, Cancel and Defaults against a profile, the autocommit box shared by two tabs,
// "12abc" as a limit, Apply and OK held back while a batch runs, and its help.
#include "workspace/options/OptionsDialog.h"
#include "core/DialectSettings.h"
#include "workspace/options/DialectSettingsPage.h"
#include "workspace/options/ExecutionSettings.h"
#include "workspace/help/HelpWindow.h"
#include "workspace/OptionsProfiles.h"

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

constexpr int kMsSql = 0, kOracle = 1, kMySql = 2, kFirebird = 4, kPostgreSql = 6, kSqlite = 7;

void Click(OptionsDialog& dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dialog.Button(which), Qt::LeftButton);
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// What the window keeps: the records the dialog hands over on Apply and OK.
struct HostCopy {
    DialectSettingsSet settings = DefaultDialectSettingsSet();
    void Follow(OptionsDialog& dialog) {
        QObject::connect(&dialog, &OptionsDialog::settingsStored,
                         [this](const DialectSettingsSet& stored) { settings = stored; });
    }
    const DialectSettings& Of(Dialect dialect) const { return settings[static_cast<int>(dialect)]; }
};

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void tabsShowTheirRecordAndKeepEditsAcrossTabChanges();
    void exactLiteralsAreChosenPerTab();
    void samplesFollowThePatternsAndTheQuoteBox();
    void okWithoutChangesKeepsEveryValue();
    void defaultsThenOkStoresFactoryValues();
    void limitTextIsReadAsItsLeadingDigits();
    void applyThenCancelKeepsTheAppliedValues();
    void autocommitChangedOnEitherSharedTabIsStored();
    void applyAndOkWaitWhileABatchRuns();
    void helpOpensTheOptionsTopic();
};

void OptionsDialogTest::tabsShowTheirRecordAndKeepEditsAcrossTabChanges() {
    MemoryProfileStore profile;
    OptionsDialog dialog(profile);
    dialog.show();
    QCOMPARE(dialog.Tabs()->count(), kOptionsTabCount);
    const QStringList labels = {"MS SQL",  "Oracle",     "MySQL", "MS Access", "Interbase/Firebird",
                                "Generic", "PostgreSQL", "SQLite"};
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        QCOMPARE(dialog.Tabs()->tabText(tab), labels[tab]);
        dialog.SelectTab(tab);
        QCOMPARE(dialog.Page()->DatePattern()->text(), QString::fromLatin1(kTabs[tab].defaultDate));
        QCOMPARE(dialog.Page()->TimePattern()->text(), QString::fromLatin1(kTabs[tab].defaultTime));
        QCOMPARE(dialog.Page()->DatesInQuotes()->isChecked(), kTabs[tab].defaultQuotes != 0);
        QCOMPARE(dialog.Page()->AlwaysDateTime()->isChecked(), kTabs[tab].defaultDateTime != 0);
        QVERIFY(!dialog.Page()->ExactLiterals()->isChecked());
        QCOMPARE(dialog.Page()->Autocommit()->isChecked(), kTabs[tab].defaultAutocommit != 0);
    }
    QCOMPARE(dialog.RowLimit()->text(), QStringLiteral("0"));
    QCOMPARE(dialog.SizeLimit()->text(), QStringLiteral("1"));
    QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("suppressBlobs"))->isChecked());

    // An edit on one tab is neither lost by showing another nor shown there.
    dialog.SelectTab(kOracle);
    Retype(dialog.Page()->DatePattern(), QStringLiteral("d/m/y"));
    dialog.Page()->AlwaysDateTime()->click();
    dialog.SelectTab(kMySql);
    QCOMPARE(dialog.Page()->DatePattern()->text(), QStringLiteral("Y-d-m"));
    QVERIFY(!dialog.Page()->AlwaysDateTime()->isChecked());
    dialog.SelectTab(kOracle);
    QCOMPARE(dialog.Page()->DatePattern()->text(), QStringLiteral("d/m/y"));
    QVERIFY(dialog.Page()->AlwaysDateTime()->isChecked());
    Click(dialog, QDialogButtonBox::Ok);
    QCOMPARE(Stored(profile, kSettingsSection, "DateOracle"), std::string("d/m/y"));
    QCOMPARE(Stored(profile, kSettingsSection, "DateTimeOracle"), std::string("1"));
    QCOMPARE(Stored(profile, kSettingsSection, "DateMy"), std::string("Y-d-m"));
}

void OptionsDialogTest::exactLiteralsAreChosenPerTab() {
    MemoryProfileStore profile;
    profile.WriteInt(kSettingsSection, "ExactMy", 1);
    HostCopy host;
    OptionsDialog dialog(profile);
    host.Follow(dialog);
    dialog.show();
    // The dialog is wide enough for its tabs without hiding any of them behind scroll buttons.
    int tabsWidth = 0;
    for (int tab = 0; tab < dialog.Tabs()->count(); ++tab)
        tabsWidth += dialog.Tabs()->tabRect(tab).width();
    QVERIFY2(tabsWidth <= dialog.Tabs()->width(), qPrintable(QString::number(tabsWidth)));
    QVERIFY(dialog.width() < 900);
    dialog.SelectTab(kMySql);
    QVERIFY(dialog.Page()->ExactLiterals()->isChecked());
    dialog.Page()->ExactLiterals()->click();
    dialog.SelectTab(kSqlite);
    QVERIFY(!dialog.Page()->ExactLiterals()->isChecked());
    dialog.Page()->ExactLiterals()->click();
    dialog.SelectTab(kPostgreSql);
    Retype(dialog.Page()->DatePattern(), QStringLiteral("d.m.Y"));
    QVERIFY(!dialog.Page()->ExactLiterals()->isChecked());
    dialog.SelectTab(kSqlite);
    QVERIFY(dialog.Page()->ExactLiterals()->isChecked());
    Click(dialog, QDialogButtonBox::Ok);
    for (const TabRow& row : kTabs) {
        const bool on = row.dialect == Dialect::SQLITE;
        QCOMPARE(Stored(profile, kSettingsSection, row.exact), std::string(on ? "1" : "0"));
        QCOMPARE(host.Of(row.dialect).exactLiterals, on);
    }
    QCOMPARE(Stored(profile, kSettingsSection, "DatePG"), std::string("d.m.Y"));
    QCOMPARE(Stored(profile, kSettingsSection, "DateSQLite"), std::string("Y-m-d"));
}

void OptionsDialogTest::samplesFollowThePatternsAndTheQuoteBox() {
    struct Row {
        const char* date;
        const char* dateTime;
    };
    const Row rows[kOptionsTabCount] = {
        {"'06.27.2004'", "'06.27.2004 10:20:30.000'"}, {"2004-27-06", "2004-27-06 10:20:30.000"},
        {"2004-27-06", "2004-27-06 10:20:30"},         {"06/27/2004", "06/27/2004 10:20:30"},
        {"2004-27-06", "2004-27-06 10:20:30"},         {"27.06.2004", "27.06.2004 10:20:30"},
        {"'2004-06-27'", "'2004-06-27 10:20:30.000'"}, {"'2004-06-27'", "'2004-06-27 10:20:30.000'"},
    };
    MemoryProfileStore profile;
    OptionsDialog dialog(profile);
    dialog.show();
    dialog.SetSampleMoment(June27());
    DialectSettingsPage& page = *dialog.Page();
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        dialog.SelectTab(tab);
        QCOMPARE(page.SampleDate()->text(), QString::fromLatin1(rows[tab].date));
        QCOMPARE(page.SampleDateTime()->text(), QString::fromLatin1(rows[tab].dateTime));
    }
    QVERIFY(page.SampleDate()->isReadOnly());

    dialog.SelectTab(kMySql);
    Retype(page.DatePattern(), QStringLiteral("B d, Y"));
    QCOMPARE(page.SampleDate()->text(), QStringLiteral("June 27, 2004"));
    Retype(page.TimePattern(), QStringLiteral("I.M p"));
    QCOMPARE(page.SampleDateTime()->text(), QStringLiteral("June 27, 2004 10.20 AM"));
    page.DatesInQuotes()->click();
    QCOMPARE(page.SampleDate()->text(), QStringLiteral("'June 27, 2004'"));
    QCOMPARE(page.SampleDateTime()->text(), QStringLiteral("'June 27, 2004 10.20 AM'"));
    // Another tab shows its own samples again.
    dialog.SelectTab(kMsSql);
    QCOMPARE(page.SampleDate()->text(), QStringLiteral("'06.27.2004'"));
}

void OptionsDialogTest::okWithoutChangesKeepsEveryValue() {
    MemoryProfileStore profile = ChangedProfile();
    profile.WriteString(kSettingsSection, "DateIB", "é d.m.Y"); // not ASCII
    const auto before = Snapshot(profile);
    HostCopy host;
    {
        OptionsDialog dialog(profile);
        host.Follow(dialog);
        dialog.show();
        // Visiting every tab puts its page's values back into the working copy.
        for (int tab = kOptionsTabCount - 1; tab >= 0; --tab)
            dialog.SelectTab(tab);
        Click(dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(Snapshot(profile) == before);
    QCOMPARE(host.Of(Dialect::FIREBIRD).datePattern, std::string("é d.m.Y"));
}

void OptionsDialogTest::defaultsThenOkStoresFactoryValues() {
    MemoryProfileStore profile = ChangedProfile();
    OptionsDialog dialog(profile);
    dialog.show();
    dialog.SelectTab(kOracle);
    QVERIFY(dialog.Page()->Autocommit()->isChecked()); // the changed profile has Oracle on
    dialog.Page()->Autocommit()->click();
    Click(dialog, QDialogButtonBox::RestoreDefaults);
    QCOMPARE(dialog.Page()->DatePattern()->text(), QStringLiteral("Y-d-m"));
    QVERIFY(dialog.Page()->Autocommit()->isChecked());
    QCOMPARE(dialog.RowLimit()->text(), QStringLiteral("0"));
    QCOMPARE(dialog.SizeLimit()->text(), QStringLiteral("1"));
    QCOMPARE(Stored(profile, kSettingsSection, "DateOracle"), std::string("<DateOracle>")); // not yet
    Click(dialog, QDialogButtonBox::Ok);
    for (const TabRow& row : kTabs) {
        QCOMPARE(Stored(profile, kSettingsSection, row.date), std::string(row.defaultDate));
        QCOMPARE(Stored(profile, kExecutionSettings, row.autocommit), std::string("1"));
    }
    QCOMPARE(GetDatasetRowLimit(profile), 0);
    QCOMPARE(GetDatasetSizeLimit(profile), 1);
}

void OptionsDialogTest::limitTextIsReadAsItsLeadingDigits() {
    MemoryProfileStore profile;
    OptionsDialog dialog(profile);
    dialog.show();
    Retype(dialog.SizeLimit(), QStringLiteral("12abc"));
    Retype(dialog.RowLimit(), QStringLiteral("123456789012345"));
    Click(dialog, QDialogButtonBox::Apply);
    QCOMPARE(GetDatasetSizeLimit(profile), 12);
    QCOMPARE(GetDatasetRowLimit(profile), INT_MAX);
    Retype(dialog.RowLimit(), QStringLiteral("none"));
    Click(dialog, QDialogButtonBox::Ok);
    QCOMPARE(GetDatasetRowLimit(profile), 0);
}

void OptionsDialogTest::applyThenCancelKeepsTheAppliedValues() {
    MemoryProfileStore profile;
    HostCopy host;
    OptionsDialog dialog(profile);
    host.Follow(dialog);
    dialog.show();
    dialog.SelectTab(kMySql);
    Retype(dialog.Page()->DatePattern(), QStringLiteral("Y/m/d"));
    Retype(dialog.RowLimit(), QStringLiteral("100"));
    Click(dialog, QDialogButtonBox::Apply);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Stored(profile, kSettingsSection, "DateMy"), std::string("Y/m/d"));
    QCOMPARE(host.Of(Dialect::MYSQL).datePattern, std::string("Y/m/d"));

    Retype(dialog.Page()->DatePattern(), QStringLiteral("d-m-Y"));
    dialog.Page()->Autocommit()->click();
    Retype(dialog.RowLimit(), QStringLiteral("7"));
    Click(dialog, QDialogButtonBox::Cancel);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Stored(profile, kSettingsSection, "DateMy"), std::string("Y/m/d"));
    QCOMPARE(host.Of(Dialect::MYSQL).datePattern, std::string("Y/m/d"));
    QCOMPARE(GetDatasetRowLimit(profile), 100);
    QCOMPARE(GetAutocommit(profile, ConnectionType::MySQL), 0);
}

void OptionsDialogTest::autocommitChangedOnEitherSharedTabIsStored() {
    for (int changedTab : {kMsSql, kFirebird}) {
        MemoryProfileStore profile;
        OptionsDialog dialog(profile);
        dialog.show();
        dialog.SelectTab(changedTab);
        QVERIFY(dialog.Page()->Autocommit()->isChecked());
        dialog.Page()->Autocommit()->click();
        // The other tab of the value shows the change at once.
        dialog.SelectTab(changedTab == kMsSql ? kFirebird : kMsSql);
        QVERIFY(!dialog.Page()->Autocommit()->isChecked());
        dialog.SelectTab(kOracle);
        Click(dialog, QDialogButtonBox::Ok);
        QCOMPARE(Stored(profile, kExecutionSettings, "Autocommit0"), std::string("0"));
        QCOMPARE(GetAutocommit(profile, ConnectionType::MicrosoftSQL), 0);
        QCOMPARE(GetAutocommit(profile, ConnectionType::InterbaseFirebird), 0);
    }
}

void OptionsDialogTest::applyAndOkWaitWhileABatchRuns() {
    MemoryProfileStore profile;
    HostCopy host;
    OptionsDialog dialog(profile);
    host.Follow(dialog);
    dialog.show();
    dialog.SetBatchRunning(true);
    QVERIFY(!dialog.Button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(!dialog.Button(QDialogButtonBox::Apply)->isEnabled());
    QVERIFY(dialog.Button(QDialogButtonBox::Cancel)->isEnabled());
    Retype(dialog.Page()->DatePattern(), QStringLiteral("Y"));
    // Enter does not reach a disabled OK either.
    QTest::keyClick(dialog.Page()->DatePattern(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Stored(profile, kSettingsSection, "DateMS"), std::string(kAbsent));
    QCOMPARE(host.Of(Dialect::MSSQL).datePattern, std::string("m.d.Y"));

    dialog.SetBatchRunning(false);
    QVERIFY(dialog.Button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(dialog.Button(QDialogButtonBox::Apply)->isEnabled());
    Click(dialog, QDialogButtonBox::Ok);
    QCOMPARE(Stored(profile, kSettingsSection, "DateMS"), std::string("Y"));
    QCOMPARE(host.Of(Dialect::MSSQL).datePattern, std::string("Y"));
}

void OptionsDialogTest::helpOpensTheOptionsTopic() {
    MemoryProfileStore profile;
    OptionsDialog dialog(profile);
    dialog.show();
    Click(dialog, QDialogButtonBox::Help);
    auto* help = dialog.findChild<HelpWindow*>();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->Browser()->source(), HelpTopicUrl(HelpTopic::Options));
    QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("Driver-specific settings")));
    help->close();
    QTRY_VERIFY(!dialog.findChild<HelpWindow*>());
    // F1 in the dialog asks for the same topic.
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.Page()->DatePattern(), Qt::Key_F1);
    help = dialog.findChild<HelpWindow*>();
    QVERIFY(help);
    QCOMPARE(help->Browser()->source().fragment(), QStringLiteral("topic1004"));
}

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
