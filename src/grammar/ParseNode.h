#pragma once
// A node of the tree that parsing a rule builds: the captures of one rule match.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix {

// Captured texts (terminal captures) and child nodes (group captures) are kept in capture
// order under their capture names; names compare case-sensitively and the first capture under
// a name wins, later ones are dropped. A list rule's node holds its items instead, in text
// order. A node owns everything below it.
class ParseNode {
public:
    explicit ParseNode(std::string name) : name_(std::move(name)) {}
    ParseNode(const ParseNode&) = delete;
    ParseNode& operator=(const ParseNode&) = delete;

    // The specific name of the rule that matched (for the root, the name the caller gave).
    const std::string& Name() const noexcept { return name_; }

    bool HasValue(std::string_view name) const noexcept;
    // The captured text, or an empty text when nothing was captured under `name`.
    const std::string& Value(std::string_view name) const noexcept;
    bool HasChild(std::string_view name) const noexcept { return Child(name) != nullptr; }
    const ParseNode* Child(std::string_view name) const noexcept;

    const std::vector<std::pair<std::string, std::string>>& Values() const noexcept { return values_; }
    const std::vector<std::pair<std::string, std::unique_ptr<ParseNode>>>& Children() const noexcept {
        return children_;
    }
    const std::vector<std::unique_ptr<ParseNode>>& Items() const noexcept { return items_; }

    // Each returns false, keeping the earlier entry, when the name is taken.
    bool AddValue(std::string_view name, std::string value);
    bool AddChild(std::string_view name, std::unique_ptr<ParseNode> child);
    void AddItem(std::unique_ptr<ParseNode> item) { items_.push_back(std::move(item)); }

private:
    std::string name_;
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::pair<std::string, std::unique_ptr<ParseNode>>> children_;
    std::vector<std::unique_ptr<ParseNode>> items_;
};

} // namespace marlix
