#include "metadata/BlockReader.h"

#include "core/CaseFold.h"
#include "core/DialectNames.h"
#include "core/SyntaxException.h"
#include "metadata/ElementParser.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>

namespace marlix {

std::optional<LiteralStyle> LiteralStyleFromName(std::string_view name) noexcept {
    if (EqualsFolded(name, "EXACT")) return LiteralStyle::Exact;
    if (EqualsFolded(name, "STANDARD")) return LiteralStyle::Standard;
    return std::nullopt;
}

std::optional<int> CountFromText(std::string_view text, int least) noexcept {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < least)
        return std::nullopt;
    return value;
}

void BlockReader::ReadAll(std::vector<StatementRecord>& statements, LiteralStyle literals) {
    literals_ = literals;
    for (std::size_t i = 0; i < statements.size(); ++i)
        ReadStatement(statements[i], i);
}

void BlockReader::ReadRange(std::vector<StatementRecord>& statements, std::size_t first, std::size_t last,
                            std::size_t blocksBefore, LiteralStyle literals) {
    blockCounter_ = blocksBefore;
    literals_ = literals;
    for (std::size_t i = first; i < last; ++i)
        ReadStatement(statements[i], i);
}

void BlockReader::ReadStatement(StatementRecord& statement, std::size_t index) {
    resultSetCounter_ = 0;
    current_ = index;
    bool describedByResultSet = false;
    for (std::size_t t = statement.firstToken; t < statement.endToken; ++t) {
        if (script_.tokens[t].cls != TokenClass::MetadataStart) continue;
        ElementNode* block = nullptr;
        t = ReadBlock(t, statement.endToken, block);
        // Name order puts OPTIONS before RESULTSET; other elements mean nothing to the reader.
        for (const auto& [name, element] : block->Children()) {
            if (name == "OPTIONS") {
                ApplyOptions(*element, *block, index);
            } else if (name == "RESULTSET") {
                ApplyResultSet(*element, *block, statement, index);
                describedByResultSet = true;
            }
        }
    }
    AnalyseIfSelect(statement, index, describedByResultSet);
    // Like the dialect, the literal style governs the statement whether or not a block
    // describes its results.
    statement.description.literals = literals_;
}

std::size_t BlockReader::ReadBlock(std::size_t marker, std::size_t end, ElementNode*& block) {
    const Token& start = script_.tokens[marker];
    block = &into_.root.InsertChild(std::make_unique<ElementNode>("ROOT" + std::to_string(blockCounter_++),
                                                                  true, start.offset, start.offset));
    std::size_t p = marker + 1;
    while (p < end && script_.tokens[p].cls == TokenClass::TagOpen)
        p = ParseElement(script_, p, end, *block);
    if (p >= end || script_.tokens[p].cls != TokenClass::MetadataEnd) {
        const std::size_t at = p < end ? p : end - 1; // past the tokens: the last one read
        throw CSyntaxException(static_cast<std::int32_t>(script_.tokens[at].offset),
                               "end of XML clause expected here");
    }
    block->SetEnd(script_.tokens[p].End());
    return p;
}

void BlockReader::ApplyResultSet(const ElementNode& element, const ElementNode& block,
                                 StatementRecord& statement, std::size_t index) {
    WarnUnknownAttributes(element, {"COMMITEVERY", "FILE", "ROWS", "SOURCE", "TABLE", "TYPE"});
    // Statements that name no table cannot run anywhere ("INSERT INTO  (...)"); refused before
    // the statement takes anything from the element.
    const StatementType type = StatementTypeFromName(element.Attribute("TYPE"));
    if (type != StatementType::SELECT && element.Attribute("TABLE").empty() &&
        element.Attribute("SOURCE").empty())
        throw CSyntaxException(static_cast<std::int32_t>(element.Start()),
                               std::string("RESULTSET without a Table: its ") + StatementTypeName(type) +
                                   " statements need a table to name");
    ConversionDescription& d = statement.description;
    d.described = 0;
    d.describedByBlock = 1;
    into_.resultSetItems.push_back(ScriptItem{NextScriptItemNumber(), ScriptItemKind::ResultSet,
                                              element.Start(), element.End(), block.Name(), index,
                                              Dialect::MSSQL});
    if (element.HasAttribute("TABLE")) d.destinationTable = element.Attribute("TABLE");
    d.sourceTable = element.HasAttribute("SOURCE") ? element.Attribute("SOURCE") : d.destinationTable;
    d.type = type;
    d.file = element.Attribute("FILE");
    d.keyFields.clear();
    if (const ElementNode* keys = element.FindChild("KEYS")) {
        WarnUnknownAttributes(*keys, {});
        for (const auto& [name, key] : keys->Children()) {
            WarnUnknownAttributes(*key, {"FIELD"});
            d.keyFields.push_back(key->Attribute("FIELD"));
        }
    }
    d.rowsPerStatement = NumberAttribute(element, "ROWS", 1, 1);
    d.commitEvery = NumberAttribute(element, "COMMITEVERY", 0, 0);
    d.resultSetNumber = resultSetCounter_++;
}

int BlockReader::NumberAttribute(const ElementNode& element, std::string_view name, int least,
                                 int fallback) const {
    if (!element.HasAttribute(name)) return fallback;
    const std::string& text = element.Attribute(name);
    const std::optional<int> value = CountFromText(text, least);
    if (!value) {
        const std::string shown = name == "ROWS" ? "Rows" : "CommitEvery";
        throw CSyntaxException(static_cast<std::int32_t>(AttributeValueOffset(element, name)),
                               shown + " must be a whole number of " + std::to_string(least) +
                                   " or more, not \"" + text + "\"");
    }
    return *value;
}

std::size_t BlockReader::AttributeValueOffset(const ElementNode& element, std::string_view name) const {
    const std::size_t t = AttributeNameToken(element, name);
    return t + 2 < script_.size() ? script_.tokens[t + 2].offset : element.Start();
}

std::size_t BlockReader::AttributeNameToken(const ElementNode& element, std::string_view name) const {
    // The element's own attributes stand between its name and the first '>' or "/>".
    const auto& tokens = script_.tokens;
    auto t = static_cast<std::size_t>(
        std::lower_bound(tokens.begin(), tokens.end(), element.Start(),
                         [](const Token& token, std::size_t offset) { return token.offset < offset; }) -
        tokens.begin());
    for (; t < tokens.size() && tokens[t].offset < element.End(); ++t) {
        const std::string_view text = script_.TextOf(t);
        if (text == ">" || text == "/>") break;
        if (tokens[t].cls == TokenClass::MetadataWord && EqualsFolded(text, name)) return t;
    }
    return tokens.size();
}

void BlockReader::WarnUnknownAttributes(const ElementNode& element,
                                        std::initializer_list<std::string_view> known) {
    for (const auto& [name, value] : element.Attributes()) {
        if (std::find(known.begin(), known.end(), name) != known.end()) continue;
        const std::size_t t = AttributeNameToken(element, name);
        const bool found = t < script_.size();
        into_.warnings.push_back(BlockWarning{found ? script_.tokens[t].offset : element.Start(),
                                              "unknown attribute " +
                                                  std::string(found ? script_.TextOf(t) : name) + " of " +
                                                  element.Name() + " ignored"});
    }
}

void BlockReader::ApplyOptions(const ElementNode& element, const ElementNode& block, std::size_t index) {
    WarnUnknownAttributes(element, {"LITERALS", "SYNTAX"});
    const Dialect dialect = DialectFromName(element.Attribute("SYNTAX"));
    LiteralStyle literals = LiteralStyle::Inherit;
    if (element.HasAttribute("LITERALS")) {
        const std::string& name = element.Attribute("LITERALS");
        const std::optional<LiteralStyle> style = LiteralStyleFromName(name);
        if (!style)
            throw CSyntaxException(static_cast<std::int32_t>(AttributeValueOffset(element, "LITERALS")),
                                   "Literals must be \"EXACT\" or \"STANDARD\", not \"" + name + "\"");
        literals = *style;
    }
    literals_ = literals;
    into_.currentDialect = dialect;
    into_.syntaxItems.push_back(ScriptItem{NextScriptItemNumber(), ScriptItemKind::Syntax, element.Start(),
                                           element.End(), block.Name(), index, dialect});
}

void BlockReader::AnalyseIfSelect(StatementRecord& statement, std::size_t index, bool describedByResultSet) const {
    // Comments and blocks before the statement's first word are invisible to the server, so
    // they do not keep a SELECT from being one.
    std::size_t t = statement.firstToken;
    while (t < statement.endToken && IsCommentLike(script_.tokens[t].cls))
        ++t;
    if (t >= statement.endToken || script_.tokens[t].cls != TokenClass::Word ||
        !EqualsFolded(script_.TextOf(t), "SELECT"))
        return;
    if (!known_ || index >= known_->size() || !(*known_)[index])
        AnalyseSelect(statement.analysed, script_, t, statement.endToken);
    if (!describedByResultSet) {
        statement.description.sourceTable = statement.analysed.sourceTable;
        statement.description.destinationTable = statement.analysed.destinationTable;
    }
}

} // namespace marlix
