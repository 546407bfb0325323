#include "metadata/StatementRecord.h"

#include <algorithm>

namespace marlix {

void SplitStatements(TokenView script, std::vector<StatementRecord>& into) {
    into.clear();
    const std::size_t count = script.size();
    // Sized once: a script of a million statements would otherwise move every record it has
    // made some twenty times over as the list grows.
    std::size_t separators = 0;
    for (const Token& token : script.tokens)
        separators += token.separator ? 1 : 0;
    into.reserve(separators + 1);
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

bool StatementHolds(TokenView script, std::size_t firstToken, std::size_t separator, std::size_t position) {
    const std::size_t start = script.tokens[firstToken].offset;
    if (position < start) return false;
    if (position == start && firstToken > 0 && IsStatementSeparator(script, firstToken - 1) &&
        script.tokens[firstToken - 1].End() == start)
        return false;
    return separator >= script.size() || position <= script.tokens[separator].End();
}

const StatementRecord* StatementChosenAt(TokenView script, const std::vector<StatementRecord>& records,
                                         std::size_t position) {
    auto after = std::upper_bound(records.begin(), records.end(), position,
                                  [](std::size_t at, const StatementRecord& record) { return at < record.start; });
    // The last statement starting at or before the position, else the one before it (whose
    // separator the position may stand right after).
    for (int back = 1; back <= 2 && after - records.begin() >= back; ++back) {
        const StatementRecord& record = *(after - back);
        if (StatementHolds(script, record.firstToken, record.endToken, position)) return &record;
    }
    return nullptr;
}

} // namespace marlix
