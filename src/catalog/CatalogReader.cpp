#include "catalog/CatalogReader.h"

#include "core/ODBCException.h"
#include "db/ODBCSession.h"

#include <map>
#include <utility>

namespace marlix {
namespace {

TreeItem Insert(CatalogNode& parent, const std::string& text, int image, int selectedImage) {
    return parent.browser->InsertItem(parent.item, text, image, selectedImage);
}

void Show(CatalogNode& parent, CatalogNode& record, const std::string& label, int image) {
    if (!parent.browser) return;
    record.item = Insert(parent, label, image, image);
    parent.browser->AttachRecord(record.item, &record);
}

// The placeholder that gives an unread table or procedure its expansion button.
void AddPlaceholder(CatalogNode& record, int image) {
    if (record.browser && record.item) record.browser->AddPlaceholder(record.item, image);
}

// The parameter rows of one overload: the rows of all procedures of one name come one overload
// after the other, each starting again at a lower ordinal position. When the groups do not match
// the overloads one for one, every row is kept.
std::vector<ParameterRow> OverloadRows(std::vector<ParameterRow> rows, const CatalogProcedure& procedure) {
    if (procedure.overloads < 2) return rows;
    std::vector<std::vector<ParameterRow>> groups;
    int previous = -1;
    for (ParameterRow& row : rows) {
        if (groups.empty() || (row.ordinal >= 0 && previous >= 0 && row.ordinal <= previous))
            groups.emplace_back();
        previous = row.ordinal;
        groups.back().push_back(std::move(row));
    }
    if (static_cast<int>(groups.size()) != procedure.overloads) {
        std::vector<ParameterRow> all;
        for (std::vector<ParameterRow>& group : groups)
            for (ParameterRow& row : group)
                all.push_back(std::move(row));
        return all;
    }
    return std::move(groups[static_cast<std::size_t>(procedure.overload)]);
}

void Rethrow(const std::exception_ptr& failure) {
    if (failure) std::rethrow_exception(failure);
}

} // namespace

bool CatalogReader::Connected() const {
    return session_.Connected();
}

void CatalogReader::ReadNaming() {
    if (!Connected()) {
        naming_ = {};
        return;
    }
    naming_ = session_.Thread().Call([this] { return ReadDriverNaming(session_.Connection()); });
}

void CatalogReader::LoadTables(CatalogTableFolder& folder) {
    if (folder.loaded) return;
    ClearChildren(folder);
    if (!Connected()) return;
    CatalogRows<TableRow> read = session_.Thread().Call(
        [this, &folder] { return QueryTables(session_.Connection(), naming_, schema_, folder.tableType); });
    folder.tables.reserve(read.rows.size());
    for (TableRow& row : read.rows) {
        auto& table = *folder.tables.emplace_back(std::make_unique<CatalogTable>(
            folder.browser, std::move(row.name), std::move(row.schema), std::move(row.catalog)));
        Show(folder, table, table.Label(), kTableImage);
        AddPlaceholder(table, kColumnImage);
    }
    Rethrow(read.failure);
    folder.loaded = true;
}

void CatalogReader::LoadPrimaryKeys(CatalogTable& table) {
    if (!Connected()) return;
    std::vector<std::string> keys = session_.Thread().Call(
        [&] { return QueryPrimaryKeys(session_.Connection(), table.catalog, table.schema, table.name); });
    table.keys = std::set<std::string>(keys.begin(), keys.end());
}

void CatalogReader::LoadColumns(CatalogTable& table) {
    if (table.loaded || !Connected()) return;
    LoadPrimaryKeys(table);
    CatalogRows<ColumnRow> read = session_.Thread().Call([&] {
        return QueryColumns(session_.Connection(), naming_, table.catalog, table.schema, table.name);
    });
    ClearChildren(table); // the placeholder, or what a failed attempt left
    table.columns.reserve(read.rows.size());
    for (ColumnRow& row : read.rows) {
        const bool key = table.keys.count(row.name) != 0;
        auto& column = *table.columns.emplace_back(
            std::make_unique<CatalogColumn>(table.browser, std::move(row.name), &table, key));
        Show(table, column, row.label, key ? kKeyColumnImage : kColumnImage);
    }
    Rethrow(read.failure);
    table.loaded = true;
}

void CatalogReader::LoadProcedures(CatalogProcedureFolder& folder) {
    if (folder.loaded) return;
    ClearChildren(folder);
    if (!Connected()) return;
    CatalogRows<ProcedureRow> read =
        session_.Thread().Call([this] { return QueryProcedures(session_.Connection(), naming_); });
    std::map<std::pair<std::string, std::string>, int> seen; // (schema, name) -> procedures so far
    folder.procedures.reserve(read.rows.size());
    for (ProcedureRow& row : read.rows) {
        auto& procedure = *folder.procedures.emplace_back(std::make_unique<CatalogProcedure>(
            folder.browser, std::move(row.name), std::move(row.schema), std::move(row.catalog)));
        procedure.overload = seen[{procedure.schema, procedure.catalogName}]++;
        Show(folder, procedure, procedure.Label(), kProcedureImage);
        AddPlaceholder(procedure, kProcedureImage);
    }
    for (std::unique_ptr<CatalogProcedure>& procedure : folder.procedures)
        procedure->overloads = seen[{procedure->schema, procedure->catalogName}];
    Rethrow(read.failure);
    folder.loaded = true;
}

void CatalogReader::LoadParameters(CatalogProcedure& procedure) {
    if (procedure.loaded || !Connected()) return;
    CatalogRows<ParameterRow> read = session_.Thread().Call([&] {
        return QueryParameters(session_.Connection(), naming_, procedure.catalog, procedure.schema,
                               procedure.catalogName);
    });
    ClearChildren(procedure);
    std::vector<ParameterRow> rows = OverloadRows(std::move(read.rows), procedure);
    procedure.parameters.reserve(rows.size());
    for (ParameterRow& row : rows) {
        auto& parameter = *procedure.parameters.emplace_back(
            std::make_unique<CatalogParameter>(procedure.browser, std::move(row.name), &procedure));
        Show(procedure, parameter, row.label, kParameterImage);
    }
    Rethrow(read.failure);
    procedure.loaded = true;
}

std::vector<std::string> CatalogReader::LoadSchemaList() {
    if (!Connected() || session_.Type() == ConnectionType::MSAccess) return {};
    CatalogRows<std::string> read =
        session_.Thread().Call([this] { return QuerySchemas(session_.Connection()); });
    Rethrow(read.failure);
    return std::move(read.rows);
}

void CatalogReader::Commit() {
    if (!Connected()) return;
    session_.Thread().Call([this] {
        SQLHDBC connection = session_.Connection();
        if (!Succeeded(SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT)))
            throw CODBCException(SQL_HANDLE_DBC, connection, 0);
    });
}

void CatalogReader::Reload(CatalogFolders& folders, bool withProcedures) {
    ClearChildren(folders.tables);
    ClearChildren(folders.views);
    ClearChildren(folders.procedures);
    std::exception_ptr failure;
    auto attempt = [&failure](auto&& load) {
        try {
            load();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    };
    attempt([&] { ReadNaming(); });
    attempt([&] { LoadTables(folders.tables); });
    attempt([&] { LoadTables(folders.views); });
    if (withProcedures) attempt([&] { LoadProcedures(folders.procedures); });
    attempt([&] { Commit(); });
    Rethrow(failure);
}

} // namespace marlix
