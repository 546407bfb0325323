// bench_catalog: the object browser's reload (after a connect, a change of database or schema) on
// a database of 5,000 tables of 10 columns each, the columns left unread until a table is opened,
// in the real window drawn offscreen. Baseline: the bare SQLTables calls with the arguments the
// reload passes, every row fetched into bound buffers and nothing kept, measured in the same run.
// The reload may take at most twice the baseline's elapsed time; processor time is shown beside.
#include "catalog/CatalogQueries.h"
#include "core/ODBCException.h"
#include "core/ProfileStore.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "support/BenchTable.h"
#include "workspace/browser/ObjectBrowser.h"
#include "workspace/frame/ConnectionCommands.h"
#include "workspace/frame/MainFrame.h"
#include "workspace/frame/SelectionBar.h"

#include <QApplication>
#include <QComboBox>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace marlix;
using namespace marlix::bench;

namespace {

constexpr int kTables = 5000;
constexpr int kRuns = 7;
constexpr const char* kSchema = "bench_catalog";          // PostgreSQL: a schema of its own
constexpr const char* kDatabase = "marlix_bench_catalog"; // MariaDB: a database of its own

void Exec(SQLHDBC connection, const std::string& sql) {
    StatementHandle statement(connection);
    const SQLRETURN rc = SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS);
    if (!Succeeded(rc) && rc != SQL_NO_DATA) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
}

long Count(SQLHDBC connection, const std::string& sql) {
    StatementHandle statement(connection);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS)) ||
        !Succeeded(SQLFetch(statement)))
        return -1;
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    SQLGetData(statement, 1, SQL_C_SLONG, &value, 0, &indicator);
    return value;
}

// The tables, made once and kept for later runs.
void EnsureTables(SQLHDBC connection, BenchServer server) {
    const std::string columns =
        "(c0 INTEGER PRIMARY KEY, c1 INTEGER, c2 INTEGER, c3 VARCHAR(20), c4 VARCHAR(40), "
        "c5 DATE, c6 DECIMAL(10,2), c7 INTEGER, c8 VARCHAR(10), c9 INTEGER)";
    if (server == BenchServer::PostgreSQL) {
        if (Count(connection,
                  std::string("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = '") +
                      kSchema + "'") == kTables)
            return;
        std::printf("creating %d tables in schema %s...\n", kTables, kSchema);
        Exec(connection, std::string("DROP SCHEMA IF EXISTS ") + kSchema + " CASCADE");
        Exec(connection, std::string("CREATE SCHEMA ") + kSchema);
        Exec(connection, "COMMIT");
        // In steps: one transaction cannot lock 5,000 new tables.
        for (int first = 0; first < kTables; first += 500) {
            Exec(connection, "DO $$ BEGIN FOR i IN " + std::to_string(first) + ".." +
                                 std::to_string(first + 499) + " LOOP EXECUTE format('CREATE TABLE " +
                                 kSchema + ".t%s " + columns + "', lpad(i::text, 5, '0')); END LOOP; END $$");
            Exec(connection, "COMMIT");
        }
    } else {
        Exec(connection, std::string("CREATE DATABASE IF NOT EXISTS ") + kDatabase);
        if (Count(connection,
                  std::string("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = '") +
                      kDatabase + "'") == kTables)
            return;
        std::printf("creating %d tables in database %s...\n", kTables, kDatabase);
        Exec(connection, std::string("DROP DATABASE ") + kDatabase);
        Exec(connection, std::string("CREATE DATABASE ") + kDatabase);
        Exec(connection,
             std::string("CREATE PROCEDURE ") + kDatabase +
                 ".make_tables() BEGIN DECLARE i INT DEFAULT 0; WHILE i < " + std::to_string(kTables) +
                 " DO SET @s = CONCAT('CREATE TABLE " + kDatabase + ".t', LPAD(i, 5, '0'), ' " + columns +
                 " ENGINE=Aria'); PREPARE s FROM @s; EXECUTE s; DEALLOCATE PREPARE s; SET i = i + 1; "
                 "END WHILE; END");
        Exec(connection, std::string("CALL ") + kDatabase + ".make_tables()");
        Exec(connection, std::string("DROP PROCEDURE ") + kDatabase + ".make_tables");
    }
}

struct Pass {
    double seconds = 1e100;
    double processor = 1e100;
    long rows = 0;
};

// SQLTables for both folders as the reload calls it, rows fetched into bound buffers.
long BareTables(SQLHDBC connection, const DriverNaming& naming, const std::string& schema) {
    long rows = 0;
    for (const char* type : {"TABLE", "VIEW"}) {
        StatementHandle statement(connection);
        std::string catalog = EscapePattern(naming.catalog, naming.searchEscape);
        std::string schemaPattern = EscapePattern(schema, naming.searchEscape);
        std::string tableType = type;
        if (!Succeeded(SQLTables(statement, catalog.empty() ? nullptr : (SQLCHAR*)catalog.data(),
                                 static_cast<SQLSMALLINT>(catalog.size()),
                                 schemaPattern.empty() ? nullptr : (SQLCHAR*)schemaPattern.data(),
                                 static_cast<SQLSMALLINT>(schemaPattern.size()), nullptr, 0,
                                 (SQLCHAR*)tableType.data(), static_cast<SQLSMALLINT>(tableType.size()))))
            throw CODBCException(SQL_HANDLE_DBC, connection, 0);
        char cat[1024], schem[1024], name[1024];
        SQLLEN catLength = 0, schemLength = 0, nameLength = 0;
        SQLBindCol(statement, 1, SQL_C_CHAR, cat, sizeof cat, &catLength);
        SQLBindCol(statement, 2, SQL_C_CHAR, schem, sizeof schem, &schemLength);
        SQLBindCol(statement, 3, SQL_C_CHAR, name, sizeof name, &nameLength);
        while (Succeeded(SQLFetch(statement)))
            ++rows;
    }
    return rows;
}

template <typename F> Pass Best(F&& run) {
    Pass best;
    for (int i = 0; i < kRuns; ++i) {
        const double start = Now(), cpu = ProcessorSeconds();
        const long rows = run();
        const double seconds = Now() - start, processor = ProcessorSeconds() - cpu;
        if (seconds < best.seconds) best.seconds = seconds;
        if (processor < best.processor) best.processor = processor;
        best.rows = rows;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::string summary;
    bool ok = true;
    for (const BenchDatabase& db : AvailableDatabases()) {
        if (db.server == BenchServer::SQLite) continue;
        try {
            MemoryProfileStore profile;
            CODBCSession session;
            if (!session.Initialize()) {
                std::fprintf(stderr, "%s\n", kOdbcInitFailedMessage);
                return 3;
            }
            CMainFrame frame(session, profile);
            frame.show();
            ConnectionRequest request;
            // Types without a database list of their own for PostgreSQL; MariaDB as MySQL.
            request.type = db.server == BenchServer::MariaDB ? ConnectionType::MySQL : ConnectionType::Oracle;
            request.connectionString = db.connectionString;
            request.title = db.name;
            if (!frame.Connection().ConnectWith(request)) throw std::runtime_error("cannot connect");
            session.Thread().Call([&] { EnsureTables(session.Connection(), db.server); });
            std::string schema;
            if (db.server == BenchServer::PostgreSQL) {
                frame.ObjectBrowser().RefreshSchemaList();
                QComboBox* box = frame.Selection().SchemaBox();
                box->setCurrentIndex(box->findText(QString::fromLatin1(kSchema)));
                schema = kSchema;
            } else {
                frame.Connection().RefreshDatabaseList();
                frame.Connection().ChooseDatabase(QString::fromLatin1(kDatabase));
            }
            CObjectBrowser& browser = frame.ObjectBrowser();
            const Pass reload = Best([&] {
                browser.Reload();
                return static_cast<long>(browser.Folders().tables.tables.size() +
                                         browser.Folders().views.tables.size());
            });
            const DriverNaming naming = browser.Reader().Naming();
            const Pass bare = Best([&] {
                return session.Thread().Call(
                    [&] { return BareTables(session.Connection(), naming, schema); });
            });
            const double ratio = reload.seconds / bare.seconds;
            std::printf(
                "%-10s reload %6d tables: %7.1f ms elapsed, %7.1f ms processor; bare SQLTables %6ld rows: "
                "%7.1f ms elapsed, %7.1f ms processor; ratio %.2f\n",
                db.name.c_str(), static_cast<int>(reload.rows), reload.seconds * 1e3, reload.processor * 1e3,
                bare.rows, bare.seconds * 1e3, bare.processor * 1e3, ratio);
            if (reload.rows < kTables) {
                std::fprintf(stderr, "%s: the reload listed %ld tables, not %d\n", db.name.c_str(),
                             reload.rows, kTables);
                ok = false;
            }
            char line[96];
            std::snprintf(line, sizeof line, "%s%s %.2f", summary.empty() ? "" : ", ", db.name.c_str(),
                          ratio);
            summary += line;
            ok &= ratio <= 2.0;
        } catch (const CODBCException& e) {
            std::fprintf(stderr, "%s: %s\n", db.name.c_str(), e.Message().c_str());
            ok = false;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", db.name.c_str(), e.what());
            ok = false;
        }
    }
    std::printf("reload/bare elapsed ratio (target <= 2.00): %s%s\n",
                summary.empty() ? "no server" : summary.c_str(), ok ? "" : "  (MISSED)");
    return ok ? 0 : 1;
}
