#pragma once
// What the engine tells its host while statements run: the Execution history and the list
// of stored result sets. The GUI shows it in the results view; the runner and the tests
// collect it as plain text (TextHistoryOutput).
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class Batch;
class ResultSet;

class HistoryOutput {
public:
    virtual ~HistoryOutput() = default;

    // Appends text at the end of the history; bringToFront asks the host to show the history.
    virtual void AppendText(std::string_view text, bool bringToFront) = 0;

    // A statement starts: where its text lies in the script, and how long the batch's text
    // output already is.
    virtual void BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) = 0;

    // The running statement failed; its entry will end with the error line.
    virtual void MarkError() = 0;

    // The statement is over: appends "SQL batch completed successfully\r\n" or
    // "SQL batch completed with error(s)\r\n" and records the entry.
    virtual void EndEntry(size_t sinkLength) = 0;

    // A result set is stored: from now on the host owns it (shared with the running statement).
    virtual void AppendResultSet(std::shared_ptr<ResultSet> resultSet) = 0;

    // A failure report points at a place of the script: the host moves its error line marker to
    // the line that holds this character offset.
    virtual void MarkErrorLine(size_t offset) { (void)offset; }
    // A statement the server refused, at this one-based line of the whole script: a host that
    // shows no script (the headless runner) says so in words before the server's message.
    virtual void NameErrorLine(int line) { (void)line; }

    // A report the window shows in a message box ("OS IO Error ...", "Internal application error").
    virtual void ShowMessage(std::string_view text) = 0;

    // A batch starts (the editor turns read-only) and ends (the host shows its output, picks
    // the tab to bring forward and takes its result sets). The worker waits for both.
    virtual void BatchStarted() {}
    virtual void BatchEnded(Batch& batch) { (void)batch; }
};

// Collects everything as plain text, for tests and for the headless runner.
class TextHistoryOutput : public HistoryOutput {
public:
    struct Entry {
        size_t textStart = 0;
        size_t textLength = 0;
        size_t sinkStart = 0;
        size_t sinkEnd = 0;
        size_t logStart = 0;
        size_t logEnd = 0;
        bool failed = false;
    };

    void AppendText(std::string_view text, bool bringToFront) override;
    void BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) override;
    void MarkError() override;
    void EndEntry(size_t sinkLength) override;
    void AppendResultSet(std::shared_ptr<ResultSet> resultSet) override;
    void MarkErrorLine(size_t offset) override { errorOffsets_.push_back(offset); }
    void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }

    const std::string& Text() const { return text_; }
    const std::vector<std::string>& Messages() const { return messages_; }
    const std::vector<size_t>& ErrorOffsets() const { return errorOffsets_; }
    // True when any entry failed or any message box was shown.
    bool ErrorReported() const;
    const std::vector<Entry>& Entries() const { return entries_; }
    const std::vector<std::shared_ptr<ResultSet>>& ResultSets() const { return resultSets_; }
    int BringToFrontCount() const { return bringToFrontCount_; }

private:
    std::string text_;
    std::vector<Entry> entries_;
    std::vector<std::shared_ptr<ResultSet>> resultSets_;
    std::vector<std::string> messages_;
    std::vector<size_t> errorOffsets_;
    bool errorMarked_ = false;
    Entry pending_;
    int bringToFrontCount_ = 0;
};

} // namespace marlix
