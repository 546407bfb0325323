#pragma once
// The two ways of counting places in the script. The editor's document counts UTF-16 units with
// one position per line break; the engine counts bytes of UTF-8 text whose line breaks are the
// script's own line ends. The map is built from the editor's whole text, follows each edit of it
// from there, and converts both ways.
#include "core/LineEnds.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix {

class PositionMap {
public:
    PositionMap() = default;

    // Takes the editor's text, where '\n', U+2028 and U+2029 are line breaks (the document's raw
    // text uses U+2029), and returns the engine text: UTF-8 with every break written as the line
    // end LineEnds() gives it. A UTF-16 unit that is half of no pair is written as U+FFFD.
    std::string Rebuild(const QString& text);

    // What an edit of the editor's text did to the engine text: `removed` bytes at `at` were
    // replaced by `inserted`.
    struct EngineEdit {
        std::size_t at = 0;
        std::size_t removed = 0;
        std::string inserted;
    };
    // Follows the edit that replaced `removed` positions at `position` by `added`, line ends
    // included (a mixed script's breaks removed and added take their places in Ends()), and
    // returns it in the engine text's bytes. Only the edit and the marks after it are worked on.
    EngineEdit Follow(int position, int removed, const QString& added);

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
    // Marks store the byte offset and the breaks before a position, about every kStep-th one
    // (after edits at most 2 * kStep apart); lookups walk from the mark before.
    static constexpr int kStep = 64;

    // The mark at or before `position`.
    std::size_t MarkBefore(int position) const noexcept;
    // The byte offset and the breaks before `position`, which may be the document's length.
    std::pair<std::size_t, std::size_t> Walk(int position) const noexcept;
    // Converts `units` to UTF-8 at the end of `out`; `breaks` counts the breaks before them.
    void AppendEngine(std::u16string_view units, std::size_t& breaks, std::string& out) const;

    // The bytes of the character at `position`; `breaks` counts the breaks before it and
    // is moved past a break.
    int Width(int position, std::size_t& breaks) const noexcept;
    bool IsSecondHalf(int position) const noexcept;

    QString text_; // shared with the caller's copy, not duplicated
    std::vector<int> marks_{0};                // the positions of the marks
    std::vector<std::size_t> checkpoints_{0};  // the byte offset of each mark
    std::vector<std::size_t> breaksBefore_{0}; // the breaks before each mark
    LineEnds ends_;
    std::size_t engineLength_ = 0;
};

} // namespace marlix
