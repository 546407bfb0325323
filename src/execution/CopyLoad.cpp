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

// The rows of one execution of an INSERT of many rows (VALUES (?, ?), (?, ?), ...): parameter
// r * columns + c + 1 is column c of row r, bound once as text into a buffer per column of a
// fixed width per value that grows, with a new binding, when a longer value comes.
class RowBlock {
public:
    RowBlock(std::size_t columns, std::size_t rows)
        : columns_(columns), capacity_(rows), width_(columns, 16), lengths_(columns, std::vector<SQLLEN>(rows)),
          buffers_(columns, std::vector<char>(16 * rows)) {}

    std::size_t Rows() const noexcept { return rows_; }
    void Clear() noexcept { rows_ = 0; }
    void Add(const std::vector<std::string>& values, const std::vector<char>& nulls) {
        for (std::size_t c = 0; c < columns_; ++c) {
            if (nulls[c]) {
                lengths_[c][rows_] = SQL_NULL_DATA;
                continue;
            }
            const std::string& value = values[c];
            if (value.size() >= width_[c]) Widen(c, value.size() + 1);
            value.copy(buffers_[c].data() + rows_ * width_[c], value.size());
            lengths_[c][rows_] = static_cast<SQLLEN>(value.size());
        }
        ++rows_;
    }
    // Binds the parameters of the first `rows` rows when they are not bound as they are now.
    bool Bind(SQLHSTMT statement, std::size_t rows) {
        if (rows == boundRows_) return true;
        for (std::size_t r = 0; r < rows; ++r)
            for (std::size_t c = 0; c < columns_; ++c) {
                const auto width = static_cast<SQLLEN>(width_[c]);
                if (!Succeeded(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(r * columns_ + c + 1),
                                                SQL_PARAM_INPUT, SQL_C_CHAR, width > 4000 ? SQL_LONGVARCHAR : SQL_VARCHAR,
                                                static_cast<SQLULEN>(width - 1), 0, buffers_[c].data() + r * width_[c],
                                                width, &lengths_[c][r])))
                    return false;
            }
        boundRows_ = rows;
        return true;
    }
    void Unbind() noexcept { boundRows_ = 0; }

private:
    void Widen(std::size_t c, std::size_t needed) {
        std::size_t width = width_[c];
        while (width < needed)
            width *= 2;
        std::vector<char> wider(width * capacity_);
        for (std::size_t r = 0; r < rows_; ++r)
            std::copy_n(buffers_[c].data() + r * width_[c], width_[c], wider.data() + r * width);
        buffers_[c] = std::move(wider);
        width_[c] = width;
        boundRows_ = 0;
    }

    std::size_t columns_, capacity_, rows_ = 0, boundRows_ = 0;
    std::vector<std::size_t> width_;
    std::vector<std::vector<SQLLEN>> lengths_;
    std::vector<std::vector<char>> buffers_;
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
    insert += " VALUES ";
    // One row's parameters. psqlODBC loses its place in the server's answer to a statement of
    // 14,000 parameters (its parameter description), and reads one of 6,000 well.
    std::string row = "(";
    for (std::size_t c = 0; c < columns; ++c)
        row += c ? ", ?" : "?";
    row += ")";
    const std::size_t perExecute = std::max<std::size_t>(1, std::min(kCopyRowsPerExecute, kCopyParametersPerExecute / std::max<std::size_t>(columns, 1)));
    std::size_t prepared = 0; // rows of the statement prepared now
    const auto prepare = [&](std::size_t rows) {
        if (!Succeeded(batch.ReallocateStatement()))
            throw CODBCException(SQL_HANDLE_DBC, batch.Session().Connection(), position);
        std::string sql = insert;
        for (std::size_t r = 0; r < rows; ++r)
            sql += (r ? ", " : "") + row;
        if (!Succeeded(SQLPrepare(batch.Statement(), (SQLCHAR*)sql.data(), static_cast<SQLINTEGER>(sql.size()))))
            throw CODBCException(SQL_HANDLE_STMT, batch.Statement(), position);
        prepared = rows;
    };

    CopyTransaction transaction(batch.Session());
    batch.Session().NoteStatement("INSERT");
    CopyReader reader(data, copy);
    RowBlock rows(columns, perExecute);
    std::vector<std::string> values;
    std::vector<char> nulls;
    long long total = 0;
    std::size_t batchStart = 0; // where the rows being collected begin in the data
    bool more = true;
    while (more) {
        batch.ThrowIfCancelled();
        rows.Clear();
        try {
            while (rows.Rows() < perExecute && (more = reader.Next(columns, values, nulls))) {
                if (rows.Rows() == 0) batchStart = reader.RowOffset();
                rows.Add(values, nulls);
            }
        } catch (const CopyDataError& e) {
            fail(dataStart + e.offset, "data line " + std::to_string(e.line + 1) + " of the COPY: " + e.message);
        }
        if (rows.Rows() == 0) break;
        if (rows.Rows() != prepared) {
            prepare(rows.Rows());
            rows.Unbind();
        }
        SQLHSTMT statement = batch.Statement();
        if (!rows.Bind(statement, rows.Rows())) throw CODBCException(SQL_HANDLE_STMT, statement, position);
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
    batch.History().AppendText(std::to_string(total) + " row(s) affected\r\n", false);
    batch.History().EndEntry(batch.Sink().Length());
}

} // namespace marlix
