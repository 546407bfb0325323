#pragma once
// The token record of a script: every consumer of the script text (editor colouring, statement
// splitting, the METADATA reader and the SELECT grammar) works on these records.
#include <cstdint>
#include <span>
#include <string_view>

namespace marlix {

// The class numbers are shared with the editor's colour table and the block reader; they are
// fixed.
enum class TokenClass : std::uint8_t {
    Word = 0,             // identifier, keyword, number, other character, or [bracketed] identifier
    String = 1,           // '...', E'...' or $tag$...$tag$ literal, quotes included
    Comment = 2,          // /* ... */, -- ... line comment, or a DELIMITER line (a client command)
    Punctuation = 3,      // one of . , > < = * / ; : + - & ~ % ( ) |, or the delimiter a DELIMITER line set
    MetadataStart = 4,    // the 11 characters "/*METADATA>"
    MetadataEnd = 5,      // the 12 characters "</METADATA*/"
    TagOpen = 6,          // '<' opening a tag inside a METADATA block
    TagName = 7,          // tag name after '<' or "</"
    TagSlash = 8,         // "</" or "/>"
    MetadataWord = 9,     // attribute name or other word inside a block
    QuotedValue = 10,     // "..." attribute value, quotes included
    Equals = 11,          // '=' inside a block
    TagClose = 12,        // '>' directly after a tag name
    Slash = 13,           // '/' inside a block not followed by '>'
    TextBlock = 14,       // "/*TEXT>" ... "</TEXT*/"
    QuotedIdentifier = 15 // "..." identifier, quotes included
};

inline constexpr int kTokenClassCount = 16;

// What a token is beyond its class, for the batch: a client command line (a Comment token that
// ends the statement before it and is run by the client, not sent), or the data lines of a
// COPY ... FROM stdin (a String token after the COPY statement's ";", which then ends nothing).
enum class TokenRole : std::uint8_t { Plain = 0, ClientCommand = 1, CopyData = 2 };

// One token: its place in the tokenized text and its class. Tokens never overlap, come in text
// order and are never empty.
struct Token {
    std::uint32_t offset = 0; // first character, relative to the start of the tokenized text
    std::uint32_t length = 0; // characters covered, closing quote or marker included
    TokenClass cls = TokenClass::Word;
    // False when the end of the text cut the token off before its closing quote, bracket or
    // marker; the editor colours such a token to the end, and a run refuses the script
    // (FindTextFault) unless the token is a "--" comment or lies inside a METADATA block.
    bool terminated = true;
    // True for a token that ends a statement, as the tokenizer decided it: ";" (or the delimiter a
    // DELIMITER line set instead), the word GO, and the DELIMITER line itself.
    bool separator = false;
    // True for the "/*!NNNNN" (or "/*M!NNNNN") that opens a MySQL or MariaDB executable comment and
    // the "*/" that closes it: comments to the grammar, but sent to the server as written, since
    // the server runs the text between them (tokenized as SQL) from the version given on.
    bool executable = false;
    TokenRole role = TokenRole::Plain;

    constexpr std::uint32_t End() const noexcept { return offset + length; }

    // Where statement execution considers the token to end. For a TEXT block closed by
    // "</TEXT*/" that is the position of the marker's last '/' itself (one before End()), so
    // that the block's content is the text between the 7 characters of "/*TEXT>" and the 8
    // characters before this position. Every other token ends at End().
    constexpr std::uint32_t BlockEnd() const noexcept {
        return cls == TokenClass::TextBlock && terminated ? End() - 1 : End();
    }
};

// Comments of every kind are invisible to the grammar and to statement splitting: plain
// comments and the inside of METADATA and TEXT blocks, which are comments to the server too.
constexpr bool IsCommentLike(TokenClass c) noexcept {
    return c == TokenClass::Comment || (static_cast<int>(c) >= static_cast<int>(TokenClass::MetadataStart) &&
                                        static_cast<int>(c) <= static_cast<int>(TokenClass::TextBlock));
}

// A read-only view of a tokenized text: the text the offsets refer to and its tokens.
struct TokenView {
    std::string_view text;
    std::span<const Token> tokens;

    std::string_view TextOf(const Token& t) const noexcept { return text.substr(t.offset, t.length); }
    std::string_view TextOf(std::size_t i) const noexcept { return TextOf(tokens[i]); }
    std::size_t size() const noexcept { return tokens.size(); }
};

} // namespace marlix
