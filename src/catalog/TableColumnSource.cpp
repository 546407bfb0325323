#include "catalog/TableColumnSource.h"

#include "catalog/CatalogNode.h"
#include "catalog/CatalogReader.h"
#include "catalog/CatalogText.h"

namespace marlix {

std::vector<std::string> CatalogColumnSource::SourceNames() {
    return TableAndViewNames(folders_, IdentifierQuoting(reader_.Naming()));
}

std::string CatalogColumnSource::QuotedName(const std::string& name) {
    return IdentifierQuoting(reader_.Naming()).Quote(name);
}

std::vector<std::string> CatalogColumnSource::ColumnsOf(const std::string& source) {
    CatalogTable* table = FindTable(folders_, source);
    if (!table) return {};
    if (!table->loaded && (!allowed_ || allowed_())) {
        try {
            reader_.LoadColumns(*table);
        } catch (...) {
            if (report_) report_(std::current_exception());
        }
    }
    std::vector<std::string> names;
    names.reserve(table->columns.size());
    for (const std::unique_ptr<CatalogColumn>& column : table->columns)
        names.push_back(column->name);
    return names;
}

} // namespace marlix
