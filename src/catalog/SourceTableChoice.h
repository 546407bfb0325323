#pragma once
// The source table a dialog of the wizard family works on: the candidate tables, the entry chosen
// among them or the text typed instead, the columns of that table, and the columns the user marked.
#include "catalog/TableColumnSource.h"

#include <string>
#include <vector>

namespace marlix {

class SourceTableChoice {
public:
    // `text` selects the candidate it names (ignoring case), if any.
    SourceTableChoice(TableColumnSource& columns, std::vector<std::string> candidates, std::string text);

    const std::vector<std::string>& Sources() const noexcept { return sources_; }
    int SourceIndex() const noexcept { return sourceIndex_; } // -1: no entry chosen
    const std::string& SourceText() const noexcept { return sourceText_; }
    const std::vector<std::string>& Columns() const noexcept { return columns_; }
    const std::vector<int>& SelectedColumns() const noexcept { return selectedColumns_; }

    // False (nothing changes) for an index outside the candidates.
    bool Choose(int index);
    // False when the text is the one already there.
    bool Edit(const std::string& text);
    // Keeps the rows that name a column, each once, in list order.
    void SelectColumns(std::vector<int> rows);

private:
    void LoadColumns();

    TableColumnSource& source_;
    std::vector<std::string> sources_;
    int sourceIndex_ = -1;
    std::string sourceText_;
    std::vector<std::string> columns_;
    std::vector<int> selectedColumns_;
};

} // namespace marlix
