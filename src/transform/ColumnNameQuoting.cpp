#include "transform/ColumnNameQuoting.h"

#include "transform/SqlKeywordTable.h"

#include <algorithm>

namespace marlix {
namespace {

bool IsPlainNameCharacter(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

} // namespace

std::string_view ShortColumnName(std::string_view name) noexcept {
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

bool ColumnNameNeedsQuoting(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return true;
    for (char c : name)
        if (!IsPlainNameCharacter(c)) return true;
    return StandardKeywordTable().IsKeyword(name);
}

bool ColumnNameNeedsQuoting(std::string_view name, Dialect dialect) {
    if (ColumnNameNeedsQuoting(name)) return true;
    if (dialect != Dialect::POSTGRESQL && dialect != Dialect::SQLITE) return false;
    // Both read a leading '$' as a parameter.
    if (name[0] == '$') return true;
    // PostgreSQL folds unquoted names to lower case: a name with capitals exists only quoted.
    if (dialect == Dialect::POSTGRESQL)
        for (char c : name)
            if (c >= 'A' && c <= 'Z') return true;
    return false;
}

void AppendQuotedName(std::string_view name, Dialect dialect, std::string& out) {
    const bool brackets = dialect == Dialect::ACCESS;
    const char close = brackets ? ']' : '"';
    out += brackets ? '[' : '"';
    for (char c : name) {
        out += c;
        if (c == close) out += c;
    }
    out += close;
}

namespace {

// MySQL's own quotes, which it reads whatever its SQL mode.
void AppendBacktickedName(std::string_view name, std::string& out) {
    out += '`';
    for (char c : name) {
        out += c;
        if (c == '`') out += c;
    }
    out += '`';
}

} // namespace

std::string QuotedTableName(std::string_view name, Dialect dialect, bool exact) {
    std::string out;
    size_t start = 0;
    while (start <= name.size()) {
        // A part runs to the next '.' outside quotes; a closing quote doubled stands for itself.
        size_t end = start;
        const char open = end < name.size() ? name[end] : '\0';
        const char close = open == '[' ? ']' : open;
        const bool quoted = open == '"' || open == '[' || open == '`';
        if (quoted)
            for (++end; end < name.size(); ++end)
                if (name[end] == close && (end + 1 >= name.size() || name[++end] != close)) break;
        end = std::min(name.find('.', end), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (start) out += '.';
        if (quoted || !ColumnNameNeedsQuoting(part, dialect))
            out += part;
        else if (exact && dialect == Dialect::MYSQL)
            AppendBacktickedName(part, out);
        else
            AppendQuotedName(part, dialect, out);
        start = end + 1;
    }
    return out;
}

const std::string& QuotedColumnName(ColumnDescriptor& column, Dialect dialect, bool exact) {
    const bool backticks = exact && dialect == Dialect::MYSQL;
    const int code = static_cast<int>(dialect) + (backticks ? kDialectCount : 0);
    if (column.quotedFor == code) return column.quotedShortName;
    const std::string_view name = column.Name();
    const std::string_view shortName = ShortColumnName(name);
    // The decision is made on the part that is written, so that dbo.T.Name stays plain while
    // T.ORDER or T.2nd are quoted.
    const bool quote = ColumnNameNeedsQuoting(shortName, dialect);
    column.quotedName.clear();
    column.quotedShortName.clear();
    if (quote && backticks) {
        AppendBacktickedName(name, column.quotedName);
        AppendBacktickedName(shortName, column.quotedShortName);
    } else if (quote) {
        AppendQuotedName(name, dialect, column.quotedName);
        AppendQuotedName(shortName, dialect, column.quotedShortName);
    } else {
        column.quotedName = name;
        column.quotedShortName = shortName;
    }
    column.quotedFor = code;
    return column.quotedShortName;
}

} // namespace marlix
