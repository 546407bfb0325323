#include "db/DriverRegistry.h"

#include "core/CaseFold.h"
#include "db/ODBCSession.h"

#include <cstdlib>

namespace marlix {

std::vector<std::string> InstalledDrivers(CODBCSession& session) {
    return session.Thread().Call([&session] {
        std::vector<std::string> drivers;
        SQLHENV environment = session.Environment();
        if (environment == SQL_NULL_HENV) return drivers;
        SQLCHAR name[512];
        SQLCHAR attributes[2048];
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        SQLUSMALLINT direction = SQL_FETCH_FIRST;
        for (;;) {
            SQLRETURN rc = SQLDrivers(environment, direction, name, sizeof name, &nameLength, attributes,
                                      sizeof attributes, &attributesLength);
            if (!Succeeded(rc)) break; // SQL_NO_DATA after the last one
            drivers.emplace_back(reinterpret_cast<const char*>(name));
            direction = SQL_FETCH_NEXT;
        }
        return drivers;
    });
}

bool DriverInstalled(const std::vector<std::string>& installed, std::string_view driver) {
    for (const std::string& name : installed)
        if (EqualsFolded(name, driver)) return true;
    return false;
}

std::string UserDataSourceFile() {
    const char* odbcIni = std::getenv("ODBCINI");
    if (odbcIni && *odbcIni) return odbcIni;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.odbc.ini";
}

} // namespace marlix
