#pragma once
// A script as the script view keeps it after every change: its own copy of the text, the
// tokens, the statements with their conversion descriptions, the items and element tree read
// from its METADATA blocks, and the dialect its OPTIONS elements set. The editor and the
// headless runner rebuild it from the text in one call; the batch runner reads it.
#include "core/ConversionDescription.h"
#include "core/SyntaxException.h"
#include "grammar/Tokenizer.h"
#include "metadata/BlockReader.h"
#include "metadata/ElementNode.h"
#include "metadata/ScriptItem.h"
#include "metadata/StatementRecord.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

inline constexpr std::string_view kGlobalRootName = "GlobalRoot";

// What a script cut after a statement carries into its rest (the headless runner reads a long
// script segment by segment): the delimiter a DELIMITER line set, the Literals of the last OPTIONS
// element, and whether the blocks are still read (a block error stops the reading for good).
struct ScriptCarry {
    std::string delimiter; // empty: ";"
    LiteralStyle literals = LiteralStyle::Inherit;
    bool readBlocks = true;
};

class AnalysedScript {
public:
    AnalysedScript();

    // Tokens, statements, blocks and SELECT analysis of `text`, from scratch. A syntax error in
    // a block is kept (BlockError) rather than thrown: reading stops there, and the statements
    // from that one on keep the descriptions the reading had given them so far.
    // `options` say how the connection's server reads quotes; the snapshot keeps them, so the
    // batch cuts the script with the tokens the editor shows.
    void Rebuild(std::string text, TokenizerOptions options = {});
    // The same result for `text`, the text with `removed` characters at `at` replaced by
    // `inserted` ones, worked out from the edit: the tokens are cut again from the statement
    // holding it until the new cut meets the old one, and only the statements whose tokens
    // changed are analysed again; the blocks are read again only when a block or what it
    // governs changed. An edit that undoes the last one (up to four back, in turn) takes back what
    // that one replaced, so that removing a "/*" typed at the top costs no more than typing it.
    void Edit(std::string text, std::size_t at, std::size_t removed, std::size_t inserted);
    // Edit for the text held: it is changed in place unless a copy of this script shares it.
    void ApplyEdit(std::size_t at, std::size_t removed, std::string_view inserted);
    // The same for the rest of a script, starting in the state `carry` describes.
    void Rebuild(std::string text, TokenizerOptions options, const ScriptCarry& carry);
    const TokenizerOptions& Options() const noexcept { return options_; }

    const std::string& Text() const noexcept { return *text_; }
    // Tokens over Text().
    const TokenizedScript& Script() const noexcept { return script_; }
    TokenView View() const noexcept { return script_.View(); }
    const std::vector<StatementRecord>& Statements() const noexcept { return statements_; }
    // At least one token was found and the blocks were read: execution may start.
    bool StatementsReady() const noexcept { return !script_.Tokens().empty(); }

    // One item per RESULTSET element and per OPTIONS element read, in reading order.
    const std::vector<ScriptItem>& ResultSetItems() const noexcept { return resultSetItems_; }
    const std::vector<ScriptItem>& SyntaxItems() const noexcept { return syntaxItems_; }
    // "GlobalRoot", with one node per METADATA block read (named "ROOT" and a number).
    const ElementNode& Root() const noexcept { return root_; }

    // The dialect of the last OPTIONS element read, if any.
    std::optional<Dialect> CurrentDialect() const noexcept { return currentDialect_; }
    // The dialect of the last OPTIONS element that begins before `position`, else `fallback`.
    Dialect SyntaxAt(std::size_t position, Dialect fallback) const noexcept;

    // The syntax error met while reading blocks, if any, and the zero-based line of its offset.
    const std::optional<CSyntaxException>& BlockError() const noexcept { return blockError_; }
    int BlockErrorLine() const noexcept;
    // The attributes the reading met and ignored, in text order up to any error.
    const std::vector<BlockWarning>& Warnings() const noexcept { return warnings_; }

    // The statement whose text range [start, end] holds `position`, or null.
    const StatementRecord* StatementAt(std::size_t position) const noexcept;
    // The block node whose text holds `position` (start <= position < end), or null.
    const ElementNode* BlockAt(std::size_t position) const noexcept;
    // The element an item was read from, or null.
    const ElementNode* ItemElement(const ScriptItem& item) const noexcept;

private:
    // What an edit replaced, to take it back when the next edit undoes it. A copy of the script
    // starts with none, so that a snapshot for the batch stays small.
    struct Replaced {
        std::size_t at = 0, inserted = 0;
        std::string removedText;
        std::size_t firstToken = 0, newTokens = 0;
        std::vector<Token> tokens;
        std::vector<StatementRecord> statements;
        std::size_t analysedCount = 0; // the leading statements that hold their SELECT analysis
    };
    struct History {
        History() = default;
        History(const History&) {}
        History& operator=(const History&) {
            edits.clear();
            return *this;
        }
        History(History&&) noexcept = default;
        History& operator=(History&&) noexcept = default;
        std::deque<Replaced> edits;
    };

    void Update(std::size_t at, std::size_t removed, std::size_t inserted, std::string removedText);
    void AnalyseWhole();
    // Reads every block again; statements with known[i] keep their SELECT analysis.
    void ReadBlocks(const std::vector<char>* known);
    std::size_t AnalysedUpTo() const noexcept { return blockError_ ? errorStatement_ : statements_.size(); }

    std::shared_ptr<std::string> text_; // shared, so copies of the script keep valid tokens
    TokenizerOptions options_;
    TokenizedScript script_;
    std::vector<StatementRecord> statements_;
    std::vector<ScriptItem> resultSetItems_;
    std::vector<ScriptItem> syntaxItems_;
    ElementNode root_;
    std::optional<Dialect> currentDialect_;
    std::optional<CSyntaxException> blockError_;
    std::vector<BlockWarning> warnings_;
    std::size_t errorStatement_ = 0; // the statement whose block gave BlockError
    bool plain_ = true;              // no token CarriesState: edits may cut again locally
    ScriptCarry carry_;              // the state the text starts in (the rest of a script)
    History history_;
};

// Zero-based line of a character offset; "\r\n", a lone "\n" and a lone "\r" each end a line.
int LineOfOffset(std::string_view text, std::size_t offset) noexcept;

} // namespace marlix
