#pragma once
// The Execution history of marlix-cli: written to standard error as it arrives, byte for byte.
// When standard error is a terminal, a live count of fetched rows stands on its last line while
// a result is being fetched; it is wiped before any history text is written.
#include "core/HistoryOutput.h"

#include <mutex>
#include <string>

namespace marlix {

class CliHistoryOutput final : public HistoryOutput {
public:
    explicit CliHistoryOutput(int fd, bool showProgress);

    void AppendText(std::string_view text, bool bringToFront) override;
    void BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) override;
    void MarkError() override;
    void EndEntry(size_t sinkLength) override;
    // The runner shows no grids: a result set is freed as soon as it is converted.
    void AppendResultSet(std::shared_ptr<ResultSet> resultSet) override { (void)resultSet; }
    void ShowMessage(std::string_view text) override;

    // Shows "<rows> row(s) fetched" on the terminal line (no-op without a terminal).
    void ShowProgress(long long rows);
    void ClearProgress();
    bool ErrorReported() const;
    // A write to the history's descriptor failed (standard error full or closed).
    bool WriteFailed() const;

private:
    void Write(std::string_view text);
    void WipeProgressLocked();

    int fd_;
    bool showProgress_;
    mutable std::mutex lock_;
    bool failed_ = false;
    bool errorReported_ = false;
    bool writeFailed_ = false;
    size_t progressWidth_ = 0;
};

} // namespace marlix
