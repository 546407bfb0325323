#pragma once
// The editor's colours, taken from the engine's tokens: a colour per token class, the keyword
// table's colour for words that are keywords, and the coloured runs of one line of the editor.
#include "grammar/Token.h"
#include "transform/SqlKeywordTable.h"
#include "workspace/editor/PositionMap.h"

#include <vector>

namespace marlix {

inline constexpr KeywordColour kColourBlack = RgbColour(0, 0, 0);
inline constexpr KeywordColour kColourRed = RgbColour(255, 0, 0);
inline constexpr KeywordColour kColourTeal = RgbColour(0, 128, 128);
inline constexpr KeywordColour kColourGray = RgbColour(128, 128, 128);
inline constexpr KeywordColour kColourMagenta = RgbColour(255, 0, 255);
inline constexpr KeywordColour kColourGreen = RgbColour(0, 128, 0);

// The colour of one token: by its class, and for words, bracketed and quoted names by the
// keyword table (whole token, any letter case), black when it is no keyword.
KeywordColour TokenColour(TokenView script, const Token& token, const SqlKeywordTable& keywords) noexcept;

// Characters [start, start + length) of a line, relative to the line's first position.
struct ColourRun {
    int start = 0;
    int length = 0;
    KeywordColour colour = kColourBlack;
    bool operator==(const ColourRun&) const = default;
};

// The runs of the document range [position, position + length) (one line of the editor) over
// the tokens of the engine text `map` was built for. Black is the editor's text colour and is
// left out; neighbouring runs of one colour are merged.
void LineColourRuns(TokenView script, const PositionMap& map, const SqlKeywordTable& keywords, int position,
                    int length, std::vector<ColourRun>& into);

} // namespace marlix
