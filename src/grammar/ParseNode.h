#pragma once
// A node of the tree that parsing a rule builds: the captures of one rule match.
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix {

// Captured texts (terminal captures) and child nodes (group captures) are kept in capture
// order under their capture names; names compare case-sensitively and the first capture under
// a name wins, later ones are dropped. A list rule's node holds its items instead, in text
// order.
//
// The caller creates the root; the root owns every node below it. The whole tree lives in one
// arena that the root holds, so that building the tree of a statement costs a couple of
// allocations instead of several per node: the editor re-analyses every SELECT after every
// keystroke.
class ParseNode {
public:
    // A root node with a name of the caller's choosing.
    explicit ParseNode(std::string_view name);
    ~ParseNode();
    ParseNode(const ParseNode&) = delete;
    ParseNode& operator=(const ParseNode&) = delete;

    // The specific name of the rule that matched (for the root, the name the caller gave).
    std::string_view Name() const noexcept { return name_; }

    bool HasValue(std::string_view name) const noexcept;
    // The captured text, or an empty text when nothing was captured under `name`.
    std::string_view Value(std::string_view name) const noexcept;
    bool HasChild(std::string_view name) const noexcept { return Child(name) != nullptr; }
    const ParseNode* Child(std::string_view name) const noexcept;

    std::size_t ValueCount() const noexcept { return values_.size(); }
    std::size_t ChildCount() const noexcept { return children_.size(); }
    std::span<const ParseNode* const> Items() const noexcept { return {items_.data(), items_.size()}; }

    // A new node in this tree's arena, not yet attached: hand it to AddChild or AddItem.
    ParseNode* NewNode(std::string_view name);
    // Returns false, keeping the earlier entry, when the name is taken; a child not kept is
    // destroyed.
    bool AddValue(std::string_view name, std::string_view value);
    bool AddChild(std::string_view name, ParseNode* child);
    void AddItem(ParseNode* item) { items_.push_back(item); }

private:
    ParseNode(std::string_view name, std::pmr::memory_resource* memory);

    template <typename T> using Vector = std::pmr::vector<T>;

    std::unique_ptr<std::pmr::monotonic_buffer_resource> arena_; // roots only; released last
    std::pmr::memory_resource* memory_;
    std::pmr::string name_;
    Vector<std::pair<std::pmr::string, std::pmr::string>> values_;
    Vector<std::pair<std::pmr::string, ParseNode*>> children_;
    Vector<const ParseNode*> items_;
};

} // namespace marlix
