#pragma once
// Character values as exact literals: the target stores every character of the value, whichever
// client reads the script and whatever it does to the script's line ends.
#include "core/ConversionDescription.h"

#include <string>
#include <string_view>

namespace marlix {

// Appends `text` as a literal of `dialect`; `wide` marks the national character types (N'...'
// for MSSQL). Apostrophes are doubled; tabs and all other characters but the control characters
// are copied as they are. A value with control characters (line breaks above all, which a script
// file's line ends would change) is written in the target's escaped form, whose parse depth does
// not grow with the value:
// - MYSQL always: backslashes doubled, \0 \b \n \r \Z for NUL, backspace, LF, CR and Ctrl+Z.
// - POSTGRESQL E'...' (\n, \r, the others as three octal digits, backslashes doubled).
// - GENERIC U&'...' and ORACLE UNISTR('...'), with \000A escapes and backslashes doubled.
// - SQLITE the value's UTF-8 bytes read as text: CAST(X'610A62' AS TEXT).
// - MSSQL, FIREBIRD and ACCESS have no escapes: quoted runs joined to the code calls CHAR(10)
//   (NCHAR), ASCII_CHAR(10), Chr(10), grouped in parentheses so that no chain is longer than
//   a few terms; SQL Server, which cuts a concatenation at 8000 bytes unless one of its strings
//   is a (MAX) type, gets CAST('' AS VARCHAR(MAX)) (NVARCHAR) at the head of each group of a
//   value longer than 4000 bytes.
// PostgreSQL's text cannot hold NUL and GENERIC has no sure way to write it: such a value throws
// CSyntaxException (offset 0) naming `columnName`.
void AppendExactCharacterLiteral(std::string_view text, Dialect dialect, bool wide,
                                 std::string_view columnName, std::string& out);

} // namespace marlix
