#include "ScriptChecks.h"

#include "core/CaseFold.h"
#include "grammar/ClientCommand.h"
#include "grammar/CopyFormat.h"
#include "grammar/SelectAnalysis.h"
#include "grammar/Tokenizer.h"

#include <vector>

namespace marlix::fuzzcheck {

namespace {

std::string CheckTokens(const TokenizedScript& t, std::string_view script) {
    if (t.Text().data() != script.data() || t.Text().size() != script.size()) return "text view differs";
    const auto& tokens = t.Tokens();
    const auto& index = t.CharIndex();
    if (index.size() != script.size() + 1) return "index size";
    std::uint32_t previousEnd = 0;
    std::size_t next = 0; // the next character whose index entry is checked
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& k = tokens[i];
        if (k.length == 0) return "empty token " + std::to_string(i);
        if (k.offset < previousEnd) return "tokens overlap at " + std::to_string(i);
        if (k.End() > script.size()) return "token beyond the text " + std::to_string(i);
        if (static_cast<int>(k.cls) >= kTokenClassCount) return "token class " + std::to_string(i);
        if (k.BlockEnd() > k.End() || k.BlockEnd() < k.offset) return "block end " + std::to_string(i);
        for (; next < k.offset; ++next)
            if (t.TokenAt(next) != -1) return "uncovered character indexed at " + std::to_string(next);
        for (; next < k.End(); ++next)
            if (t.TokenAt(next) != static_cast<std::int32_t>(i))
                return "index mismatch at " + std::to_string(next);
        previousEnd = k.End();
    }
    for (; next < index.size(); ++next)
        if (t.TokenAt(next) != -1) return "index after the last token at " + std::to_string(next);
    return {};
}

bool IsSeparator(const TokenizedScript& t, std::size_t i) {
    return t.Tokens()[i].separator;
}

// Only ";" (or a delimiter set by a DELIMITER line), GO and DELIMITER lines end statements, and
// until the first DELIMITER line every GO does, and every ";" outside a [EXPLAIN] CREATE statement
// (whose trigger body may hold them). Executable comment markers pair up, and only an open trigger
// body leaves a word (its CREATE) unterminated.
std::string CheckSeparators(const TokenizedScript& t) {
    bool delimiterSet = false;
    bool create = false; // the statement began with CREATE
    bool first = true;
    bool executableOpen = false;
    for (std::size_t i = 0; i < t.Tokens().size(); ++i) {
        const Token& k = t.Tokens()[i];
        const std::string_view text = t.TokenText(i);
        if (k.executable) {
            if (k.cls != TokenClass::Comment || (text == "*/") != executableOpen) return "odd executable marker";
            executableOpen = !executableOpen;
        }
        if (!k.terminated && k.cls == TokenClass::Word && !text.starts_with("[") && !EqualsFolded(text, "CREATE"))
            return "unterminated word " + std::to_string(i);
        if (first && !IsCommentLike(k.cls)) create = EqualsFolded(text, "CREATE") || EqualsFolded(text, "EXPLAIN");
        first = k.separator || (first && IsCommentLike(k.cls));
        const bool semicolon = k.cls == TokenClass::Punctuation && text == ";";
        const bool go = k.cls == TokenClass::Word && EqualsFolded(text, "GO");
        const bool line =
            k.cls == TokenClass::Comment && text.size() > 9 && EqualsFolded(text.substr(0, 9), "DELIMITER");
        if (line) delimiterSet = true;
        // The ";" of a COPY ... FROM stdin is followed by its data, or ends the text.
        const bool copy = i + 1 == t.Tokens().size() || t.Tokens()[i + 1].role == TokenRole::CopyData ||
                          t.TokenText(i + 1) == "\\.";
        if (!k.separator) {
            if (go || (semicolon && !delimiterSet && !create && !copy))
                return "separator not marked at " + std::to_string(i);
            continue;
        }
        const bool client = k.role == TokenRole::ClientCommand || text == "\\.";
        if (!semicolon && !go && !line && !client && !(delimiterSet && k.cls == TokenClass::Punctuation))
            return "odd separator at " + std::to_string(i);
    }
    if (executableOpen) return "executable comment left open";
    return {};
}

// The client commands of each client, and COPY data read as the batch reads them: every row
// read moves on, and a data error names a line within the data.
std::string CheckClientCommands(std::string_view script) {
    for (ClientCommands commands : {ClientCommands::Psql, ClientCommands::MySql, ClientCommands::Sqlite}) {
        const TokenizedScript t = Tokenize(script, TokenizerOptions{.clientCommands = commands});
        if (std::string e = CheckTokens(t, script); !e.empty()) return "client commands: " + e;
        if (std::string e = CheckSeparators(t); !e.empty()) return "client commands: " + e;
        std::size_t first = 0;
        for (std::size_t i = 0; i < t.Tokens().size(); ++i) {
            const Token& k = t.Tokens()[i];
            if (k.role == TokenRole::ClientCommand) (void)ParseClientCommand(t.TokenText(i));
            if (k.role == TokenRole::CopyData) {
                if (i == 0 || !IsCopyFromStdin(t.View(), first, i - 1)) return "COPY data after no COPY";
                CopyStatement copy;
                if (!ParseCopyStatement(t.View(), first, i - 1, copy).empty()) continue;
                const std::string_view data = t.TokenText(i);
                CopyReader reader(data, copy);
                std::vector<std::string> values;
                std::vector<char> nulls;
                const std::size_t columns = copy.columns.empty() ? 2 : copy.columns.size();
                try {
                    for (std::size_t rows = 0; reader.Next(columns, values, nulls); ++rows)
                        if (rows > data.size()) return "COPY rows do not move on";
                } catch (const CopyDataError& e) {
                    if (e.offset > data.size()) return "COPY data error beyond the data";
                }
            }
            if (k.separator) first = i + 1;
        }
    }
    return {};
}

} // namespace

std::string CheckScript(std::string_view script) {
    // A state reused across calls, as the editor reuses it, must give the same result as a
    // fresh one.
    static TokenizedScript reused;
    Tokenize(script, reused);
    const TokenizedScript fresh = Tokenize(script);
    if (std::string e = CheckTokens(fresh, script); !e.empty()) return e;
    if (std::string e = CheckSeparators(fresh); !e.empty()) return e;
    // The quoting of MySQL and MariaDB connections keeps the same properties.
    const TokenizedScript escaped = Tokenize(script, TokenizerOptions{.backslashEscapes = true});
    if (std::string e = CheckTokens(escaped, script); !e.empty()) return "backslash escapes: " + e;
    if (std::string e = CheckSeparators(escaped); !e.empty()) return "backslash escapes: " + e;
    // Each server's own reading: MySQL's executable comments, PostgreSQL's nested comments,
    // SQLite's trigger ends.
    for (const TokenizerOptions options : {TokenizerOptions{.backslashEscapes = true, .executableComments = true},
                                           TokenizerOptions{.nestedComments = true},
                                           TokenizerOptions{.sqliteTriggers = true}}) {
        const TokenizedScript server = Tokenize(script, options);
        if (std::string e = CheckTokens(server, script); !e.empty()) return "server reading: " + e;
        if (std::string e = CheckSeparators(server); !e.empty()) return "server reading: " + e;
    }
    if (reused.Tokens().size() != fresh.Tokens().size() || reused.CharIndex() != fresh.CharIndex())
        return "reused state differs";
    if (std::string e = CheckClientCommands(script); !e.empty()) return e;

    const auto& tokens = fresh.Tokens();
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= tokens.size(); ++i) {
        if (i < tokens.size() && !IsSeparator(fresh, i)) continue;
        std::size_t first = begin;
        while (first < i && IsCommentLike(tokens[first].cls))
            ++first;
        if (first < i && EqualsFolded(fresh.TokenText(first), "SELECT")) {
            AnalysedDescription d;
            AnalyseSelect(d, fresh.View(), first, i);
            if (d.analysed && d.columns.empty()) return "analysed statement without columns";
            if (!d.analysed && (!d.columns.empty() || !d.tables.empty())) return "lists without analysis";
        }
        begin = i + 1;
    }
    return {};
}

} // namespace marlix::fuzzcheck
