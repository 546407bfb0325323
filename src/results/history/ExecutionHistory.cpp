#include "results/history/ExecutionHistory.h"

#include <algorithm>

namespace marlix {

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the character starting at pos: a well-formed UTF-8 sequence, or one byte when the
// bytes there are not one (so Latin-1 text still counts one character per byte).
size_t CharacterLength(std::string_view text, size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (pos + length > text.size()) return 1;
    for (size_t i = 1; i < length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return 1;
    return length;
}

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

void AppendSummaryLine(std::string& summary, std::string_view line) {
    // Bytes of the first kWholeLineLimit characters, and whether more follow.
    size_t cut = 0;
    int characters = 0;
    while (cut < line.size() && characters < ExecutionHistory::kWholeLineLimit) {
        cut += CharacterLength(line, cut);
        ++characters;
    }
    summary.append(line.substr(0, cut));
    if (cut < line.size()) summary.append(" ...");
    summary.append("\r\n");
}

} // namespace

std::string ExecutionHistory::Summarize(std::string_view statementText) {
    std::string summary;
    int taken = 0;
    size_t pos = 0;
    while (pos < statementText.size() && taken < kSummaryLines) {
        size_t end = statementText.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = statementText.size();
        const std::string_view line = statementText.substr(pos, end - pos);
        if (!IsBlank(line)) {
            AppendSummaryLine(summary, line);
            ++taken;
        }
        pos = end;
        if (pos < statementText.size()) {
            const bool crLf = statementText[pos] == '\r' && pos + 1 < statementText.size() &&
                              statementText[pos + 1] == '\n';
            pos += crLf ? 2 : 1;
        }
    }
    return summary;
}

int ExecutionHistory::CountLines(std::string_view summary) {
    return static_cast<int>(std::count(summary.begin(), summary.end(), '\n'));
}

void ExecutionHistory::BeginEntry(std::string statementText, size_t sinkLength, size_t paneLength) {
    awaitingLogEnd_ = false;
    Entry entry;
    entry.summary = Summarize(statementText);
    entry.lineCount = CountLines(entry.summary);
    entry.statementText = std::move(statementText);
    entry.outputStart = sinkLength;
    entry.outputEnd = sinkLength;
    entry.logStart = paneLength;
    entry.logEnd = paneLength;
    pending_ = std::move(entry);
}

void ExecutionHistory::MarkError() {
    if (pending_) pending_->failed = true;
}

std::string ExecutionHistory::EndEntry(size_t sinkLength) {
    if (!pending_) {
        awaitingLogEnd_ = false;
        return std::string(kCompletedSuccessfully);
    }
    const bool failed = pending_->failed;
    pending_->outputEnd = std::max(sinkLength, pending_->outputStart);
    entries_.push_back(std::move(*pending_));
    pending_.reset();
    awaitingLogEnd_ = true;
    return std::string(failed ? kCompletedWithErrors : kCompletedSuccessfully);
}

void ExecutionHistory::RecordLogEnd(size_t paneLength) {
    // Only right after EndEntry recorded one: a completion line without an entry must not
    // stretch the previous entry over it.
    if (!awaitingLogEnd_ || entries_.empty()) return;
    awaitingLogEnd_ = false;
    Entry& last = entries_.back();
    last.logEnd = std::max(paneLength, last.logStart);
}

void ExecutionHistory::MarkBatchStart(size_t paneLength) {
    mark_ = entries_.size();
    markPaneLength_ = paneLength;
}

void ExecutionHistory::SetOutputBase(size_t base) {
    for (size_t i = mark_; i < entries_.size(); ++i)
        entries_[i].outputBase = base;
}

size_t ExecutionHistory::TruncateBeforeMark() {
    const size_t cut = markPaneLength_;
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(mark_));
    for (Entry& entry : entries_) {
        // Every kept entry began after the batch started, so its span lies past the cut.
        entry.logStart -= std::min(entry.logStart, cut);
        entry.logEnd -= std::min(entry.logEnd, cut);
        if (entry.outputBase) entry.outputBase = 0;
    }
    if (pending_) {
        pending_->logStart -= std::min(pending_->logStart, cut);
        pending_->logEnd -= std::min(pending_->logEnd, cut);
    }
    mark_ = 0;
    markPaneLength_ = 0;
    return cut;
}

void ExecutionHistory::Clear() {
    entries_.clear();
    pending_.reset();
    awaitingLogEnd_ = false;
    mark_ = 0;
    markPaneLength_ = 0;
}

int ExecutionHistory::IndexAtLog(size_t panePosition) const {
    // Spans follow one another in the pane, so the only candidate is the last entry that
    // starts at or before the position.
    auto after = std::upper_bound(entries_.begin(), entries_.end(), panePosition,
                                  [](size_t pos, const Entry& entry) { return pos < entry.logStart; });
    if (after == entries_.begin()) return -1;
    const auto candidate = std::prev(after);
    if (panePosition >= candidate->logEnd) return -1;
    return static_cast<int>(candidate - entries_.begin());
}

const ExecutionHistory::Entry* ExecutionHistory::EntryAtLog(size_t panePosition) const {
    const int index = IndexAtLog(panePosition);
    return index < 0 ? nullptr : &entries_[static_cast<size_t>(index)];
}

} // namespace marlix
