#include "core/CellStorage.h"

#include "core/CustomMemoryException.h"

namespace marlix {

char* CellStorage::ReserveDataSlow(size_t n) {
    if (!dataPage_ || !dataPage_->Fits(n)) {
        dataPages_.emplace_back();
        dataPage_ = &dataPages_.back();
        pageBases_.push_back(dataPage_->Base());
    }
    return dataPage_->Reserve(n);
}

char* CellStorage::AppendLargeData(size_t n) {
    if (n > kLongestValue) throw CCustomMemoryException(CCustomMemoryException::kValueTooLong);
    // Committed whole: the caller writes every byte right away.
    const size_t rounded =
        (n + ReservedRegion::kCommitStep - 1) / ReservedRegion::kCommitStep * ReservedRegion::kCommitStep;
    large_.push_back({ReservedRegion(rounded, rounded), n});
    try {
        index_.PushBack(kLargeBit | (static_cast<uint64_t>(large_.size() - 1) << kPageShift));
    } catch (...) {
        large_.pop_back();
        throw;
    }
    storedBytes_ += n;
    return large_.back().region.Base();
}

void CellStorage::DropLastValue(size_t n) noexcept {
    if (index_[index_.Size() - 1] & kLargeBit) large_.pop_back();
    index_.PopBack();
    storedBytes_ -= n;
}

char* CellStorage::ReserveFlagSlow() {
    if (!flagPage_ || !flagPage_->Fits(1)) {
        flagPages_.emplace_back();
        flagPage_ = &flagPages_.back();
    }
    return flagPage_->Reserve(1);
}

size_t CellStorage::FootprintBytes() const noexcept {
    size_t bytes = index_.CapacityBytes() + pageBases_.capacity() * sizeof(const char*);
    for (const StoragePage& page : dataPages_)
        bytes += page.Committed();
    for (const StoragePage& page : flagPages_)
        bytes += page.Committed();
    for (const LargeValue& value : large_)
        bytes += value.region.Committed();
    return bytes;
}

} // namespace marlix
