#pragma once
#include "core/ReservedRegion.h"
#include "core/TextSink.h"

#include <string>
#include <string_view>

namespace marlix {

// Text kept contiguous in one reserved region, committed 64 KiB at a time. When full it
// grows by 1 MiB steps, but only while its growable flag is set.
class MemoryTextSink final : public TextSink {
public:
    static constexpr size_t kGrowthStep = 1048576;
    static constexpr size_t kClipboardSize = 2621440;

    explicit MemoryTextSink(size_t reservedSize);

    void WriteBytes(const char* data, size_t length) override {
        if (!region_.EnsureRoom(length_, length)) GrowFor(length);
        std::memcpy(region_.Base() + length_, data, length);
        length_ += length;
    }
    void WriteChar(char c) override {
        if (!region_.EnsureRoom(length_, 1)) GrowFor(1);
        region_.Base()[length_++] = c;
    }
    void WritePadded(std::string_view text, size_t width) override;
    size_t Length() const override { return length_; }

    const char* Data() const noexcept { return region_.Base(); }
    std::string_view View() const noexcept { return {region_.Base(), length_}; }
    std::string Str() const { return std::string(View()); }
    size_t ReservedSize() const noexcept { return region_.Reserved(); }
    // Forgets the text but keeps the region (the file sink empties its buffer this way).
    void Clear() noexcept { length_ = 0; }

private:
    void GrowFor(size_t n);

    ReservedRegion region_;
    size_t length_ = 0;
};

} // namespace marlix
