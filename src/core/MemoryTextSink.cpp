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
    for (size_t i = text.size(); i < width; ++i)
        WriteChar(' ');
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
    // The reservation grows 1 MiB at a time (more for a single write beyond it); the text
    // keeps its bytes and moves with the region.
    size_t reserved = region_.Reserved() + kGrowthStep;
    while (length_ + n >= reserved)
        reserved += kGrowthStep;
    region_.Enlarge(reserved);
    if (!region_.EnsureRoom(length_, n)) throw CCustomMemoryException(CCustomMemoryException::kSinkFull);
}

} // namespace marlix
