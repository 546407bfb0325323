#pragma once
// The remembered outcomes of (group, position) pairs during one matcher call: an open
// addressing hash table whose entries are invalidated all at once by a new stamp, so that a
// table kept for the thread serves call after call without clearing. Its size follows the
// number of pairs tried, not the length of the token range.
#include <cstdint>
#include <vector>

namespace marlix {

class GroupMemo {
public:
    struct Entry {
        std::uint32_t stamp = 0;
        std::uint32_t key = 0;
        std::int32_t end = -1;         // -1: the group does not match at the position
        std::int32_t alternative = -1; // index of the matching rule within its group
    };

    // Forgets every entry.
    void Start() {
        if (++stamp_ == 0) { // the stamp wrapped: old entries could look current
            for (Entry& e : entries_)
                e.stamp = 0;
            stamp_ = 1;
        }
        used_ = 0;
    }

    const Entry* Find(std::uint32_t key) const noexcept {
        if (entries_.empty()) return nullptr;
        for (std::size_t i = Slot(key);; i = (i + 1) & mask_) {
            const Entry& e = entries_[i];
            if (e.stamp != stamp_) return nullptr;
            if (e.key == key) return &e;
        }
    }

    void Store(std::uint32_t key, std::int32_t end, std::int32_t alternative) {
        if ((used_ + 1) * 2 > entries_.size()) Grow();
        std::size_t i = Slot(key);
        while (entries_[i].stamp == stamp_ && entries_[i].key != key)
            i = (i + 1) & mask_;
        if (entries_[i].stamp != stamp_) ++used_;
        entries_[i] = Entry{stamp_, key, end, alternative};
    }

    // Gives back the memory of a table that an unusually large statement made grow.
    void Trim() {
        if (entries_.size() > kKeepEntries) {
            std::vector<Entry>().swap(entries_);
            mask_ = 0;
            used_ = 0;
        }
    }

private:
    static constexpr std::size_t kInitialEntries = 1024;
    static constexpr std::size_t kKeepEntries = 1 << 16;

    std::size_t Slot(std::uint32_t key) const noexcept {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
    }

    void Grow() {
        std::vector<Entry> old;
        old.swap(entries_);
        entries_.assign(old.empty() ? kInitialEntries : old.size() * 2, Entry{});
        mask_ = entries_.size() - 1;
        const std::uint32_t stamp = stamp_;
        used_ = 0;
        for (const Entry& e : old)
            if (e.stamp == stamp) Store(e.key, e.end, e.alternative);
    }

    std::vector<Entry> entries_;
    std::size_t mask_ = 0;
    std::size_t used_ = 0;
    std::uint32_t stamp_ = 0; // Start() runs before any use, so no entry is current at first
};

} // namespace marlix
