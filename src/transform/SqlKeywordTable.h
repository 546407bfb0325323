#pragma once
// The SQL keywords of the editor with their colours, and a character tree that finds a word
// among them in any letter case. The editor colours words with it; the script generator quotes
// column names that are keywords.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// 24-bit RGB, red in the low byte (the platform's colour reference layout).
using KeywordColour = uint32_t;
constexpr KeywordColour RgbColour(unsigned red, unsigned green, unsigned blue) noexcept {
    return red | (green << 8) | (blue << 16);
}

class SqlKeywordTable {
public:
    static constexpr size_t kMaxKeywordLength = 255;

    struct Entry {
        KeywordColour colour;
        std::string text;
    };

    SqlKeywordTable();

    // Adds a keyword after the existing ones; a longer text is cut to kMaxKeywordLength.
    void Add(KeywordColour colour, std::string_view text);

    // Index of the keyword that is the whole of `word` (any letter case), or -1.
    int Find(std::string_view word) const noexcept;
    bool IsKeyword(std::string_view word) const noexcept { return Find(word) >= 0; }

    size_t Count() const noexcept { return entries_.size(); }
    const Entry& At(size_t index) const noexcept { return entries_[index]; }

private:
    struct Node {
        std::vector<std::pair<char, int32_t>> children; // folded character, node index
        int32_t keyword = -1;
    };

    int32_t Child(int32_t node, char folded) const noexcept;

    std::vector<Entry> entries_;
    std::vector<Node> nodes_; // nodes_[0] is the root
};

inline constexpr KeywordColour kKeywordBlue = RgbColour(0, 0, 255);
inline constexpr KeywordColour kKeywordGray = RgbColour(128, 128, 128);
inline constexpr KeywordColour kKeywordMagenta = RgbColour(255, 0, 255);

// The table of the system's 174 keywords, built on first use and read-only afterwards.
const SqlKeywordTable& StandardKeywordTable();
// Fills a table with the system's keywords, in their order.
void AddStandardKeywords(SqlKeywordTable& table);

} // namespace marlix
