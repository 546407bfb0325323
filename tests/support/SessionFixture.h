#pragma once
// A connected session on one of the test databases, and a way to fetch a query into a
// stored result set the way statement execution does.
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "support/TestDatabases.h"

#include <memory>
#include <string>

namespace marlix::test {

struct Fetched {
    std::shared_ptr<ResultSet> resultSet;
    std::string history;
};

// Executes `sql` and fetches its first result into a result set with the given limits.
Fetched FetchQuery(SQLHDBC connection, const std::string& sql, int rowLimit = 0, int sizeLimitMB = 0,
                   ConversionDescription description = {});

// Connects `session` with a connection string of the given type.
void ConnectTo(CODBCSession& session, const std::string& connectionString, const ProfileStore& profile,
               ConnectionType type = ConnectionType::MicrosoftSQL);

} // namespace marlix::test
