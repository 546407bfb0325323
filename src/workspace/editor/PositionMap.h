#pragma once
// The two ways of counting places in the script. The editor's document counts UTF-16 units with
// one position per line break; the engine counts bytes of UTF-8 text whose line breaks are the
// script's own line ends. The map is rebuilt from the editor's text at every analysis and
// converts both ways.
#include "core/LineEnds.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace marlix {

class PositionMap {
public:
    PositionMap() = default;

    // Takes the editor's text, where '\n', U+2028 and U+2029 are line breaks (the document's raw
    // text uses U+2029), and returns the engine text: UTF-8 with every break written as the line
    // end LineEnds() gives it. A UTF-16 unit that is half of no pair is written as U+FFFD.
    std::string Rebuild(const QString& text);

    // The script's line ends, one per break of the editor's text; the next Rebuild uses them.
    const LineEnds& Ends() const noexcept { return ends_; }
    LineEnds& Ends() noexcept { return ends_; }

    // The line breaks of the editor's text in [from, to).
    static std::size_t BreaksIn(const QString& text, int from, int to) noexcept;
    // The editor's text with every break written as the script's line end (the text a save
    // writes), for the text the map was built from.
    QString WithLineEnds(const QString& text) const;

    // The document text the map was built from, its length in positions, and the length of
    // the engine text in bytes.
    const QString& DocumentText() const noexcept { return text_; }
    int DocumentLength() const noexcept { return static_cast<int>(text_.size()); }
    std::size_t EngineLength() const noexcept { return engineLength_; }

    // The byte at which the character at `position` starts; a position between the two halves
    // of a surrogate pair gives the pair's first byte. Out-of-range positions clamp.
    std::size_t ByteOfPosition(int position) const noexcept;
    // The position of the character that holds `byte`: a byte inside a multi-byte character,
    // or the '\n' of a break, gives the character's or the break's position. Past the end
    // gives DocumentLength().
    int PositionOfByte(std::size_t byte) const noexcept;

private:
    // Every kStep-th position has its byte offset stored; lookups walk at most kStep units.
    static constexpr int kStep = 64;

    // The bytes of the character at `position`; `breaks` counts the breaks before it and
    // is moved past a break.
    int Width(int position, std::size_t& breaks) const noexcept;
    bool IsSecondHalf(int position) const noexcept;

    QString text_; // shared with the caller's copy, not duplicated
    std::vector<std::size_t> checkpoints_{0};
    std::vector<std::size_t> breaksBefore_{0}; // the breaks before each checkpoint
    LineEnds ends_;
    std::size_t engineLength_ = 0;
};

} // namespace marlix
