#include "core/CaseFold.h"
#include "metadata/StatementRecord.h"

namespace marlix {

bool IsStatementSeparator(TokenView script, std::size_t token) noexcept {
    const Token& t = script.tokens[token];
    if (t.cls == TokenClass::Punctuation) return t.length == 1 && script.text[t.offset] == ';';
    return t.cls == TokenClass::Word && EqualsFolded(script.TextOf(t), "GO");
}

void SplitStatements(TokenView script, std::vector<StatementRecord>& into) {
    into.clear();
    const std::size_t count = script.size();
    std::size_t first = 0;
    auto add = [&](std::size_t endToken, std::size_t endOffset) {
        StatementRecord& r = into.emplace_back();
        r.firstToken = first;
        r.endToken = endToken;
        r.start = script.tokens[first].offset;
        r.end = endOffset;
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsStatementSeparator(script, i)) continue;
        if (i > first) add(i, script.tokens[i].offset);
        first = i + 1;
    }
    if (first < count) add(count, script.text.size());
}

std::vector<StatementRecord> SplitStatements(TokenView script) {
    std::vector<StatementRecord> records;
    SplitStatements(script, records);
    return records;
}

} // namespace marlix
