#pragma once
// The text of a stored value in its two forms: display text (grid cells) and literal text
// (SQL literals in generated scripts).
#include "core/CellStorage.h"
#include "core/ColumnDescriptor.h"
#include "core/ConversionDescription.h"
#include "core/DialectSettings.h"
// The exact literal forms come with the standard ones for every reader of values.
#include "core/ExactLiteral.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace marlix {

class ResultSet;

// The three wide character types, which MSSQL literals mark with N.
bool IsWideCharacterType(int sqlType) noexcept;

// The stored bytes of one value: the cell at row x columnCount + column, or NULL for a row
// beyond the stored ones. Recorded grid edits of the row are substituted here (previous then
// asks for the value before editing), so every reader of values sees them.
CellRef StoredValueOf(const ResultSet& resultSet, int64_t row, int column, bool previous);

// Text of one stored value, built in the column's scratch text: valid until the next value of
// the same column is formatted. mode is a dialect code or one of the date formatting modes
// kOdbcEscapeMode and kLocaleMode, whose forms `settings` gives (see FormatDateTime). literal
// gives the SQL literal, else the display text.
std::string_view ValueText(ResultSet& resultSet, int64_t row, int column, int mode,
                           const DialectSettingsSet& settings, bool literal, bool previous = false);
std::string_view ValueText(ResultSet& resultSet, int64_t row, int column, Dialect dialect,
                           const DialectSettingsSet& settings, bool literal, bool previous = false);

// Literal text of the bound value of the row just fetched (results converted while fetching).
// boundText is the complete text of a character or binary value (ResultSet::BoundText); the
// overload without it reads the bind buffer.
std::string_view FetchThroughValueText(ColumnDescriptor& column, int mode, const DialectSettingsSet& settings,
                                       std::string_view boundText);
std::string_view FetchThroughValueText(ColumnDescriptor& column, int mode,
                                       const DialectSettingsSet& settings);
// Appends that literal to `out` instead of the column's scratch text.
void AppendFetchThroughValueText(const ColumnDescriptor& column, int mode, const DialectSettingsSet& settings,
                                 std::string_view boundText, std::string& out);

// Appends the value of `cell` in `column` as literal or display text. The display text of a
// character value is the stored text itself, control characters included: a view that draws it
// on one line marks them (see VisibleCellText).
void AppendValueText(const ColumnDescriptor& column, const CellRef& cell, int mode,
                     const DialectSettingsSet& settings, bool literal, std::string& out);

// Appends character text: in literal mode between apostrophes (N' opening it when national),
// in both modes with apostrophes doubled, line feed and carriage return written as \n and \r,
// and other control characters as '?'. With backslashEscapes (literals for MYSQL, which reads a
// backslash as an escape in any case) a backslash is doubled, so \n and \r read as the breaks.
void AppendCharacterText(std::string_view text, bool literal, bool national, std::string& out,
                         bool backslashEscapes = false);

} // namespace marlix
