#pragma once
// The exact literal forms of values in generated scripts: the target stores exactly the value
// fetched, whatever its session's date settings.
#include "core/CellStorage.h"
#include "core/ColumnDescriptor.h"
#include "core/ConversionDescription.h"

#include <string>
#include <string_view>

namespace marlix {

// How each kind of value is written:
// - Character values as AppendExactCharacterLiteral (core/ExactTextLiteral.h) writes them.
// - Binary values: MSSQL and ACCESS 0x0AFF, MYSQL, SQLITE and GENERIC X'0AFF', POSTGRESQL
//   '\x0AFF', ORACLE HEXTORAW('0AFF'), FIREBIRD x'0AFF'; the empty value in the same form.
//   A GUID as its text 'XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX' (ACCESS: as binary).
// - Numbers as the stored text (ResultSet stores floating-point values with the digits that
//   read back as the same number); NaN, infinities and negative zero in the target's own form
//   (AppendSpecialNumber), a CSyntaxException naming the column and the value where it has none;
//   a bit as 1 or 0, quoted for POSTGRESQL; any other value that is no plain number (intervals)
//   as a character literal.
// - Dates, times and timestamps as FormatExactDateTime writes them; a timestamp with a time zone
//   with its offset (ColumnDescriptor::zone). What the timestamp structure cannot hold (stored as
//   the driver's text) is written as that text for the target that holds it (MYSQL: zero dates,
//   negative times; POSTGRESQL: BC dates, infinities; SQLITE: any), as is a time past a day for
//   MYSQL and SQLITE; elsewhere such a value throws CSyntaxException naming the column and the
//   value.
void AppendExactLiteral(const ColumnDescriptor& column, const CellRef& cell, Dialect dialect,
                        std::string& out);
// The same from the bound value of the row just fetched; boundText as for
// AppendFetchThroughValueText.
void AppendExactFetchThroughLiteral(const ColumnDescriptor& column, Dialect dialect,
                                    std::string_view boundText, std::string& out);

} // namespace marlix
