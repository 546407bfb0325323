#include "support/TestDatabases.h"

#include "core/ODBCException.h"
#include "db/StatementHandle.h"

#include <arpa/inet.h>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace marlix::test {

const char* ServerName(Server server) {
    switch (server) {
    case Server::SQLite:
        return "SQLite";
    case Server::PostgreSQL:
        return "PostgreSQL";
    case Server::MariaDB:
        return "MariaDB";
    }
    return "?";
}

static std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool ServersRequired() {
    return !Env("CI").empty() || Env("MARLIX_REQUIRE_SERVERS") == "1";
}

std::string TempPath(std::string_view name) {
    std::string dir = Env("MARLIX_TEST_TMP");
    if (dir.empty()) dir = MARLIX_TEST_TMP_DEFAULT;
    std::filesystem::create_directories(dir);
    return dir + "/" + std::string(name);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

size_t Occurrences(std::string_view text, std::string_view what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

std::string ConnectionString(Server server, std::string_view name) {
    switch (server) {
    case Server::SQLite: {
        std::string safe(name);
        for (char& c : safe)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        std::string file = TempPath(safe + ".sqlite");
        std::filesystem::remove(file);
        return "Driver=SQLite3;Database=" + file + ";";
    }
    case Server::PostgreSQL:
        return Env("MARLIX_TEST_PG");
    case Server::MariaDB:
        return Env("MARLIX_TEST_MYSQL");
    }
    return {};
}

SilentServer::SilentServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 16);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
}

SilentServer::~SilentServer() {
    close(fd_);
}

void Exec(SQLHDBC connection, std::string_view sql) {
    StatementHandle statement(connection);
    if (!statement.Valid()) throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    std::string text(sql);
    SQLRETURN rc = SQLExecDirect(statement, (SQLCHAR*)text.c_str(), SQL_NTS);
    if (!Succeeded(rc) && rc != SQL_NO_DATA) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
}

} // namespace marlix::test
