// Values far longer than a storage page through marlix-cli: stored and streamed (--output),
// as INSERT statements and in text tables, on each database; 100 MB once, into a file.
#include "support/CliRunner.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using marlix::test::CliRun;
using marlix::test::RunCli;
using marlix::test::Server;

// FNV-1a, fed piece by piece, so a 100 MB text is checked without holding it twice.
struct Checksum {
    uint64_t value = 14695981039346656037ull;
    void Add(const char* data, size_t n) {
        for (size_t i = 0; i < n; ++i)
            value = (value ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    }
    void Add(const std::string& text) { Add(text.data(), text.size()); }
};

std::string Pattern(size_t n) {
    std::string text;
    text.reserve(n);
    while (text.size() < n)
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

// 10 MB stored (no size limit) and streamed: both write the INSERT whole.
void CheckTenMegabytes(Server server, const std::string& name, const std::string& connection) {
    constexpr size_t kSize = 10000000;
    CliRun made = RunCli(name + "-make", connection, MakeTable(server, kSize));
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string insert = "INSERT INTO copy (id, v)\r\nVALUES(1, '" + Pattern(kSize) + "');\r\n\r\n";
    CliRun stored = RunCli(name + "-stored", connection, kInsertScript, {"--size-limit", "0"});
    EXPECT_EQ(stored.status, 0) << stored.err;
    EXPECT_TRUE(stored.out == insert) << stored.out.size() << " bytes written";
    CliRun streamed = RunCli(name + "-streamed", connection, kInsertScript, {"--output", "-"});
    EXPECT_EQ(streamed.status, 0) << streamed.err;
    EXPECT_TRUE(streamed.out == insert) << streamed.out.size() << " bytes written";
}

TEST(CliLargeValues, SQLiteWritesTenMegabytesAndTextTablesWhole) {
    const std::string db = marlix::test::TempPath("big-values.sqlite");
    std::remove(db.c_str());
    const std::string connection = "Driver=SQLite3;Database=" + db;
    CheckTenMegabytes(Server::SQLite, "big-sqlite", connection);
    // A VARCHAR(255) column holding 200 KB: the streamed text table writes it whole.
    CliRun made = RunCli("big-sqlite-table", connection, MakeTable(Server::SQLite, 200000));
    ASSERT_EQ(made.status, 0) << made.err;
    CliRun table =
        RunCli("big-sqlite-table-out", connection, "SELECT id, v FROM big_values", {"--output", "-"});
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find(" '" + Pattern(200000) + "' \r\n"), std::string::npos)
        << table.out.substr(0, 400);
}

TEST(CliLargeValues, PostgreSQLWritesTenMegabytesWhole) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::PostgreSQL);
    CheckTenMegabytes(Server::PostgreSQL, "big-pg", conn);
}

TEST(CliLargeValues, MariaDBWritesTenMegabytesWhole) {
    MARLIX_CONNECTION_OR_SKIP(conn, Server::MariaDB);
    CheckTenMegabytes(Server::MariaDB, "big-mariadb", conn);
}

// 100 MB stored (no size limit) and written to standard output, which the runner keeps in a
// file: its size and checksum against those of the expected text.
TEST(CliLargeValues, HundredMegabytesAreStoredAndWrittenWhole) {
    constexpr size_t kSize = 100000000;
    // Made and converted in one run on a database in memory: only the output touches disk.
    CliRun run = RunCli("big-100", "Driver=SQLite3;Database=:memory:",
                        MakeTable(Server::SQLite, kSize) + kInsertScript, {"--size-limit", "0"});
    ASSERT_EQ(run.status, 0) << run.err;
    run.out.clear();
    const std::string file = marlix::test::TempPath("big-100.out");

    const std::string head = "INSERT INTO copy (id, v)\r\nVALUES(1, '", tail = "');\r\n\r\n";
    Checksum expected;
    expected.Add(head);
    const std::string piece = Pattern(1 << 20);
    for (size_t left = kSize; left > 0; left -= std::min(left, piece.size()))
        expected.Add(piece.data(), std::min(left, piece.size()));
    expected.Add(tail);

    std::ifstream in(file, std::ios::binary);
    Checksum got;
    size_t size = 0;
    std::string buffer(1 << 20, '\0');
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        got.Add(buffer.data(), static_cast<size_t>(in.gcount()));
        size += static_cast<size_t>(in.gcount());
    }
    EXPECT_EQ(size, head.size() + kSize + tail.size());
    EXPECT_EQ(got.value, expected.value);
    std::remove(file.c_str());
}

} // namespace
