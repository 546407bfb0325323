#include "app/automation/AutomationStartup.h"

#include "app/WindowOptions.h"
#include "app/automation/AutomationNames.h"
#include "app/automation/DesktopRegistration.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>

#include <cstdio>

namespace marlix {

void PrepareWindowlessPlatform(int argc, char** argv) {
    bool windowless = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsAutomationSwitch(arg) || arg == "--help" || arg == "-h") windowless = true;
    }
    if (windowless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
}

std::optional<int> RunRegistrationSwitch(const WindowOptions& options) {
    if (!options.Registration()) return std::nullopt;
    const DesktopRegistration registration(DesktopRegistration::UserDataHome());
    QStringList report;
    const bool done = options.registerServer
                          ? registration.Register(QCoreApplication::applicationFilePath(), report)
                          : registration.Unregister(report);
    for (const QString& line : report)
        std::fprintf(line.startsWith(QLatin1String("cannot")) ? stderr : stdout, "marlix: %s\n",
                     qPrintable(line));
    return done ? 0 : 1;
}

bool HandToRunningWindow(const WindowOptions& options) {
    const bool onlyScript = !options.script.empty() && !options.Connects() && !options.type &&
                            options.profileFile.empty() && !options.Registration() && !options.automation;
    return onlyScript && HandToRunningWindow(QString::fromStdString(options.script));
}

bool HandToRunningWindow(const QString& script) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(automation::kWindowService), QLatin1String(automation::kObjectPath),
        QLatin1String(automation::kInterface), QStringLiteral("Present"));
    // The window's folder is not this one.
    call << QFileInfo(script).absoluteFilePath();
    // No window is started for the name: without one, this start becomes the window.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace marlix
