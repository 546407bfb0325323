#include "grammar/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace marlix {
namespace {

using Pieces = std::vector<std::pair<int, std::string>>;

// The tokens of a script as (class, text) pairs.
Pieces Cut(std::string_view script) {
    const TokenizedScript t = Tokenize(script);
    Pieces out;
    for (std::size_t i = 0; i < t.Tokens().size(); ++i)
        out.emplace_back(static_cast<int>(t.Tokens()[i].cls), std::string(t.TokenText(i)));
    return out;
}

TEST(Tokenizer, EveryScriptTokenKind) {
    const Pieces expected = {
        {0, "SELECT"},  {0, "[my ]]col]"}, {3, ","},      {1, "'it''s'"},   {3, ","},     {15, "\"Q\"\"x\""},
        {2, "/* c */"}, {0, "FROM"},       {0, "t_1@#$"}, {2, "-- tail\r"}, {0, "WHERE"}, {0, "a"},
        {0, "!"},       {3, "="},          {0, "?"},      {3, "|"},         {3, "|"},     {3, "<"},
        {3, ">"},       {0, "12"},         {3, "."},      {0, "5"},         {3, ";"},
    };
    EXPECT_EQ(Cut("SELECT [my ]]col], 'it''s', \"Q\"\"x\"/* c */FROM t_1@#$-- tail\r\n"
                  "WHERE a != ? || <> 12.5;"),
              expected);
}

TEST(Tokenizer, PunctuationCharactersAreSingleTokens) {
    const std::string punct = ".,><=*/;:+-&~%()|";
    for (char c : punct) {
        const Pieces p = Cut(std::string(1, c));
        ASSERT_EQ(p.size(), 1u) << c;
        EXPECT_EQ(p[0], (std::pair<int, std::string>{3, std::string(1, c)}));
    }
    // '^' and '!' are not punctuation: they start words, which run on over word characters.
    EXPECT_EQ(Cut("^ab_1 !x"), (Pieces{{0, "^ab_1"}, {0, "!x"}}));
}

TEST(Tokenizer, BlanksControlAndHighBytesAreSkipped) {
    const Pieces p = Cut("\t a\x01\xe9"
                         "b \xff");
    EXPECT_EQ(p, (Pieces{{0, "a"}, {0, "b"}}));
    // ... but belong to literals and comments
    EXPECT_EQ(Cut("'\xe9 x'"), (Pieces{{1, "'\xe9 x'"}}));
}

TEST(Tokenizer, UnterminatedTokensEndAtTheEndOfTheText) {
    for (std::string_view s : {"'abc", "\"abc", "[abc", "/* abc", "-- abc", "'ab''"}) {
        const TokenizedScript t = Tokenize(s);
        ASSERT_EQ(t.Tokens().size(), 1u) << s;
        EXPECT_EQ(t.Tokens()[0].End(), s.size()) << s;
        EXPECT_FALSE(t.Tokens()[0].terminated) << s;
    }
    EXPECT_TRUE(Tokenize("'a'").Tokens()[0].terminated);
    // "/*/" does not close itself
    EXPECT_EQ(Cut("/*/ x"), (Pieces{{2, "/*/ x"}}));
}

TEST(Tokenizer, LineCommentsEndAtEitherLineEnd) {
    EXPECT_EQ(Cut("-- a\r\nx"), (Pieces{{2, "-- a\r"}, {0, "x"}}));
    EXPECT_EQ(Cut("-- a\nx"), (Pieces{{2, "-- a\n"}, {0, "x"}}));
    EXPECT_EQ(Cut("a - -b"), (Pieces{{0, "a"}, {3, "-"}, {3, "-"}, {0, "b"}}));
}

TEST(Tokenizer, TextBlocks) {
    const std::string s = "x /*text>Hello\r\n</TEXT*/ y";
    const TokenizedScript t = Tokenize(s);
    ASSERT_EQ(t.Tokens().size(), 3u);
    const Token& b = t.Tokens()[1];
    EXPECT_EQ(b.cls, TokenClass::TextBlock);
    EXPECT_EQ(t.TokenText(1), "/*text>Hello\r\n</TEXT*/");
    // execution cuts the content out up to the '<' of the closing marker
    EXPECT_EQ(b.BlockEnd(), s.find("</TEXT*/") + 7);
    EXPECT_EQ(s[b.BlockEnd()], '/');
    EXPECT_EQ(s.substr(b.offset + 7, b.BlockEnd() - 7 - (b.offset + 7)), "Hello\r\n");

    // the closing marker is case-sensitive: a lower-case one does not close the block
    const TokenizedScript open = Tokenize("/*TEXT>a</text*/ SELECT 1");
    ASSERT_EQ(open.Tokens().size(), 1u);
    EXPECT_FALSE(open.Tokens()[0].terminated);
    EXPECT_EQ(open.Tokens()[0].BlockEnd(), open.Text().size());
}

TEST(Tokenizer, MetadataBlockInnerTokens) {
    const std::string s = "/*metadata>\r\n<OPTIONS Syntax = \"MS\"\"SQL\"/>\r\n"
                          "<ResultSet Type=\"INSERT\", Source=\"T\">\r\n<KEYS><KEY_A Field=\"a\"/></KEYS>\r\n"
                          "</ResultSet></metadata*/ SELECT";
    const Pieces expected = {
        {4, "/*metadata>"}, {6, "<"},      {7, "OPTIONS"},
        {9, "Syntax"},      {11, "="},     {10, "\"MS\"\"SQL\""},
        {8, "/>"},          {6, "<"},      {7, "ResultSet"},
        {9, "Type"},        {11, "="},     {10, "\"INSERT\""},
        {9, ","},           {9, "Source"}, {11, "="},
        {10, "\"T\""},      {9, ">"},      {6, "<"},
        {7, "KEYS"},        {12, ">"},     {6, "<"},
        {7, "KEY_A"},       {9, "Field"},  {11, "="},
        {10, "\"a\""},      {8, "/>"},     {8, "</"},
        {7, "KEYS"},        {12, ">"},     {8, "</"},
        {7, "ResultSet"},   {12, ">"},     {5, "</metadata*/"},
        {0, "SELECT"},
    };
    EXPECT_EQ(Cut(s), expected);
}

TEST(Tokenizer, MetadataBlockOddCharacters) {
    // a lone '/', a word without underscore, a '<' without a name, an open value
    EXPECT_EQ(
        Cut("/*METADATA>/ a_b < x \"open"),
        (Pieces{{4, "/*METADATA>"}, {13, "/"}, {9, "a"}, {9, "_b"}, {6, "<"}, {9, "x"}, {10, "\"open"}}));
    // comments and quotes of the script mean nothing inside a block
    EXPECT_EQ(Cut("/*METADATA>-- '</METADATA*/'"),
              (Pieces{{4, "/*METADATA>"}, {9, "-"}, {9, "-"}, {9, "'"}, {5, "</METADATA*/"}, {1, "'"}}));
    // an unfinished block ends with the text
    EXPECT_EQ(Cut("/*METADATA><A"), (Pieces{{4, "/*METADATA>"}, {6, "<"}, {7, "A"}}));
    EXPECT_EQ(Cut("/*METADATA"), (Pieces{{2, "/*METADATA"}}));
}

TEST(Tokenizer, CharacterIndexFollowsTheTokens) {
    const std::string s = "ab  'c'\r\n/*METADATA><X/></METADATA*/;";
    const TokenizedScript t = Tokenize(s);
    const auto& index = t.CharIndex();
    ASSERT_EQ(index.size(), s.size() + 1);
    std::vector<std::int32_t> expected(s.size() + 1, -1);
    for (std::size_t i = 0; i < t.Tokens().size(); ++i)
        for (std::uint32_t c = t.Tokens()[i].offset; c < t.Tokens()[i].End(); ++c)
            expected[c] = static_cast<std::int32_t>(i);
    EXPECT_EQ(index, expected);
    EXPECT_EQ(t.TokenAt(0), 0);
    EXPECT_EQ(t.TokenAt(2), -1);
    EXPECT_EQ(t.TokenAt(5), 1);
    EXPECT_EQ(t.TokenAt(s.size()), -1);
    EXPECT_EQ(t.TokenAt(s.size() + 10), -1);
}

TEST(Tokenizer, ReusedStateForgetsTheEarlierRun) {
    TokenizedScript t;
    Tokenize("SELECT a, b, c FROM a_long_table_name", t);
    Tokenize("x", t);
    ASSERT_EQ(t.Tokens().size(), 1u);
    EXPECT_EQ(t.CharIndex(), (std::vector<std::int32_t>{0, -1}));
    Tokenize("", t);
    EXPECT_TRUE(t.Tokens().empty());
    EXPECT_EQ(t.CharIndex(), (std::vector<std::int32_t>{-1}));
}

} // namespace
} // namespace marlix
