#pragma once
// The state of one recognise or parse call of a grammar over a range of tokens: the range,
// the nesting depth, and the remembered outcome of every group tried at every position.
// Because alternatives are chosen by first match without backtracking, the outcome of a group
// at a position never changes during a call; remembering it keeps nested alternatives that
// share a prefix (MAX( ... ) before f( ... )) from repeating work exponentially.
#include "core/CaseFold.h"
#include "grammar/RuleText.h"
#include "grammar/Token.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class Grammar;
class GroupMemo;
class ParseNode;
class Rule;

class Matcher {
public:
    // Deeper nesting of groups than this does not match: it guards the stack against deeply
    // nested or left-recursive input; no real statement comes near it.
    static constexpr int kMaxDepth = 400;

    Matcher(const Grammar& grammar, TokenView view, std::size_t begin, std::size_t end);
    ~Matcher();
    Matcher(const Matcher&) = delete;
    Matcher& operator=(const Matcher&) = delete;

    std::size_t End() const noexcept { return end_; }
    // The first token at or after `p` that is not a comment, or End().
    std::size_t Skip(std::size_t p) const noexcept {
        while (p < end_ && IsCommentLike(view_.tokens[p].cls))
            ++p;
        return p;
    }
    std::size_t Next(std::size_t p) const noexcept { return p < end_ ? Skip(p + 1) : end_; }

    // Walks a compiled rule body from `p`. Without a node it only recognises; with one it
    // records the captures in it and throws CParseException instead of returning nothing.
    std::optional<std::size_t> Elements(const std::vector<RuleElement>& elements, std::size_t p,
                                        ParseNode* node);

    struct Choice {
        const Rule* rule;
        std::size_t end;
    };
    // The first alternative of `group` that recognises at `p`, and where it ends.
    std::optional<Choice> RecogniseGroup(int group, std::size_t p);
    // Parses `rule` (already recognised at `p`) into `node`.
    std::size_t ParseRule(const Rule& rule, std::size_t p, ParseNode& node);

    // A literal at `p`, compared ignoring case; the position after it, or nothing. An operator
    // of two characters ("<>", "!=", ">=", "<=", "||") is cut into two one-character tokens
    // by the tokenizer and matches them when nothing stands between them.
    std::optional<std::size_t> Literal(std::string_view text, std::size_t p) const noexcept;
    // A terminal capture at `p` (< End()); stores its text in `value` when given.
    std::optional<std::size_t> Terminal(TerminalType type, std::size_t p, std::string* value) const;

private:
    unsigned char FirstCharacter(std::size_t p) const noexcept {
        return static_cast<unsigned char>(FoldCase(view_.text[view_.tokens[p].offset]));
    }
    bool IsId(std::size_t p) const noexcept;
    bool IsInteger(std::size_t p) const noexcept;
    bool IsText(std::size_t p, char c) const noexcept;
    std::optional<std::size_t> Qualified(std::size_t p, int parts, bool stopBeforeStar,
                                         std::string* value) const;
    std::optional<std::size_t> Decimal(std::size_t p, std::string* value) const;
    std::optional<std::size_t> DateTime(std::size_t p, std::string* value) const;

    const Grammar& grammar_;
    TokenView view_;
    std::size_t begin_;
    std::size_t end_;
    int depth_ = 0;
    GroupMemo* memo_ = nullptr;
    std::unique_ptr<GroupMemo> ownMemo_; // only when a matcher is already active on this thread
};

} // namespace marlix
