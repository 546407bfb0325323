#include "catalog/MetadataWizardModel.h"

#include "catalog/CatalogNode.h"
#include "core/CaseFold.h"
#include "core/DialectNames.h"
#include "transform/ColumnNameQuoting.h"
#include "transform/TargetStatements.h"

#include <algorithm>

namespace marlix {

bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
    return true;
}

MetadataWizardModel::MetadataWizardModel(const WizardStart& start, TableColumnSource& columns)
    : names_(columns), source_(columns, columns.SourceNames(), start.sourceTable), newBlock_(start.newBlock),
      followSource_(start.destinationTable.empty()), destinationText_(start.destinationTable),
      keyText_(start.keyFieldText) {
    SetRowsPerStatement(start.rowsPerStatement);
    SetCommitEvery(start.commitEvery);
    for (std::size_t i = 0; i < kWizardDialectItems.size(); ++i)
        if (BeginsWithIgnoringCase(kWizardDialectItems[i].text, start.dialectText)) {
            dialectIndex_ = static_cast<int>(i);
            break;
        }
    // A block's TYPE names its item (INSERT_ARRAY is "Insert array"); a text such as "Sel" picks
    // the first item that begins with it.
    for (std::size_t i = 0; i < kWizardTypeItems.size() && typeIndex_ < 0; ++i)
        if (EqualsFolded(StatementTypeName(kWizardTypeItems[i].type), start.typeText))
            typeIndex_ = static_cast<int>(i);
    for (std::size_t i = 0; i < kWizardTypeItems.size() && typeIndex_ < 0; ++i)
        if (BeginsWithIgnoringCase(kWizardTypeItems[i].text, start.typeText))
            typeIndex_ = static_cast<int>(i);
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

StatementType MetadataWizardModel::Type() const noexcept {
    return typeIndex_ < 0 ? StatementType::SELECT
                          : kWizardTypeItems[static_cast<std::size_t>(typeIndex_)].type;
}

bool MetadataWizardModel::KeysNeeded() const noexcept {
    return typeIndex_ >= 0 && NeedsKeys(Type());
}

bool MetadataWizardModel::OkEnabled() const {
    return OkHint().empty();
}

std::string MetadataWizardModel::OkHint() const {
    if (typeIndex_ < 0) return "Choose a statement type.";
    if (source_.SourceText().empty()) return "Give the source table.";
    if (KeysNeeded() && SplitFieldLines(keyText_).empty())
        return "Key fields are needed for UPDATE, DELETE, REPLACE and UPSERT: add at least one.";
    // "SELECT fields" without a field would generate "SELECT  FROM t".
    if (FieldListEnabled() && SplitFieldLines(fieldText_).empty()) return "Give the fields to SELECT.";
    return {};
}

bool MetadataWizardModel::RowsEnabled() const noexcept {
    return typeIndex_ >= 0 && Type() == StatementType::INSERT;
}

bool MetadataWizardModel::CommitEveryEnabled() const noexcept {
    return typeIndex_ >= 0 && CommitsApply(Type());
}

ConversionDescription MetadataWizardModel::Description() const {
    ConversionDescription description;
    description.sourceTable = source_.SourceText();
    description.destinationTable = destinationText_;
    description.type = Type();
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
    if (selectAll_) return select;
    // A field that names a column of the source is written as the catalog spells it, quoted for
    // the server; anything else (an expression) as typed.
    const auto bare = [](std::string_view field) { return UnquotedName(ShortColumnName(field)); };
    std::vector<std::string> fields = SplitFieldLines(fieldText_);
    for (const std::string& key : SplitFieldLines(keyText_))
        if (std::none_of(fields.begin(), fields.end(),
                         [&](const std::string& field) { return EqualsFolded(bare(field), bare(key)); }))
            fields.push_back(key);
    for (const std::string& field : fields) {
        auto column = std::find_if(source_.Columns().begin(), source_.Columns().end(),
                                   [&](const std::string& name) { return EqualsFolded(name, field); });
        AppendLine(select.fieldText, column == source_.Columns().end() ? field : names_.QuotedName(*column));
    }
    return select;
}

std::string MetadataWizardModel::BlockText() const {
    return ComposeBlock(Description(), DialectName(), Selection());
}

std::string MetadataWizardModel::ResultSetElementText() const {
    return ComposeResultSetElement(Description());
}

} // namespace marlix
