#pragma once
// How a script's lines end. A script keeps the line ends it was loaded with: a statement sends
// them as they are, a save writes them back, and every new line (typed, pasted, a block written
// back) takes the script's own style. A script with more than one kind keeps each line's own
// end; its new lines take the kind most of its lines end with. A new script uses LF.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class LineEnds {
public:
    enum class Kind : unsigned char { Lf, CrLf, Cr };

    LineEnds() = default;
    // The line ends of a text: CR LF, a lone LF and a lone CR each end a line.
    static LineEnds Of(std::string_view text);
    static LineEnds Of(std::u16string_view text);

    Kind Style() const noexcept { return style_; }
    bool Mixed() const noexcept { return !kinds_.empty(); }
    // The bytes of the `index`-th line end (the style's past the known ones).
    std::string_view At(std::size_t index) const noexcept;
    std::string_view StyleText() const noexcept { return Text(style_); }
    static std::string_view Text(Kind kind) noexcept;

    // `removed` line ends from the `index`-th on were replaced by `added` new ones.
    void Replace(std::size_t index, std::size_t removed, std::size_t added);

    bool operator==(const LineEnds&) const = default;

private:
    template <class Char> static LineEnds Scan(std::basic_string_view<Char> text);

    Kind style_ = Kind::Lf;
    std::vector<Kind> kinds_; // one per line end, kept only while they differ
};

} // namespace marlix
