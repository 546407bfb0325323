// bench_grid_edits: a grid over a million rows with ten thousand edits and ten thousand
// deletions, reading cells at random and jumping to the last row, against the same reads on the
// same grid before any edit; and saving ten thousand changed rows against the same UPDATE
// statements run bare through ODBC with parameter markers, on every database of the run.
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "execution/SaveEdits.h"
#include "results/grid/EditableResultSetModel.h"
#include "support/BenchTable.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace marlix;
using namespace marlix::bench;

namespace {

constexpr int kEdits = 10000;
constexpr int kReads = 2000000;
constexpr int kJumps = 20000;
constexpr int kRounds = 3;

std::shared_ptr<ResultSet> Fetch(SQLHDBC connection, const char* sql) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)sql, SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    auto rs = std::make_shared<ResultSet>(columns, 0, 0);
    TextHistoryOutput history;
    rs->DescribeAndBind(statement, 0);
    rs->FetchAll(statement, 0, history);
    return rs;
}

void Exec(SQLHDBC connection, const std::string& sql) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
}

// The analysis of "SELECT a, b, ... FROM table" with the table's key first.
void Describe(ResultSet& rs, const std::string& table, const std::vector<std::string>& columns) {
    AnalysedDescription d;
    d.tables.push_back({table, ""});
    for (const std::string& name : columns) {
        AnalysedColumn c;
        c.name = name;
        c.isPlainColumn = true;
        d.columns.push_back(c);
    }
    d.analysed = 1;
    ResultSetEdits::Of(rs).SetAnalysis(d);
}

TableLookup Lookup(const std::string& table, std::vector<std::string> columns) {
    return [=](const std::string& name, std::vector<std::string>& c, std::vector<std::string>& k) {
        if (name != table) return false;
        c = columns;
        k = {columns.front()};
        return true;
    };
}

struct ReadTimes {
    double randomNs = 1e300; // per cell
    double jumpUs = 1e300;   // per jump: a screen of 40 rows at the end, every column
};

ReadTimes Read(EditableResultSetModel& model) {
    ReadTimes best;
    const int rows = model.rowCount() - 1, columns = model.columnCount();
    size_t sink = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> row(0, rows - 1), column(0, columns - 1);
        double start = ProcessorSeconds();
        for (int i = 0; i < kReads; ++i)
            sink += model.data(model.index(row(random), column(random))).toString().size();
        best.randomNs = std::min(best.randomNs, (ProcessorSeconds() - start) * 1e9 / kReads);
        start = ProcessorSeconds();
        for (int j = 0; j < kJumps; ++j)
            for (int r = rows - 40; r < rows; ++r)
                for (int c = 0; c < columns; ++c)
                    sink += model.data(model.index(r, c)).toString().size();
        best.jumpUs = std::min(best.jumpUs, (ProcessorSeconds() - start) * 1e6 / kJumps);
    }
    if (sink == 0) std::fprintf(stderr, "no cells were read\n");
    return best;
}

void GridFigures(CODBCSession& session) {
    std::shared_ptr<ResultSet> rs;
    session.Thread().Call([&] {
        EnsureBenchTable(session.Connection(), BenchServer::SQLite);
        rs = Fetch(session.Connection(), kBenchQuery);
    });
    const std::vector<std::string> columns = {"id", "name", "qty", "created", "note", "flag"};
    Describe(*rs, "bench_rows", columns);
    EditableResultSetModel model(rs, Lookup("bench_rows", columns));
    const ReadTimes bare = Read(model);

    std::mt19937 random(11);
    for (int i = 0; i < kEdits; ++i) {
        std::uniform_int_distribution<int> row(0, model.rowCount() - 2);
        model.setData(model.index(row(random), 1), QStringLiteral("edited %1").arg(i));
        model.DeleteRow(row(random));
    }
    const ReadTimes edited = Read(model);
    std::printf("grid over %lld rows, %d columns (SQLite), %d edits and %d deletions, best of %d\n",
                static_cast<long long>(rs->RowCount()), rs->ColumnCount(), kEdits, kEdits, kRounds);
    std::printf("  %-40s %12s %14s\n", "", "cell ns", "last rows us");
    std::printf("  %-40s %12.1f %14.1f\n", "with the edits", edited.randomNs, edited.jumpUs);
    std::printf("  %-40s %12.1f %14.1f\n", "baseline: the same grid before editing", bare.randomNs,
                bare.jumpUs);
    std::printf("  ratio %.2f and %.2f (target: at most 2)\n", edited.randomNs / bare.randomNs,
                edited.jumpUs / bare.jumpUs);
}

// The same UPDATE texts the save runs, prepared once and executed per row, then committed.
double BareUpdates(SQLHDBC connection, int round) {
    const double start = Now();
    StatementHandle statement(connection);
    const char* text = "UPDATE bench_edits SET\r\n\tname = ?\r\nWHERE\r\n\tid = ?\r\n";
    if (!Succeeded(SQLPrepare(statement, (SQLCHAR*)text, SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    for (int id = 1; id <= kEdits; ++id) {
        const std::string name = "bare " + std::to_string(round) + " " + std::to_string(id);
        const std::string key = std::to_string(id);
        SQLLEN nameLength = static_cast<SQLLEN>(name.size()), keyLength = static_cast<SQLLEN>(key.size());
        SQLBindParameter(statement, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 40, 0,
                         (SQLPOINTER)name.data(), nameLength, &nameLength);
        SQLBindParameter(statement, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_INTEGER, 10, 0,
                         (SQLPOINTER)key.data(), keyLength, &keyLength);
        if (!Succeeded(SQLExecute(statement))) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
        SQLLEN rows = 0;
        SQLRowCount(statement, &rows);
        if (rows != 1) throw std::runtime_error("a bare UPDATE changed no row");
    }
    SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT);
    return Now() - start;
}

void SaveFigures(const BenchDatabase& db) {
    CODBCSession session;
    session.Initialize();
    MemoryProfileStore profile;
    ConnectionRequest request{ConnectionType::MicrosoftSQL, db.connectionString, "", "", db.name};
    session.Connect(request, profile);
    session.Thread().Call([&] {
        try {
            Exec(session.Connection(), "DROP TABLE bench_edits");
        } catch (const CODBCException&) {
        }
        Exec(session.Connection(),
             "CREATE TABLE bench_edits (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40))");
        SQLSetConnectAttr(session.Connection(), SQL_ATTR_AUTOCOMMIT, (SQLPOINTER)SQL_AUTOCOMMIT_OFF, 0);
        std::string insert;
        for (int id = 1; id <= kEdits; ++id) {
            Exec(session.Connection(), "INSERT INTO bench_edits VALUES (" + std::to_string(id) + ", 'n')");
        }
        SQLEndTran(SQL_HANDLE_DBC, session.Connection(), SQL_COMMIT);
    });
    double bare = 1e300, ours = 1e300;
    TextHistoryOutput history;
    for (int round = 0; round < kRounds; ++round) {
        bare =
            std::min(bare, session.Thread().Call([&] { return BareUpdates(session.Connection(), round); }));
        auto rs = session.Thread().Call(
            [&] { return Fetch(session.Connection(), "SELECT id, name FROM bench_edits ORDER BY id"); });
        Describe(*rs, "bench_edits", {"id", "name"});
        ResultSetEdits& edits = ResultSetEdits::Of(*rs);
        edits.ResolveColumnOrigins(Lookup("bench_edits", {"id", "name"}));
        for (int row = 0; row < kEdits; ++row)
            edits.SetCellValue(row, 1, "saved " + std::to_string(round) + " " + std::to_string(row));
        const double start = Now();
        const SaveEditsResult result = SaveEdits(session, edits, history);
        ours = std::min(ours, Now() - start);
        if (!result.saved) throw std::runtime_error("the save failed: " + result.error);
    }
    std::printf("saving %d changed rows on %s (autocommit off, one commit), best of %d\n", kEdits,
                db.name.c_str(), kRounds);
    std::printf("  %-40s %10.1f ms\n", "SaveEdits", ours * 1e3);
    std::printf("  %-40s %10.1f ms\n", "baseline: bare prepared UPDATEs", bare * 1e3);
    std::printf("  ratio %.2f (target: at most 1.5)\n", ours / bare);
    session.Disconnect();
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::vector<BenchDatabase> databases = AvailableDatabases();
    try {
        CODBCSession session;
        if (!session.Initialize()) return 1;
        MemoryProfileStore profile;
        ConnectionRequest request{ConnectionType::MicrosoftSQL, databases.front().connectionString, "", "",
                                  databases.front().name};
        session.Connect(request, profile);
        GridFigures(session);
        session.Disconnect();
        for (const BenchDatabase& db : databases)
            SaveFigures(db);
    } catch (const CODBCException& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
