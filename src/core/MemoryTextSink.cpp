#include "core/MemoryTextSink.h"

#include "core/CustomMemoryException.h"

#include <algorithm>

namespace marlix {

void TextSink::WritePadded(std::string_view text, size_t width) {
    if (text.size() >= width) {
        WriteBytes(text.data(), width);
        return;
    }
    WriteBytes(text.data(), text.size());
    for (size_t i = text.size(); i < width; ++i) WriteChar(' ');
}

MemoryTextSink::MemoryTextSink(size_t reservedSize)
    : region_(reservedSize, std::min(reservedSize, ReservedRegion::kCommitStep)) {}

void MemoryTextSink::WritePadded(std::string_view text, size_t width) {
    if (!region_.EnsureRoom(length_, width)) GrowFor(width);
    char* at = region_.Base() + length_;
    size_t n = std::min(text.size(), width);
    std::memcpy(at, text.data(), n);
    std::memset(at + n, ' ', width - n);
    length_ += width;
}

void MemoryTextSink::GrowFor(size_t n) {
    if (!Growable()) throw CCustomMemoryException(CCustomMemoryException::kSinkFull);
    // A new region one growth step larger (more for a single write beyond it), the same
    // committed size, the text copied over.
    size_t reserved = region_.Reserved() + kGrowthStep;
    while (length_ + n >= reserved) reserved += kGrowthStep;
    ReservedRegion grown(reserved, region_.Committed());
    if (!grown.EnsureRoom(length_, n)) throw CCustomMemoryException(CCustomMemoryException::kSinkFull);
    std::memcpy(grown.Base(), region_.Base(), length_);
    region_ = std::move(grown);
}

} // namespace marlix
