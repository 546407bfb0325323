#pragma once
// The Execution history of marlix-cli: written to standard error byte for byte. While a batch
// runs the text is gathered and written in large pieces, at the latest a tenth of a second after
// it arrives (an error or warning at once): a script of a million short statements would
// otherwise make two writes each. When standard error is a terminal, a live count of fetched
// rows stands on its last line while a result is being fetched; it is wiped before any history
// text is written.
#include "core/HistoryOutput.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace marlix {

class CliHistoryOutput final : public HistoryOutput {
public:
    static constexpr std::chrono::milliseconds kFlushDelay{100};
    static constexpr size_t kFlushSize = 65536;

    explicit CliHistoryOutput(int fd, bool showProgress);
    ~CliHistoryOutput() override;
    CliHistoryOutput(const CliHistoryOutput&) = delete;
    CliHistoryOutput& operator=(const CliHistoryOutput&) = delete;

    void AppendText(std::string_view text, bool bringToFront) override;
    void BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) override;
    void MarkError() override;
    void NameErrorLine(int line) override;
    void EndEntry(size_t sinkLength) override;
    // The runner shows no grids: a result set is freed as soon as it is converted.
    void AppendResultSet(std::shared_ptr<ResultSet> resultSet) override { (void)resultSet; }
    void ShowMessage(std::string_view text) override;
    void BatchStarted() override;
    void BatchEnded(Batch& batch) override;

    // Shows "<rows> row(s) fetched" on the terminal line (no-op without a terminal).
    void ShowProgress(long long rows);
    void ClearProgress();
    bool ErrorReported() const;
    // A write to the history's descriptor failed (standard error full or closed).
    bool WriteFailed() const;

private:
    // Adds to the gathered text; written at once outside a batch.
    void Write(std::string_view text);
    void FlushLocked();
    void WipeProgressLocked();
    void FlushPeriodically();
    void StopFlusher();

    int fd_;
    bool showProgress_;
    mutable std::mutex lock_;
    std::string pending_;
    bool gathering_ = false; // a batch runs: text waits for the flusher or a full buffer
    bool stopFlusher_ = false;
    std::condition_variable flushSignal_;
    std::thread flusher_;
    bool failed_ = false;
    bool errorReported_ = false;
    bool writeFailed_ = false;
    size_t progressWidth_ = 0;
};

} // namespace marlix
