#pragma once
// Reads the METADATA blocks of a tokenized script into the element tree and applies them to
// the statements: RESULTSET elements give a statement its conversion, OPTIONS elements set the
// dialect from there on; statements that begin with SELECT are analysed as well.
#include "core/ConversionDescription.h"
#include "grammar/Token.h"
#include "metadata/ElementNode.h"
#include "metadata/ScriptItem.h"
#include "metadata/StatementRecord.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace marlix {

// Where the reading leaves what it found. The reader appends to the item lists and the tree
// and sets the dialect as it goes, so whatever it met before an error stays.
struct BlockReadingResult {
    ElementNode& root;
    std::vector<ScriptItem>& resultSetItems;
    std::vector<ScriptItem>& syntaxItems;
    std::optional<Dialect>& currentDialect;
};

class BlockReader {
public:
    BlockReader(TokenView script, BlockReadingResult into) : script_(script), into_(into) {}

    // Reads every statement's blocks in text order, then analyses it. Throws CSyntaxException at
    // the first error in a block; statements from the failing one on are left as they are.
    void ReadAll(std::vector<StatementRecord>& statements);

private:
    void ReadStatement(StatementRecord& statement, std::size_t index);
    // Parses the block whose start marker is token `marker`; returns the index of its end marker.
    std::size_t ReadBlock(std::size_t marker, std::size_t end, ElementNode*& block);
    void ApplyResultSet(const ElementNode& element, const ElementNode& block, StatementRecord& statement,
                        std::size_t index);
    void ApplyOptions(const ElementNode& element, const ElementNode& block, std::size_t index);
    void AnalyseIfSelect(StatementRecord& statement, bool describedByResultSet) const;

    TokenView script_;
    BlockReadingResult into_;
    std::size_t blockCounter_ = 0;
    int resultSetCounter_ = 0; // counts the RESULTSET elements of the current statement
};

} // namespace marlix
