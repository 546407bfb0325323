#pragma once
// The values the Options dialog reads and writes, tab by tab, with their stored names and
// defaults, and profiles to open it on.
#include "core/DialectSettings.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "workspace/options/OptionsModel.h"

#include <map>
#include <string>

namespace marlix::test {

inline constexpr const char* kAbsent = "<absent>";

struct TabRow {
    const char* label;
    Dialect dialect;
    ConnectionType serverType;
    const char* date;
    const char* time;
    const char* quotes;
    const char* dateTime;
    const char* exact;
    const char* autocommit;
    // Stored defaults.
    const char* defaultDate;
    const char* defaultTime;
    int defaultQuotes;
    int defaultDateTime;
    int defaultAutocommit;
};

// Exact literals are off by default on every tab.
inline const TabRow kTabs[kOptionsTabCount] = {
    {"MS SQL", Dialect::MSSQL, ConnectionType::MicrosoftSQL, "DateMS", "TimeMS", "QuotesMS", "DateTimeMS",
     "ExactMS", "Autocommit0", "m.d.Y", "H:M:S.s", 1, 1, 1},
    {"Oracle", Dialect::ORACLE, ConnectionType::Oracle, "DateOracle", "TimeOracle", "QuotesOracle",
     "DateTimeOracle", "ExactOracle", "Autocommit1", "\"TIMESTAMP '\"Y-m-d", "H:M:S.s\"'\"", 0, 1, 0},
    {"MySQL", Dialect::MYSQL, ConnectionType::MySQL, "DateMy", "TimeMy", "QuotesMy", "DateTimeMy", "ExactMy",
     "Autocommit3", "Y-m-d", "H:M:S", 1, 0, 0},
    {"MS Access", Dialect::ACCESS, ConnectionType::MSAccess, "DateAccess", "TimeAccess", "QuotesAccess",
     "DateTimeAccess", "ExactAccess", "Autocommit4", "m/d/Y", "H:M:S", 0, 1, 1},
    {"Interbase/Firebird", Dialect::FIREBIRD, ConnectionType::InterbaseFirebird, "DateIB", "TimeIB",
     "QuotesIB", "DateTimeIB", "ExactIB", "Autocommit0", "Y-m-d", "H:M:S", 1, 0, 1},
    {"Generic", Dialect::GENERIC, ConnectionType::DataSourceName, "DateDefault", "TimeDflt", "QuotesDefault",
     "DateTimeDefault", "ExactDefault", "Autocommit2", "d.m.Y", "H:M:S", 0, 1, 1},
    {"PostgreSQL", Dialect::POSTGRESQL, ConnectionType::PostgreSQL, "DatePG", "TimePG", "QuotesPG",
     "DateTimePG", "ExactPG", "Autocommit6", "Y-m-d", "H:M:S.s", 1, 0, 1},
    {"SQLite", Dialect::SQLITE, ConnectionType::SQLiteFile, "DateSQLite", "TimeSQLite", "QuotesSQLite",
     "DateTimeSQLite", "ExactSQLite", "Autocommit7", "Y-m-d", "H:M:S.s", 1, 0, 1},
};

inline std::string Stored(const ProfileStore& profile, const char* section, const char* name) {
    return profile.GetString(section, name, kAbsent);
}

// A profile where every value of the dialog differs from its default.
inline MemoryProfileStore ChangedProfile() {
    MemoryProfileStore profile;
    for (const TabRow& row : kTabs) {
        profile.WriteString(kSettingsSection, row.date, std::string("<") + row.date + ">");
        profile.WriteString(kSettingsSection, row.time, std::string("<") + row.time + ">");
        profile.WriteInt(kSettingsSection, row.quotes, 1 - row.defaultQuotes);
        profile.WriteInt(kSettingsSection, row.dateTime, 1 - row.defaultDateTime);
        profile.WriteInt(kSettingsSection, row.exact, 1);
        profile.WriteInt(kExecutionSettings, row.autocommit, 1 - row.defaultAutocommit);
    }
    profile.WriteInt(kExecutionSettings, kDatasetRowLimit, 5000);
    profile.WriteInt(kExecutionSettings, kDatasetSizeLimit, 64);
    return profile;
}

// Every value the dialog may write, as text ("<absent>" when not there).
inline std::map<std::string, std::string> Snapshot(const ProfileStore& profile) {
    std::map<std::string, std::string> values;
    for (const TabRow& row : kTabs) {
        for (const char* name : {row.date, row.time, row.quotes, row.dateTime, row.exact})
            values[name] = Stored(profile, kSettingsSection, name);
        values[row.autocommit] = Stored(profile, kExecutionSettings, row.autocommit);
    }
    values[kDatasetRowLimit] = Stored(profile, kExecutionSettings, kDatasetRowLimit);
    values[kDatasetSizeLimit] = Stored(profile, kExecutionSettings, kDatasetSizeLimit);
    return values;
}

// A moment of every sample: 2004-06-27 10:20:30.
inline TIMESTAMP_STRUCT June27() {
    return TIMESTAMP_STRUCT{2004, 6, 27, 10, 20, 30, 0};
}

} // namespace marlix::test
