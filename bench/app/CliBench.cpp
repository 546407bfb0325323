// bench_cli: marlix-cli end to end on the million-row PostgreSQL table, converting to INSERT
// for MSSQL, in memory and with --output to a file, against pg_dump --column-inserts of the
// same table in the same run. --output fetches on the connection's thread and converts beside it.
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
    const char* pg = std::getenv("MARLIX_TEST_PG");
    if (!pg || !*pg) {
        std::printf("bench_cli: PostgreSQL is not running (scripts/testdb.sh starts it); nothing measured\n");
        return 0;
    }
    std::string connection = std::string(pg) + "UseDeclareFetch=1;Fetch=10000;";
    {
        CODBCSession session;
        MemoryProfileStore profile;
        session.Initialize();
        session.Connect({ConnectionType::MicrosoftSQL, connection, "", "", "bench"}, profile);
        EnsureBenchTable(session.Connection(), BenchServer::PostgreSQL);
    }

    std::string folder = (std::filesystem::temp_directory_path() / "marlix-bench-cli").string();
    std::filesystem::create_directories(folder);
    std::string script = folder + "/insert.sql";
    std::ofstream(script, std::ios::binary)
        << "/*METADATA>\r\n\t<OPTIONS Syntax = \"MSSQL\"/>\r\n"
           "\t<RESULTSET Type = \"INSERT\", Source = \"bench_rows\", Table = \"bench_rows\"/>\r\n"
           "</METADATA*/\r\nSELECT * FROM bench_rows\r\n";
    std::string profileFile = folder + "/profile.ini";
    std::filesystem::remove(profileFile);
    {
        IniProfileStore profile(profileFile);
        profile.WriteInt("Execution Settings", "DatasetRowLimit", 0);
        profile.WriteInt("Execution Settings", "DatasetSizeLimit (MB)", 0);
        profile.Sync();
    }

    const std::string cli = MARLIX_CLI_PATH;
    Measured memory =
        RunProgram({cli, "--connect", connection, "--profile", profileFile, script}, folder + "/memory.sql");
    Measured file = RunProgram(
        {cli, "--connect", connection, "--profile", profileFile, "--output", folder + "/output.sql", script},
        "/dev/null");

    auto a = Attributes(pg);
    Measured dump =
        RunProgram({"pg_dump", "--data-only", "--column-inserts", "-t", "bench_rows", "-h", a["Server"], "-p",
                    a["Port"], "-U", a["Uid"], "-f", folder + "/dump.sql", a["Database"]},
                   "/dev/null", {{"PGPASSWORD", a["Pwd"]}});
    if (memory.status != 0 || file.status != 0 || dump.status != 0) {
        std::printf("bench_cli: a run failed (marlix-cli in memory %d, to file %d, pg_dump %d)\n",
                    memory.status, file.status, dump.status);
        return 1;
    }
    const double rows = kBenchRows;
    std::printf("pg_dump --column-inserts:  %8.0f rows/s, peak %6.1f MB\n", rows / dump.seconds, dump.peakMB);
    std::printf("marlix-cli in memory:      %8.0f rows/s, peak %6.1f MB\n", rows / memory.seconds,
                memory.peakMB);
    std::printf("marlix-cli --output file:  %8.0f rows/s, peak %6.1f MB (target: under 64 MB)\n",
                rows / file.seconds, file.peakMB);
    const double outputSpeed = dump.seconds / file.seconds;
    std::printf("speed relative to pg_dump --column-inserts (target >= 1.50 for --output): --output %.2f%s, "
                "in memory %.2f\n",
                outputSpeed, outputSpeed >= 1.5 ? "" : "  [outside target]", dump.seconds / memory.seconds);
    return 0;
}
