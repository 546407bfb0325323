#include "core/DialectSettings.h"

#include "core/ProfileStore.h"

namespace marlix {
namespace {

struct DialectDefaults {
    DialectSettingNames names;
    const char* datePattern;
    const char* timePattern;
    int datesInQuotes;
    int alwaysDateTime;
    int exactLiterals;
};

// By dialect code: MSSQL, ORACLE, GENERIC, ACCESS, MYSQL, FIREBIRD, POSTGRESQL, SQLITE. MySQL,
// Firebird and the two open databases read ISO dates in quotes; Oracle reads a quoted date in the
// session's NLS format, so its dates are typed ANSI literals: TIMESTAMP '2004-06-27 10:20:30.000'.
constexpr DialectDefaults kDefaults[kDialectCount] = {
    {{"DateMS", "TimeMS", "QuotesMS", "DateTimeMS", "ExactMS"}, "m.d.Y", "H:M:S.s", 1, 1, 0},
    {{"DateOracle", "TimeOracle", "QuotesOracle", "DateTimeOracle", "ExactOracle"}, "\"TIMESTAMP '\"Y-m-d", "H:M:S.s\"'\"", 0, 1, 0},
    {{"DateDefault", "TimeDflt", "QuotesDefault", "DateTimeDefault", "ExactDefault"}, "d.m.Y", "H:M:S", 0, 1, 0},
    {{"DateAccess", "TimeAccess", "QuotesAccess", "DateTimeAccess", "ExactAccess"}, "m/d/Y", "H:M:S", 0, 1, 0},
    {{"DateMy", "TimeMy", "QuotesMy", "DateTimeMy", "ExactMy"}, "Y-m-d", "H:M:S", 1, 0, 0},
    {{"DateIB", "TimeIB", "QuotesIB", "DateTimeIB", "ExactIB"}, "Y-m-d", "H:M:S", 1, 0, 0},
    {{"DatePG", "TimePG", "QuotesPG", "DateTimePG", "ExactPG"}, "Y-m-d", "H:M:S.s", 1, 0, 0},
    {{"DateSQLite", "TimeSQLite", "QuotesSQLite", "DateTimeSQLite", "ExactSQLite"}, "Y-m-d", "H:M:S.s", 1, 0, 0},
};

const DialectDefaults& DefaultsOf(Dialect dialect) {
    int code = static_cast<int>(dialect);
    return kDefaults[code >= 0 && code < kDialectCount ? code : 0];
}

} // namespace

DialectSettingNames SettingNamesOf(Dialect dialect) {
    return DefaultsOf(dialect).names;
}

DialectSettings DefaultDialectSettings(Dialect dialect) {
    const DialectDefaults& d = DefaultsOf(dialect);
    return {d.datePattern, d.timePattern, d.datesInQuotes != 0, d.alwaysDateTime != 0, d.exactLiterals != 0};
}

const DialectSettingsSet& DefaultDialectSettingsSet() {
    static const DialectSettingsSet defaults = [] {
        DialectSettingsSet set;
        for (int i = 0; i < kDialectCount; ++i)
            set[i] = DefaultDialectSettings(static_cast<Dialect>(i));
        return set;
    }();
    return defaults;
}

DialectSettingsSet ReadDialectSettings(const ProfileStore& profile) {
    DialectSettingsSet set;
    for (int i = 0; i < kDialectCount; ++i) {
        const DialectDefaults& d = kDefaults[i];
        DialectSettings& s = set[i];
        s.datePattern = profile.GetString(kSettingsSection, d.names.datePattern, d.datePattern);
        s.timePattern = profile.GetString(kSettingsSection, d.names.timePattern, d.timePattern);
        s.datesInQuotes = profile.GetInt(kSettingsSection, d.names.datesInQuotes, d.datesInQuotes) != 0;
        s.alwaysDateTime = profile.GetInt(kSettingsSection, d.names.alwaysDateTime, d.alwaysDateTime) != 0;
        s.exactLiterals = profile.GetInt(kSettingsSection, d.names.exactLiterals, d.exactLiterals) != 0;
    }
    return set;
}

bool ReadSuppressBlobValues(const ProfileStore& profile) {
    return profile.GetInt(kSettingsSection, kSuppressBlobValues, 1) != 0;
}

void WriteDialectSettings(ProfileStore& profile, const DialectSettingsSet& settings) {
    for (int i = 0; i < kDialectCount; ++i) {
        const DialectSettingNames& names = kDefaults[i].names;
        const DialectSettings& s = settings[i];
        profile.WriteString(kSettingsSection, names.datePattern, s.datePattern);
        profile.WriteString(kSettingsSection, names.timePattern, s.timePattern);
        profile.WriteInt(kSettingsSection, names.datesInQuotes, s.datesInQuotes ? 1 : 0);
        profile.WriteInt(kSettingsSection, names.alwaysDateTime, s.alwaysDateTime ? 1 : 0);
        profile.WriteInt(kSettingsSection, names.exactLiterals, s.exactLiterals ? 1 : 0);
    }
}

} // namespace marlix
