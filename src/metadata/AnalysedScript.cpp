#include "metadata/AnalysedScript.h"

#include "metadata/BlockReader.h"

#include <algorithm>

namespace marlix {

AnalysedScript::AnalysedScript() : text_(std::make_shared<const std::string>()), root_(kGlobalRootName) {
    Tokenize(*text_, script_);
}

void AnalysedScript::Rebuild(std::string text, TokenizerOptions options) {
    Rebuild(std::move(text), options, ScriptCarry());
}

void AnalysedScript::Rebuild(std::string text, TokenizerOptions options, const ScriptCarry& carry) {
    text_ = std::make_shared<const std::string>(std::move(text));
    options_ = options;
    Tokenize(*text_, script_, options_, carry.delimiter);
    SplitStatements(script_.View(), statements_);
    resultSetItems_.clear();
    syntaxItems_.clear();
    root_ = ElementNode(kGlobalRootName);
    currentDialect_.reset();
    blockError_.reset();
    warnings_.clear();
    if (!carry.readBlocks) return;
    BlockReader reader(script_.View(), {root_, resultSetItems_, syntaxItems_, currentDialect_, warnings_});
    try {
        reader.ReadAll(statements_, carry.literals);
    } catch (const CSyntaxException& e) {
        blockError_ = e;
    }
}

Dialect AnalysedScript::SyntaxAt(std::size_t position, Dialect fallback) const noexcept {
    const auto after =
        std::partition_point(syntaxItems_.begin(), syntaxItems_.end(),
                             [position](const ScriptItem& item) { return item.start < position; });
    return after == syntaxItems_.begin() ? fallback : std::prev(after)->dialect;
}

int AnalysedScript::BlockErrorLine() const noexcept {
    if (!blockError_) return -1;
    return LineOfOffset(*text_, static_cast<std::size_t>(std::max(0, blockError_->Offset())));
}

const StatementRecord* AnalysedScript::StatementAt(std::size_t position) const noexcept {
    const auto after =
        std::partition_point(statements_.begin(), statements_.end(),
                             [position](const StatementRecord& s) { return s.start <= position; });
    if (after == statements_.begin()) return nullptr;
    const StatementRecord& s = *std::prev(after);
    return position <= s.end ? &s : nullptr;
}

const ElementNode* AnalysedScript::BlockAt(std::size_t position) const noexcept {
    for (const auto& [name, block] : root_.Children())
        if (block->Start() <= position && position < block->End()) return block.get();
    return nullptr;
}

const ElementNode* AnalysedScript::ItemElement(const ScriptItem& item) const noexcept {
    const ElementNode* block = root_.FindChild(item.block);
    if (!block) return nullptr;
    return block->FindChild(item.kind == ScriptItemKind::ResultSet ? "RESULTSET" : "OPTIONS");
}

int LineOfOffset(std::string_view text, std::size_t offset) noexcept {
    offset = std::min(offset, text.size());
    int line = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
        } else if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) {
            ++line;
        }
    }
    return line;
}

} // namespace marlix
