#pragma once
// What the batch does itself instead of sending it to the server: the client command lines of a
// script (psql's \connect, \restrict, \i; mysql's source; sqlite3's .read), and the statements a
// server's own client handles (COPY ... FROM stdin; SET NAMES on MySQL and MariaDB, whose
// character set the driver owns).
#include "grammar/Token.h"

#include <cstddef>

namespace marlix {

class Batch;

// Runs the client command token of the batch's current script in a history entry of its own.
// Throws CSyntaxException naming its line for a command that is refused: nothing of it was run.
void RunClientCommand(Batch& batch, const Token& command);

// Runs the statement of tokens [firstToken, separatorToken) of the current script on the client
// when it is one of those: true when it did (its history entry open, and ended on success).
bool RunOnClient(Batch& batch, std::size_t firstToken, std::size_t separatorToken, std::size_t firstWord);

} // namespace marlix
