#include "core/qt/QtUserLocale.h"

#include <QLocale>

namespace marlix {
namespace {

// The format's letters outside its quoted literal text ('o''clock').
QString FormatLetters(const QString& format) {
    QString letters;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted)
            letters += c;
    }
    return letters;
}

UserLocale DesktopLocale() {
    static const UserLocale desktop = UserLocaleOf(QLocale::system());
    return desktop;
}

} // namespace

UserLocale UserLocaleOf(const QLocale& locale) {
    UserLocale result;
    for (QChar c : FormatLetters(locale.dateFormat(QLocale::ShortFormat))) {
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            result.dateOrder = c == QLatin1Char('d') ? 1 : c == QLatin1Char('y') ? 2 : 0;
            break;
        }
    }
    const QString time = FormatLetters(locale.timeFormat(QLocale::ShortFormat));
    const qsizetype amPm = time.indexOf(QLatin1Char('a'), 0, Qt::CaseInsensitive);
    result.twelveHourClock = amPm >= 0;
    // Any blank before AM/PM (CLDR writes a narrow no-break space) is shown as a plain space.
    result.spaceBeforeAmPm = amPm > 0 && time[amPm - 1].isSpace();
    return result;
}

void UseDesktopUserLocale() {
    SetUserLocaleProvider(&DesktopLocale);
}

} // namespace marlix
