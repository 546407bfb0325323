#pragma once
// Where the line breaks of one block of text are, at a cost independent of how short its lines
// are: the number of line feeds before every 2 KiB step of the text is kept, and anything finer
// is found again by scanning at most one step.
#include <cstddef>
#include <string_view>
#include <vector>

namespace marlix {

class BreakIndex {
public:
    static constexpr size_t kStep = 2048;

    BreakIndex() = default;
    // Scans the text once. The text must stay where it is for every later query.
    explicit BreakIndex(std::string_view text);

    // Line feeds in the text ("\r\n" and a lone "\n" both end a line at their "\n").
    size_t Breaks() const noexcept { return breaks_; }
    // Line feeds in [0, position).
    size_t BreaksBefore(size_t position) const;
    // Position of line feed number `k` (0-based, k < Breaks()).
    size_t BreakPosition(size_t k) const;

    // Bytes before the first line feed (the whole text when there is none) and after the last.
    size_t Head() const noexcept { return head_; }
    size_t Tail() const noexcept { return tail_; }
    // The longest line that both begins and ends inside the text, without its "\r\n".
    size_t InnerMax() const noexcept { return innerMax_; }

    size_t Bytes() const noexcept { return counts_.capacity() * sizeof(size_t); }

private:
    std::string_view text_;
    std::vector<size_t> counts_; // counts_[s]: line feeds before byte s * kStep
    size_t breaks_ = 0;
    size_t head_ = 0;
    size_t tail_ = 0;
    size_t innerMax_ = 0;
};

} // namespace marlix
