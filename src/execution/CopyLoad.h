#pragma once
// COPY ... FROM STDIN as psql runs it: the data lines that follow the statement in the script are
// read here and inserted through a prepared INSERT of many rows (VALUES (?, ?), (?, ?), ...), the
// values bound as text for the server to convert, all in one transaction. (Parameter arrays of a
// one-row INSERT cost psqlODBC a round trip per row.)
#include <cstddef>

namespace marlix {

class Batch;

// Rows inserted per execution of the prepared INSERT (fewer for tables of over 6 columns).
inline constexpr std::size_t kCopyRowsPerExecute = 1000;
inline constexpr std::size_t kCopyParametersPerExecute = 6000;

// Loads the data token `dataToken` of the COPY statement that begins at `firstToken` of the
// batch's current script (its ";" just before the data), in the history entry the statement
// opened, and ends the entry. A statement or data line that cannot be read fails with an error
// naming its line; a refusal of the server names the lines of the rows it was sent with.
void LoadCopyData(Batch& batch, std::size_t firstToken, std::size_t dataToken, std::size_t firstWord);

} // namespace marlix
