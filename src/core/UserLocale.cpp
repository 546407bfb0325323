#include "core/UserLocale.h"

#include <atomic>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace marlix {
namespace {

std::atomic<UserLocaleProvider> installedProvider{nullptr};

} // namespace

UserLocale LocaleFromFormats(const char* dateFormat, const char* timeFormat) {
    UserLocale locale;
    // The first field among day, month and year decides the order; %D is month/day/year and
    // %F year-month-day, as strftime defines them.
    for (const char* p = dateFormat ? dateFormat : ""; *p; ++p) {
        if (*p != '%' || !p[1]) continue;
        char c = *++p;
        while ((c == 'E' || c == 'O' || c == '-' || c == '_' || c == '0' || c == '^' || c == '#') && p[1])
            c = *++p;
        if (c == 'd' || c == 'e') {
            locale.dateOrder = 1;
            break;
        }
        if (c == 'm' || c == 'b' || c == 'B' || c == 'h' || c == 'D') {
            locale.dateOrder = 0;
            break;
        }
        if (c == 'y' || c == 'Y' || c == 'C' || c == 'G' || c == 'F') {
            locale.dateOrder = 2;
            break;
        }
    }
    const char* t = timeFormat ? timeFormat : "";
    locale.twelveHourClock = std::strstr(t, "%I") || std::strstr(t, "%l") || std::strstr(t, "%r") ||
                             std::strstr(t, "%p") || std::strstr(t, "%P");
    return locale;
}

UserLocale SystemUserLocale() {
    static const UserLocale system = [] {
        locale_t environment = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
        if (environment == static_cast<locale_t>(0)) return LocaleFromFormats("%m/%d/%y", "%H:%M:%S");
        UserLocale found =
            LocaleFromFormats(nl_langinfo_l(D_FMT, environment), nl_langinfo_l(T_FMT, environment));
        freelocale(environment);
        return found;
    }();
    return system;
}

UserLocale CurrentUserLocale() {
    UserLocaleProvider provider = installedProvider.load(std::memory_order_acquire);
    return provider ? provider() : SystemUserLocale();
}

UserLocaleProvider SetUserLocaleProvider(UserLocaleProvider provider) {
    return installedProvider.exchange(provider, std::memory_order_acq_rel);
}

} // namespace marlix
