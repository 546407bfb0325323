#include "app/ConnectionOptions.h"

#include "db/ConnectionString.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlix {

ConnectionRequest ConnectionOptions::Request(const std::string& connectTitle) const {
    ConnectionRequest request;
    request.type = static_cast<ConnectionType>(type.value_or(dsn.empty() ? 0 : 2));
    request.connectionString = dsn.empty() ? connectionString : dsn;
    request.user = user;
    request.password = password;
    if (dsn.empty() && !password.empty() && ConnectionAttribute(connectionString, "PWD").empty()) {
        std::string& text = request.connectionString;
        if (!text.empty() && text.back() != ';') text += ';';
        text += "PWD=" + ConnectionValue(password) + ";";
    }
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
        {"--password-file", &ConnectionOptions::passwordFile},
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
        if (text == &ConnectionOptions::password) into.passwordGiven = true;
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


bool ResolvePassword(ConnectionOptions& options, std::string& error) {
    if (options.passwordGiven && !options.passwordFile.empty()) {
        error = "give only one of --password and --password-file";
        return false;
    }
    if (options.passwordGiven) return true;
    if (options.passwordFile.empty()) {
        if (const char* fromEnvironment = std::getenv(kPasswordVariable)) options.password = fromEnvironment;
        return true;
    }
    const std::string& name = options.passwordFile;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status = {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        error = "cannot read the password file " + name + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    // A password others may read is no secret: refuse it before reading, as ssh does with keys.
    if ((status.st_mode & (S_IRGRP | S_IROTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%03o", static_cast<unsigned>(status.st_mode & 0777));
        error = "the password file " + name + " may be read by others (mode " + mode + "): chmod 600 it";
        ::close(fd);
        return false;
    }
    std::string content;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    // The first line is the password; its line end is not part of it.
    content = content.substr(0, content.find('\n'));
    if (!content.empty() && content.back() == '\r') content.pop_back();
    options.password = content;
    return true;
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
