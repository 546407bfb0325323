#include "results/text/ResultsText.h"

#include <algorithm>
#include <cstring>

namespace marlix {

size_t ResultsText::Append(std::unique_ptr<MemoryTextSink> output) {
    latestStart_ = length_;
    if (!output || output->Length() == 0) return latestStart_;
    auto segment = std::make_unique<Segment>();
    segment->text = output->View();
    segment->sink = std::move(output);
    return Add(std::move(segment));
}

size_t ResultsText::Append(std::string text) {
    latestStart_ = length_;
    if (text.empty()) return latestStart_;
    auto segment = std::make_unique<Segment>();
    segment->owned = std::move(text);
    segment->text = segment->owned; // the segment is never moved: the view stays valid
    return Add(std::move(segment));
}

size_t ResultsText::Add(std::unique_ptr<Segment> segment) {
    segment->index = BreakIndex(segment->text);
    segment->start = length_;
    segment->firstLine = breaks_;
    Extend(*segment);
    length_ += segment->text.size();
    breaks_ += segment->index.Breaks();
    segments_.push_back(std::move(segment));
    return latestStart_;
}

// Carries the longest line over a segment about to join the end of the text (its start and
// firstLine already set). The last line stays open: the next output may continue it, or end it
// with the line feed that makes its last carriage return part of the break.
void ResultsText::Extend(const Segment& segment) {
    const BreakIndex& index = segment.index;
    if (index.Breaks() == 0) {
        openLine_ += segment.text.size();
        return;
    }
    size_t first = openLine_ + index.Head();
    // The carriage return before the first line feed may be the last byte of the text so far.
    char before = index.Head() > 0 ? segment.text[index.Head() - 1] : (length_ ? ByteAt(length_ - 1) : 0);
    if (first > 0 && before == '\r') --first;
    maxLine_ = std::max({maxLine_, first, index.InnerMax()});
    openLine_ = index.Tail();
}

size_t ResultsText::TruncateBeforeLatest() {
    const size_t shift = latestStart_;
    if (shift == 0) return 0;
    auto kept = std::find_if(segments_.begin(), segments_.end(),
                             [shift](const auto& s) { return s->start >= shift; });
    segments_.erase(segments_.begin(), kept);
    length_ = breaks_ = maxLine_ = openLine_ = 0;
    for (auto& segment : segments_) {
        segment->start = length_;
        segment->firstLine = breaks_;
        Extend(*segment);
        length_ += segment->text.size();
        breaks_ += segment->index.Breaks();
    }
    origin_ += shift;
    latestStart_ = 0;
    return shift;
}

void ResultsText::Clear() {
    origin_ += length_;
    segments_.clear();
    length_ = breaks_ = latestStart_ = maxLine_ = openLine_ = 0;
    joined_ = std::string();
}

size_t ResultsText::SegmentAt(size_t offset) const {
    // The last segment that starts at or before the offset; no segment is empty.
    auto after = std::upper_bound(segments_.begin(), segments_.end(), offset,
                                  [](size_t o, const auto& s) { return o < s->start; });
    return after == segments_.begin() ? 0 : static_cast<size_t>(after - segments_.begin()) - 1;
}

char ResultsText::ByteAt(size_t offset) const {
    if (segments_.empty()) return 0;
    const Segment& s = *segments_[SegmentAt(offset)];
    return offset >= s.start && offset - s.start < s.text.size() ? s.text[offset - s.start] : 0;
}

size_t ResultsText::LineOfOffset(size_t offset) const {
    if (segments_.empty()) return 0;
    offset = std::min(offset, length_);
    const Segment& s = *segments_[SegmentAt(offset)];
    return s.firstLine + s.index.BreaksBefore(offset - s.start);
}

size_t ResultsText::LineStart(size_t line) const {
    if (line == 0) return 0;
    if (line > breaks_) return length_;
    const size_t k = line - 1; // the line feed that ends the line before
    auto holder = std::partition_point(segments_.begin(), segments_.end(),
                                       [k](const auto& s) { return s->firstLine + s->index.Breaks() <= k; });
    const Segment& s = **holder;
    return s.start + s.index.BreakPosition(k - s.firstLine) + 1;
}

size_t ResultsText::LineEnd(size_t line) const {
    if (line >= breaks_) return length_;
    const size_t start = LineStart(line);
    size_t end = LineStart(line + 1) - 1; // its line feed
    if (end > start && ByteAt(end - 1) == '\r') --end;
    return end;
}

std::string_view ResultsText::Line(size_t line) const {
    if (line > breaks_) return {};
    const size_t start = LineStart(line);
    const size_t end = LineEnd(line);
    if (segments_.empty()) return {};
    const Segment& s = *segments_[SegmentAt(start)];
    if (end <= s.start + s.text.size()) return s.text.substr(start - s.start, end - start);
    joined_ = Text(start, end);
    return joined_;
}

void ResultsText::WriteTo(TextSink& sink, size_t start, size_t end) const {
    end = std::min(end, length_);
    if (start >= end) return;
    for (size_t i = SegmentAt(start); i < segments_.size() && segments_[i]->start < end; ++i) {
        const Segment& s = *segments_[i];
        size_t from = std::max(start, s.start) - s.start;
        size_t to = std::min(end, s.start + s.text.size()) - s.start;
        sink.WriteBytes(s.text.data() + from, to - from);
    }
}

std::string ResultsText::Text(size_t start, size_t end) const {
    end = std::min(end, length_);
    std::string text;
    if (start >= end) return text;
    text.reserve(end - start);
    for (size_t i = SegmentAt(start); i < segments_.size() && segments_[i]->start < end; ++i) {
        const Segment& s = *segments_[i];
        size_t from = std::max(start, s.start) - s.start;
        size_t to = std::min(end, s.start + s.text.size()) - s.start;
        text.append(s.text.substr(from, to - from));
    }
    return text;
}

bool ResultsText::MatchesAt(size_t offset, std::string_view needle) const {
    if (offset + needle.size() > length_) return false;
    size_t done = 0;
    for (size_t i = SegmentAt(offset); done < needle.size() && i < segments_.size(); ++i) {
        const Segment& seg = *segments_[i];
        size_t from = offset + done - seg.start;
        size_t n = std::min(needle.size() - done, seg.text.size() - from);
        if (seg.text.compare(from, n, needle.substr(done, n)) != 0) return false;
        done += n;
    }
    return done == needle.size();
}

std::optional<size_t> ResultsText::Find(std::string_view needle, size_t from) const {
    if (needle.empty() || from >= length_) return std::nullopt;
    for (size_t i = SegmentAt(from); i < segments_.size(); ++i) {
        const Segment& s = *segments_[i];
        const size_t begin = std::max(from, s.start) - s.start;
        const char* base = s.text.data();
        if (const void* hit = memmem(base + begin, s.text.size() - begin, needle.data(), needle.size()))
            return s.start + static_cast<size_t>(static_cast<const char*>(hit) - base);
        // A match found inside the segment comes before any that runs on into the next ones.
        size_t edge = s.text.size() > needle.size() - 1 ? s.text.size() - (needle.size() - 1) : 0;
        for (size_t at = std::max(edge, begin); at < s.text.size(); ++at)
            if (MatchesAt(s.start + at, needle)) return s.start + at;
    }
    return std::nullopt;
}

size_t ResultsText::IndexBytes() const noexcept {
    size_t bytes = segments_.capacity() * sizeof(segments_[0]) + joined_.capacity();
    for (const auto& s : segments_)
        bytes += sizeof(Segment) + s->index.Bytes();
    return bytes;
}

} // namespace marlix
