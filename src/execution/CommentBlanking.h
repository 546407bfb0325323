#pragma once
// What the server receives of a statement: its comments, METADATA blocks and TEXT blocks turned
// into blanks, every character position kept so that offsets the server reports still match the
// script. String literals and quoted names are never touched.
#include "grammar/Token.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace marlix {

// The text of the tokens [firstToken, endToken) from `textStart` to `textEnd`, with the
// comment-like tokens blanked except their tabs, line feeds and carriage returns.
// The server decides whether an executable comment runs; `server` says how this one decides.
struct ExecutableCommentServer {
    int version = 0;      // MySQL-style number (10.11.6 is 101106); 0 when unknown: every one runs
    bool mariadb = false; // "/*M!" runs on MariaDB only
};

// The server as SQL_DBMS_NAME and SQL_DBMS_VER give it, joined by a blank ("MariaDB 10.11.6",
// "MySQL 5.5.5-10.11.6-MariaDB", "MySQL 8.0.36").
ExecutableCommentServer ExecutableCommentServerOf(std::string_view dbmsVersion);

// An executable comment the server would run has its markers blanked and its text sent as SQL;
// one it would skip is blanked whole. Done here rather than by the server because MariaDB
// Connector/ODBC misreads a statement that begins with "/*!": it finds no result set in it and
// the next statement on the connection crashes in the driver.
std::string BlankComments(TokenView script, std::size_t firstToken, std::size_t endToken,
                          std::size_t textStart, std::size_t textEnd, ExecutableCommentServer server = {});

} // namespace marlix
