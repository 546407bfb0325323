#pragma once
// Places in the script that must follow the user's later edits. When a batch starts, the
// statement of every result is registered here in document positions; every change of the
// document then moves the ranges after it. A change that reaches inside a range marks it
// edited: a METADATA block may then no longer be written back for that statement.
#include <optional>
#include <vector>

namespace marlix {

struct DocumentRange {
    int start = 0; // first position
    int end = 0;   // one past the last position
    bool operator==(const DocumentRange&) const = default;
};

class TrackedRanges {
public:
    // Registers [start, end) and returns its id (ids count from 0 until Clear).
    int Add(int start, int end);

    // A change as QTextDocument::contentsChange reports it: `removed` positions from `position`
    // on were replaced by `added` new ones. Ranges after the change move; a change that removes
    // or inserts anything strictly inside a range (or removes all of it) marks it edited. An
    // insertion exactly at a range's start moves the range; one exactly at its end leaves it.
    void ApplyChange(int position, int removed, int added);

    // The range's current place, or nothing when it was edited or the id is unknown.
    std::optional<DocumentRange> Current(int id) const;

    void Clear() { ranges_.clear(); }
    int Count() const noexcept { return static_cast<int>(ranges_.size()); }

private:
    struct Tracked {
        DocumentRange range;
        bool edited = false;
    };
    std::vector<Tracked> ranges_;
};

} // namespace marlix
