// The quoting of PostgreSQL and MariaDB scripts and the clients' DELIMITER lines: where literals
// end, and which tokens end a statement.
#include "grammar/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace marlix {
namespace {

using Pieces = std::vector<std::pair<int, std::string>>;

constexpr TokenizerOptions kMySql{.backslashEscapes = true};

Pieces Cut(std::string_view script, TokenizerOptions options = {}) {
    const TokenizedScript t = Tokenize(script, options);
    Pieces out;
    for (std::size_t i = 0; i < t.Tokens().size(); ++i)
        out.emplace_back(static_cast<int>(t.Tokens()[i].cls), std::string(t.TokenText(i)));
    return out;
}

// The texts of the tokens that end a statement.
std::vector<std::string> Separators(std::string_view script, TokenizerOptions options = {}) {
    const TokenizedScript t = Tokenize(script, options);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < t.Tokens().size(); ++i)
        if (t.Tokens()[i].separator) out.emplace_back(t.TokenText(i));
    return out;
}

TEST(DollarQuotes, AreOneStringLiteralWhateverTheyHold) {
    const std::string body = "$$\r\nBEGIN\r\n  RETURN i + 1; -- ';' GO\r\nEND;\r\n$$";
    EXPECT_EQ(Cut("AS " + body + " LANGUAGE plpgsql;"),
              (Pieces{{0, "AS"}, {1, body}, {0, "LANGUAGE"}, {0, "plpgsql"}, {3, ";"}}));
    // a tagged quote is closed only by the same tag; "$$" inside it is text
    EXPECT_EQ(Cut("DO $do$ x := '$$'; $d$ $do$;"),
              (Pieces{{0, "DO"}, {1, "$do$ x := '$$'; $d$ $do$"}, {3, ";"}}));
    EXPECT_EQ(Cut("$_a1$x$_a1$"), (Pieces{{1, "$_a1$x$_a1$"}}));
    EXPECT_EQ(Separators("SELECT $$a;b$$; GO"), (std::vector<std::string>{";", "GO"}));
}

TEST(DollarQuotes, OtherDollarsStayWords) {
    // parameters, names with '$' inside or at the end, a tag that cannot be one
    EXPECT_EQ(Cut("$1 a$$b x$ $1a$ $a"), (Pieces{{0, "$1"}, {0, "a$$b"}, {0, "x$"}, {0, "$1a$"}, {0, "$a"}}));
    EXPECT_EQ(Cut("WHERE id = $1;"), (Pieces{{0, "WHERE"}, {0, "id"}, {3, "="}, {0, "$1"}, {3, ";"}}));
    // MySQL and MariaDB have no dollar quotes: "$" may begin their names
    EXPECT_EQ(Cut("$a$ ; $$", kMySql), (Pieces{{0, "$a$"}, {3, ";"}, {0, "$$"}}));
}

TEST(DollarQuotes, UnterminatedEndAtTheEndOfTheText) {
    for (std::string_view s : {"$$ a; b", "$t$ a $$ $T$", "$$"}) {
        const TokenizedScript t = Tokenize(s);
        ASSERT_EQ(t.Tokens().size(), 1u) << s;
        EXPECT_EQ(t.Tokens()[0].cls, TokenClass::String) << s;
        EXPECT_EQ(t.Tokens()[0].End(), s.size()) << s;
        EXPECT_FALSE(t.Tokens()[0].terminated) << s;
    }
    EXPECT_TRUE(Tokenize("$$$$").Tokens()[0].terminated);
}

TEST(EscapeStrings, HonourBackslashes) {
    EXPECT_EQ(Cut("SELECT E'x\\'y;z';"), (Pieces{{0, "SELECT"}, {1, "E'x\\'y;z'"}, {3, ";"}}));
    EXPECT_EQ(Cut("e'a\\\\' ;"), (Pieces{{1, "e'a\\\\'"}, {3, ";"}}));
    EXPECT_EQ(Cut("E'it''s'"), (Pieces{{1, "E'it''s'"}}));
    // only directly before the quote, and only a lone E: other literals keep doubling only
    EXPECT_EQ(Cut("E 'a\\' ;'"), (Pieces{{0, "E"}, {1, "'a\\'"}, {3, ";"}, {1, "'"}}));
    EXPECT_EQ(Cut("TYPE'a\\'"), (Pieces{{0, "TYPE"}, {1, "'a\\'"}}));
    const TokenizedScript open = Tokenize("E'a\\'");
    ASSERT_EQ(open.Tokens().size(), 1u);
    EXPECT_FALSE(open.Tokens()[0].terminated);
    const TokenizedScript trailing = Tokenize("E'a\\");
    EXPECT_EQ(trailing.Tokens()[0].End(), 4u);
    EXPECT_FALSE(trailing.Tokens()[0].terminated);
}

TEST(BackslashEscapes, CountInEveryLiteralOfMySqlServers) {
    EXPECT_EQ(Cut("'O\\'Brien; Ltd';", kMySql), (Pieces{{1, "'O\\'Brien; Ltd'"}, {3, ";"}}));
    EXPECT_EQ(Cut("\"a\\\";b\" 'c\\\\' 'd''e'", kMySql),
              (Pieces{{15, "\"a\\\";b\""}, {1, "'c\\\\'"}, {1, "'d''e'"}}));
    // brackets and comments know no escapes
    EXPECT_EQ(Cut("[a\\] /* \\*/", kMySql), (Pieces{{0, "[a\\]"}, {2, "/* \\*/"}}));
    // elsewhere a backslash is an ordinary character
    EXPECT_EQ(Cut("'a\\';'"), (Pieces{{1, "'a\\'"}, {3, ";"}, {1, "'"}}));
    const TokenizedScript open = Tokenize("'a\\'", kMySql);
    ASSERT_EQ(open.Tokens().size(), 1u);
    EXPECT_FALSE(open.Tokens()[0].terminated);
}

TEST(DelimiterLines, SetTheSeparatorFromTheNextLineOn) {
    const std::string script = "select 1;\r\n"
                               "DELIMITER //\r\n"
                               "CREATE PROCEDURE p() BEGIN SELECT 1; SELECT 2; END//\r\n"
                               "CALL p()//\r\n"
                               "  delimiter ;  \r\n"
                               "CALL p(); go\r\n";
    EXPECT_EQ(Separators(script),
              (std::vector<std::string>{";", "DELIMITER //", "//", "//", "delimiter ;", ";", "go"}));
    const TokenizedScript t = Tokenize(script);
    EXPECT_EQ(t.Tokens()[3].cls, TokenClass::Comment); // the client's command, never sent
    // the delimiter ends a word; GO keeps separating
    EXPECT_EQ(Separators("DELIMITER $$\r\nBEGIN x; END$$ GO\r\ndelimiter ;;\r\na;b;;"),
              (std::vector<std::string>{"DELIMITER $$", "$$", "GO", "delimiter ;;", ";;"}));
    // a dollar delimiter wins over dollar quotes; the line works on every connection
    EXPECT_EQ(Separators("DELIMITER $$\r\n$$", kMySql), (std::vector<std::string>{"DELIMITER $$", "$$"}));
}

TEST(DelimiterLines, OnlyAtTheStartOfALineWithADelimiter) {
    // not first on its line, no delimiter, no blank after the word, inside a comment or literal
    for (std::string_view s : {"x DELIMITER //\r\n//", "DELIMITER\r\n//", "DELIMITER//", "DELIMITERS //",
                               "/*\r\nDELIMITER //*/", "'\r\nDELIMITER //'"}) {
        const TokenizedScript t = Tokenize(s);
        for (const Token& k : t.Tokens())
            EXPECT_FALSE(k.separator) << s;
    }
    // the rest of the line belongs to the command; a tab may separate the delimiter
    EXPECT_EQ(Cut("DELIMITER\t// extra  \r\nx//"), (Pieces{{2, "DELIMITER\t// extra"}, {0, "x"}, {3, "//"}}));
}

constexpr TokenizerOptions kMySqlServer{.backslashEscapes = true, .executableComments = true};

TEST(ExecutableComments, AreSqlBetweenTwoMarkersOnMySqlServers) {
    const TokenizedScript t = Tokenize("/*!40101 SET @x = ';*/' */;/*M!1*/", kMySqlServer);
    EXPECT_EQ(Cut("/*!40101 SET @x = ';*/' */;/*M!1*/", kMySqlServer),
              (Pieces{{2, "/*!40101"}, {0, "SET"}, {0, "@x"}, {3, "="}, {1, "';*/'"}, {2, "*/"}, {3, ";"},
                      {2, "/*M!1"}, {2, "*/"}}));
    for (std::size_t i : {0u, 5u, 7u, 8u})
        EXPECT_TRUE(t.Tokens()[i].executable) << i;
    // a plain comment inside ends at its own "*/"; elsewhere the whole is one comment
    EXPECT_EQ(Cut("/*!1 /* a */ b */", kMySqlServer), (Pieces{{2, "/*!1"}, {2, "/* a */"}, {0, "b"}, {2, "*/"}}));
    EXPECT_EQ(Cut("/*!1 a */ b"), (Pieces{{2, "/*!1 a */"}, {0, "b"}}));
}

TEST(NestedComments, NestOnlyOnPostgreSql) {
    constexpr TokenizerOptions kPg{.nestedComments = true};
    EXPECT_EQ(Cut("/* a /* b */ c */ d", kPg), (Pieces{{2, "/* a /* b */ c */"}, {0, "d"}}));
    EXPECT_EQ(Cut("/* a /* b */ c", {}), (Pieces{{2, "/* a /* b */"}, {0, "c"}}));
    EXPECT_FALSE(Tokenize("/* a /* b */ c", kPg).Tokens()[0].terminated);
}

TEST(TriggerBodies, EndAtTheirEnd) {
    using S = std::vector<std::string>;
    constexpr TokenizerOptions kSqlite{.sqliteTriggers = true};
    // SQLite ends a trigger at "; END ;" only, as its shell
    EXPECT_EQ(Separators("CREATE TRIGGER t AFTER INSERT ON x BEGIN SELECT end; END; SELECT 1;", kSqlite),
              (S{";", ";"}));
    // elsewhere BEGIN ... END blocks are counted: IF, CASE, TRY, names and transactions
    EXPECT_EQ(Separators("CREATE OR ALTER TRIGGER t ON x AFTER INSERT AS BEGIN BEGIN TRAN; "
                         "BEGIN TRY SELECT 1; END TRY BEGIN CATCH END CATCH; IF a THEN b; END IF; "
                         "CASE a WHEN 1 THEN c; END CASE; SET NEW.end = 1, end = (begin, end); END; x;"),
              (S{";", ";"}));
    EXPECT_EQ(Separators("create trigger t before insert on x for each row begin select case when a then b end; end;"
                         "begin; begin transaction; end;"),
              (S{";", ";", ";", ";"}));
    EXPECT_EQ(Separators("CREATE FUNCTION f(begin int) RETURNS int BEGIN RETURN (CASE WHEN begin THEN 1 END); END; x;"),
              (S{";", ";"}));
    // no BEGIN, another statement, another delimiter: every ";" ends it
    EXPECT_EQ(Separators("CREATE TRIGGER t AFTER INSERT ON x EXECUTE FUNCTION f(); CREATE TABLE begin (a int); x;"),
              (S{";", ";", ";"}));
    EXPECT_EQ(Separators("DELIMITER //\r\nCREATE TRIGGER t BEGIN a; END//"), (S{"DELIMITER //", "//"}));
    // a body the text ends in marks its CREATE; one without a ";" inside is the server's to refuse
    EXPECT_FALSE(Tokenize("x; CREATE TRIGGER t BEGIN a; b;", kSqlite).Tokens()[2].terminated);
    EXPECT_TRUE(Tokenize("CREATE TRIGGER t BEGIN a", kSqlite).Tokens()[0].terminated);
}

} // namespace
} // namespace marlix
