#pragma once
// The date and time rules of each target dialect: how date, time and timestamp values become
// SQL literals. One record per dialect, read from the profile by the host, which hands a copy to
// every batch it creates and to every conversion it runs (see ConversionContext): the Options
// dialog can change the host's records while a batch runs.
#include "core/ConversionDescription.h"

#include <array>
#include <string>

namespace marlix {

class ProfileStore;

inline constexpr const char* kSettingsSection = "Settings";
// Whether text tables leave the values of long binary columns out (on unless stored off).
inline constexpr const char* kSuppressBlobValues = "SuppressBlobValues";

struct DialectSettings {
    std::string datePattern; // pattern letters of ExpandDatePattern
    std::string timePattern;
    bool datesInQuotes = false;  // literals are enclosed in apostrophes
    bool alwaysDateTime = false; // dates and times are always written as date and time together
    bool exactLiterals = false;  // values are written so that the target stores exactly what was fetched

    bool operator==(const DialectSettings&) const = default;
};

// Indexed by dialect code.
using DialectSettingsSet = std::array<DialectSettings, kDialectCount>;

// The profile value names of one dialect's four settings.
struct DialectSettingNames {
    const char* datePattern;
    const char* timePattern;
    const char* datesInQuotes;
    const char* alwaysDateTime;
    const char* exactLiterals;
};

DialectSettingNames SettingNamesOf(Dialect dialect);
DialectSettings DefaultDialectSettings(Dialect dialect);
// The factory records of every dialect.
const DialectSettingsSet& DefaultDialectSettingsSet();

// The 40 values of the "Settings" section, defaults where absent.
DialectSettingsSet ReadDialectSettings(const ProfileStore& profile);
void WriteDialectSettings(ProfileStore& profile, const DialectSettingsSet& settings);
bool ReadSuppressBlobValues(const ProfileStore& profile);

} // namespace marlix
