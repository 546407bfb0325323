#pragma once
// The command line of the window: the runner's connection options, a settings file and a script
// to open. With a connection option the window connects at start.
#include <optional>
#include <string>
#include <vector>

namespace marlix {

struct WindowOptions {
    std::string connectionString; // --connect
    std::string dsn;              // --dsn
    std::string user;             // --user
    std::string password;         // --password
    std::optional<int> type;      // --type 0..5
    std::string profileFile;      // --profile
    std::string script;           // SCRIPT
    bool help = false;

    bool Connects() const noexcept { return !connectionString.empty() || !dsn.empty(); }
};

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args, std::string& error);
const char* WindowUsage();

// The title a connection made from the command line gets: the data source name, else the
// database (a file's name without its folder), else the server, else "ODBC".
std::string ConnectionTitleOf(const std::string& connectionString);

} // namespace marlix
