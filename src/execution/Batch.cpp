#include "execution/Batch.h"

#include "core/FileTextSink.h"
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "core/FileException.h"
#include "core/ODBCException.h"
#include "core/ScriptFile.h"
#include "execution/ClientCommandRun.h"
#include "execution/StandardReport.h"
#include "execution/StatementExecution.h"
#include "grammar/TextFault.h"
#include "metadata/AnalysedScript.h"
#include "metadata/StatementRecord.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>

namespace marlix {

Batch::Batch(CODBCSession& session, std::shared_ptr<const AnalysedScript> script, BatchRequest request,
             HistoryOutput& history, const ProfileStore& profile)
    : session_(session), script_(std::move(script)), current_(script_.get()), segmentDialect_(request.dialect),
      currentFolder_(request.scriptFolder), request_(std::move(request)), history_(history),
      rowLimit_(profile.GetInt(kExecutionSettings, kDatasetRowLimit, 0)),
      sizeLimitMB_(profile.GetInt(kExecutionSettings, kDatasetSizeLimit, 1)),
      suppressBlobValues_(ReadSuppressBlobValues(profile)) {
    // A script whose text the drivers would cut or a token would swallow runs nothing, and no
    // output file is made for it.
    if (std::optional<CSyntaxException> fault = FindTextFault(script_->View())) throw *fault;
    for (int d = 0; d < kDialectCount; ++d)
        contexts_[d] = {static_cast<Dialect>(d), request_.dialectSettings, suppressBlobValues_};
    if (request_.outputDescriptor >= 0) {
        fileOutput_ = std::make_unique<FileTextSink>(request_.outputDescriptor, "standard output");
        sink_ = fileOutput_.get();
    } else if (request_.outputFile.empty()) {
        memoryOutput_ = std::make_unique<MemoryTextSink>(kMemorySinkSize);
        sink_ = memoryOutput_.get();
    } else {
        fileOutput_ = std::make_unique<FileTextSink>(request_.outputFile);
        sink_ = fileOutput_.get();
    }
    session_.Thread().Call([this] { statement_ = StatementHandle(session_.Connection()); });
}

// A shared pointer that owns nothing: the caller keeps the script for the whole run.
Batch::Batch(CODBCSession& session, const AnalysedScript& script, BatchRequest request,
             HistoryOutput& history, const ProfileStore& profile)
    : Batch(session, std::shared_ptr<const AnalysedScript>(std::shared_ptr<void>(), &script),
            std::move(request), history, profile) {}

Batch::~Batch() {
    if (busy_.load() || (!ended_.load() && started_.load())) {
        Cancel();
        Wait();
    }
    StopRepeatingCancel();
    session_.Thread().Call([this] {
        std::lock_guard lock(statementLock_);
        statement_.Release();
    });
}

void Batch::Start() {
    started_.store(true);
    session_.Thread().Post([this] { Run(); });
}

bool Batch::Wait(int milliseconds) {
    std::unique_lock lock(endLock_);
    if (milliseconds < 0) {
        endSignal_.wait(lock, [this] { return ended_.load(); });
        return true;
    }
    return endSignal_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return ended_.load(); });
}

void Batch::Cancel() {
    cancelled_.store(true);
    InterruptIfExecuting();
    // The driver forgets an interruption that arrives before its call has reached the server
    // (the call then runs to its end): it is repeated until the run ends.
    std::lock_guard lock(endLock_);
    if (!cancellerStopped_ && !canceller_.joinable()) canceller_ = std::thread([this] { RepeatCancel(); });
}

void Batch::InterruptIfExecuting() {
    std::lock_guard lock(statementLock_);
    if (executing_.load() != 0 && statement_.Valid()) SQLCancel(statement_.Get());
}

void Batch::RepeatCancel() {
    std::unique_lock lock(endLock_);
    while (!endSignal_.wait_for(lock, kCancelRepeat, [this] { return cancellerStopped_; })) {
        lock.unlock();
        InterruptIfExecuting();
        lock.lock();
    }
}

// Before the batch ends, so that no interruption reaches a later call on the connection.
void Batch::StopRepeatingCancel() {
    std::thread canceller;
    {
        std::lock_guard lock(endLock_);
        cancellerStopped_ = true;
        canceller = std::move(canceller_);
    }
    endSignal_.notify_all();
    if (canceller.joinable()) canceller.join();
}

SQLRETURN Batch::ReallocateStatement() {
    std::lock_guard lock(statementLock_);
    return statement_.Reset(session_.Connection());
}

std::string Batch::OutputTemporaryPath() const {
    return fileOutput_ ? fileOutput_->TemporaryPath() : std::string();
}

std::unique_ptr<MemoryTextSink> Batch::TakeMemoryOutput() {
    if (!outputComplete_.load()) return nullptr;
    return std::move(memoryOutput_);
}

void Batch::Run() {
    busy_.store(true);
    history_.BatchStarted();
    try {
        WalkSegments();
        // Cancelled between statements, before the first or after the last: the statements
        // that ran are whole, but the output is not the script's.
        if (cancelled_.load())
            EndCancelled(false);
        else if (fileOutput_)
            fileOutput_->Close();
    } catch (const BatchCancelled&) {
        failed_.store(true);
        EndCancelled(true);
    } catch (...) {
        // A statement the cancel interrupted fails with the driver's own "operation cancelled":
        // that is the cancel, said plainly below, not an error block of its own.
        if (!cancelled_.load()) ReportStatementFailure(std::current_exception());
        failed_.store(true);
        {
            std::lock_guard lock(statementLock_);
            statement_.Release();
        }
        if (cancelled_.load()) {
            endedByCancel_.store(true);
            history_.AppendText(std::string(kCancelledMessage) + "\r\n", true);
        }
        // Whatever the failure (a file that could not be written too), the entry does not end
        // as completed successfully.
        history_.MarkError();
        history_.EndEntry(sink_->Length());
        // An output file keeps its previous content: a part of an export must not pass for one.
        if (fileOutput_) fileOutput_->Discard();
    }
    StopRepeatingCancel();
    Finish();
}

void Batch::EndCancelled(bool insideStatement) {
    endedByCancel_.store(true);
    history_.AppendText(std::string(kCancelledMessage) + "\r\n", true);
    if (insideStatement) {
        {
            std::lock_guard lock(statementLock_);
            statement_.Release();
        }
        history_.MarkError();
        history_.EndEntry(sink_->Length());
    }
    if (fileOutput_) fileOutput_->Discard();
}

void Batch::Finish() {
    busy_.store(false);
    outputComplete_.store(true);
    history_.BatchEnded(*this);
    std::lock_guard lock(endLock_);
    ended_.store(true);
    endSignal_.notify_all();
}

const StatementRecord* Batch::RecordAt(size_t offset) const {
    // The records are in text order: the last one starting at or before the offset is the only
    // candidate. A scan from the first record for every statement made a script of a million
    // statements run in quadratic time.
    const std::vector<StatementRecord>& records = current_->Statements();
    auto after = std::upper_bound(records.begin(), records.end(), offset,
                                  [](size_t at, const StatementRecord& record) { return at < record.start; });
    if (after == records.begin()) return nullptr;
    const StatementRecord& record = *std::prev(after);
    return record.end >= offset ? &record : nullptr;
}

// A statement is chosen by a position from the begin of its first token up to the end of its
// separator (to the end of the text for the last one): a position on the blanks or line breaks
// before a statement belongs to no statement, so it runs nothing.
bool Batch::Selected(size_t firstToken, size_t separator) const {
    const int caret = request_.caretOffset;
    if (caret < 0 || depth_ > 0) return true; // an included file runs whole
    return StatementHolds(script_->View(), firstToken, separator, static_cast<size_t>(caret));
}

void Batch::RunStatement(size_t statementStart, size_t firstToken, size_t separator, size_t textEnd) {
    if (!Selected(firstToken, separator)) return;
    TokenView script = current_->View();
    const StatementRecord* record = RecordAt(script.tokens[firstToken].offset);
    if (!record) return; // a statement the script view has no record of is skipped
    ExecuteStatement(*this, statementStart, firstToken, separator, statementStart, textEnd, *record,
                     ContextFor(*record));
}

const ConversionContext& Batch::ContextFor(const StatementRecord& record) const {
    // The one rule of every entry point (the window's commands, the automation, marlix-cli):
    // the Syntax of the last OPTIONS element before the statement's end (its own block
    // included), else the request's target (the Target platform, or --syntax).
    return contexts_[static_cast<int>(current_->SyntaxAt(record.end, depth_ > 0 ? request_.dialect : segmentDialect_))];
}

void Batch::Walk() {
    TokenView script = current_->View();
    size_t statementStart = 0;
    size_t first = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        if (cancelled_.load()) return;
        if (!IsStatementSeparator(script, i)) continue;
        if (i > first) RunStatement(statementStart, first, i, script.tokens[i].offset);
        // A client command runs with the script, or when the statement position is on its line.
        const Token& token = script.tokens[i];
        const int caret = request_.caretOffset;
        if (token.role == TokenRole::ClientCommand &&
            (caret < 0 || depth_ > 0 || (static_cast<size_t>(caret) >= token.offset && static_cast<size_t>(caret) <= token.End())))
            RunClientCommand(*this, token);
        statementStart = script.tokens[i].End();
        first = i + 1;
    }
    if (first < script.size()) {
        if (cancelled_.load()) return;
        RunStatement(statementStart, first, script.size(), script.text.size());
    }
}

void Batch::WalkSegments() {
    Walk();
    while (nextSegment_ && !cancelled_.load()) {
        // Only one segment's text and records are alive at a time.
        static const AnalysedScript kNone;
        script_ = std::shared_ptr<const AnalysedScript>(std::shared_ptr<void>(), &kNone);
        current_ = script_.get();
        ScriptSegment segment;
        if (!nextSegment_(segment) || !segment.script) return;
        script_ = std::move(segment.script);
        current_ = script_.get();
        firstLine_ = segment.firstLine;
        segmentDialect_ = segment.dialect.value_or(request_.dialect);
        Walk();
    }
}

void Batch::BeginEntry(size_t textStart, size_t textLength) {
    if (depth_ > 0) {
        textStart = entryStart_;
        textLength = entryLength_;
    }
    history_.BeginEntry(textStart, textLength, sink_->Length());
}

int Batch::LineOf(size_t offset) const {
    return LineOfOffset(current_->Text(), offset) + 1 + (depth_ > 0 ? 0 : firstLine_);
}

void Batch::ReportStatementFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const CODBCException& e) {
        if (e.Position() >= 0 && !includeErrorNamed_) history_.NameErrorLine(LineOf(static_cast<size_t>(e.Position())));
    } catch (...) {
    }
    ReportFailure(failure, history_);
}

std::string Batch::Where(size_t offset) const {
    std::string where = "line " + std::to_string(LineOf(offset));
    if (depth_ > 0) where += " of " + currentName_;
    return where;
}

void Batch::RunInclude(const std::string& file, size_t offset, size_t length) {
    const auto refused = [&](const std::string& why) {
        return CSyntaxException(static_cast<std::int32_t>(offset), "Include " + file + " at " + Where(offset) + ": " + why);
    };
    if (depth_ >= kIncludeDepth)
        throw refused("more than " + std::to_string(kIncludeDepth) + " levels of included files");
    std::filesystem::path path(file);
    if (path.is_relative() && !currentFolder_.empty()) path = std::filesystem::path(currentFolder_) / path;
    std::string text;
    try {
        if (std::filesystem::is_directory(path)) throw refused("it is a folder");
        text = LoadScriptFile(path.string());
    } catch (const CFileException& e) {
        throw refused(std::strerror(e.OsError()));
    }
    AnalysedScript included;
    included.Rebuild(std::move(text), script_->Options());
    if (std::optional<CSyntaxException> fault = FindTextFault(included.View()))
        throw refused(fault->Message() + " (line " +
                      std::to_string(LineOfOffset(included.Text(), static_cast<size_t>(fault->Offset())) + 1) + ")");

    struct Frame {
        const AnalysedScript* script;
        std::string name, folder;
    } saved{current_, std::move(currentName_), std::move(currentFolder_)};
    const auto restore = [&] {
        current_ = saved.script;
        currentName_ = std::move(saved.name);
        currentFolder_ = std::move(saved.folder);
        --depth_;
    };
    if (depth_ == 0) {
        entryStart_ = offset;
        entryLength_ = length;
    }
    current_ = &included;
    currentName_ = file;
    currentFolder_ = path.parent_path().string();
    ++depth_;
    try {
        Walk();
    } catch (CODBCException& e) {
        // The server's message says what; the history says where, once, then the error marker
        // goes to the include command of each including script.
        if (!includeErrorNamed_ && e.Position() >= 0)
            history_.AppendText("Error at " + Where(static_cast<size_t>(e.Position())) + ":\r\n", true);
        includeErrorNamed_ = true;
        restore();
        e.SetPosition(static_cast<int>(offset));
        throw;
    } catch (const CSyntaxException& e) {
        restore();
        throw CSyntaxException(static_cast<std::int32_t>(offset), e.Message());
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void Batch::ConnectToDatabase(const std::string& database, size_t offset) {
    {
        std::lock_guard lock(statementLock_);
        statement_.Release();
    }
    bool connected = false;
    try {
        connected = session_.ConnectToDatabase(database);
    } catch (CODBCException& e) {
        std::lock_guard lock(statementLock_);
        statement_ = StatementHandle(session_.Connection());
        e.SetPosition(static_cast<int>(offset));
        throw;
    }
    std::lock_guard lock(statementLock_);
    statement_ = StatementHandle(session_.Connection());
    if (!connected)
        throw CSyntaxException(static_cast<std::int32_t>(offset),
                               "\\connect at " + Where(offset) +
                                   ": a connection through a data source name cannot change its database");
}

} // namespace marlix
