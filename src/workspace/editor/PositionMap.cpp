#include "workspace/editor/PositionMap.h"

#include <algorithm>

namespace marlix {
namespace {

constexpr bool IsBreak(char16_t c) noexcept {
    return c == u'\n' || c == 0x2028 || c == 0x2029;
}
constexpr bool IsHigh(char16_t c) noexcept {
    return c >= 0xD800 && c < 0xDC00;
}
constexpr bool IsLow(char16_t c) noexcept {
    return c >= 0xDC00 && c < 0xE000;
}

} // namespace

std::string PositionMap::Rebuild(const QString& text) {
    text_ = text;
    const qsizetype n = text.size();
    const char16_t* u = reinterpret_cast<const char16_t*>(text.constData());

    // Every unit gives at most 3 bytes (a break 2, a pair 4 for its two units), so one buffer
    // of that size is written through a pointer, without a capacity check per character.
    std::string out(static_cast<std::size_t>(n) * 3, '\0');
    char* o = out.data();
    std::size_t breaks = 0;
    checkpoints_.clear();
    checkpoints_.reserve(static_cast<std::size_t>(n / kStep) + 1);
    breaksBefore_.clear();
    breaksBefore_.reserve(checkpoints_.capacity());
    for (qsizetype i = 0; i < n; ++i) {
        if ((i & (kStep - 1)) == 0) {
            checkpoints_.push_back(static_cast<std::size_t>(o - out.data()));
            breaksBefore_.push_back(breaks);
        }
        const char16_t c = u[i];
        if (IsBreak(c)) {
            for (const char b : ends_.At(breaks++))
                *o++ = b;
        } else if (c < 0x80) {
            *o++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (IsHigh(c) && i + 1 < n && IsLow(u[i + 1])) {
            // The pair is written at its second half; the first half takes no bytes, so that a
            // position between the halves maps to the character's first byte.
            if (((i + 1) & (kStep - 1)) == 0) {
                checkpoints_.push_back(static_cast<std::size_t>(o - out.data()));
                breaksBefore_.push_back(breaks);
            }
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (u[i + 1] - 0xDC00);
            *o++ = static_cast<char>(0xF0 | (cp >> 18));
            *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        } else {
            const char16_t v = (IsHigh(c) || IsLow(c)) ? char16_t(0xFFFD) : c;
            *o++ = static_cast<char>(0xE0 | (v >> 12));
            *o++ = static_cast<char>(0x80 | ((v >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (v & 0x3F));
        }
    }
    engineLength_ = static_cast<std::size_t>(o - out.data());
    out.resize(engineLength_);
    out.shrink_to_fit();
    return out;
}

std::size_t PositionMap::BreaksIn(const QString& text, int from, int to) noexcept {
    std::size_t breaks = 0;
    for (int i = std::max(from, 0); i < std::min(to, static_cast<int>(text.size())); ++i)
        breaks += IsBreak(text.at(i).unicode()) ? 1 : 0;
    return breaks;
}

QString PositionMap::WithLineEnds(const QString& text) const {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t breaks = 0;
    for (const QChar c : text) {
        if (IsBreak(c.unicode()))
            out += QLatin1StringView(ends_.At(breaks++));
        else
            out += c;
    }
    return out;
}

int PositionMap::Width(int position, std::size_t& breaks) const noexcept {
    const char16_t c = text_.at(position).unicode();
    if (IsBreak(c)) return static_cast<int>(ends_.At(breaks++).size());
    if (c < 0x80) return 1;
    if (c < 0x800) return 2;
    if (IsHigh(c)) return position + 1 < text_.size() && IsLow(text_.at(position + 1).unicode()) ? 0 : 3;
    if (IsLow(c)) return IsSecondHalf(position) ? 4 : 3;
    return 3;
}

bool PositionMap::IsSecondHalf(int position) const noexcept {
    return position > 0 && position < text_.size() && IsLow(text_.at(position).unicode()) &&
           IsHigh(text_.at(position - 1).unicode());
}

std::size_t PositionMap::ByteOfPosition(int position) const noexcept {
    if (position <= 0) return 0;
    if (position >= DocumentLength()) return engineLength_;
    std::size_t byte = checkpoints_[static_cast<std::size_t>(position / kStep)];
    std::size_t breaks = breaksBefore_[static_cast<std::size_t>(position / kStep)];
    for (int i = position / kStep * kStep; i < position; ++i)
        byte += static_cast<std::size_t>(Width(i, breaks));
    return byte;
}

int PositionMap::PositionOfByte(std::size_t byte) const noexcept {
    if (byte >= engineLength_) return DocumentLength();
    // The last checkpoint at or before the byte.
    const auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), byte);
    const std::size_t k = static_cast<std::size_t>(after - checkpoints_.begin()) - 1;
    int position = static_cast<int>(k) * kStep;
    std::size_t at = checkpoints_[k];
    std::size_t breaks = breaksBefore_[k];
    // A checkpoint on the second half of a pair stands for the pair's first byte.
    if (IsSecondHalf(position)) --position;
    for (;;) {
        if (at >= byte) return position;
        const std::size_t width = static_cast<std::size_t>(Width(position, breaks));
        if (at + width > byte) return IsSecondHalf(position) ? position - 1 : position;
        at += width;
        ++position;
    }
}

} // namespace marlix
