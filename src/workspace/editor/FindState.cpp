#include "workspace/editor/FindState.h"

#include <algorithm>

namespace marlix {
namespace {

bool IsBlank(QChar c) noexcept {
    const char16_t u = c.unicode();
    return u <= 32 || u == 0x2028 || u == 0x2029;
}

} // namespace

QString FindState::InitialText(QStringView text, int anchor, int caret) {
    const int size = static_cast<int>(text.size());
    int low = std::clamp(std::min(anchor, caret), 0, size);
    int high = std::clamp(std::max(anchor, caret), 0, size);
    if (low == high) {
        if (low >= size || IsBlank(text[low])) return {};
        while (low > 0 && !IsBlank(text[low - 1]))
            --low;
        while (high < size && !IsBlank(text[high]))
            ++high;
        return text.mid(low, high - low).toString();
    }
    int end = high;
    while (end > low && IsBlank(text[end - 1]))
        --end;
    int start = end;
    while (start > low && !IsBlank(text[start - 1]))
        --start;
    return text.mid(start, end - start).toString();
}

std::optional<FindState::Match> FindState::FindNext(QStringView text, QStringView what) {
    const qsizetype found =
        what.isEmpty() || position_ > text.size() ? -1 : text.indexOf(what, position_, Qt::CaseSensitive);
    if (found < 0) {
        position_ = 0;
        return std::nullopt;
    }
    position_ = static_cast<int>(found + what.size());
    return Match{static_cast<int>(found), static_cast<int>(what.size())};
}

} // namespace marlix
