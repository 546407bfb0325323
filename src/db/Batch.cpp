#include "db/Batch.h"

#include "core/FileTextSink.h"
#include "core/HistoryOutput.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"
#include "db/StandardReport.h"
#include "db/StatementExecution.h"
#include "metadata/AnalysedScript.h"
#include "metadata/StatementRecord.h"

namespace marlix {

Batch::Batch(CODBCSession& session, const AnalysedScript& script, BatchRequest request,
             HistoryOutput& history, const ProfileStore& profile)
    : session_(session), script_(script), request_(std::move(request)), history_(history),
      rowLimit_(profile.GetInt(kExecutionSettings, kDatasetRowLimit, 0)),
      sizeLimitMB_(profile.GetInt(kExecutionSettings, kDatasetSizeLimit, 1)) {
    if (request_.outputFile.empty()) {
        auto memory = std::make_unique<MemoryTextSink>(kMemorySinkSize);
        memorySink_ = memory.get();
        sink_ = std::move(memory);
    } else {
        auto file = std::make_unique<FileTextSink>(request_.outputFile);
        fileSink_ = file.get();
        sink_ = std::move(file);
    }
    session_.Thread().Call([this] { statement_ = StatementHandle(session_.Connection()); });
}

Batch::~Batch() {
    if (busy_.load() || (!ended_.load() && started_.load())) {
        Cancel();
        Wait();
    }
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
    std::lock_guard lock(statementLock_);
    if (executing_.load() != 0 && statement_.Valid()) SQLCancel(statement_.Get());
}

SQLRETURN Batch::ReallocateStatement() {
    std::lock_guard lock(statementLock_);
    return statement_.Reallocate(session_.Connection());
}

void Batch::Run() {
    busy_.store(true);
    history_.BatchStarted();
    try {
        Walk();
        if (fileSink_) fileSink_->Close();
    } catch (...) {
        ReportFailure(std::current_exception(), history_);
        failed_.store(true);
        {
            std::lock_guard lock(statementLock_);
            statement_.Release();
        }
        history_.EndEntry(sink_->Length());
        if (fileSink_) {
            try {
                fileSink_->Close();
            } catch (...) {
                ReportFailure(std::current_exception(), history_);
            }
        }
    }
    Finish();
}

void Batch::Finish() {
    busy_.store(false);
    history_.BatchEnded(*this);
    std::lock_guard lock(endLock_);
    ended_.store(true);
    endSignal_.notify_all();
}

const StatementRecord* Batch::RecordAt(size_t offset) const {
    for (const StatementRecord& record : script_.Statements())
        if (record.start <= offset && record.end >= offset) return &record;
    return nullptr;
}

void Batch::RunStatement(size_t statementStart, size_t firstToken, size_t separator, size_t textEnd) {
    TokenView script = script_.Script().View();
    const StatementRecord* record = RecordAt(script.tokens[firstToken].offset);
    if (!record) return; // a statement the script view has no record of is skipped
    const int caret = request_.caretOffset;
    bool selected;
    if (caret < 0)
        selected = true;
    else if (separator < script.size())
        selected = static_cast<size_t>(caret) >= statementStart &&
                   static_cast<size_t>(caret) < script.tokens[separator].End();
    else
        selected = static_cast<size_t>(caret) >= statementStart;
    if (!selected) return;
    ExecuteStatement(*this, statementStart, firstToken, separator, statementStart, textEnd, *record);
}

void Batch::Walk() {
    TokenView script = script_.Script().View();
    size_t statementStart = 0;
    size_t first = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        if (cancelled_.load()) return;
        if (!IsStatementSeparator(script, i)) continue;
        if (i > first) RunStatement(statementStart, first, i, script.tokens[i].offset);
        statementStart = script.tokens[i].End();
        first = i + 1;
    }
    if (first < script.size()) {
        if (cancelled_.load()) return;
        RunStatement(statementStart, first, script.size(), script.text.size());
    }
}

} // namespace marlix
