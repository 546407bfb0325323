#include "core/CellStorage.h"

namespace marlix {

size_t CellStorage::OverheadBytes() const noexcept {
    return dataIndex_.CapacityBytes() + lengths_.CapacityBytes() + flagPages_.size() * StoragePage::kInitialCommit;
}

} // namespace marlix
