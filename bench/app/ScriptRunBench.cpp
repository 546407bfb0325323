// bench_script_run: marlix-cli running long scripts, against each server's own client on the
// same file. A script of one-row INSERTs (50 MB, in one transaction) per server: time and peak
// memory of marlix-cli beside `sqlite3 <`, `psql -f` and `mariadb <`; a 500 MB one on SQLite for
// peak memory only; then a million rows piped from one server to the other,
// `marlix-cli --connect A export.sql --output - | marlix-cli --connect B -`, beside
// `pg_dump --inserts | psql` and `mariadb-dump | mariadb`, with each end's peak memory.
// Quick runs: MARLIX_BENCH_SCRIPT_MB (default 50), MARLIX_BENCH_BIG_MB (500, 0 skips it) and
// MARLIX_BENCH_PIPE_ROWS (1000000, 0 skips the pipes) make them smaller. The generated files
// go to a new temporary folder, removed at the end. A server that is not running is skipped.
#include "core/qt/IniProfileStore.h"
#include "db/ODBCSession.h"
#include "support/BenchProcess.h"
#include "support/BenchTable.h"

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace marlix;
using namespace marlix::bench;

namespace {

long Setting(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

// The statement every script repeats; its largest statement is one of these (under 100 bytes).
std::string Insert(long i) {
    return "INSERT INTO bench_script (id, name, qty) VALUES (" + std::to_string(i) + ", 'customer " +
           std::to_string(i) + "', " + std::to_string(i % 100000) + ".25);\n";
}

// A script of about `megabytes` MB: the table, then its rows in one transaction.
long WriteScript(const std::string& path, long megabytes, const std::string& begin) {
    std::ofstream out(path, std::ios::binary);
    out << "DROP TABLE IF EXISTS bench_script;\n"
           "CREATE TABLE bench_script (id INTEGER PRIMARY KEY, name VARCHAR(40), qty NUMERIC(12,2));\n"
        << begin << ";\n";
    long rows = 0;
    for (long bytes = 0; bytes < megabytes * (1L << 20); bytes += static_cast<long>(Insert(rows).size()))
        out << Insert(++rows);
    out << "COMMIT;\n";
    return rows;
}

struct Pipeline {
    Measured from, to;
    double seconds = 0;
};

// `first | second`, each end's peak memory measured apart.
Pipeline RunPipeline(const std::vector<std::string>& first, const std::vector<std::string>& second,
                     const std::map<std::string, std::string>& environment) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const auto start = [&](const std::vector<std::string>& args, int in, int out) {
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(in, 0);
            dup2(out, 1);
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, 2);
            ::close(ends[0]);
            ::close(ends[1]);
            ExecProgram(args, environment);
        }
        return pid;
    };
    Pipeline result;
    const double began = Now();
    const pid_t a = start(first, 0, ends[1]);
    const int null = ::open("/dev/null", O_WRONLY);
    const pid_t b = start(second, ends[0], null);
    ::close(null);
    ::close(ends[0]);
    ::close(ends[1]);
    for (const auto& [pid, measured] : {std::pair{a, &result.from}, std::pair{b, &result.to}}) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        measured->peakMB = usage.ru_maxrss / 1024.0;
        measured->status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    result.seconds = Now() - began;
    return result;
}

void Row(const char* what, const Measured& m, double rows) {
    std::printf("  %-34s %7.2f s %9.0f rows/s  peak %7.1f MB  status %d\n", what, m.seconds, rows / m.seconds,
                m.peakMB, m.status);
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as it comes, through a pipe too
    const long scriptMB = Setting("MARLIX_BENCH_SCRIPT_MB", 50), bigMB = Setting("MARLIX_BENCH_BIG_MB", 500);
    const long pipeRows = Setting("MARLIX_BENCH_PIPE_ROWS", kBenchRows);
    char pattern[] = "/tmp/marlix-bench-script.XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string folder = pattern;
    const std::string cli = MARLIX_CLI_PATH, profile = folder + "/profile.ini";
    {
        IniProfileStore store(profile);
        store.WriteInt("Execution Settings", "DatasetRowLimit", 0);
        store.WriteInt("Execution Settings", "DatasetSizeLimit (MB)", 0);
        store.Sync();
    }
    const char* pg = std::getenv("MARLIX_TEST_PG");
    const char* my = std::getenv("MARLIX_TEST_MYSQL");
    auto pa = Attributes(pg ? pg : ""), ma = Attributes(my ? my : "");
    const std::map<std::string, std::string> pgEnv{{"PGPASSWORD", pa["Pwd"]}}, myEnv{{"MYSQL_PWD", ma["Pwd"]}};
    const std::vector<std::string> psql{"psql", "-q", "-X", "-v", "ON_ERROR_STOP=1", "-h", pa["Server"], "-p",
                                        pa["Port"], "-U", pa["Uid"]};
    const std::vector<std::string> mariadb{"mariadb", "-h", ma["Server"], "-P", ma["Port"], "-u", ma["Uid"]};
    const auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.end(), more);
        return args;
    };
    int failures = 0;

    std::printf("bench_script_run: a %ld MB script of one-row INSERTs in one transaction\n", scriptMB);
    std::printf("  target: peak <= 64 MB + largest statement (under 100 bytes); target: time <= client\n");
    const std::string script = folder + "/rows.sql";
    struct Server {
        const char* name;
        bool present;
        std::vector<std::string> cliArgs, clientArgs;
        std::map<std::string, std::string> environment;
        std::string begin, stdinFile;
    };
    const std::string sqliteDb = folder + "/rows.sqlite", sqliteOwn = folder + "/own.sqlite";
    const std::vector<Server> servers{
        {"SQLite", true, {"--connect", "Driver=SQLite3;Database=" + sqliteDb, "--type", "7"},
         {"sqlite3", sqliteOwn}, {}, "BEGIN", script},
        {"PostgreSQL", pg && *pg, {"--connect", pg ? pg : "", "--type", "6"}, with(psql, {"-d", pa["Database"], "-f", script}),
         pgEnv, "BEGIN", ""},
        {"MariaDB", my && *my, {"--connect", my ? my : "", "--type", "3", "--autocommit", "on"},
         with(mariadb, {ma["Database"]}), myEnv, "START TRANSACTION", script},
    };
    for (const Server& server : servers) {
        if (!server.present) {
            std::printf("  %s: not running (scripts/testdb.sh starts it); skipped\n", server.name);
            continue;
        }
        const double rows = static_cast<double>(WriteScript(script, scriptMB, server.begin));
        std::vector<std::string> run{cli, "--profile", profile};
        run.insert(run.end(), server.cliArgs.begin(), server.cliArgs.end());
        run.push_back(script);
        const Measured own = RunProgram(server.clientArgs, "/dev/null", server.environment, server.stdinFile);
        const Measured ours = RunProgram(run, "/dev/null");
        std::printf("%s (%.0f rows):\n", server.name, rows);
        Row("client", own, rows);
        Row("marlix-cli", ours, rows);
        std::printf("  time marlix-cli / client: %.2f (target <= 1.00); peak %.1f MB (target <= 64 MB)\n",
                    ours.seconds / own.seconds, ours.peakMB);
        failures += own.status != 0 || ours.status != 0;
        std::filesystem::remove(script);
    }

    if (bigMB > 0) {
        const std::string big = folder + "/big.sql";
        const double rows = static_cast<double>(WriteScript(big, bigMB, "BEGIN"));
        std::filesystem::remove(sqliteDb);
        const Measured ours = RunProgram({cli, "--profile", profile, "--connect", "Driver=SQLite3;Database=" + sqliteDb,
                                          "--type", "7", big},
                                         "/dev/null");
        std::printf("SQLite, a %ld MB script in one transaction (%.0f rows):\n", bigMB, rows);
        Row("marlix-cli", ours, rows);
        std::printf("  peak %.1f MB (baseline on main: 319 MB for 31 MB; target: peak <= 64 MB + largest "
                    "statement)\n",
                    ours.peakMB);
        failures += ours.status != 0;
        std::filesystem::remove(big);
    }

    if (pipeRows > 0 && pg && *pg && my && *my) {
        const std::string pgRead = std::string(pg) + "UseDeclareFetch=1;Fetch=10000;";
        for (const auto& [connection, server] : {std::pair{pgRead, BenchServer::PostgreSQL}, std::pair{std::string(my), BenchServer::MariaDB}}) {
            CODBCSession session;
            MemoryProfileStore memory;
            session.Initialize();
            session.Connect({ConnectionType::MicrosoftSQL, connection, "", "", "bench"}, memory);
            EnsureBenchTable(session.Connection(), server);
        }
        const std::string table = "CREATE TABLE bench_copy (id INTEGER PRIMARY KEY, name VARCHAR(40), qty "
                                  "NUMERIC(12,2), created %s, note VARCHAR(200), flag INTEGER)";
        const auto exportScript = [&](const char* syntax) {
            const std::string path = folder + "/export-" + syntax + ".sql";
            std::ofstream(path, std::ios::binary)
                << "/*METADATA>\n\t<OPTIONS Syntax = \"" << syntax
                << "\"/>\n\t<RESULTSET Type = \"INSERT\", Source = \"bench_rows\", Table = \"bench_copy\"/>\n"
                   "</METADATA*/\nSELECT id, name, qty, created, note, flag FROM bench_rows WHERE id <= "
                << pipeRows << " ORDER BY id\n";
            return path;
        };
        const auto create = [&](const std::string& connection, const char* type, const char* created) {
            char sql[512];
            std::snprintf(sql, sizeof sql, table.c_str(), created);
            const std::string path = folder + "/create.sql";
            std::ofstream(path, std::ios::binary) << "DROP TABLE IF EXISTS bench_copy;\n" << sql << ";\n";
            return RunProgram({cli, "--connect", connection, "--type", type, "--autocommit", "on", path}, "/dev/null")
                       .status == 0;
        };
        std::printf("a pipe of %ld rows, each end's peak memory (target: peak <= 64 MB + largest statement; "
                    "target: time <= client)\n",
                    pipeRows);
        // The rows per second of each pipe, from its own count (pg_dump always takes the whole table).
        const auto pipe = [&](const char* what, double rows, const std::vector<std::string>& a,
                              const std::vector<std::string>& b, const std::map<std::string, std::string>& environment) {
            const Pipeline p = RunPipeline(a, b, environment);
            std::printf("  %-44s %7.2f s %9.0f rows/s  peaks %6.1f MB | %6.1f MB  status %d|%d\n", what, p.seconds,
                        rows / p.seconds, p.from.peakMB, p.to.peakMB, p.from.status, p.to.status);
            failures += p.from.status != 0 || p.to.status != 0;
            return rows / p.seconds;
        };
        std::map<std::string, std::string> both = pgEnv;
        both.insert(myEnv.begin(), myEnv.end());
        const std::string scratch = "marlix_bench_pipe";
        const auto freshPg = [&] {
            return RunProgram(with(psql, {"-d", pa["Database"], "-c", "DROP DATABASE IF EXISTS " + scratch, "-c",
                                          "CREATE DATABASE " + scratch}),
                              "/dev/null", pgEnv)
                       .status == 0;
        };
        const auto freshMaria = [&] {
            return RunProgram(with(mariadb, {"-e", "DROP DATABASE IF EXISTS " + scratch + "; CREATE DATABASE " + scratch}),
                              "/dev/null", myEnv)
                       .status == 0;
        };
        const double rows = static_cast<double>(pipeRows);
        double ours = 0, own = 0;
        if (create(my, "3", "DATETIME"))
            ours = pipe("marlix-cli PostgreSQL | marlix-cli MariaDB", rows,
                        {cli, "--profile", profile, "--connect", pgRead, "--output", "-", exportScript("MYSQL")},
                        {cli, "--connect", my, "--type", "3", "--autocommit", "on", "-"}, {});
        if (freshPg())
            own = pipe("pg_dump --inserts | psql (PostgreSQL to itself)", static_cast<double>(kBenchRows),
                       {"pg_dump", "--inserts", "-t", "bench_rows", "-h", pa["Server"], "-p", pa["Port"], "-U",
                        pa["Uid"], pa["Database"]},
                       with(psql, {"-d", scratch, "-f", "-"}), both);
        std::printf("  rows/s of pg_dump pipe / marlix-cli pipe: %.2f (target <= 1.00)\n", ours > 0 ? own / ours : 0);
        if (create(pg, "6", "TIMESTAMP"))
            ours = pipe("marlix-cli MariaDB | marlix-cli PostgreSQL", rows,
                        {cli, "--profile", profile, "--connect", my, "--type", "3", "--output", "-",
                         exportScript("POSTGRESQL")},
                        {cli, "--connect", pg, "--type", "6", "-"}, {});
        if (freshMaria())
            own = pipe("mariadb-dump | mariadb (MariaDB to itself)", rows,
                       {"mariadb-dump", "-h", ma["Server"], "-P", ma["Port"], "-u", ma["Uid"], ma["Database"],
                        "bench_rows", "--where", "id <= " + std::to_string(pipeRows)},
                       with(mariadb, {scratch}), both);
        std::printf("  rows/s of mariadb-dump pipe / marlix-cli pipe: %.2f (target <= 1.00)\n", ours > 0 ? own / ours : 0);
        RunProgram(with(psql, {"-d", pa["Database"], "-c", "DROP DATABASE IF EXISTS " + scratch, "-c",
                               "DROP TABLE IF EXISTS bench_copy"}),
                   "/dev/null", pgEnv);
        RunProgram(with(mariadb, {"-e", "DROP DATABASE IF EXISTS " + scratch + "; DROP TABLE IF EXISTS bench_copy",
                                  ma["Database"]}),
                   "/dev/null", myEnv);
    } else if (pipeRows > 0) {
        std::printf("the pipes: PostgreSQL and MariaDB are both needed (scripts/testdb.sh starts them); skipped\n");
    }
    std::filesystem::remove_all(folder);
    return failures > 0 ? 1 : 0;
}
