#include "catalog/EditTableLookup.h"

#include "catalog/CatalogNode.h"
#include "catalog/CatalogReader.h"

#include <algorithm>
#include <memory>

namespace marlix {
namespace {

struct NamePart {
    std::string text;
    bool quoted = false;
};

// The parts of a table name as a statement writes it ("Sales"."Customer", [dbo].t, `db`.t):
// split at the dots outside quotes, quoted parts without their quotes and with doubled quote
// characters made single.
std::vector<NamePart> NameParts(std::string_view name) {
    std::vector<NamePart> parts(1);
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const char close = c == '"' ? '"' : c == '`' ? '`' : c == '[' ? ']' : 0;
        if (close && parts.back().text.empty()) {
            parts.back().quoted = true;
            for (++i; i < name.size(); ++i) {
                if (name[i] != close) {
                    parts.back().text += name[i];
                } else if (i + 1 < name.size() && name[i + 1] == close) {
                    parts.back().text += close;
                    ++i;
                } else {
                    break;
                }
            }
        } else if (c == '.') {
            parts.emplace_back();
        } else if (c != ' ') {
            parts.back().text += c;
        }
    }
    return parts;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// A quoted part names exactly; an unquoted one whatever case the server folds it to.
bool Names(const NamePart& part, const std::string& real, bool exact) {
    return part.quoted || exact ? real == part.text : SameIgnoringCase(real, part.text);
}

// The table the parts name among the browser's records: the last part is the table, the one
// before it the schema. An exact match first, then one in another case.
CatalogTable* FindNamed(const CatalogFolders& folders, const std::vector<NamePart>& parts) {
    for (bool exact : {true, false})
        for (const CatalogTableFolder* folder : {&folders.tables, &folders.views})
            for (const std::unique_ptr<CatalogTable>& table : folder->tables) {
                if (!Names(parts.back(), table->name, exact)) continue;
                if (parts.size() == 1 || Names(parts[parts.size() - 2], table->schema, exact))
                    return table.get();
            }
    return nullptr;
}

} // namespace

TableLookup CatalogTableLookup(CatalogReader& reader, CatalogFolders& folders,
                               std::function<void(std::exception_ptr)> report,
                               std::function<bool()> allowed) {
    // Tables of schemas the browser does not show, read for the grids and kept with the lookup.
    auto others = std::make_shared<std::vector<std::unique_ptr<CatalogTable>>>();
    return [&reader, &folders, others, report = std::move(report), allowed = std::move(allowed)](
               const std::string& name, std::vector<std::string>& columns, std::vector<std::string>& keys) {
        const std::vector<NamePart> parts = NameParts(name);
        if (parts.back().text.empty()) return false;
        CatalogTable* table = FindNamed(folders, parts);
        if (!table && parts.size() >= 2) {
            // Whatever the Schema box shows, a schema-qualified name is asked of the catalog.
            const NamePart& schema = parts[parts.size() - 2];
            auto found = std::find_if(others->begin(), others->end(), [&](const auto& t) {
                return Names(parts.back(), t->name, true) && Names(schema, t->schema, true);
            });
            if (found == others->end()) {
                if (allowed && !allowed()) return false;
                // An unquoted name as written, then folded the two ways servers fold names.
                std::vector<std::pair<std::string, std::string>> tries = {{schema.text, parts.back().text}};
                auto fold = [](std::string s, int (*f)(int)) {
                    std::transform(s.begin(), s.end(), s.begin(), [f](unsigned char c) { return char(f(c)); });
                    return s;
                };
                for (int (*f)(int) : {::tolower, ::toupper})
                    tries.emplace_back(schema.quoted ? schema.text : fold(schema.text, f),
                                       parts.back().quoted ? parts.back().text : fold(parts.back().text, f));
                for (const auto& [s, n] : tries) {
                    auto candidate = std::make_unique<CatalogTable>(nullptr, n, s, std::string());
                    try {
                        reader.LoadColumns(*candidate);
                    } catch (...) {
                        if (report) report(std::current_exception());
                        return false;
                    }
                    if (candidate->loaded && !candidate->columns.empty()) {
                        found = others->insert(others->end(), std::move(candidate));
                        break;
                    }
                }
                if (found == others->end()) return false;
            }
            table = found->get();
        }
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
