#pragma once
// One run of a script against the database: the whole script, the statement at a position, or
// the whole script with its output written to a file. It runs on the session's connection thread
// and can be cancelled from any other thread.
#include "core/ConversionContext.h"
#include "core/ConversionDescription.h"
#include "core/DialectSettings.h"
#include "core/MemoryTextSink.h"
#include "core/TextSink.h"
#include "db/StatementHandle.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <thread>

namespace marlix {

class AnalysedScript;
class FileTextSink;
class CODBCSession;
class HistoryOutput;
class ProfileStore;
struct StatementRecord;

struct BatchRequest {
    int caretOffset = -1; // -1: every statement; else the statement at this offset
    Dialect dialect = Dialect::MSSQL;
    // The host's dialect settings when it asked for the run: every conversion of the run uses
    // them, whatever the host's settings become meanwhile.
    DialectSettingsSet dialectSettings = DefaultDialectSettingsSet();
    std::string outputFile; // Results to file; empty for the in-memory output
    // Results to an already open descriptor instead (the runner's standard output), -1 for none;
    // written row by row like a file and left open at the end.
    int outputDescriptor = -1;
    // The folder of the script, where its include commands find files named relatively; empty:
    // the working folder.
    std::string scriptFolder;
};

// The next segment of a script read segment by segment (the runner's scripts of any size): its analysis,
// the zero-based line of its first character in the whole script, and the Syntax of the last
// OPTIONS element of the segments before it.
struct ScriptSegment {
    std::shared_ptr<const AnalysedScript> script;
    int firstLine = 0;
    std::optional<Dialect> dialect;
};

// Thrown inside a statement once the batch has been cancelled: the batch ends there, as cancelled.
struct BatchCancelled {};

class Batch {
public:
    static constexpr size_t kMemorySinkSize = 67108864;
    static constexpr std::chrono::milliseconds kCancelRepeat{200};
    // Included files may include others, up to this many levels below the script.
    static constexpr int kIncludeDepth = 16;

    // The batch holds its own reference to `script`, a snapshot nobody changes: the caller may
    // edit its own script, or drop its reference, while the batch runs. The row and size limits
    // are read from the profile now; the dialect settings come with the request.
    // Throws CFileException when the output file cannot be created, and CSyntaxException at
    // the fault of a script that must not run (FindTextFault), before anything is created.
    Batch(CODBCSession& session, std::shared_ptr<const AnalysedScript> script, BatchRequest request,
          HistoryOutput& history, const ProfileStore& profile);
    // The same on a script the caller owns: it must stay unchanged until the batch has ended
    // (the headless runner, whose script never changes).
    Batch(CODBCSession& session, const AnalysedScript& script, BatchRequest request, HistoryOutput& history,
          const ProfileStore& profile);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // The script given is the first segment of a longer one: once its statements have run, `next`
    // gives the next segment on the run's thread (false after the last segment, or where the run
    // must stop; it may throw), and the previous segment is dropped before it is called. Only
    // for a run of every statement. Before Start.
    void ContinueWith(std::function<bool(ScriptSegment&)> next) { nextSegment_ = std::move(next); }

    // Queues the run on the session's connection thread and returns at once. The history's
    // BatchEnded is the run's last call but one: the batch may be destroyed once Wait() has
    // returned (or later on the host's own loop), never from inside BatchEnded.
    void Start();
    // Runs the batch on the calling thread (the connection thread, or a test).
    void Run();
    // Waits until the run has ended; false when `milliseconds` passed first (negative: forever).
    bool Wait(int milliseconds = -1);

    // Interrupts the ODBC call in progress, if any, and lets no further statement start, nor
    // any further row be fetched. A call the driver could not interrupt yet (the statement had
    // not reached the server) is interrupted again until the worker leaves it. Any thread.
    void Cancel();

    bool Busy() const noexcept { return busy_.load(); }
    bool Failed() const noexcept { return failed_.load(); }
    // A cancel was asked for.
    bool Cancelled() const noexcept { return cancelled_.load(); }
    // The run ended because of a cancel (it saw the request before it could end otherwise).
    bool EndedByCancel() const noexcept { return endedByCancel_.load(); }
    bool Ended() const noexcept { return ended_.load(); }
    int ResultSetCount() const noexcept { return resultSetCount_.load(); }
    // Rows fetched so far by the running fetch loop, for a progress display.
    int64_t FetchedRows() const noexcept { return fetchedRows_.load(std::memory_order_relaxed); }

    const BatchRequest& Request() const noexcept { return request_; }
    bool ToFile() const noexcept { return !request_.outputFile.empty() || request_.outputDescriptor >= 0; }
    // What the run writes its output to; for the run itself (statement execution).
    TextSink& Sink() noexcept { return *sink_; }
    // The in-memory output, or null for Results to file and once it has been taken.
    const MemoryTextSink* MemoryOutput() const noexcept { return memoryOutput_.get(); }
    // Results to file: the file written beside the output until the run puts it in place, or
    // empty. For a host that must remove it when it cannot wait for the run to end.
    std::string OutputTemporaryPath() const;
    // Hands the in-memory output over, so that the host keeps the text where it is instead of
    // copying it. Available from the history's BatchEnded on (the run writes nothing more);
    // null before that, for Results to file, and after the first take. Call it on one thread.
    std::unique_ptr<MemoryTextSink> TakeMemoryOutput();
    // How the results of a statement are converted: the target dialect and the settings of the
    // request. Decided once per statement, here only.
    const ConversionContext& ContextFor(const StatementRecord& record) const;

    // Used by statement execution.
    CODBCSession& Session() noexcept { return session_; }
    HistoryOutput& History() noexcept { return history_; }
    // The script whose statements run now: the batch's own, or the file an include command named.
    const AnalysedScript& Script() const noexcept { return *current_; }
    // Opens the history entry of a statement or client command of Script(); inside an included
    // file the entry stands at the include command of the batch's own script.
    void BeginEntry(size_t textStart, size_t textLength);
    // Reports the failure of a statement of Script() (ReportFailure), first naming the line the
    // server refused, unless an included file's error named its place already.
    void ReportStatementFailure(std::exception_ptr failure);
    // "line N" of a place in Script(), with " of FILE" inside an included file.
    std::string Where(size_t offset) const;
    // The one-based line of a place in Script(), counted in the whole script or included file.
    int LineOf(size_t offset) const;
    // Runs the statements of a file in place of the include command at [offset, offset + length)
    // of Script(). A file that cannot be read or run, or one level too many, fails with an error
    // naming the command's line; an error inside the file names the file and its line.
    void RunInclude(const std::string& file, size_t offset, size_t length);
    // Connects to another database of the same server (psql's \connect); throws on failure.
    void ConnectToDatabase(const std::string& database, size_t offset);
    SQLHSTMT Statement() const noexcept { return statement_.Get(); }
    // Readies the handle for the next statement: the previous one's cursor closed, its bindings
    // dropped (a fresh handle when there is none, or the driver cannot reset it).
    SQLRETURN ReallocateStatement();
    int RowLimit() const noexcept { return rowLimit_; }
    int SizeLimitMB() const noexcept { return sizeLimitMB_; }
    int NextResultSetNumber() noexcept { return ++resultSetCount_; }
    // Results of which the row or size limit kept only a part (each warned about in the history).
    int CutResultCount() const noexcept { return cutResults_.load(); }
    void CountCutResult() noexcept { cutResults_.fetch_add(1); }
    std::atomic<int64_t>& FetchProgress() noexcept { return fetchedRows_; }
    const std::atomic<bool>& CancelFlag() const noexcept { return cancelled_; }
    void ThrowIfCancelled() const {
        if (cancelled_.load()) throw BatchCancelled{};
    }

    // Raised while the worker is inside SQLExecDirect or a fetch loop.
    class Executing {
    public:
        explicit Executing(Batch& batch) : batch_(batch) { batch_.executing_.fetch_add(1); }
        // Under the lock Cancel holds while it interrupts: no interruption meant for this call
        // can reach the driver once the worker has left it.
        ~Executing() {
            std::lock_guard lock(batch_.statementLock_);
            batch_.executing_.fetch_sub(1);
        }
        Executing(const Executing&) = delete;
        Executing& operator=(const Executing&) = delete;

    private:
        Batch& batch_;
    };

private:
    void Walk();
    void WalkSegments();
    bool Selected(size_t firstToken, size_t separator) const;
    void RunStatement(size_t statementStart, size_t firstToken, size_t separator, size_t textEnd);
    const StatementRecord* RecordAt(size_t offset) const;
    void Finish();
    void EndCancelled(bool insideStatement);
    void InterruptIfExecuting();
    void RepeatCancel();
    void StopRepeatingCancel();

    CODBCSession& session_;
    std::shared_ptr<const AnalysedScript> script_;
    const AnalysedScript* current_ = nullptr; // script_, or the included file that runs
    std::function<bool(ScriptSegment&)> nextSegment_;
    int firstLine_ = 0;                       // of the segment that runs, in the whole script
    Dialect segmentDialect_;                     // the Syntax in force where the segment begins
    std::string currentName_;                 // the included file as its command named it
    std::string currentFolder_;               // where the current script's includes are found
    int depth_ = 0;                           // include levels below the batch's own script
    size_t entryStart_ = 0, entryLength_ = 0; // the outermost include command, while it runs
    bool includeErrorNamed_ = false;          // a server error's file and line were said
    BatchRequest request_;
    HistoryOutput& history_;
    int rowLimit_;
    int sizeLimitMB_;
    bool suppressBlobValues_;
    // The context of each target, made once: a statement picks its own instead of copying every
    // dialect's settings.
    std::array<ConversionContext, kDialectCount> contexts_;
    std::unique_ptr<MemoryTextSink> memoryOutput_; // the sink, when the output stays in memory
    std::unique_ptr<FileTextSink> fileOutput_;     // the sink, for Results to file
    TextSink* sink_ = nullptr;                     // whichever of the two the run writes to

    // The handle is replaced per statement on the worker while Cancel may read it on another
    // thread; this lock covers only those two moments.
    std::mutex statementLock_;
    StatementHandle statement_;

    std::atomic<bool> busy_{false};
    std::atomic<bool> failed_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> endedByCancel_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> outputComplete_{false}; // set just before BatchEnded
    std::atomic<bool> started_{false};
    std::atomic<int> executing_{0};
    std::atomic<int> resultSetCount_{0};
    std::atomic<int> cutResults_{0};
    std::atomic<int64_t> fetchedRows_{0};
    std::mutex endLock_;
    std::condition_variable endSignal_;
    // Repeats the interruption after a cancel, until the run stops it (guarded by endLock_).
    std::thread canceller_;
    bool cancellerStopped_ = false;
};

} // namespace marlix
