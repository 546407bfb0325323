#include "catalog/KeySelectionModel.h"

#include "core/CaseFold.h"
#include "core/DialectNames.h"

#include <algorithm>

namespace marlix {

KeySelectionModel::KeySelectionModel(KeySelectionStart start, TableColumnSource& columns)
    : source_(columns, std::move(start.candidates), std::move(start.sourceTable)),
      destinationText_(std::move(start.destinationTable)) {}

std::vector<std::string> KeySelectionModel::ChosenKeys() const {
    std::vector<std::string> keys;
    for (int row : source_.SelectedColumns())
        keys.push_back(source_.Columns()[static_cast<std::size_t>(row)]);
    return keys;
}

void ApplyKeyChoice(ElementNode& resultSet, const std::string& source, const std::string& destination,
                    const std::vector<std::string>& keys) {
    ElementNode keysElement("KEYS");
    for (const std::string& key : keys) {
        ElementNode child(key);
        child.SetAttribute("FIELD", key);
        keysElement.InsertChild(std::move(child));
    }
    resultSet.SetAttribute("SOURCE", source);
    resultSet.SetAttribute("TABLE", destination);
    resultSet.RemoveChild("KEYS");
    resultSet.InsertChild(std::move(keysElement));
}

KeySelectionStart KeySelectionStartFor(const ConversionDescription& description,
                                       const AnalysedDescription& analysis) {
    KeySelectionStart start{description.sourceTable, description.destinationTable, {}};
    if (start.destinationTable.empty()) start.destinationTable = start.sourceTable;
    for (const AnalysedTable& table : analysis.tables)
        if (std::find(start.candidates.begin(), start.candidates.end(), table.name) == start.candidates.end())
            start.candidates.push_back(table.name);
    return start;
}

TextEdit KeyChoiceEdit(const AnalysedScript& script, const ScriptItem* item, std::size_t statementPosition,
                       const ConversionDescription& description, StatementType type,
                       const KeySelectionModel& choice) {
    const ElementNode* existing = item ? script.ItemElement(*item) : nullptr;
    ElementNode element = existing ? *existing : BuildResultSetElement(description, type);
    element.SetAttribute("TYPE", StatementTypeName(type));
    ApplyKeyChoice(element, choice.SourceText(), choice.DestinationText(), choice.ChosenKeys());
    return existing ? ReplaceElementEdit(item->start, item->end, element)
                    : InsertBlockEdit(statementPosition, element);
}

std::vector<int> KeyColumnIndexes(const std::vector<std::string>& columnNames,
                                  const std::vector<std::string>& keys) {
    std::vector<int> indexes;
    for (std::size_t c = 0; c < columnNames.size(); ++c)
        for (const std::string& key : keys) {
            const std::size_t dot = key.rfind('.');
            const std::string_view field =
                dot == std::string::npos ? std::string_view(key) : std::string_view(key).substr(dot + 1);
            if (EqualsFolded(columnNames[c], field)) {
                indexes.push_back(static_cast<int>(c));
                break;
            }
        }
    return indexes;
}

} // namespace marlix
