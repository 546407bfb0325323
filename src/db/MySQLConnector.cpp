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
        if (std::string option = DataSourceValue(dataSource, key); !option.empty()) return ParseOptions(option);
    return 0;
}

} // namespace

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

bool ResultsEndWithoutColumns(SQLHDBC connection, const ConnectionRequest& request) {
    SQLCHAR driver[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DRIVER_NAME, driver, sizeof driver, &length))) return false;
    if (!IsMySQLConnector(reinterpret_cast<const char*>(driver))) return false;
    return (RequestedConnectorOptions(request) & kMultiStatementsOption) == 0;
}

} // namespace marlix
