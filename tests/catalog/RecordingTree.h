#pragma once
// A tree in memory for the catalog reads, and a check that records and items agree: every
// record's item is alive and carries that record, and no item outlives its record.
#include "catalog/CatalogNode.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace marlix::test {

class RecordingTree final : public CatalogTree {
public:
    struct Item {
        std::string text;
        int image = -1;
        CatalogNode* record = nullptr;
        Item* parent = nullptr;
        std::vector<std::unique_ptr<Item>> children;
    };

    RecordingTree() = default;

    // The four fixed records with their items, as the object browser makes them.
    void Attach(CatalogFolders& folders);

    TreeItem InsertItem(TreeItem parent, const std::string& text, int image, int selectedImage) override;
    void AttachRecord(TreeItem item, CatalogNode* record) override {
        static_cast<Item*>(item)->record = record;
    }
    bool HasChildren(TreeItem item) const override { return !Of(item).children.empty(); }
    TreeItem FirstChild(TreeItem item) const override {
        return HasChildren(item) ? Of(item).children.front().get() : nullptr;
    }
    void DeleteItem(TreeItem item) override;

    static const Item& Of(TreeItem item) { return *static_cast<Item*>(item); }
    // The texts of the children of an item, in order.
    static std::vector<std::string> ChildTexts(TreeItem item);
    bool Alive(TreeItem item) const { return alive_.count(static_cast<Item*>(item)) != 0; }
    std::size_t ItemCount() const { return alive_.size(); }

    // Empty when the records under `folders` and the items agree; else what is wrong.
    std::string Inconsistency(const CatalogFolders& folders) const;

private:
    void Forget(Item& item);

    Item top_;
    std::set<Item*> alive_;
};

} // namespace marlix::test
