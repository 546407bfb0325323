#include "grammar/Grammar.h"

#include "grammar/Matcher.h"
#include "grammar/ParseException.h"

#include <algorithm>

namespace marlix {

Grammar::~Grammar() = default;

void Grammar::Register(std::unique_ptr<Rule> rule) {
    auto [it, added] = groupNumbers_.try_emplace(rule->Group(), static_cast<int>(groups_.size()));
    if (added) groups_.push_back(GroupEntry{rule->Group(), {}, {}});
    groups_[it->second].alternatives.push_back(rule.get());
    rules_.push_back(std::move(rule));
    valid_ = false;
}

SequenceRule& Grammar::AddSequenceRule(std::string name, std::string group, std::string body) {
    auto rule = std::make_unique<SequenceRule>(*this, std::move(name), std::move(group), std::move(body));
    SequenceRule& r = *rule;
    Register(std::move(rule));
    return r;
}

ListRule& Grammar::AddListRule(std::string name, std::string group, std::string separator,
                               std::string itemGroup) {
    auto rule = std::make_unique<ListRule>(*this, std::move(name), std::move(group), std::move(separator),
                                           std::move(itemGroup));
    ListRule& r = *rule;
    Register(std::move(rule));
    return r;
}

bool Grammar::Link() {
    valid_ = std::all_of(rules_.begin(), rules_.end(),
                         [](const std::unique_ptr<Rule>& r) { return r->Validate(); });
    if (valid_) SettleStartCharacters();
    return valid_;
}

// The first characters of rules and groups depend on each other through group references;
// the sets only grow, so repeating until nothing changes settles them.
void Grammar::SettleStartCharacters() {
    for (GroupEntry& g : groups_)
        g.firstChars.reset();
    for (auto& r : rules_)
        r->firstChars_.reset();
    for (bool changed = true; changed;) {
        changed = false;
        for (auto& r : rules_) {
            const FirstChars f = r->ComputeStartCharacters();
            if (f != r->firstChars_) {
                r->firstChars_ = f;
                changed = true;
            }
        }
        for (GroupEntry& g : groups_)
            for (const Rule* r : g.alternatives)
                g.firstChars |= r->StartCharacters();
    }
}

const Rule* Grammar::FindRule(std::string_view name) const noexcept {
    for (const auto& r : rules_)
        if (r->Name() == name) return r.get();
    return nullptr;
}

int Grammar::FindGroup(std::string_view group) const noexcept {
    const auto it = groupNumbers_.find(group);
    return it == groupNumbers_.end() ? -1 : it->second;
}

std::optional<std::size_t> Grammar::Recognise(const Rule& rule, TokenView view, std::size_t position,
                                              std::size_t end) const {
    if (!valid_ || &rule.Owner() != this) return std::nullopt;
    end = std::min(end, view.size());
    if (position > end) return std::nullopt;
    Matcher matcher(*this, view, position, end);
    return rule.Recognise(matcher, matcher.Skip(position));
}

std::size_t Grammar::Parse(const Rule& rule, TokenView view, std::size_t position, std::size_t end,
                           ParseNode& node) const {
    if (!valid_ || &rule.Owner() != this) throw CParseException();
    end = std::min(end, view.size());
    if (position > end) throw CParseException();
    Matcher matcher(*this, view, position, end);
    return matcher.ParseRule(rule, matcher.Skip(position), node);
}

} // namespace marlix
