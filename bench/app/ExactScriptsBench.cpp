// bench_exact_scripts: exact MYSQL scripts of the million-row MariaDB table. Writing them with
// 1000 rows per INSERT through "marlix-cli --output" is measured against mysqldump
// --extended-insert of the same table in the same run; loading them back into an empty table
// through marlix-cli is measured with 1000 rows per statement against one row per statement.
#include "core/qt/IniProfileStore.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "support/BenchProcess.h"
#include "support/BenchTable.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace marlix;
using namespace marlix::bench;

namespace {

std::string Conversion(const char* rowsAttribute) {
    return std::string("/*METADATA>\r\n\t<OPTIONS Syntax = \"MYSQL\", Literals = \"EXACT\"/>\r\n"
                       "\t<RESULTSET Type = \"INSERT\", Source = \"bench_rows\", Table = \"bench_load\"") +
           rowsAttribute + "/>\r\n</METADATA*/\r\n" + kBenchQuery + "\r\n";
}

long CountLoaded(SQLHDBC connection) {
    StatementHandle statement(connection);
    SQLBIGINT count = -1;
    if (Succeeded(SQLExecDirect(statement.Get(), (SQLCHAR*)"SELECT COUNT(*) FROM bench_load", SQL_NTS)) &&
        Succeeded(SQLFetch(statement.Get())))
        SQLGetData(statement.Get(), 1, SQL_C_SBIGINT, &count, 0, nullptr);
    return static_cast<long>(count);
}

void Exec(SQLHDBC connection, const char* sql) {
    StatementHandle statement(connection);
    SQLExecDirect(statement.Get(), (SQLCHAR*)sql, SQL_NTS);
}

} // namespace

int main() {
    const char* my = std::getenv("MARLIX_TEST_MYSQL");
    if (!my || !*my) {
        std::printf("bench_exact_scripts: MariaDB is not running (scripts/testdb.sh starts it); nothing measured\n");
        return 0;
    }
    const std::string connection = my;
    CODBCSession session;
    MemoryProfileStore memoryProfile;
    session.Initialize();
    session.Connect({ConnectionType::MicrosoftSQL, connection, "", "", "bench"}, memoryProfile);
    EnsureBenchTable(session.Connection(), BenchServer::MariaDB);

    const std::string folder = (std::filesystem::temp_directory_path() / "marlix-bench-exact").string();
    std::filesystem::create_directories(folder);
    const std::string profileFile = folder + "/profile.ini";
    std::filesystem::remove(profileFile);
    {
        IniProfileStore profile(profileFile);
        profile.WriteInt("Execution Settings", "DatasetRowLimit", 0);
        profile.WriteInt("Execution Settings", "DatasetSizeLimit (MB)", 0);
        profile.Sync();
    }
    std::ofstream(folder + "/rows1000-convert.sql", std::ios::binary) << Conversion(", Rows = \"1000\"");
    std::ofstream(folder + "/rows1-convert.sql", std::ios::binary) << Conversion("");

    const std::string cli = MARLIX_CLI_PATH;
    auto runCli = [&](const std::vector<std::string>& rest) {
        std::vector<std::string> args = {cli, "--connect", connection, "--profile", profileFile};
        args.insert(args.end(), rest.begin(), rest.end());
        return RunProgram(args, "/dev/null");
    };

    // Writing the scripts.
    Measured rows1000 =
        runCli({"--output", folder + "/rows1000.sql", folder + "/rows1000-convert.sql"});
    Measured rows1 = runCli({"--output", folder + "/rows1.sql", folder + "/rows1-convert.sql"});
    auto a = Attributes(connection);
    Measured dump = RunProgram({"mysqldump", "--extended-insert", "--no-create-info", "--skip-comments", "-h",
                                a["Server"], "-P", a["Port"], "-u", a["Uid"], a["Database"], "bench_rows"},
                               folder + "/dump.sql", {{"MYSQL_PWD", a["Pwd"]}});
    if (rows1000.status != 0 || rows1.status != 0 || dump.status != 0) {
        std::printf("bench_exact_scripts: a run failed (marlix-cli Rows 1000: %d, Rows 1: %d, mysqldump %d)\n",
                    rows1000.status, rows1.status, dump.status);
        return 1;
    }
    const double rows = kBenchRows;
    const auto mb = [&](const std::string& file) {
        return static_cast<double>(std::filesystem::file_size(folder + "/" + file)) / (1 << 20);
    };
    std::printf("writing the million rows as MYSQL script (exact literals):\n");
    std::printf("  mysqldump --extended-insert:            %6.2f s %8.0f rows/s %7.1f MB, peak %6.1f MB\n",
                dump.seconds, rows / dump.seconds, mb("dump.sql"), dump.peakMB);
    std::printf("  marlix-cli --output, Rows = 1000:       %6.2f s %8.0f rows/s %7.1f MB, peak %6.1f MB\n",
                rows1000.seconds, rows / rows1000.seconds, mb("rows1000.sql"), rows1000.peakMB);
    std::printf("  marlix-cli --output, one row each:      %6.2f s %8.0f rows/s %7.1f MB, peak %6.1f MB\n",
                rows1.seconds, rows / rows1.seconds, mb("rows1.sql"), rows1.peakMB);
    const double speed = dump.seconds / rows1000.seconds;
    std::printf("  speed of Rows = 1000 relative to mysqldump --extended-insert: %.2f (target >= 1.00)%s\n", speed,
                speed >= 1.0 ? "" : "  [outside target]");

    // Loading them into an empty copy of the table.
    Exec(session.Connection(), "DROP TABLE IF EXISTS bench_load");
    Exec(session.Connection(), "CREATE TABLE bench_load LIKE bench_rows");
    Measured load1000 = runCli({folder + "/rows1000.sql"});
    const long loaded1000 = CountLoaded(session.Connection());
    Exec(session.Connection(), "TRUNCATE TABLE bench_load");
    Measured load1 = runCli({folder + "/rows1.sql"});
    const long loaded1 = CountLoaded(session.Connection());
    Exec(session.Connection(), "DROP TABLE IF EXISTS bench_load");
    std::printf("loading the script into an empty table through marlix-cli:\n");
    std::printf("  Rows = 1000:        %7.2f s %8.0f rows/s, peak %6.1f MB, %ld rows loaded (status %d)\n",
                load1000.seconds, loaded1000 / load1000.seconds, load1000.peakMB, loaded1000, load1000.status);
    std::printf("  one row each:       %7.2f s %8.0f rows/s, peak %6.1f MB, %ld rows loaded (status %d)\n",
                load1.seconds, loaded1 / load1.seconds, load1.peakMB, loaded1, load1.status);
    std::printf("  speed of Rows = 1000 relative to one row each: %.1f (target >= 10)\n",
                load1.seconds / load1000.seconds);
    std::filesystem::remove(folder + "/rows1.sql");
    std::filesystem::remove(folder + "/rows1000.sql");
    std::filesystem::remove(folder + "/dump.sql");
    return load1000.status == 0 && load1.status == 0 && loaded1000 == kBenchRows && loaded1 == kBenchRows ? 0 : 1;
}
