#include "execution/ClientCommandRun.h"

#include "core/CaseFold.h"
#include "core/HistoryOutput.h"
#include "core/SyntaxException.h"
#include "db/ODBCSession.h"
#include "execution/Batch.h"
#include "execution/CopyLoad.h"
#include "grammar/ClientCommand.h"
#include "metadata/AnalysedScript.h"

#include <cctype>
#include <string>
#include <vector>

namespace marlix {
namespace {

// The words of a statement without its comments, up to `limit` of them.
std::vector<std::string_view> LeadingWords(TokenView script, std::size_t first, std::size_t end, std::size_t limit) {
    std::vector<std::string_view> words;
    for (std::size_t i = first; i < end && words.size() < limit; ++i)
        if (!IsCommentLike(script.tokens[i].cls)) words.push_back(script.TextOf(i));
    return words;
}

// SET NAMES x, SET CHARACTER SET x, SET CHARSET x, also as the text of an executable comment
// "/*!40101 SET NAMES utf8mb4 */".
bool SetsCharacterSet(std::vector<std::string_view> words) {
    if (!words.empty() && words[0].starts_with("/*!")) {
        std::string_view inner = words[0].substr(3);
        while (!inner.empty() && (std::isdigit(static_cast<unsigned char>(inner[0])) || inner[0] == ' '))
            inner.remove_prefix(1);
        words.clear();
        for (std::size_t at = 0; words.size() < 3;) {
            while (at < inner.size() && std::isspace(static_cast<unsigned char>(inner[at])))
                ++at;
            std::size_t end = at;
            while (end < inner.size() && !std::isspace(static_cast<unsigned char>(inner[end])))
                ++end;
            if (end == at) break;
            words.push_back(inner.substr(at, end - at));
            at = end;
        }
    }
    if (words.size() < 2 || !EqualsFolded(words[0], "SET")) return false;
    return EqualsFolded(words[1], "NAMES") || EqualsFolded(words[1], "CHARSET") ||
           (words.size() > 2 && EqualsFolded(words[1], "CHARACTER") && EqualsFolded(words[2], "SET"));
}

// COPY ... TO STDOUT, or COPY ... FROM STDIN where no data lines follow: the server would wait
// on the connection for data it never gets. The refusal, or empty.
std::string ClientStreamRefusal(TokenView script, std::size_t first, std::size_t end) {
    std::string_view previous;
    for (std::size_t i = first; i < end; ++i) {
        if (IsCommentLike(script.tokens[i].cls)) continue;
        const std::string_view word = script.TextOf(i);
        if (previous.empty() && !EqualsFolded(word, "COPY")) return {};
        if (EqualsFolded(previous, "FROM") && EqualsFolded(word, "STDIN"))
            return "COPY FROM STDIN runs only on a PostgreSQL connection, with its data lines after it up to "
                   "the line \"\\.\"";
        if (EqualsFolded(previous, "TO") && EqualsFolded(word, "STDOUT"))
            return "COPY TO STDOUT is not run: use SELECT for the rows";
        previous = word;
    }
    return {};
}

} // namespace

void RunClientCommand(Batch& batch, const Token& command) {
    HistoryOutput& history = batch.History();
    const std::string_view line = batch.Script().View().TextOf(command);
    const ClientCommand parsed = ParseClientCommand(line);
    if (parsed.kind == ClientCommand::Kind::Accepted) return; // nothing to do, nothing to say
    batch.BeginEntry(command.offset, command.length);
    const auto refuse = [&](const std::string& why) {
        throw CSyntaxException(static_cast<std::int32_t>(command.offset),
                               "Client command " + parsed.name + " at " + batch.Where(command.offset) + ": " + why);
    };
    if (!parsed.problem.empty()) refuse(parsed.problem);
    switch (parsed.kind) {
    case ClientCommand::Kind::Unknown:
        refuse("not a command this program runs; nothing of the line was sent");
        break;
    case ClientCommand::Kind::Accepted:
        break;
    case ClientCommand::Kind::Connect:
        if (const int open = batch.Session().StatementsSinceCommit(); open > 0)
            refuse(std::to_string(open) + " statement(s) since the last commit would be lost: commit first");
        batch.ConnectToDatabase(parsed.argument, command.offset);
        history.AppendText("Connected to database " + parsed.argument + "\r\n", false);
        break;
    case ClientCommand::Kind::Include:
        history.AppendText("Running " + parsed.argument + "\r\n", false);
        history.EndEntry(batch.Sink().Length());
        batch.RunInclude(parsed.argument, command.offset, command.length);
        return;
    }
    history.EndEntry(batch.Sink().Length());
}

bool RunOnClient(Batch& batch, std::size_t firstToken, std::size_t separatorToken, std::size_t firstWord) {
    const TokenView script = batch.Script().View();
    for (std::size_t i = firstToken; i < separatorToken; ++i)
        if (script.tokens[i].role == TokenRole::CopyData) {
            LoadCopyData(batch, firstToken, i, firstWord);
            return true;
        }
    if (std::string refusal = ClientStreamRefusal(script, firstToken, separatorToken); !refusal.empty())
        throw CSyntaxException(static_cast<std::int32_t>(firstWord), refusal + " (" + batch.Where(firstWord) + ")");
    if (batch.Script().Options().backslashEscapes &&
        SetsCharacterSet(LeadingWords(script, firstToken, separatorToken, 3))) {
        batch.History().AppendText("Skipped: the connection's character set is the ODBC driver's\r\n", false);
        batch.History().EndEntry(batch.Sink().Length());
        return true;
    }
    return false;
}

} // namespace marlix
