#include "app/WindowOptions.h"

#include "core/CaseFold.h"

namespace marlix {
namespace {

// The automation switch `arg` sets, or null.
bool WindowOptions::*SwitchOf(const std::string& arg) {
    std::string_view name(arg);
    if (name.starts_with("--"))
        name.remove_prefix(2);
    else if (name.starts_with("-"))
        name.remove_prefix(1);
    else
        return nullptr;
    for (const char* spelling : {"regserver", "register"})
        if (EqualsFolded(name, spelling)) return &WindowOptions::registerServer;
    for (const char* spelling : {"unregserver", "unregister"})
        if (EqualsFolded(name, spelling)) return &WindowOptions::unregisterServer;
    if (EqualsFolded(name, "automation")) return &WindowOptions::automation;
    return nullptr;
}

} // namespace

bool IsAutomationSwitch(const std::string& arg) {
    return SwitchOf(arg) != nullptr;
}

const char* WindowUsage() {
    return "Usage: marlix [OPTION]... [SCRIPT]\n"
           "Opens the Marlix window, with SCRIPT (a .sql file) in the editor.\n"
           "\n"
           "  --connect STRING   connect at start with an ODBC connection string\n"
           "  --dsn NAME         connect at start to a data source name\n"
           "  --user NAME        user for --dsn\n"
           "  --password-file FILE  the password, from the first line of FILE, which only its\n"
           "                     owner may read (chmod 600); else from the environment variable\n"
           "                     MARLIX_PASSWORD. It goes to --dsn, or into --connect's string\n"
           "                     unless that has a PWD.\n"
           "  --password TEXT    the password on the command line: every user of the machine\n"
           "                     sees it in the process list; prefer the two above\n"
           "  --type N           server type 0..7 (0 Microsoft SQL, 1 Oracle, 2 data source name,\n"
           "                     3 MySQL, 4 MS Access, 5 Interbase/Firebird, 6 PostgreSQL,\n"
           "                     7 SQLite file); default 0 for --connect, 2 for --dsn\n"
           "  --profile FILE     settings file instead of ~/.config/Marlix/Marlix.ini; it must\n"
           "                     exist and be readable\n"
           "  --help             this text\n"
           "\n"
           "Automation (alone on the command line):\n"
           "  -RegServer, --register      install the session bus service and the desktop entry\n"
           "                              for this user, then exit\n"
           "  -UnregServer, --unregister  remove them, then exit\n"
           "  --automation       serve org.marlix.Marlix on the session bus, without a window\n"
           "                     (--profile may be given)\n"
           "\n"
           "With only SCRIPT, and a Marlix window already running, SCRIPT opens in that window.\n";
}

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args, std::string& error) {
    WindowOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const OptionTaken taken = TakeConnectionOption(args, i, options, error);
        if (taken == OptionTaken::Error) return std::nullopt;
        if (taken == OptionTaken::Yes) continue;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (bool WindowOptions::*automationSwitch = SwitchOf(arg)) {
            options.*automationSwitch = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (options.script.empty()) {
            options.script = arg;
        } else {
            error = "only one script can be opened, not also '" + arg + "'";
            return std::nullopt;
        }
    }
    if (!options.connectionString.empty() && !options.dsn.empty()) {
        error = "--connect and --dsn cannot be used together";
        return std::nullopt;
    }
    // Registration changes nothing but the user's files, and the automation server is driven
    // over the bus only: neither takes a script or a connection.
    const int switches = options.registerServer + options.unregisterServer + options.automation;
    if (switches > 1) {
        error = "give only one of -RegServer, -UnregServer and --automation";
        return std::nullopt;
    }
    if (options.Registration() &&
        (options.Connects() || !options.script.empty() || options.type || !options.profileFile.empty())) {
        error = "-RegServer and -UnregServer take no other options";
        return std::nullopt;
    }
    if (options.automation && (options.Connects() || !options.script.empty() || options.type)) {
        error = "--automation takes no script or connection: its client connects and opens scripts";
        return std::nullopt;
    }
    if (!options.help && !ResolvePassword(options, error)) return std::nullopt;
    return options;
}

} // namespace marlix
