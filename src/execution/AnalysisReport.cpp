#include "execution/AnalysisReport.h"

#include "core/HistoryOutput.h"
#include "execution/StandardReport.h"
#include "grammar/TextFault.h"
#include "metadata/AnalysedScript.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace marlix {
namespace {

std::string LineNumber(const AnalysedScript& script, std::size_t offset, int firstLine = 0) {
    return std::to_string(LineOfOffset(script.Text(), offset) + 1 + firstLine);
}

// The failure's report, then the line that names where it is.
void ReportError(const CSyntaxException& error, const std::string& line, HistoryOutput& history,
                 std::string_view host, std::string_view what) {
    ReportFailure(std::make_exception_ptr(error), history);
    std::string note(host);
    note += what;
    if (host.empty())
        note.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(note.front())));
    history.AppendText(note + " error at line " + line + "\r\n", false);
}

std::size_t OffsetOf(const CSyntaxException& error) {
    return static_cast<std::size_t>(std::max(0, error.Offset()));
}

} // namespace

void ReportBlockReading(const AnalysedScript& segment, HistoryOutput& history, std::string_view host, int firstLine) {
    for (const BlockWarning& warning : segment.Warnings())
        history.AppendText(
            "Warning: " + warning.text + " at line " + LineNumber(segment, warning.offset, firstLine) + "\r\n", false);
    if (const auto& error = segment.BlockError())
        ReportError(*error, LineNumber(segment, OffsetOf(*error), firstLine), history, host, "METADATA");
}

void ReportTextFault(const CSyntaxException& fault, int line, HistoryOutput& history, std::string_view host) {
    ReportError(fault, std::to_string(line), history, host, "script");
}

bool ReportAnalysis(const AnalysedScript& script, HistoryOutput& history, std::string_view host) {
    ReportBlockReading(script, history, host, 0);
    const std::optional<CSyntaxException> fault = FindTextFault(script.View());
    if (fault) ReportTextFault(*fault, LineOfOffset(script.Text(), OffsetOf(*fault)) + 1, history, host);
    return !fault;
}

} // namespace marlix
