#include "core/LineEnds.h"

#include <algorithm>
#include <array>

namespace marlix {

template <class Char> LineEnds LineEnds::Scan(std::basic_string_view<Char> text) {
    LineEnds ends;
    std::vector<Kind> kinds;
    std::array<std::size_t, 3> counts{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        Kind kind;
        if (text[i] == Char('\n')) {
            kind = Kind::Lf;
        } else if (text[i] == Char('\r')) {
            const bool pair = i + 1 < text.size() && text[i + 1] == Char('\n');
            kind = pair ? Kind::CrLf : Kind::Cr;
            i += pair ? 1 : 0;
        } else {
            continue;
        }
        kinds.push_back(kind);
        ++counts[static_cast<std::size_t>(kind)];
    }
    if (kinds.empty()) return ends;
    // New lines take the kind most lines end with; on a tie, the one met first.
    ends.style_ = kinds.front();
    for (std::size_t k = 0; k < counts.size(); ++k)
        if (counts[k] > counts[static_cast<std::size_t>(ends.style_)]) ends.style_ = static_cast<Kind>(k);
    if (counts[static_cast<std::size_t>(ends.style_)] != kinds.size()) ends.kinds_ = std::move(kinds);
    return ends;
}

LineEnds LineEnds::Of(std::string_view text) {
    return Scan(text);
}

LineEnds LineEnds::Of(std::u16string_view text) {
    return Scan(text);
}

std::string_view LineEnds::Text(Kind kind) noexcept {
    switch (kind) {
    case Kind::CrLf: return "\r\n";
    case Kind::Cr: return "\r";
    case Kind::Lf: break;
    }
    return "\n";
}

std::string_view LineEnds::At(std::size_t index) const noexcept {
    return Text(index < kinds_.size() ? kinds_[index] : style_);
}

void LineEnds::Replace(std::size_t index, std::size_t removed, std::size_t added) {
    if (kinds_.empty()) return; // every end, old or new, is the style's
    index = std::min(index, kinds_.size());
    removed = std::min(removed, kinds_.size() - index);
    const auto at = kinds_.erase(kinds_.begin() + static_cast<std::ptrdiff_t>(index),
                                 kinds_.begin() + static_cast<std::ptrdiff_t>(index + removed));
    kinds_.insert(at, added, style_);
}

} // namespace marlix
