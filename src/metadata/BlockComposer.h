#pragma once
// The texts of new METADATA blocks and RESULTSET elements as the metadata wizard writes them.
#include "core/ConversionDescription.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// The wizard's dialect choice that writes no OPTIONS element.
inline constexpr std::string_view kDefaultDialectMarker = "<default>";

// The SELECT statement the wizard may put after a new block.
struct SelectGeneration {
    bool generate = false; // "Generate SELECT statement"
    bool selectAll = true; // "SELECT *" rather than "SELECT fields"
    std::string fieldText; // "SELECT fields": one field per line
};

// The OPTIONS Literals word of a style; null for Inherit, which is written as no attribute.
const char* LiteralStyleName(LiteralStyle style) noexcept;

// The lines of a wizard text box (separated by "\r\n"), empty lines left out.
std::vector<std::string> SplitFieldLines(std::string_view text);

// The RESULTSET element alone: Type, Source and Table in that order, Rows when not 1 and
// CommitEvery when not 0, then a KEYS element with one KEY_<field> child per non-empty key
// field. Starts with '<', ends with "</RESULTSET>".
std::string ComposeResultSetElement(const ConversionDescription& description);

// A whole block: the OPTIONS element unless `dialectName` is kDefaultDialectMarker (with
// Literals when the description's style is not Inherit; without an OPTIONS element the style is
// not written, since an OPTIONS element always names a dialect), the RESULTSET element, the end
// marker and, when asked for, a generated SELECT on the source.
std::string ComposeBlock(const ConversionDescription& description, std::string_view dialectName,
                         const SelectGeneration& select = {});

} // namespace marlix
