#include "app/ConnectionOptions.h"

#include "db/ConnectionString.h"

#include <charconv>

namespace marlix {

ConnectionRequest ConnectionOptions::Request(const std::string& connectTitle) const {
    ConnectionRequest request;
    request.type = static_cast<ConnectionType>(type.value_or(dsn.empty() ? 0 : 2));
    request.connectionString = dsn.empty() ? connectionString : dsn;
    request.user = user;
    request.password = password;
    request.title = dsn.empty() ? connectTitle : dsn;
    request.dataSource = !dsn.empty();
    return request;
}

OptionTaken TakeConnectionOption(const std::vector<std::string>& args, size_t& i, ConnectionOptions& into,
                                 std::string& error) {
    static const std::pair<const char*, std::string ConnectionOptions::*> kTextOptions[] = {
        {"--connect", &ConnectionOptions::connectionString},
        {"--dsn", &ConnectionOptions::dsn},
        {"--user", &ConnectionOptions::user},
        {"--password", &ConnectionOptions::password},
        {"--profile", &ConnectionOptions::profileFile},
    };
    const std::string& arg = args[i];
    std::string ConnectionOptions::*text = nullptr;
    for (const auto& [name, member] : kTextOptions)
        if (arg == name) text = member;
    if (!text && arg != "--type") return OptionTaken::No;
    if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return OptionTaken::Error;
    }
    const std::string& value = args[++i];
    if (text) {
        into.*text = value;
        return OptionTaken::Yes;
    }
    int type = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), type);
    if (ec != std::errc() || end != value.data() + value.size() || type < 0 || type >= kConnectionTypeCount) {
        error = "--type takes a number from 0 to " + std::to_string(kConnectionTypeCount - 1) + ", not '" +
                value + "'";
        return OptionTaken::Error;
    }
    into.type = type;
    return OptionTaken::Yes;
}


std::string ConnectionTitleOf(const std::string& connectionString) {
    for (const char* key : {"DSN", "Database", "Server"}) {
        std::string value = ConnectionAttribute(connectionString, key);
        if (value.empty()) continue;
        size_t slash = value.find_last_of('/');
        return slash == std::string::npos ? value : value.substr(slash + 1);
    }
    return "ODBC";
}

} // namespace marlix
