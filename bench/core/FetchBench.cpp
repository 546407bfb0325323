// bench_fetch: fetching a million rows into a stored result set against a bare loop that
// binds every column and fetches without storing, on every reachable test database.
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "support/BenchTable.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace marlix;
using namespace marlix::bench;

namespace {

struct Pass {
    double seconds = 1e100;
    double processor = 1e100; // processor seconds of this process
    long rows = 0;
    long memory = 0; // growth of resident memory during the pass
};

StatementHandle Execute(SQLHDBC connection) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)kBenchQuery, SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    return statement;
}

// Binds every column the way a result set would, fetches to the end, keeps nothing.
Pass BareLoop(SQLHDBC connection) {
    Pass pass;
    long before = CurrentRss(), peak = before;
    double start = Now(), cpu = ProcessorSeconds();
    StatementHandle statement = Execute(connection);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    std::vector<std::vector<char>> buffers(columns);
    std::vector<TIMESTAMP_STRUCT> stamps(columns);
    std::vector<SQLLEN> indicators(columns);
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
        SQLCHAR name[256];
        SQLSMALLINT nameLength, type, digits, nullable;
        SQLULEN size;
        SQLDescribeCol(statement, c, name, 255, &nameLength, &type, &size, &digits, &nullable);
        if (type == SQL_TYPE_DATE || type == SQL_TYPE_TIME || type == SQL_TYPE_TIMESTAMP) {
            SQLBindCol(statement, c, SQL_C_TYPE_TIMESTAMP, &stamps[c - 1], sizeof(TIMESTAMP_STRUCT),
                       &indicators[c - 1]);
        } else {
            buffers[c - 1].resize(type == SQL_VARCHAR || type == SQL_CHAR ? size + 1 : 64);
            SQLBindCol(statement, c, SQL_C_CHAR, buffers[c - 1].data(),
                       static_cast<SQLLEN>(buffers[c - 1].size()), &indicators[c - 1]);
        }
    }
    SQLRETURN rc;
    while ((rc = SQLFetch(statement)) != SQL_NO_DATA) {
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
        if ((++pass.rows & 8191) == 0) peak = std::max(peak, CurrentRss());
    }
    pass.seconds = Now() - start;
    pass.processor = ProcessorSeconds() - cpu;
    pass.memory = std::max(peak, CurrentRss()) - before;
    return pass;
}

struct StoredPass : Pass {
    long cells = 0;
    long textBytes = 0;
    long footprint = 0; // what the result set's storage holds, counted exactly
};

StoredPass Stored(SQLHDBC connection) {
    StoredPass pass;
    long before = CurrentRss();
    double start = Now(), cpu = ProcessorSeconds();
    StatementHandle statement = Execute(connection);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    auto rs = std::make_unique<ResultSet>(columns, 0, 0);
    TextHistoryOutput history;
    rs->DescribeAndBind(statement, 0);
    rs->FetchAll(statement, 0, history);
    pass.seconds = Now() - start;
    pass.processor = ProcessorSeconds() - cpu;
    pass.memory = CurrentRss() - before;
    pass.rows = rs->RowCount();
    const CellStorage& cells = rs->Cells();
    pass.cells = static_cast<long>(cells.CellCount());
    pass.footprint = static_cast<long>(cells.FootprintBytes());
    for (int c = 0; c < rs->ColumnCount(); ++c)
        pass.footprint += rs->Column(c).bufferSize;
    for (size_t i = 0; i < cells.CellCount(); ++i) {
        CellRef cell = cells.Cell(i);
        bool stamp = rs->Column(static_cast<int>(i % columns)).IsDateTime() && !cell.isNull;
        pass.textBytes += stamp ? 19 : cell.length - 1; // a timestamp's text is "yyyy-mm-dd hh:mm:ss"
    }
    return pass;
}

} // namespace

int main() {
    CODBCSession session;
    if (!session.Initialize()) {
        std::fprintf(stderr, "%s\n", kOdbcInitFailedMessage);
        return 1;
    }
    MemoryProfileStore profile;
    std::string summary;
    bool allWithinTarget = true;
    for (const BenchDatabase& db : AvailableDatabases()) {
        try {
            ConnectionRequest request{ConnectionType::MicrosoftSQL, db.connectionString, "", "", db.name};
            session.Connect(request, profile);
            EnsureBenchTable(session.Connection(), db.server);
            Pass bare;
            StoredPass stored;
            // Memory is read in the first round, before freed memory can be reused; the time
            // is the best of three rounds.
            for (int round = 0; round < 3; ++round) {
                Pass b = BareLoop(session.Connection());
                StoredPass s = Stored(session.Connection());
                if (round == 0) {
                    bare = b;
                    stored = s;
                }
                bare.seconds = std::min(bare.seconds, b.seconds);
                stored.seconds = std::min(stored.seconds, s.seconds);
                bare.processor = std::min(bare.processor, b.processor);
                stored.processor = std::min(stored.processor, s.processor);
            }
            // The server runs on the same two cores, so elapsed time swings with its load; the
            // target is judged on this process's processor time, elapsed is shown beside it.
            double ratio = stored.processor / bare.processor;
            double elapsedRatio = stored.seconds / bare.seconds;
            // What the stored result holds beyond the driver's own memory, counted from the
            // storage itself; the resident-memory growth is shown beside it (on SQLite it is
            // blurred by the driver, which reads the whole result into memory first).
            long allowed = stored.textBytes + 32 * stored.cells;
            std::printf(
                "%-10s bare loop: %8.0f rows/s elapsed, %8.0f rows/s of processor time, peak resident "
                "growth %6.1f MB\n",
                db.name.c_str(), bare.rows / bare.seconds, bare.rows / bare.processor,
                bare.memory / 1048576.0);
            std::printf(
                "%-10s stored:    %8.0f rows/s elapsed, %8.0f rows/s of processor time (elapsed ratio "
                "%.2f)\n",
                db.name.c_str(), stored.rows / stored.seconds, stored.rows / stored.processor, elapsedRatio);
            std::printf("%-10s storage %6.1f MB = text %.1f MB + %.1f bytes per cell "
                        "over %ld cells (target <= 32); resident growth %.1f MB\n",
                        db.name.c_str(), stored.footprint / 1048576.0, stored.textBytes / 1048576.0,
                        double(stored.footprint - stored.textBytes) / stored.cells, stored.cells,
                        stored.memory / 1048576.0);
            long beyondDriver = stored.footprint;
            char line[160];
            std::snprintf(line, sizeof line, "%s%s %.2f", summary.empty() ? "" : ", ", db.name.c_str(),
                          ratio);
            summary += line;
            allWithinTarget = allWithinTarget && ratio <= 1.25 && beyondDriver <= allowed;
            session.Disconnect();
        } catch (const CODBCException& e) {
            std::fprintf(stderr, "%s: %s\n", db.name.c_str(), e.Message().c_str());
            return 1;
        }
    }
    std::printf("stored/bare processor time ratio (target <= 1.25): %s%s\n", summary.c_str(),
                allWithinTarget ? "" : "  [outside target]");
    return 0;
}
