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
    marks_.clear();
    marks_.reserve(static_cast<std::size_t>(n / kStep) + 1);
    checkpoints_.clear();
    checkpoints_.reserve(marks_.capacity());
    breaksBefore_.clear();
    breaksBefore_.reserve(checkpoints_.capacity());
    for (qsizetype i = 0; i < n; ++i) {
        if ((i & (kStep - 1)) == 0) {
            marks_.push_back(static_cast<int>(i));
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
                marks_.push_back(static_cast<int>(i + 1));
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
    if (marks_.empty()) {
        marks_.push_back(0);
        checkpoints_.push_back(0);
        breaksBefore_.push_back(0);
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

std::size_t PositionMap::MarkBefore(int position) const noexcept {
    return static_cast<std::size_t>(std::upper_bound(marks_.begin(), marks_.end(), position) - marks_.begin()) - 1;
}

std::pair<std::size_t, std::size_t> PositionMap::Walk(int position) const noexcept {
    const std::size_t k = MarkBefore(position);
    std::size_t byte = checkpoints_[k];
    std::size_t breaks = breaksBefore_[k];
    for (int i = marks_[k]; i < position; ++i)
        byte += static_cast<std::size_t>(Width(i, breaks));
    return {byte, breaks};
}

std::size_t PositionMap::ByteOfPosition(int position) const noexcept {
    if (position <= 0) return 0;
    if (position >= DocumentLength()) return engineLength_;
    return Walk(position).first;
}

void PositionMap::AppendEngine(std::u16string_view u, std::size_t& breaks, std::string& out) const {
    for (std::size_t i = 0; i < u.size(); ++i) {
        const char16_t c = u[i];
        char32_t cp = c;
        if (IsBreak(c)) {
            out += ends_.At(breaks++);
            continue;
        }
        if (IsHigh(c) && i + 1 < u.size() && IsLow(u[i + 1]))
            cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (u[++i] - 0xDC00);
        else if (IsHigh(c) || IsLow(c))
            cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
}

PositionMap::EngineEdit PositionMap::Follow(int position, int removed, const QString& added) {
    const int n = DocumentLength();
    position = std::clamp(position, 0, n);
    removed = std::clamp(removed, 0, n - position);
    // Two positions more on each side, and no surrogate pair cut at either end: the bytes
    // there are the same before and after the edit.
    int from = std::max(0, position - 2);
    if (IsSecondHalf(from)) --from;
    int to = std::min(n, position + removed + 2);
    if (to < n && IsSecondHalf(to)) ++to;
    const auto [byteFrom, breaksFrom] = Walk(from);
    const auto [byteTo, breaksTo] = Walk(to);
    if (ends_.Mixed())
        ends_.Replace(Walk(position).second, BreaksIn(text_, position, position + removed),
                      BreaksIn(added, 0, static_cast<int>(added.size())));
    const QString middle = text_.mid(from, position - from) + added + text_.mid(position + removed, to - position - removed);
    text_.replace(position, removed, added);
    EngineEdit edit{byteFrom, byteTo - byteFrom, {}};
    std::size_t breaks = breaksFrom;
    AppendEngine(std::u16string_view(reinterpret_cast<const char16_t*>(middle.constData()),
                                     static_cast<std::size_t>(middle.size())),
                 breaks, edit.inserted);
    const int positionShift = static_cast<int>(added.size()) - removed;
    const auto byteShift = static_cast<std::int64_t>(edit.inserted.size()) - static_cast<std::int64_t>(edit.removed);
    const auto breakShift = static_cast<std::int64_t>(breaks - breaksFrom) - static_cast<std::int64_t>(breaksTo - breaksFrom);
    engineLength_ = static_cast<std::size_t>(static_cast<std::int64_t>(engineLength_) + byteShift);
    // The marks inside the edit go; those after it move; new ones are walked in between.
    const std::size_t before = MarkBefore(from);
    const std::size_t after = std::max(
        before + 1, static_cast<std::size_t>(std::lower_bound(marks_.begin(), marks_.end(), to) - marks_.begin()));
    for (std::size_t k = after; k < marks_.size(); ++k) {
        marks_[k] += positionShift;
        checkpoints_[k] = static_cast<std::size_t>(static_cast<std::int64_t>(checkpoints_[k]) + byteShift);
        breaksBefore_[k] = static_cast<std::size_t>(static_cast<std::int64_t>(breaksBefore_[k]) + breakShift);
    }
    const int next = after < marks_.size() ? marks_[after] : static_cast<int>(text_.size());
    std::vector<int> positions;
    std::vector<std::size_t> bytes, breaksAt;
    std::size_t byte = checkpoints_[before];
    breaks = breaksBefore_[before];
    for (int i = marks_[before]; i < next - kStep;) {
        byte += static_cast<std::size_t>(Width(i, breaks));
        if (++i - (positions.empty() ? marks_[before] : positions.back()) >= kStep) {
            positions.push_back(i);
            bytes.push_back(byte);
            breaksAt.push_back(breaks);
        }
    }
    auto replace = [&](auto& marks, const auto& with) {
        marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(before + 1), marks.begin() + static_cast<std::ptrdiff_t>(after));
        marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(before + 1), with.begin(), with.end());
    };
    replace(marks_, positions);
    replace(checkpoints_, bytes);
    replace(breaksBefore_, breaksAt);
    return edit;
}

int PositionMap::PositionOfByte(std::size_t byte) const noexcept {
    if (byte >= engineLength_) return DocumentLength();
    // The last checkpoint at or before the byte.
    const auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), byte);
    const std::size_t k = static_cast<std::size_t>(after - checkpoints_.begin()) - 1;
    int position = marks_[k];
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
