#include "catalog/MetadataWizardModel.h"

#include "core/CaseFold.h"
#include "core/DialectNames.h"

#include <algorithm>

namespace marlix {

bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
    return true;
}

MetadataWizardModel::MetadataWizardModel(const WizardStart& start, TableColumnSource& columns)
    : source_(columns, columns.SourceNames(), start.sourceTable), newBlock_(start.newBlock),
      followSource_(start.destinationTable.empty()), destinationText_(start.destinationTable),
      keyText_(start.keyFieldText) {
    SetRowsPerStatement(start.rowsPerStatement);
    SetCommitEvery(start.commitEvery);
    for (std::size_t i = 0; i < kWizardDialectItems.size(); ++i)
        if (BeginsWithIgnoringCase(kWizardDialectItems[i].text, start.dialectText)) {
            dialectIndex_ = static_cast<int>(i);
            break;
        }
    for (std::size_t i = 0; i < kWizardTypeItems.size(); ++i)
        if (BeginsWithIgnoringCase(kWizardTypeItems[i], start.typeText)) {
            typeIndex_ = static_cast<int>(i);
            break;
        }
    if (newBlock_) {
        generateSelect_ = true;
        selectAll_ = true;
    }
}

void MetadataWizardModel::ChooseSource(int index) {
    if (source_.Choose(index) && followSource_) destinationText_ = source_.SourceText();
}

void MetadataWizardModel::EditSource(const std::string& text) {
    if (source_.Edit(text) && followSource_) destinationText_ = text;
}

void MetadataWizardModel::ChooseType(int index) {
    typeIndex_ = index >= 0 && index < static_cast<int>(kWizardTypeItems.size()) ? index : -1;
}

void MetadataWizardModel::ChooseDialect(int index) {
    if (index >= 0 && index < static_cast<int>(kWizardDialectItems.size())) dialectIndex_ = index;
}

void MetadataWizardModel::ChooseLiterals(int index) {
    if (index >= 0 && index < static_cast<int>(kWizardLiteralItems.size())) literalIndex_ = index;
}

void MetadataWizardModel::SelectColumns(std::vector<int> rows) {
    source_.SelectColumns(std::move(rows));
}

void MetadataWizardModel::AppendLine(std::string& text, const std::string& line) {
    if (!text.empty()) text += "\r\n";
    text += line;
}

void MetadataWizardModel::AddSelectedKeys() {
    for (int row : source_.SelectedColumns())
        AppendLine(keyText_, source_.Columns()[static_cast<std::size_t>(row)]);
}

void MetadataWizardModel::AddSelectedFields() {
    if (!AddFieldsEnabled()) return;
    for (int row : source_.SelectedColumns())
        AppendLine(fieldText_, source_.Columns()[static_cast<std::size_t>(row)]);
}

void MetadataWizardModel::AddAllFields() {
    if (!AddAllFieldsEnabled()) return;
    for (const std::string& column : source_.Columns())
        AppendLine(fieldText_, column);
}

bool MetadataWizardModel::OkEnabled() const {
    if (SplitFieldLines(keyText_).empty() || typeIndex_ < 0 || source_.SourceText().empty()) return false;
    // "SELECT fields" without a field would generate "SELECT  FROM t".
    if (FieldListEnabled() && SplitFieldLines(fieldText_).empty()) return false;
    return true;
}

bool MetadataWizardModel::RowsEnabled() const noexcept {
    return typeIndex_ >= 0 && kWizardTypeItems[static_cast<std::size_t>(typeIndex_)] == "Insert";
}

bool MetadataWizardModel::CommitEveryEnabled() const noexcept {
    return typeIndex_ >= 0 && kWizardTypeItems[static_cast<std::size_t>(typeIndex_)] != "Select";
}

ConversionDescription MetadataWizardModel::Description() const {
    ConversionDescription description;
    description.sourceTable = source_.SourceText();
    description.destinationTable = destinationText_;
    description.type = typeIndex_ < 0
                           ? StatementType::SELECT
                           : StatementTypeFromName(kWizardTypeItems[static_cast<std::size_t>(typeIndex_)]);
    description.keyFields = SplitFieldLines(keyText_);
    description.rowsPerStatement = rowsPerStatement_;
    description.commitEvery = commitEvery_;
    if (LiteralsEnabled())
        description.literals = kWizardLiteralItems[static_cast<std::size_t>(literalIndex_)].style;
    return description;
}

std::string_view MetadataWizardModel::DialectName() const {
    return kWizardDialectItems[static_cast<std::size_t>(dialectIndex_)].name;
}

SelectGeneration MetadataWizardModel::Selection() const {
    SelectGeneration select;
    select.generate = newBlock_ && generateSelect_;
    select.selectAll = selectAll_;
    select.fieldText = fieldText_;
    return select;
}

std::string MetadataWizardModel::BlockText() const {
    return ComposeBlock(Description(), DialectName(), Selection());
}

std::string MetadataWizardModel::ResultSetElementText() const {
    return ComposeResultSetElement(Description());
}

} // namespace marlix
