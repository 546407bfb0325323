#pragma once
// Where the metadata wizard and the key selection find table names and columns: the object
// browser's catalog records, read from the server when first asked for.
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace marlix {

class CatalogReader;
struct CatalogFolders;

class TableColumnSource {
public:
    virtual ~TableColumnSource() = default;
    // The tables, then the views, by their names as a statement writes them.
    virtual std::vector<std::string> SourceNames() = 0;
    // The columns of the table or view of that label or name, in catalog order; empty when it is
    // unknown or its columns cannot be read.
    virtual std::vector<std::string> ColumnsOf(const std::string& source) = 0;
    // A table or column name as SQL text writes it for the server: quoted where the server would
    // not read it as spelled.
    virtual std::string QuotedName(const std::string& name) { return name; }
};

// The source of the object browser's records. A failing read is handed to `report` and gives no
// columns; while `allowed` says no (a batch is running on the connection) nothing is read.
class CatalogColumnSource final : public TableColumnSource {
public:
    CatalogColumnSource(CatalogReader& reader, CatalogFolders& folders,
                        std::function<void(std::exception_ptr)> report, std::function<bool()> allowed = {})
        : reader_(reader), folders_(folders), report_(std::move(report)), allowed_(std::move(allowed)) {}

    std::vector<std::string> SourceNames() override;
    std::vector<std::string> ColumnsOf(const std::string& source) override;
    std::string QuotedName(const std::string& name) override;

private:
    CatalogReader& reader_;
    CatalogFolders& folders_;
    std::function<void(std::exception_ptr)> report_;
    std::function<bool()> allowed_;
};

} // namespace marlix
