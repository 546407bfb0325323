#pragma once
// What one conversion reads besides the result set itself: the target dialect and the date and
// literal settings of every dialect (a date formatting mode may name another dialect than the
// target, and the locale display form reads the Generic record). Decided once per statement
// from what the host passed in; conversions never look anywhere else for settings.
#include "core/DialectSettings.h"

namespace marlix {

struct ConversionContext {
    Dialect dialect = Dialect::MSSQL;
    DialectSettingsSet settings = DefaultDialectSettingsSet();
    // Text tables show long binary columns as a mark instead of their values ("SuppressBlobValues").
    bool suppressBlobValues = true;

    // The target dialect's own record.
    const DialectSettings& Target() const noexcept { return settings[static_cast<int>(dialect)]; }
};

// The target with the factory settings (tests, benchmarks, hosts without a profile).
inline ConversionContext DefaultContext(Dialect dialect) {
    return {dialect, DefaultDialectSettingsSet(), true};
}

} // namespace marlix
