#include "metadata/ElementParser.h"

#include "core/CaseFold.h"
#include "core/SyntaxException.h"

#include <memory>
#include <string>

namespace marlix {

namespace {

// Reads one element and its children. Every error is thrown at the offending token; where the
// tokens run out, at the last token that was read, so that the offset always lies in the text.
class ElementReader {
public:
    ElementReader(TokenView script, std::size_t end) : script_(script), end_(end) {}

    std::size_t Element(std::size_t p, ElementNode& parent, int depth = 1) {
        if (p >= end_ || script_.tokens[p].cls != TokenClass::TagOpen) Fail(p, "XML tag start expected here");
        // Each level is a frame of this reader and of every walk over the tree: a block nested
        // thousands deep would exhaust the stack.
        if (depth > kMaxElementDepth)
            Fail(p, "XML elements nested deeper than " + std::to_string(kMaxElementDepth) + " levels");
        const std::size_t open = p++;
        if (p >= end_ || script_.tokens[p].cls != TokenClass::TagName) Fail(p, "XML tag name expected here");
        const std::string name = FoldedCopy(script_.TextOf(p));
        if (parent.FindChild(name)) Fail(open, "Duplicate key name detected");
        ElementNode& node = parent.InsertChild(std::make_unique<ElementNode>(
            name, true, script_.tokens[open].offset, script_.tokens[open].offset));
        ++p;

        if (p < end_ && script_.tokens[p].cls == TokenClass::MetadataWord) p = Attributes(p, node);

        if (p >= end_) Fail(p, "unexpected end of tag detected");
        if (Text(p) == "/>") {
            node.SetEnd(script_.tokens[p].End());
            return p + 1;
        }
        if (Text(p) != ">") Fail(p, "Unexpected symbol");
        ++p;
        while (true) {
            if (p >= end_) Fail(p, "'</' expected ");
            if (Text(p) == "</") break;
            p = Element(p, node, depth + 1);
        }
        ++p;
        if (p >= end_) Fail(p, "Unexpected end of clause");
        // The closing name is compared as written: only the opening name is upper-cased.
        if (Text(p) != node.Name()) Fail(p, "</" + node.Name() + ">");
        ++p;
        if (p >= end_) Fail(p, "Unexpected end of clause");
        if (Text(p) != ">") Fail(p, "'>' expected ");
        node.SetEnd(script_.tokens[p].End());
        return p + 1;
    }

private:
    // name = "value" [, name = "value"]...; returns the token after the last value.
    std::size_t Attributes(std::size_t p, ElementNode& node) {
        while (true) {
            const std::size_t name = p++;
            if (p >= end_) Fail(p, "unexpected end of tag detected");
            if (Text(p) != "=") Fail(p, "'=' expected here");
            ++p;
            if (p >= end_) Fail(p, "unexpected end of tag detected");
            if (script_.tokens[p].cls != TokenClass::QuotedValue) Fail(p, "value expected");
            if (!node.AddAttribute(Text(name), ValueOf(p))) Fail(name, "Duplicate value name detected");
            ++p;
            if (p >= end_ || Text(p) != ",") return p;
            ++p;
            if (p >= end_) Fail(p, "unexpected end of tag detected");
        }
    }

    // The value between the quotes, each doubled quote read as one (so Table = """Name"""
    // names the quoted table "Name"); a value cut off by the end of the text has no closing quote.
    std::string ValueOf(std::size_t p) const {
        const Token& t = script_.tokens[p];
        std::string_view v = script_.TextOf(t).substr(1);
        if (t.terminated && !v.empty()) v.remove_suffix(1);
        std::string value;
        for (std::size_t i = 0; i < v.size(); ++i) {
            value += v[i];
            if (v[i] == '"' && i + 1 < v.size() && v[i + 1] == '"') ++i;
        }
        return value;
    }

    std::string_view Text(std::size_t p) const { return script_.TextOf(p); }

    [[noreturn]] void Fail(std::size_t p, std::string message) const {
        std::size_t at = p;
        if (at >= end_ || at >= script_.size()) at = (p > 0 ? p - 1 : 0);
        const std::size_t offset = at < script_.size() ? script_.tokens[at].offset : 0;
        throw CSyntaxException(static_cast<std::int32_t>(offset), std::move(message));
    }

    TokenView script_;
    std::size_t end_;
};

} // namespace

std::size_t ParseElement(TokenView script, std::size_t first, std::size_t end, ElementNode& parent) {
    if (end > script.size()) end = script.size();
    return ElementReader(script, end).Element(first, parent);
}

} // namespace marlix
