#include "FetchedResult.h"

#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "db/StatementHandle.h"
#include "support/TestDatabases.h"

namespace marlix::test {

TestSession::TestSession(const std::string& connectionString) {
    if (!session_.Initialize()) throw std::runtime_error(kOdbcInitFailedMessage);
    ConnectionRequest request;
    request.type = ConnectionType::MicrosoftSQL; // a driver connection string, autocommit on
    request.connectionString = connectionString;
    MemoryProfileStore profile;
    session_.Connect(request, profile);
}

void TestSession::Exec(std::string_view sql) const {
    marlix::test::Exec(session_.Connection(), sql);
}

std::unique_ptr<ResultSet> TestSession::Fetch(std::string_view query,
                                              ConversionDescription description) const {
    StatementHandle statement(session_.Connection());
    if (!statement.Valid()) throw CODBCException(SQL_HANDLE_DBC, session_.Connection(), 0);
    std::string text(query);
    if (!Succeeded(SQLExecDirect(statement, (SQLCHAR*)text.c_str(), SQL_NTS)))
        throw CODBCException(SQL_HANDLE_STMT, statement.Get(), 0);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    auto resultSet = std::make_unique<ResultSet>(columns, 0, 0, std::move(description), 0);
    resultSet->DescribeAndBind(statement, 0);
    TextHistoryOutput history;
    resultSet->FetchAll(statement, 0, history);
    return resultSet;
}

} // namespace marlix::test
