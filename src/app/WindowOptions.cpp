#include "app/WindowOptions.h"

namespace marlix {

const char* WindowUsage() {
    return "Usage: marlix [OPTION]... [SCRIPT]\n"
           "Opens the Marlix window, with SCRIPT (a .sql file) in the editor.\n"
           "\n"
           "  --connect STRING   connect at start with an ODBC connection string\n"
           "  --dsn NAME         connect at start to a data source name\n"
           "  --user NAME        user for --dsn\n"
           "  --password TEXT    password for --dsn\n"
           "  --type N           server type 0..5 (0 Microsoft SQL, 1 Oracle, 2 data source name,\n"
           "                     3 MySQL, 4 MS Access, 5 Interbase/Firebird); default 0 for\n"
           "                     --connect, 2 for --dsn\n"
           "  --profile FILE     settings file instead of ~/.config/Marlix/Marlix.ini\n"
           "  --help             this text\n";
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
    return options;
}

} // namespace marlix
