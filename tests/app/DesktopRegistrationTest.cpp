// RegServer and UnregServer in a temporary data home: the files written and their texts, the
// quoting of a program path in the two Exec lines, replacing and removing a registration, a
// data home that cannot be written, and the switches run as marlix itself.
#include "app/automation/DesktopRegistration.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace marlix;

namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// marlix with `args` and XDG_DATA_HOME at `dataHome`: exit status, standard output, errors.
struct Run {
    int status = -1;
    QString out, err;
};

Run RunMarlix(const QStringList& args, const QString& dataHome) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    // No display at all: the switches must not need one.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(MARLIX_PATH), args);
    Run run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class DesktopRegistrationTest : public QObject {
    Q_OBJECT
private slots:
    void QuotesProgramPaths();
    void WritesServiceEntryAndIcons();
    void ReplacesAndRemovesARegistration();
    void ReportsADataHomeItCannotWrite();
    void SwitchesRunWithoutAWindow();
};

void DesktopRegistrationTest::QuotesProgramPaths() {
    // A path; as the service file's Exec quotes it; as the desktop entry's Exec does, where '%'
    // starts a field code, quoted or not.
    const char* const paths[][3] = {
        {"/usr/bin/marlix", "/usr/bin/marlix", "/usr/bin/marlix"},
        {"/opt/my apps/marlix", "'/opt/my apps/marlix'", "\"/opt/my apps/marlix\""},
        {"/opt/it's/marlix", "'/opt/it'\\''s/marlix'", "\"/opt/it's/marlix\""},
        {"/opt/$x`y`/marlix", "'/opt/$x`y`/marlix'", "\"/opt/\\$x\\`y\\`/marlix\""},
        {"/opt/a\"b\\c/marlix", "'/opt/a\"b\\c/marlix'", "\"/opt/a\\\"b\\\\c/marlix\""},
        {"/opt/100%/marlix", "'/opt/100%/marlix'", "/opt/100%%/marlix"},
    };
    for (const auto& [path, service, desktopEntry] : paths) {
        QCOMPARE(DesktopRegistration::QuoteForService(QString::fromUtf8(path)), QString::fromUtf8(service));
        QCOMPARE(DesktopRegistration::QuoteForDesktopEntry(QString::fromUtf8(path)),
                 QString::fromUtf8(desktopEntry));
    }
}

void DesktopRegistrationTest::WritesServiceEntryAndIcons() {
    QTemporaryDir home;
    const DesktopRegistration registration(home.path());
    QStringList report;
    QVERIFY(registration.Register(QStringLiteral("/opt/a b\\c/marlix"), report));
    const QStringList files = registration.Files();
    QCOMPARE(files.size(), 6);
    QCOMPARE(files[0], home.path() + "/dbus-1/services/org.marlix.Marlix.service");
    QCOMPARE(files[1], home.path() + "/applications/org.marlix.Marlix.desktop");
    QVERIFY(files.contains(home.path() + "/icons/hicolor/scalable/apps/org.marlix.Marlix.svg"));
    QVERIFY(files.contains(home.path() + "/icons/hicolor/48x48/apps/org.marlix.Marlix.png"));
    QCOMPARE(report.size(), files.size());
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(report[i], "wrote " + files[i]);

    QCOMPARE(Read(files[0]), QStringLiteral("[D-BUS Service]\nName=org.marlix.Marlix\n"
                                            "Exec='/opt/a b\\c/marlix' --automation\n"));
    const QStringList entry = Read(files[1]).split('\n');
    // The desktop entry's own escape doubles the backslash that the quoting put before one.
    QVERIFY(entry.contains(QStringLiteral("Exec=\"/opt/a b\\\\\\\\c/marlix\" %f")));
    QVERIFY(entry.contains(QStringLiteral("TryExec=/opt/a b\\\\c/marlix")));
    QVERIFY(entry.contains(QStringLiteral("Categories=Development;Database;")));
    QVERIFY(entry.contains(QStringLiteral("MimeType=application/sql;text/x-sql;")));
    QVERIFY(entry.contains(QStringLiteral("Icon=org.marlix.Marlix")));
    QCOMPARE(entry.filter(QStringLiteral("Exec=")).size(), 2); // Exec and TryExec

    const QImage icon(home.path() + "/icons/hicolor/256x256/apps/org.marlix.Marlix.png");
    QCOMPARE(icon.size(), QSize(256, 256));
    QVERIFY(Read(files[2]).contains(QStringLiteral("<svg")));

    // A line break cannot be written into either file: nothing is written.
    QTemporaryDir other;
    report.clear();
    QVERIFY(!DesktopRegistration(other.path()).Register(QStringLiteral("/opt/a\nb/marlix"), report));
    QCOMPARE(report, QStringList{"cannot register /opt/a\nb/marlix: its path holds a line break"});
    QVERIFY(!QFile::exists(other.path() + "/dbus-1"));
}

void DesktopRegistrationTest::ReplacesAndRemovesARegistration() {
    QTemporaryDir home;
    const DesktopRegistration registration(home.path());
    QStringList report;
    QVERIFY(registration.Register(QStringLiteral("/old/marlix"), report));
    QVERIFY(registration.Register(QStringLiteral("/new/marlix"), report));
    QVERIFY(Read(registration.ServiceFile()).contains("Exec=/new/marlix --automation"));
    QVERIFY(!Read(registration.DesktopEntry()).contains("/old/"));

    // Other programs' files in the same folders stay.
    const QString neighbour = home.path() + "/applications/other.desktop";
    Write(neighbour, "[Desktop Entry]\n");
    report.clear();
    QVERIFY(registration.Unregister(report));
    QCOMPARE(report.size(), 6);
    for (const QString& file : registration.Files()) {
        QVERIFY2(!QFile::exists(file), qPrintable(file));
        QVERIFY(report.contains("removed " + file));
    }
    QVERIFY(QFile::exists(neighbour));

    report.clear();
    QVERIFY2(registration.Unregister(report), "nothing registered is not a failure");
    QCOMPARE(report.first(), registration.ServiceFile() + " was not there");
}

void DesktopRegistrationTest::ReportsADataHomeItCannotWrite() {
    QTemporaryDir home;
    // A file where the desktop entry's folder should be.
    Write(home.path() + "/applications", "not a folder");
    const DesktopRegistration registration(home.path());
    QStringList report;
    QVERIFY(!registration.Register(QStringLiteral("/usr/bin/marlix"), report));
    QCOMPARE(report.size(), 2);
    QCOMPARE(report[0], "wrote " + registration.ServiceFile());
    QCOMPARE(report[1], "cannot create the folder " + home.path() + "/applications");
    QCOMPARE(Read(home.path() + "/applications"), QStringLiteral("not a folder"));
}

void DesktopRegistrationTest::SwitchesRunWithoutAWindow() {
    QTemporaryDir home;
    const DesktopRegistration registration(home.path());
    const Run registered = RunMarlix({QStringLiteral("-RegServer")}, home.path());
    QVERIFY2(registered.status == 0, qPrintable(registered.err));
    for (const QString& file : registration.Files()) {
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QVERIFY2(registered.out.contains("marlix: wrote " + file + "\n"), qPrintable(registered.out));
    }
    // The program registers itself by its own absolute path.
    QVERIFY2(Read(registration.ServiceFile()).contains(QStringLiteral("Exec=" MARLIX_PATH " --automation")),
             qPrintable(Read(registration.ServiceFile())));

    const Run unregistered = RunMarlix({QStringLiteral("--unregister")}, home.path());
    QVERIFY2(unregistered.status == 0, qPrintable(unregistered.err));
    QVERIFY(unregistered.out.contains("marlix: removed " + registration.DesktopEntry() + "\n"));
    for (const QString& file : registration.Files())
        QVERIFY2(!QFile::exists(file), qPrintable(file));

    const Run refused = RunMarlix({QStringLiteral("--register"), QStringLiteral("a.sql")}, home.path());
    QCOMPARE(refused.status, 2);
    QVERIFY2(refused.err.contains("-RegServer and -UnregServer take no other options"),
             qPrintable(refused.err));
    QVERIFY(!QFile::exists(registration.ServiceFile()));
}

QTEST_MAIN(DesktopRegistrationTest)
#include "DesktopRegistrationTest.moc"
