#include "grammar/Rule.h"

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
        auto child = std::make_unique<ParseNode>(item->rule->Name());
        p = matcher.ParseRule(*item->rule, p, *child);
        node.AddItem(std::move(child));
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
