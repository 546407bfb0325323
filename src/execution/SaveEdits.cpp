#include "execution/SaveEdits.h"

#include "core/DialectLiterals.h"
#include "core/HistoryOutput.h"
#include "core/ODBCException.h"
#include "core/ResultSet.h"
#include "core/ValueText.h"
#include "db/ODBCSession.h"
#include "db/StatementHandle.h"
#include "transform/ColumnNameQuoting.h"
#include "transform/ModificationScript.h"
#include "transform/ResultSetEdits.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace marlix {
namespace {

constexpr const char* kSavepoint = "marlix_save_edits";

struct SaveFailure {
    std::string message;
};

// Bound parameter values must stay in place until the statement ran.
struct ParameterBuffers {
    std::deque<SQLLEN> indicators;
    std::deque<DATE_STRUCT> dates;
    std::deque<TIME_STRUCT> times;
    std::deque<TIMESTAMP_STRUCT> timestamps;
    std::deque<std::string> bytes;
};

int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The bytes of a stored binary value ("0x" and two digits per byte).
std::string BytesOf(std::string_view hex) {
    if (hex.starts_with("0x")) hex.remove_prefix(2);
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = HexValue(hex[i]), low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) break;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

void Check(SQLRETURN rc, SQLHSTMT statement) {
    if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, 0);
}

void BindParameters(SQLHSTMT statement, ResultSet& resultSet,
                    const std::vector<StatementParameter>& parameters, ParameterBuffers& buffers) {
    SQLUSMALLINT number = 0;
    for (const StatementParameter& p : parameters) {
        ++number;
        const ColumnDescriptor& column = resultSet.Column(p.column);
        SQLLEN& indicator = buffers.indicators.emplace_back(0);
        SQLRETURN rc;
        if (p.value.isNull) {
            indicator = SQL_NULL_DATA;
            const SQLSMALLINT type = column.IsDateTime() ||
                                             ColumnDescriptor::IsCharacterType(column.sqlType) ||
                                             IsNumericSqlType(column.sqlType)
                                         ? column.sqlType
                                         : SQL_VARCHAR;
            rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_CHAR, type, 1, 0, nullptr, 0,
                                  &indicator);
        } else if (column.IsDateTime()) {
            const TIMESTAMP_STRUCT ts = TimestampOf(p.value);
            if (column.sqlType == SQL_TYPE_DATE) {
                DATE_STRUCT& d = buffers.dates.emplace_back(DATE_STRUCT{ts.year, ts.month, ts.day});
                indicator = sizeof d;
                rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10,
                                      0, &d, sizeof d, &indicator);
            } else if (column.sqlType == SQL_TYPE_TIME) {
                TIME_STRUCT& t = buffers.times.emplace_back(TIME_STRUCT{ts.hour, ts.minute, ts.second});
                indicator = sizeof t;
                rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_TYPE_TIME, SQL_TYPE_TIME, 8,
                                      0, &t, sizeof t, &indicator);
            } else {
                TIMESTAMP_STRUCT& t = buffers.timestamps.emplace_back(ts);
                const SQLSMALLINT digits = t.fraction ? 9 : 0;
                indicator = sizeof t;
                rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP,
                                      SQL_TYPE_TIMESTAMP, digits ? 20 + digits : 19, digits, &t, sizeof t,
                                      &indicator);
            }
        } else if (column.sqlType == SQL_GUID) {
            // A uuid goes as its text, which the server reads whatever its byte order: the
            // fetched value (0x and the digits of the driver's GUID structure) is turned back
            // into it, a typed one goes as typed.
            std::string text(p.value.Text());
            if (std::string guid; text.starts_with("0x") && AppendGuidText(HexDigitsOf(text), guid))
                text.assign(guid, 1, guid.size() - 2);
            std::string& b = buffers.bytes.emplace_back(std::move(text));
            indicator = static_cast<SQLLEN>(b.size());
            rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_GUID, 36, 0, b.data(),
                                  indicator, &indicator);
        } else if (ColumnDescriptor::IsBinaryType(column.sqlType)) {
            // A binary key is compared as the bytes it holds, not as its digits.
            std::string& b = buffers.bytes.emplace_back(BytesOf(p.value.Text()));
            indicator = static_cast<SQLLEN>(b.size());
            rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_BINARY, column.sqlType,
                                  std::max<SQLULEN>({b.size(), column.columnSize, 1}), 0, b.data(), indicator,
                                  &indicator);
        } else {
            // Text goes as the typed bytes; the server converts it to the column's own type,
            // which the column's SQL type tells the driver.
            const std::string_view text = p.value.Text();
            indicator = static_cast<SQLLEN>(text.size());
            const SQLSMALLINT type = column.sqlType;
            SQLULEN size = std::max<SQLULEN>({text.size(), column.columnSize, 1});
            rc = SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_CHAR, type, size,
                                  column.decimalDigits > 0 ? column.decimalDigits : 0,
                                  const_cast<char*>(text.data()), indicator, &indicator);
        }
        Check(rc, statement);
    }
}

// One statement handle for the statements of a save: a text is prepared once and run again
// with new values for as long as the next statement has the same text (rows changed in the
// same columns), as a program writing them by hand would.
class PreparedStatement {
public:
    explicit PreparedStatement(SQLHDBC connection) : connection_(connection) {}

    SQLHSTMT Prepare(const std::string& text) {
        if (!handle_.Valid()) {
            handle_ = StatementHandle(connection_);
            if (!handle_.Valid()) throw CODBCException(SQL_HANDLE_DBC, connection_, 0);
        }
        if (text != prepared_) {
            // The same text keeps its parameters' places: they are bound again with new values.
            SQLFreeStmt(handle_, SQL_CLOSE);
            SQLFreeStmt(handle_, SQL_RESET_PARAMS);
            prepared_.clear();
            Check(SQLPrepare(handle_, (SQLCHAR*)text.c_str(), SQL_NTS), handle_);
            prepared_ = text;
        }
        return handle_;
    }

private:
    SQLHDBC connection_;
    StatementHandle handle_;
    std::string prepared_;
};

// Runs a statement with its parameters; returns the rows it changed (0 for SQL_NO_DATA). The
// server's warnings (a value cut or changed to fit the column) are added to `warnings`.
SQLLEN Run(PreparedStatement& prepared, const std::string& text, ResultSet& resultSet,
           const std::vector<StatementParameter>& parameters, bool fetchOne = false,
           std::string* warnings = nullptr) {
    SQLHSTMT statement = prepared.Prepare(text);
    ParameterBuffers buffers;
    BindParameters(statement, resultSet, parameters, buffers);
    const SQLRETURN rc = SQLExecute(statement);
    if (rc == SQL_NO_DATA) return 0;
    Check(rc, statement);
    if (rc == SQL_SUCCESS_WITH_INFO && warnings)
        *warnings += "Warning: " + CODBCException(SQL_HANDLE_STMT, statement, 0).Message();
    if (fetchOne) {
        const SQLRETURN fetched = SQLFetch(statement);
        if (fetched == SQL_NO_DATA) return 0;
        Check(fetched, statement);
        return 1;
    }
    SQLLEN rows = -1;
    Check(SQLRowCount(statement, &rows), statement);
    return rows;
}

bool RunPlain(SQLHDBC connection, const std::string& text) {
    StatementHandle statement(connection);
    return statement.Valid() && Succeeded(SQLExecDirect(statement, (SQLCHAR*)text.c_str(), SQL_NTS));
}

void RunStatement(PreparedStatement& prepared, SQLHDBC connection, ResultSet& resultSet,
                  const ModificationStatement& s, std::string& warnings) {
    const SQLLEN rows = Run(prepared, s.markerText, resultSet, s.parameters, false, &warnings);
    if (rows != 0) return;
    // A DELETE of a row someone else deleted leaves the database as asked.
    if (s.kind != ModificationStatement::Kind::Update) return;
    // Some servers count only the rows whose values changed: a row that is still there was
    // written even when it already held these values.
    PreparedStatement exists(connection);
    if (Run(exists, s.existsText, resultSet, s.keyParameters, true) > 0) return;
    throw SaveFailure{"The row to update was not found in the database: another user may have "
                      "deleted it or changed its key.\r\n"};
}

void AppendColumnName(const std::string& name, std::string& out) {
    if (ColumnNameNeedsQuoting(name))
        AppendQuotedName(name, Dialect::GENERIC, out);
    else
        out += name;
}

// Key values read back by one query: within SQLite's 999 parameters.
constexpr size_t kReadBackParameters = 800;

// The bytes of a row's key values, to match the rows a query returns to the rows it asked for.
std::string KeyBytes(const std::vector<CellRef>& values) {
    std::string bytes;
    for (const CellRef& v : values) {
        bytes += v.isNull ? std::string_view("\1N") : std::string_view(v.data, v.length);
        bytes += '\0';
    }
    return bytes;
}

// Shows a saved row's values as the table holds them; a text that differs from the one sent is
// named in the history.
void ShowHeld(ResultSetEdits& edits, RowEdit& record, const std::vector<int>& columns, const ResultSet& read,
              int64_t readRow, HistoryOutput& history) {
    ResultSet& resultSet = edits.Result();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = columns[i];
        const CellRef sent = StoredValueOf(resultSet, record.row, column, false);
        const CellRef held = read.Cell(readRow, static_cast<int>(i));
        // Only a text that was sent is compared: the server fills the others itself.
        if (record.Find(column) && ColumnDescriptor::IsCharacterType(resultSet.Column(column).sqlType) &&
            (sent.isNull != held.isNull || (!sent.isNull && sent.Text() != held.Text()))) {
            const int64_t shown = edits.DisplayRow(record.row);
            history.AppendText("Warning: row " + std::to_string(shown + 1) + ": the database holds " +
                                   (held.isNull ? std::string("NULL") : "'" + std::string(held.Text()) + "'") +
                                   " in column " + edits.OriginColumnName(column) + ", not the value saved\r\n",
                               false);
        }
        edits.SetSavedValue(record.row, column, held);
    }
}

// Reads the saved rows back by their keys, table by table, a chunk of rows per query, and shows
// what the table holds: a server may keep another value than the one sent (a default, a
// trigger's, one cut to fit: MariaDB outside strict mode says nothing). A row that cannot be
// read back (its key given by the server, or changed by it) keeps what was sent.
void ReadBack(SQLHDBC connection, ResultSetEdits& edits, const std::vector<RowEdit*>& records,
              HistoryOutput& history) {
    ResultSet& resultSet = edits.Result();
    PreparedStatement prepared(connection);
    for (size_t t = 0; t < edits.Tables().size(); ++t) {
        const EditTable& table = edits.Tables()[t];
        std::vector<int> columns, keys;
        std::string select = "SELECT ";
        for (int c = 0; c < resultSet.ColumnCount(); ++c) {
            if (!edits.CanEditColumn(c) || edits.Origins()[c].tableIndex != static_cast<int>(t)) continue;
            if (!columns.empty()) select += ", ";
            AppendColumnName(edits.OriginColumnName(c), select);
            columns.push_back(c);
        }
        for (const std::string& key : table.keys) {
            const int column = edits.KeyColumn(static_cast<int>(t), key);
            const auto at = std::find(columns.begin(), columns.end(), column);
            if (at == columns.end()) break;
            keys.push_back(static_cast<int>(at - columns.begin()));
        }
        if (columns.empty() || keys.empty() || keys.size() != table.keys.size()) continue;
        std::string condition = "(";
        for (size_t k = 0; k < keys.size(); ++k) {
            if (k) condition += " AND ";
            AppendColumnName(table.keys[k], condition);
            condition += " = ?";
        }
        condition += ")";
        std::vector<RowEdit*> rows;
        for (RowEdit* record : records) {
            bool known = true;
            for (int k : keys)
                known = known && !StoredValueOf(resultSet, record->row, columns[k], false).isNull;
            if (known) rows.push_back(record);
        }
        const size_t chunk = std::max<size_t>(1, kReadBackParameters / keys.size());
        for (size_t first = 0; first < rows.size(); first += chunk) {
            const size_t last = std::min(rows.size(), first + chunk);
            std::string text = select + " FROM " + table.name + " WHERE ";
            std::vector<StatementParameter> parameters;
            std::unordered_map<std::string, RowEdit*> asked;
            // A key of one column is looked up as IN (...), which every server reads by its index.
            if (keys.size() == 1) {
                AppendColumnName(table.keys[0], text);
                text += " IN (";
            }
            for (size_t r = first; r < last; ++r) {
                if (keys.size() == 1)
                    text += r > first ? ", ?" : "?";
                else
                    text += (r > first ? " OR " : "") + condition;
                std::vector<CellRef> values;
                for (int k : keys) {
                    values.push_back(StoredValueOf(resultSet, rows[r]->row, columns[k], false));
                    parameters.push_back({columns[k], values.back()});
                }
                asked.emplace(KeyBytes(values), rows[r]);
            }
            if (keys.size() == 1) text += ")";
            try {
                SQLHSTMT statement = prepared.Prepare(text);
                ParameterBuffers buffers;
                BindParameters(statement, resultSet, parameters, buffers);
                Check(SQLExecute(statement), statement);
                ResultSet read(static_cast<int>(columns.size()), 0, 0);
                read.exactValues = resultSet.exactValues;
                TextHistoryOutput quiet;
                read.DescribeAndBind(statement, 0);
                read.FetchAll(statement, 0, quiet);
                // The next chunk binds its own buffers: none of this result set's stays bound.
                SQLFreeStmt(statement, SQL_CLOSE);
                SQLFreeStmt(statement, SQL_UNBIND);
                for (int64_t r = 0; r < read.RowCount(); ++r) {
                    std::vector<CellRef> values;
                    for (int k : keys)
                        values.push_back(read.Cell(r, k));
                    const auto found = asked.find(KeyBytes(values));
                    if (found != asked.end()) ShowHeld(edits, *found->second, columns, read, r, history);
                }
            } catch (const CODBCException& e) {
                history.AppendText("Warning: the saved rows could not be read back: " + e.Message(), false);
                return;
            }
        }
    }
}

} // namespace

SaveEditsResult SaveEdits(CODBCSession& session, ResultSetEdits& edits, HistoryOutput& history) {
    return session.Thread().Call([&]() -> SaveEditsResult {
        SaveEditsResult result;
        if (!session.Connected()) {
            result.error = "Not connected to a database\r\n";
            return result;
        }
        SQLHDBC connection = session.Connection();
        ResultSet& resultSet = edits.Result();
        // The connection's own state decides: the settings may have changed since it was made.
        SQLULEN autocommit = SQL_AUTOCOMMIT_ON;
        if (!Succeeded(SQLGetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT, &autocommit, 0, nullptr))) {
            result.error = CODBCException(SQL_HANDLE_DBC, connection, 0).Message();
            return result;
        }
        const bool transaction = autocommit == SQL_AUTOCOMMIT_OFF;
        // Within the user's open transaction a savepoint lets a failure undo only this save.
        const bool savepoint = transaction && RunPlain(connection, std::string("SAVEPOINT ") + kSavepoint);

        struct Done {
            RowEdit* record;
            std::vector<int> tables;
        };
        std::vector<Done> done;
        std::vector<RowEdit*> written; // saved rows that stay in the grid, to be read back
        std::string warnings;
        auto finish = [&] {
            if (!warnings.empty()) history.AppendText(warnings, false);
            ReadBack(connection, edits, written, history);
            // The reads leave no transaction open behind the commit.
            if (transaction && !written.empty()) SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT);
        };
        std::vector<RowEdit*> records = edits.UnsavedRecords();
        PreparedStatement prepared(connection);
        ModificationStatement statement;
        std::string problem;
        RowEdit* current = nullptr;
        try {
            for (RowEdit* record : records) {
                current = record;
                // Every statement of the record is built before any runs, so that a record is
                // written whole or not at all.
                std::vector<ModificationStatement> statements;
                std::string why;
                for (int table : edits.TablesTouched(*record)) {
                    if (BuildModificationStatement(edits, *record, table, statement, problem, false))
                        statements.push_back(statement);
                    else if (!problem.empty())
                        why = problem;
                }
                const bool nothingNeeded = record->inserted && record->deleted;
                if ((statements.empty() || !why.empty()) && !nothingNeeded) {
                    // No save without writing: the record stays unsaved and the history says why.
                    ++result.leftPending;
                    const int64_t shown = edits.DisplayRow(record->row);
                    history.AppendText(
                        "Row " + std::to_string(shown >= 0 ? shown + 1 : record->row + 1) +
                            " was not saved: " + (why.empty() ? "it has no change to write" : why) + "\r\n",
                        false);
                    continue;
                }
                std::vector<int> tables;
                for (const ModificationStatement& s : statements) {
                    RunStatement(prepared, connection, resultSet, s, warnings);
                    ++result.statements;
                    tables.push_back(s.table);
                    if (!transaction) edits.MarkTableSaved(*record, s.table);
                }
                if (!record->deleted) written.push_back(record);
                if (!transaction)
                    edits.MarkRecordSaved(*record);
                else
                    done.push_back({record, std::move(tables)});
            }
            current = nullptr;
            if (transaction) {
                if (savepoint) RunPlain(connection, std::string("RELEASE SAVEPOINT ") + kSavepoint);
                if (!Succeeded(SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT)))
                    throw CODBCException(SQL_HANDLE_DBC, connection, 0);
                session.NoteTransactionEnded();
                history.AppendText("Transaction commited\r\n", false);
                for (Done& d : done) {
                    for (int table : d.tables)
                        edits.MarkTableSaved(*d.record, table);
                    edits.MarkRecordSaved(*d.record);
                }
            }
            finish();
            result.saved = result.leftPending == 0;
            if (!result.saved) result.error = "Some rows were not saved: the Execution history says why.\r\n";
            return result;
        } catch (const CODBCException& e) {
            result.error = e.Message();
        } catch (const SaveFailure& e) {
            result.error = e.message;
        }
        if (current) result.failedRow = edits.DisplayRow(current->row);
        if (!transaction) {
            // The rows saved before the failure stay saved: they show what the table holds.
            finish();
        }
        if (transaction) {
            // Nothing of this save stays: the records all remain pending and a later save
            // writes every one of them once.
            if (!savepoint || !RunPlain(connection, std::string("ROLLBACK TO SAVEPOINT ") + kSavepoint))
                SQLEndTran(SQL_HANDLE_DBC, connection, SQL_ROLLBACK);
            else
                RunPlain(connection, std::string("RELEASE SAVEPOINT ") + kSavepoint);
        }
        history.AppendText(result.error, true);
        return result;
    });
}

} // namespace marlix
