#include "grammar/Grammar.h"
#include "grammar/ParseException.h"
#include "grammar/RuleText.h"
#include "grammar/Tokenizer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace marlix {
namespace {

// A grammar with one rule "top" (group "top") of the given body, plus any further rules.
struct Fixture {
    Grammar grammar;
    TokenizedScript script;

    // Matches rule `name` against the whole of `text`: the number of tokens consumed.
    std::optional<std::size_t> Recognise(const char* name, std::string_view text) {
        Tokenize(text, script);
        const Rule* r = grammar.FindRule(name);
        return grammar.Recognise(*r, script.View(), 0, script.Tokens().size());
    }
    std::size_t Parse(const char* name, std::string_view text, ParseNode& node) {
        Tokenize(text, script);
        const Rule* r = grammar.FindRule(name);
        return grammar.Parse(*r, script.View(), 0, script.Tokens().size(), node);
    }
};

TEST(RuleText, CapturesSplitAtTheFirstColon) {
    const auto e = CompileRuleText("<sql_predicate::pred> <:x> <id> <a:b:c> WORDS 'lit'");
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].text, "sql_predicate");
    EXPECT_EQ(e[0].name, ":pred");
    EXPECT_EQ(e[1].text, ":x");
    EXPECT_EQ(e[1].name, ":x");
    EXPECT_EQ(e[2].text, "id");
    EXPECT_EQ(e[2].terminal, TerminalType::Id);
    EXPECT_EQ(e[3].name, "b:c");
    EXPECT_EQ(e[4].kind, RuleElement::Kind::Literal);
    EXPECT_EQ(e[4].text, "lit");
}

TEST(RuleText, GroupsNestAndAnUnclosedGroupRunsToTheEnd) {
    const auto e = CompileRuleText("'SUM' '(' [ <x:arg> ')' [ <y:op> ] 'Z'");
    ASSERT_EQ(e.size(), 3u);
    ASSERT_EQ(e[2].kind, RuleElement::Kind::Optional);
    const auto& outer = e[2].optional;
    ASSERT_EQ(outer.size(), 4u);
    EXPECT_EQ(outer[2].kind, RuleElement::Kind::Optional);
    EXPECT_EQ(outer[3].text, "Z");
    // a bracket inside a literal is no bracket
    const auto l = CompileRuleText("[ ']' ] 'x'");
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].optional.at(0).text, "]");
    EXPECT_FALSE(CompileRuleText("'open").at(0).closed);
}

TEST(GrammarLink, BrokenRulesFailToLink) {
    {
        Fixture f;
        f.grammar.AddSequenceRule("top", "top", "'A' <missing:x>");
        EXPECT_FALSE(f.grammar.Link());
        EXPECT_FALSE(f.Recognise("top", "A").has_value());
        ParseNode n("root");
        EXPECT_THROW(f.Parse("top", "A", n), CParseException);
    }
    {
        Fixture f; // a rule may not name itself, even when its group exists
        f.grammar.AddSequenceRule("self", "g", "'A' [<self:x>]");
        f.grammar.AddSequenceRule("other", "self", "'B'");
        EXPECT_FALSE(f.grammar.Link());
    }
    {
        Fixture f;
        f.grammar.AddSequenceRule("top", "top", "'A' 'B");
        EXPECT_FALSE(f.grammar.Link());
    }
    {
        Fixture f;
        f.grammar.AddListRule("list", "list", ",", "nothing");
        EXPECT_FALSE(f.grammar.Link());
    }
    {
        Fixture f; // references are resolved by group and case-sensitively
        f.grammar.AddSequenceRule("top", "top", "<Item:x>");
        f.grammar.AddSequenceRule("item", "item", "'A'");
        EXPECT_FALSE(f.grammar.Link());
        f.grammar.AddSequenceRule("item2", "Item", "'A'");
        EXPECT_TRUE(f.grammar.Link());
    }
}

TEST(GrammarMatch, LiteralsFoldCaseAndCommentsAreInvisible) {
    Fixture f;
    f.grammar.AddSequenceRule("top", "top", "'SELECT' <id:x> ['FROM' <id:y>]");
    ASSERT_TRUE(f.grammar.Link());
    EXPECT_EQ(f.Recognise("top", "select a"), 2u);
    EXPECT_EQ(f.Recognise("top", "/*a*/ Select -- c\r\n a /* x */ FROM /*METADATA></METADATA*/ b -- end"),
              10u);
    EXPECT_EQ(f.Recognise("top", "SELECT a /* only comments remain */ -- x"), 4u);
    EXPECT_FALSE(f.Recognise("top", "SELEC a").has_value());
    EXPECT_FALSE(f.Recognise("top", "SELECT").has_value());
    // an optional group that does not match is skipped and consumes nothing
    EXPECT_EQ(f.Recognise("top", "SELECT a FROM 1"), 2u);
}

TEST(GrammarMatch, TwoCharacterOperatorsNeedAdjacentTokens) {
    Fixture f;
    f.grammar.AddSequenceRule("top", "top", "<id:a> '<>' <id:b>");
    f.grammar.AddSequenceRule("ne", "ne", "<id:a> '!=' <id:b>");
    f.grammar.AddSequenceRule("cat", "cat", "<id:a> '||' <id:b>");
    ASSERT_TRUE(f.grammar.Link());
    EXPECT_EQ(f.Recognise("top", "a<>b"), 4u);
    EXPECT_EQ(f.Recognise("top", "a <> b"), 4u);
    EXPECT_FALSE(f.Recognise("top", "a < > b").has_value());
    EXPECT_FALSE(f.Recognise("top", "a </**/> b").has_value());
    EXPECT_EQ(f.Recognise("ne", "a != b"), 4u);
    EXPECT_EQ(f.Recognise("cat", "a || b"), 4u);
}

TEST(GrammarMatch, TerminalTypes) {
    Fixture f;
    f.grammar.AddSequenceRule("int", "int", "<integer:v>");
    f.grammar.AddSequenceRule("dec", "dec", "<decimal:v>");
    f.grammar.AddSequenceRule("dt", "dt", "<datetime:v>");
    f.grammar.AddSequenceRule("str", "str", "<string:v>");
    f.grammar.AddSequenceRule("bin", "bin", "<binary:v>");
    f.grammar.AddSequenceRule("id", "id", "<id:v>");
    f.grammar.AddSequenceRule("id2", "id2", "<id2:v>");
    f.grammar.AddSequenceRule("id3", "id3", "<id3:v>");
    ASSERT_TRUE(f.grammar.Link());
    auto value = [&f](const char* rule, std::string_view text) -> std::string {
        ParseNode n("root");
        try {
            const std::size_t end = f.Parse(rule, text, n);
            return std::string(n.Value("v")) + "|" + std::to_string(end);
        } catch (const CParseException&) {
            return "fail";
        }
    };
    // Keywords are not reserved; names begin with a letter, '[', '_', '$' or '@'; a qualified star
    // is left to the rule that expects it.
    const char* const cases[][3] = {
        // clang-format off
        {"int", "0042", "0042|1"}, {"int", "12a", "fail"}, {"dec", "12.5", "12.5|3"}, {"dec", "12.", "12.|2"},
        {"dec", "12", "12|1"}, {"dt", "2024-01-31", "2024-01-31|5"}, {"dt", "2024-01", "fail"},
        {"dt", "2024-01-31 10:20:30.5", "2024-01-31 10:20:30.5|12"}, {"dt", "2024-01-31 10:", "2024-01-31|5"},
        {"str", "'a''b'", "'a''b'|1"}, {"str", "\"q\"", "\"q\"|1"}, {"bin", "0x1F", "0x1F|1"},
        {"bin", "0x", "fail"}, {"bin", "0xG1", "fail"}, {"bin", "0X1F", "fail"}, {"id", "WHERE", "WHERE|1"},
        {"id", "[a b]", "[a b]|1"}, {"id", "@v", "@v|1"}, {"id", "1a", "fail"}, {"id", "#t", "fail"},
        {"id2", "a.b.c", "a.b|3"}, {"id3", "db . owner./**/tab", "db.owner.tab|6"}, {"id3", "a.1", "fail"},
        {"id3", "a.b.c.d", "a.b.c|5"}, {"id3", "a.", "fail"}, {"id3", "t.*", "t|1"}, {"id2", "t.*", "fail"},
        // clang-format on
    };
    for (const auto& [rule, text, expected] : cases)
        EXPECT_EQ(value(rule, text), expected) << rule << " " << text;
}

TEST(GrammarMatch, FirstMatchWithoutBacktracking) {
    Fixture f;
    f.grammar.AddSequenceRule("top", "top", "<g:x> 'B'");
    f.grammar.AddSequenceRule("greedy", "g", "'A' ['B']");
    f.grammar.AddSequenceRule("short", "g", "'A'");
    ASSERT_TRUE(f.grammar.Link());
    // the first alternative takes "A B"; its choice is not reconsidered when 'B' is missing
    EXPECT_FALSE(f.Recognise("top", "A B").has_value());
    EXPECT_EQ(f.Recognise("top", "A B B"), 3u);
    ParseNode n("root");
    f.Parse("top", "A B B", n);
    ASSERT_TRUE(n.HasChild("x"));
    EXPECT_EQ(n.Child("x")->Name(), "greedy");
}

TEST(GrammarParse, TreeListsAndFirstCaptureWins) {
    Fixture f;
    f.grammar.AddSequenceRule("top", "top", "<list:items> [<id:v>] ['=' <id:v>] [<e:c> <e:c>]");
    f.grammar.AddListRule("list", "list", ",", "item");
    f.grammar.AddSequenceRule("num", "item", "<integer:n>");
    f.grammar.AddSequenceRule("name", "item", "<id:n>");
    f.grammar.AddSequenceRule("e", "e", "<integer:n>");
    ASSERT_TRUE(f.grammar.Link());

    ParseNode n("root");
    EXPECT_EQ(f.Parse("top", "1, a ,2 x = y 7 8", n), 10u);
    EXPECT_EQ(n.Name(), "root");
    const ParseNode* list = n.Child("items");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Name(), "list");
    ASSERT_EQ(list->Items().size(), 3u);
    EXPECT_EQ(list->Items()[0]->Name(), "num");
    EXPECT_EQ(list->Items()[1]->Name(), "name");
    EXPECT_EQ(list->Items()[1]->Value("n"), "a");
    EXPECT_EQ(list->Items()[2]->Value("n"), "2");
    EXPECT_EQ(n.Value("v"), "x");
    ASSERT_EQ(n.ValueCount(), 1u);
    ASSERT_EQ(n.ChildCount(), 2u);
    EXPECT_EQ(n.Child("c")->Value("n"), "7");
    EXPECT_EQ(n.Value("absent"), "");
    EXPECT_FALSE(n.HasChild("absent"));

    // a separator with nothing after it fails the list
    ParseNode m("root");
    EXPECT_THROW(f.Parse("top", "1, a,", m), CParseException);
    EXPECT_FALSE(f.Recognise("top", "1,").has_value());
    EXPECT_EQ(f.Recognise("top", "1,/**/a"), 4u);
}

TEST(GrammarLink, FirstCharactersFollowGroupsOptionalsAndTerminals) {
    Fixture f;
    f.grammar.AddSequenceRule("top", "top", "['x'] <g:a>");
    f.grammar.AddSequenceRule("lit", "g", "'Ab'");
    f.grammar.AddSequenceRule("str", "g", "<string:s>");
    f.grammar.AddSequenceRule("num", "g", "[<binary:b>] <integer:n>");
    f.grammar.AddSequenceRule("empty", "e", "['q']");
    ASSERT_TRUE(f.grammar.Link());
    std::string top;
    for (int c = 0; c < 256; ++c)
        if (f.grammar.FindRule("top")->MayStartWith(static_cast<unsigned char>(c)))
            top += static_cast<char>(c);
    EXPECT_EQ(top, "\"'0123456789AX");
    // a rule that can match without a token may begin with anything
    EXPECT_EQ(f.grammar.FindRule("empty")->StartCharacters().count(), 256u);
    // lower-case text is matched through the folded set
    EXPECT_EQ(f.Recognise("top", "x aB"), 2u);
    EXPECT_EQ(f.Recognise("top", "0x1 7"), 2u);
}

} // namespace
} // namespace marlix
