#pragma once
// The date and time rules of each target dialect: how date, time and timestamp values become
// SQL literals. One record per dialect, held for the whole process; the Options dialog replaces
// them and the formatter reads them at the moment a value is formatted. A batch converts with a
// copy taken when it was created, so the dialog can change the records while a batch runs.
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
DialectSettingsSet DefaultDialectSettingsSet();

// The 40 values of the "Settings" section, defaults where absent.
DialectSettingsSet ReadDialectSettings(const ProfileStore& profile);
void WriteDialectSettings(ProfileStore& profile, const DialectSettingsSet& settings);

// Start-up: the process-wide records from the profile.
void LoadDialectSettings(const ProfileStore& profile);
// "OK" or "Apply" of the Options dialog: the dialog's records become the process-wide ones and
// are written to the profile.
void SaveDialectSettings(ProfileStore& profile, const DialectSettingsSet& settings);

// The records in force on the calling thread: those of the innermost ScopedDialectSettings of
// this thread, else the process-wide ones (the defaults until something is loaded). The
// process-wide records are read and replaced by the host's own thread only; other threads read
// a scoped copy.
const DialectSettings& CurrentDialectSettings(Dialect dialect);
const DialectSettingsSet& CurrentDialectSettingsSet();
// Replaces the process-wide records (never a scoped copy).
void SetCurrentDialectSettings(const DialectSettingsSet& settings);

// For its lifetime, makes `settings` the records in force on the constructing thread, whatever
// the process-wide records become meanwhile. `settings` must outlive the scope; scopes nest and
// must end on their own thread in reverse order.
class ScopedDialectSettings {
public:
    explicit ScopedDialectSettings(const DialectSettingsSet& settings) noexcept;
    ~ScopedDialectSettings();
    ScopedDialectSettings(const ScopedDialectSettings&) = delete;
    ScopedDialectSettings& operator=(const ScopedDialectSettings&) = delete;

private:
    const DialectSettingsSet* previous_;
};

} // namespace marlix
