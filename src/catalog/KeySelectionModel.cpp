#include "catalog/KeySelectionModel.h"

#include "core/CaseFold.h"

#include <algorithm>

namespace marlix {

KeySelectionModel::KeySelectionModel(KeySelectionStart start, TableColumnSource& columns)
    : source_(columns), sources_(std::move(start.candidates)), sourceText_(std::move(start.sourceTable)),
      destinationText_(std::move(start.destinationTable)) {
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (EqualsFolded(sources_[i], sourceText_)) {
            sourceIndex_ = static_cast<int>(i);
            break;
        }
    LoadColumns();
}

void KeySelectionModel::LoadColumns() {
    // A chosen entry names its table exactly, whatever case the text was typed in.
    columns_ =
        source_.ColumnsOf(sourceIndex_ >= 0 ? sources_[static_cast<std::size_t>(sourceIndex_)] : sourceText_);
    selectedColumns_.clear();
}

void KeySelectionModel::ChooseSource(int index) {
    if (index < 0 || index >= static_cast<int>(sources_.size())) return;
    sourceIndex_ = index;
    sourceText_ = sources_[static_cast<std::size_t>(index)];
    LoadColumns();
}

void KeySelectionModel::EditSource(const std::string& text) {
    if (text == sourceText_) return;
    sourceText_ = text;
    sourceIndex_ = -1;
    LoadColumns();
}

void KeySelectionModel::SelectColumns(std::vector<int> rows) {
    const int count = static_cast<int>(columns_.size());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selectedColumns_ = std::move(rows);
}

std::vector<std::string> KeySelectionModel::ChosenKeys() const {
    std::vector<std::string> keys;
    for (int row : selectedColumns_)
        keys.push_back(columns_[static_cast<std::size_t>(row)]);
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
