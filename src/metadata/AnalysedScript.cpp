#include "metadata/AnalysedScript.h"

#include "metadata/BlockReader.h"

#include <algorithm>

namespace marlix {

AnalysedScript::AnalysedScript() : text_(std::make_shared<std::string>()), root_(kGlobalRootName) {
    Tokenize(*text_, script_);
}

void AnalysedScript::Rebuild(std::string text, TokenizerOptions options) {
    text_ = std::make_shared<std::string>(std::move(text));
    options_ = options;
    AnalyseWhole();
}

void AnalysedScript::AnalyseWhole() {
    history_.edits.clear();
    Tokenize(*text_, script_, options_);
    plain_ = std::none_of(script_.Tokens().begin(), script_.Tokens().end(), CarriesState);
    SplitStatements(script_.View(), statements_);
    ReadBlocks(nullptr);
}

void AnalysedScript::ReadBlocks(const std::vector<char>* known) {
    resultSetItems_.clear();
    syntaxItems_.clear();
    root_ = ElementNode(kGlobalRootName);
    currentDialect_.reset();
    blockError_.reset();
    warnings_.clear();
    for (std::size_t i = 0; i < statements_.size(); ++i) {
        statements_[i].description = ConversionDescription();
        if (!known || !(*known)[i]) statements_[i].analysed = AnalysedDescription();
    }
    BlockReader reader(script_.View(), {root_, resultSetItems_, syntaxItems_, currentDialect_, warnings_});
    reader.KeepAnalyses(known);
    try {
        reader.ReadAll(statements_);
    } catch (const CSyntaxException& e) {
        blockError_ = e;
        errorStatement_ = reader.Current();
        // The reading stopped there: no statement from that one on was analysed.
        for (std::size_t i = errorStatement_; i < statements_.size(); ++i)
            statements_[i].analysed = AnalysedDescription();
    }
}

void AnalysedScript::Edit(std::string text, std::size_t at, std::size_t removed, std::size_t inserted) {
    const std::string& old = *text_;
    if (at + removed > old.size() || at + inserted > text.size() || old.size() - removed + inserted != text.size()) {
        text_ = std::make_shared<std::string>(std::move(text));
        AnalyseWhole();
        return;
    }
    std::string removedText = old.substr(at, removed);
    text_ = std::make_shared<std::string>(std::move(text));
    Update(at, removed, inserted, std::move(removedText));
}

void AnalysedScript::ApplyEdit(std::size_t at, std::size_t removed, std::string_view inserted) {
    at = std::min(at, text_->size());
    removed = std::min(removed, text_->size() - at);
    std::string removedText = text_->substr(at, removed);
    if (text_.use_count() > 1) text_ = std::make_shared<std::string>(*text_);
    text_->replace(at, removed, inserted);
    Update(at, removed, inserted.size(), std::move(removedText));
}

void AnalysedScript::Update(std::size_t at, std::size_t removed, std::size_t inserted, std::string removedText) {
    const std::string_view text = *text_;
    const std::int64_t shift = static_cast<std::int64_t>(inserted) - static_cast<std::int64_t>(removed);
    const std::size_t oldTokenCount = script_.Tokens().size();
    const std::size_t oldTextSize = text.size() - inserted + removed;
    // The edit that undoes the last one gets back what that one replaced.
    std::optional<Replaced> undone;
    if (!history_.edits.empty()) {
        const Replaced& last = history_.edits.back();
        if (last.at == at && last.inserted == removed && last.removedText.size() == inserted &&
            text.substr(at, inserted) == last.removedText) {
            undone = std::move(history_.edits.back());
            history_.edits.pop_back();
        }
    }
    std::vector<Token> replaced;
    TokenSplice splice;
    if (undone) {
        splice = {undone->firstToken, undone->firstToken + undone->newTokens, undone->firstToken + undone->tokens.size()};
        script_.Splice(text, splice.first, splice.oldEnd, undone->tokens, shift, &replaced);
    } else if (!plain_) {
        AnalyseWhole();
        return;
    } else if (const std::optional<TokenSplice> cut = Retokenize(text, at, removed, inserted, script_, options_, &replaced)) {
        splice = *cut;
    } else {
        AnalyseWhole();
        return;
    }
    const std::vector<Token>& tokens = script_.Tokens();
    // Where the replaced tokens ended, in the old offsets: blocks, items and warnings from there
    // on only move.
    const std::size_t regionEnd =
        splice.oldEnd < oldTokenCount && !replaced.empty() ? replaced.back().End() : oldTextSize;

    auto byFirstToken = [](const StatementRecord& r, std::size_t t) { return r.firstToken < t; };
    const auto s0 = static_cast<std::size_t>(
        std::lower_bound(statements_.begin(), statements_.end(), splice.first, byFirstToken) - statements_.begin());
    const auto s1 = static_cast<std::size_t>(
        std::lower_bound(statements_.begin() + static_cast<std::ptrdiff_t>(s0), statements_.end(), splice.oldEnd,
                         byFirstToken) -
        statements_.begin());
    const std::size_t analysedUpTo = AnalysedUpTo();
    std::vector<StatementRecord> fresh;
    if (undone) {
        fresh = std::move(undone->statements);
    } else {
        std::size_t first = splice.first;
        auto add = [&](std::size_t endToken, std::size_t endOffset) {
            StatementRecord& r = fresh.emplace_back();
            r.firstToken = first;
            r.endToken = endToken;
            r.start = tokens[first].offset;
            r.end = endOffset;
        };
        for (std::size_t i = splice.first; i < splice.newEnd; ++i) {
            if (!tokens[i].separator) continue;
            if (i > first) add(i, tokens[i].offset);
            first = i + 1;
        }
        if (first < splice.newEnd) add(tokens.size(), text.size());
    }
    const std::int64_t tokenShift =
        static_cast<std::int64_t>(splice.newEnd) - static_cast<std::int64_t>(splice.oldEnd);
    const std::int64_t statementShift =
        static_cast<std::int64_t>(fresh.size()) - static_cast<std::int64_t>(s1 - s0);
    for (std::size_t i = s1; i < statements_.size(); ++i) {
        StatementRecord& r = statements_[i];
        r.firstToken = static_cast<std::size_t>(static_cast<std::int64_t>(r.firstToken) + tokenShift);
        r.endToken = static_cast<std::size_t>(static_cast<std::int64_t>(r.endToken) + tokenShift);
        r.start = static_cast<std::size_t>(static_cast<std::int64_t>(r.start) + shift);
        r.end = static_cast<std::size_t>(static_cast<std::int64_t>(r.end) + shift);
    }
    const bool blocks =
        std::any_of(replaced.begin(), replaced.end(), [](const Token& t) { return t.cls == TokenClass::MetadataStart; }) ||
        std::any_of(tokens.begin() + static_cast<std::ptrdiff_t>(splice.first),
                    tokens.begin() + static_cast<std::ptrdiff_t>(splice.newEnd),
                    [](const Token& t) { return t.cls == TokenClass::MetadataStart; });
    const std::size_t freshCount = fresh.size();
    const std::size_t freshAnalysed = undone ? undone->analysedCount : 0;
    // The replaced statements, kept so that undoing this edit takes them back.
    std::vector<StatementRecord> old(std::make_move_iterator(statements_.begin() + static_cast<std::ptrdiff_t>(s0)),
                                     std::make_move_iterator(statements_.begin() + static_cast<std::ptrdiff_t>(s1)));
    const std::size_t oldAnalysed = std::min(s1, std::max(s0, analysedUpTo)) - s0;
    statements_.erase(statements_.begin() + static_cast<std::ptrdiff_t>(s0),
                      statements_.begin() + static_cast<std::ptrdiff_t>(s1));
    statements_.insert(statements_.begin() + static_cast<std::ptrdiff_t>(s0), std::make_move_iterator(fresh.begin()),
                       std::make_move_iterator(fresh.end()));
    if (!undone) {
        history_.edits.push_back(Replaced{at, inserted, std::move(removedText), splice.first,
                                          splice.newEnd - splice.first, std::move(replaced), std::move(old), oldAnalysed});
        if (history_.edits.size() > 4) history_.edits.pop_front();
    }

    if (blocks && analysedUpTo >= s0) {
        // A block changed: read them all again (names, items and the OPTIONS in force follow),
        // keeping the SELECT analysis of every statement that was analysed and did not change.
        std::vector<char> known(statements_.size(), 0);
        for (std::size_t i = 0; i < statements_.size(); ++i) {
            if (i < s0) {
                known[i] = i < analysedUpTo;
            } else if (i < s0 + freshCount) {
                known[i] = i - s0 < freshAnalysed;
            } else {
                known[i] = static_cast<std::int64_t>(i) - statementShift < static_cast<std::int64_t>(analysedUpTo);
            }
        }
        ReadBlocks(&known);
        return;
    }
    // No block in what changed: only the statements after it move; the new ones are read with
    // the literal style in force before them, unless the reading stopped at a block before.
    if (analysedUpTo < s0) return;
    if (!undone) {
        BlockReader reader(script_.View(), {root_, resultSetItems_, syntaxItems_, currentDialect_, warnings_});
        reader.ReadRange(statements_, s0, s0 + freshCount, 0,
                         s0 > 0 ? statements_[s0 - 1].description.literals : LiteralStyle::Inherit);
    }
    for (auto* items : {&resultSetItems_, &syntaxItems_})
        for (ScriptItem& item : *items) {
            if (item.start < regionEnd) continue;
            item.start = static_cast<std::size_t>(static_cast<std::int64_t>(item.start) + shift);
            item.end = static_cast<std::size_t>(static_cast<std::int64_t>(item.end) + shift);
            item.statement = static_cast<std::size_t>(static_cast<std::int64_t>(item.statement) + statementShift);
        }
    for (const auto& [name, block] : root_.Children())
        if (block->Start() >= regionEnd) block->Shift(shift);
    for (BlockWarning& warning : warnings_)
        if (warning.offset >= regionEnd)
            warning.offset = static_cast<std::size_t>(static_cast<std::int64_t>(warning.offset) + shift);
    if (blockError_) {
        errorStatement_ = static_cast<std::size_t>(static_cast<std::int64_t>(errorStatement_) + statementShift);
        if (static_cast<std::size_t>(blockError_->Offset()) >= regionEnd)
            blockError_ = CSyntaxException(static_cast<std::int32_t>(blockError_->Offset() + shift), blockError_->Message());
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
