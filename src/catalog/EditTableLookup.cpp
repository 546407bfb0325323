#include "catalog/EditTableLookup.h"

#include "catalog/CatalogNode.h"
#include "catalog/CatalogReader.h"

namespace marlix {

TableLookup CatalogTableLookup(CatalogReader& reader, CatalogFolders& folders,
                               std::function<void(std::exception_ptr)> report,
                               std::function<bool()> allowed) {
    return [&reader, &folders, report = std::move(report), allowed = std::move(allowed)](
               const std::string& name, std::vector<std::string>& columns, std::vector<std::string>& keys) {
        CatalogTable* table = FindTable(folders, name);
        if (!table) return false;
        if (!table->loaded) {
            if (allowed && !allowed()) return false;
            try {
                reader.LoadColumns(*table);
            } catch (...) {
                if (report) report(std::current_exception());
                return false;
            }
        }
        columns.clear();
        keys.clear();
        // Key columns in catalog order, which is the order a WHERE clause names them in.
        for (const std::unique_ptr<CatalogColumn>& column : table->columns) {
            columns.push_back(column->name);
            if (table->keys.count(column->name)) keys.push_back(column->name);
        }
        return table->loaded;
    };
}

} // namespace marlix
