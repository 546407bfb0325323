#include "results/text/BreakIndex.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace marlix {
namespace {

constexpr size_t kBlock = 64;

// One bit per byte of the 64 at `p` that is a line feed: a short line then costs a few
// instructions rather than one library call, and a long one a compare per 16 bytes.
uint64_t FeedMask(const char* p) noexcept {
#ifdef __SSE2__
    const __m128i feed = _mm_set1_epi8('\n');
    uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        mask |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)))) << (16 * i);
    }
    return mask;
#else
    uint64_t mask = 0;
    for (size_t i = 0; i < kBlock; ++i)
        mask |= uint64_t(p[i] == '\n') << i;
    return mask;
#endif
}

// The same for the `n` (< 64) bytes at `p`.
uint64_t ShortFeedMask(const char* p, size_t n) noexcept {
    uint64_t mask = 0;
    for (size_t i = 0; i < n; ++i)
        mask |= uint64_t(p[i] == '\n') << i;
    return mask;
}

// Calls found(position) for every line feed in [from, to) of the text at `base`, in order.
template <class Found> void ForEachFeed(const char* base, size_t from, size_t to, Found&& found) {
    size_t at = from;
    for (; at + kBlock <= to; at += kBlock)
        for (uint64_t mask = FeedMask(base + at); mask; mask &= mask - 1)
            found(at + size_t(std::countr_zero(mask)));
    for (uint64_t mask = ShortFeedMask(base + at, to - at); mask; mask &= mask - 1)
        found(at + size_t(std::countr_zero(mask)));
}

} // namespace

BreakIndex::BreakIndex(std::string_view text) : text_(text) {
    const char* base = text.data();
    const size_t length = text.size();
    counts_.reserve(length / kStep + 1);
    size_t lineStart = 0; // of the line being scanned
    bool first = true;
    auto found = [&](size_t at) {
        if (first) {
            head_ = at;
            first = false;
        } else {
            size_t line = at - lineStart;
            // The carriage return of "\r\n" is part of the break, not of the line.
            if (line > 0 && base[at - 1] == '\r') --line;
            innerMax_ = std::max(innerMax_, line);
        }
        lineStart = at + 1;
        ++breaks_;
    };
    for (size_t step = 0; step < length; step += kStep) {
        counts_.push_back(breaks_);
        ForEachFeed(base, step, std::min(length, step + kStep), found);
    }
    if (first) head_ = length;
    tail_ = breaks_ ? length - lineStart : 0;
}

size_t BreakIndex::BreaksBefore(size_t position) const {
    position = std::min(position, text_.size());
    if (position == 0) return 0;
    const size_t step = std::min(position / kStep, counts_.size() - 1);
    size_t breaks = counts_[step];
    ForEachFeed(text_.data(), step * kStep, position, [&breaks](size_t) { ++breaks; });
    return breaks;
}

size_t BreakIndex::BreakPosition(size_t k) const {
    if (k >= breaks_) return text_.size();
    // The last step that begins with at most k line feeds before it holds feed number k.
    auto after = std::upper_bound(counts_.begin(), counts_.end(), k);
    const size_t step = size_t(after - counts_.begin()) - 1;
    size_t skip = k - counts_[step];
    const char* base = text_.data();
    const size_t end = text_.size();
    for (size_t at = step * kStep; at < end; at += kBlock) {
        uint64_t mask = at + kBlock <= end ? FeedMask(base + at) : ShortFeedMask(base + at, end - at);
        const auto count = size_t(std::popcount(mask));
        if (skip >= count) {
            skip -= count;
            continue;
        }
        for (; skip > 0; --skip)
            mask &= mask - 1;
        return at + size_t(std::countr_zero(mask));
    }
    return end; // cannot happen for k < breaks_
}

} // namespace marlix
