#pragma once
// What analysing a script found, told in the Execution history before the script runs, alike in
// the window and the runner: a warning for each attribute of its METADATA blocks that the reader
// ignored, the error that stopped the reading of its blocks, and a fault of its text that keeps
// it from running (FindTextFault).
#include <string_view>

namespace marlix {

class AnalysedScript;
class CSyntaxException;
class HistoryOutput;

// Each warning names its line. Each error marks its line and is followed by a line that names
// it: "METADATA error at line N" or "script error at line N", after `host` ("marlix-cli: " for
// the runner; the window gives none). Returns false when the script must not run.
bool ReportAnalysis(const AnalysedScript& script, HistoryOutput& history, std::string_view host);

// The segments of it for a script read segment by segment: `firstLine` is the zero-based line of the
// segment's first character in the whole script. The warnings and the METADATA error of one segment;
// a fault of the text, at its one-based `line`.
void ReportBlockReading(const AnalysedScript& segment, HistoryOutput& history, std::string_view host, int firstLine);
void ReportTextFault(const CSyntaxException& fault, int line, HistoryOutput& history, std::string_view host);

} // namespace marlix
