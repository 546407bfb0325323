#include "db/MySQLConnector.h"

#include "core/CaseFold.h"
#include "db/ConnectionString.h"
#include "db/ODBCSession.h"

#include <odbcinst.h>

#include <cstdlib>

namespace marlix {
namespace {

unsigned long long ParseOptions(const std::string& text) {
    // The connectors take the flags as a decimal number; anything else counts as none.
    char* end = nullptr;
    unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    return end && *end == '\0' ? value : 0;
}

std::string DataSourceValue(const std::string& dataSource, const char* key) {
    char value[256] = {};
    SQLGetPrivateProfileString(dataSource.c_str(), key, "", value, sizeof value, "odbc.ini");
    return value;
}

unsigned long long DataSourceOptions(const std::string& dataSource) {
    for (const char* key : {"OPTION", "OPTIONS"})
        if (std::string option = DataSourceValue(dataSource, key); !option.empty())
            return ParseOptions(option);
    return 0;
}

// The library of an ODBC driver named in a connection string or a data source: a path as it is,
// a name through the driver manager's list of drivers.
std::string DriverLibrary(const std::string& driver) {
    if (driver.find('/') != std::string::npos) return driver;
    char library[512] = {};
    SQLGetPrivateProfileString(driver.c_str(), "Driver", "", library, sizeof library, "ODBCINST.INI");
    return library;
}

bool ReachesMySQLConnector(const std::string& connectionString) {
    std::string driver = ConnectionAttribute(connectionString, "DRIVER");
    if (driver.empty()) {
        const std::string dataSource = ConnectionAttribute(connectionString, "DSN");
        if (dataSource.empty()) return false;
        driver = DataSourceValue(dataSource, "Driver");
    }
    return !driver.empty() && IsMySQLConnector(DriverLibrary(driver));
}

} // namespace

std::string WithConnectorTimeout(const std::string& connectionString, int seconds) {
    if (seconds <= 0 || !ConnectionAttribute(connectionString, "CONN_TIMEOUT").empty() ||
        !ReachesMySQLConnector(connectionString))
        return connectionString;
    std::string text = connectionString;
    if (!text.empty() && text.back() != ';') text += ';';
    return text + "CONN_TIMEOUT=" + std::to_string(seconds) + ";";
}

bool IsMySQLConnector(std::string_view driverFile) noexcept {
    for (std::string_view name : {"maodbc", "myodbc"})
        for (size_t at = 0; at + name.size() <= driverFile.size(); ++at)
            if (EqualsFolded(driverFile.substr(at, name.size()), name)) return true;
    return false;
}

unsigned long long RequestedConnectorOptions(const ConnectionRequest& request) {
    if (request.ConnectsToDataSource()) return DataSourceOptions(request.connectionString);
    // The connector reads its flags under either name.
    for (const char* key : {"OPTION", "OPTIONS"})
        if (std::string option = ConnectionAttribute(request.connectionString, key); !option.empty())
            return ParseOptions(option);
    std::string dataSource = ConnectionAttribute(request.connectionString, "DSN");
    return dataSource.empty() ? 0 : DataSourceOptions(dataSource);
}

namespace {

bool ConnectsThroughMySQLConnector(SQLHDBC connection) {
    SQLCHAR driver[256] = {};
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DRIVER_NAME, driver, sizeof driver, &length)) &&
           IsMySQLConnector(reinterpret_cast<const char*>(driver));
}

} // namespace

bool ResultsEndWithoutColumns(SQLHDBC connection, const ConnectionRequest& request) {
    if (!ConnectsThroughMySQLConnector(connection)) return false;
    return (RequestedConnectorOptions(request) & kMultiStatementsOption) == 0;
}

} // namespace marlix
