#include "metadata/BlockComposer.h"

#include "core/DialectNames.h"
#include "metadata/ElementNode.h"

namespace marlix {

const char* LiteralStyleName(LiteralStyle style) noexcept {
    switch (style) {
    case LiteralStyle::Exact:
        return "EXACT";
    case LiteralStyle::Standard:
        return "STANDARD";
    default:
        return nullptr;
    }
}

std::vector<std::string> SplitFieldLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t brk = text.find("\r\n");
        const std::string_view line = text.substr(0, brk);
        if (!line.empty()) lines.emplace_back(line);
        if (brk == std::string_view::npos) break;
        text.remove_prefix(brk + 2);
    }
    return lines;
}

std::string ComposeResultSetElement(const ConversionDescription& description) {
    std::string out = "<RESULTSET Type = \"";
    out += StatementTypeName(description.type);
    out += "\", Source = \"";
    out += AttributeValue(description.sourceTable);
    out += "\", Table = \"";
    out += AttributeValue(description.destinationTable);
    // Only values other than the defaults are written, so blocks without them read as before.
    if (description.rowsPerStatement != 1) {
        out += "\", Rows = \"";
        out += std::to_string(description.rowsPerStatement);
    }
    if (description.commitEvery != 0) {
        out += "\", CommitEvery = \"";
        out += std::to_string(description.commitEvery);
    }
    out += "\">\r\n\t\t<KEYS>\r\n";
    for (const std::string& field : description.keyFields) {
        if (field.empty()) continue;
        out += "\t\t\t<KEY_";
        out += field;
        out += " Field = \"";
        out += AttributeValue(field);
        out += "\"/>\r\n";
    }
    out += "\t\t</KEYS>\r\n\t</RESULTSET>";
    return out;
}

std::string ComposeBlock(const ConversionDescription& description, std::string_view dialectName,
                         const SelectGeneration& select) {
    std::string out = "/*METADATA>\r\n";
    if (dialectName != kDefaultDialectMarker) {
        out += "\t<OPTIONS Syntax = \"";
        out += dialectName;
        if (const char* literals = LiteralStyleName(description.literals)) {
            out += "\", Literals = \"";
            out += literals;
        }
        out += "\"/>\r\n\t";
    }
    out += ComposeResultSetElement(description);
    out += "\r\n</METADATA*/\r\n\r\n";
    if (select.generate) {
        out += "\r\nSELECT ";
        if (select.selectAll) {
            out += " * FROM ";
        } else {
            bool first = true;
            for (const std::string& field : SplitFieldLines(select.fieldText)) {
                if (!first) out += ", ";
                first = false;
                out += field;
            }
            out += " FROM ";
        }
        out += description.sourceTable;
        out += ";\r\n";
    }
    return out;
}

} // namespace marlix
