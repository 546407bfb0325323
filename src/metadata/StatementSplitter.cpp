#include "metadata/StatementRecord.h"

namespace marlix {

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
