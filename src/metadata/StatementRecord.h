#pragma once
// One statement of a script as the script view and the batch runner see it: its token range,
// its text range and the conversion its results get. Statements end at separator tokens.
#include "core/ConversionDescription.h"
#include "grammar/SelectAnalysis.h"
#include "grammar/Token.h"

#include <cstddef>
#include <vector>

namespace marlix {

struct StatementRecord {
    std::size_t firstToken = 0; // index of the statement's first token
    std::size_t endToken = 0;   // index of its separator token, or the token count for the last statement
    std::size_t start = 0;      // character offset of the first token
    std::size_t end = 0;        // where the statement's text ends: begin of the separator, or end of text
    ConversionDescription description; // effective conversion (from a RESULTSET, or from the analysis)
    AnalysedDescription analysed;      // the SELECT analysis (tables, columns, analysed flag)
};

// True for a token that ends a statement. The tokenizer decides it (Token::separator): ";" or,
// after a DELIMITER line, the delimiter it set; the word GO in any case; the DELIMITER line
// itself. Only plain words, punctuation and DELIMITER lines count, so that a separator inside a
// comment, a literal, a quoted or bracketed name, or the mark-up of a METADATA block ends
// nothing. The statement records, the batch and Execute Statement all cut with this one rule.
inline bool IsStatementSeparator(TokenView script, std::size_t token) noexcept {
    return script.tokens[token].separator;
}

// The statements of a tokenized script in text order, with empty descriptions. A separator with
// no token before it (since the previous one) makes no statement; tokens after the last
// separator make the last statement.
std::vector<StatementRecord> SplitStatements(TokenView script);
void SplitStatements(TokenView script, std::vector<StatementRecord>& into);

// Whether a position (Execute Statement's caret) chooses the statement of the tokens from
// `firstToken` to its `separator` (the token count for the last one): from the begin of its
// first token up to the end of its separator, that end included, as the caret stands right after
// a statement just typed. That position belongs to the statement the separator ends, even where
// the next statement starts at once; blanks between statements choose none.
bool StatementHolds(TokenView script, std::size_t firstToken, std::size_t separator, std::size_t position);
// The record of the statement a position chooses, or null.
const StatementRecord* StatementChosenAt(TokenView script, const std::vector<StatementRecord>& records,
                                         std::size_t position);

} // namespace marlix
