#include "execution/StatementExecution.h"

#include "core/CaseFold.h"
#include "core/CustomMemoryException.h"
#include "core/FileTextSink.h"
#include "core/HistoryOutput.h"
#include "core/ResultSet.h"
#include "core/ScriptFile.h"
#include "core/SyntaxException.h"
#include "db/ODBCSession.h"
#include "execution/Batch.h"
#include "execution/ClientCommandRun.h"
#include "execution/CommentBlanking.h"
#include "execution/StandardReport.h"
#include "execution/StreamConvert.h"
#include "metadata/AnalysedScript.h"
#include "metadata/StatementRecord.h"
#include "transform/ResultSetEdits.h"
#include "transform/ScriptGenerator.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string_view>
#include <vector>

namespace marlix {
namespace {

constexpr std::string_view kTextOpen = "/*TEXT>";
constexpr std::string_view kTextClose = "</TEXT*/";

// The content of a TEXT block token: between its markers, or to the end of the text when the
// script ends before the closing marker.
std::string_view TextBlockContent(TokenView script, const Token& token) {
    size_t begin = token.offset + kTextOpen.size();
    size_t end = token.terminated ? token.End() - kTextClose.size() : token.End();
    if (end < begin) end = begin;
    return script.text.substr(begin, end - begin);
}

// Marks the history entry failed when the scope is left by an exception, so that the entry of a
// statement whose conversion failed does not end as completed successfully.
class MarkedOnFailure {
public:
    explicit MarkedOnFailure(HistoryOutput& history)
        : history_(history), exceptions_(std::uncaught_exceptions()) {}
    ~MarkedOnFailure() {
        if (std::uncaught_exceptions() > exceptions_) history_.MarkError();
    }
    MarkedOnFailure(const MarkedOnFailure&) = delete;
    MarkedOnFailure& operator=(const MarkedOnFailure&) = delete;

private:
    HistoryOutput& history_;
    int exceptions_;
};

// Runs a conversion. A value the target cannot hold (a NUL for PostgreSQL) is met deep in the
// value formatting, which knows no position: the error then names the statement's, so the
// window marks the statement's line rather than the script's first.
template <class Conversion> void ConvertAtStatement(int offset, Conversion&& convert) {
    try {
        convert();
    } catch (const CSyntaxException& e) {
        if (e.Offset() != 0 || offset <= 0) throw;
        throw CSyntaxException(offset, e.Message());
    }
}

// Under exact literals, what the driver leaves out is asked of the server once. A timestamp with
// a time zone arrives in the session's zone without its offset (psqlODBC): a UTC session lets
// the values be written with their offset; any other zone, or a server that cannot say, leaves
// them unwritable. psqlODBC delivers PostgreSQL's infinite dates as 0000-00-00, a date
// PostgreSQL does not have.
void NoteServerForExactValues(Batch& batch, ResultSet& resultSet) {
    if (!resultSet.exactValues) return;
    std::vector<ColumnDescriptor*> zoned, dates;
    for (int c = 0; c < resultSet.ColumnCount(); ++c) {
        ColumnDescriptor& column = resultSet.Column(c);
        if (column.zone == ColumnDescriptor::Zone::Unknown) zoned.push_back(&column);
        if (column.sqlType == SQL_TYPE_DATE || column.sqlType == SQL_TYPE_TIMESTAMP) dates.push_back(&column);
    }
    if (zoned.empty() && dates.empty()) return;
    SQLHDBC connection = batch.Session().Connection();
    char dbms[256] = {};
    SQLSMALLINT dbmsLength = 0;
    if (Succeeded(SQLGetInfo(connection, SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsLength)) &&
        ContainsFolded(dbms, "PostgreSQL"))
        for (ColumnDescriptor* column : dates)
            column->zeroDateUndelivered = true;
    if (zoned.empty()) return;
    StatementHandle ask(connection);
    char zone[64] = {};
    SQLLEN length = 0;
    if (!ask.Valid() ||
        !Succeeded(SQLExecDirect(ask, const_cast<SQLCHAR*>(reinterpret_cast<const SQLCHAR*>("SHOW TimeZone")),
                                 SQL_NTS)) ||
        !Succeeded(SQLFetch(ask)) || !Succeeded(SQLGetData(ask, 1, SQL_C_CHAR, zone, sizeof zone, &length)))
        return;
    std::string_view name(zone);
    if (name.substr(0, 4) == "Etc/") name.remove_prefix(4);
    for (const char* utc : {"UTC", "UCT", "GMT", "GMT0", "Zulu", "Universal", "Greenwich", "Z"})
        if (EqualsFolded(name, utc))
            for (ColumnDescriptor* column : zoned)
                column->zone = ColumnDescriptor::Zone::Utc;
}

void Convert(const std::shared_ptr<ResultSet>& resultSet, StatementType type, int offset,
             const ConversionContext& context, TextSink& sink);

// Stored, converted and listed: one result with columns of the running statement.
void StoreAndConvert(Batch& batch, SQLHSTMT statement, int offset, int columns, int resultNumber,
                     StatementType type, const StatementRecord& record, const ConversionContext& context) {
    HistoryOutput& history = batch.History();
    TextSink& sink = batch.Sink();
    const bool first = resultNumber == 1;

    auto resultSet = std::make_shared<ResultSet>(columns, batch.RowLimit(), batch.SizeLimitMB(),
                                                 first ? record.description : ConversionDescription{},
                                                 first ? offset : -1);
    // The grid resolves which table each column comes from, to edit it, from this analysis.
    if (first && record.analysed.analysed) ResultSetEdits::Of(*resultSet).SetAnalysis(record.analysed);
    resultSet->SetProgressCounter(&batch.FetchProgress());
    resultSet->SetCancelFlag(&batch.CancelFlag());
    // Exact literals need every digit the driver can deliver, decided before the columns are bound.
    resultSet->exactValues = UsesExactLiterals(resultSet->Description(), context);
    history.AppendResultSet(resultSet);
    resultSet->DescribeAndBind(statement, offset);
    NoteServerForExactValues(batch, *resultSet);
    if (!first)
        history.AppendText(kSeveralResultSetsWarning, false);
    else
        resultSet->loadFileName = record.description.file;

    // No Executing guard while rows are fetched: the fetch loop looks at the cancel before every
    // row, and a driver's SQLCancel from another thread during SQLFetch frees the statement's
    // state under the fetch (SQLite's driver: a double free).
    // A value that cannot be read exactly names the statement's line too.
    ConvertAtStatement(offset, [&] {
        try {
            resultSet->FetchAll(statement, offset, history);
        } catch (const CODBCException&) {
            // The rows fetched before the failure stay and are converted.
            batch.ReportStatementFailure(std::current_exception());
        }
    });
    if (resultSet->CutByLimit()) batch.CountCutResult();

    resultSet->outputStart = sink.Length();
    // A conversion the result cannot have at all (UPDATE without keys, UPSERT for a target
    // without one) fails the statement and the batch goes on, its rows kept for a conversion
    // chosen in the window. A value that fails on the way stops the batch.
    if (std::string refusal = ConversionRefusal(*resultSet, type, context.dialect); !refusal.empty()) {
        ReportFailure(std::make_exception_ptr(CSyntaxException(offset, std::move(refusal))), history);
        history.MarkError();
        resultSet->outputEnd = sink.Length();
        return;
    }
    {
        MarkedOnFailure marked(history);
        Convert(resultSet, type, offset, context, sink);
    }
    resultSet->outputEnd = sink.Length();
    if (std::string note = LeftOutColumnsWarning(*resultSet, type, context); !note.empty())
        history.AppendText(note, false);
    history.AppendText(resultSet->RowsSelectedText(), false);
    // The rows fetched before a cancel are shown, and the batch ends there.
    batch.ThrowIfCancelled();
}

// The stored result's conversion into the batch's text, or into its loader file.
void Convert(const std::shared_ptr<ResultSet>& resultSet, StatementType type, int offset,
             const ConversionContext& context, TextSink& sink) {
    ConvertAtStatement(offset, [&] {
        if (type == StatementType::LOAD && !resultSet->loadFileName.empty()) {
            FileTextSink loadFile(resultSet->loadFileName);
            try {
                ConvertResultSet(*resultSet, StatementType::LOAD, context, loadFile);
            } catch (...) {
                loadFile.Discard(); // a loader file cut short must not replace a whole one
                throw;
            }
            loadFile.Close();
        } else {
            ConvertResultSet(*resultSet, type, context, sink);
        }
    });
}

// Results to file: converted row by row while fetching, nothing stored.
void StreamToSink(Batch& batch, SQLHSTMT statement, int offset, int columns, int resultNumber,
                  StatementType type, const StatementRecord& record, const ConversionContext& context) {
    ResultSet temporary(columns, 0, 0, resultNumber == 1 ? record.description : ConversionDescription{}, -1);
    temporary.fetchThrough = true;
    temporary.SetProgressCounter(&batch.FetchProgress());
    temporary.SetCancelFlag(&batch.CancelFlag());
    temporary.exactValues = UsesExactLiterals(temporary.Description(), context);
    temporary.DescribeAndBind(statement, offset);
    NoteServerForExactValues(batch, temporary);
    // The conversion looks at the cancel before every row (no SQLCancel under SQLFetch, as above).
    MarkedOnFailure marked(batch.History());
    ConvertAtStatement(offset,
                       [&] { StreamConvert(temporary, statement, offset, type, context, batch.Sink()); });
    // A conversion stopped by a cancel has no footer: it must not pass for a whole one.
    batch.ThrowIfCancelled();
    if (std::string note = LeftOutColumnsWarning(temporary, type, context); !note.empty())
        batch.History().AppendText(note, false);
}

// Stores (or streams) and converts every result of an executed statement.
void ConvertResults(Batch& batch, SQLHSTMT statement, int offset, const StatementRecord& record,
                    const ConversionContext& context) {
    HistoryOutput& history = batch.History();
    SQLRETURN rc;
    int resultNumber = 0;
    for (;;) {
        SQLSMALLINT columns = 0;
        if (!Succeeded(SQLNumResultCols(statement, &columns)))
            throw CODBCException(SQL_HANDLE_STMT, statement, offset);
        if (columns < 1) {
            std::string rows = RowCountText(statement);
            if (!rows.empty()) history.AppendText(rows, false);
            if (batch.Session().ResultsEndWithoutColumns()) break;
        } else {
            batch.NextResultSetNumber();
            ++resultNumber;
            StatementType type = resultNumber == 1 ? record.description.type : StatementType::SELECT;
            if (batch.ToFile())
                StreamToSink(batch, statement, offset, columns, resultNumber, type, record, context);
            else
                StoreAndConvert(batch, statement, offset, columns, resultNumber, type, record, context);
        }
        rc = SQLMoreResults(statement);
        if (rc == SQL_NO_DATA) break;
        if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, offset);
    }
}

} // namespace

std::string RowCountText(SQLHSTMT statement) {
    SQLLEN rows = 0;
    if (SQLRowCount(statement, &rows) != SQL_SUCCESS) return {};
    return std::to_string(static_cast<long long>(rows)) + " row(s) affected\r\n";
}

void ExecuteStatement(Batch& batch, std::size_t statementOffset, std::size_t firstToken,
                      std::size_t separatorToken, std::size_t textStart, std::size_t textEnd,
                      const StatementRecord& record, const ConversionContext& context) {
    HistoryOutput& history = batch.History();
    if (batch.Cancelled()) return; // the batch says so when it ends
    batch.BeginEntry(textStart, textEnd - textStart);

    // TEXT blocks print before the statement runs. A statement of nothing but comments and
    // blocks has nothing for the server.
    TokenView script = batch.Script().Script().View();
    bool onlyComments = true;
    // The server's refusal points at the statement's own first word, not at the METADATA block
    // or comment before it.
    std::size_t firstWord = statementOffset;
    for (std::size_t i = firstToken; i < separatorToken; ++i) {
        const Token& token = script.tokens[i];
        // The output's lines end with CR LF whatever the script's own line ends.
        if (token.cls == TokenClass::TextBlock)
            batch.Sink().Write(NormalizeLineEnds(TextBlockContent(script, token)));
        // An executable comment is SQL to the server, even one that holds nothing else.
        if ((!IsCommentLike(token.cls) || token.executable) && onlyComments) {
            onlyComments = false;
            firstWord = token.offset;
        }
    }
    if (onlyComments) return;
    if (RunOnClient(batch, firstToken, separatorToken, firstWord)) return;

    ExecutableCommentServer server;
    for (std::size_t i = firstToken; i < separatorToken; ++i)
        if (script.tokens[i].executable) {
            char name[128] = {}, version[128] = {};
            SQLSMALLINT length = 0;
            SQLHDBC connection = batch.Session().Connection();
            if (Succeeded(SQLGetInfo(connection, SQL_DBMS_VER, version, sizeof version, &length)) &&
                Succeeded(SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length)))
                server = ExecutableCommentServerOf(std::string(name) + " " + version);
            break;
        }
    std::string sql = BlankComments(script, firstToken, separatorToken, textStart, textEnd, server);
    // Only an executable comment this server skips: nothing to send, as for a comment.
    if (sql.find_first_not_of(" \t\r\n") == std::string::npos) return;

    if (!Succeeded(batch.ReallocateStatement()))
        throw CODBCException(SQL_HANDLE_DBC, batch.Session().Connection(), 0);
    SQLHSTMT statement = batch.Statement();
    const int offset = static_cast<int>(statementOffset);

    SQLRETURN rc;
    {
        Batch::Executing executing(batch);
        // A cancel from now on either sees the worker executing (and interrupts the call) or was
        // raised before this point, where it is seen.
        batch.ThrowIfCancelled();
        rc = SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()),
                           static_cast<SQLINTEGER>(sql.size()));
    }
    if (rc == SQL_NO_DATA) {
        // ODBC 3 drivers answer an UPDATE or DELETE that touches no row this way.
        history.AppendText("0 row(s) affected\r\n", false);
        history.EndEntry(batch.Sink().Length());
        return;
    }
    if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement, static_cast<int>(firstWord));
    // A statement the cancel did not interrupt in time has run; its results are not read.
    batch.Session().NoteStatement(sql);
    batch.ThrowIfCancelled();
    if (rc == SQL_SUCCESS_WITH_INFO) {
        std::string messages = StatementMessagesText(statement);
        if (!messages.empty()) history.AppendText(messages, true);
    }

    // Storage failures know the value, not the statement: name the line of its first word.
    auto placed = [&](CCustomMemoryException& e) {
        size_t at = statementOffset;
        for (std::size_t i = firstToken; i < separatorToken; ++i)
            if (!IsCommentLike(script.tokens[i].cls)) {
                at = script.tokens[i].offset;
                break;
            }
        e.SetStatement(static_cast<int>(at), batch.LineOf(at));
    };
    try {
        ConvertResults(batch, statement, offset, record, context);
    } catch (CCustomMemoryException& e) {
        placed(e);
        throw;
    } catch (const std::bad_alloc&) {
        CCustomMemoryException e(CCustomMemoryException::kExhausted);
        placed(e);
        throw e;
    }
    history.EndEntry(batch.Sink().Length());
}

} // namespace marlix
