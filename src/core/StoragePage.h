#pragma once
// One block of result-set storage: 128 KiB of address space, committed 64 KiB at a time.
// Values are appended and never move; a value never spans two pages.
#include "core/ReservedRegion.h"

#include <cstddef>
#include <cstring>

namespace marlix {

class StoragePage {
public:
    static constexpr size_t kReserved = 131072;
    static constexpr size_t kInitialCommit = 65536;

    StoragePage()
        : region_(kReserved, kInitialCommit), cursor_(region_.Base()),
          commitEnd_(cursor_ + region_.Committed()) {}

    char* Base() const noexcept { return region_.Base(); }
    char* Cursor() const noexcept { return cursor_; }
    size_t Used() const noexcept { return static_cast<size_t>(cursor_ - region_.Base()); }
    size_t Committed() const noexcept { return region_.Committed(); }
    // True when n more bytes go onto this page (the result set starts a new page otherwise).
    bool Fits(size_t n) const noexcept { return Used() + n < kReserved; }

    // Copies n bytes at the cursor; returns where they went. Throws CCustomMemoryException
    // when the page cannot take them.
    char* Append(const void* bytes, size_t n) {
        char* at = Reserve(n);
        if (n) std::memcpy(at, bytes, n);
        return at;
    }

    // Advances the cursor by n bytes for the caller to fill.
    char* Reserve(size_t n) {
        if (char* at = TryReserveCommitted(n)) return at;
        size_t used = Used();
        if (!region_.EnsureRoom(used, n)) ThrowFull();
        commitEnd_ = region_.Base() + region_.Committed();
        char* at = cursor_;
        cursor_ += n;
        return at;
    }

    // The common case of Reserve: the bytes fit what is committed already. Null otherwise.
    char* TryReserveCommitted(size_t n) noexcept {
        if (n >= static_cast<size_t>(commitEnd_ - cursor_)) return nullptr;
        char* at = cursor_;
        cursor_ += n;
        return at;
    }

private:
    [[noreturn]] static void ThrowFull();

    ReservedRegion region_;
    char* cursor_;
    char* commitEnd_; // base + committed: bytes below it are writable
};

} // namespace marlix
