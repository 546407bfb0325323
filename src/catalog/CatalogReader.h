#pragma once
// The catalog reads of the object tree. Every ODBC call runs on the session's connection thread;
// the records and their tree items are made on the caller's thread from the rows read there.
// A read that fails part way keeps what it read, stays unloaded so that the next attempt reads
// again, and that attempt first drops what the failed one left: no item twice, no record
// without its item.
#include "catalog/CatalogNode.h"
#include "catalog/CatalogQueries.h"

#include <string>
#include <vector>

namespace marlix {

class CODBCSession;

class CatalogReader {
public:
    explicit CatalogReader(CODBCSession& session) : session_(session) {}

    CODBCSession& Session() noexcept { return session_; }
    // The schema whose tables and views the folders list; empty: every schema.
    void SetSchema(std::string schema) { schema_ = std::move(schema); }
    const std::string& Schema() const noexcept { return schema_; }
    // The driver's naming rules, read by ReadNaming (and by Reload).
    const DriverNaming& Naming() const noexcept { return naming_; }
    void ReadNaming();

    // Each Load returns at once when the record is loaded, and reads nothing without a
    // connection. They throw CODBCException when a call fails, after making the records of the
    // rows read before the failure.
    void LoadTables(CatalogTableFolder& folder);
    // The key names, then the columns.
    void LoadColumns(CatalogTable& table);
    // Replaces the table's key names with those the server reports now.
    void LoadPrimaryKeys(CatalogTable& table);
    void LoadProcedures(CatalogProcedureFolder& folder);
    void LoadParameters(CatalogProcedure& procedure);
    // The schemas of the database for the Schema box; none without a connection and for MS
    // Access connections.
    std::vector<std::string> LoadSchemaList();

    // The naming rules again, the folders cleared and the tables and views read again (the
    // procedures too when `withProcedures`), then a commit that ends the transaction the reads
    // opened. A folder that fails does not keep the others from loading; the first failure is
    // thrown at the end.
    void Reload(CatalogFolders& folders, bool withProcedures = true);
    // Ends the transaction on the connection, without a word in the history.
    void Commit();

private:
    bool Connected() const;

    CODBCSession& session_;
    std::string schema_;
    DriverNaming naming_;
};

} // namespace marlix
