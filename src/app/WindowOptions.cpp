#include "app/WindowOptions.h"

#include "core/CaseFold.h"

#include <cstdlib>

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
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--connect") {
            if (!value(options.connectionString)) return std::nullopt;
        } else if (arg == "--dsn") {
            if (!value(options.dsn)) return std::nullopt;
        } else if (arg == "--user") {
            if (!value(options.user)) return std::nullopt;
        } else if (arg == "--password") {
            if (!value(options.password)) return std::nullopt;
        } else if (arg == "--profile") {
            if (!value(options.profileFile)) return std::nullopt;
        } else if (arg == "--type") {
            std::string text;
            if (!value(text)) return std::nullopt;
            if (text.size() != 1 || text[0] < '0' || text[0] > '5') {
                error = "--type takes a number from 0 to 5, not '" + text + "'";
                return std::nullopt;
            }
            options.type = text[0] - '0';
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

namespace {

std::string ValueOf(const std::string& connection, const std::string& key) {
    size_t at = 0;
    while (at < connection.size()) {
        size_t end = connection.find(';', at);
        if (end == std::string::npos) end = connection.size();
        std::string part = connection.substr(at, end - at);
        size_t equals = part.find('=');
        if (equals != std::string::npos) {
            std::string name = part.substr(0, equals);
            while (!name.empty() && name.front() == ' ') name.erase(0, 1);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            if (EqualsFolded(name, key)) return part.substr(equals + 1);
        }
        at = end + 1;
    }
    return {};
}

} // namespace

std::string ConnectionTitleOf(const std::string& connectionString) {
    for (const char* key : {"DSN", "Database", "Server"}) {
        std::string value = ValueOf(connectionString, key);
        if (value.empty()) continue;
        size_t slash = value.find_last_of('/');
        return slash == std::string::npos ? value : value.substr(slash + 1);
    }
    return "ODBC";
}

} // namespace marlix
