#pragma once
// What the driver manager has registered: the ODBC drivers a connection string can name, and
// the user's own file of data source names.
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class CODBCSession;

// The names of the drivers registered with the driver manager (SQLDrivers on the session's
// environment, on its connection thread), in the driver manager's order.
std::vector<std::string> InstalledDrivers(CODBCSession& session);

// Whether `driver` is among `installed`; the driver manager finds its sections ignoring case.
bool DriverInstalled(const std::vector<std::string>& installed, std::string_view driver);

// The file of the user's data source names: $ODBCINI when set, else ~/.odbc.ini.
std::string UserDataSourceFile();

} // namespace marlix
