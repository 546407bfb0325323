#include "core/ReservedRegion.h"

#include "core/CustomMemoryException.h"

#include <cstring>
#include <sys/mman.h>
#include <utility>

namespace marlix {
namespace {

// Committed memory is written right away (values are appended at once), so fault the step in
// with one call instead of one page fault per 4 KiB page. Older kernels refuse: harmless.
void Prefault(char* at, size_t length) noexcept {
#ifdef MADV_POPULATE_WRITE
    madvise(at, length, MADV_POPULATE_WRITE);
#else
    (void)at;
    (void)length;
#endif
}

} // namespace

ReservedRegion::ReservedRegion(size_t reserved, size_t committed) {
    void* p = mmap(nullptr, reserved, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw CCustomMemoryException(CCustomMemoryException::kReserve);
    base_ = static_cast<char*>(p);
    reserved_ = reserved;
    if (committed > reserved) committed = reserved;
    if (committed > 0 && mprotect(base_, committed, PROT_READ | PROT_WRITE) != 0) {
        Release();
        throw CCustomMemoryException(CCustomMemoryException::kCommit);
    }
    Prefault(base_, committed);
    committed_ = committed;
}

ReservedRegion::~ReservedRegion() {
    Release();
}

ReservedRegion::ReservedRegion(ReservedRegion&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), reserved_(std::exchange(other.reserved_, 0)),
      committed_(std::exchange(other.committed_, 0)) {}

ReservedRegion& ReservedRegion::operator=(ReservedRegion&& other) noexcept {
    if (this != &other) {
        Release();
        base_ = std::exchange(other.base_, nullptr);
        reserved_ = std::exchange(other.reserved_, 0);
        committed_ = std::exchange(other.committed_, 0);
    }
    return *this;
}

bool ReservedRegion::Grow(size_t used, size_t n) {
    while (used + n >= committed_) {
        if (committed_ + kCommitStep > reserved_) return false;
        if (mprotect(base_ + committed_, kCommitStep, PROT_READ | PROT_WRITE) != 0)
            throw CCustomMemoryException(CCustomMemoryException::kCommit);
        Prefault(base_ + committed_, kCommitStep);
        committed_ += kCommitStep;
    }
    return true;
}

void ReservedRegion::Enlarge(size_t reserved) {
    if (reserved <= reserved_) return;
    void* p = mmap(nullptr, reserved, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw CCustomMemoryException(CCustomMemoryException::kReserve);
    char* grown = static_cast<char*>(p);
    if (committed_ > 0) {
        // Move the committed pages onto the start of the new reservation.
        void* moved = mremap(base_, committed_, committed_, MREMAP_MAYMOVE | MREMAP_FIXED, grown);
        if (moved == MAP_FAILED) {
            if (mprotect(grown, committed_, PROT_READ | PROT_WRITE) != 0) {
                munmap(grown, reserved);
                throw CCustomMemoryException(CCustomMemoryException::kCommit);
            }
            std::memcpy(grown, base_, committed_);
            munmap(base_, reserved_);
        } else if (reserved_ > committed_) {
            munmap(base_ + committed_, reserved_ - committed_); // the old reserved tail
        }
    } else {
        munmap(base_, reserved_);
    }
    base_ = grown;
    reserved_ = reserved;
}

void ReservedRegion::Release() noexcept {
    if (base_) munmap(base_, reserved_);
    base_ = nullptr;
    reserved_ = committed_ = 0;
}

} // namespace marlix
