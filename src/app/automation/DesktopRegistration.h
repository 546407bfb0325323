#pragma once
// RegServer and UnregServer: the files that make Marlix known to one user's desktop, under the
// XDG data home. The session bus service file starts "marlix --automation" when a client
// calls org.marlix.Marlix; the desktop entry puts Marlix in the menu and opens .sql files with
// it; the icons show for both. All of them name the program by its absolute path, so a build
// that is not installed registers itself.
#include <QString>
#include <QStringList>

namespace marlix {

class DesktopRegistration {
public:
    // `dataHome`: the XDG data home ($XDG_DATA_HOME, else ~/.local/share).
    explicit DesktopRegistration(QString dataHome);
    // The user's own XDG data home.
    static QString UserDataHome();

    // The files a registration writes, service file first.
    QString ServiceFile() const;
    QString DesktopEntry() const;
    QStringList Files() const;

    // Writes every file (replacing an earlier registration); `report` gets one line per file.
    // False at the first file that cannot be written: the files written before it stay.
    bool Register(const QString& executable, QStringList& report) const;
    // Removes every file there is; a file that is not there is reported as such.
    bool Unregister(QStringList& report) const;

    // The texts written for `executable`.
    static QString ServiceFileText(const QString& executable);
    static QString DesktopEntryText(const QString& executable);
    // A program path as one argument of a service file's and of a desktop entry's Exec line.
    static QString QuoteForService(const QString& path);
    static QString QuoteForDesktopEntry(const QString& path);

private:
    struct Item {
        QString path;
        QByteArray content;
    };
    QList<Item> Items(const QString& executable) const;

    QString dataHome_;
};

} // namespace marlix
