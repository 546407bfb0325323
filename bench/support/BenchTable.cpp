#include "support/BenchTable.h"

#include "core/ODBCException.h"
#include "db/StatementHandle.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace marlix::bench {
namespace {

void Exec(SQLHDBC connection, const std::string& sql) {
    StatementHandle statement(connection);
    SQLRETURN rc = SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS);
    if (!Succeeded(rc) && rc != SQL_NO_DATA) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
}

long CountRows(SQLHDBC connection) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)"SELECT COUNT(*) FROM bench_rows", SQL_NTS))) return -1;
    char text[32] = {};
    SQLLEN indicator = 0;
    if (!Succeeded(SQLFetch(statement))) return -1;
    SQLGetData(statement, 1, SQL_C_CHAR, text, sizeof text, &indicator);
    return std::atol(text);
}

std::string Populate(BenchServer server, long rows) {
    const std::string n = std::to_string(rows);
    switch (server) {
    case BenchServer::PostgreSQL:
        return "INSERT INTO bench_rows SELECT i, 'customer ' || i, (i % 100000) * 1.25, "
               "timestamp '2020-01-01' + i * interval '1 second', "
               "CASE WHEN i % 10 < 3 THEN NULL WHEN i % 17 = 0 THEN 'O''Brien''s note ' || i "
               "WHEN i % 19 = 0 THEN 'line one' || chr(10) || 'line two ' || i ELSE 'note number ' || i END, "
               "i % 2 FROM generate_series(1, " +
               n + ") AS g(i)";
    case BenchServer::MariaDB:
        return "INSERT INTO bench_rows SELECT seq, CONCAT('customer ', seq), (seq % 100000) * 1.25, "
               "TIMESTAMP '2020-01-01 00:00:00' + INTERVAL seq SECOND, "
               "CASE WHEN seq % 10 < 3 THEN NULL WHEN seq % 17 = 0 THEN CONCAT('O''Brien''s note ', seq) "
               "WHEN seq % 19 = 0 THEN CONCAT('line one', CHAR(10), 'line two ', seq) "
               "ELSE CONCAT('note number ', seq) END, seq % 2 FROM seq_1_to_" +
               n;
    case BenchServer::SQLite:
        return "WITH RECURSIVE g(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM g WHERE i < " + n +
               ") INSERT INTO bench_rows SELECT i, 'customer ' || i, (i % 100000) * 1.25, "
               "datetime('2020-01-01', '+' || i || ' seconds'), "
               "CASE WHEN i % 10 < 3 THEN NULL WHEN i % 17 = 0 THEN 'O''Brien''s note ' || i "
               "WHEN i % 19 = 0 THEN 'line one' || char(10) || 'line two ' || i ELSE 'note number ' || i "
               "END, "
               "i % 2 FROM g";
    }
    return {};
}

} // namespace

std::string BenchFolder() {
    const char* dir = std::getenv("MARLIX_BENCH_DIR");
    std::string folder =
        dir && *dir ? dir : (std::filesystem::temp_directory_path() / "marlix-bench").string();
    std::filesystem::create_directories(folder);
    return folder;
}

std::vector<BenchDatabase> AvailableDatabases() {
    std::vector<BenchDatabase> databases;
    const std::string folder = BenchFolder();
    databases.push_back(
        {BenchServer::SQLite, "SQLite", "Driver=SQLite3;Database=" + folder + "/bench.sqlite;"});
    if (const char* pg = std::getenv("MARLIX_TEST_PG"); pg && *pg)
        databases.push_back(
            {BenchServer::PostgreSQL, "PostgreSQL", std::string(pg) + "UseDeclareFetch=1;Fetch=10000;"});
    if (const char* my = std::getenv("MARLIX_TEST_MYSQL"); my && *my)
        databases.push_back({BenchServer::MariaDB, "MariaDB", my});
    return databases;
}

void EnsureBenchTable(SQLHDBC connection, BenchServer server, long rows) {
    if (CountRows(connection) == rows) return;
    std::fprintf(stderr, "creating bench_rows with %ld rows...\n", rows);
    try {
        Exec(connection, "DROP TABLE bench_rows");
    } catch (const CODBCException&) {
    }
    std::string created = server == BenchServer::MariaDB ? "DATETIME" : "TIMESTAMP";
    Exec(connection, "CREATE TABLE bench_rows (id INTEGER PRIMARY KEY, name VARCHAR(40), qty NUMERIC(12,2), "
                     "created " +
                         created + ", note VARCHAR(200), flag INTEGER)");
    Exec(connection, Populate(server, rows));
    SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT);
}

long CurrentRss() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

long PeakRss() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ProcessorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace marlix::bench
