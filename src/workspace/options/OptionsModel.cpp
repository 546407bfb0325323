#include "workspace/options/OptionsModel.h"

#include "core/ProfileStore.h"
#include "workspace/options/ExecutionSettings.h"

#include <climits>
#include <ctime>

namespace marlix {
namespace {

constexpr OptionsTab kTabs[kOptionsTabCount] = {
    {"MS SQL", Dialect::MSSQL, ConnectionType::MicrosoftSQL},
    {"Oracle", Dialect::ORACLE, ConnectionType::Oracle},
    {"MySQL", Dialect::MYSQL, ConnectionType::MySQL},
    {"MS Access", Dialect::ACCESS, ConnectionType::MSAccess},
    {"Interbase/Firebird", Dialect::FIREBIRD, ConnectionType::InterbaseFirebird},
    {"Generic", Dialect::GENERIC, ConnectionType::DataSourceName},
    {"PostgreSQL", Dialect::POSTGRESQL, ConnectionType::PostgreSQL},
    {"SQLite", Dialect::SQLITE, ConnectionType::SQLiteFile},
};

// Apply and OK write the record of every dialect from its tab: a dialect without a tab would be
// written empty.
constexpr bool EveryDialectHasOneTab() {
    for (int dialect = 0; dialect < kDialectCount; ++dialect) {
        int tabs = 0;
        for (const OptionsTab& tab : kTabs)
            if (static_cast<int>(tab.dialect) == dialect) ++tabs;
        if (tabs != 1) return false;
    }
    return true;
}
static_assert(EveryDialectHasOneTab());

int ClampTab(int tab) {
    return tab >= 0 && tab < kOptionsTabCount ? tab : 0;
}

} // namespace

const OptionsTab& OptionsTabAt(int tab) {
    return kTabs[ClampTab(tab)];
}

int LimitValue(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        // More digits than an int holds: the largest limit there is, never a wrapped one.
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

std::string DialectSample(const DialectSettings& settings, const TIMESTAMP_STRUCT& moment,
                          DateTimeKind kind) {
    std::string out;
    if (settings.alwaysDateTime) kind = DateTimeKind::DateTime;
    if (settings.datesInQuotes) out += '\'';
    ExpandDatePattern(moment, settings.datePattern, out);
    if (kind == DateTimeKind::DateTime) {
        out += ' ';
        ExpandDatePattern(moment, settings.timePattern, out);
    }
    if (settings.datesInQuotes) out += '\'';
    return out;
}

TIMESTAMP_STRUCT LocalMomentForSamples() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    TIMESTAMP_STRUCT moment{};
    moment.year = static_cast<SQLSMALLINT>(local.tm_year + 1900);
    moment.month = static_cast<SQLUSMALLINT>(local.tm_mon + 1);
    moment.day = static_cast<SQLUSMALLINT>(local.tm_mday);
    moment.hour = static_cast<SQLUSMALLINT>(local.tm_hour);
    moment.minute = static_cast<SQLUSMALLINT>(local.tm_min);
    moment.second = static_cast<SQLUSMALLINT>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return moment;
}

OptionsModel::OptionsModel(const ProfileStore& profile) : moment_(LocalMomentForSamples()) {
    const DialectSettingsSet stored = ReadDialectSettings(profile);
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        pages_[tab].settings = stored[static_cast<int>(kTabs[tab].dialect)];
        pages_[tab].autocommit = GetAutocommit(profile, kTabs[tab].serverType) != 0;
    }
    rowLimit_ = std::to_string(GetDatasetRowLimit(profile));
    sizeLimit_ = std::to_string(GetDatasetSizeLimit(profile));
    suppressBlobValues_ = ReadSuppressBlobValues(profile);
}

const DialectPageValues& OptionsModel::Page(int tab) const {
    return pages_[ClampTab(tab)];
}

void OptionsModel::SetPage(int tab, const DialectPageValues& values) {
    tab = ClampTab(tab);
    pages_[tab].settings = values.settings;
    SetAutocommit(tab, values.autocommit);
}

void OptionsModel::SetAutocommit(int tab, bool on) {
    // Two tabs writing one value would each undo the other's change when stored.
    const std::string name = AutocommitValueName(kTabs[ClampTab(tab)].serverType);
    for (int other = 0; other < kOptionsTabCount; ++other) {
        if (AutocommitValueName(kTabs[other].serverType) == name) pages_[other].autocommit = on;
    }
}

void OptionsModel::SetDefaults() {
    for (int tab = 0; tab < kOptionsTabCount; ++tab) {
        pages_[tab].settings = DefaultDialectSettings(kTabs[tab].dialect);
        pages_[tab].autocommit = true;
    }
    rowLimit_ = std::to_string(0);
    sizeLimit_ = std::to_string(1);
    suppressBlobValues_ = true;
}

DialectSettingsSet OptionsModel::Store(ProfileStore& profile) const {
    DialectSettingsSet settings; // one tab per dialect fills every record
    for (int tab = 0; tab < kOptionsTabCount; ++tab)
        settings[static_cast<int>(kTabs[tab].dialect)] = pages_[tab].settings;
    WriteDialectSettings(profile, settings);
    for (int tab = 0; tab < kOptionsTabCount; ++tab)
        marlix::SetAutocommit(profile, kTabs[tab].serverType, pages_[tab].autocommit ? 1 : 0);
    SetDatasetRowLimit(profile, LimitValue(rowLimit_));
    SetDatasetSizeLimit(profile, LimitValue(sizeLimit_));
    profile.WriteInt(kSettingsSection, kSuppressBlobValues, suppressBlobValues_ ? 1 : 0);
    return settings;
}

std::string OptionsModel::SampleDate(int tab) const {
    return DialectSample(Page(tab).settings, moment_, DateTimeKind::Date);
}

std::string OptionsModel::SampleDateTime(int tab) const {
    return DialectSample(Page(tab).settings, moment_, DateTimeKind::DateTime);
}

} // namespace marlix
