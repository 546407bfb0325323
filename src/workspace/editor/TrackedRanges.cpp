#include "workspace/editor/TrackedRanges.h"

#include <algorithm>

namespace marlix {

int TrackedRanges::Add(int start, int end) {
    ranges_.push_back({{std::max(0, start), std::max(start, end)}, false});
    return static_cast<int>(ranges_.size()) - 1;
}

void TrackedRanges::ApplyChange(int position, int removed, int added) {
    const int changeEnd = position + removed;
    const int delta = added - removed;
    for (Tracked& t : ranges_) {
        if (t.edited) continue;
        DocumentRange& r = t.range;
        if (changeEnd <= r.start) { // before the range, an insertion at its start included
            r.start += delta;
            r.end += delta;
        } else if (position >= r.end) { // after it, an insertion at its end included
            continue;
        } else {
            t.edited = true;
        }
    }
}

std::optional<DocumentRange> TrackedRanges::Current(int id) const {
    if (id < 0 || id >= Count() || ranges_[static_cast<std::size_t>(id)].edited) return std::nullopt;
    return ranges_[static_cast<std::size_t>(id)].range;
}

} // namespace marlix
