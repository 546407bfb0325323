// marlix: the desktop window. Opens the script named on the command line and, given connection
// options, connects at start.
#include "app/WindowOptions.h"
#include "core/DialectSettings.h"
#include "core/qt/IniProfileStore.h"
#include "db/ODBCSession.h"
#include "workspace/ConnectionCommands.h"
#include "workspace/MainFrame.h"
#include "workspace/ScriptCommands.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <memory>

using namespace marlix;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Marlix"));
    QApplication::setApplicationName(QStringLiteral("Marlix"));

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

    auto profile = options->profileFile.empty() ? std::make_unique<IniProfileStore>()
                                                : std::make_unique<IniProfileStore>(options->profileFile);
    LoadDialectSettings(*profile);

    CODBCSession session;
    if (!session.Initialize()) {
        QMessageBox::critical(nullptr, QStringLiteral("Marlix"), QString::fromLatin1(kOdbcInitFailedMessage));
        return 3;
    }

    CMainFrame frame(session, *profile);
    if (!options->script.empty() && !frame.Scripts().OpenPath(QString::fromStdString(options->script)))
        return 1;
    frame.UpdateTitle();
    if (options->Connects()) {
        frame.Connection().ConnectWith(options->Request(ConnectionTitleOf(options->connectionString)));
    }
    frame.show();
    const int status = QApplication::exec();
    profile->Sync();
    return status;
}
