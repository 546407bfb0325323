#include "grammar/ParseNode.h"

namespace marlix {

namespace {
// Enough for the tree of an ordinary statement; larger trees take further blocks.
constexpr std::size_t kFirstArenaBlock = 8192;
} // namespace

ParseNode::ParseNode(std::string_view name)
    : arena_(std::make_unique<std::pmr::monotonic_buffer_resource>(kFirstArenaBlock)), memory_(arena_.get()),
      name_(name, memory_), values_(memory_), children_(memory_), items_(memory_) {}

ParseNode::ParseNode(std::string_view name, std::pmr::memory_resource* memory)
    : memory_(memory), name_(name, memory), values_(memory), children_(memory), items_(memory) {}

// The nodes below live in the arena: only their destructors run here, the memory goes with
// the root's arena.
ParseNode::~ParseNode() {
    for (auto& c : children_)
        c.second->~ParseNode();
    for (const ParseNode* item : items_)
        const_cast<ParseNode*>(item)->~ParseNode();
}

ParseNode* ParseNode::NewNode(std::string_view name) {
    void* place = memory_->allocate(sizeof(ParseNode), alignof(ParseNode));
    return new (place) ParseNode(name, memory_);
}

bool ParseNode::HasValue(std::string_view name) const noexcept {
    for (const auto& v : values_)
        if (v.first == name) return true;
    return false;
}

std::string_view ParseNode::Value(std::string_view name) const noexcept {
    for (const auto& v : values_)
        if (v.first == name) return v.second;
    return {};
}

const ParseNode* ParseNode::Child(std::string_view name) const noexcept {
    for (const auto& c : children_)
        if (c.first == name) return c.second;
    return nullptr;
}

bool ParseNode::AddValue(std::string_view name, std::string_view value) {
    if (HasValue(name)) return false;
    values_.emplace_back(std::pmr::string(name, memory_), std::pmr::string(value, memory_));
    return true;
}

bool ParseNode::AddChild(std::string_view name, ParseNode* child) {
    if (HasChild(name)) {
        child->~ParseNode();
        return false;
    }
    children_.emplace_back(std::pmr::string(name, memory_), child);
    return true;
}

} // namespace marlix
