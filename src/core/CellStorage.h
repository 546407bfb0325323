#pragma once
// The cells of a result set: values appended to storage pages, one NULL-flag byte per cell,
// and per cell the address and length of its stored bytes. Cell index = row x columns + column.
// A value longer than a page holds gets a region of its own.
#include "core/PagedIndex.h"
#include "core/StoragePage.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace marlix {

struct CellRef {
    const char* data = nullptr;
    uint32_t length = 0; // stored bytes, terminating NUL included (16 for a timestamp)
    bool isNull = false;

    // The text of a text cell, without its terminating NUL.
    std::string_view Text() const noexcept { return {data, length ? length - 1 : 0}; }
};

class CellStorage {
public:
    static constexpr size_t kFlagsPerPage = StoragePage::kReserved - 1;

    // A value of this many bytes or more does not fit an empty page: it is stored on its own.
    static constexpr size_t kLargeValue = StoragePage::kReserved;
    // The longest value a cell can hold (its length is kept in 32 bits).
    static constexpr size_t kLongestValue = UINT32_MAX;

    // Records a cell whose n stored bytes the caller writes at the returned address.
    // Throws CCustomMemoryException when the memory for n bytes cannot be had.
    char* AppendCell(bool isNull, size_t n) {
        char* at = AppendData(n);
        try {
            AppendFlag(isNull);
        } catch (...) {
            // Keep cells and flags in step: the cell was not recorded.
            DropLastValue(n);
            throw;
        }
        return at;
    }
    char* AppendCell(bool isNull, const void* bytes, size_t n) {
        char* at = AppendCell(isNull, n);
        if (n) std::memcpy(at, bytes, n);
        return at;
    }
    // Stores a value that belongs to no cell (grid edits); returns its data index.
    size_t AppendValue(const void* bytes, size_t n) {
        char* at = AppendData(n);
        if (n) std::memcpy(at, bytes, n);
        return index_.Size() - 1;
    }

    CellRef Cell(size_t cellIndex) const noexcept {
        CellRef ref = Value(cellIndex);
        ref.isNull = IsNull(cellIndex);
        return ref;
    }
    // A value by data index (cells first, then values appended by edits).
    CellRef Value(size_t dataIndex) const noexcept {
        const uint64_t entry = index_[dataIndex];
        if (entry & kLargeBit) [[unlikely]] {
            const LargeValue& large = large_[(entry & ~kLargeBit) >> kPageShift];
            return {large.region.Base(), static_cast<uint32_t>(large.length), false};
        }
        return {pageBases_[entry >> kPageShift] + ((entry >> kOffsetShift) & kFieldMask),
                static_cast<uint32_t>(entry & kFieldMask), false};
    }
    bool IsNull(size_t cellIndex) const noexcept {
        return flagPages_[cellIndex / kFlagsPerPage].Base()[cellIndex % kFlagsPerPage] != 0;
    }

    size_t CellCount() const noexcept { return cellCount_; }
    size_t StoredBytes() const noexcept { return storedBytes_; }
    size_t PageCount() const noexcept { return dataPages_.size(); }
    size_t LargeValueCount() const noexcept { return large_.size(); }
    // Memory the cells hold: committed data and flag pages, values stored on their own and the
    // index lists.
    size_t FootprintBytes() const noexcept;

private:
    void AppendFlag(bool isNull) {
        char* at = flagPage_ ? flagPage_->TryReserveCommitted(1) : nullptr;
        if (!at) at = ReserveFlagSlow();
        *at = isNull;
        ++cellCount_;
    }
    char* AppendData(size_t n) {
        if (n >= kLargeValue) [[unlikely]]
            return AppendLargeData(n);
        char* at = dataPage_ ? dataPage_->TryReserveCommitted(n) : nullptr;
        if (!at) at = ReserveDataSlow(n);
        const auto offset = static_cast<uint64_t>(at - dataPage_->Base());
        index_.PushBack((static_cast<uint64_t>(dataPages_.size() - 1) << kPageShift) |
                        (offset << kOffsetShift) | n);
        storedBytes_ += n;
        return at;
    }

    // One index entry per value: its page, its offset in the page and its length. A value
    // never spans pages and a page holds less than 2^17 bytes, so both fit 17 bits; the
    // page number takes the next 29. The top bit marks a value stored on its own: the page
    // field then numbers it among those values, which keep their own lengths.
    static constexpr unsigned kOffsetShift = 17;
    static constexpr unsigned kPageShift = 34;
    static constexpr uint64_t kFieldMask = (uint64_t{1} << 17) - 1;
    static constexpr uint64_t kLargeBit = uint64_t{1} << 63;
    static_assert(StoragePage::kReserved <= (size_t{1} << kOffsetShift));

    struct LargeValue {
        ReservedRegion region;
        size_t length;
    };

    // Where the next value or flag goes when it is not on the committed part of the last page.
    char* ReserveDataSlow(size_t n);
    char* ReserveFlagSlow();
    char* AppendLargeData(size_t n);
    // Forgets the last value appended (n bytes), whose cell could not be recorded.
    void DropLastValue(size_t n) noexcept;

    std::vector<StoragePage> dataPages_;
    std::vector<StoragePage> flagPages_;
    StoragePage* dataPage_ = nullptr;    // the last data page
    StoragePage* flagPage_ = nullptr;    // the last flag page
    std::vector<const char*> pageBases_; // the data pages' bases, for reading without indirection
    std::vector<LargeValue> large_;
    PagedIndex<uint64_t> index_;
    size_t cellCount_ = 0;
    size_t storedBytes_ = 0;
};

} // namespace marlix
