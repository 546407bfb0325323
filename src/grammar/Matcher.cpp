#include "grammar/Matcher.h"

#include "grammar/Grammar.h"
#include "grammar/GroupMemo.h"
#include "grammar/ParseException.h"
#include "grammar/ParseNode.h"
#include "grammar/Rule.h"

#include <limits>
#include <memory>

namespace marlix {

namespace {

// One memo table per thread serves every call; a call made while another is active on the
// same thread (a rule calling back into a grammar) gets a table of its own.
struct ThreadMemo {
    GroupMemo table;
    bool busy = false;
};
thread_local ThreadMemo threadMemo;

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

} // namespace

Matcher::Matcher(const Grammar& grammar, TokenView view, std::size_t begin, std::size_t end)
    : grammar_(grammar), view_(view), begin_(begin), end_(end) {
    if (!threadMemo.busy) {
        threadMemo.busy = true;
        memo_ = &threadMemo.table;
    } else {
        ownMemo_ = std::make_unique<GroupMemo>();
        memo_ = ownMemo_.get();
    }
    memo_->Start();
}

Matcher::~Matcher() {
    if (memo_ == &threadMemo.table) {
        threadMemo.table.Trim();
        threadMemo.busy = false;
    }
}

std::optional<std::size_t> Matcher::Elements(const std::vector<RuleElement>& elements, std::size_t p,
                                             ParseNode* node) {
    auto fail = [node]() -> std::optional<std::size_t> {
        if (node) throw CParseException();
        return std::nullopt;
    };
    p = Skip(p);
    for (const RuleElement& e : elements) {
        switch (e.kind) {
        case RuleElement::Kind::Literal: {
            const auto next = Literal(e.text, p);
            if (!next) return fail();
            p = *next;
            break;
        }
        case RuleElement::Kind::Capture: {
            if (p == end_) return fail();
            if (e.terminal != TerminalType::None) {
                std::string value;
                const auto next = Terminal(e.terminal, p, node ? &value : nullptr);
                if (!next) return fail();
                if (node) node->AddValue(e.name, value);
                p = *next;
                break;
            }
            if (!grammar_.GroupStartCharacters(e.group).test(FirstCharacter(p))) return fail();
            const auto choice = RecogniseGroup(e.group, p);
            if (!choice) return fail();
            if (node) {
                // A capture under a name already taken is dropped; its end is known already.
                ParseNode* child = node->NewNode(choice->rule->Name());
                if (node->AddChild(e.name, child)) ParseRule(*choice->rule, p, *child);
            }
            p = choice->end;
            break;
        }
        case RuleElement::Kind::Optional: {
            // Skipped at the end of the range; otherwise taken when it recognises, and its
            // captures then land beside those of the enclosing body.
            if (p == end_) break;
            const auto next = Elements(e.optional, p, nullptr);
            if (!next) break;
            if (node) Elements(e.optional, p, node);
            p = *next;
            break;
        }
        }
    }
    return p;
}

std::optional<Matcher::Choice> Matcher::RecogniseGroup(int group, std::size_t p) {
    const std::size_t slot =
        (p - begin_) * static_cast<std::size_t>(grammar_.GroupCount()) + static_cast<std::size_t>(group);
    const bool memoizable = slot < std::numeric_limits<std::uint32_t>::max();
    const auto key = static_cast<std::uint32_t>(slot);
    const auto alternatives = grammar_.Alternatives(group);
    if (memoizable) {
        if (const GroupMemo::Entry* known = memo_->Find(key)) {
            if (known->end < 0) return std::nullopt;
            return Choice{alternatives[static_cast<std::size_t>(known->alternative)],
                          static_cast<std::size_t>(known->end)};
        }
    }
    if (depth_ >= kMaxDepth) return std::nullopt; // not remembered: shallower calls may still match
    DepthGuard guard(depth_);
    for (std::size_t i = 0; i < alternatives.size(); ++i) {
        if (p < end_ && !alternatives[i]->MayStartWith(FirstCharacter(p))) continue;
        const auto end = alternatives[i]->Recognise(*this, p);
        if (end) {
            if (memoizable) memo_->Store(key, static_cast<std::int32_t>(*end), static_cast<std::int32_t>(i));
            return Choice{alternatives[i], *end};
        }
    }
    if (memoizable) memo_->Store(key, -1, -1);
    return std::nullopt;
}

std::size_t Matcher::ParseRule(const Rule& rule, std::size_t p, ParseNode& node) {
    if (depth_ >= kMaxDepth) throw CParseException();
    DepthGuard guard(depth_);
    return rule.Parse(*this, p, node);
}

} // namespace marlix
