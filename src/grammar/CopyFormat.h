#pragma once
// What a COPY ... FROM STDIN statement asks for (table, columns, format options) and the reader
// of its data lines in PostgreSQL's text and CSV formats, as psql would send them to the server.
#include "grammar/Token.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

struct CopyStatement {
    std::string table;                // as written, quotes and schema included
    std::vector<std::string> columns; // as written; empty: every column of the table
    bool csv = false;
    bool header = false;  // CSV: the first line names the columns and is skipped
    char delimiter = '\t';
    std::string null = "\\N";
    char quote = '"';
    char escape = '"';
};

// Reads the tokens [firstToken, endToken) of a COPY ... FROM STDIN (comments skipped; the ";"
// and the data excluded). Returns an empty text, or why the statement cannot be read.
std::string ParseCopyStatement(TokenView script, std::size_t firstToken, std::size_t endToken,
                               CopyStatement& into);

// A data line that cannot be read: its zero-based line within the data and why.
struct CopyDataError {
    std::size_t line = 0;
    std::size_t offset = 0; // where the row begins in the data
    std::string message;
};

// The rows of a data block, one at a time. Text format: fields split at the delimiter, the null
// text for NULL, backslash escapes \b \f \n \r \t \v \\ \digits \xHH (any other character after
// a backslash stands for itself). CSV: quoted fields may hold delimiters, quotes (doubled, or
// after the escape character) and line ends. A line end is LF or CR LF.
class CopyReader {
public:
    CopyReader(std::string_view data, const CopyStatement& statement);
    // The next row into `values` (`nulls[i]` set for a NULL); false after the last. Throws
    // CopyDataError for a row whose fields are not `columns` or cannot be read.
    bool Next(std::size_t columns, std::vector<std::string>& values, std::vector<char>& nulls);
    // The zero-based line within the data where the row last read began.
    std::size_t RowLine() const noexcept { return rowLine_; }
    // Where in the data the row last read began.
    std::size_t RowOffset() const noexcept { return rowAt_; }

private:
    bool NextText(std::size_t columns, std::vector<std::string>& values, std::vector<char>& nulls);
    bool NextCsv(std::size_t columns, std::vector<std::string>& values, std::vector<char>& nulls);
    void Fail(std::string message) const;

    std::string_view data_;
    const CopyStatement& statement_;
    std::size_t at_ = 0;
    std::size_t line_ = 0;    // the line at at_
    std::size_t rowLine_ = 0; // the line where the last row began
    std::size_t rowAt_ = 0;   // and its offset
};

} // namespace marlix
