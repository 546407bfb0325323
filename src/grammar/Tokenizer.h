#pragma once
// The script tokenizer: cuts a whole script into tokens of classes 0 to 15, in text order, and
// finds the token covering a character by its place. It never fails: unterminated
// quotes, brackets, comments and blocks simply end at the end of the text (a run then refuses
// the script: FindTextFault). It also decides which tokens end a statement (Token::separator),
// so that the editor, the statement records and the batch all cut a script at the same places.
#include "grammar/ClientCommand.h"
#include "grammar/Token.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace marlix {

// How the server of the connection reads quotes. PostgreSQL and the servers of old double a
// quote to escape it; there "$$ ... $$" and "$tag$ ... $tag$" are literals too, and E'...' takes
// backslash escapes. MySQL and MariaDB take backslash escapes in every '...' and "..." and have
// no dollar quotes ("$" may begin their names).
struct TokenizerOptions {
    bool backslashEscapes = false;
    // MySQL and MariaDB run the text of "/*!NNNNN ... */" and "/*M!NNNNN ... */" from server
    // version NNNNN on: there it is tokenized as SQL between two executable marker tokens.
    bool executableComments = false;
    // PostgreSQL nests block comments: "/* a /* b */ c */" is one comment. Elsewhere the first
    // "*/" ends it.
    bool nestedComments = false;
    // SQLite, as its shell: a statement beginning CREATE [TEMP] TRIGGER ends only at a ";"
    // after "; END". Elsewhere a ";" inside the BEGIN ... END of a trigger, function or
    // procedure does not end it either, but the blocks are counted (TriggerBodies.cpp).
    bool sqliteTriggers = false;
    // The client whose command lines the script may hold (see ClientCommand.h); with Psql a
    // COPY ... FROM stdin takes the lines after it up to "\." as its data.
    ClientCommands clientCommands = ClientCommands::None;

    friend bool operator==(const TokenizerOptions&, const TokenizerOptions&) = default;
};

// The tokens of one text. The text itself is not copied: the caller keeps it alive and
// unchanged while the tokens are in use. No per-character table is kept: a dump of a million
// rows would need four bytes of it for every character of the script, and nothing that runs or
// colours a script reads it; a character's token is found among the ordered tokens.
class TokenizedScript {
public:
    std::string_view Text() const noexcept { return text_; }
    const std::vector<Token>& Tokens() const noexcept { return tokens_; }
    TokenView View() const noexcept { return {text_, tokens_}; }
    std::string_view TokenText(std::size_t i) const noexcept {
        return text_.substr(tokens_[i].offset, tokens_[i].length);
    }

    // The number of the token covering the character at `offset`, or -1 for blanks, control
    // characters and places at or past the end.
    std::int32_t TokenAt(std::size_t offset) const noexcept;
    // TokenAt of every character plus the place past the end, built on each call.
    std::vector<std::int32_t> CharIndex() const;

    // Starts a new run over `text`; the tokens are emptied but keep their capacity, so that
    // re-tokenizing after every keystroke does not reallocate.
    void Reset(std::string_view text);

    // Appends a token after the last one. Tokens must
    // come in text order, not overlap and not be empty; the scanners are the only writers.
    void Append(TokenClass cls, std::size_t begin, std::size_t end, bool terminated = true,
                bool separator = false, TokenRole role = TokenRole::Plain);

    // For the scanners: flags the last token as an executable comment marker; drops the tokens
    // from number `count` on, so that the scan can take their text back as one token.
    void MarkLastExecutable() noexcept { tokens_.back().executable = true; }
    void Truncate(std::size_t count);

    // Takes back the separator of every ";" inside the body of a CREATE TRIGGER (FUNCTION,
    // PROCEDURE), so that the body stays in its statement (TriggerBodies.cpp). A body the text ends in after such a
    // ";" leaves its CREATE unterminated, for FindTextFault.
    void JoinTriggerBodies(bool sqliteRule);

    // Takes `tokens` as the tokens of `text`, handing the ones it had back in `tokens`.
    void SwapTokens(std::string_view text, std::vector<Token>& tokens) noexcept {
        text_ = text;
        tokens_.swap(tokens);
    }

    // Points the tokens at `text` and replaces tokens [first, last) by `with`; the tokens after
    // them move by `shift` characters. The tokens replaced go to `removed` when given.
    void Splice(std::string_view text, std::size_t first, std::size_t last, std::span<const Token> with,
                std::int64_t shift, std::vector<Token>* removed = nullptr);

private:
    std::string_view text_;
    std::vector<Token> tokens_;
};

// Tokenizes `script` into `into`, reusing its buffers. Offsets are relative to the start of
// `script`; a text longer than 2 GiB is tokenized up to that length only, since token numbers
// and offsets are 32-bit.
//
// Statements end at ";" and at the word GO. A line that begins with the word DELIMITER (any
// case) followed by a delimiter, as the mysql and mariadb clients read it, is a client command:
// one comment token that ends the statement before it, after which the delimiter given ends
// statements instead of ";" ("DELIMITER ;" goes back). GO separates throughout. While ";"
// separates, one inside the body of a CREATE TRIGGER (FUNCTION, PROCEDURE) does not
// (TokenizedScript::JoinTriggerBodies). A client command line of the options' client, met where
// no statement has begun, is one comment token that separates (role ClientCommand). After the ";"
// of a COPY ... FROM stdin (Psql), which then separates nothing, the data lines are one String
// token (role CopyData) and the line "\." ends the statement.
void Tokenize(std::string_view script, TokenizedScript& into, TokenizerOptions options = {});
TokenizedScript Tokenize(std::string_view script, TokenizerOptions options = {});
// The same for the rest of a script cut after a statement, where a DELIMITER line before the
// cut set `delimiter` (";" or empty: none is in force). The caller keeps it alive for the call.
void Tokenize(std::string_view script, TokenizedScript& into, TokenizerOptions options, std::string_view delimiter);

// A token that changes how the text after its statement is cut: a DELIMITER line, an executable
// comment's marker, a client command line, COPY data or the line that ends it.
bool CarriesState(const Token& token) noexcept;

// What tokenizing again after an edit did: tokens [first, oldEnd) of the old run were replaced
// by tokens [first, newEnd).
struct TokenSplice {
    std::size_t first = 0;
    std::size_t oldEnd = 0;
    std::size_t newEnd = 0;
};

// Brings `into`, the tokens of a text no token of which CarriesState, up to date with `text`,
// that text with `removed` characters at `at` replaced by `inserted` ones. The new run begins
// with the statement holding the edit and ends where it meets the old run: at a separator after
// the edit that the old run made at the same (shifted) place, when no body of a trigger takes
// it back. The tokens replaced go to `replaced` when given. The result equals tokenizing the
// whole text; when the new tokens would CarryState, nothing changes and nothing is returned.
std::optional<TokenSplice> Retokenize(std::string_view text, std::size_t at, std::size_t removed,
                                      std::size_t inserted, TokenizedScript& into, TokenizerOptions options = {},
                                      std::vector<Token>* replaced = nullptr);

} // namespace marlix
