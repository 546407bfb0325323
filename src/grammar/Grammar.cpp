#include "grammar/Grammar.h"

#include "grammar/Matcher.h"
#include "grammar/ParseException.h"

#include <algorithm>

namespace marlix {

Grammar::~Grammar() = default;

void Grammar::Register(std::unique_ptr<Rule> rule) {
    auto [it, added] = groupNumbers_.try_emplace(rule->Group(), static_cast<int>(groups_.size()));
    if (added) groups_.push_back(GroupEntry{rule->Group(), {}});
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
    return valid_;
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
