#include "workspace/editor/ScriptColours.h"

#include <algorithm>

namespace marlix {

KeywordColour TokenColour(TokenView script, const Token& token, const SqlKeywordTable& keywords) noexcept {
    switch (token.cls) {
    case TokenClass::Word:
    case TokenClass::QuotedIdentifier:
    case TokenClass::MetadataWord: {
        const int keyword = keywords.Find(script.TextOf(token));
        return keyword < 0 ? kColourBlack : keywords.At(static_cast<std::size_t>(keyword)).colour;
    }
    case TokenClass::String:
    case TokenClass::QuotedValue:
    case TokenClass::Slash:
        return kColourRed;
    case TokenClass::Comment:
        return kColourTeal;
    case TokenClass::Punctuation:
    case TokenClass::TagOpen:
    case TokenClass::TagSlash:
    case TokenClass::Equals:
    case TokenClass::TagClose:
        return kColourGray;
    case TokenClass::MetadataStart:
    case TokenClass::MetadataEnd:
    case TokenClass::TagName:
        return kColourMagenta;
    case TokenClass::TextBlock:
        return kColourGreen;
    }
    return kColourBlack;
}

void LineColourRuns(TokenView script, const PositionMap& map, const SqlKeywordTable& keywords, int position,
                    int length, std::vector<ColourRun>& into) {
    into.clear();
    const std::size_t first = map.ByteOfPosition(position);
    const std::size_t last = map.ByteOfPosition(position + length);
    if (first >= last) return;
    // Tokens are in text order and never overlap: the first one that ends after the line's
    // first byte is the first on the line (a comment or block may have started lines above).
    auto token = std::partition_point(script.tokens.begin(), script.tokens.end(),
                                      [first](const Token& t) { return t.End() <= first; });
    for (; token != script.tokens.end() && token->offset < last; ++token) {
        const KeywordColour colour = TokenColour(script, *token, keywords);
        if (colour == kColourBlack) continue;
        const int start = map.PositionOfByte(std::max<std::size_t>(token->offset, first)) - position;
        const int end = map.PositionOfByte(std::min<std::size_t>(token->End(), last)) - position;
        if (end <= start) continue;
        if (!into.empty() && into.back().colour == colour && into.back().start + into.back().length == start)
            into.back().length = end - into.back().start;
        else
            into.push_back({start, end - start, colour});
    }
}

} // namespace marlix
