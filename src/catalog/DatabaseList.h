#pragma once
// The databases of the server a session is connected to, for the main window's Database box, and
// the switch to another one. Only Microsoft SQL Server and MySQL connections have such a list.
#include <string>
#include <vector>

namespace marlix {

class CODBCSession;

struct DatabaseList {
    std::vector<std::string> names; // full names, in the order the server gave them
    int selected = -1;              // index of the connection's current database; -1 when none
};

// Reads the list on the session's connection thread. Empty when no connection is open or the
// server type has no list. Throws CODBCException when a query cannot be run; a failing fetch ends
// the list where it failed.
DatabaseList LoadDatabaseList(CODBCSession& session);

// Makes `name` the connection's current database, on a statement of its own on the connection
// thread. Throws CODBCException when the server refuses.
void UseDatabase(CODBCSession& session, const std::string& name);

// "use " and the name between two `quote` texts, with every quote text inside the name doubled;
// the name as it is when the driver has no quote character (`quote` empty or " ").
std::string UseDatabaseText(const std::string& name, const std::string& quote);

} // namespace marlix
