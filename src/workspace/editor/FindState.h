#pragma once
// Text search in the script: the text the find dialog opens with, and where the next search
// starts. Works on the document's text (positions), case-sensitive, downwards only.
#include <QString>
#include <QStringView>

#include <optional>

namespace marlix {

class FindState {
public:
    struct Match {
        int start = 0;
        int length = 0;
        bool operator==(const Match&) const = default;
    };

    // With no selection (anchor == caret), the run of non-blank characters (codes above 32, line
    // breaks being blank) that holds the character at the caret, or nothing when that character
    // is blank; with a selection, the last such run inside it.
    static QString InitialText(QStringView text, int anchor, int caret);

    // The next search starts at `position` (the end of the selection when the dialog opens).
    void Start(int position) noexcept { position_ = position < 0 ? 0 : position; }
    int Position() const noexcept { return position_; }

    // Searches `what` from the find position on. Found: the next search starts after the match.
    // Not found (an empty `what` included): nothing, and the next search starts at the
    // beginning of the text.
    std::optional<Match> FindNext(QStringView text, QStringView what);

private:
    int position_ = 0;
};

} // namespace marlix
