#pragma once
// Lines a server's own command-line client reads itself instead of sending them: psql's
// meta-commands (a line beginning with a backslash), the mysql client's "source FILE" and
// "\. FILE", the sqlite3 shell's dot-commands; and the data lines psql sends after a
// COPY ... FROM stdin, up to the line "\.". The tokenizer finds them; the batch runs them.
#include "grammar/Token.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace marlix {

// Which client's command lines a script holds: the connection's server decides.
enum class ClientCommands : std::uint8_t { None = 0, Psql = 1, MySql = 2, Sqlite = 3 };

// The end of the client command line that begins at `p` (its first character, after the blanks
// that begin the line): the line end or the end of the text, blanks before it excluded; 0 when
// the line is no command of `commands`.
std::size_t ClientCommandLineEnd(std::string_view text, std::size_t p, ClientCommands commands) noexcept;

// True when the tokens of a statement (comments included, no separator) are a COPY whose data
// come from the client: COPY ... FROM STDIN.
bool IsCopyFromStdin(TokenView script, std::size_t firstToken, std::size_t endToken) noexcept;

// The line "\." that ends COPY data, searched from `from` (the start of a line): where it
// begins and where it ends (before its line end). `found` is false when the text ends first.
struct CopyDataEnd {
    std::size_t lineStart = 0;
    std::size_t lineEnd = 0;
    bool found = false;
};
CopyDataEnd FindCopyDataEnd(std::string_view text, std::size_t from) noexcept;

// A client command line taken apart.
struct ClientCommand {
    enum class Kind {
        Connect,  // psql \connect or \c: another database of the same server
        Accepted, // psql \restrict and \unrestrict: nothing to do
        Include,  // psql \i and \ir, mysql source and \., sqlite3 .read: run a file's statements
        Unknown,  // any other: refused
    };
    Kind kind = Kind::Unknown;
    std::string name;     // the command word as written ("\connect", ".read", "source")
    std::string argument; // the database or file, quotes taken off; empty when none was given
    // Why the argument cannot be used (a \connect naming another user or host); empty when it can.
    std::string problem;
};
ClientCommand ParseClientCommand(std::string_view line);

} // namespace marlix
