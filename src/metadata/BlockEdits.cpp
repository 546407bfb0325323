#include "metadata/BlockEdits.h"

#include "core/DialectNames.h"
#include "core/SyntaxException.h"
#include "metadata/BlockComposer.h"
#include "metadata/BlockReader.h"

namespace marlix {

namespace {

// Elements the program writes sit one tab deep in their block; the tab before the opening tag
// is part of the surrounding text.
constexpr std::string_view kElementIndent = "\t";

std::string JoinKeyFields(const ElementNode& resultSet) {
    std::string text;
    if (const ElementNode* keys = resultSet.FindChild("KEYS"))
        for (const auto& [name, key] : keys->Children()) {
            if (!text.empty()) text += "\r\n";
            text += key->Attribute("FIELD");
        }
    return text;
}

// A count attribute as the wizard shows it: `fallback` when absent or not a number of at
// least `least` (the reader has then reported it already).
int CountOf(const ElementNode& element, std::string_view name, int least, int fallback) {
    return CountFromText(element.Attribute(name), least).value_or(fallback);
}

} // namespace

void ApplyEdit(std::string& text, const TextEdit& edit) {
    text.replace(edit.start, edit.end - edit.start, edit.text);
}

std::optional<ResultSetEditStart> ResultSetEditAt(const AnalysedScript& script, std::size_t position,
                                                  Dialect defaultDialect) {
    const ElementNode* block = script.BlockAt(position);
    if (!block) return std::nullopt;
    const ElementNode* resultSet = block->FindChild("RESULTSET");
    if (!resultSet) return std::nullopt;
    ResultSetEditStart start;
    start.elementStart = resultSet->Start();
    start.elementEnd = resultSet->End();
    start.keyFieldText = JoinKeyFields(*resultSet);
    start.typeName = resultSet->HasAttribute("TYPE") ? resultSet->Attribute("TYPE") : "SELECT";
    start.sourceTable = resultSet->Attribute("SOURCE");
    start.destinationTable = resultSet->Attribute("TABLE");
    if (!resultSet->HasAttribute("SOURCE")) start.sourceTable = start.destinationTable;
    if (!resultSet->HasAttribute("TABLE")) start.destinationTable = start.sourceTable;
    start.dialectName = DialectName(script.SyntaxAt(position, defaultDialect));
    start.rowsPerStatement = CountOf(*resultSet, "ROWS", 1, 1);
    start.commitEvery = CountOf(*resultSet, "COMMITEVERY", 0, 0);
    return start;
}

TextEdit ReplaceResultSetEdit(const ResultSetEditStart& start, const ConversionDescription& chosen) {
    return {start.elementStart, start.elementEnd, ComposeResultSetElement(chosen)};
}

ElementNode BuildResultSetElement(const ConversionDescription& description, StatementType type) {
    ElementNode element("RESULTSET");
    element.SetAttribute("TYPE", StatementTypeName(type));
    if (!description.destinationTable.empty())
        element.SetAttribute("TABLE", description.destinationTable);
    element.SetAttribute("SOURCE", description.sourceTable);
    if (description.rowsPerStatement != 1)
        element.SetAttribute("ROWS", std::to_string(description.rowsPerStatement));
    if (description.commitEvery != 0)
        element.SetAttribute("COMMITEVERY", std::to_string(description.commitEvery));
    if (!description.keyFields.empty()) {
        ElementNode& keys = element.InsertChild(ElementNode("KEYS"));
        for (const std::string& field : description.keyFields) {
            ElementNode key(field);
            key.SetAttribute("FIELD", field);
            keys.InsertChild(std::move(key));
        }
    }
    return element;
}

TextEdit InsertBlockEdit(std::size_t position, const ElementNode& element) {
    std::string text = "\r\n/*METADATA>\r\n\t";
    SerializeElement(element, kElementIndent, true, text);
    text += "\r\n</METADATA*/\r\n";
    return {position, position, std::move(text)};
}

TextEdit ReplaceElementEdit(std::size_t start, std::size_t end, const ElementNode& element) {
    return {start, end, SerializeElement(element, kElementIndent, true)};
}

TextEdit WriteConversionChoice(const AnalysedScript& script, const ScriptItem* item,
                               std::size_t statementPosition, const ConversionDescription& description,
                               StatementType type) {
    const ElementNode* existing = item ? script.ItemElement(*item) : nullptr;
    if (!existing) return InsertBlockEdit(statementPosition, BuildResultSetElement(description, type));
    ElementNode updated(*existing);
    updated.SetAttribute("TYPE", StatementTypeName(type));
    // Its other attributes (Rows, CommitEvery, ...) stay as the text has them: the result set's
    // description may be older than the text.
    return ReplaceElementEdit(item->start, item->end, updated);
}

TextEdit ChangeSyntaxEdit(const AnalysedScript& script, Dialect dialect) {
    const auto& items = script.SyntaxItems();
    if (!items.empty()) {
        if (const ElementNode* options = script.ItemElement(items.front())) {
            ElementNode updated(*options);
            updated.SetAttribute("SYNTAX", DialectName(dialect));
            return ReplaceElementEdit(items.front().start, items.front().end, updated);
        }
    }
    ElementNode options("OPTIONS");
    options.SetAttribute("SYNTAX", DialectName(dialect));
    const auto& statements = script.Statements();
    const std::size_t position = statements.empty() ? 0 : statements.front().start;
    std::string text = "/*METADATA>\r\n";
    SerializeElement(options, kElementIndent, false, text);
    text += "\r\n</METADATA*/\r\n";
    return {position, position, std::move(text)};
}

} // namespace marlix
