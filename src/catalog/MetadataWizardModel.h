#pragma once
// The Metadata Wizard without its window: the lists it offers, what the user has chosen and
// typed, which controls may be used, and the block or RESULTSET element it composes. The dialog
// shows this state and hands every change back to it.
#include "catalog/SourceTableChoice.h"
#include "core/ConversionDescription.h"
#include "metadata/BlockComposer.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// "Statement type" items: every type Convert to offers, and the type written for each.
struct WizardTypeItem {
    std::string_view text;
    StatementType type;
};
inline constexpr std::array<WizardTypeItem, 8> kWizardTypeItems = {{
    {"Select", StatementType::SELECT},
    {"Insert", StatementType::INSERT},
    {"Update", StatementType::UPDATE},
    {"Replace", StatementType::REPLACE},
    {"Delete", StatementType::DELETE},
    {"Upsert", StatementType::UPSERT},
    {"Insert array", StatementType::INSERT_ARRAY},
    {"Load", StatementType::LOAD},
}};

// "Use syntax" items and the dialect names written for them.
struct WizardDialectItem {
    std::string_view text;
    std::string_view name;
};
inline constexpr std::array<WizardDialectItem, 8> kWizardDialectItems = {{
    {"<default>", kDefaultDialectMarker},
    {"MS SQL Server", "MSSQL"},
    {"Oracle", "ORACLE"},
    {"MySQL", "MYSQL"},
    {"MS Access", "ACCESS"},
    {"Generic SQL'92", "GENERIC"},
    {"PostgreSQL", "POSTGRESQL"},
    {"SQLite", "SQLITE"},
}};

// "Literals" items: the chosen dialect's own setting, the historic form, exact literals. Written
// into the OPTIONS element, so offered only with a new block that names a dialect.
struct WizardLiteralItem {
    std::string_view text;
    LiteralStyle style;
};
inline constexpr std::array<WizardLiteralItem, 3> kWizardLiteralItems = {{
    {"<dialect setting>", LiteralStyle::Inherit},
    {"Standard", LiteralStyle::Standard},
    {"Exact", LiteralStyle::Exact},
}};

struct WizardStart {
    std::string sourceTable;
    std::string destinationTable;
    std::string dialectText;  // selects the first "Use syntax" item that begins with it
    std::string typeText;     // selects the item of that type name, else the first that begins with it
    std::string keyFieldText; // one field per line, "\r\n" between lines
    bool newBlock = true;     // false: the RESULTSET of an existing block is edited
    int rowsPerStatement = 1; // RESULTSET Rows of the block edited
    int commitEvery = 0;      // RESULTSET CommitEvery of the block edited; 0 for none
};

class MetadataWizardModel {
public:
    MetadataWizardModel(const WizardStart& start, TableColumnSource& columns);

    bool NewBlock() const noexcept { return newBlock_; }
    const std::vector<std::string>& Sources() const noexcept { return source_.Sources(); }
    int SourceIndex() const noexcept { return source_.SourceIndex(); } // -1: no entry chosen
    const std::string& SourceText() const noexcept { return source_.SourceText(); }
    const std::string& DestinationText() const noexcept { return destinationText_; }
    int TypeIndex() const noexcept { return typeIndex_; } // -1: none
    int DialectIndex() const noexcept { return dialectIndex_; }
    const std::string& KeyText() const noexcept { return keyText_; }
    bool GenerateSelect() const noexcept { return generateSelect_; }
    bool SelectAll() const noexcept { return selectAll_; } // "SELECT *" rather than "SELECT fields"
    const std::string& FieldText() const noexcept { return fieldText_; }
    // Rows an INSERT groups into one statement (at least 1), and a commit after every N
    // statements (0: none).
    int RowsPerStatement() const noexcept { return rowsPerStatement_; }
    int CommitEvery() const noexcept { return commitEvery_; }
    int LiteralIndex() const noexcept { return literalIndex_; }
    // "All table fields": the columns of the source, and the rows selected in it.
    const std::vector<std::string>& Columns() const noexcept { return source_.Columns(); }
    const std::vector<int>& SelectedColumns() const noexcept { return source_.SelectedColumns(); }

    // The user's changes.
    void ChooseSource(int index);
    void EditSource(const std::string& text);
    void EditDestination(const std::string& text) { destinationText_ = text; }
    void ChooseType(int index);
    void ChooseDialect(int index);
    void EditKeys(const std::string& text) { keyText_ = text; }
    void SetGenerateSelect(bool on) { generateSelect_ = on; }
    void SetSelectAll(bool on) { selectAll_ = on; }
    void EditFields(const std::string& text) { fieldText_ = text; }
    void SetRowsPerStatement(int rows) noexcept { rowsPerStatement_ = rows < 1 ? 1 : rows; }
    void SetCommitEvery(int statements) noexcept { commitEvery_ = statements < 0 ? 0 : statements; }
    void ChooseLiterals(int index);
    void SelectColumns(std::vector<int> rows);
    // "<" beside the key fields, "<" and "<<" beside the SELECT field list: the selected columns,
    // or all of them, appended one per line.
    void AddSelectedKeys();
    void AddSelectedFields();
    void AddAllFields();

    // Which controls may be used now. OK needs a type, a source, the fields of "SELECT fields",
    // and key fields only for the types that name their rows by them.
    bool OkEnabled() const;
    bool KeysNeeded() const noexcept;
    // Why OK is disabled, said next to it; empty while it is enabled.
    std::string OkHint() const;
    bool GenerateEnabled() const noexcept { return newBlock_; }
    bool SelectChoiceEnabled() const noexcept { return GenerateEnabled() && generateSelect_; }
    bool FieldListEnabled() const noexcept { return SelectChoiceEnabled() && !selectAll_; }
    bool AddKeysEnabled() const noexcept { return !source_.SelectedColumns().empty(); }
    bool AddFieldsEnabled() const noexcept {
        return FieldListEnabled() && !source_.SelectedColumns().empty();
    }
    bool AddAllFieldsEnabled() const noexcept { return FieldListEnabled() && !source_.Columns().empty(); }
    // Rows only group INSERTs; commits go between generated statements, which a text table has
    // none of. A value the controls cannot change is still kept.
    bool RowsEnabled() const noexcept;
    bool CommitEveryEnabled() const noexcept;
    bool LiteralsEnabled() const noexcept { return newBlock_ && dialectIndex_ != 0; }

    // What OK hands over. The generated SELECT lists every key field (the statements name their
    // rows by them), and writes the names of the source's columns as the catalog spells them,
    // quoted where the server would fold them.
    ConversionDescription Description() const;
    std::string_view DialectName() const;
    SelectGeneration Selection() const;
    // The whole new block (with the SELECT when asked for), or the RESULTSET element alone.
    std::string BlockText() const;
    std::string ResultSetElementText() const;

private:
    static void AppendLine(std::string& text, const std::string& line);
    StatementType Type() const noexcept;

    TableColumnSource& names_;
    SourceTableChoice source_;
    bool newBlock_;
    bool followSource_; // the destination follows the source: there was no initial destination
    std::string destinationText_;
    int typeIndex_ = -1;
    int dialectIndex_ = 0;
    std::string keyText_;
    bool generateSelect_ = false;
    bool selectAll_ = false;
    std::string fieldText_;
    int rowsPerStatement_ = 1;
    int commitEvery_ = 0;
    int literalIndex_ = 0;
};

// True when `text` begins with `prefix`, ignoring the case of ASCII letters.
bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept;

} // namespace marlix
