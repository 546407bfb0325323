#pragma once
// The working copy of the Options dialog and its rules, without widgets: one record per dialect
// (date and time patterns, the date flags, the literal choice, the autocommit flag of the tab's
// server type) and the two limits as typed. Nothing reaches the profile before Store.
#include "core/ConversionDescription.h"
#include "core/DateTimeText.h"
#include "core/DialectSettings.h"
#include "db/ODBCSession.h"

#include <array>
#include <string>
#include <string_view>

namespace marlix {

class ProfileStore;

// A tab of the dialog: its label, the dialect whose settings it edits and the server type
// whose autocommit value it edits.
struct OptionsTab {
    const char* label;
    Dialect dialect;
    ConnectionType serverType;
};

// One tab per dialect, so that Apply and OK write every dialect's record.
inline constexpr int kOptionsTabCount = kDialectCount;
// In tab order: MS SQL, Oracle, MySQL, MS Access, Interbase/Firebird, Generic, PostgreSQL, SQLite.
const OptionsTab& OptionsTabAt(int tab);

// What one tab shows.
struct DialectPageValues {
    DialectSettings settings;
    bool autocommit = true;

    bool operator==(const DialectPageValues&) const = default;
};

// A limit as typed: its leading decimal digits (after any blanks), the largest int when they
// say more; 0 when there are none.
int LimitValue(std::string_view text);

// The moment formatted as the dialect writes a date (kind Date: the date pattern) or a
// timestamp (kind DateTime: date pattern, a blank, time pattern; a date too where the dialect
// always writes both), between apostrophes when the dialect quotes its dates.
std::string DialectSample(const DialectSettings& settings, const TIMESTAMP_STRUCT& moment, DateTimeKind kind);

// The current local date and time with no fraction: the moment every sample shows.
TIMESTAMP_STRUCT LocalMomentForSamples();

class OptionsModel {
public:
    // The records and the autocommit flags as stored (defaults where absent), the limits in
    // decimal, the samples at the current local time.
    explicit OptionsModel(const ProfileStore& profile);

    const DialectPageValues& Page(int tab) const;
    // Replaces the record of a tab. Its autocommit flag goes to every tab whose server type
    // stores its autocommit under the same value name (MS SQL and Interbase/Firebird).
    void SetPage(int tab, const DialectPageValues& values);
    void SetAutocommit(int tab, bool on);

    const std::string& RowLimitText() const noexcept { return rowLimit_; }
    const std::string& SizeLimitText() const noexcept { return sizeLimit_; }
    void SetRowLimitText(std::string text) { rowLimit_ = std::move(text); }
    void SetSizeLimitText(std::string text) { sizeLimit_ = std::move(text); }
    bool SuppressBlobValues() const noexcept { return suppressBlobValues_; }
    void SetSuppressBlobValues(bool on) noexcept { suppressBlobValues_ = on; }

    // Factory values: the dialects' own settings, autocommit on everywhere (Oracle and MySQL
    // included), no row limit, 1 MB, BLOB values suppressed.
    void SetDefaults();

    // Apply and OK: the records are written with the autocommit flags and the limits, and
    // returned for the host to convert with.
    DialectSettingsSet Store(ProfileStore& profile) const;

    std::string SampleDate(int tab) const;
    std::string SampleDateTime(int tab) const;
    const TIMESTAMP_STRUCT& SampleMoment() const noexcept { return moment_; }
    void SetSampleMoment(const TIMESTAMP_STRUCT& moment) noexcept { moment_ = moment; }

private:
    std::array<DialectPageValues, kOptionsTabCount> pages_;
    std::string rowLimit_;
    std::string sizeLimit_;
    bool suppressBlobValues_ = true;
    TIMESTAMP_STRUCT moment_{};
};

} // namespace marlix
