// The Options dialog's working copy: what it reads from the profile, what Apply and OK write
// there under which names, the shared autocommit value, the limits as typed and the samples.
#include "workspace/options/OptionsModel.h"
#include "core/DialectSettings.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "workspace/OptionsProfiles.h"
#include "workspace/options/ExecutionSettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace marlix;
using namespace marlix::test;

TEST(OptionsModelTest, TabsEditTheirDialectAndServerTypeUnderTheStoredNames) {
    MemoryProfileStore empty;
    OptionsModel model(empty);
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        const TabRow& row = kTabs[tab];
        EXPECT_STREQ(OptionsTabAt(tab).label, row.label);
        EXPECT_EQ(OptionsTabAt(tab).dialect, row.dialect) << row.label;
        EXPECT_EQ(OptionsTabAt(tab).serverType, row.serverType) << row.label;
        // Opening on an empty profile shows the stored defaults.
        const DialectPageValues& shown = model.Page(tab);
        EXPECT_EQ(shown.settings.datePattern, row.defaultDate) << row.label;
        EXPECT_EQ(shown.settings.timePattern, row.defaultTime) << row.label;
        EXPECT_EQ(shown.settings.datesInQuotes, row.defaultQuotes != 0) << row.label;
        EXPECT_EQ(shown.settings.alwaysDateTime, row.defaultDateTime != 0) << row.label;
        EXPECT_FALSE(shown.settings.exactLiterals) << row.label;
        EXPECT_EQ(shown.autocommit, row.defaultAutocommit != 0) << row.label;
    }
    EXPECT_EQ(model.RowLimitText(), "0");
    EXPECT_EQ(model.SizeLimitText(), "1");

    // Each tab's own values land under its own names.
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        DialectPageValues values;
        values.settings = {std::string("d") + std::to_string(tab), std::string("t") + std::to_string(tab),
                           tab % 2 == 0, tab % 3 == 0, tab % 2 == 1};
        values.autocommit = model.Page(tab).autocommit;
        model.SetPage(tab, values);
    }
    MemoryProfileStore profile;
    const DialectSettingsSet stored = model.Store(profile);
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        const TabRow& row = kTabs[tab];
        EXPECT_EQ(Stored(profile, kSettingsSection, row.date), "d" + std::to_string(tab)) << row.label;
        EXPECT_EQ(Stored(profile, kSettingsSection, row.time), "t" + std::to_string(tab)) << row.label;
        EXPECT_EQ(Stored(profile, kSettingsSection, row.quotes), tab % 2 == 0 ? "1" : "0") << row.label;
        EXPECT_EQ(Stored(profile, kSettingsSection, row.dateTime), tab % 3 == 0 ? "1" : "0") << row.label;
        EXPECT_EQ(Stored(profile, kSettingsSection, row.exact), tab % 2 == 1 ? "1" : "0") << row.label;
        EXPECT_EQ(Stored(profile, kExecutionSettings, row.autocommit), std::to_string(row.defaultAutocommit))
            << row.label;
        // And come back for the host to convert with.
        EXPECT_EQ(stored[static_cast<int>(row.dialect)], model.Page(tab).settings) << row.label;
    }
    EXPECT_EQ(Stored(profile, kExecutionSettings, "DatasetRowLimit"), "0");
    EXPECT_EQ(Stored(profile, kExecutionSettings, "DatasetSizeLimit (MB)"), "1");
}

TEST(OptionsModelTest, OkWithoutChangesKeepsEveryStoredValue) {
    MemoryProfileStore changed = ChangedProfile();
    const auto before = Snapshot(changed);
    OptionsModel(changed).Store(changed);
    EXPECT_EQ(Snapshot(changed), before);

    // On an empty profile OK writes the defaults, for every dialect (none is left empty):
    // Oracle and MySQL keep autocommit off.
    MemoryProfileStore empty;
    const DialectSettingsSet stored = OptionsModel(empty).Store(empty);
    for (const TabRow& row : kTabs) {
        EXPECT_EQ(Stored(empty, kSettingsSection, row.date), row.defaultDate) << row.label;
        EXPECT_EQ(stored[static_cast<int>(row.dialect)], DefaultDialectSettings(row.dialect)) << row.label;
        EXPECT_EQ(Stored(empty, kExecutionSettings, row.autocommit), std::to_string(row.defaultAutocommit))
            << row.label;
    }
}

TEST(OptionsModelTest, DefaultsThenOkStoresTheFactoryValuesWithAutocommitOnEverywhere) {
    MemoryProfileStore profile = ChangedProfile();
    OptionsModel model(profile);
    model.SetDefaults();
    model.Store(profile);
    // The factory values are what OK writes on an empty profile (the test above), but for
    // autocommit, which Defaults turns on for Oracle and MySQL too.
    MemoryProfileStore factory;
    OptionsModel(factory).Store(factory);
    for (const TabRow& row : kTabs)
        factory.WriteInt(kExecutionSettings, row.autocommit, 1);
    EXPECT_EQ(Snapshot(profile), Snapshot(factory));
}

TEST(OptionsModelTest, TheSharedAutocommitValueFollowsAChangeOnEitherTab) {
    constexpr int kMsSql = 0, kFirebird = 4, kGeneric = 5;
    for (int changedTab : {kMsSql, kFirebird}) {
        for (bool on : {false, true}) {
            MemoryProfileStore profile;
            profile.WriteInt(kExecutionSettings, "Autocommit0", on ? 0 : 1);
            OptionsModel model(profile);
            DialectPageValues values = model.Page(changedTab);
            values.autocommit = on;
            model.SetPage(changedTab, values);
            EXPECT_EQ(model.Page(kMsSql).autocommit, on) << changedTab;
            EXPECT_EQ(model.Page(kFirebird).autocommit, on) << changedTab;
            model.Store(profile);
            EXPECT_EQ(Stored(profile, kExecutionSettings, "Autocommit0"), on ? "1" : "0")
                << "changed on tab " << changedTab;
            EXPECT_EQ(GetAutocommit(profile, ConnectionType::InterbaseFirebird), on ? 1 : 0);
        }
    }
    // Every other tab has a value of its own.
    MemoryProfileStore profile;
    OptionsModel model(profile);
    model.SetAutocommit(kGeneric, false);
    for (int tab = 0; tab < kOptionsTabCount; ++tab)
        EXPECT_EQ(model.Page(tab).autocommit, !(tab == kGeneric || kTabs[tab].defaultAutocommit == 0))
            << kTabs[tab].label;
    // PostgreSQL and SQLite too: what the connection of that type reads.
    for (int tab : {6, 7}) {
        MemoryProfileStore own;
        OptionsModel ownModel(own);
        ownModel.SetAutocommit(tab, false);
        ownModel.Store(own);
        EXPECT_EQ(GetAutocommit(own, kTabs[tab].serverType), 0) << kTabs[tab].label;
        EXPECT_EQ(GetAutocommit(own, kTabs[13 - tab].serverType), 1) << kTabs[tab].label;
        EXPECT_EQ(GetAutocommit(own, ConnectionType::MicrosoftSQL), 1) << kTabs[tab].label;
    }
}

TEST(OptionsModelTest, LimitsAreTheirLeadingDigitsAndSaturate) {
    struct Row {
        const char* text;
        int value;
    };
    const Row rows[] = {
        {"12abc", 12}, {"abc", 0},  {"", 0},     {"0", 0},  {"007", 7},           {"  42", 42},
        {"3.5", 3},    {"12 34", 12}, {"-5", 0}, {"+5", 0}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
        {"99999999999999999999999999", INT_MAX}, {"0000000000000000000000000009", 9},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LimitValue(row.text), row.value) << '"' << row.text << '"';

    MemoryProfileStore profile;
    OptionsModel model(profile);
    model.SetSizeLimitText("12abc");
    model.SetRowLimitText("99999999999999");
    model.Store(profile);
    EXPECT_EQ(Stored(profile, kExecutionSettings, "DatasetSizeLimit (MB)"), "12");
    EXPECT_EQ(Stored(profile, kExecutionSettings, "DatasetRowLimit"), std::to_string(INT_MAX));
}

TEST(OptionsModelTest, SamplesShowTheOpeningMomentAsEachDialectWritesIt) {
    struct Row {
        int tab;
        const char* date;
        const char* dateTime;
    };
    const Row rows[] = {
        {0, "'06.27.2004 10:20:30.000'", "'06.27.2004 10:20:30.000'"},
        {1, "TIMESTAMP '2004-06-27 10:20:30.000'", "TIMESTAMP '2004-06-27 10:20:30.000'"},
        {2, "'2004-06-27'", "'2004-06-27 10:20:30'"},     {3, "06/27/2004 10:20:30", "06/27/2004 10:20:30"},
        {4, "'2004-06-27'", "'2004-06-27 10:20:30'"},     {5, "27.06.2004 10:20:30", "27.06.2004 10:20:30"},
        {6, "'2004-06-27'", "'2004-06-27 10:20:30.000'"}, {7, "'2004-06-27'", "'2004-06-27 10:20:30.000'"},
    };
    MemoryProfileStore profile;
    OptionsModel model(profile);
    EXPECT_EQ(model.SampleMoment().fraction, 0u);
    model.SetSampleMoment(June27());
    for (const Row& row : rows) {
        EXPECT_EQ(model.SampleDate(row.tab), row.date) << kTabs[row.tab].label;
        EXPECT_EQ(model.SampleDateTime(row.tab), row.dateTime) << kTabs[row.tab].label;
    }

    // The samples follow the edited patterns and the quote box; other characters stay as typed.
    DialectPageValues values = model.Page(1);
    values.settings.datePattern = "d B Y (b)";
    values.settings.timePattern = "I:M p";
    values.settings.datesInQuotes = true;
    values.settings.alwaysDateTime = false;
    model.SetPage(1, values);
    EXPECT_EQ(model.SampleDate(1), "'27 June 2004 (jun)'");
    EXPECT_EQ(model.SampleDateTime(1), "'27 June 2004 (jun) 10:20 AM'");
    values.settings.datesInQuotes = false;
    values.settings.datePattern.clear();
    model.SetPage(1, values);
    EXPECT_EQ(model.SampleDate(1), "");
    EXPECT_EQ(model.SampleDateTime(1), " 10:20 AM");
}

// The limits' names and defaults are the tests' above.
TEST(OptionsModelTest, TruncateResultsIsOnByDefaultAndReadEachTime) {
    MemoryProfileStore profile;
    EXPECT_TRUE(GetTruncateResults(profile));
    SetTruncateResults(profile, false);
    EXPECT_EQ(Stored(profile, "Execution Settings", "TruncateResults"), "0");
    // A value written by anyone else is seen at once.
    profile.WriteInt("Execution Settings", "TruncateResults", 1);
    EXPECT_TRUE(GetTruncateResults(profile));
}
