#include "grammar/ParseNode.h"

namespace marlix {

namespace {
const std::string kEmpty;
}

bool ParseNode::HasValue(std::string_view name) const noexcept {
    for (const auto& v : values_)
        if (v.first == name) return true;
    return false;
}

const std::string& ParseNode::Value(std::string_view name) const noexcept {
    for (const auto& v : values_)
        if (v.first == name) return v.second;
    return kEmpty;
}

const ParseNode* ParseNode::Child(std::string_view name) const noexcept {
    for (const auto& c : children_)
        if (c.first == name) return c.second.get();
    return nullptr;
}

bool ParseNode::AddValue(std::string_view name, std::string value) {
    if (HasValue(name)) return false;
    values_.emplace_back(std::string(name), std::move(value));
    return true;
}

bool ParseNode::AddChild(std::string_view name, std::unique_ptr<ParseNode> child) {
    if (HasChild(name)) return false;
    children_.emplace_back(std::string(name), std::move(child));
    return true;
}

} // namespace marlix
