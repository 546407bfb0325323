#include "metadata/SelectAnalysisCache.h"

namespace marlix {

void SelectAnalysisCache::BeginRun() {
    previous_.swap(current_);
    current_.clear();
}

void SelectAnalysisCache::Analyse(AnalysedDescription& description, TokenView script, std::size_t first,
                                  std::size_t end) {
    if (first >= end) return;
    const std::size_t from = script.tokens[first].offset;
    std::string key(script.text.substr(from, script.tokens[end - 1].End() - from));
    if (auto again = current_.find(key); again != current_.end()) {
        description = again->second;
        return;
    }
    if (auto known = previous_.find(key); known != previous_.end()) {
        description = known->second;
        current_.emplace(std::move(key), std::move(known->second));
        previous_.erase(known);
        return;
    }
    AnalyseSelect(description, script, first, end);
    current_.emplace(std::move(key), description);
}

} // namespace marlix
