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
    std::string password;         // --password, else --password-file, else $MARLIX_PASSWORD
    std::string passwordFile;     // --password-file
    bool passwordGiven = false;   // --password was on the command line
    std::optional<int> type;      // --type 0..7
    std::string profileFile;      // --profile

    bool Connects() const noexcept { return !connectionString.empty() || !dsn.empty(); }
    // The connection asked for: type 2 by default with --dsn, else 0. A data source name is its
    // own title; a connection string gets `connectTitle`. A password goes to SQLConnect with
    // --dsn, and into a connection string that names no PWD of its own.
    ConnectionRequest Request(const std::string& connectTitle) const;
};

// The environment variable that can hold the password, out of sight of the process list.
inline constexpr const char* kPasswordVariable = "MARLIX_PASSWORD";

// Fills in the password when --password gave none: from --password-file (its first line), else
// from $MARLIX_PASSWORD. False, with `error` set, when both --password and --password-file are
// given, or the file cannot be read or others than its owner may read it.
bool ResolvePassword(ConnectionOptions& options, std::string& error);

enum class OptionTaken { No, Yes, Error };

// Takes args[i] (and its value, moving i on) when it is a connection option. Error: `error`
// says what is wrong.
OptionTaken TakeConnectionOption(const std::vector<std::string>& args, size_t& i, ConnectionOptions& into,
                                 std::string& error);

// The title a connection string gets in the window: the data source name, else the database
// (a file's name without its folder), else the server, else "ODBC".
std::string ConnectionTitleOf(const std::string& connectionString);

} // namespace marlix
