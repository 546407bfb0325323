#pragma once
// The one case folding of the system: a..z map onto A..Z, every other byte stays.
// Keywords, block markers, element names, dialect and type names all compare through it,
// so that no comparison depends on the user's locale.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace marlix {

inline constexpr std::array<unsigned char, 256> kCaseFoldTable = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - ('a' - 'A') : i);
    return t;
}();

inline constexpr char FoldCase(char c) noexcept {
    return static_cast<char>(kCaseFoldTable[static_cast<unsigned char>(c)]);
}

inline constexpr bool EqualsFolded(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

// Whether `text` holds `part` anywhere, compared folded ("MariaDB Unicode" holds "MARIADB").
inline constexpr bool ContainsFolded(std::string_view text, std::string_view part) noexcept {
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (EqualsFolded(text.substr(i, part.size()), part)) return true;
    return false;
}

inline std::string FoldedCopy(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = FoldCase(c);
    return r;
}

} // namespace marlix
