#pragma once
// The Results text: the converted output of every batch, one after the other. Each batch's output
// stays in the sink it was written to; only a coarse line index is added, so a batch of a million
// INSERT statements costs its text and a fraction of a percent more.
//
// Offsets count bytes of the whole text (UTF-8, "\r\n" line ends; a lone "\n" ends a line too).
// Lines are counted from 0; a text that ends with a line break has an empty last line after it,
// and the empty text is one empty line.
#include "core/MemoryTextSink.h"
#include "core/TextSink.h"
#include "results/text/BreakIndex.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class ResultsText {
public:
    ResultsText() = default;
    ResultsText(const ResultsText&) = delete;
    ResultsText& operator=(const ResultsText&) = delete;

    // Appends a batch's output (taking the sink; null is an empty output) or a small text, and
    // returns the offset where it begins. It becomes the latest output, even when empty.
    size_t Append(std::unique_ptr<MemoryTextSink> output);
    size_t Append(std::string text);

    size_t Length() const noexcept { return length_; }
    size_t LatestStart() const noexcept { return latestStart_; }
    // Drops everything before the latest output, which then begins at 0. Returns the number of
    // bytes dropped: every offset taken before moves down by it.
    size_t TruncateBeforeLatest();
    void Clear();
    // Bytes dropped from the front by truncating and clearing since construction: an offset taken
    // when Origin() was o1 is now offset - (Origin() - o1), or gone when that is negative.
    size_t Origin() const noexcept { return origin_; }

    size_t LineCount() const noexcept { return breaks_ + 1; }
    // The line without its break. A line cut between two outputs is put together in a buffer of
    // this object, valid until the next call of Line.
    std::string_view Line(size_t line) const;
    size_t LineOfOffset(size_t offset) const;
    size_t LineStart(size_t line) const;
    // Where the line's characters end: its "\r\n" or "\n", or the end of the text.
    size_t LineEnd(size_t line) const;
    // Bytes of the longest line without its break (a bound on its characters).
    size_t MaxLineLength() const noexcept { return std::max(maxLine_, openLine_); }

    std::string Text(size_t start, size_t end) const;
    // The first occurrence at or after `from`, byte for byte.
    std::optional<size_t> Find(std::string_view needle, size_t from) const;
    void WriteTo(TextSink& sink) const { WriteTo(sink, 0, length_); }
    // The bytes of [start, end), straight from where they are kept.
    void WriteTo(TextSink& sink, size_t start, size_t end) const;

    // Memory of the line index and the list of outputs, beyond the text itself.
    size_t IndexBytes() const noexcept;

private:
    struct Segment {
        std::unique_ptr<MemoryTextSink> sink; // either the batch's sink
        std::string owned;                    // or a small text of its own
        std::string_view text;
        BreakIndex index;
        size_t start = 0;     // offset of its first byte
        size_t firstLine = 0; // line breaks before it
    };

    size_t Add(std::unique_ptr<Segment> segment);
    void Extend(const Segment& segment);
    size_t SegmentAt(size_t offset) const; // index of the segment holding the offset
    char ByteAt(size_t offset) const;
    bool MatchesAt(size_t offset, std::string_view needle) const;

    std::vector<std::unique_ptr<Segment>> segments_;
    size_t length_ = 0;
    size_t breaks_ = 0;
    size_t latestStart_ = 0;
    size_t origin_ = 0;
    size_t maxLine_ = 0;  // of the lines that have their break
    size_t openLine_ = 0; // bytes of the last line, which has no break yet
    mutable std::string joined_;
};

} // namespace marlix
