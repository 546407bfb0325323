#include "support/SessionFixture.h"

namespace marlix::test {

Fetched FetchQuery(SQLHDBC connection, const std::string& sql, int rowLimit, int sizeLimitMB,
                   ConversionDescription description) {
    StatementHandle statement(connection);
    if (!statement.Valid()) throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)sql.c_str(), SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    Fetched f;
    f.resultSet = std::make_shared<ResultSet>(columns, rowLimit, sizeLimitMB, std::move(description), 0);
    TextHistoryOutput history;
    f.resultSet->DescribeAndBind(statement, 0);
    f.resultSet->FetchAll(statement, 0, history);
    f.history = history.Text();
    return f;
}

void ConnectTo(CODBCSession& session, const std::string& connectionString, const ProfileStore& profile,
               ConnectionType type) {
    if (!session.Initialize()) throw std::runtime_error("ODBC environment could not be allocated");
    ConnectionRequest request;
    request.type = type;
    request.connectionString = connectionString;
    request.title = "test";
    session.Connect(request, profile);
}

bool OnEachServer::Open(const std::string& extra) {
    conn_ = ConnectionString(GetParam(), ::testing::UnitTest::GetInstance()->current_test_info()->name());
    if (conn_.empty()) return false;
    conn_ += extra;
    ConnectTo(session_, conn_, profile_);
    return true;
}

void OnEachServer::Drop(const std::string& table) {
    try {
        session_.Thread().Call([&] { Exec(session_.Connection(), "DROP TABLE " + table); });
    } catch (const CODBCException&) {
    }
}

} // namespace marlix::test
