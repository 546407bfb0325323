#pragma once
// Reads the METADATA blocks of a tokenized script into the element tree and applies them to
// the statements: RESULTSET elements give a statement its conversion, OPTIONS elements set the
// dialect and the literal style from there on; statements that begin with SELECT are analysed
// as well.
#include "core/ConversionDescription.h"
#include "grammar/Token.h"
#include "metadata/ElementNode.h"
#include "metadata/ScriptItem.h"
#include "metadata/StatementRecord.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// An attribute the reader does not know, kept and ignored: a block written by a newer version
// reads as before, but a misspelt name would otherwise go unnoticed. `offset` is where its name
// stands; `text` names the attribute as written and its element.
struct BlockWarning {
    std::size_t offset = 0;
    std::string text;
};

// Where the reading leaves what it found. The reader appends to the item lists and the tree
// and sets the dialect as it goes, so whatever it met before an error stays.
struct BlockReadingResult {
    ElementNode& root;
    std::vector<ScriptItem>& resultSetItems;
    std::vector<ScriptItem>& syntaxItems;
    std::optional<Dialect>& currentDialect;
    std::vector<BlockWarning>& warnings;
};

// The OPTIONS Literals words, "EXACT" and "STANDARD", read ignoring case; none for any other.
std::optional<LiteralStyle> LiteralStyleFromName(std::string_view name) noexcept;
// The value of a count attribute (Rows, CommitEvery): a whole number of at least `least`, else
// nothing.
std::optional<int> CountFromText(std::string_view text, int least) noexcept;

class BlockReader {
public:
    BlockReader(TokenView script, BlockReadingResult into) : script_(script), into_(into) {}

    // Reads every statement's blocks in text order, then analyses it. Throws CSyntaxException at
    // the first error in a block; statements from the failing one on are left as they are.
    // `literals`: the Literals in force before the first statement.
    void ReadAll(std::vector<StatementRecord>& statements, LiteralStyle literals = LiteralStyle::Inherit);
    // Reads statements [first, last) only, as ReadAll would after the blocks before them: the
    // blocks are numbered from `blocksBefore` on and `literals` are in force at `first`.
    void ReadRange(std::vector<StatementRecord>& statements, std::size_t first, std::size_t last,
                   std::size_t blocksBefore, LiteralStyle literals);
    // Statements whose `analysed` already holds their SELECT analysis (known[i] non-zero) are
    // not analysed again; the vector must outlive the reading.
    void KeepAnalyses(const std::vector<char>* known) noexcept { known_ = known; }
    // The statement read last (the one a CSyntaxException came from), and the blocks read so far.
    std::size_t Current() const noexcept { return current_; }
    std::size_t BlocksRead() const noexcept { return blockCounter_; }
    LiteralStyle Literals() const noexcept { return literals_; }

private:
    void ReadStatement(StatementRecord& statement, std::size_t index);
    // Parses the block whose start marker is token `marker`; returns the index of its end marker.
    std::size_t ReadBlock(std::size_t marker, std::size_t end, ElementNode*& block);
    void ApplyResultSet(const ElementNode& element, const ElementNode& block, StatementRecord& statement,
                        std::size_t index);
    void ApplyOptions(const ElementNode& element, const ElementNode& block, std::size_t index);
    void AnalyseIfSelect(StatementRecord& statement, std::size_t index, bool describedByResultSet) const;
    // The value of a numeric attribute of `element`, `fallback` when absent; throws
    // CSyntaxException at the value when it is not a whole number of at least `least`.
    int NumberAttribute(const ElementNode& element, std::string_view name, int least, int fallback) const;
    // The offset of the value of `element`'s attribute `name`, else the element's own.
    std::size_t AttributeValueOffset(const ElementNode& element, std::string_view name) const;
    // The token of the name of `element`'s attribute `name`, else the token count.
    std::size_t AttributeNameToken(const ElementNode& element, std::string_view name) const;
    // A warning for each attribute of `element` that is not one of `known` (upper case).
    void WarnUnknownAttributes(const ElementNode& element, std::initializer_list<std::string_view> known);

    TokenView script_;
    BlockReadingResult into_;
    std::size_t blockCounter_ = 0;
    std::size_t current_ = 0;
    const std::vector<char>* known_ = nullptr;
    int resultSetCounter_ = 0; // counts the RESULTSET elements of the current statement
    // The Literals of the last OPTIONS element read: every statement from it on gets them.
    LiteralStyle literals_ = LiteralStyle::Inherit;
};

} // namespace marlix
