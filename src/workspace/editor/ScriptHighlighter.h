#pragma once
// Colours the editor's lines from the engine's tokens. Formats are applied lazily: after an
// analysis nothing is touched until a line is about to be drawn; then the line's runs are
// computed from the tokens and set on its layout only when they differ from the ones it has.
// Typing "/*" at the top of a large script thus recolours the visible lines, not the whole
// script, and a keystroke inside one line recolours that line only. A very long line (a dump's
// INSERT with all its rows, say) is coloured only around the columns shown: laying out a line
// with tens of thousands of colour changes would cost the editor seconds per keystroke.
#include "metadata/AnalysedScript.h"
#include "transform/SqlKeywordTable.h"
#include "workspace/editor/PositionMap.h"
#include "workspace/editor/ScriptColours.h"

#include <QList>
#include <QTextCharFormat>
#include <QTextLayout>

#include <vector>

class QTextBlock;
class QTextDocument;

namespace marlix {

class ScriptHighlighter {
public:
    // The script and the map are the view's, rebuilt together at every analysis.
    ScriptHighlighter(QTextDocument* document, const AnalysedScript& script, const PositionMap& map,
                      const SqlKeywordTable& keywords = StandardKeywordTable());

    // A new analysis: every line is checked again the next time it is coloured.
    void ScriptAnalysed() noexcept { ++generation_; }

    // Lines longer than this are coloured in a window of columns around the ones shown.
    static constexpr int kLongLine = 8192;
    static constexpr int kWindowMargin = 2048;

    // Brings the formats of the lines first..last (inclusive, in document order) up to date,
    // where columns [firstColumn, firstColumn + columns) are on screen. Nothing happens while
    // the analysis is not of the document's current text.
    void ColourLines(const QTextBlock& first, const QTextBlock& last, int firstColumn = 0, int columns = 0);

    // Lines given new formats since construction (a line whose colours did not change is not
    // counted), and lines checked against the tokens.
    long long LinesRecoloured() const noexcept { return recoloured_; }
    long long LinesChecked() const noexcept { return checked_; }

    // True while formats are being applied: the document's change signals then carry no change
    // of the text.
    bool Applying() const noexcept { return applying_; }

private:
    const QTextCharFormat& FormatOf(KeywordColour colour);
    bool ColourLine(const QTextBlock& block, int from, int length);

    QTextDocument* document_;
    const AnalysedScript& script_;
    const PositionMap& map_;
    const SqlKeywordTable& keywords_;
    int generation_ = 1; // lines carry the generation they were last checked in (user state)
    long long recoloured_ = 0;
    long long checked_ = 0;
    bool applying_ = false;
    std::vector<ColourRun> runs_;
    QList<QTextLayout::FormatRange> formats_;
    std::vector<std::pair<KeywordColour, QTextCharFormat>> formatCache_;
};

} // namespace marlix
