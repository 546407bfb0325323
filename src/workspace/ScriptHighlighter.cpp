#include "workspace/ScriptHighlighter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>

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

void ScriptHighlighter::ColourLines(const QTextBlock& first, const QTextBlock& last) {
    // The analysis must be of the text now in the document (its last break is implicit).
    if (map_.DocumentLength() != document_->characterCount() - 1) return;
    if (map_.EngineLength() != script_.Text().size()) return;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (block.userState() != generation_) {
            block.setUserState(generation_);
            ++checked_;
            if (ColourLine(block)) ++recoloured_;
        }
        if (block == last) break;
    }
}

bool ScriptHighlighter::ColourLine(const QTextBlock& block) {
    LineColourRuns(script_.View(), map_, keywords_, block.position(), block.length() - 1, runs_);
    formats_.clear();
    for (const ColourRun& run : runs_) {
        QTextLayout::FormatRange range;
        range.start = run.start;
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
