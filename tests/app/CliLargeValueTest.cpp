// Values far longer than a storage page through marlix-cli: streamed (--output) as INSERT
// statements and text tables on each database, and 100 MB stored once, checked by checksum.
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using marlix::test::CliRun;
using marlix::test::RunCli;
using marlix::test::Server;

std::string Pattern(size_t n) {
    std::string text;
    for (text.reserve(n); text.size() < n;)
        text += "ab";
    return text;
}

// A table of one value of n characters "abab...", made by the server itself.
std::string MakeTable(Server server, size_t n) {
    const std::string half = std::to_string(n / 2);
    const bool sqlite = server == Server::SQLite;
    return std::string("DROP TABLE IF EXISTS big_values;\r\nCREATE TABLE big_values (id INTEGER, v ") +
           (sqlite                         ? "VARCHAR(255)"
            : server == Server::PostgreSQL ? "TEXT"
                                           : "LONGTEXT") +
           ");\r\nINSERT INTO big_values VALUES (1, " +
           (sqlite ? "replace(hex(zeroblob(" + half + ")), '00', 'ab')" : "repeat('ab', " + half + ")") +
           ");\r\n";
}

const char* kInsertScript = "/*METADATA>\r\n\t<OPTIONS Syntax = \"POSTGRESQL\"/>\r\n"
                            "\t<RESULTSET Type = \"INSERT\", Table = \"copy\"/>\r\n</METADATA*/\r\n"
                            "SELECT id, v FROM big_values;\r\n";
const std::string kHead = "INSERT INTO copy (id, v)\r\nVALUES(1, '", kTail = "');\r\n\r\n";

TEST(CliLargeValues, TenMegabytesStreamWholeOnEachDatabase) {
    constexpr size_t kSize = 10000000;
    for (Server server : {Server::SQLite, Server::PostgreSQL, Server::MariaDB}) {
        const std::string conn = marlix::test::ConnectionString(server, "big-values");
        if (conn.empty()) {
            if (marlix::test::ServersRequired())
                ADD_FAILURE() << marlix::test::ServerName(server) << " is not running";
            continue;
        }
        const std::string name = std::string("big-") + marlix::test::ServerName(server);
        CliRun made = RunCli(name + "-make", conn, MakeTable(server, kSize));
        ASSERT_EQ(made.status, 0) << made.err;
        CliRun streamed = RunCli(name + "-streamed", conn, kInsertScript, {"--output", "-"});
        EXPECT_EQ(streamed.status, 0) << streamed.err;
        EXPECT_TRUE(streamed.out == kHead + Pattern(kSize) + kTail)
            << streamed.out.size() << " bytes written";
        if (server != Server::SQLite) continue; // long columns stay out of text tables
        // A VARCHAR(255) column holding more: the streamed text table writes it whole.
        CliRun table = RunCli(name + "-table", conn, "SELECT id, v FROM big_values", {"--output", "-"});
        EXPECT_EQ(table.status, 0) << table.err;
        // Searched from its quote: the header's padding (as wide as the value) holds no quote, so
        // the search stays linear, also where every comparison checks its whole length.
        EXPECT_NE(table.out.find("'" + Pattern(kSize) + "' \r\n"), std::string::npos);
    }
}

// 100 MB stored (no size limit) and written to standard output, which the runner keeps in a
// file: its size and checksum (FNV-1a, fed piece by piece) against those of the expected text.
TEST(CliLargeValues, HundredMegabytesAreStoredAndWrittenWhole) {
    constexpr size_t kSize = 100000000;
    // Made and converted in one run on a database in memory: only the output touches disk.
    CliRun run = RunCli("big-100",
                        "Driver=SQLite3;Database=:memory:", MakeTable(Server::SQLite, kSize) + kInsertScript,
                        {"--size-limit", "0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.size(), kHead.size() + kSize + kTail.size());
    run.out.clear();

    uint64_t expected = 14695981039346656037ull, got = expected;
    auto add = [](uint64_t& sum, const char* data, size_t n) {
        for (size_t i = 0; i < n; ++i)
            sum = (sum ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    };
    add(expected, kHead.data(), kHead.size());
    const std::string piece = Pattern(1 << 20);
    for (size_t left = kSize; left > 0; left -= std::min(left, piece.size()))
        add(expected, piece.data(), std::min(left, piece.size()));
    add(expected, kTail.data(), kTail.size());
    std::ifstream in(marlix::test::TempPath("big-100.out"), std::ios::binary);
    std::string buffer(1 << 20, '\0');
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        add(got, buffer.data(), static_cast<size_t>(in.gcount()));
    EXPECT_EQ(got, expected);
    in.close();
    std::filesystem::remove(marlix::test::TempPath("big-100.out"));
}

} // namespace
