#pragma once
// A list that grows at the end in fixed chunks of reserved address space: entries never move,
// growth never copies, and the slack is at most one chunk (a doubling vector would copy
// millions of cell entries and keep up to half of them unused).
#include "core/ReservedRegion.h"

#include <cstddef>
#include <vector>

namespace marlix {

template <typename T, size_t ChunkBits = 13> class PagedIndex {
public:
    static constexpr size_t kChunk = size_t{1} << ChunkBits;

    void PushBack(const T& value) {
        if (next_ == limit_) NextChunk();
        *next_++ = value;
        ++size_;
    }
    void PopBack() noexcept {
        if (size_ == 0) return;
        --size_;
        // Point at the freed entry again: within its chunk, or at the end of the previous one.
        size_t chunk = size_ >> ChunkBits;
        next_ = chunks_[chunk] + (size_ & (kChunk - 1));
        limit_ = chunks_[chunk] + kChunk;
    }
    T& operator[](size_t i) noexcept { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
    const T& operator[](size_t i) const noexcept { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
    size_t Size() const noexcept { return size_; }
    size_t CapacityBytes() const noexcept { return chunks_.size() * kChunk * sizeof(T); }

private:
    void NextChunk() {
        size_t chunk = size_ >> ChunkBits;
        if (chunk == chunks_.size()) {
            regions_.emplace_back(kChunk * sizeof(T), kChunk * sizeof(T));
            chunks_.push_back(reinterpret_cast<T*>(regions_.back().Base()));
        }
        next_ = chunks_[chunk];
        limit_ = next_ + kChunk;
    }

    std::vector<ReservedRegion> regions_;
    std::vector<T*> chunks_;
    size_t size_ = 0;
    T* next_ = nullptr;  // where the next entry goes
    T* limit_ = nullptr; // end of the chunk next_ points into
};

} // namespace marlix
