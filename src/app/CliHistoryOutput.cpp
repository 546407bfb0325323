#include "app/CliHistoryOutput.h"

#include <cerrno>
#include <unistd.h>

namespace marlix {

CliHistoryOutput::CliHistoryOutput(int fd, bool showProgress) : fd_(fd), showProgress_(showProgress) {}

CliHistoryOutput::~CliHistoryOutput() {
    StopFlusher();
    std::lock_guard lock(lock_);
    FlushLocked();
}

void CliHistoryOutput::Write(std::string_view text) {
    pending_ += text;
    if (!gathering_ || pending_.size() >= kFlushSize) FlushLocked();
}

void CliHistoryOutput::FlushLocked() {
    std::string_view text = pending_;
    while (!text.empty()) {
        ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            writeFailed_ = true; // nowhere left to report to; the exit status says it
            break;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
    pending_.clear();
}

void CliHistoryOutput::FlushPeriodically() {
    std::unique_lock lock(lock_);
    while (!flushSignal_.wait_for(lock, kFlushDelay, [this] { return stopFlusher_; }))
        FlushLocked();
}

void CliHistoryOutput::BatchStarted() {
    std::lock_guard lock(lock_);
    if (flusher_.joinable()) return;
    gathering_ = true;
    stopFlusher_ = false;
    flusher_ = std::thread([this] { FlushPeriodically(); });
}

void CliHistoryOutput::BatchEnded(Batch&) {
    StopFlusher();
}

void CliHistoryOutput::StopFlusher() {
    {
        std::lock_guard lock(lock_);
        stopFlusher_ = true;
        gathering_ = false;
        FlushLocked();
    }
    flushSignal_.notify_all();
    if (flusher_.joinable()) flusher_.join();
}

void CliHistoryOutput::WipeProgressLocked() {
    if (progressWidth_ == 0) return;
    std::string wipe(progressWidth_ + 2, ' ');
    wipe.front() = '\r';
    wipe.back() = '\r';
    Write(wipe);
    progressWidth_ = 0;
}

void CliHistoryOutput::AppendText(std::string_view text, bool bringToFront) {
    std::lock_guard lock(lock_);
    WipeProgressLocked();
    Write(text);
    // Errors, warnings and the cancel are not held back.
    if (bringToFront) FlushLocked();
}

void CliHistoryOutput::BeginEntry(size_t, size_t, size_t) {
    std::lock_guard lock(lock_);
    failed_ = false;
}

void CliHistoryOutput::NameErrorLine(int line) {
    AppendText("Error at line " + std::to_string(line) + ":\r\n", true);
}

void CliHistoryOutput::MarkError() {
    std::lock_guard lock(lock_);
    failed_ = true;
    errorReported_ = true;
}

void CliHistoryOutput::EndEntry(size_t) {
    std::lock_guard lock(lock_);
    WipeProgressLocked();
    Write(failed_ ? "SQL batch completed with error(s)\r\n" : "SQL batch completed successfully\r\n");
    failed_ = false;
}

void CliHistoryOutput::ShowMessage(std::string_view text) {
    std::lock_guard lock(lock_);
    errorReported_ = true;
    WipeProgressLocked();
    Write(text);
    Write("\r\n");
    FlushLocked();
}

void CliHistoryOutput::ShowProgress(long long rows) {
    if (!showProgress_) return;
    std::lock_guard lock(lock_);
    std::string line(1, '\r');
    line += std::to_string(rows);
    line += " row(s) fetched";
    progressWidth_ = line.size() - 1;
    Write(line);
    FlushLocked();
}

void CliHistoryOutput::ClearProgress() {
    std::lock_guard lock(lock_);
    WipeProgressLocked();
    FlushLocked();
}

bool CliHistoryOutput::WriteFailed() const {
    std::lock_guard lock(lock_);
    return writeFailed_;
}

bool CliHistoryOutput::ErrorReported() const {
    std::lock_guard lock(lock_);
    return errorReported_;
}

} // namespace marlix
