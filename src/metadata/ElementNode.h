#pragma once
// The element tree of METADATA mark-up: named elements with ordered attributes and uniquely
// named children. Element and attribute names are stored in upper case and looked up ignoring
// case; values are kept exactly as written between their quotes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace marlix {

inline constexpr std::string_view kDuplicateChildMessage = "Attempt to insert duplicate keys into XML tree";

class ElementNode {
public:
    using ChildMap = std::map<std::string, std::unique_ptr<ElementNode>, std::less<>>;
    using AttributeMap = std::map<std::string, std::string, std::less<>>;

    // A node made by the program has parsed == false and offsets 0.
    explicit ElementNode(std::string_view name, bool parsed = false, std::size_t start = 0,
                         std::size_t end = 0);
    ElementNode(const ElementNode& other); // deep copy: children are copied too
    ElementNode& operator=(const ElementNode& other);
    ElementNode(ElementNode&&) noexcept = default;
    ElementNode& operator=(ElementNode&&) noexcept = default;
    ~ElementNode() = default;

    const std::string& Name() const noexcept { return name_; }
    bool Parsed() const noexcept { return parsed_; }
    std::size_t Start() const noexcept { return start_; }
    std::size_t End() const noexcept { return end_; }
    void SetEnd(std::size_t end) noexcept { end_ = end; }
    // Moves the node and every node under it by `by` characters, as the text before it changed.
    void Shift(std::int64_t by) noexcept;

    const ElementNode* FindChild(std::string_view name) const;
    ElementNode* FindChild(std::string_view name);
    // Adds `child` under its name and returns it; throws CSyntaxException with
    // kDuplicateChildMessage (at the child's start offset) when the name is taken.
    ElementNode& InsertChild(std::unique_ptr<ElementNode> child);
    ElementNode& InsertChild(ElementNode child);
    bool RemoveChild(std::string_view name);
    // Gives the child named `from` the free name `to`; its place in the tree stays.
    void RenameChild(std::string_view from, std::string to);
    // Hands the children over, leaving none.
    ChildMap TakeChildren() noexcept { return std::move(children_); }
    // Children in name order (upper case, byte order).
    const ChildMap& Children() const noexcept { return children_; }

    bool HasAttribute(std::string_view name) const;
    // The value, or an empty text when the attribute is absent.
    const std::string& Attribute(std::string_view name) const;
    // Adds the attribute, or replaces its value.
    void SetAttribute(std::string_view name, std::string value);
    // Adds the attribute unless present; returns false when it was present (nothing changes).
    bool AddAttribute(std::string_view name, std::string value);
    // Attributes in name order (upper case, byte order).
    const AttributeMap& Attributes() const noexcept { return attributes_; }

private:
    std::string name_;
    bool parsed_ = false;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    ChildMap children_;
    AttributeMap attributes_;
};

// Appends an attribute value as mark-up writes it: between double quotes, a double quote inside
// it doubled (the parser reads it back as one).
void AppendAttributeValue(std::string_view value, std::string& out);

// The element as mark-up text: `indent` (tabs) before the opening tag unless skipFirstIndent,
// attributes in name order written as Name = "value" and separated by ", ", children one per
// line with one more tab, "\r\n" line ends; an element without children closes with "/>".
std::string SerializeElement(const ElementNode& node, std::string_view indent, bool skipFirstIndent = false);
void SerializeElement(const ElementNode& node, std::string_view indent, bool skipFirstIndent,
                      std::string& out);

} // namespace marlix
