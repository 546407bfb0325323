// Scripts whose blocks or text go past what the reader can take: the error names the place.
#include "grammar/TextFault.h"
#include "metadata/AnalysedScript.h"
#include "metadata/ElementParser.h"

#include <gtest/gtest.h>

#include <string>

namespace marlix {
namespace {

std::string Nested(int depth) {
    std::string text = "select 1;\r\n/*METADATA>";
    for (int i = 0; i < depth; ++i)
        text += "<A>";
    for (int i = 0; i < depth; ++i)
        text += "</A>";
    return text + "</METADATA*/\r\nselect 2";
}

TEST(InputBounds, NestingPastTheBoundIsABlockErrorNotACrash) {
    AnalysedScript s;
    s.Rebuild(Nested(kMaxElementDepth));
    EXPECT_FALSE(s.BlockError().has_value());

    s.Rebuild(Nested(100000)); // the recursive reader ran out of stack from about 20,000 on
    ASSERT_TRUE(s.BlockError().has_value());
    EXPECT_EQ(s.BlockError()->Message(), "XML elements nested deeper than 256 levels");
    // At the '<' of the first element too deep.
    const std::size_t first = std::string("select 1;\r\n/*METADATA>").size();
    EXPECT_EQ(s.BlockError()->Offset(), static_cast<int>(first + 3 * kMaxElementDepth));
    EXPECT_EQ(s.BlockErrorLine(), 1);
}

TEST(InputBounds, TextFaultsAreTheLastTokenCutOffOrANul) {
    struct Case {
        std::string text;
        std::string message; // empty: no fault
        int offset;
    };
    const Case cases[] = {
        {"select 1 -- to the end", "", 0},
        {"select 1; /* open", "Unterminated comment (\"/*\" without \"*/\")", 10},
        {"select 1;\r\n/*TEXT>open", "Unterminated TEXT block (\"/*TEXT>\" without \"</TEXT*/\")", 11},
        {"select 'it''s", "Unterminated string literal", 7},
        {"select $$body", "Unterminated string literal", 7},
        {"select \"name", "Unterminated quoted identifier", 7},
        {"select [name", "Unterminated bracketed identifier (\"[\" without \"]\")", 7},
        {"select 1;/*METADATA><A", "", 0}, // the block reader's error
        {std::string("select 1;\0 'x", 13), "NUL character in the script text", 9},
    };
    for (const Case& c : cases) {
        AnalysedScript s;
        s.Rebuild(c.text);
        const auto fault = FindTextFault(s.View());
        if (c.message.empty()) {
            EXPECT_FALSE(fault.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(fault.has_value()) << c.text;
        EXPECT_EQ(fault->Message(), c.message + ": the script is not run");
        EXPECT_EQ(fault->Offset(), c.offset) << c.text;
    }
}

} // namespace
} // namespace marlix
