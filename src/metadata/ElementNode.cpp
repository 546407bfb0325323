#include "metadata/ElementNode.h"

#include "core/CaseFold.h"
#include "core/SyntaxException.h"

#include <utility>

namespace marlix {

namespace {

const std::string kEmptyValue;

} // namespace

ElementNode::ElementNode(std::string_view name, bool parsed, std::size_t start, std::size_t end)
    : name_(FoldedCopy(name)), parsed_(parsed), start_(start), end_(end) {}

ElementNode::ElementNode(const ElementNode& other)
    : name_(other.name_), parsed_(other.parsed_), start_(other.start_), end_(other.end_),
      attributes_(other.attributes_) {
    for (const auto& [name, child] : other.children_)
        children_.emplace_hint(children_.end(), name, std::make_unique<ElementNode>(*child));
}

ElementNode& ElementNode::operator=(const ElementNode& other) {
    if (this != &other) *this = ElementNode(other);
    return *this;
}

const ElementNode* ElementNode::FindChild(std::string_view name) const {
    const auto it = children_.find(FoldedCopy(name));
    return it == children_.end() ? nullptr : it->second.get();
}

ElementNode* ElementNode::FindChild(std::string_view name) {
    return const_cast<ElementNode*>(std::as_const(*this).FindChild(name));
}

ElementNode& ElementNode::InsertChild(std::unique_ptr<ElementNode> child) {
    const auto [it, inserted] = children_.try_emplace(child->Name());
    if (!inserted)
        throw CSyntaxException(static_cast<std::int32_t>(child->Start()),
                               std::string(kDuplicateChildMessage));
    it->second = std::move(child);
    return *it->second;
}

ElementNode& ElementNode::InsertChild(ElementNode child) {
    return InsertChild(std::make_unique<ElementNode>(std::move(child)));
}

void ElementNode::Shift(std::int64_t by) noexcept {
    start_ = static_cast<std::size_t>(static_cast<std::int64_t>(start_) + by);
    end_ = static_cast<std::size_t>(static_cast<std::int64_t>(end_) + by);
    for (auto& [name, child] : children_)
        child->Shift(by);
}

void ElementNode::RenameChild(std::string_view from, std::string to) {
    const auto it = children_.find(from);
    if (it == children_.end()) return;
    auto node = children_.extract(it);
    node.mapped()->name_ = to;
    node.key() = std::move(to);
    children_.insert(std::move(node));
}

bool ElementNode::RemoveChild(std::string_view name) {
    return children_.erase(FoldedCopy(name)) > 0;
}

bool ElementNode::HasAttribute(std::string_view name) const {
    return attributes_.contains(FoldedCopy(name));
}

const std::string& ElementNode::Attribute(std::string_view name) const {
    const auto it = attributes_.find(FoldedCopy(name));
    return it == attributes_.end() ? kEmptyValue : it->second;
}

void ElementNode::SetAttribute(std::string_view name, std::string value) {
    attributes_.insert_or_assign(FoldedCopy(name), std::move(value));
}

bool ElementNode::AddAttribute(std::string_view name, std::string value) {
    return attributes_.try_emplace(FoldedCopy(name), std::move(value)).second;
}

void AppendAttributeValue(std::string_view value, std::string& out) {
    out += '"';
    for (char c : value) {
        out += c;
        if (c == '"') out += c;
    }
    out += '"';
}

void SerializeElement(const ElementNode& node, std::string_view indent, bool skipFirstIndent,
                      std::string& out) {
    if (!skipFirstIndent) out += indent;
    out += '<';
    out += node.Name();
    bool firstAttribute = true;
    for (const auto& [name, value] : node.Attributes()) {
        out += firstAttribute ? " " : ", ";
        firstAttribute = false;
        // Attribute names are stored in upper case and written with only the first letter so,
        // but for the names of more than one word.
        if (name == "COMMITEVERY") {
            out += "CommitEvery";
        } else {
            for (std::size_t i = 0; i < name.size(); ++i) {
                const char c = name[i];
                out += (i == 0 || c < 'A' || c > 'Z') ? c : static_cast<char>(c + ('a' - 'A'));
            }
        }
        out += " = ";
        AppendAttributeValue(value, out);
    }
    if (node.Children().empty()) {
        out += "/>";
        return;
    }
    out += ">\r\n";
    std::string childIndent(indent);
    childIndent += '\t';
    for (const auto& [name, child] : node.Children()) {
        SerializeElement(*child, childIndent, false, out);
        out += "\r\n";
    }
    out += indent;
    out += "</";
    out += node.Name();
    out += '>';
}

std::string SerializeElement(const ElementNode& node, std::string_view indent, bool skipFirstIndent) {
    std::string out;
    SerializeElement(node, indent, skipFirstIndent, out);
    return out;
}

} // namespace marlix
