#include "grammar/MetadataScanner.h"

#include "core/CaseFold.h"
#include "grammar/CharClass.h"

#include <cstring>

namespace marlix {

namespace {

class BlockScanner {
public:
    BlockScanner(std::string_view text, TokenizedScript& out) : text_(text), out_(out) {}

    std::size_t Run(std::size_t p) {
        const std::size_t n = text_.size();
        while (p < n) {
            const char c = text_[p];
            if (charclass::Is(c, charclass::kBlank)) {
                ++p;
                continue;
            }
            switch (c) {
            case '"':
                p = QuotedValue(p);
                break;
            case '/':
                if (p + 1 < n && text_[p + 1] == '>') {
                    p = Emit(TokenClass::TagSlash, p, 2);
                } else {
                    p = Emit(TokenClass::Slash, p, 1);
                }
                break;
            case '<':
                if (IsEndMarker(p)) return Emit(TokenClass::MetadataEnd, p, kMetadataEndMarker.size());
                p = Tag(p);
                break;
            case '=':
                p = Emit(TokenClass::Equals, p, 1);
                break;
            default:
                p = Word(p);
                break;
            }
        }
        return n;
    }

private:
    std::size_t Emit(TokenClass cls, std::size_t p, std::size_t length) {
        out_.Append(cls, p, p + length);
        return p + length;
    }

    bool IsEndMarker(std::size_t p) const {
        return text_.size() - p >= kMetadataEndMarker.size() &&
               EqualsFolded(text_.substr(p, kMetadataEndMarker.size()), kMetadataEndMarker);
    }

    // A value runs to the next double quote that is not doubled, or to the end of the text.
    std::size_t QuotedValue(std::size_t p) {
        const std::size_t n = text_.size();
        std::size_t e = p + 1;
        while (e < n) {
            const void* hit = std::memchr(text_.data() + e, '"', n - e);
            if (!hit) break;
            e = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) + 1;
            if (e < n && text_[e] == '"') {
                ++e;
                continue;
            }
            out_.Append(TokenClass::QuotedValue, p, e, true);
            return e;
        }
        out_.Append(TokenClass::QuotedValue, p, n, false);
        return n;
    }

    // '<' or "</", then the tag name and, when it follows at once, the '>' that closes the tag.
    // A '<' with no name after it yields no name token: the reader then reports the missing
    // name rather than accepting an empty one.
    std::size_t Tag(std::size_t p) {
        const std::size_t n = text_.size();
        if (p + 1 < n && text_[p + 1] == '/') {
            p = Emit(TokenClass::TagSlash, p, 2);
        } else {
            p = Emit(TokenClass::TagOpen, p, 1);
        }
        std::size_t e = p;
        while (e < n && charclass::Is(text_[e], charclass::kWordChar))
            ++e;
        if (e == p) return p;
        out_.Append(TokenClass::TagName, p, e);
        if (e < n && text_[e] == '>') return Emit(TokenClass::TagClose, e, 1);
        return e;
    }

    std::size_t Word(std::size_t p) {
        const std::size_t begin = p++;
        while (p < text_.size() && charclass::Is(text_[p], charclass::kTagChar))
            ++p;
        out_.Append(TokenClass::MetadataWord, begin, p);
        return p;
    }

    std::string_view text_;
    TokenizedScript& out_;
};

} // namespace

std::size_t ScanMetadataBlock(std::string_view text, std::size_t position, TokenizedScript& into) {
    if (position >= text.size()) return text.size();
    return BlockScanner(text, into).Run(position);
}

} // namespace marlix
