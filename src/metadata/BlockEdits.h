#pragma once
// The changes the user interface makes to a script's blocks, as text replacements: the editor
// selects [start, end) and replaces it with the text, then rebuilds the analysed script.
#include "core/ConversionDescription.h"
#include "metadata/AnalysedScript.h"
#include "metadata/ElementNode.h"

#include <cstddef>
#include <optional>
#include <string>

namespace marlix {

struct TextEdit {
    std::size_t start = 0; // first character replaced
    std::size_t end = 0;   // one past the last character replaced (== start for an insertion)
    std::string text;      // the new text

    // How far the text after the edit moves.
    std::ptrdiff_t Delta() const noexcept {
        return static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(end - start);
    }
};

// Replaces the edit's range of `text` (as the editor's replace-selection does).
void ApplyEdit(std::string& text, const TextEdit& edit);

// What the wizard shows when opened on the block at a position, and where its RESULTSET is.
struct ResultSetEditStart {
    std::size_t elementStart = 0;
    std::size_t elementEnd = 0;
    std::string sourceTable;      // SOURCE, or TABLE when only that is present
    std::string destinationTable; // TABLE, or SOURCE when only that is present
    std::string typeName;         // TYPE as written, or "SELECT" when absent
    std::string keyFieldText;     // FIELD of every KEYS child in name order, joined with "\r\n"
    std::string dialectName;      // the name of the dialect in force at the position
    int rowsPerStatement = 1;     // ROWS, 1 when absent or not a number of 1 or more
    int commitEvery = 0;          // COMMITEVERY, 0 when absent or not a number of 0 or more
};

// The RESULTSET of the block that holds `position`; none when no block holds it or the block
// has no RESULTSET. `defaultDialect` is the main window's syntax choice.
std::optional<ResultSetEditStart> ResultSetEditAt(const AnalysedScript& script, std::size_t position,
                                                  Dialect defaultDialect);
// Replaces that RESULTSET element with the one composed from the wizard's results; the rest of
// the block stays as it was.
TextEdit ReplaceResultSetEdit(const ResultSetEditStart& start, const ConversionDescription& chosen);

// The RESULTSET element the results view builds for a result set that has none: TYPE, TABLE
// when there is a destination, SOURCE, and KEYS with one child per key field, named by the
// field itself and carrying FIELD.
ElementNode BuildResultSetElement(const ConversionDescription& description, StatementType type);

// A new block holding `element`, to be inserted at `position` (the statement's start).
TextEdit InsertBlockEdit(std::size_t position, const ElementNode& element);
// `element` written again over the text of the element read from [start, end).
TextEdit ReplaceElementEdit(std::size_t start, std::size_t end, const ElementNode& element);

// The results view's conversion choice for a result set: with `item` (its RESULTSET) the
// element gets TYPE and is written again in place; without, a new block is inserted at
// `statementPosition` for an element built from `description`.
TextEdit WriteConversionChoice(const AnalysedScript& script, const ScriptItem* item,
                               std::size_t statementPosition, const ConversionDescription& description,
                               StatementType type);

// The main window's syntax choice: the script's first OPTIONS element gets SYNTAX and is written
// again; a script without one gets an OPTIONS-only block before its first statement.
TextEdit ChangeSyntaxEdit(const AnalysedScript& script, Dialect dialect);

} // namespace marlix
