#include "core/StoragePage.h"

#include "core/CustomMemoryException.h"

namespace marlix {

void StoragePage::ThrowFull() {
    throw CCustomMemoryException(CCustomMemoryException::kPageFull);
}

} // namespace marlix
