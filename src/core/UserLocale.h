#pragma once
// The two facts of the user's locale that dates depend on: the order of day, month and year,
// and whether the clock is a 12-hour one. The engine asks through one replaceable provider:
// by default the POSIX locale of the environment; the GUI installs one that reads the desktop
// locale, and tests install fixed ones.
namespace marlix {

struct UserLocale {
    // 0 = month, day, year; 1 = day, month, year; 2 = year, month, day.
    int dateOrder = 0;
    bool twelveHourClock = false;
    // A 12-hour clock's AM/PM is set off by a space ("2:30 PM"), as most locales write it.
    bool spaceBeforeAmPm = false;
};

using UserLocaleProvider = UserLocale (*)();

// The locale now in force, from the installed provider.
UserLocale CurrentUserLocale();
// Installs a provider; nullptr restores the system one. Returns the one it replaces.
UserLocaleProvider SetUserLocaleProvider(UserLocaleProvider provider);

// The locale of the environment (LC_TIME, else LC_ALL / LANG), read once.
UserLocale SystemUserLocale();
// What a strftime date and time format say about order and clock (e.g. "%d.%m.%Y", "%r").
UserLocale LocaleFromFormats(const char* dateFormat, const char* timeFormat);

} // namespace marlix
