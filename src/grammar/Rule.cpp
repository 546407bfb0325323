#include "grammar/Rule.h"

#include "core/CaseFold.h"
#include "grammar/Grammar.h"
#include "grammar/Matcher.h"
#include "grammar/ParseException.h"

namespace marlix {

Rule::Rule(Grammar& grammar, std::string name, std::string group, std::string body)
    : grammar_(grammar), name_(std::move(name)), group_(std::move(group)), body_(std::move(body)) {}

SequenceRule::SequenceRule(Grammar& grammar, std::string name, std::string group, std::string body)
    : Rule(grammar, std::move(name), std::move(group), std::move(body)), elements_(CompileRuleText(Body())) {}

std::optional<std::size_t> SequenceRule::Recognise(Matcher& matcher, std::size_t position) const {
    return matcher.Elements(elements_, position, nullptr);
}

std::size_t SequenceRule::Parse(Matcher& matcher, std::size_t position, ParseNode& node) const {
    return *matcher.Elements(elements_, position, &node);
}

bool SequenceRule::Validate() {
    return ValidateElements(elements_);
}

bool SequenceRule::ValidateElements(std::vector<RuleElement>& elements) const {
    for (RuleElement& e : elements) {
        switch (e.kind) {
        case RuleElement::Kind::Literal:
            if (!e.closed) return false;
            break;
        case RuleElement::Kind::Capture:
            if (e.terminal != TerminalType::None) break;
            e.group = grammar_.FindGroup(e.text);
            if (e.group < 0 || e.text == Name()) return false;
            break;
        case RuleElement::Kind::Optional:
            if (!ValidateElements(e.optional)) return false;
            break;
        }
    }
    return true;
}

namespace {

FirstChars TerminalStartCharacters(TerminalType t) {
    FirstChars f;
    auto range = [&f](char from, char to) {
        for (int c = from; c <= to; ++c)
            f.set(static_cast<unsigned char>(c));
    };
    switch (t) {
    case TerminalType::Integer:
    case TerminalType::Decimal:
    case TerminalType::DateTime:
        range('0', '9');
        break;
    case TerminalType::Binary:
        f.set('0');
        break;
    case TerminalType::String:
        f.set('\'');
        f.set('"');
        break;
    case TerminalType::Id:
    case TerminalType::Id2:
    case TerminalType::Id3:
        range('A', 'Z'); // folded: lower-case letters count as upper-case
        for (char c : {'[', '_', '$', '%', '@', '"'})
            f.set(static_cast<unsigned char>(c));
        break;
    case TerminalType::None:
        break;
    }
    return f;
}

// Adds the possible first characters of `elements` to `f`; true when all of them may be
// skipped, so that whatever follows may come first.
bool AddStartCharacters(const Grammar& grammar, const std::vector<RuleElement>& elements, FirstChars& f) {
    for (const RuleElement& e : elements) {
        switch (e.kind) {
        case RuleElement::Kind::Literal:
            if (e.text.empty()) return false; // matches no token at all
            f.set(static_cast<unsigned char>(FoldCase(e.text[0])));
            return false;
        case RuleElement::Kind::Capture:
            f |= e.terminal != TerminalType::None ? TerminalStartCharacters(e.terminal)
                                                  : grammar.GroupStartCharacters(e.group);
            return false;
        case RuleElement::Kind::Optional:
            AddStartCharacters(grammar, e.optional, f);
            break;
        }
    }
    return true;
}

} // namespace

FirstChars SequenceRule::ComputeStartCharacters() const {
    FirstChars f;
    if (AddStartCharacters(grammar_, elements_, f)) f.set(); // matches without a token
    return f;
}

FirstChars ListRule::ComputeStartCharacters() const {
    return grammar_.GroupStartCharacters(itemGroupNumber_);
}

ListRule::ListRule(Grammar& grammar, std::string name, std::string group, std::string separator,
                   std::string itemGroup)
    : Rule(grammar, std::move(name), std::move(group), std::string()), separator_(std::move(separator)),
      itemGroup_(std::move(itemGroup)) {}

std::optional<std::size_t> ListRule::Recognise(Matcher& matcher, std::size_t position) const {
    std::size_t p = matcher.Skip(position);
    for (;;) {
        const auto item = matcher.RecogniseGroup(itemGroupNumber_, p);
        if (!item) return std::nullopt;
        p = item->end;
        const auto afterSeparator = matcher.Literal(separator_, p);
        if (!afterSeparator) return p;
        if (*afterSeparator == matcher.End()) return std::nullopt;
        p = *afterSeparator;
    }
}

std::size_t ListRule::Parse(Matcher& matcher, std::size_t position, ParseNode& node) const {
    std::size_t p = matcher.Skip(position);
    for (;;) {
        const auto item = matcher.RecogniseGroup(itemGroupNumber_, p);
        if (!item) throw CParseException();
        ParseNode* child = node.NewNode(item->rule->Name());
        node.AddItem(child);
        p = matcher.ParseRule(*item->rule, p, *child);
        const auto afterSeparator = matcher.Literal(separator_, p);
        if (!afterSeparator) return p;
        if (*afterSeparator == matcher.End()) throw CParseException();
        p = *afterSeparator;
    }
}

bool ListRule::Validate() {
    itemGroupNumber_ = grammar_.FindGroup(itemGroup_);
    return itemGroupNumber_ >= 0;
}

} // namespace marlix
