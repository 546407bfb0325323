#include "core/HistoryOutput.h"

#include "core/ResultSet.h"

namespace marlix {

void TextHistoryOutput::AppendText(std::string_view text, bool bringToFront) {
    text_ += text;
    if (bringToFront) ++bringToFrontCount_;
}

void TextHistoryOutput::BeginEntry(size_t textStart, size_t textLength, size_t sinkLength) {
    pending_ = Entry{};
    pending_.textStart = textStart;
    pending_.textLength = textLength;
    pending_.sinkStart = sinkLength;
    pending_.logStart = text_.size();
}

void TextHistoryOutput::MarkError() {
    pending_.failed = true;
    errorMarked_ = true;
}

bool TextHistoryOutput::ErrorReported() const {
    return errorMarked_ || !messages_.empty();
}

void TextHistoryOutput::EndEntry(size_t sinkLength) {
    text_ +=
        pending_.failed ? "SQL batch completed with error(s)\r\n" : "SQL batch completed successfully\r\n";
    pending_.sinkEnd = sinkLength;
    pending_.logEnd = text_.size();
    entries_.push_back(pending_);
    pending_ = Entry{};
}

void TextHistoryOutput::AppendResultSet(std::shared_ptr<ResultSet> resultSet) {
    resultSets_.push_back(std::move(resultSet));
}

} // namespace marlix
