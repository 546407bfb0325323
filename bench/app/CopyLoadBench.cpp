// bench_copy_load: a pg_dump of the million-row PostgreSQL table (its rows as COPY ... FROM stdin
// data) loaded by marlix-cli, against psql -f on the same file in the same run, each into a new
// database.
#include "core/qt/IniProfileStore.h"
#include "db/ODBCSession.h"
#include "support/BenchProcess.h"
#include "support/BenchTable.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace marlix;
using namespace marlix::bench;

int main() {
    const char* pg = std::getenv("MARLIX_TEST_PG");
    if (!pg || !*pg) {
        std::printf("bench_copy_load: PostgreSQL is not running (scripts/testdb.sh starts it); nothing measured\n");
        return 0;
    }
    {
        CODBCSession session;
        MemoryProfileStore profile;
        session.Initialize();
        session.Connect({ConnectionType::MicrosoftSQL, pg, "", "", "bench"}, profile);
        EnsureBenchTable(session.Connection(), BenchServer::PostgreSQL);
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "marlix-bench-copy").string();
    std::filesystem::create_directories(folder);
    const std::string dump = folder + "/dump.sql";
    auto a = Attributes(pg);
    const std::map<std::string, std::string> password{{"PGPASSWORD", a["Pwd"]}};
    const std::vector<std::string> login{"-h", a["Server"], "-p", a["Port"], "-U", a["Uid"]};
    const auto tool = [&](std::vector<std::string> args, const std::string& out = "/dev/null") {
        args.insert(args.begin() + 1, login.begin(), login.end());
        return RunProgram(args, out, password);
    };
    const auto fresh = [&](const std::string& db) {
        return tool({"psql", "-X", "-q", "-d", a["Database"], "-c", "DROP DATABASE IF EXISTS " + db, "-c",
                     "CREATE DATABASE " + db})
                   .status == 0;
    };
    std::string into = pg;
    into += ";Database=marlix_bench_cli;";
    if (tool({"pg_dump", "-t", "bench_rows", "-f", dump, a["Database"]}).status != 0 || !fresh("marlix_bench_psql") ||
        !fresh("marlix_bench_cli")) {
        std::printf("bench_copy_load: pg_dump or psql failed\n");
        return 1;
    }
    const Measured psql = tool({"psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-d", "marlix_bench_psql", "-f", dump});
    const Measured cli = RunProgram({MARLIX_CLI_PATH, "--connect", into, "--type", "6", dump}, "/dev/null");
    fresh("marlix_bench_psql");
    fresh("marlix_bench_cli");
    if (psql.status != 0 || cli.status != 0) {
        std::printf("bench_copy_load: a load failed (psql %d, marlix-cli %d)\n", psql.status, cli.status);
        return 1;
    }
    const double rows = kBenchRows;
    std::printf("psql -f:     %8.0f rows/s, %6.2f s, peak %6.1f MB\n", rows / psql.seconds, psql.seconds, psql.peakMB);
    std::printf("marlix-cli:  %8.0f rows/s, %6.2f s, peak %6.1f MB\n", rows / cli.seconds, cli.seconds, cli.peakMB);
    std::printf("marlix-cli time / psql time (target <= 3.00): %.2f\n", cli.seconds / psql.seconds);
    return 0;
}
