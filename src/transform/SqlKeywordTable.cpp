#include "transform/SqlKeywordTable.h"

#include "core/CaseFold.h"

#include <iterator>

namespace marlix {
namespace {

constexpr KeywordColour kBlue = kKeywordBlue;
constexpr KeywordColour kGray = kKeywordGray;
constexpr KeywordColour kMagenta = kKeywordMagenta;

struct StandardKeyword {
    KeywordColour colour;
    const char* text;
};

// Alphabetical, except INDEX, which follows COMPUTE: IN, stored later, must still be found
// on the node that INDEX passes through.
// clang-format off
constexpr StandardKeyword kStandardKeywords[] = {
    {kBlue, "ADD"}, {kGray, "ALL"}, {kBlue, "ALTER"}, {kGray, "AND"}, {kGray, "ANY"}, {kBlue, "AS"},
    {kBlue, "ASC"}, {kBlue, "AUTHORIZATION"}, {kBlue, "BACKUP"}, {kBlue, "BEGIN"}, {kGray, "BETWEEN"},
    {kBlue, "BREAK"}, {kBlue, "BROWSE"}, {kBlue, "BULK"}, {kBlue, "BY"}, {kBlue, "CASCADE"},
    {kMagenta, "CASE"}, {kBlue, "CHECK"}, {kBlue, "CHECKPOINT"}, {kBlue, "CLOSE"}, {kBlue, "CLUSTERED"},
    {kMagenta, "COALESCE"}, {kBlue, "COLLATE"}, {kBlue, "COLUMN"}, {kBlue, "COMMIT"}, {kBlue, "COMPUTE"},
    {kBlue, "INDEX"}, {kBlue, "CONSTRAINT"}, {kBlue, "CONTAINS"}, {kBlue, "CONTAINSTABLE"},
    {kBlue, "CONTINUE"}, {kMagenta, "CONVERT"}, {kBlue, "CREATE"}, {kGray, "CROSS"}, {kBlue, "CURRENT"},
    {kBlue, "CURRENT_DATE"}, {kBlue, "CURRENT_TIME"}, {kGray, "CURRENT_TIMESTAMP"},
    {kGray, "CURRENT_USER"}, {kBlue, "CURSOR"}, {kBlue, "DATABASE"}, {kBlue, "DBCC"},
    {kBlue, "DEALLOCATE"}, {kBlue, "DECLARE"}, {kBlue, "DEFAULT"}, {kBlue, "DELETE"}, {kBlue, "DENY"},
    {kBlue, "DESC"}, {kBlue, "DISK"}, {kBlue, "DISTINCT"}, {kBlue, "DISTRIBUTED"}, {kBlue, "DOUBLE"},
    {kBlue, "DROP"}, {kBlue, "DUMMY"}, {kBlue, "DUMP"}, {kBlue, "ELSE"}, {kBlue, "END"}, {kBlue, "ERRLVL"},
    {kBlue, "ESCAPE"}, {kBlue, "EXCEPT"}, {kBlue, "EXEC"}, {kBlue, "EXECUTE"}, {kGray, "EXISTS"},
    {kBlue, "EXIT"}, {kBlue, "FETCH"}, {kBlue, "FILE"}, {kBlue, "FILLFACTOR"}, {kBlue, "FOR"},
    {kBlue, "FOREIGN"}, {kBlue, "FREETEXT"}, {kBlue, "FREETEXTTABLE"}, {kBlue, "FROM"}, {kBlue, "FULL"},
    {kBlue, "FUNCTION"}, {kBlue, "GOTO"}, {kBlue, "GRANT"}, {kBlue, "GROUP"}, {kBlue, "HAVING"},
    {kBlue, "HOLDLOCK"}, {kBlue, "IDENTITY"}, {kBlue, "IDENTITY_INSERT"}, {kBlue, "IDENTITYCOL"},
    {kBlue, "IF"}, {kGray, "IN"}, {kBlue, "INNER"}, {kBlue, "INSERT"}, {kBlue, "INTERSECT"},
    {kBlue, "INTO"}, {kBlue, "IS"}, {kGray, "JOIN"}, {kBlue, "KEY"}, {kBlue, "KILL"}, {kMagenta, "LEFT"},
    {kGray, "LIKE"}, {kBlue, "LINENO"}, {kBlue, "LOAD"}, {kBlue, "NATIONAL"}, {kBlue, "NOCHECK"},
    {kBlue, "NONCLUSTERED"}, {kGray, "NOT"}, {kGray, "NULL"}, {kMagenta, "NULLIF"}, {kBlue, "OF"},
    {kBlue, "OFF"}, {kBlue, "OFFSETS"}, {kBlue, "ON"}, {kBlue, "OPEN"}, {kBlue, "OPENDATASOURCE"},
    {kBlue, "OPENQUERY"}, {kBlue, "OPENROWSET"}, {kBlue, "OPENXML"}, {kBlue, "OPTION"}, {kGray, "OR"},
    {kBlue, "ORDER"}, {kGray, "OUTER"}, {kBlue, "OVER"}, {kBlue, "PERCENT"}, {kBlue, "PLAN"},
    {kBlue, "PRECISION"}, {kBlue, "PRIMARY"}, {kBlue, "PRINT"}, {kBlue, "PROC"}, {kBlue, "PROCEDURE"},
    {kBlue, "PUBLIC"}, {kBlue, "RAISERROR"}, {kBlue, "READ"}, {kBlue, "READTEXT"}, {kBlue, "RECONFIGURE"},
    {kBlue, "REFERENCES"}, {kBlue, "REPLICATION"}, {kBlue, "RESTORE"}, {kBlue, "RESTRICT"},
    {kBlue, "RETURN"}, {kBlue, "REVOKE"}, {kGray, "RIGHT"}, {kBlue, "ROLLBACK"}, {kMagenta, "ROWCOUNT"},
    {kBlue, "ROWGUIDCOL"}, {kBlue, "RULE"}, {kBlue, "SAVE"}, {kBlue, "SCHEMA"}, {kBlue, "SELECT"},
    {kMagenta, "SESSION_USER"}, {kBlue, "SET"}, {kBlue, "SETUSER"}, {kBlue, "SHUTDOWN"}, {kGray, "SOME"},
    {kBlue, "STATISTICS"}, {kMagenta, "SYSTEM_USER"}, {kBlue, "TABLE"}, {kBlue, "TEXTSIZE"},
    {kBlue, "THEN"}, {kBlue, "TO"}, {kBlue, "TOP"}, {kBlue, "TRAN"}, {kBlue, "TRANSACTION"},
    {kBlue, "TRIGGER"}, {kBlue, "TRUNCATE"}, {kBlue, "TSEQUAL"}, {kBlue, "UNION"}, {kBlue, "UNIQUE"},
    {kBlue, "UPDATE"}, {kBlue, "UPDATETEXT"}, {kBlue, "USE"}, {kMagenta, "USER"}, {kBlue, "VALUES"},
    {kBlue, "VARYING"}, {kBlue, "VIEW"}, {kBlue, "WAITFOR"}, {kBlue, "WHEN"}, {kBlue, "WHERE"},
    {kBlue, "WHILE"}, {kBlue, "WITH"}, {kBlue, "WRITETEXT"},
};
// clang-format on

static_assert(std::size(kStandardKeywords) == 174);

} // namespace

SqlKeywordTable::SqlKeywordTable() : nodes_(1) {}

int32_t SqlKeywordTable::Child(int32_t node, char folded) const noexcept {
    for (const auto& [c, child] : nodes_[static_cast<size_t>(node)].children)
        if (c == folded) return child;
    return -1;
}

void SqlKeywordTable::Add(KeywordColour colour, std::string_view text) {
    if (text.size() > kMaxKeywordLength) text = text.substr(0, kMaxKeywordLength);
    auto index = static_cast<int32_t>(entries_.size());
    entries_.push_back({colour, std::string(text)});
    if (text.empty()) return;
    int32_t node = 0;
    for (char c : text) {
        char folded = FoldCase(c);
        int32_t next = Child(node, folded);
        if (next < 0) {
            next = static_cast<int32_t>(nodes_.size());
            nodes_[static_cast<size_t>(node)].children.emplace_back(folded, next);
            nodes_.emplace_back();
        }
        node = next;
    }
    nodes_[static_cast<size_t>(node)].keyword = index;
}

int SqlKeywordTable::Find(std::string_view word) const noexcept {
    if (word.empty()) return -1;
    int32_t node = 0;
    for (char c : word) {
        node = Child(node, FoldCase(c));
        if (node < 0) return -1;
    }
    return nodes_[static_cast<size_t>(node)].keyword;
}

void AddStandardKeywords(SqlKeywordTable& table) {
    for (const StandardKeyword& k : kStandardKeywords)
        table.Add(k.colour, k.text);
}

const SqlKeywordTable& StandardKeywordTable() {
    static const SqlKeywordTable table = [] {
        SqlKeywordTable t;
        AddStandardKeywords(t);
        return t;
    }();
    return table;
}

} // namespace marlix
