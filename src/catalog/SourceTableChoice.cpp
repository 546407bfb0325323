#include "catalog/SourceTableChoice.h"

#include "core/CaseFold.h"

#include <algorithm>

namespace marlix {

SourceTableChoice::SourceTableChoice(TableColumnSource& columns, std::vector<std::string> candidates,
                                     std::string text)
    : source_(columns), sources_(std::move(candidates)), sourceText_(std::move(text)) {
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (EqualsFolded(sources_[i], sourceText_)) {
            sourceIndex_ = static_cast<int>(i);
            break;
        }
    LoadColumns();
}

void SourceTableChoice::LoadColumns() {
    // A chosen entry names its table exactly, whatever case the text was typed in.
    columns_ =
        source_.ColumnsOf(sourceIndex_ >= 0 ? sources_[static_cast<std::size_t>(sourceIndex_)] : sourceText_);
    selectedColumns_.clear();
}

bool SourceTableChoice::Choose(int index) {
    if (index < 0 || index >= static_cast<int>(sources_.size())) return false;
    sourceIndex_ = index;
    sourceText_ = sources_[static_cast<std::size_t>(index)];
    LoadColumns();
    return true;
}

bool SourceTableChoice::Edit(const std::string& text) {
    if (text == sourceText_) return false;
    sourceText_ = text;
    sourceIndex_ = -1;
    LoadColumns();
    return true;
}

void SourceTableChoice::SelectColumns(std::vector<int> rows) {
    const int count = static_cast<int>(columns_.size());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selectedColumns_ = std::move(rows);
}

} // namespace marlix
