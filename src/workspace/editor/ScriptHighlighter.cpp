#include "workspace/editor/ScriptHighlighter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace marlix {

ScriptHighlighter::ScriptHighlighter(QTextDocument* document, const AnalysedScript& script,
                                     const PositionMap& map, const SqlKeywordTable& keywords)
    : document_(document), script_(script), map_(map), keywords_(keywords) {}

const QTextCharFormat& ScriptHighlighter::FormatOf(KeywordColour colour) {
    for (const auto& [c, format] : formatCache_)
        if (c == colour) return format;
    QTextCharFormat format;
    format.setForeground(QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                                static_cast<int>((colour >> 16) & 0xFF)));
    formatCache_.emplace_back(colour, format);
    return formatCache_.back().second;
}

void ScriptHighlighter::ColourLines(const QTextBlock& first, const QTextBlock& last, int firstColumn,
                                    int columns) {
    // The analysis must be of the text now in the document (its last break is implicit).
    if (map_.DocumentLength() != document_->characterCount() - 1) return;
    if (map_.EngineLength() != script_.Text().size()) return;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const int length = block.length() - 1;
        if (length > kLongLine) {
            // The window moves with the columns shown, so it is worked out at every paint; the
            // comparison with the formats in place keeps the line from being laid out again
            // while the window stays.
            const int from = std::clamp(firstColumn - kWindowMargin, 0, length);
            const int to = std::clamp(firstColumn + columns + kWindowMargin, from, length);
            ++checked_;
            if (ColourLine(block, from, to - from)) ++recoloured_;
        } else if (block.userState() != generation_) {
            block.setUserState(generation_);
            ++checked_;
            if (ColourLine(block, 0, length)) ++recoloured_;
        }
        if (block == last) break;
    }
}

bool ScriptHighlighter::ColourLine(const QTextBlock& block, int from, int length) {
    LineColourRuns(script_.View(), map_, keywords_, block.position() + from, length, runs_);
    formats_.clear();
    for (const ColourRun& run : runs_) {
        QTextLayout::FormatRange range;
        range.start = from + run.start;
        range.length = run.length;
        range.format = FormatOf(run.colour);
        formats_.push_back(range);
    }
    QTextLayout* layout = block.layout();
    if (layout->formats() == formats_) return false;
    applying_ = true;
    layout->setFormats(formats_);
    // Setting formats records a change of the line in the document; flushing it at once keeps
    // it from being merged into the next edit, and lays the line out again for its new colours.
    document_->markContentsDirty(block.position(), block.length());
    applying_ = false;
    return true;
}

} // namespace marlix
