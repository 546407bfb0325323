// The element parser's messages and offsets, the tree operations and the serializer.
#include "core/SyntaxException.h"
#include "grammar/Tokenizer.h"
#include "metadata/ElementNode.h"
#include "metadata/ElementParser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace marlix {
namespace {

// Parses the elements of one block "/*METADATA>" + markup + "</METADATA*/" (no end marker
// when `closed` is false) into `root`; returns the error, if any.
std::optional<CSyntaxException> ParseBlock(const std::string& script, ElementNode& root) {
    const TokenizedScript tokens = Tokenize(script);
    const TokenView view = tokens.View();
    std::size_t p = 1;
    try {
        while (p < view.size() && view.tokens[p].cls == TokenClass::TagOpen)
            p = ParseElement(view, p, view.size(), root);
    } catch (const CSyntaxException& e) {
        return e;
    }
    return std::nullopt;
}

struct MessageCase {
    const char* markup; // inside "/*METADATA>" ... (closed by the end marker unless unclosed)
    const char* message;
    const char* at; // the text the offset must point at (its last occurrence)
    bool closed = true;
};

class ParserMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ParserMessages, RaisedAtTheOffendingToken) {
    const MessageCase& c = GetParam();
    const std::string script = std::string("/*METADATA>") + c.markup + (c.closed ? "</METADATA*/" : "");
    ElementNode root("GlobalRoot");
    const auto error = ParseBlock(script, root);
    ASSERT_TRUE(error.has_value()) << script;
    EXPECT_EQ(error->Message(), c.message);
    const std::size_t expected = script.rfind(c.at);
    ASSERT_NE(expected, std::string::npos);
    EXPECT_EQ(static_cast<std::size_t>(error->Offset()), expected) << script;
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, ParserMessages,
    ::testing::Values(MessageCase{"<A> B </A>", "XML tag start expected here", "B"},
                      MessageCase{"< A/>", "XML tag name expected here", "A/"},
                      MessageCase{"<RESULTSET/> <resultset/>", "Duplicate key name detected", "<resultset"},
                      MessageCase{"<A x", "unexpected end of tag detected", "x", false},
                      MessageCase{"<A x = \"1\", ", "unexpected end of tag detected", ",", false},
                      MessageCase{"<A x y = \"1\"/>", "'=' expected here", "y"},
                      MessageCase{"<A x = y/>", "value expected", "y/"},
                      MessageCase{"<A x = \"1\", X = \"2\"/>", "Duplicate value name detected", "X ="},
                      // Blanks instead of a comma end the attributes: the second name is then a stray symbol.
                      MessageCase{"<A x = \"1\" y = \"2\"/>", "Unexpected symbol", "y ="},
                      MessageCase{"<A></", "Unexpected end of clause", "</", false},
                      MessageCase{"<A></A", "Unexpected end of clause", "A", false},
                      MessageCase{"<A>", "'</' expected ", ">", false},
                      MessageCase{"<A></A x", "'>' expected ", "x", false},
                      // The name is upper-cased when stored, so a lower-case closing tag no longer matches.
                      MessageCase{"<keys></keys>", "</KEYS>", "keys></M"},
                      MessageCase{"<A><B></A></A>", "</B>", "A></A>"}));

TEST(ElementParser, NamesAttributesAndOffsets) {
    const std::string script =
        "/*METADATA><resultset type = \"UPDATE\", Source = \"a\"\"b\"><Keys><KEY_X field = \"x\"/></KEYS>"
        "</RESULTSET></METADATA*/";
    ElementNode root("GlobalRoot");
    ASSERT_FALSE(ParseBlock(script, root).has_value());
    const ElementNode* rs = root.FindChild("ResultSet");
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->Name(), "RESULTSET");
    EXPECT_TRUE(rs->Parsed());
    EXPECT_EQ(rs->Start(), script.find("<resultset"));
    EXPECT_EQ(rs->End(), script.find("</METADATA"));
    EXPECT_EQ(rs->Attribute("TYPE"), "UPDATE");
    EXPECT_EQ(rs->Attribute("source"), "a\"b"); // a doubled quote is one
    EXPECT_FALSE(rs->HasAttribute("TABLE"));
    EXPECT_EQ(rs->Attribute("TABLE"), "");
    const ElementNode* key = rs->FindChild("keys")->FindChild("key_x");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Attribute("FIELD"), "x");
    EXPECT_EQ(key->End(), script.find("</KEYS>"));
}

TEST(ElementParser, UnclosedValueRunsToTheEndOfTheText) {
    ElementNode root("GlobalRoot");
    const auto error = ParseBlock("/*METADATA><A x = \"abc/></METADATA*/", root);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Message(), "unexpected end of tag detected");
    EXPECT_EQ(root.FindChild("A")->Attribute("X"), "abc/></METADATA*/");
}

TEST(ElementTree, InsertChildRefusesATakenName) {
    ElementNode root("GlobalRoot");
    EXPECT_FALSE(root.Parsed());
    root.InsertChild(ElementNode("keys"));
    try {
        root.InsertChild(ElementNode("KEYS"));
        FAIL() << "duplicate accepted";
    } catch (const CSyntaxException& e) {
        EXPECT_EQ(e.Message(), "Attempt to insert duplicate keys into XML tree");
    }
    EXPECT_EQ(root.Children().size(), 1u);
}

TEST(ElementTree, ChildrenInUpperCaseByteOrderAndDeepCopies) {
    ElementNode root("r");
    for (const char* name : {"key_c", "KEY_A", "Key_b", "_z", "A1"})
        root.InsertChild(ElementNode(name));
    std::string order;
    for (const auto& [name, child] : root.Children())
        order += name + " ";
    EXPECT_EQ(order, "A1 KEY_A KEY_B KEY_C _Z ");

    root.FindChild("key_a")->SetAttribute("field", "a");
    ElementNode copy(root);
    root.FindChild("KEY_A")->SetAttribute("FIELD", "changed");
    EXPECT_EQ(copy.FindChild("KEY_A")->Attribute("FIELD"), "a");
}

TEST(ElementSerializer, AttributeNamesLayoutAndIndent) {
    ElementNode rs("resultset");
    rs.SetAttribute("TYPE", "UPDATE");
    rs.SetAttribute("source", "s");
    rs.SetAttribute("Table", "\"t\"");
    EXPECT_EQ(SerializeElement(rs, "\t", true),
              "<RESULTSET Source = \"s\", Table = \"\"\"t\"\"\", Type = \"UPDATE\"/>");
    rs.SetAttribute("Table", "t");
    EXPECT_EQ(SerializeElement(rs, "\t"), "\t<RESULTSET Source = \"s\", Table = \"t\", Type = \"UPDATE\"/>");

    ElementNode& keys = rs.InsertChild(ElementNode("KEYS"));
    ElementNode key("name");
    key.SetAttribute("FIELD", "name");
    keys.InsertChild(std::move(key));
    EXPECT_EQ(SerializeElement(rs, "\t", true),
              "<RESULTSET Source = \"s\", Table = \"t\", Type = \"UPDATE\">\r\n"
              "\t\t<KEYS>\r\n"
              "\t\t\t<NAME Field = \"name\"/>\r\n"
              "\t\t</KEYS>\r\n"
              "\t</RESULTSET>");
}

} // namespace
} // namespace marlix
