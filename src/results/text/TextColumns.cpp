#include "results/text/TextColumns.h"

namespace marlix {
namespace {

bool IsContinuation(char c) noexcept {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// UTF-16 code units of the character that starts with this byte: two for a four-byte sequence
// (a surrogate pair), none for a continuation byte, one for anything else.
size_t CellsOf(char c) noexcept {
    auto u = static_cast<unsigned char>(c);
    if ((u & 0xC0) == 0x80) return 0;
    return u >= 0xF0 && u <= 0xF4 ? 2 : 1;
}

} // namespace

size_t ColumnsOf(std::string_view bytes) noexcept {
    size_t columns = 0;
    for (char c : bytes)
        columns += CellsOf(c);
    return columns;
}

size_t ByteOfColumn(std::string_view line, size_t column) noexcept {
    size_t columns = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        size_t cells = CellsOf(line[i]);
        if (cells == 0) continue;
        if (columns + cells > column) return i;
        columns += cells;
    }
    return line.size();
}

size_t NextCharacter(std::string_view line, size_t byte) noexcept {
    if (byte >= line.size()) return line.size();
    ++byte;
    while (byte < line.size() && IsContinuation(line[byte]))
        ++byte;
    return byte;
}

size_t PreviousCharacter(std::string_view line, size_t byte) noexcept {
    if (byte > line.size()) byte = line.size();
    if (byte == 0) return 0;
    --byte;
    while (byte > 0 && IsContinuation(line[byte]))
        --byte;
    return byte;
}

} // namespace marlix
