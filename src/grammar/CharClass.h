#pragma once
// Character classes of the script tokenizer and the METADATA scanner, as one byte table so
// that the scanning loops test a character with a single load.
#include <array>
#include <cstdint>

namespace marlix::charclass {

enum : std::uint8_t {
    kBlank = 1,       // code 32 or below, or 128 and above: skipped between tokens
    kWordChar = 2,    // letters, digits, '@', '#', '$', '_': continue a word
    kPunctuation = 4, // a one-character token of class 3
    kTagChar = 8,     // letters, digits, '@', '#', '$': continue a METADATA word (no '_')
};

inline constexpr std::array<std::uint8_t, 256> kTable = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        std::uint8_t f = 0;
        if (c <= 32 || c >= 128) f |= kBlank;
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alnum || c == '@' || c == '#' || c == '$') f |= kWordChar | kTagChar;
        if (c == '_') f |= kWordChar;
        t[c] = f;
    }
    for (char c : {'.', ',', '>', '<', '=', '*', '/', ';', ':', '+', '-', '&', '~', '%', '(', ')', '|'})
        t[static_cast<unsigned char>(c)] |= kPunctuation;
    return t;
}();

inline constexpr bool Is(char c, std::uint8_t flags) noexcept {
    return (kTable[static_cast<unsigned char>(c)] & flags) != 0;
}

} // namespace marlix::charclass
