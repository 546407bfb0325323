#pragma once
// The entries of the Target platform box, the dialect each selects and the "Use syntax of"
// command of the results view that goes with it. The box's order differs from the dialect
// numbers, which are what the profile stores ("DefaultSyntax").
#include "core/ConversionDescription.h"

#include <array>

namespace marlix {

struct TargetPlatformEntry {
    const char* text;
    Dialect dialect;
    int command;
};

inline constexpr std::array<TargetPlatformEntry, 8> kTargetPlatforms{{
    {"MS SQL", Dialect::MSSQL, 32789},
    {"Oracle", Dialect::ORACLE, 32790},
    {"MySQL", Dialect::MYSQL, 32822},
    {"MS Access", Dialect::ACCESS, 32823},
    {"Interbase/Firebird", Dialect::FIREBIRD, 32844},
    {"generic SQL92", Dialect::GENERIC, 32800},
    {"PostgreSQL", Dialect::POSTGRESQL, 32847},
    {"SQLite", Dialect::SQLITE, 32848},
}};

// The entry of a dialect; a value outside the dialects selects MS SQL.
constexpr int TargetPlatformIndex(int dialectCode) noexcept {
    for (int i = 0; i < static_cast<int>(kTargetPlatforms.size()); ++i)
        if (static_cast<int>(kTargetPlatforms[i].dialect) == dialectCode) return i;
    return 0;
}

} // namespace marlix
