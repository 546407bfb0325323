#pragma once
// The editor analyses the whole script again after every keystroke, but a keystroke changes one
// statement. A SELECT's analysis depends on its own text only, so the analyses of the previous
// run are kept by statement text and reused; only changed statements are parsed again.
#include "grammar/SelectAnalysis.h"

#include <string>
#include <unordered_map>

namespace marlix {

class SelectAnalysisCache {
public:
    // A new run begins: what the last run analysed becomes the reusable set.
    void BeginRun();
    // The analysis of the SELECT in tokens [first, end), from the last run when its text was
    // analysed there, otherwise parsed now. Same result as AnalyseSelect on a fresh description.
    void Analyse(AnalysedDescription& description, TokenView script, std::size_t first, std::size_t end);

private:
    std::unordered_map<std::string, AnalysedDescription> previous_;
    std::unordered_map<std::string, AnalysedDescription> current_;
};

} // namespace marlix
