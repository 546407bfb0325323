#include "metadata/ScriptItem.h"

#include <atomic>

namespace marlix {

std::uint64_t NextScriptItemNumber() noexcept {
    static std::atomic<std::uint64_t> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

} // namespace marlix
