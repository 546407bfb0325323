#include "catalog/CatalogNode.h"

namespace marlix {
namespace {

std::string QualifiedLabel(const std::string& schema, const std::string& name) {
    return schema.empty() ? name : schema + "." + name;
}

// Drops the records of `children` with their items and whatever item is left under the node's
// item (the placeholder), so that a record never outlives its item nor the other way.
template <typename Record>
void DropChildren(CatalogNode& node, std::vector<std::unique_ptr<Record>>& children) {
    // Every child item of the node belongs to one of these records, or is the placeholder.
    if (node.browser && node.item) node.browser->DeleteChildItems(node.item);
    children.clear();
    node.loaded = false;
}

} // namespace

std::string CatalogTable::Label() const {
    return QualifiedLabel(schema, name);
}

CatalogProcedure::CatalogProcedure(CatalogTree* tree, std::string catalogProcedureName, std::string s,
                                   std::string c)
    : CatalogNode(CatalogNodeKind::Procedure, tree), displayName(ProcedureDisplayName(catalogProcedureName)),
      catalogName(std::move(catalogProcedureName)), schema(std::move(s)), catalog(std::move(c)) {}

std::string CatalogProcedure::Label() const {
    return QualifiedLabel(schema, displayName);
}

void ClearChildren(CatalogNode& node) {
    switch (node.kind) {
    case CatalogNodeKind::Table:
        DropChildren(node, static_cast<CatalogTable&>(node).columns);
        break;
    case CatalogNodeKind::TableFolder:
        DropChildren(node, static_cast<CatalogTableFolder&>(node).tables);
        break;
    case CatalogNodeKind::ProcedureFolder:
        DropChildren(node, static_cast<CatalogProcedureFolder&>(node).procedures);
        break;
    case CatalogNodeKind::Procedure:
        DropChildren(node, static_cast<CatalogProcedure&>(node).parameters);
        break;
    case CatalogNodeKind::Root:
    case CatalogNodeKind::Column:
    case CatalogNodeKind::Parameter:
        break;
    }
}

std::string ProcedureDisplayName(std::string_view catalogName) {
    const size_t n = catalogName.size();
    if (n > 2 && catalogName[n - 2] == ';' && catalogName[n - 1] >= '0' && catalogName[n - 1] <= '9')
        return std::string(catalogName.substr(0, n - 2));
    return std::string(catalogName);
}

CatalogTable* FindTable(const CatalogFolders& folders, std::string_view name) {
    for (const CatalogTableFolder* folder : {&folders.tables, &folders.views}) {
        for (const std::unique_ptr<CatalogTable>& table : folder->tables)
            if (!table->schema.empty() && table->Label() == name) return table.get();
        for (const std::unique_ptr<CatalogTable>& table : folder->tables)
            if (table->name == name) return table.get();
    }
    if (name.find_first_of("\"`[") == std::string_view::npos) return nullptr;
    return FindTable(folders, UnquotedName(name));
}

std::string UnquotedName(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const char open = name[i];
        const char close = open == '[' ? ']' : open;
        if (open != '"' && open != '`' && open != '[') {
            out += name[i++];
            continue;
        }
        // A quoted part runs to its closing quote; a doubled one inside stands for itself.
        for (++i; i < name.size(); ++i) {
            if (name[i] != close) {
                out += name[i];
            } else if (i + 1 < name.size() && name[i + 1] == close) {
                out += close;
                ++i;
            } else {
                ++i;
                break;
            }
        }
    }
    return out;
}

} // namespace marlix
