#include "execution/CopyLoad.h"

#include "core/HistoryOutput.h"
#include "core/ODBCException.h"
#include "core/SyntaxException.h"
#include "db/ODBCSession.h"
#include "execution/Batch.h"
#include "grammar/CopyFormat.h"
#include "metadata/AnalysedScript.h"

#include <algorithm>
#include <string>
#include <vector>

namespace marlix {
namespace {

// The rows of one execution, column by column: each value's text one after the other.
struct ParameterColumns {
    std::vector<std::string> text;
    std::vector<std::vector<SQLLEN>> lengths; // per row, SQL_NULL_DATA for a NULL
    std::vector<std::string> bound;           // fixed-width copies for the binding

    explicit ParameterColumns(std::size_t columns) : text(columns), lengths(columns), bound(columns) {}
    std::size_t Rows() const { return lengths.empty() ? 0 : lengths[0].size(); }
    void Add(const std::vector<std::string>& values, const std::vector<char>& nulls) {
        for (std::size_t c = 0; c < values.size(); ++c) {
            lengths[c].push_back(nulls[c] ? SQL_NULL_DATA : static_cast<SQLLEN>(values[c].size()));
            if (!nulls[c]) text[c] += values[c];
        }
    }
    void Clear() {
        for (std::size_t c = 0; c < text.size(); ++c) {
            text[c].clear();
            lengths[c].clear();
        }
    }
    // Binds every column as an array of text values of its widest value's width.
    bool Bind(SQLHSTMT statement) {
        const std::size_t rows = Rows();
        for (std::size_t c = 0; c < text.size(); ++c) {
            SQLLEN widest = 0;
            for (SQLLEN length : lengths[c])
                widest = std::max(widest, length);
            const std::size_t width = static_cast<std::size_t>(widest) + 1;
            bound[c].assign(width * rows, '\0');
            std::size_t from = 0;
            for (std::size_t r = 0; r < rows; ++r) {
                if (lengths[c][r] == SQL_NULL_DATA) continue;
                const auto length = static_cast<std::size_t>(lengths[c][r]);
                text[c].copy(bound[c].data() + r * width, length, from);
                from += length;
            }
            const SQLSMALLINT type = widest > 4000 ? SQL_LONGVARCHAR : SQL_VARCHAR;
            if (!Succeeded(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                            type, static_cast<SQLULEN>(std::max<SQLLEN>(widest, 1)), 0,
                                            bound[c].data(), static_cast<SQLLEN>(width), lengths[c].data())))
                return false;
        }
        return Succeeded(SQLSetStmtAttr(statement, SQL_ATTR_PARAMSET_SIZE,
                                        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), 0));
    }
};

// Runs the load inside a transaction of its own when the connection commits every statement,
// so that a COPY is whole or not there, as on the server.
class CopyTransaction {
public:
    explicit CopyTransaction(CODBCSession& session) : session_(session), own_(session.Autocommit()) {
        if (own_) SetAutocommit(false);
    }
    ~CopyTransaction() {
        if (!own_) return;
        SQLEndTran(SQL_HANDLE_DBC, session_.Connection(), SQL_ROLLBACK);
        SetAutocommit(true);
    }
    void Commit(int position) {
        if (!own_) return;
        if (!Succeeded(SQLEndTran(SQL_HANDLE_DBC, session_.Connection(), SQL_COMMIT)))
            throw CODBCException(SQL_HANDLE_DBC, session_.Connection(), position);
        SetAutocommit(true);
        own_ = false;
    }

private:
    void SetAutocommit(bool on) {
        SQLSetConnectAttr(session_.Connection(), SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                          SQL_IS_UINTEGER);
    }
    CODBCSession& session_;
    bool own_;
};

std::size_t ColumnCount(Batch& batch, const CopyStatement& copy, int position) {
    if (!copy.columns.empty()) return copy.columns.size();
    if (!Succeeded(batch.ReallocateStatement()))
        throw CODBCException(SQL_HANDLE_DBC, batch.Session().Connection(), position);
    const std::string sql = "SELECT * FROM " + copy.table + " LIMIT 0";
    SQLSMALLINT columns = 0;
    if (!Succeeded(SQLExecDirect(batch.Statement(), (SQLCHAR*)sql.c_str(), SQL_NTS)) ||
        !Succeeded(SQLNumResultCols(batch.Statement(), &columns)))
        throw CODBCException(SQL_HANDLE_STMT, batch.Statement(), position);
    return static_cast<std::size_t>(columns);
}

} // namespace

void LoadCopyData(Batch& batch, std::size_t firstToken, std::size_t dataToken, std::size_t firstWord) {
    const AnalysedScript& script = batch.Script();
    const TokenView view = script.View();
    const int position = static_cast<int>(firstWord);
    const auto fail = [&](std::size_t offset, const std::string& why) {
        throw CSyntaxException(static_cast<std::int32_t>(offset), "COPY at " + batch.Where(offset) + ": " + why);
    };
    CopyStatement copy;
    if (std::string why = ParseCopyStatement(view, firstToken, dataToken - 1, copy); !why.empty())
        fail(firstWord, why);

    // The data begin on the line after the statement's ";".
    const Token& token = view.tokens[dataToken];
    std::string_view data = view.TextOf(token);
    const std::size_t lineEnd = std::min(data.find('\n'), data.size());
    if (data.substr(0, lineEnd).find_first_not_of(" \t\r") != std::string_view::npos)
        fail(token.offset, "the data must begin on the line after the statement");
    const std::size_t dataStart = token.offset + std::min(lineEnd + 1, data.size());
    data = view.text.substr(dataStart, token.End() - dataStart);

    const std::size_t columns = ColumnCount(batch, copy, position);
    std::string insert = "INSERT INTO " + copy.table;
    if (!copy.columns.empty()) {
        insert += " (";
        for (std::size_t c = 0; c < columns; ++c)
            insert += (c ? ", " : "") + copy.columns[c];
        insert += ")";
    }
    insert += " VALUES (";
    for (std::size_t c = 0; c < columns; ++c)
        insert += c ? ", ?" : "?";
    insert += ")";

    if (!Succeeded(batch.ReallocateStatement()))
        throw CODBCException(SQL_HANDLE_DBC, batch.Session().Connection(), position);
    SQLHSTMT statement = batch.Statement();
    if (!Succeeded(SQLPrepare(statement, (SQLCHAR*)insert.data(), static_cast<SQLINTEGER>(insert.size()))))
        throw CODBCException(SQL_HANDLE_STMT, statement, position);

    CopyTransaction transaction(batch.Session());
    batch.Session().NoteStatement(insert);
    CopyReader reader(data, copy);
    ParameterColumns rows(columns);
    std::vector<std::string> values;
    std::vector<char> nulls;
    long long total = 0;
    std::size_t batchStart = 0; // where the rows being collected begin in the data
    bool more = true;
    while (more) {
        batch.ThrowIfCancelled();
        rows.Clear();
        try {
            while (rows.Rows() < kCopyRowsPerExecute && (more = reader.Next(columns, values, nulls))) {
                if (rows.Rows() == 0) batchStart = reader.RowOffset();
                rows.Add(values, nulls);
            }
        } catch (const CopyDataError& e) {
            fail(dataStart + e.offset, "data line " + std::to_string(e.line + 1) + " of the COPY: " + e.message);
        }
        if (rows.Rows() == 0) break;
        if (!rows.Bind(statement)) throw CODBCException(SQL_HANDLE_STMT, statement, position);
        SQLRETURN rc;
        {
            Batch::Executing executing(batch);
            batch.ThrowIfCancelled();
            rc = SQLExecute(statement);
        }
        if (!Succeeded(rc) && rc != SQL_NO_DATA) {
            CODBCException error(SQL_HANDLE_STMT, statement, position);
            const std::size_t last = more ? reader.RowOffset() : data.size();
            batch.History().AppendText("COPY: a row between " + batch.Where(dataStart + batchStart) + " and " +
                                           batch.Where(dataStart + (last > 0 ? last - 1 : 0)) +
                                           " was refused; no row of the COPY is kept\r\n",
                                       true);
            throw error;
        }
        total += static_cast<long long>(rows.Rows());
        batch.FetchProgress().store(total);
    }
    transaction.Commit(position);
    SQLSetStmtAttr(statement, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
    batch.History().AppendText(std::to_string(total) + " row(s) affected\r\n", false);
    batch.History().EndEntry(batch.Sink().Length());
}

} // namespace marlix
