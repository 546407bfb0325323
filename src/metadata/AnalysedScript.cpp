#include "metadata/AnalysedScript.h"

#include "metadata/BlockReader.h"

#include <algorithm>

namespace marlix {

AnalysedScript::AnalysedScript() : text_(std::make_shared<std::string>()), root_(kGlobalRootName) {
    Tokenize(*text_, script_);
}

void AnalysedScript::Rebuild(std::string text, TokenizerOptions options) {
    Rebuild(std::move(text), options, ScriptCarry());
}

void AnalysedScript::Rebuild(std::string text, TokenizerOptions options, const ScriptCarry& carry) {
    text_ = std::make_shared<std::string>(std::move(text));
    options_ = options;
    carry_ = carry;
    AnalyseWhole();
}

void AnalysedScript::AnalyseWhole() {
    history_.edits.clear();
    Tokenize(*text_, script_, options_, carry_.delimiter);
    // The rest of a script (the headless runner's) is never edited: only a whole script is cut
    // again in place.
    plain_ = carry_.delimiter.empty() && carry_.literals == LiteralStyle::Inherit && carry_.readBlocks &&
             std::none_of(script_.Tokens().begin(), script_.Tokens().end(), CarriesState);
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
    if (!carry_.readBlocks) return;
    BlockReader reader(script_.View(), {root_, resultSetItems_, syntaxItems_, currentDialect_, warnings_});
    reader.KeepAnalyses(known);
    try {
        reader.ReadAll(statements_, carry_.literals);
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
        if (splice.first == 0 && splice.oldEnd == oldTokenCount) {
            replaced = std::move(undone->tokens);
            script_.SwapTokens(text, replaced);
        } else {
            script_.Splice(text, splice.first, splice.oldEnd, undone->tokens, shift, &replaced);
        }
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
    const std::size_t regionStart = splice.first == 0 ? 0 : tokens[splice.first - 1].End();
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
    const LiteralStyle oldLiteralsAfter =
        s1 > s0 ? statements_[s1 - 1].description.literals
                : (s0 > 0 ? statements_[s0 - 1].description.literals : LiteralStyle::Inherit);
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
    auto isBlock = [](const Token& t) { return t.cls == TokenClass::MetadataStart; };
    // A script whose blocks were all read and gave nothing has none.
    const bool hadBlocks = !root_.Children().empty() || blockError_;
    const bool blocks =
        (hadBlocks && std::any_of(replaced.begin(), replaced.end(), isBlock)) ||
        std::any_of(tokens.begin() + static_cast<std::ptrdiff_t>(splice.first),
                    tokens.begin() + static_cast<std::ptrdiff_t>(splice.newEnd), isBlock);
    const auto oldBlocks =
        blocks ? static_cast<std::size_t>(std::count_if(replaced.begin(), replaced.end(), isBlock)) : 0;
    const std::size_t freshCount = fresh.size();
    const std::size_t freshAnalysed = undone ? undone->analysedCount : 0;
    // The replaced statements, kept so that undoing this edit takes them back.
    const std::size_t oldAnalysed = std::min(s1, std::max(s0, analysedUpTo)) - s0;
    std::vector<StatementRecord> old;
    if (s0 == 0 && s1 == statements_.size()) {
        old.swap(statements_);
        statements_.swap(fresh);
    } else {
        old.assign(std::make_move_iterator(statements_.begin() + static_cast<std::ptrdiff_t>(s0)),
                   std::make_move_iterator(statements_.begin() + static_cast<std::ptrdiff_t>(s1)));
        // The records after the edit move only when the number of statements changed.
        const std::size_t common = std::min(freshCount, s1 - s0);
        std::move(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(common),
                  statements_.begin() + static_cast<std::ptrdiff_t>(s0));
        const auto rest = statements_.begin() + static_cast<std::ptrdiff_t>(s0 + common);
        if (freshCount > common)
            statements_.insert(rest, std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(common)),
                               std::make_move_iterator(fresh.end()));
        else
            statements_.erase(rest, statements_.begin() + static_cast<std::ptrdiff_t>(s1));
    }
    if (!undone) {
        history_.edits.push_back(Replaced{at, inserted, std::move(removedText), splice.first,
                                          splice.newEnd - splice.first, std::move(replaced), std::move(old), oldAnalysed});
        if (history_.edits.size() > 4) history_.edits.pop_front();
    }

    if (analysedUpTo < s0) return; // the reading stopped at a block before: nothing after it is read
    const bool errorInside = blockError_ && errorStatement_ < s1;
    std::vector<char> known(statements_.size(), 0);
    auto readAll = [&] {
        // Every statement that was analysed and did not change keeps its SELECT analysis.
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
    };
    if (errorInside) return readAll(); // the statements after it were never read
    // Read the new statements as the whole reading would reach them: after the blocks before
    // them, with the literal style in force before them.
    std::size_t blocksBefore = 0;
    if (blocks)
        for (const auto& [name, block] : root_.Children())
            blocksBefore += block->Start() < regionStart;
    // Statements an undo took back, with no block among them, were read in the state that holds
    // again: they stay as they are.
    const bool reread = blocks || !undone;
    if (reread)
        for (std::size_t i = 0; i < freshCount; ++i) {
            statements_[s0 + i].description = ConversionDescription();
            known[s0 + i] = i < freshAnalysed;
        }
    ElementNode newBlocks(kGlobalRootName);
    std::vector<ScriptItem> newResultSets, newSyntax;
    std::optional<Dialect> dialect;
    std::vector<BlockWarning> newWarnings;
    BlockReader reader(script_.View(), {newBlocks, newResultSets, newSyntax, dialect, newWarnings});
    reader.KeepAnalyses(&known);
    const LiteralStyle literalsBefore = s0 > 0 ? statements_[s0 - 1].description.literals : LiteralStyle::Inherit;
    try {
        reader.ReadRange(statements_, s0, reread ? s0 + freshCount : s0, blocksBefore, literalsBefore);
    } catch (const CSyntaxException&) {
        return readAll(); // nothing after it is read any more
    }
    const LiteralStyle literalsAfter = reread ? reader.Literals() : oldLiteralsAfter;
    const std::int64_t blockShift =
        static_cast<std::int64_t>(reader.BlocksRead() - blocksBefore) - static_cast<std::int64_t>(oldBlocks);
    auto renamed = [blockShift](const std::string& name) {
        return "ROOT" + std::to_string(std::stoll(name.substr(4)) + blockShift);
    };
    for (auto* items : {&resultSetItems_, &syntaxItems_}) {
        std::erase_if(*items, [&](const ScriptItem& item) { return item.statement >= s0 && item.statement < s1; });
        for (ScriptItem& item : *items) {
            if (item.start < regionEnd) continue;
            item.start = static_cast<std::size_t>(static_cast<std::int64_t>(item.start) + shift);
            item.end = static_cast<std::size_t>(static_cast<std::int64_t>(item.end) + shift);
            item.statement = static_cast<std::size_t>(static_cast<std::int64_t>(item.statement) + statementShift);
            if (blockShift != 0) item.block = renamed(item.block);
        }
        std::vector<ScriptItem>& read = items == &resultSetItems_ ? newResultSets : newSyntax;
        const auto place = std::partition_point(items->begin(), items->end(),
                                                [s0](const ScriptItem& item) { return item.statement < s0; });
        items->insert(place, read.begin(), read.end());
    }
    std::vector<std::pair<std::size_t, std::string>> later;
    std::vector<std::string> gone;
    for (const auto& [name, block] : root_.Children()) {
        if (block->Start() >= regionEnd) {
            block->Shift(shift);
            if (blockShift != 0) later.emplace_back(block->Start(), name);
        } else if (block->Start() >= regionStart) {
            gone.push_back(name);
        }
    }
    for (const std::string& name : gone)
        root_.RemoveChild(name);
    // Renamed in the order that never takes a name still in use.
    std::sort(later.begin(), later.end());
    if (blockShift > 0) std::reverse(later.begin(), later.end());
    for (const auto& [start, name] : later)
        root_.RenameChild(name, renamed(name));
    for (auto& [name, block] : newBlocks.TakeChildren())
        root_.InsertChild(std::move(block));
    std::erase_if(warnings_, [&](const BlockWarning& w) { return w.offset >= regionStart && w.offset < regionEnd; });
    for (BlockWarning& warning : warnings_)
        if (warning.offset >= regionEnd)
            warning.offset = static_cast<std::size_t>(static_cast<std::int64_t>(warning.offset) + shift);
    warnings_.insert(std::partition_point(warnings_.begin(), warnings_.end(),
                                          [regionStart](const BlockWarning& w) { return w.offset < regionStart; }),
                     newWarnings.begin(), newWarnings.end());
    if (blockError_) {
        errorStatement_ = static_cast<std::size_t>(static_cast<std::int64_t>(errorStatement_) + statementShift);
        blockError_ = CSyntaxException(static_cast<std::int32_t>(blockError_->Offset() + shift), blockError_->Message());
    }
    // A changed literal style governs the statements after the edit up to the next OPTIONS.
    if (literalsAfter != oldLiteralsAfter) {
        const auto next = std::partition_point(syntaxItems_.begin(), syntaxItems_.end(),
                                               [&](const ScriptItem& item) { return item.statement < s0 + freshCount; });
        const std::size_t stop =
            std::min(AnalysedUpTo(), next == syntaxItems_.end() ? statements_.size() : next->statement);
        for (std::size_t i = s0 + freshCount; i < stop; ++i)
            statements_[i].description.literals = literalsAfter;
    }
    currentDialect_ = syntaxItems_.empty() ? std::nullopt : std::optional<Dialect>(syntaxItems_.back().dialect);
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
