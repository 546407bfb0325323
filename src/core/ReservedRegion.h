#pragma once
// A block of reserved address space whose pages are committed on demand: reserving costs
// no memory, committing makes pages readable and writable.
#include <cstddef>

namespace marlix {

class ReservedRegion {
public:
    static constexpr size_t kCommitStep = 65536;

    ReservedRegion() = default;
    // Reserves `reserved` bytes and commits the first `committed`; throws CCustomMemoryException.
    ReservedRegion(size_t reserved, size_t committed);
    ~ReservedRegion();
    ReservedRegion(ReservedRegion&& other) noexcept;
    ReservedRegion& operator=(ReservedRegion&& other) noexcept;
    ReservedRegion(const ReservedRegion&) = delete;
    ReservedRegion& operator=(const ReservedRegion&) = delete;

    char* Base() const noexcept { return base_; }
    size_t Reserved() const noexcept { return reserved_; }
    size_t Committed() const noexcept { return committed_; }

    // Makes sure `used + n` bytes fit: commits 64 KiB steps while used + n >= committed.
    // Returns false when the reservation is exhausted; throws when a commit fails.
    bool EnsureRoom(size_t used, size_t n) {
        if (used + n < committed_) return true;
        return Grow(used, n);
    }

    // Enlarges the reservation to `reserved` bytes, keeping the committed bytes and their
    // content. The committed pages are moved, not copied, where the system allows it, so a
    // sink growing step by step does not copy its text again at every step. The region may
    // move: Base() changes.
    void Enlarge(size_t reserved);

private:
    bool Grow(size_t used, size_t n);
    void Release() noexcept;

    char* base_ = nullptr;
    size_t reserved_ = 0;
    size_t committed_ = 0;
};

} // namespace marlix
