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

std::string LineNumber(const AnalysedScript& script, std::size_t offset) {
    return std::to_string(LineOfOffset(script.Text(), offset) + 1);
}

// The failure's report, then the line that names where it is.
void ReportError(const AnalysedScript& script, const CSyntaxException& error, HistoryOutput& history,
                 std::string_view host, std::string_view what) {
    ReportFailure(std::make_exception_ptr(error), history);
    std::string note(host);
    note += what;
    if (host.empty())
        note.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(note.front())));
    history.AppendText(note + " error at line " +
                           LineNumber(script, static_cast<std::size_t>(std::max(0, error.Offset()))) + "\r\n",
                       false);
}

} // namespace

bool ReportAnalysis(const AnalysedScript& script, HistoryOutput& history, std::string_view host) {
    for (const BlockWarning& warning : script.Warnings())
        history.AppendText(
            "Warning: " + warning.text + " at line " + LineNumber(script, warning.offset) + "\r\n", false);
    if (script.BlockError()) ReportError(script, *script.BlockError(), history, host, "METADATA");
    const std::optional<CSyntaxException> fault = FindTextFault(script.View());
    if (fault) ReportError(script, *fault, history, host, "script");
    return !fault;
}

} // namespace marlix
