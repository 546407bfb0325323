#include "grammar/ClientCommand.h"

#include "core/CaseFold.h"

#include <cstring>
#include <vector>

namespace marlix {
namespace {

constexpr bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

bool WordAt(std::string_view text, std::size_t p, std::string_view word) noexcept {
    return text.size() - p > word.size() && EqualsFolded(text.substr(p, word.size()), word) &&
           IsBlank(text[p + word.size()]);
}

std::string_view Trimmed(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// The blank-separated words of a command's arguments; a word in '...' or "..." keeps its blanks
// and loses its quotes (a doubled quote, or a backslash before one, stands for the quote).
std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> words;
    std::size_t p = 0;
    while (true) {
        while (p < s.size() && IsBlank(s[p]))
            ++p;
        if (p >= s.size()) break;
        std::string word;
        while (p < s.size() && !IsBlank(s[p])) {
            const char quote = s[p];
            if (quote != '\'' && quote != '"') {
                word += s[p++];
                continue;
            }
            for (++p; p < s.size(); ++p) {
                if (s[p] == '\\' && quote == '\'' && p + 1 < s.size()) {
                    word += s[++p];
                } else if (s[p] == quote) {
                    if (p + 1 < s.size() && s[p + 1] == quote) {
                        word += s[++p];
                    } else {
                        ++p;
                        break;
                    }
                } else {
                    word += s[p];
                }
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

// The database of a libpq connection string "dbname='x' ..." (as pg_dump writes a name that needs
// quoting); empty when it names none.
std::string DatabaseOfConnInfo(std::string_view info) {
    std::string database;
    for (const std::string& pair : Words(info)) {
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos && EqualsFolded(Trimmed(pair.substr(0, equals)), "dbname"))
            database = pair.substr(equals + 1);
    }
    return database;
}

ClientCommand Connect(std::string name, const std::vector<std::string>& words) {
    ClientCommand command{ClientCommand::Kind::Connect, std::move(name), {}, {}};
    std::size_t i = 1;
    if (i < words.size() && words[i].starts_with("-reuse-previous")) ++i;
    if (i < words.size()) {
        command.argument = words[i].find('=') != std::string::npos ? DatabaseOfConnInfo(words[i]) : words[i];
        ++i;
    }
    for (; i < words.size(); ++i)
        if (words[i] != "-") command.problem = "only the database can change, not the user, host or port";
    if (command.argument.empty() || command.argument == "-") command.problem = "no database is named";
    return command;
}

} // namespace

std::size_t ClientCommandLineEnd(std::string_view text, std::size_t p, ClientCommands commands) noexcept {
    const std::size_t n = text.size();
    bool command = false;
    switch (commands) {
    case ClientCommands::Psql:
        command = text[p] == '\\';
        break;
    case ClientCommands::MySql:
        command = (text[p] == '\\' && p + 2 < n && text[p + 1] == '.' && IsBlank(text[p + 2])) ||
                  WordAt(text, p, "source");
        break;
    case ClientCommands::Sqlite:
        command = text[p] == '.';
        break;
    case ClientCommands::None:
        break;
    }
    if (!command) return 0;
    std::size_t end = p;
    while (end < n && text[end] != '\r' && text[end] != '\n')
        ++end;
    while (end > p + 1 && IsBlank(text[end - 1]))
        --end;
    return end;
}

bool IsCopyFromStdin(TokenView script, std::size_t firstToken, std::size_t endToken) noexcept {
    bool first = true;
    bool from = false;
    for (std::size_t i = firstToken; i < endToken; ++i) {
        const Token& token = script.tokens[i];
        if (IsCommentLike(token.cls)) continue;
        const std::string_view text = script.TextOf(token);
        const bool word = token.cls == TokenClass::Word;
        if (first && !(word && EqualsFolded(text, "COPY"))) return false;
        if (from && word && EqualsFolded(text, "STDIN")) return true;
        from = word && EqualsFolded(text, "FROM");
        first = false;
    }
    return false;
}

CopyDataEnd FindCopyDataEnd(std::string_view text, std::size_t from) noexcept {
    const std::size_t n = text.size();
    std::size_t line = from;
    while (line < n) {
        if (text[line] == '\\' && line + 1 < n && text[line + 1] == '.') {
            std::size_t end = line + 2;
            if (end < n && text[end] == '\r') ++end;
            if (end >= n || text[end] == '\n') return {line, line + 2, true};
        }
        const void* lf = std::memchr(text.data() + line, '\n', n - line);
        if (!lf) break;
        line = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) + 1;
    }
    return {n, n, false};
}

ClientCommand ParseClientCommand(std::string_view line) {
    line = Trimmed(line);
    std::size_t nameEnd = 0;
    while (nameEnd < line.size() && !IsBlank(line[nameEnd]))
        ++nameEnd;
    // psql reads "\cname" as \c with the argument name only for one-letter commands; the ones
    // looked for here are all written with a blank.
    std::string name(line.substr(0, nameEnd));
    const std::string_view rest = Trimmed(line.substr(nameEnd));
    const std::vector<std::string> words = Words(line);
    const auto is = [&name](std::string_view word) { return EqualsFolded(name, word); };
    ClientCommand command{ClientCommand::Kind::Unknown, name, {}, {}};
    if (name == "\\c" || name == "\\connect") return Connect(name, words);
    if (name == "\\restrict" || name == "\\unrestrict") {
        command.kind = ClientCommand::Kind::Accepted;
    } else if (name == "\\i" || name == "\\ir" || name == "\\include" || name == "\\include_relative" ||
               name == ".read") {
        command.kind = ClientCommand::Kind::Include;
        if (words.size() > 1) command.argument = words[1];
    } else if (is("source") || name == "\\.") {
        // The mysql client takes the rest of the line as the file name, blanks and all.
        command.kind = ClientCommand::Kind::Include;
        std::string_view file = rest;
        if (file.ends_with(';')) file = Trimmed(file.substr(0, file.size() - 1));
        command.argument = std::string(file);
    }
    if (command.kind == ClientCommand::Kind::Include && command.argument.empty())
        command.problem = "no file is named";
    return command;
}

} // namespace marlix
