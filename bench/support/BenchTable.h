#pragma once
// The benchmarks' shared data: a table `bench_rows` of a million rows (id, name, qty, created,
// note about 30% NULL with some apostrophes and line breaks, flag) in each test database,
// created once and reused by later runs.
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace marlix::bench {

enum class BenchServer { SQLite, PostgreSQL, MariaDB };

struct BenchDatabase {
    BenchServer server;
    std::string name;             // "SQLite", "PostgreSQL", "MariaDB"
    std::string connectionString; // PostgreSQL with a server-side cursor, so its driver keeps no copy
};

inline constexpr long kBenchRows = 1000000;
inline constexpr const char* kBenchQuery =
    "SELECT id, name, qty, created, note, flag FROM bench_rows ORDER BY id";

// The folder for the benchmarks' files: MARLIX_BENCH_DIR, or marlix-bench in the temporary folder.
std::string BenchFolder();

// The databases reachable in this run: SQLite always (a file under MARLIX_BENCH_DIR or /tmp),
// the servers when scripts/testdb.sh exported their connection strings.
std::vector<BenchDatabase> AvailableDatabases();

// Creates bench_rows with `rows` rows unless it is already there with that many.
void EnsureBenchTable(SQLHDBC connection, BenchServer server, long rows = kBenchRows);

// Current and peak resident memory of the process, in bytes.
long CurrentRss();
long PeakRss();

// Seconds on a monotonic clock.
double Now();
// Processor seconds used by this process so far: the time that is this program's own work,
// whatever else the machine (or the database server on it) is doing.
double ProcessorSeconds();

} // namespace marlix::bench
