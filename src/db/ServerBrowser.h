#pragma once
// Select Server: the servers a driver can find on the network, asked through SQLBrowseConnect
// on a short-lived connection handle of the session's environment.
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class CODBCSession;

// The output buffer of a browse, in characters; a longer answer arrives cut.
inline constexpr int kBrowseOutputSize = 8192;

// The names a browse answer offers for its first attribute: those between its first "{" and
// the "}" after them, separated by ",". An answer cut short gives the names that end before the
// cut; an answer without "{" gives none.
std::vector<std::string> ServersInBrowseOutput(std::string_view output);

// Browses with `driverText` (for example "DRIVER={SQL Server}") on the session's connection
// thread. Empty when the driver manager or the driver cannot browse: nothing is reported.
std::vector<std::string> BrowseServers(CODBCSession& session, const std::string& driverText);

} // namespace marlix
