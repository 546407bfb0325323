// marlix: the desktop window. Opens the script named on the command line and connects at start:
// with the connection options when given, else through the connect dialog. The automation
// switches come first: RegServer and UnregServer end the run, and --automation serves the
// session bus without a window.
#include "app/WindowOptions.h"
#include "app/automation/AutomationPrompts.h"
#include "app/automation/AutomationService.h"
#include "app/automation/AutomationStartup.h"
#include "core/qt/IniProfileStore.h"
#include "core/qt/QtUserLocale.h"
#include "db/ODBCSession.h"
#include "results/view/SQLResultsView.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/frame/ScriptCommands.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTabWidget>

#include <cstdio>
#include <memory>

using namespace marlix;

int main(int argc, char** argv) {
    PrepareWindowlessPlatform(argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Marlix"));
    QApplication::setApplicationName(QStringLiteral("Marlix"));
    QApplication::setDesktopFileName(QStringLiteral("org.marlix.Marlix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/desktop/org.marlix.Marlix-256.png")));
    // Grids show and read dates in the desktop's locale order, not the C locale's.
    UseDesktopUserLocale();

    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1))
        args.push_back(arg.toStdString());
    std::string error;
    std::optional<WindowOptions> options = ParseWindowOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "marlix: %s\nTry 'marlix --help'.\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(WindowUsage(), stdout);
        return 0;
    }
    // A profile named but not readable would silently give every setting its default, and a
    // misspelt name would become a new profile.
    if (!options->profileFile.empty()) {
        if (std::string problem = IniProfileStore::Unusable(options->profileFile); !problem.empty()) {
            std::fprintf(stderr, "marlix: --profile %s: %s\n", options->profileFile.c_str(), problem.c_str());
            return 2;
        }
    }
    if (std::optional<int> status = RunRegistrationSwitch(*options)) return *status;
    if (HandToRunningWindow(*options)) return 0;

    auto profile = options->profileFile.empty() ? std::make_unique<IniProfileStore>()
                                                : std::make_unique<IniProfileStore>(options->profileFile);

    CODBCSession session;
    if (!session.Initialize()) {
        if (options->automation)
            std::fprintf(stderr, "marlix: %s\n", kOdbcInitFailedMessage);
        else
            QMessageBox::critical(nullptr, QStringLiteral("Marlix"),
                                  QString::fromLatin1(kOdbcInitFailedMessage));
        return 3;
    }

    auto automationPrompts = options->automation ? std::make_unique<AutomationPrompts>() : nullptr;
    AutomationPrompts* serverPrompts = automationPrompts.get();
    CMainFrame frame(session, *profile, std::move(automationPrompts));
    // On the bus from the start: a second start may hand over its script while this one connects.
    AutomationService automation(
        frame, options->automation ? AutomationService::Role::Server : AutomationService::Role::Window,
        serverPrompts);
    QString busError;
    if (!automation.Publish(busError) && options->automation) {
        std::fprintf(stderr, "marlix: %s\n", qPrintable(busError));
        return 1;
    }
    if (!options->script.empty() && !frame.Scripts().OpenPath(QString::fromStdString(options->script))) {
        // The window opens all the same, with the reason in its history where the user looks.
        if (options->automation) return 1;
        frame.ResultsView().Tabs().setCurrentIndex(CSQLResultsView::HistoryTab);
    }
    frame.UpdateTitle();
    if (options->Connects()) {
        frame.Connection().ConnectWith(options->Request(ConnectionTitleOf(options->connectionString)));
    } else if (!options->automation) {
        // Without a connection option the connect dialog comes at every start, before the window.
        frame.Connection().Connect();
    }
    if (!options->automation) frame.show();
    const int status = QApplication::exec();
    profile->Sync();
    return status;
}
