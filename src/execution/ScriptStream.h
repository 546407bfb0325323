#pragma once
// A script read from a file or a pipe segment by segment, so that a dump of any size runs in bounded
// memory: each segment is the text up to a statement's end that nothing after it can change, with
// its own analysis; the next segment starts in the state the previous one left (the DELIMITER in
// force, the Literals and Syntax of the last OPTIONS element, a METADATA error that stopped the
// reading of blocks). The text is read in blocks; a block grows until a statement ends in it, so
// the largest statement always fits.
#include "core/ConversionDescription.h"
#include "core/SyntaxException.h"
#include "grammar/Tokenizer.h"
#include "metadata/AnalysedScript.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace marlix {

// A segment as a first pass over the script sees it: the fault of its text, if any, at its one-based
// line in the whole script; and its analysis where it holds METADATA blocks (their warnings and
// error), else null: a segment without blocks is only tokenized.
struct CheckedSegment {
    std::shared_ptr<const AnalysedScript> analysed;
    std::optional<CSyntaxException> fault;
    int faultLine = 0;
};

class ScriptStream {
public:
    static constexpr std::size_t kBlockBytes = std::size_t{256} << 10;

    // Reads `fd` (left open) from where it stands; `name` is said in read errors.
    ScriptStream(int fd, std::string name, std::size_t blockBytes = kBlockBytes);

    // Reads the first block now, so that a script that cannot be read fails before anything
    // else is done. Throws CFileException.
    void ReadAhead();
    // How the connection's server reads the text; before the first Next.
    void SetOptions(TokenizerOptions options) { options_ = options; }
    // The next segment, or null after the last. The first call always gives a segment (an empty one
    // for an empty script). Throws CFileException.
    std::shared_ptr<const AnalysedScript> Next();
    // The same for a first pass, at less cost: false after the last segment.
    bool Check(CheckedSegment& checked);
    // Of the segment given last: the zero-based line of its first character in the whole script,
    // and the Syntax of the last OPTIONS element before it.
    int FirstLine() const noexcept { return firstLine_; }
    std::optional<Dialect> DialectBefore() const noexcept { return dialectBefore_; }

    // A regular file, which can be read again from its start for a second pass (a pipe cannot).
    bool Rereadable() const noexcept { return startOffset_ >= 0; }
    // Back to the start; false where the descriptor cannot go back.
    bool Rewind();

private:
    void Fill(std::size_t bytes);
    std::size_t CutPoint() const;
    std::optional<std::size_t> Cut();
    std::shared_ptr<const AnalysedScript> Analyse(std::size_t cut);
    void Carry(TokenView segment);
    void Drop(std::size_t cut);

    int fd_;
    std::string name_;
    std::size_t blockBytes_;
    long long startOffset_; // where the descriptor stood at the start, -1 when it cannot seek
    TokenizerOptions options_;
    std::string buffer_; // read, not yet given out
    TokenizedScript tokens_;
    bool endOfFile_ = false, given_ = false, ended_ = false;
    int firstLine_ = 0, nextLine_ = 0;
    bool endsInReturn_ = false; // the last segment ended with a CR whose LF may start the next
    ScriptCarry carry_;
    std::optional<Dialect> dialect_, dialectBefore_;
};

} // namespace marlix
