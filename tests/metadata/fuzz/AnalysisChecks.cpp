#include "AnalysisChecks.h"

#include "metadata/AnalysedScript.h"
#include "metadata/BlockEdits.h"

#include <string>

namespace marlix::fuzzcheck {

namespace {

std::string CheckScript(const AnalysedScript& s) {
    const std::size_t size = s.Text().size();
    const std::size_t tokens = s.Script().Tokens().size();
    if (const auto& error = s.BlockError()) {
        if (error->Offset() < 0 || static_cast<std::size_t>(error->Offset()) >= size)
            return "syntax error offset " + std::to_string(error->Offset()) + " outside the text";
        if (error->Message().empty()) return "syntax error without a message";
    }
    std::size_t previousEnd = 0;
    for (const StatementRecord& r : s.Statements()) {
        if (r.firstToken >= r.endToken || r.endToken > tokens) return "statement token range out of order";
        if (r.start < previousEnd || r.start > r.end || r.end > size)
            return "statement text range out of order";
        if (r.endToken < tokens && !IsStatementSeparator(s.View(), r.endToken))
            return "statement ends at a token that is no separator";
        for (std::size_t t = r.firstToken; t < r.endToken; ++t)
            if (IsStatementSeparator(s.View(), t)) return "separator inside a statement";
        previousEnd = r.end;
    }
    for (const auto* items : {&s.ResultSetItems(), &s.SyntaxItems()})
        for (const ScriptItem& item : *items) {
            if (item.start >= item.end || item.end > size) return "item range outside the text";
            if (!s.ItemElement(item)) return "item without its element";
            if (item.statement >= s.Statements().size()) return "item of no statement";
        }
    for (const auto& [name, block] : s.Root().Children())
        if (block->Start() > block->End() || block->End() > size) return "block range outside the text";
    return {};
}

std::string CheckEdit(const AnalysedScript& s, const TextEdit& edit, const char* what) {
    if (edit.start > edit.end || edit.end > s.Text().size())
        return std::string(what) + ": range outside the text";
    std::string text = s.Text();
    ApplyEdit(text, edit);
    AnalysedScript edited;
    edited.Rebuild(std::move(text));
    const std::string failure = CheckScript(edited);
    return failure.empty() ? failure : std::string(what) + ": " + failure;
}

} // namespace

std::string CheckAnalysis(std::string_view script) {
    AnalysedScript s;
    s.Rebuild(std::string(script));
    if (std::string failure = CheckScript(s); !failure.empty()) return failure;

    if (std::string failure = CheckEdit(s, ChangeSyntaxEdit(s, Dialect::ORACLE), "syntax change");
        !failure.empty())
        return failure;
    if (!s.ResultSetItems().empty()) {
        const ScriptItem& item = s.ResultSetItems().front();
        const TextEdit edit = WriteConversionChoice(s, &item, 0, {}, StatementType::DELETE);
        if (std::string failure = CheckEdit(s, edit, "conversion choice"); !failure.empty()) return failure;
    }
    if (const auto start = ResultSetEditAt(s, s.Text().size() / 2, Dialect::MSSQL)) {
        ConversionDescription d;
        d.sourceTable = start->sourceTable;
        d.keyFields = {"k"};
        if (std::string failure = CheckEdit(s, ReplaceResultSetEdit(*start, d), "wizard edit");
            !failure.empty())
            return failure;
    }
    return {};
}

} // namespace marlix::fuzzcheck
