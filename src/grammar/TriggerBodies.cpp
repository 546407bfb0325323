// The body of a trigger is part of its CREATE TRIGGER statement: the ";" that end the statements
// inside it do not end the script's statement. Outside SQLite the same holds for the BEGIN ... END
// body of a function or procedure (PostgreSQL's BEGIN ATOMIC, as psql reads it; MySQL and MS SQL
// bodies written without DELIMITER or GO). Run over the finished tokens, so that quotes, comments
// and DELIMITER lines are already settled: a ";" that does not separate (a DELIMITER line set
// another delimiter) is never looked at, and every separator ends a body.
#include "core/CaseFold.h"
#include "grammar/Tokenizer.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix {
namespace {

bool Is(std::string_view word, std::string_view keyword) {
    return word.size() == keyword.size() && EqualsFolded(word, keyword);
}

template <std::size_t N> bool IsAny(std::string_view word, const std::array<std::string_view, N>& keywords) {
    for (std::string_view k : keywords)
        if (Is(word, k)) return true;
    return false;
}

// Where a statement stands: before its first word, in the words before TRIGGER (FUNCTION,
// PROCEDURE), in such a statement, or in any other statement (which only its separator ends).
enum class Stage : std::uint8_t { Start, Explain, Create, Trigger, Other };

// Words of CREATE TRIGGER before TRIGGER (and FUNCTION, PROCEDURE): CREATE OR REPLACE / OR ALTER, TEMP, CONSTRAINT, and
// MySQL's DEFINER = user@host (whose user and host may be any word).
constexpr std::array<std::string_view, 8> kBeforeTrigger{"OR",        "REPLACE",    "ALTER",  "TEMP",
                                                         "TEMPORARY", "CONSTRAINT", "DEFINER", "CURRENT_USER"};
// BEGIN followed by one of these starts a transaction (BEGIN TRAN in a T-SQL trigger), no block.
constexpr std::array<std::string_view, 7> kTransaction{"TRANSACTION", "TRAN",      "WORK",     "DISTRIBUTED",
                                                       "IMMEDIATE",   "EXCLUSIVE", "DEFERRED"};
// END followed by one of these closes a compound statement whose opening is not counted.
constexpr std::array<std::string_view, 5> kUncounted{"IF", "WHILE", "LOOP", "REPEAT", "FOR"};

// The blocks of a body outside SQLite: BEGIN ... END and, inside one, CASE ... END, never inside
// parentheses. BEGIN and the END of a BEGIN are told by the token after them: "BEGIN TRANSACTION"
// opens no block, "END IF" closes no counted one, "NEW.end" and "SET end = 1" are names. The END
// of a CASE always closes it.
class BlockDepth {
public:
    // Feeds the next token other than ";"; `word` is empty for a token that is not a word.
    void Next(std::string_view word, std::string_view text) {
        if (text == "(") ++parens_;
        if (text == ")" && parens_ > 0) --parens_;
        const Pending pending = std::exchange(pending_, Pending::None);
        const bool afterDot = std::exchange(afterDot_, text == ".");
        if (pending == Pending::Begin && !word.empty() && !IsAny(word, kTransaction)) Open(false);
        if (pending == Pending::End) {
            if (text == "." || text == "=" || text == "," || text == ")") return; // a name
            const bool uncounted = IsAny(word, kUncounted);
            if (!uncounted) Close();
            if (uncounted || Is(word, "CASE")) return; // END IF, END CASE: one closing
        }
        if (pending == Pending::CaseEnd && Is(word, "CASE")) return;
        if (afterDot || word.empty() || parens_ > 0) return;
        if (Is(word, "BEGIN")) {
            pending_ = Pending::Begin;
        } else if (depth_ == 0) {
            return;
        } else if (Is(word, "CASE")) {
            Open(true);
        } else if (Is(word, "END")) {
            if (!isCase_[Top()]) {
                pending_ = Pending::End;
            } else {
                Close();
                pending_ = Pending::CaseEnd;
            }
        }
    }

    // At a ";": true when no block is open (after the END it may close). "BEGIN;" opens none.
    bool Closed() {
        if (pending_ == Pending::End) Close();
        pending_ = Pending::None;
        afterDot_ = false;
        parens_ = 0;
        return depth_ == 0;
    }

private:
    enum class Pending : std::uint8_t { None, Begin, End, CaseEnd };
    std::size_t Top() const { return (depth_ - 1) % isCase_.size(); }
    void Open(bool isCase) {
        isCase_[depth_ % isCase_.size()] = isCase;
        ++depth_;
    }
    void Close() {
        if (depth_ > 0) --depth_;
    }

    std::size_t depth_ = 0;
    std::size_t parens_ = 0;
    std::array<bool, 64> isCase_{}; // per level: a CASE, else a BEGIN; deeper levels wrap around
    Pending pending_ = Pending::None;
    bool afterDot_ = false;
};

} // namespace

void TokenizedScript::JoinTriggerBodies(bool sqliteRule) {
    Stage stage = Stage::Start;
    std::size_t create = 0;     // the CREATE of the trigger (function, procedure)
    bool joined = false;        // a ";" of its body was taken back
    int semicolonEnd = 0;       // SQLite: 1 after "; ", 2 after "; END"
    std::size_t beforeTrigger = 0; // tokens between CREATE and TRIGGER
    bool definer = false;           // DEFINER = user@host: any words until TRIGGER
    BlockDepth blocks;
    std::vector<std::size_t> takenBack; // the ";" of the body in hand that no longer separate
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        Token& token = tokens_[i];
        // A client command or COPY data stands between statements as the tokenizer cut them: no
        // body reaches over it, and the ";" before it separate again.
        if (token.role != TokenRole::Plain) {
            if (stage == Stage::Trigger)
                for (std::size_t j : takenBack)
                    tokens_[j].separator = true;
            takenBack.clear();
            joined = false;
            stage = Stage::Start;
            continue;
        }
        if (IsCommentLike(token.cls) && !token.separator) continue;
        const std::string_view text = TokenText(i);
        const bool semicolon = token.separator && text == ";" && token.cls == TokenClass::Punctuation;
        if (token.separator && !(semicolon && stage == Stage::Trigger)) {
            stage = Stage::Start;
            continue;
        }
        const std::string_view word = token.cls == TokenClass::Word ? text : std::string_view();
        switch (stage) {
        case Stage::Start:
        case Stage::Explain:
            if (Is(word, "CREATE")) {
                stage = Stage::Create;
                create = i;
                beforeTrigger = 0;
                definer = false;
            } else {
                stage = sqliteRule && (stage == Stage::Explain || Is(word, "EXPLAIN")) ? Stage::Explain : Stage::Other;
            }
            break;
        case Stage::Create:
            if (Is(word, "TRIGGER") || (!sqliteRule && (Is(word, "FUNCTION") || Is(word, "PROCEDURE")))) {
                stage = Stage::Trigger;
                joined = false;
                takenBack.clear();
                semicolonEnd = 0;
                blocks = BlockDepth();
            } else if (sqliteRule ? !Is(word, "TEMP") && !Is(word, "TEMPORARY")
                                  : ++beforeTrigger > 8 ||
                                        (!definer && (text == "(" || (!word.empty() && !IsAny(word, kBeforeTrigger))))) {
                stage = Stage::Other;
            }
            definer = definer || Is(word, "DEFINER");
            break;
        case Stage::Trigger:
            if (sqliteRule) {
                if (semicolon) {
                    if (semicolonEnd == 2) {
                        stage = Stage::Start;
                        break;
                    }
                    semicolonEnd = 1;
                } else {
                    semicolonEnd = semicolonEnd == 1 && Is(word, "END") ? 2 : 0;
                    break;
                }
            } else if (!semicolon) {
                blocks.Next(word, text);
                break;
            } else if (blocks.Closed()) {
                stage = Stage::Start;
                break;
            }
            token.separator = false;
            takenBack.push_back(i);
            joined = true;
            break;
        case Stage::Other:
            break;
        }
    }
    // A body the text ends in has swallowed every statement after its first ";": refused.
    if (stage == Stage::Trigger && joined && (sqliteRule ? semicolonEnd != 2 : !blocks.Closed()))
        tokens_[create].terminated = false;
}

} // namespace marlix
