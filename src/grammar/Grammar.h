#pragma once
// A grammar: an ordered list of rules, linked into groups of alternatives, with a start rule.
// The order of registration is the order in which the alternatives of a group are tried:
// the first alternative that matches is taken, the longest is not searched for, and a choice
// once made is never reconsidered. Comments between tokens are invisible to matching.
#include "grammar/ParseNode.h"
#include "grammar/Rule.h"
#include "grammar/Token.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class Grammar {
public:
    Grammar() = default;
    Grammar(const Grammar&) = delete;
    Grammar& operator=(const Grammar&) = delete;
    ~Grammar();

    // Registration appends the rule; the grammar is then unlinked until Link() runs again.
    SequenceRule& AddSequenceRule(std::string name, std::string group, std::string body);
    ListRule& AddListRule(std::string name, std::string group, std::string separator, std::string itemGroup);

    // Validates every rule in registration order, stopping at the first that fails, and
    // remembers the outcome. An invalid grammar recognises nothing and parses nothing.
    bool Link();
    bool IsValid() const noexcept { return valid_; }

    void SetStartRule(std::string_view name) { start_ = FindRule(name); }
    const Rule* StartRule() const noexcept { return start_; }

    const std::vector<std::unique_ptr<Rule>>& Rules() const noexcept { return rules_; }
    // The first rule registered under `name`, or null.
    const Rule* FindRule(std::string_view name) const noexcept;
    // The number of a group, or -1 when no rule belongs to it.
    int FindGroup(std::string_view group) const noexcept;
    int GroupCount() const noexcept { return static_cast<int>(groups_.size()); }
    // The rules of a group, in registration order.
    std::span<const Rule* const> Alternatives(int group) const noexcept {
        return groups_[group].alternatives;
    }
    // The case-folded characters a match of the group may begin with (see Rule::MayStartWith).
    const FirstChars& GroupStartCharacters(int group) const noexcept { return groups_[group].firstChars; }

    // Matches `rule` at token `position` of `view`, never reading at or beyond token `end`.
    // Leading comments are skipped. Returns the position after the match, or nothing.
    std::optional<std::size_t> Recognise(const Rule& rule, TokenView view, std::size_t position,
                                         std::size_t end) const;
    // Same decisions as Recognise, filling `node` with the captures; throws CParseException
    // when the rule does not match (or the grammar is not valid).
    std::size_t Parse(const Rule& rule, TokenView view, std::size_t position, std::size_t end,
                      ParseNode& node) const;

private:
    struct GroupEntry {
        std::string name;
        std::vector<const Rule*> alternatives;
        FirstChars firstChars;
    };

    void Register(std::unique_ptr<Rule> rule);
    void SettleStartCharacters();

    std::vector<std::unique_ptr<Rule>> rules_;
    std::vector<GroupEntry> groups_;
    std::map<std::string, int, std::less<>> groupNumbers_;
    const Rule* start_ = nullptr;
    bool valid_ = false;
};

} // namespace marlix
