#include "app/automation/DesktopRegistration.h"

#include "app/automation/AutomationNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace marlix {
namespace {

using automation::kDesktopId;

// The desktop entry and the service file come from the same files `cmake --install` installs;
// only the program's path differs.
constexpr char kDesktopTemplate[] = ":/desktop/org.marlix.Marlix.desktop";
constexpr char kServiceTemplate[] = ":/desktop/org.marlix.Marlix.service.in";
constexpr int kPngSizes[] = {48, 128, 256};

QByteArray ReadResource(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("resource %s is missing", qPrintable(name));
    return file.readAll();
}

// A desktop entry's string values treat a backslash as the start of an escape.
QString EscapeDesktopString(QString value) {
    return value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
}

} // namespace

DesktopRegistration::DesktopRegistration(QString dataHome) : dataHome_(std::move(dataHome)) {}

QString DesktopRegistration::UserDataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString DesktopRegistration::ServiceFile() const {
    return dataHome_ +
           QStringLiteral("/dbus-1/services/%1.service").arg(QLatin1String(automation::kServerService));
}

QString DesktopRegistration::DesktopEntry() const {
    return dataHome_ + QStringLiteral("/applications/%1.desktop").arg(QLatin1String(kDesktopId));
}

QStringList DesktopRegistration::Files() const {
    QStringList files;
    for (const Item& item : Items(QString()))
        files << item.path;
    return files;
}

QList<DesktopRegistration::Item> DesktopRegistration::Items(const QString& executable) const {
    const bool withText = !executable.isEmpty();
    QList<Item> items;
    items.append({ServiceFile(), withText ? ServiceFileText(executable).toUtf8() : QByteArray()});
    items.append({DesktopEntry(), withText ? DesktopEntryText(executable).toUtf8() : QByteArray()});
    const QString icons = dataHome_ + QStringLiteral("/icons/hicolor/");
    const QString id = QLatin1String(kDesktopId);
    items.append({icons + QStringLiteral("scalable/apps/%1.svg").arg(id),
                  withText ? ReadResource(QStringLiteral(":/desktop/%1.svg").arg(id)) : QByteArray()});
    for (int size : kPngSizes)
        items.append({icons + QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(id),
                      withText ? ReadResource(QStringLiteral(":/desktop/%1-%2.png").arg(id).arg(size))
                               : QByteArray()});
    return items;
}

bool DesktopRegistration::Register(const QString& executable, QStringList& report) const {
    // Neither file can hold a line break inside a value.
    if (executable.contains(QLatin1Char('\n')) || executable.contains(QLatin1Char('\r'))) {
        report << QStringLiteral("cannot register %1: its path holds a line break").arg(executable);
        return false;
    }
    for (const Item& item : Items(executable)) {
        const QString folder = QFileInfo(item.path).absolutePath();
        if (!QDir().mkpath(folder)) {
            report << QStringLiteral("cannot create the folder %1").arg(folder);
            return false;
        }
        // Written whole or not at all: an earlier registration stays intact on failure.
        QSaveFile file(item.path);
        if (!file.open(QIODevice::WriteOnly) || file.write(item.content) != item.content.size() ||
            !file.commit()) {
            report << QStringLiteral("cannot write %1: %2").arg(item.path, file.errorString());
            return false;
        }
        report << QStringLiteral("wrote %1").arg(item.path);
    }
    return true;
}

bool DesktopRegistration::Unregister(QStringList& report) const {
    bool removedAll = true;
    for (const Item& item : Items(QString())) {
        QFile file(item.path);
        if (!QFileInfo::exists(item.path) && !QFileInfo(item.path).isSymLink()) {
            report << QStringLiteral("%1 was not there").arg(item.path);
        } else if (file.remove()) {
            report << QStringLiteral("removed %1").arg(item.path);
        } else {
            report << QStringLiteral("cannot remove %1: %2").arg(item.path, file.errorString());
            removedAll = false;
        }
    }
    return removedAll;
}

QString DesktopRegistration::ServiceFileText(const QString& executable) {
    QString text = QString::fromUtf8(ReadResource(QLatin1String(kServiceTemplate)));
    return text.replace(QLatin1String("@MARLIX_EXEC@"), QuoteForService(executable));
}

QString DesktopRegistration::DesktopEntryText(const QString& executable) {
    QStringList lines =
        QString::fromUtf8(ReadResource(QLatin1String(kDesktopTemplate))).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String("Exec=")))
            line = QStringLiteral("Exec=%1 %f").arg(EscapeDesktopString(QuoteForDesktopEntry(executable)));
        else if (line.startsWith(QLatin1String("TryExec=")))
            line = QStringLiteral("TryExec=%1").arg(EscapeDesktopString(executable));
    }
    return lines.join(QLatin1Char('\n'));
}

QString DesktopRegistration::QuoteForService(const QString& path) {
    // The bus splits Exec as a shell would; inside single quotes nothing is special but the
    // single quote itself.
    bool plain = !path.isEmpty();
    for (QChar c : path)
        if (!(c.isLetterOrNumber() || QStringLiteral("/._-+,:@").contains(c))) plain = false;
    if (plain) return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString DesktopRegistration::QuoteForDesktopEntry(const QString& path) {
    // Exec arguments with reserved characters go in double quotes, where '"', '`', '$' and '\'
    // take a backslash; '%' starts a field code everywhere and is doubled.
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString escaped = path;
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool reserved = false;
    for (QChar c : path)
        if (kReserved.contains(c)) reserved = true;
    if (!reserved) return escaped;
    QString quoted;
    for (QChar c : escaped) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace marlix
