// bench_maria_dump_load: a mariadb-dump (default options: multi-row INSERTs) of the million-row
// MariaDB table loaded by marlix-cli, against `mariadb < dump` on the same file in the same run,
// each into a new database.
#include "core/qt/IniProfileStore.h"
#include "db/ODBCSession.h"
#include "support/BenchProcess.h"
#include "support/BenchTable.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace marlix;
using namespace marlix::bench;

int main() {
    const char* my = std::getenv("MARLIX_TEST_MYSQL");
    if (!my || !*my) {
        std::printf("bench_maria_dump_load: MariaDB is not running (scripts/testdb.sh starts it); nothing measured\n");
        return 0;
    }
    {
        CODBCSession session;
        MemoryProfileStore profile;
        session.Initialize();
        session.Connect({ConnectionType::MicrosoftSQL, my, "", "", "bench"}, profile);
        EnsureBenchTable(session.Connection(), BenchServer::MariaDB);
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "marlix-bench-maria-dump").string();
    std::filesystem::create_directories(folder);
    const std::string dump = folder + "/dump.sql";
    const std::string counted = folder + "/count.txt";
    auto a = Attributes(my);
    const std::map<std::string, std::string> password{{"MYSQL_PWD", a["Pwd"]}};
    const std::vector<std::string> login{"-h", a["Server"], "-P", a["Port"], "-u", a["Uid"]};
    const auto tool = [&](std::vector<std::string> args, const std::string& out = "/dev/null",
                          const std::string& in = {}) {
        args.insert(args.begin() + 1, login.begin(), login.end());
        return RunProgram(args, out, password, in);
    };
    const auto fresh = [&](const std::string& db) {
        return tool({"mariadb", "-e", "DROP DATABASE IF EXISTS " + db + "; CREATE DATABASE " + db}).status == 0;
    };
    // A load that exits 0 must also have stored every row.
    const auto rowsIn = [&](const std::string& db) {
        if (tool({"mariadb", "-N", "-e", "SELECT COUNT(*) FROM " + db + ".bench_rows"}, counted).status != 0)
            return -1L;
        long n = -1;
        std::ifstream(counted) >> n;
        return n;
    };
    std::string into = my;
    const std::string database = "Database=" + a["Database"] + ";";
    into.replace(into.find(database), database.size(), "Database=marlix_bench_cli;");
    if (tool({"mariadb-dump", a["Database"], "bench_rows"}, dump).status != 0 || !fresh("marlix_bench_own") ||
        !fresh("marlix_bench_cli")) {
        std::printf("bench_maria_dump_load: mariadb-dump or mariadb failed\n");
        return 1;
    }
    const Measured own = tool({"mariadb", "marlix_bench_own"}, "/dev/null", dump);
    const Measured cli =
        RunProgram({MARLIX_CLI_PATH, "--connect", into, "--type", "3", "--autocommit", "on", dump}, "/dev/null");
    const long ownRows = rowsIn("marlix_bench_own"), cliRows = rowsIn("marlix_bench_cli");
    fresh("marlix_bench_own");
    fresh("marlix_bench_cli");
    if (own.status != 0 || cli.status != 0 || ownRows != kBenchRows || cliRows != kBenchRows) {
        std::printf("bench_maria_dump_load: a load failed (mariadb %d with %ld rows, marlix-cli %d with %ld rows)\n",
                    own.status, ownRows, cli.status, cliRows);
        return 1;
    }
    const double rows = kBenchRows;
    std::printf("dump: %.1f MB\n", static_cast<double>(std::filesystem::file_size(dump)) / (1 << 20));
    std::printf("mariadb < dump: %8.0f rows/s, %6.2f s, peak %6.1f MB\n", rows / own.seconds, own.seconds, own.peakMB);
    std::printf("marlix-cli:     %8.0f rows/s, %6.2f s, peak %6.1f MB\n", rows / cli.seconds, cli.seconds, cli.peakMB);
    std::printf("marlix-cli time / mariadb time (target <= 1.20): %.2f\n", cli.seconds / own.seconds);
    return 0;
}
