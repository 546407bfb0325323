#include "grammar/Tokenizer.h"

#include "core/CaseFold.h"
#include "grammar/CharClass.h"
#include "grammar/MetadataScanner.h"

#include <algorithm>
#include <cassert>
#include <cstring>
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

class ScriptScanner {
public:
    ScriptScanner(std::string_view text, TokenizedScript& out) : text_(text), out_(out) {}

    void Run() {
        const std::size_t n = text_.size();
        std::size_t p = 0;
        while (p < n) {
            const char c = text_[p];
            if (charclass::Is(c, charclass::kBlank)) {
                ++p;
                continue;
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
                p = (p + 1 < n && text_[p + 1] == '*') ? SlashStar(p) : Single(p);
                break;
            case '-':
                p = (p + 1 < n && text_[p + 1] == '-') ? LineComment(p) : Single(p);
                break;
            default:
                p = charclass::Is(c, charclass::kPunctuation) ? Single(p) : Word(p);
                break;
            }
        }
    }

private:
    std::size_t Single(std::size_t p) {
        out_.Append(TokenClass::Punctuation, p, p + 1);
        return p + 1;
    }

    std::size_t Word(std::size_t p) {
        const std::size_t begin = p++;
        while (p < text_.size() && charclass::Is(text_[p], charclass::kWordChar))
            ++p;
        out_.Append(TokenClass::Word, begin, p);
        return p;
    }

    std::size_t Quoted(std::size_t p, char close, TokenClass cls) {
        bool terminated = false;
        const std::size_t end = ScanQuoted(text_, p, close, terminated);
        out_.Append(cls, p, end, terminated);
        return end;
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

    // "/*": a METADATA block, a TEXT block or a plain comment.
    std::size_t SlashStar(std::size_t p) {
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
        const std::size_t close = text_.find("*/", p + 2);
        if (close == std::string_view::npos) {
            out_.Append(TokenClass::Comment, p, text_.size(), false);
            return text_.size();
        }
        out_.Append(TokenClass::Comment, p, close + 2, true);
        return close + 2;
    }

    std::string_view text_;
    TokenizedScript& out_;
};

} // namespace

void TokenizedScript::Reset(std::string_view text) {
    text_ = text;
    tokens_.clear();
    charIndex_.resize(text.size() + 1);
    indexed_ = 0;
}

void TokenizedScript::Append(TokenClass cls, std::size_t begin, std::size_t end, bool terminated) {
    assert(begin >= indexed_ && end > begin && end <= text_.size());
    const auto number = static_cast<std::int32_t>(tokens_.size());
    tokens_.push_back(
        Token{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin), cls, terminated});
    std::int32_t* index = charIndex_.data();
    std::fill(index + indexed_, index + begin, -1);
    std::fill(index + begin, index + end, number);
    indexed_ = end;
}

void TokenizedScript::Finish() {
    std::fill(charIndex_.begin() + static_cast<std::ptrdiff_t>(indexed_), charIndex_.end(), -1);
    indexed_ = charIndex_.size();
}

void Tokenize(std::string_view script, TokenizedScript& into) {
    constexpr std::size_t kLimit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 1;
    if (script.size() > kLimit) script = script.substr(0, kLimit);
    into.Reset(script);
    ScriptScanner(script, into).Run();
    into.Finish();
}

TokenizedScript Tokenize(std::string_view script) {
    TokenizedScript result;
    Tokenize(script, result);
    return result;
}

} // namespace marlix
