#include "catalog/CatalogText.h"

#include "transform/ColumnNameQuoting.h"

namespace marlix {

IdentifierQuoting::IdentifierQuoting(const DriverNaming& naming)
    : quote_(naming.identifierQuote == " " ? std::string() : naming.identifierQuote),
      identifierCase_(naming.identifierCase) {}

bool IdentifierQuoting::NeedsQuoting(std::string_view name) const {
    if (ColumnNameNeedsQuoting(name)) return true;
    // An unquoted name is stored folded: a name that is not already in that case was created quoted.
    for (char c : name) {
        if (identifierCase_ == SQL_IC_LOWER && c >= 'A' && c <= 'Z') return true;
        if (identifierCase_ == SQL_IC_UPPER && c >= 'a' && c <= 'z') return true;
    }
    return false;
}

std::string IdentifierQuoting::Quote(std::string_view name) const {
    if (quote_.empty() || !NeedsQuoting(name)) return std::string(name);
    std::string out = quote_;
    for (std::size_t at = 0; at < name.size();) {
        if (name.compare(at, quote_.size(), quote_) == 0) {
            out.append(quote_).append(quote_);
            at += quote_.size();
        } else {
            out += name[at++];
        }
    }
    return out + quote_;
}

std::string QualifiedTableName(const CatalogTable& table, const IdentifierQuoting& quoting) {
    if (table.schema.empty()) return quoting.Quote(table.name);
    return quoting.Quote(table.schema) + "." + quoting.Quote(table.name);
}

std::vector<std::string> TableAndViewNames(const CatalogFolders& folders, const IdentifierQuoting& quoting) {
    std::vector<std::string> names;
    names.reserve(folders.tables.tables.size() + folders.views.tables.size());
    for (const CatalogTableFolder* folder : {&folders.tables, &folders.views})
        for (const std::unique_ptr<CatalogTable>& table : folder->tables)
            names.push_back(QualifiedTableName(*table, quoting));
    return names;
}

std::string GenerateSelectText(const CatalogTable& table, const IdentifierQuoting& quoting) {
    std::string text = "SELECT\r\n\t";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        text += "a." + quoting.Quote(table.columns[i]->name);
        text += i + 1 == table.columns.size() ? "\r\n" : ", ";
    }
    text += "FROM\r\n\t" + QualifiedTableName(table, quoting) + " a\r\n--WHERE\r\n";
    bool first = true;
    for (const std::string& key : table.keys) {
        if (!first) text += " AND\r\n";
        first = false;
        text += "--\ta." + quoting.Quote(key) + " = ?";
    }
    return text + "\r\n;\r\n";
}

std::string ColumnListText(const CatalogTable& table, const IdentifierQuoting& quoting) {
    std::string text;
    for (const std::unique_ptr<CatalogColumn>& column : table.columns) {
        if (!text.empty()) text += ", ";
        text += quoting.Quote(column->name);
    }
    return text;
}

std::string CopyNameText(const CatalogNode& node) {
    switch (node.kind) {
    case CatalogNodeKind::Table:
        return static_cast<const CatalogTable&>(node).name;
    case CatalogNodeKind::Column:
        return static_cast<const CatalogColumn&>(node).name;
    case CatalogNodeKind::Procedure:
        return static_cast<const CatalogProcedure&>(node).displayName;
    case CatalogNodeKind::Parameter:
        return static_cast<const CatalogParameter&>(node).name;
    default:
        return {};
    }
}

std::string CopySchemaNameText(const CatalogNode& node) {
    switch (node.kind) {
    case CatalogNodeKind::Table:
        return static_cast<const CatalogTable&>(node).Label();
    case CatalogNodeKind::Column: {
        const auto& column = static_cast<const CatalogColumn&>(node);
        return column.table->name + "." + column.name;
    }
    case CatalogNodeKind::Procedure:
        return static_cast<const CatalogProcedure&>(node).Label();
    case CatalogNodeKind::Parameter:
        return static_cast<const CatalogParameter&>(node).name;
    default:
        return {};
    }
}

std::string KeyFieldText(const CatalogTable& table) {
    std::string text;
    for (const std::string& key : table.keys) {
        if (!text.empty()) text += "\r\n";
        text += key;
    }
    return text;
}

int32_t ColumnsUpdatedMask(const std::vector<int>& selectedPositions, int entryCount) {
    uint32_t mask = 0;
    for (int position : selectedPositions)
        if (position >= 0 && position < kMaskColumns && position < entryCount)
            mask |= uint32_t{1} << position;
    return static_cast<int32_t>(mask);
}

} // namespace marlix
