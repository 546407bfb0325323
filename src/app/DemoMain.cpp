// marlix-demo: runs a script on a new SQLite database through the SQLite3 ODBC driver, then
// one SELECT into a stored result set, and prints the rows and the execution history.
// It stands in for the headless runner until that exists.
#include "core/CustomMemoryException.h"
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace marlix;

namespace {

// The demo script ends every statement with ";" at the end of a line.
std::vector<std::string> SplitStatements(const std::string& script) {
    std::vector<std::string> statements;
    std::string current;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        current += line;
        current += '\n';
        if (!line.empty() && line.back() == ';') {
            current.erase(current.find_last_of(';'));
            if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
            current.clear();
        }
    }
    if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
    return statements;
}

void ExecuteUpdate(SQLHDBC connection, const std::string& sql, HistoryOutput& history) {
    StatementHandle statement(connection);
    if (!statement.Valid()) throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    SQLRETURN rc = SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS);
    if (!Succeeded(rc) && rc != SQL_NO_DATA) throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    SQLLEN rows = 0;
    SQLRowCount(statement, &rows);
    if (rows >= 0) history.AppendText(std::to_string(rows) + " row(s) affected\r\n", false);
}

std::string CellText(const ResultSet& rs, int64_t row, int column) {
    CellRef cell = rs.Cell(row, column);
    if (cell.isNull) return "NULL";
    if (!rs.Column(column).IsDateTime()) return std::string(cell.Text());
    TIMESTAMP_STRUCT ts = rs.Timestamp(row, column);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", ts.year, ts.month, ts.day, ts.hour,
                  ts.minute, ts.second);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: marlix-demo SCRIPT.sql [SELECT ...]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "marlix-demo: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string query = argc > 2 ? argv[2]
                                 : "SELECT c.name, c.city, o.ordered_at, o.total, o.note FROM customers c "
                                   "JOIN orders o ON o.customer_id = c.id ORDER BY o.id";

    std::string database =
        (std::filesystem::temp_directory_path() / ("marlix-demo-" + std::to_string(getpid()) + ".sqlite"))
            .string();
    CODBCSession session;
    if (!session.Initialize()) {
        std::cerr << kOdbcInitFailedMessage << "\n";
        return 0;
    }
    MemoryProfileStore profile;
    TextHistoryOutput history;
    int status = 0;
    try {
        ConnectionRequest request;
        request.type = ConnectionType::MicrosoftSQL;
        request.connectionString = "Driver=SQLite3;Database=" + database + ";";
        request.title = "SQLite demo";
        session.Connect(request, profile);
        for (const std::string& sql : SplitStatements(script))
            ExecuteUpdate(session.Connection(), sql, history);

        StatementHandle statement(session.Connection());
        if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)query.c_str(), SQL_NTS)))
            throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
        SQLSMALLINT columns = 0;
        SQLNumResultCols(statement, &columns);
        auto rs =
            std::make_shared<ResultSet>(columns, profile.GetInt(kExecutionSettings, kDatasetRowLimit, 0),
                                        profile.GetInt(kExecutionSettings, kDatasetSizeLimit, 1));
        history.AppendResultSet(rs);
        rs->DescribeAndBind(statement, 0);
        rs->FetchAll(statement, 0, history);

        std::cout << rs->ColumnList() << "\n";
        for (int64_t r = 0; r < rs->RowCount(); ++r) {
            for (int c = 0; c < rs->ColumnCount(); ++c)
                std::cout << (c ? " | " : "") << CellText(*rs, r, c);
            std::cout << "\n";
        }
        std::cout << rs->RowsSelectedText();
    } catch (const CODBCException& e) {
        history.AppendText(e.Message(), true);
        status = 1;
    } catch (const CCustomMemoryException& e) {
        history.AppendText("Internal error at line " + std::to_string(e.Code()) + " : " + e.Message(), true);
        status = 1;
    }
    session.Disconnect();
    std::filesystem::remove(database);
    std::cout << "--- Execution history ---\n" << history.Text();
    return status;
}
