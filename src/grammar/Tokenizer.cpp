#include "grammar/Tokenizer.h"

#include "core/CaseFold.h"
#include "grammar/CharClass.h"
#include "grammar/MetadataScanner.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>
#include <limits>

namespace marlix {

namespace {

constexpr std::string_view kTextStartMarker = "/*TEXT>";
constexpr std::string_view kTextEndMarker = "</TEXT*/"; // matched case-sensitively

bool StartsWithFolded(std::string_view text, std::size_t pos, std::string_view marker) {
    return text.size() - pos >= marker.size() && EqualsFolded(text.substr(pos, marker.size()), marker);
}

// Scans the rest of a token opened by `quote` at `pos`: it ends at the first closing character
// that is not doubled. Returns one past the closing character, or the end of the text.
std::size_t ScanQuoted(std::string_view text, std::size_t pos, char close, bool& terminated) {
    const char* base = text.data();
    std::size_t p = pos + 1;
    const std::size_t n = text.size();
    while (p < n) {
        const void* hit = std::memchr(base + p, close, n - p);
        if (!hit) break;
        p = static_cast<std::size_t>(static_cast<const char*>(hit) - base) + 1;
        if (p < n && text[p] == close) {
            ++p; // a doubled closing character stands for itself
            continue;
        }
        terminated = true;
        return p;
    }
    terminated = false;
    return n;
}

// As ScanQuoted, for a server that reads a backslash as an escape: "\\" takes the character
// after it, whatever it is, and a doubled closing character still stands for itself.
std::size_t ScanEscaped(std::string_view text, std::size_t quote, char close, bool& terminated) {
    const std::size_t n = text.size();
    std::size_t p = quote + 1;
    while (p < n) {
        const char c = text[p];
        if (c == '\\') {
            p += 2;
            continue;
        }
        if (c == close) {
            if (p + 1 < n && text[p + 1] == close) {
                p += 2;
                continue;
            }
            terminated = true;
            return p + 1;
        }
        ++p;
    }
    terminated = false;
    return n;
}

constexpr bool IsTagStart(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
constexpr bool IsTagChar(char c) noexcept {
    return IsTagStart(c) || (c >= '0' && c <= '9');
}
constexpr bool IsLineBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

constexpr std::string_view kDelimiterCommand = "DELIMITER";

class ScriptScanner {
public:
    ScriptScanner(std::string_view text, TokenizedScript& out, TokenizerOptions options,
                  std::string_view delimiter)
        : text_(text), out_(out), options_(options), delimiter_(delimiter == ";" ? std::string_view() : delimiter) {}

    // Scans from `from`, which must follow a separator (or be 0), to the end, or until `stop`
    // accepts a separator the scan has just made while no DELIMITER line or executable comment
    // is in force (the state every statement of a plain script begins in). Returns whether it
    // stopped.
    template <class Stop> bool Run(std::size_t from, Stop&& stop) {
        std::size_t p = from;
        step_ = true;
        while (p < text_.size()) {
            const std::size_t count = out_.Tokens().size();
            p = delimiter_.empty() ? Scan<false>(p) : Scan<true>(p);
            if (count == out_.Tokens().size() || !delimiter_.empty() || executableOpen_ ||
                !out_.Tokens().back().separator)
                continue;
            if (stop()) return true;
        }
        Finish();
        return false;
    }

    void Run() {
        std::size_t p = 0;
        while (p < text_.size())
            p = delimiter_.empty() ? Scan<false>(p) : Scan<true>(p);
        Finish();
    }

private:
    void Finish() {
        if (executableOpen_) {
            // No "*/" closes it: the rest is one unterminated comment, as for "/*".
            out_.Truncate(executableToken_);
            out_.Append(TokenClass::Comment, executableStart_, text_.size(), false);
        }
    }

    // Scans from `p` until the end, or until a DELIMITER line switches between ";" and another
    // delimiter (kCustom: one is set). The common case, ";", pays nothing for the other.
    template <bool kCustom> std::size_t Scan(std::size_t p) {
        const std::size_t n = text_.size();
        while (p < n) {
            const char c = text_[p];
            if (charclass::Is(c, charclass::kBlank)) {
                ++p;
                continue;
            }
            if constexpr (kCustom) {
                if (text_.substr(p, delimiter_.size()) == delimiter_) {
                    out_.Append(TokenClass::Punctuation, p, p + delimiter_.size(), true, true);
                    p += delimiter_.size();
                    continue;
                }
            }
            switch (c) {
            case '\'':
                p = Quoted(p, '\'', TokenClass::String);
                break;
            case '"':
                p = Quoted(p, '"', TokenClass::QuotedIdentifier);
                break;
            case '[':
                p = Quoted(p, ']', TokenClass::Word);
                break;
            case '/':
                p = (p + 1 < n && text_[p + 1] == '*') ? SlashStar(p) : Single<kCustom>(p);
                break;
            case '-':
                p = (p + 1 < n && text_[p + 1] == '-') ? LineComment(p) : Single<kCustom>(p);
                break;
            case '*':
                p = (executableOpen_ && p + 1 < n && text_[p + 1] == '/') ? CloseExecutable(p)
                                                                           : Single<kCustom>(p);
                break;
            case '$':
                p = DollarQuoted<kCustom>(p);
                break;
            case 'E':
            case 'e':
                p = (!options_.backslashEscapes && p + 1 < n && text_[p + 1] == '\'') ? EscapeString(p)
                                                                                      : Word<kCustom>(p);
                break;
            case 'D':
            case 'd':
                p = Delimiter<kCustom>(p);
                if (delimiter_.empty() == kCustom) return p;
                break;
            case '\\':
            case '.':
            case 's':
            case 'S':
                p = ClientCommandLine<kCustom>(p);
                break;
            default:
                p = charclass::Is(c, charclass::kPunctuation) ? Single<kCustom>(p) : Word<kCustom>(p);
                break;
            }
            if (step_) return p;
        }
        return p;
    }

    template <bool kCustom> std::size_t Single(std::size_t p) {
        if (!kCustom && text_[p] == ';' && options_.clientCommands == ClientCommands::Psql && CopyFromStdin())
            return CopyData(p);
        // After a DELIMITER line has set another delimiter, ";" is an ordinary character.
        out_.Append(TokenClass::Punctuation, p, p + 1, true, !kCustom && text_[p] == ';');
        return p + 1;
    }

    template <bool kCustom> std::size_t Word(std::size_t p) {
        const std::size_t begin = p++;
        while (p < text_.size() && charclass::Is(text_[p], charclass::kWordChar))
            ++p;
        if constexpr (kCustom) {
            // The clients find the delimiter anywhere outside quotes and comments, so "END$$"
            // ends a statement after END.
            const std::size_t tail =
                std::min(text_.size() - begin - 1, p - begin - 1 + delimiter_.size() - 1);
            const std::size_t found = text_.substr(begin + 1, tail).find(delimiter_);
            if (found != std::string_view::npos) p = begin + 1 + found;
        }
        const bool go = p - begin == 2 && (text_[begin] | 0x20) == 'g' && (text_[begin + 1] | 0x20) == 'o';
        out_.Append(TokenClass::Word, begin, p, true, go);
        return p;
    }

    std::size_t Quoted(std::size_t p, char close, TokenClass cls) {
        bool terminated = false;
        const std::size_t end = options_.backslashEscapes && close != ']'
                                    ? ScanEscaped(text_, p, close, terminated)
                                    : ScanQuoted(text_, p, close, terminated);
        out_.Append(cls, p, end, terminated);
        return end;
    }

    // E'...': one literal from the E on, whose backslashes escape.
    std::size_t EscapeString(std::size_t p) {
        bool terminated = false;
        const std::size_t end = ScanEscaped(text_, p + 1, '\'', terminated);
        out_.Append(TokenClass::String, p, end, terminated);
        return end;
    }

    // "$$" or "$tag$" opens a literal that the same tag closes; nothing inside it escapes or
    // ends anything. Any other "$" ($1, $name) begins a word as before.
    template <bool kCustom> std::size_t DollarQuoted(std::size_t p) {
        if (options_.backslashEscapes) return Word<kCustom>(p);
        const std::size_t n = text_.size();
        std::size_t q = p + 1;
        if (q < n && IsTagStart(text_[q]))
            while (++q < n && IsTagChar(text_[q])) {
            }
        if (q >= n || text_[q] != '$') return Word<kCustom>(p);
        const std::string_view tag = text_.substr(p, q + 1 - p);
        const std::size_t close = text_.find(tag, q + 1);
        if (close == std::string_view::npos) {
            out_.Append(TokenClass::String, p, n, false);
            return n;
        }
        out_.Append(TokenClass::String, p, close + tag.size());
        return close + tag.size();
    }

    // A line "DELIMITER <delimiter>": the whole line is one comment token that separates, and
    // the delimiter ends statements from here on. Anything else that begins with D is a word.
    template <bool kCustom> std::size_t Delimiter(std::size_t p) {
        const std::size_t n = text_.size();
        const std::size_t word = p + kDelimiterCommand.size();
        if (word >= n || !IsLineBlank(text_[word]) ||
            !EqualsFolded(text_.substr(p, kDelimiterCommand.size()), kDelimiterCommand))
            return Word<kCustom>(p);
        std::size_t lineStart = p;
        while (lineStart > 0 && IsLineBlank(text_[lineStart - 1]))
            --lineStart;
        if (lineStart > 0 && text_[lineStart - 1] != '\n' && text_[lineStart - 1] != '\r')
            return Word<kCustom>(p);
        std::size_t a = word;
        while (a < n && IsLineBlank(text_[a]))
            ++a;
        std::size_t b = a;
        while (b<n&& static_cast<unsigned char>(text_[b])> ' ')
            ++b;
        if (a == b) return Word<kCustom>(p); // the clients refuse a DELIMITER without a delimiter
        std::size_t end = b;
        while (end < n && text_[end] != '\r' && text_[end] != '\n')
            ++end;
        while (end > b && static_cast<unsigned char>(text_[end - 1]) <= ' ')
            --end;
        const std::string_view delimiter = text_.substr(a, b - a);
        delimiter_ = delimiter == ";" ? std::string_view() : delimiter;
        out_.Append(TokenClass::Comment, p, end, true, true);
        return end;
    }

    // Only blanks before `p` on its line.
    bool AtLineStart(std::size_t p) const noexcept {
        while (p > 0 && IsLineBlank(text_[p - 1]))
            --p;
        return p == 0 || text_[p - 1] == '\n' || text_[p - 1] == '\r';
    }

    // Whether the tokens since the last separator hold more than comments.
    bool StatementOpen() const noexcept {
        const std::vector<Token>& tokens = out_.Tokens();
        for (std::size_t i = tokens.size(); i-- > 0;) {
            if (tokens[i].separator) return false;
            if (!IsCommentLike(tokens[i].cls)) return true;
        }
        return false;
    }

    // A client command line where no statement has begun: one separating comment token.
    template <bool kCustom> std::size_t ClientCommandLine(std::size_t p) {
        std::size_t end = 0;
        if (options_.clientCommands != ClientCommands::None && AtLineStart(p) && !StatementOpen())
            end = ClientCommandLineEnd(text_, p, options_.clientCommands);
        if (end == 0)
            return charclass::Is(text_[p], charclass::kPunctuation) ? Single<kCustom>(p) : Word<kCustom>(p);
        out_.Append(TokenClass::Comment, p, end, true, true, TokenRole::ClientCommand);
        return end;
    }

    bool CopyFromStdin() const noexcept {
        const std::vector<Token>& tokens = out_.Tokens();
        std::size_t first = tokens.size();
        while (first > 0 && !tokens[first - 1].separator)
            --first;
        return IsCopyFromStdin(out_.View(), first, tokens.size());
    }

    // The ";" of a COPY ... FROM stdin ends nothing: the data lines up to the line "\." follow
    // (from the rest of the ";" line on, which must be blank), and that line ends the statement.
    // Without it the data token runs to the end, unterminated, and the script does not run.
    std::size_t CopyData(std::size_t p) {
        out_.Append(TokenClass::Punctuation, p, p + 1);
        std::size_t line = p + 1;
        while (line < text_.size() && text_[line - 1] != '\n')
            ++line;
        const CopyDataEnd end = FindCopyDataEnd(text_, line);
        if (end.lineStart > p + 1)
            out_.Append(TokenClass::String, p + 1, end.lineStart, end.found, false, TokenRole::CopyData);
        if (!end.found) return text_.size();
        out_.Append(TokenClass::Comment, end.lineStart, end.lineEnd, true, true);
        return end.lineEnd;
    }

    // "--" comment: up to and including the line end. Scripts written on this platform end
    // their lines with a bare line feed, so that ends the comment as well as a carriage return;
    // otherwise one comment would swallow the rest of such a script.
    std::size_t LineComment(std::size_t p) {
        std::size_t e = p + 2;
        while (e < text_.size() && text_[e] != '\r' && text_[e] != '\n')
            ++e;
        const bool terminated = e < text_.size();
        if (terminated) ++e;
        out_.Append(TokenClass::Comment, p, e, terminated);
        return e;
    }

    // "/*": a METADATA block, a TEXT block, an executable comment's opening or a plain comment.
    std::size_t SlashStar(std::size_t p) {
        if (options_.executableComments && !executableOpen_)
            if (const std::size_t opener = ExecutableOpener(p)) return OpenExecutable(p, opener);
        if (StartsWithFolded(text_, p, kMetadataStartMarker)) {
            const std::size_t inner = p + kMetadataStartMarker.size();
            out_.Append(TokenClass::MetadataStart, p, inner);
            return ScanMetadataBlock(text_, inner, out_);
        }
        if (StartsWithFolded(text_, p, kTextStartMarker)) {
            const std::size_t close = text_.find(kTextEndMarker, p + kTextStartMarker.size());
            if (close == std::string_view::npos) {
                out_.Append(TokenClass::TextBlock, p, text_.size(), false);
                return text_.size();
            }
            const std::size_t end = close + kTextEndMarker.size();
            out_.Append(TokenClass::TextBlock, p, end, true);
            return end;
        }
        const std::size_t close = options_.nestedComments ? NestedCommentClose(p) : text_.find("*/", p + 2);
        if (close == std::string_view::npos) {
            out_.Append(TokenClass::Comment, p, text_.size(), false);
            return text_.size();
        }
        out_.Append(TokenClass::Comment, p, close + 2, true);
        return close + 2;
    }

    // The "*/" of the comment opened at `p` when every "/*" inside opens one more level, or npos.
    std::size_t NestedCommentClose(std::size_t p) const {
        std::size_t depth = 1;
        for (std::size_t q = p + 2; q + 1 < text_.size(); ++q) {
            if (text_[q] == '/' && text_[q + 1] == '*') {
                ++depth;
                ++q;
            } else if (text_[q] == '*' && text_[q + 1] == '/') {
                if (--depth == 0) return q;
                ++q;
            }
        }
        return std::string_view::npos;
    }

    // The end of "/*!" or "/*M!" and the version digits after it at `p`, or 0 for another "/*".
    std::size_t ExecutableOpener(std::size_t p) const {
        std::size_t q = p + 2;
        if (q < text_.size() && text_[q] == 'M') ++q;
        if (q >= text_.size() || text_[q] != '!') return 0;
        while (++q < text_.size() && text_[q] >= '0' && text_[q] <= '9') {
        }
        return q;
    }

    // The opening marker is a token of its own; the text after it is scanned as SQL up to "*/".
    std::size_t OpenExecutable(std::size_t p, std::size_t end) {
        executableOpen_ = true;
        executableStart_ = p;
        executableToken_ = out_.Tokens().size();
        out_.Append(TokenClass::Comment, p, end);
        out_.MarkLastExecutable();
        return end;
    }

    std::size_t CloseExecutable(std::size_t p) {
        executableOpen_ = false;
        out_.Append(TokenClass::Comment, p, p + 2);
        out_.MarkLastExecutable();
        return p + 2;
    }

    std::string_view text_;
    TokenizedScript& out_;
    TokenizerOptions options_;
    std::string_view delimiter_; // set by a DELIMITER line; empty while ";" separates
    bool step_ = false;           // Scan returns after every token, for Run's `stop`
    bool executableOpen_ = false; // inside "/*!" ... "*/": its "*/" closes it
    std::size_t executableStart_ = 0;
    std::size_t executableToken_ = 0;
};

} // namespace

void TokenizedScript::Reset(std::string_view text) {
    text_ = text;
    tokens_.clear();
    // Room for a token every four characters, about what SQL has: a long script's list is not
    // copied again and again as it grows. Room never filled costs no memory of its own.
    tokens_.reserve(text.size() / 4);
}

std::int32_t TokenizedScript::TokenAt(std::size_t offset) const noexcept {
    // The last token beginning at or before `offset` is the only one that can cover it.
    auto after = std::upper_bound(tokens_.begin(), tokens_.end(), offset,
                                  [](std::size_t place, const Token& t) { return place < t.offset; });
    if (after == tokens_.begin() || offset >= std::prev(after)->End()) return -1;
    return static_cast<std::int32_t>(std::prev(after) - tokens_.begin());
}

std::vector<std::int32_t> TokenizedScript::CharIndex() const {
    std::vector<std::int32_t> index(text_.size() + 1, -1);
    for (std::size_t i = 0; i < tokens_.size(); ++i)
        std::fill(index.begin() + tokens_[i].offset, index.begin() + tokens_[i].End(), static_cast<std::int32_t>(i));
    return index;
}

void TokenizedScript::Append(TokenClass cls, std::size_t begin, std::size_t end, bool terminated,
                             bool separator, TokenRole role) {
    assert((tokens_.empty() || begin >= tokens_.back().End()) && end > begin && end <= text_.size());
    tokens_.push_back(Token{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin), cls,
                            terminated, separator, false, role});
}

void TokenizedScript::Truncate(std::size_t count) {
    if (count < tokens_.size()) tokens_.resize(count);
}

void Tokenize(std::string_view script, TokenizedScript& into, TokenizerOptions options) {
    Tokenize(script, into, options, {});
}

void Tokenize(std::string_view script, TokenizedScript& into, TokenizerOptions options, std::string_view delimiter) {
    constexpr std::size_t kLimit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 1;
    if (script.size() > kLimit) script = script.substr(0, kLimit);
    into.Reset(script);
    ScriptScanner(script, into, options, delimiter).Run();
    into.JoinTriggerBodies(options.sqliteTriggers);
}

void TokenizedScript::Splice(std::string_view text, std::size_t first, std::size_t last, std::span<const Token> with,
                             std::int64_t shift, std::vector<Token>* removed) {
    text_ = text;
    if (removed) removed->assign(tokens_.begin() + static_cast<std::ptrdiff_t>(first),
                                 tokens_.begin() + static_cast<std::ptrdiff_t>(last));
    for (std::size_t i = last; i < tokens_.size(); ++i)
        tokens_[i].offset = static_cast<std::uint32_t>(static_cast<std::int64_t>(tokens_[i].offset) + shift);
    const auto at = tokens_.begin() + static_cast<std::ptrdiff_t>(first);
    const std::size_t kept = last - first;
    if (with.size() > kept)
        tokens_.insert(at + static_cast<std::ptrdiff_t>(kept), with.size() - kept, Token{});
    else if (with.size() < kept)
        tokens_.erase(at + static_cast<std::ptrdiff_t>(with.size()), at + static_cast<std::ptrdiff_t>(kept));
    std::copy(with.begin(), with.end(), tokens_.begin() + static_cast<std::ptrdiff_t>(first));
}

bool CarriesState(const Token& token) noexcept {
    return token.executable || token.role != TokenRole::Plain ||
           (token.cls == TokenClass::Comment && token.separator);
}

std::optional<TokenSplice> Retokenize(std::string_view text, std::size_t at, std::size_t removed,
                                      std::size_t inserted, TokenizedScript& into, TokenizerOptions options,
                                      std::vector<Token>* replaced) {
    constexpr std::size_t kLimit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 1;
    const std::vector<Token>& old = into.Tokens();
    if (text.size() > kLimit || into.Text().size() > kLimit || at + inserted > text.size() ||
        at + removed > into.Text().size())
        return std::nullopt;
    const std::int64_t shift = static_cast<std::int64_t>(inserted) - static_cast<std::int64_t>(removed);
    // Begin after the last separator the edit cannot reach: one that ends before it, or a ";"
    // (which looks at nothing after it) that ends where it begins.
    std::size_t first = static_cast<std::size_t>(
        std::lower_bound(old.begin(), old.end(), at, [](const Token& t, std::size_t place) { return t.offset < place; }) -
        old.begin());
    while (first > 0) {
        const Token& t = old[first - 1];
        if (t.separator && (t.End() < at || (t.End() == at && t.length == 1 && text[t.offset] == ';'))) break;
        --first;
    }
    const std::size_t from = first == 0 ? 0 : old[first - 1].End();
    TokenizedScript region;
    region.Reset(text);
    std::size_t oldEnd = old.size();
    // The runs meet at a separator after the edit that the old run made at the same place: from
    // there on both cut the same text from the same state, so the old tokens stand, shifted.
    // The body of a CREATE TRIGGER may take such a ";" back, so the meeting counts only when
    // the separator still ends a statement once the bodies are joined.
    auto meets = [&] {
        const Token& t = region.Tokens().back();
        if (t.offset < at + inserted) return false;
        const auto place = static_cast<std::uint32_t>(static_cast<std::int64_t>(t.offset) - shift);
        const auto match = std::lower_bound(old.begin(), old.end(), place,
                                            [](const Token& o, std::uint32_t p) { return o.offset < p; });
        if (match == old.end() || match->offset != place || match->length != t.length || match->cls != t.cls ||
            !match->separator || CarriesState(*match))
            return false;
        TokenizedScript joined = region;
        joined.JoinTriggerBodies(options.sqliteTriggers);
        if (!joined.Tokens().back().separator) return false;
        region = std::move(joined);
        oldEnd = static_cast<std::size_t>(match - old.begin()) + 1;
        return true;
    };
    if (!ScriptScanner(text, region, options, {}).Run(from, meets)) region.JoinTriggerBodies(options.sqliteTriggers);
    if (std::any_of(region.Tokens().begin(), region.Tokens().end(), CarriesState)) return std::nullopt;
    const TokenSplice splice{first, oldEnd, first + region.Tokens().size()};
    if (first == 0 && oldEnd == old.size() && replaced) {
        // Every token changed ("/*" at the top): the vectors change hands, nothing is copied.
        std::vector<Token> tokens;
        region.SwapTokens(text, tokens);
        into.SwapTokens(text, tokens);
        *replaced = std::move(tokens);
    } else {
        into.Splice(text, first, oldEnd, region.Tokens(), shift, replaced);
    }
    return splice;
}

TokenizedScript Tokenize(std::string_view script, TokenizerOptions options) {
    TokenizedScript result;
    Tokenize(script, result, options);
    return result;
}

} // namespace marlix
