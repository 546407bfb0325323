#pragma once
// The date and time rules of each target dialect: how date, time and timestamp values become
// SQL literals. One record per dialect, held for the whole process; the Options dialog replaces
// them and the formatter reads them at the moment a value is formatted.
#include "core/ConversionDescription.h"

#include <array>
#include <string>

namespace marlix {

class ProfileStore;

inline constexpr const char* kSettingsSection = "Settings";

struct DialectSettings {
    std::string datePattern; // pattern letters of ExpandDatePattern
    std::string timePattern;
    bool datesInQuotes = false;  // literals are enclosed in apostrophes
    bool alwaysDateTime = false; // dates and times are always written as date and time together

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
};

DialectSettingNames SettingNamesOf(Dialect dialect);
DialectSettings DefaultDialectSettings(Dialect dialect);
DialectSettingsSet DefaultDialectSettingsSet();

// The 24 values of the "Settings" section, defaults where absent.
DialectSettingsSet ReadDialectSettings(const ProfileStore& profile);
void WriteDialectSettings(ProfileStore& profile, const DialectSettingsSet& settings);

// Start-up: the process-wide records from the profile.
void LoadDialectSettings(const ProfileStore& profile);
// "OK" or "Apply" of the Options dialog: the dialog's records become the process-wide ones and
// are written to the profile.
void SaveDialectSettings(ProfileStore& profile, const DialectSettingsSet& settings);

// The process-wide records; the defaults until something is loaded.
const DialectSettings& CurrentDialectSettings(Dialect dialect);
const DialectSettingsSet& CurrentDialectSettingsSet();
void SetCurrentDialectSettings(const DialectSettingsSet& settings);

} // namespace marlix
