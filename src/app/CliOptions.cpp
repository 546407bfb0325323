#include "app/CliOptions.h"

#include "core/CaseFold.h"
#include "core/DialectNames.h"

#include <charconv>
#include <utility>

namespace marlix {
namespace {

bool ParseInt(const std::string& text, int& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::optional<Dialect> ParseDialect(const std::string& name) {
    for (int d = 0; d < kDialectCount; ++d)
        if (EqualsFolded(name, DialectName(static_cast<Dialect>(d)))) return static_cast<Dialect>(d);
    return std::nullopt;
}

} // namespace

const char* CliUsage() {
    return "Usage: marlix-cli [options] SCRIPT\n"
           "Runs an SQL script through ODBC as Marlix's Execute Script does and prints what the\n"
           "window would show: the Results text on standard output, the Execution history on\n"
           "standard error, both with CR LF line ends.\n"
           "\n"
           "Connection (one of):\n"
           "  --connect STRING     connect with SQLDriverConnect and this connection string\n"
           "  --dsn NAME           connect with SQLConnect to this data source name\n"
           "  --user NAME          user for --dsn\n"
           "  --password-file FILE read the password from the first line of FILE, which only its\n"
           "                       owner may read (chmod 600); else it comes from the environment\n"
           "                       variable MARLIX_PASSWORD. For --dsn it goes to SQLConnect, for\n"
           "                       --connect into the string unless that has a PWD.\n"
           "  --password TEXT      the password on the command line: every user of the machine\n"
           "                       sees it in the process list; prefer the two above\n"
           "  --type N             connection type 0..7 (0 Microsoft SQL, 1 Oracle, 2 data source\n"
           "                       name, 3 MySQL, 4 MS Access, 5 Interbase/Firebird, 6 PostgreSQL,\n"
           "                       7 SQLite file); it selects the autocommit setting. Default 2 with\n"
           "                       --dsn, 0 otherwise.\n"
           "\n"
           "Run:\n"
           "  --syntax NAME        target platform: MSSQL, ORACLE, GENERIC, ACCESS, MYSQL,\n"
           "                       FIREBIRD, POSTGRESQL or SQLITE\n"
           "                       (default: \"DefaultSyntax\" of the profile's \"Settings\"); a\n"
           "                       statement after an OPTIONS element converts in its Syntax\n"
           "  --statement-at N     run only the statement at character offset N (Unicode\n"
           "                       characters, a line end counting as one), converted with the\n"
           "                       syntax in force at N\n"
           "  --output FILE        Results to file: the converted output goes to FILE, row by row,\n"
           "                       and nothing to standard output; --output - streams it to\n"
           "                       standard output the same way (no limits, flat memory);\n"
           "                       FILE is replaced only when the run ends without error or\n"
           "                       cancel, else it is left as it was\n"
           "  --row-limit N        store at most N rows per result in this run, over the\n"
           "                       profile's \"DatasetRowLimit\" (0: no limit)\n"
           "  --size-limit MB      store at most MB megabytes per result in this run, over the\n"
           "                       profile's \"DatasetSizeLimit (MB)\" (default 1; 0: no limit)\n"
           "  --autocommit on|off  autocommit for this run, over the profile's \"Autocommit\" value\n"
           "                       of the type (default off for Oracle and MySQL, on otherwise).\n"
           "                       With it off, what the script has not committed at its end is\n"
           "                       rolled back, the history says so, and the exit status is 1.\n"
           "  --profile FILE       read settings (row and size limits, date formats, autocommit,\n"
           "                       the login timeout: \"LoginTimeout\" of \"Login Settings\", default\n"
           "                       15 seconds) from this INI file instead of the user's profile;\n"
           "                       it must exist and be readable\n"
           "  --help               show this text\n"
           "\n"
           "SCRIPT is a file name, or - for standard input. Ctrl+C cancels the running batch (status\n"
           "1); a second Ctrl+C ends the program at once. A script of any size is read and run\n"
           "statement by statement in bounded memory. A file is read through once before anything\n"
           "runs, so that a script whose text cannot run as written runs nothing; standard input\n"
           "from a pipe is read once: there such a fault stops the run where it is reached, with\n"
           "the same error naming its line, after the statements before it have run (status 1).\n"
           "\n"
           "Exit status: 0 no error reported; 1 the batch failed or was cancelled, an error was\n"
           "reported, the output could not be written, or work left uncommitted was rolled back;\n"
           "2 usage error, or a --profile that cannot be read; 3 the connection failed; 4 no error,\n"
           "but the row or size limit cut at least one result (the last history line says how\n"
           "many): the output misses rows.\n";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error) {
    CliOptions options;
    bool haveScript = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* option) -> const std::string* {
            if (i + 1 >= args.size()) {
                error = std::string(option) + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        const OptionTaken taken = TakeConnectionOption(args, i, options, error);
        if (taken == OptionTaken::Error) return std::nullopt;

        if (taken == OptionTaken::Yes) {
            // a connection option, taken with its value
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--syntax") {
            auto v = value("--syntax");
            if (!v) return std::nullopt;
            options.syntax = ParseDialect(*v);
            if (!options.syntax) {
                error = "unknown syntax '" + *v + "' (MSSQL, ORACLE, GENERIC, ACCESS, MYSQL, FIREBIRD, POSTGRESQL, SQLITE)";
                return std::nullopt;
            }
        } else if (arg == "--output") {
            auto v = value("--output");
            if (!v) return std::nullopt;
            if (v->empty()) {
                error = "--output needs a file name";
                return std::nullopt;
            }
            options.outputFile = *v;
        } else if (arg == "--row-limit" || arg == "--size-limit") {
            auto v = value(arg.c_str());
            if (!v) return std::nullopt;
            int limit = 0;
            if (!ParseInt(*v, limit) || limit < 0) {
                error = arg + " takes a number, 0 for no limit, not '" + *v + "'";
                return std::nullopt;
            }
            (arg == "--row-limit" ? options.rowLimit : options.sizeLimitMB) = limit;
        } else if (arg == "--autocommit") {
            auto v = value("--autocommit");
            if (!v) return std::nullopt;
            if (*v != "on" && *v != "off") {
                error = "--autocommit takes on or off, not '" + *v + "'";
                return std::nullopt;
            }
            options.autocommit = *v == "on";
        } else if (arg == "--statement-at") {
            auto v = value("--statement-at");
            if (!v) return std::nullopt;
            if (!ParseInt(*v, options.statementAt) || options.statementAt < 0) {
                error = "--statement-at takes a character offset, not '" + *v + "'";
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            if (haveScript) {
                error = "only one script can run at a time";
                return std::nullopt;
            }
            options.script = arg;
            haveScript = true;
        }
    }
    if (options.help) return options;
    if (!haveScript) {
        error = "no script given";
        return std::nullopt;
    }
    if (options.connectionString.empty() == options.dsn.empty()) {
        error = "give exactly one of --connect and --dsn";
        return std::nullopt;
    }
    if (!ResolvePassword(options, error)) return std::nullopt;
    return options;
}

} // namespace marlix
