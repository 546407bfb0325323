#pragma once
// The rules of a grammar. A rule has a specific name, a group name (the name other rules use
// to refer to it; rules sharing a group are the alternatives of that group, tried in
// registration order) and a body.
#include "grammar/ParseNode.h"
#include "grammar/RuleText.h"

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class Grammar;
class Matcher;

using FirstChars = std::bitset<256>;

class Rule {
public:
    virtual ~Rule() = default;
    Rule(const Rule&) = delete;
    Rule& operator=(const Rule&) = delete;

    const Grammar& Owner() const noexcept { return grammar_; }
    const std::string& Name() const noexcept { return name_; }
    const std::string& Group() const noexcept { return group_; }
    const std::string& Body() const noexcept { return body_; }
    // Whether a match can begin with a token whose first character, case-folded, is `c`; a
    // rule that can match nothing at all may begin with anything. Known after linking; lets
    // the choice among alternatives pass over most rules at a glance.
    bool MayStartWith(unsigned char c) const noexcept { return firstChars_.test(c); }
    const FirstChars& StartCharacters() const noexcept { return firstChars_; }
    // The first characters from the rule's body and the current sets of the groups it names.
    virtual FirstChars ComputeStartCharacters() const = 0;

    // Position after the match starting at `position`, or nothing; no side effects.
    virtual std::optional<std::size_t> Recognise(Matcher& matcher, std::size_t position) const = 0;
    // Follows the decisions of Recognise and fills `node`; throws CParseException on mismatch.
    virtual std::size_t Parse(Matcher& matcher, std::size_t position, ParseNode& node) const = 0;
    // Checks the rule's references against its grammar and resolves them; false when broken.
    virtual bool Validate() = 0;

protected:
    Rule(Grammar& grammar, std::string name, std::string group, std::string body);

    Grammar& grammar_;

private:
    friend class Grammar; // settles the first characters of all rules together when linking
    FirstChars firstChars_;
    std::string name_;
    std::string group_;
    std::string body_;
};

// A rule whose body is a rule text (see RuleText.h).
class SequenceRule final : public Rule {
public:
    SequenceRule(Grammar& grammar, std::string name, std::string group, std::string body);

    const std::vector<RuleElement>& Elements() const noexcept { return elements_; }
    std::optional<std::size_t> Recognise(Matcher& matcher, std::size_t position) const override;
    std::size_t Parse(Matcher& matcher, std::size_t position, ParseNode& node) const override;
    // Every literal is closed; every group capture names a registered group other than this
    // rule's own name.
    bool Validate() override;
    FirstChars ComputeStartCharacters() const override;

private:
    bool ValidateElements(std::vector<RuleElement>& elements) const;

    std::vector<RuleElement> elements_;
};

// One or more items of a group, separated by a literal; the body is empty.
class ListRule final : public Rule {
public:
    ListRule(Grammar& grammar, std::string name, std::string group, std::string separator,
             std::string itemGroup);

    const std::string& Separator() const noexcept { return separator_; }
    const std::string& ItemGroup() const noexcept { return itemGroup_; }
    std::optional<std::size_t> Recognise(Matcher& matcher, std::size_t position) const override;
    // Appends one node per item, named after the item's rule, to the node's items.
    std::size_t Parse(Matcher& matcher, std::size_t position, ParseNode& node) const override;
    // The item group exists.
    bool Validate() override;
    FirstChars ComputeStartCharacters() const override;

private:
    std::string separator_;
    std::string itemGroup_;
    int itemGroupNumber_ = -1;
};

} // namespace marlix
