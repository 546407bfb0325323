#pragma once
// The user's locale as the desktop states it (QLocale), for the dates of grids and cell editors.
#include "core/UserLocale.h"

class QLocale;

namespace marlix {

// Date order and clock of `locale`, read from its short date and time formats.
UserLocale UserLocaleOf(const QLocale& locale);

// Makes QLocale::system() the user's locale of the engine (read once: the provider is asked
// for every date value shown).
void UseDesktopUserLocale();

} // namespace marlix
