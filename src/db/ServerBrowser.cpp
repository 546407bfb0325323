#include "db/ServerBrowser.h"

#include "db/ODBCSession.h"

namespace marlix {

std::vector<std::string> ServersInBrowseOutput(std::string_view output) {
    std::vector<std::string> names;
    const size_t open = output.find('{');
    if (open == std::string_view::npos) return names;
    std::string_view rest = output.substr(open + 1);
    for (;;) {
        const size_t cut = rest.find_first_of(",}");
        if (cut == std::string_view::npos || cut == 0) break; // cut short, or an empty name
        names.emplace_back(rest.substr(0, cut));
        const char delimiter = rest[cut];
        rest.remove_prefix(cut + 1);
        if (delimiter == '}') break;
    }
    return names;
}

std::vector<std::string> BrowseServers(CODBCSession& session, const std::string& driverText) {
    return session.Thread().Call([&] {
        std::vector<std::string> names;
        SQLHDBC connection = SQL_NULL_HDBC;
        if (session.Environment() == SQL_NULL_HENV ||
            !Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, session.Environment(), &connection)))
            return names;
        SQLCHAR output[kBrowseOutputSize];
        output[0] = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLBrowseConnect(connection, (SQLCHAR*)driverText.c_str(), SQL_NTS, output,
                                              kBrowseOutputSize, &length);
        if (rc == SQL_NEED_DATA) names = ServersInBrowseOutput(reinterpret_cast<const char*>(output));
        // A handle left in a browse (or connected by it) is ended before it is freed.
        if (rc == SQL_NEED_DATA || Succeeded(rc)) SQLDisconnect(connection);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        return names;
    });
}

} // namespace marlix
