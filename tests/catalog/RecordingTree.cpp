#include "RecordingTree.h"

#include <algorithm>

namespace marlix::test {

void RecordingTree::Attach(CatalogFolders& folders) {
    folders.root.item = InsertItem(nullptr, "(No data)", kRootImage, kRootImage);
    AttachRecord(folders.root.item, &folders.root);
    for (CatalogNode* folder :
         {static_cast<CatalogNode*>(&folders.tables), static_cast<CatalogNode*>(&folders.views),
          static_cast<CatalogNode*>(&folders.procedures)}) {
        folder->item = InsertItem(folders.root.item, "folder", kFolderImage, kOpenFolderImage);
        AttachRecord(folder->item, folder);
    }
}

TreeItem RecordingTree::InsertItem(TreeItem parent, const std::string& text, int image, int) {
    Item* owner = parent ? static_cast<Item*>(parent) : &top_;
    auto item = std::make_unique<Item>();
    item->text = text;
    item->image = image;
    item->parent = owner;
    Item* raw = item.get();
    owner->children.push_back(std::move(item));
    alive_.insert(raw);
    return raw;
}

void RecordingTree::Forget(Item& item) {
    alive_.erase(&item);
    for (std::unique_ptr<Item>& child : item.children)
        Forget(*child);
}

void RecordingTree::DeleteItem(TreeItem item) {
    Item* doomed = static_cast<Item*>(item);
    Forget(*doomed);
    auto& siblings = doomed->parent->children;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [doomed](const std::unique_ptr<Item>& i) { return i.get() == doomed; }));
}

std::vector<std::string> RecordingTree::ChildTexts(TreeItem item) {
    std::vector<std::string> texts;
    for (const std::unique_ptr<Item>& child : Of(item).children)
        texts.push_back(child->text);
    return texts;
}

namespace {

// Checks one record and its children; the children's items must be exactly the item's children
// that carry a record, in order.
template <typename Record>
void CheckChildren(const RecordingTree& tree, const CatalogNode& parent,
                   const std::vector<std::unique_ptr<Record>>& children, std::string& problems) {
    if (!tree.Alive(parent.item)) {
        problems += "a record's item is gone; ";
        return;
    }
    std::vector<const CatalogNode*> carried;
    std::size_t placeholders = 0;
    for (const auto& child : RecordingTree::Of(parent.item).children) {
        if (child->record)
            carried.push_back(child->record);
        else
            ++placeholders;
    }
    if (carried.size() != children.size()) problems += "records and items differ in number; ";
    for (std::size_t i = 0; i < children.size() && i < carried.size(); ++i)
        if (carried[i] != children[i].get() ||
            RecordingTree::Of(children[i]->item).record != children[i].get())
            problems += "a record does not own its item; ";
    if (parent.loaded && placeholders != 0) problems += "a loaded record keeps its placeholder; ";
    if (placeholders > 1) problems += "more than one placeholder; ";
}

} // namespace

std::string RecordingTree::Inconsistency(const CatalogFolders& folders) const {
    std::string problems;
    for (const CatalogTableFolder* folder : {&folders.tables, &folders.views}) {
        CheckChildren(*this, *folder, folder->tables, problems);
        for (const auto& table : folder->tables)
            CheckChildren(*this, *table, table->columns, problems);
    }
    CheckChildren(*this, folders.procedures, folders.procedures.procedures, problems);
    for (const auto& procedure : folders.procedures.procedures)
        CheckChildren(*this, *procedure, procedure->parameters, problems);
    return problems;
}

} // namespace marlix::test
