#pragma once
// The entries of the Execution history: one per executed statement, with its summary and the
// spans of its output and of its messages. Knows nothing of widgets; the pane feeds it lengths
// and applies what it answers to its own text.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class ExecutionHistory {
public:
    // Lines a summary keeps at most, and the characters of a summary line.
    static constexpr int kSummaryLines = 20;
    static constexpr int kSummaryWidth = 60;
    // A line longer than this is cut to this many characters followed by " ...".
    static constexpr int kWholeLineLimit = 56;

    static constexpr std::string_view kCompletedWithErrors = "SQL batch completed with error(s)\r\n";
    static constexpr std::string_view kCompletedSuccessfully = "SQL batch completed successfully\r\n";

    struct Entry {
        std::string statementText; // UTF-8, CR LF, as executed
        std::string summary;       // every line followed by "\r\n"
        int lineCount = 0;         // lines of the summary
        int width = kSummaryWidth; // characters of a summary line at most
        // Bytes of the batch's text sink that the statement's converted output occupies.
        size_t outputStart = 0;
        size_t outputEnd = 0;
        // Span of the statement's messages in the pane, in the pane's own positions: from its
        // length at BeginEntry to its length after the completion line. Half open.
        size_t logStart = 0;
        size_t logEnd = 0;
        // Where the batch's output begins in the accumulated Results text; empty while the
        // batch's output has not been appended there (still running, or written to a file).
        std::optional<size_t> outputBase;
        bool failed = false;
    };

    // At most 20 non-blank lines of the statement, each followed by "\r\n". A line ends at
    // CR LF, at a lone CR or at a lone LF; a line whose characters are all at or below the space
    // is blank. A line of more than 56 characters keeps its first 56 followed by " ...", so no
    // summary line is longer than 60 characters. Characters are UTF-8 sequences (a malformed
    // byte counts as one), and a cut never splits one.
    static std::string Summarize(std::string_view statementText);
    static int CountLines(std::string_view summary);

    // A statement starts; the previous pending one, if EndEntry never came, is dropped.
    void BeginEntry(std::string statementText, size_t sinkLength, size_t paneLength);
    void MarkError();
    // Records the pending entry and answers its completion line, which the pane appends before
    // RecordLogEnd. Without a pending entry nothing is recorded, the line is still answered.
    std::string EndEntry(size_t sinkLength);
    // The pane's length after the completion line of the entry EndEntry just recorded.
    void RecordLogEnd(size_t paneLength);
    bool EntryPending() const { return pending_.has_value(); }

    // A batch starts: the entries recorded so far, and the pane text before paneLength,
    // belong to earlier runs.
    void MarkBatchStart(size_t paneLength);
    size_t Mark() const { return mark_; }
    // The latest batch's output was appended to the Results text at base.
    void SetOutputBase(size_t base);

    // Drops the entries of earlier runs and answers how much pane text to delete from the front
    // (up to where the latest batch started); the kept spans shift by that much. The Results text
    // of earlier runs goes at the same time, so the kept entries' output now starts the Results
    // text: their outputBase becomes 0.
    size_t TruncateBeforeMark();
    void Clear();

    // The entry whose log span holds the pane position (hover, context menu), or none.
    const Entry* EntryAtLog(size_t panePosition) const;
    int IndexAtLog(size_t panePosition) const;
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    std::optional<Entry> pending_;
    bool awaitingLogEnd_ = false;
    size_t mark_ = 0;
    size_t markPaneLength_ = 0;
};

} // namespace marlix
