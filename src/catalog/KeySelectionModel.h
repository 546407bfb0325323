#pragma once
// The "Select key fields" dialog without its window: the candidate source tables of a result
// set's statement, the columns of the chosen one, the columns the user marks as keys, and what
// the choice changes in the result set's RESULTSET element.
#include "catalog/SourceTableChoice.h"
#include "grammar/SelectAnalysis.h"
#include "metadata/BlockEdits.h"
#include "metadata/ElementNode.h"

#include <string>
#include <vector>

namespace marlix {

struct KeySelectionStart {
    std::string sourceTable;
    std::string destinationTable;
    std::vector<std::string> candidates; // the tables of the result set's statement
};

class KeySelectionModel {
public:
    KeySelectionModel(KeySelectionStart start, TableColumnSource& columns);

    const std::vector<std::string>& Sources() const noexcept { return source_.Sources(); }
    int SourceIndex() const noexcept { return source_.SourceIndex(); }
    const std::string& SourceText() const noexcept { return source_.SourceText(); }
    const std::string& DestinationText() const noexcept { return destinationText_; }
    const std::vector<std::string>& Columns() const noexcept { return source_.Columns(); }
    const std::vector<int>& SelectedColumns() const noexcept { return source_.SelectedColumns(); }

    void ChooseSource(int index) { source_.Choose(index); }
    void EditSource(const std::string& text) { source_.Edit(text); }
    void EditDestination(const std::string& text) { destinationText_ = text; }
    void SelectColumns(std::vector<int> rows) { source_.SelectColumns(std::move(rows)); }

    // OK needs at least one column.
    bool OkEnabled() const noexcept { return !source_.SelectedColumns().empty(); }
    // The selected column names, in list order.
    std::vector<std::string> ChosenKeys() const;

private:
    SourceTableChoice source_;
    std::string destinationText_;
};

// Writes a confirmed choice into the RESULTSET element: SOURCE and TABLE, and a KEYS element
// (replacing any) with one child per key, named by the field itself and carrying FIELD. Throws
// CSyntaxException (kDuplicateChildMessage) when two keys share a name.
void ApplyKeyChoice(ElementNode& resultSet, const std::string& source, const std::string& destination,
                    const std::vector<std::string>& keys);

// What key selection starts with for a result: its source and destination, and the tables of
// its statement as the candidates.
KeySelectionStart KeySelectionStartFor(const ConversionDescription& description,
                                       const AnalysedDescription& analysis);

// A confirmed choice written into the script: the statement's RESULTSET element (`item`), or a
// new block at `statementPosition` built from the description, with TYPE `type` and the choice
// (ApplyKeyChoice).
TextEdit KeyChoiceEdit(const AnalysedScript& script, const ScriptItem* item, std::size_t statementPosition,
                       const ConversionDescription& description, StatementType type,
                       const KeySelectionModel& choice);

// The indexes of the result columns the keys name: each key without any qualifier up to its last
// '.', compared with the column names ignoring case; in column order.
std::vector<int> KeyColumnIndexes(const std::vector<std::string>& columnNames,
                                  const std::vector<std::string>& keys);

} // namespace marlix
