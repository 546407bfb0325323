#include "core/DisplayWidth.h"

#include <gtest/gtest.h>

#include <string>

using namespace marlix;

TEST(DisplayWidth, ColumnsAsATerminalShowsThem) {
    struct Case {
        std::string text;
        size_t width;
    } const cases[] = {
        {"", 0},
        {"plain ascii", 11},
        {"Z\xC3\xBCrich", 6},                        // Zürich: ü is two bytes, one column
        {"\xE6\x9D\xB1\xE4\xBA\xAC", 4},             // 東京: wide
        {"\xEF\xBC\xA1", 2},                         // fullwidth A
        {"e\xCC\x81", 1},                            // e + combining acute
        {"\xF0\x9F\x98\x80", 2},                     // emoji
        {"\xF0\x90\x8D\x88", 1},                     // Gothic letter: four bytes, narrow
        {"caf\xE9", 4},                              // Latin-1 é: an invalid byte counts one
        {"\xC0\xAF", 2},                             // overlong form: two invalid bytes
        {"\xE6\x9D", 2},                             // a cut sequence: each byte counts one
        {"\xED\xA0\x80", 3},                         // a surrogate is not a character
        {"\xF5\x80\x80\x80", 4},                     // beyond Unicode
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayWidth(c.text), c.width) << c.text;
}

TEST(DisplayWidth, FittingNeverCutsACharacter) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC"; // two wide characters
    EXPECT_EQ(FitToWidth(tokyo, 3).bytes, 3u);
    EXPECT_EQ(FitToWidth(tokyo, 3).width, 2u);
    EXPECT_EQ(FitToWidth(tokyo, 1).bytes, 0u);
    EXPECT_EQ(FitToWidth(tokyo, 4).bytes, 6u);
    const std::string zurich = "Z\xC3\xBCrich";
    EXPECT_EQ(FitToWidth(zurich, 2).bytes, 3u); // "Zü"
    EXPECT_EQ(FitToWidth(zurich, 10).bytes, zurich.size());
    EXPECT_EQ(FitToWidth(zurich, 10).width, 6u);
    // A combining mark stays with the letter it belongs to.
    EXPECT_EQ(FitToWidth("e\xCC\x81x", 1).bytes, 3u);
    EXPECT_EQ(FitToWidth("abc", 0).bytes, 0u);
}
