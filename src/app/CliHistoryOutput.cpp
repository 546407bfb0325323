#include "app/CliHistoryOutput.h"

#include <cerrno>
#include <unistd.h>

namespace marlix {

CliHistoryOutput::CliHistoryOutput(int fd, bool showProgress) : fd_(fd), showProgress_(showProgress) {}

void CliHistoryOutput::Write(std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            writeFailed_ = true; // nowhere left to report to; the exit status says it
            return;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
}

void CliHistoryOutput::WipeProgressLocked() {
    if (progressWidth_ == 0) return;
    std::string wipe(progressWidth_ + 2, ' ');
    wipe.front() = '\r';
    wipe.back() = '\r';
    Write(wipe);
    progressWidth_ = 0;
}

void CliHistoryOutput::AppendText(std::string_view text, bool) {
    std::lock_guard lock(lock_);
    WipeProgressLocked();
    Write(text);
}

void CliHistoryOutput::BeginEntry(size_t, size_t, size_t) {
    std::lock_guard lock(lock_);
    failed_ = false;
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
}

void CliHistoryOutput::ShowProgress(long long rows) {
    if (!showProgress_) return;
    std::lock_guard lock(lock_);
    std::string line(1, '\r');
    line += std::to_string(rows);
    line += " row(s) fetched";
    progressWidth_ = line.size() - 1;
    Write(line);
}

void CliHistoryOutput::ClearProgress() {
    std::lock_guard lock(lock_);
    WipeProgressLocked();
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
