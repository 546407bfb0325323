#include "grammar/RuleText.h"

namespace marlix {

namespace {

class RuleTextCompiler {
public:
    explicit RuleTextCompiler(std::string_view body) : body_(body) {}

    // Reads elements up to the ']' that closes the current group (consumed) or the end of the
    // body. Literals and captures are read as units, so a bracket inside them counts for
    // nothing.
    std::vector<RuleElement> Sequence(bool inGroup) {
        std::vector<RuleElement> out;
        while (pos_ < body_.size()) {
            switch (body_[pos_]) {
            case '\'':
                out.push_back(Literal());
                break;
            case '<':
                out.push_back(Capture());
                break;
            case '[': {
                ++pos_;
                RuleElement e;
                e.kind = RuleElement::Kind::Optional;
                e.optional = Sequence(true);
                out.push_back(std::move(e));
                break;
            }
            case ']':
                ++pos_;
                if (inGroup) return out;
                break; // a stray ']' is skipped like any other character
            default:
                ++pos_;
                break;
            }
        }
        return out;
    }

private:
    RuleElement Literal() {
        RuleElement e;
        e.kind = RuleElement::Kind::Literal;
        const std::size_t close = body_.find('\'', pos_ + 1);
        e.closed = close != std::string_view::npos;
        const std::size_t end = e.closed ? close : body_.size();
        e.text = std::string(body_.substr(pos_ + 1, end - pos_ - 1));
        pos_ = e.closed ? end + 1 : end;
        return e;
    }

    // <type:name>; with no colon, or a colon in the first place, type and name are both the
    // whole inside. The name keeps any further colons: <g::n> captures group g as ":n".
    RuleElement Capture() {
        RuleElement e;
        e.kind = RuleElement::Kind::Capture;
        const std::size_t close = body_.find('>', pos_ + 1);
        const std::size_t end = close == std::string_view::npos ? body_.size() : close;
        const std::string_view inside = body_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = close == std::string_view::npos ? end : end + 1;
        const std::size_t colon = inside.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            e.text = e.name = std::string(inside);
        } else {
            e.text = std::string(inside.substr(0, colon));
            e.name = std::string(inside.substr(colon + 1));
        }
        e.terminal = TerminalTypeOf(e.text);
        return e;
    }

    std::string_view body_;
    std::size_t pos_ = 0;
};

} // namespace

TerminalType TerminalTypeOf(std::string_view type) noexcept {
    if (type == "integer") return TerminalType::Integer;
    if (type == "decimal") return TerminalType::Decimal;
    if (type == "datetime") return TerminalType::DateTime;
    if (type == "string") return TerminalType::String;
    if (type == "binary") return TerminalType::Binary;
    if (type == "id") return TerminalType::Id;
    if (type == "id2") return TerminalType::Id2;
    if (type == "id3") return TerminalType::Id3;
    return TerminalType::None;
}

std::vector<RuleElement> CompileRuleText(std::string_view body) {
    return RuleTextCompiler(body).Sequence(false);
}

} // namespace marlix
