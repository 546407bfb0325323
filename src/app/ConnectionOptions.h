#pragma once
// The connection options that marlix-cli and the window share: a connection string or a data
// source name with its user and password, the server type, and the settings file.
#include "db/ODBCSession.h"

#include <optional>
#include <string>
#include <vector>

namespace marlix {

struct ConnectionOptions {
    std::string connectionString; // --connect
    std::string dsn;              // --dsn
    std::string user;             // --user
    std::string password;         // --password
    std::optional<int> type;      // --type 0..7
    std::string profileFile;      // --profile

    bool Connects() const noexcept { return !connectionString.empty() || !dsn.empty(); }
    // The connection asked for: type 2 by default with --dsn, else 0. A data source name is its
    // own title; a connection string gets `connectTitle`.
    ConnectionRequest Request(const std::string& connectTitle) const;
};

enum class OptionTaken { No, Yes, Error };

// Takes args[i] (and its value, moving i on) when it is a connection option. Error: `error`
// says what is wrong.
OptionTaken TakeConnectionOption(const std::vector<std::string>& args, size_t& i, ConnectionOptions& into,
                                 std::string& error);

// The title a connection string gets in the window: the data source name, else the database
// (a file's name without its folder), else the server, else "ODBC".
std::string ConnectionTitleOf(const std::string& connectionString);

} // namespace marlix
