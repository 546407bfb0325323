#pragma once
// The RESULTSET and OPTIONS elements found while reading a script's blocks, in reading order.
// The results view links result sets to their RESULTSET items; the syntax items decide which
// dialect governs a position.
#include "core/ConversionDescription.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace marlix {

enum class ScriptItemKind : int { ResultSet = 1, Syntax = 4 };

struct ScriptItem {
    std::uint64_t number = 0; // running number, unique over the whole program run
    ScriptItemKind kind = ScriptItemKind::ResultSet;
    std::size_t start = 0;            // offset of the element's '<'
    std::size_t end = 0;              // one past the element's closing '>' or "/>"
    std::string block;                // name of the block node under "GlobalRoot" that holds the element
    std::size_t statement = 0;        // index of the statement the block belongs to
    Dialect dialect = Dialect::MSSQL; // syntax items: the dialect named by SYNTAX
};

// Next value of the program-wide item counter (thread-safe).
std::uint64_t NextScriptItemNumber() noexcept;

} // namespace marlix
