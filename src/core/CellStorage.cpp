#include "core/CellStorage.h"

namespace marlix {

char* CellStorage::ReserveDataSlow(size_t n) {
    if (!dataPage_ || !dataPage_->Fits(n)) {
        dataPages_.emplace_back();
        dataPage_ = &dataPages_.back();
        pageBases_.push_back(dataPage_->Base());
    }
    return dataPage_->Reserve(n);
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
    return bytes;
}

} // namespace marlix
