#include "transform/ModificationScript.h"

#include "core/DateTimeText.h"
#include "core/ExactLiteral.h"
#include "core/SyntaxException.h"
#include "core/ResultSet.h"
#include "core/ValueText.h"
#include "transform/ColumnNameQuoting.h"
#include "transform/ResultSetEdits.h"

namespace marlix {
namespace {

void AppendName(const std::string& name, std::string& out) {
    if (ColumnNameNeedsQuoting(name))
        AppendQuotedName(name, Dialect::GENERIC, out);
    else
        out += name;
}

// The ODBC escape form (dialect < 0), which reads no dialect's settings, or the exact literal of
// a dialect, which its server reads back as the same value.
void AppendLiteral(ResultSet& resultSet, int column, const CellRef& value, int dialect, std::string& out) {
    if (dialect >= 0)
        AppendExactLiteral(resultSet.Column(column), value, static_cast<Dialect>(dialect), out);
    else
        AppendValueText(resultSet.Column(column), value, kOdbcEscapeMode, DefaultDialectSettingsSet(), true, out);
}

// "k1 = v1 AND k2 = v2" over the table's keys, with the values from before the edits. False
// when a key is not selected or holds NULL: such a row cannot be found by its key.
bool AppendKeyConditions(ResultSetEdits& edits, const RowEdit& record, int table, ModificationStatement& s,
                         std::string& problem, bool withLiterals, int dialect) {
    ResultSet& resultSet = edits.Result();
    const EditTable& t = edits.Tables()[table];
    if (t.keys.empty() || !t.allKeysPresent) {
        problem = "table " + t.name + " has no key known from the catalog";
        return false;
    }
    std::string literal, markers;
    std::vector<StatementParameter> parameters;
    for (const std::string& key : t.keys) {
        const int column = edits.KeyColumn(table, key);
        if (column < 0) {
            problem = "key column " + key + " of table " + t.name + " is not selected";
            return false;
        }
        const CellRef value = StoredValueOf(resultSet, record.row, column, true);
        if (value.isNull) {
            problem = "key column " + key + " of table " + t.name + " holds NULL";
            return false;
        }
        if (!literal.empty()) {
            literal += " AND ";
            markers += " AND ";
        }
        AppendName(key, literal);
        AppendName(key, markers);
        literal += " = ";
        markers += " = ?";
        if (withLiterals) AppendLiteral(resultSet, column, value, dialect, literal);
        parameters.push_back({column, value});
    }
    s.literalText += literal;
    s.markerText += markers;
    s.keyParameters = parameters;
    s.parameters.insert(s.parameters.end(), parameters.begin(), parameters.end());
    s.existsText = "SELECT 1 FROM " + t.name + " WHERE " + markers;
    return true;
}

} // namespace

bool BuildModificationStatement(ResultSetEdits& edits, const RowEdit& record, int table,
                                ModificationStatement& s, std::string& problem, bool withLiterals, int dialect) {
    problem.clear();
    s = {};
    s.table = table;
    ResultSet& resultSet = edits.Result();
    const std::string& tableName = edits.Tables()[table].name;
    // The statement end of the ODBC escape form, and of a script a dialect's client runs.
    const char* end = "\r\n";
    const char* literalEnd = dialect >= 0 ? ";\r\n" : end;
    if (record.deleted) {
        if (record.inserted) return false;
        s.kind = ModificationStatement::Kind::Delete;
        s.literalText = s.markerText = "DELETE FROM " + tableName + "\r\nWHERE\r\n\t";
        if (!AppendKeyConditions(edits, record, table, s, problem, withLiterals, dialect)) return false;
        s.literalText += literalEnd;
        s.markerText += end;
        return true;
    }
    std::vector<const CellEdit*> cells;
    for (const CellEdit& cell : record.cells)
        if (cell.pending && edits.CanEditColumn(cell.column) &&
            edits.Origins()[cell.column].tableIndex == table)
            cells.push_back(&cell);
    if (record.inserted) {
        if (cells.empty()) {
            problem = "the new row has no value for table " + tableName;
            return false;
        }
        s.kind = ModificationStatement::Kind::Insert;
        std::string names, values, markers;
        for (const CellEdit* cell : cells) {
            if (!names.empty()) {
                names += ", ";
                values += ", ";
                markers += ", ";
            }
            AppendName(edits.OriginColumnName(cell->column), names);
            const CellRef value = StoredValueOf(resultSet, record.row, cell->column, false);
            if (withLiterals) AppendLiteral(resultSet, cell->column, value, dialect, values);
            markers += '?';
            s.parameters.push_back({cell->column, value});
        }
        const std::string opening = "INSERT INTO " + tableName + " (" + names + ")\r\nVALUES (";
        s.literalText = opening + values + (dialect >= 0 ? ");\r\n" : ")\r\n" + std::string(end));
        s.markerText = opening + markers + ")\r\n" + end;
        return true;
    }
    if (!record.modified || cells.empty()) return false;
    s.kind = ModificationStatement::Kind::Update;
    s.literalText = s.markerText = "UPDATE " + tableName + " SET\r\n\t";
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i) {
            s.literalText += ", ";
            s.markerText += ", ";
        }
        const std::string name = edits.OriginColumnName(cells[i]->column);
        AppendName(name, s.literalText);
        AppendName(name, s.markerText);
        s.literalText += " = ";
        s.markerText += " = ?";
        const CellRef value = StoredValueOf(resultSet, record.row, cells[i]->column, false);
        if (withLiterals) AppendLiteral(resultSet, cells[i]->column, value, dialect, s.literalText);
        s.parameters.push_back({cells[i]->column, value});
    }
    s.literalText += "\r\nWHERE\r\n\t";
    s.markerText += "\r\nWHERE\r\n\t";
    if (!AppendKeyConditions(edits, record, table, s, problem, withLiterals, dialect)) return false;
    s.literalText += literalEnd;
    s.markerText += end;
    return true;
}

void WriteModificationScript(ResultSetEdits& edits, TextSink& sink, int dialect) {
    ModificationStatement statement;
    std::string problem;
    for (RowEdit* record : edits.UnsavedRecords())
        for (int table : edits.TablesTouched(*record)) {
            try {
                if (BuildModificationStatement(edits, *record, table, statement, problem, true, dialect))
                    sink.WriteBytes(statement.literalText.data(), statement.literalText.size());
            } catch (const CSyntaxException& e) {
                // A value the dialect has no literal for (a NUL in PostgreSQL text): said in place.
                const std::string note = std::string("/* ") + e.what() + " */\r\n";
                sink.WriteBytes(note.data(), note.size());
            }
        }
}

} // namespace marlix
