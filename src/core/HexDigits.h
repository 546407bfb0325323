#pragma once
// Binary values as text: two upper-case hexadecimal digits per byte, written by the program
// itself so that every driver's value reads the same (drivers that convert to text differ:
// SQLite's gives X'0AFF', others plain digits).
#include <cstddef>
#include <string>
#include <string_view>

namespace marlix {

inline void WriteHexDigits(std::string_view bytes, char* out) noexcept {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (unsigned char b : bytes) {
        *out++ = kDigits[b >> 4];
        *out++ = kDigits[b & 15];
    }
}

inline void AppendHexDigits(std::string_view bytes, std::string& out) {
    const size_t at = out.size();
    out.resize(at + 2 * bytes.size());
    WriteHexDigits(bytes, out.data() + at);
}

} // namespace marlix
