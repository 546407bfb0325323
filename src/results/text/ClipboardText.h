#pragma once
// What a copy of the Results text puts on the clipboard: Unicode text with "\n" line ends, the
// way Linux programs paste it ("\r\n" becomes "\n"; a lone "\r" stays). It is decoded straight
// into the string that goes to the clipboard, a chunk at a time, so copying a whole batch output
// costs that string and no second copy of the bytes.
#include "results/text/ResultsText.h"

#include <QString>

namespace marlix {

QString ClipboardText(const ResultsText& text, size_t start, size_t end);

} // namespace marlix
