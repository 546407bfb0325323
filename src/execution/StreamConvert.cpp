#include "execution/StreamConvert.h"

#include "core/ODBCException.h"
#include "core/ResultSet.h"
#include "transform/ScriptGenerator.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace marlix {
namespace {

// Rows travel from the fetching thread to the converting one in blocks of at most this many rows
// and values, or (but for a single longer row) this many bytes of values. Three blocks circulate,
// so memory stays flat whatever the row count; a result that fits one block is converted where it
// was fetched, without a second thread.
// Blocks small enough to stay in the processor's cache between the two threads.
constexpr int64_t kBlockRows = 1024;
constexpr int64_t kBlockValues = 16384;
constexpr size_t kBlockBytes = size_t{1} << 18;
constexpr int kBlocks = 3;

// One value of a fetched row: the driver's indicator and the length of its bytes, which follow
// those of the value before in the block (the complete text of a text column, the structure of
// a timestamp, the driver's date/time text).
struct FetchedValue {
    SQLLEN indicator;
    size_t length;
};

struct RowBlock {
    std::string bytes;
    std::vector<FetchedValue> values; // column count per row
    int64_t rows = 0;

    void Clear() noexcept {
        // The room a row of long values needed is not kept for the rows after it.
        if (bytes.capacity() > 4 * kBlockBytes) std::string().swap(bytes);
        bytes.clear();
        values.clear();
        rows = 0;
    }
};

// Fetches on the calling thread (the statement's) and converts beside it. Every ODBC call stays
// on the calling thread; the converting side reads the rows only from the blocks, through a copy
// of the columns whose buffers no driver writes.
class FetchConvertPipeline {
public:
    FetchConvertPipeline(ResultSet& resultSet, SQLHSTMT statement, int position, StatementType type,
                         const ConversionContext& context, TextSink& sink)
        : resultSet_(resultSet), statement_(statement), position_(position), type_(type), context_(context),
          sink_(sink), converting_(resultSet.UnboundCopy()), generator_(*converting_),
          columnCount_(resultSet.ColumnCount()),
          blockRows_(std::clamp<int64_t>(kBlockValues / std::max(columnCount_, 1), 1, kBlockRows)),
          rowTexts_(static_cast<size_t>(columnCount_)) {
        ChooseReadColumns();
    }
    ~FetchConvertPipeline() { StopConverter(); }
    FetchConvertPipeline(const FetchConvertPipeline&) = delete;
    FetchConvertPipeline& operator=(const FetchConvertPipeline&) = delete;

    int64_t Run();

private:
    enum class Read : uint8_t { Skipped, Text, Timestamp, DateTimeText };
    enum class FetchEnd : uint8_t { Complete, Cancelled, Failed, ConverterStopped };

    void ChooseReadColumns();
    // Copies the current row's values into the block; throws what reading a value threw, as a
    // value failure naming its row and column.
    void ReadRow(RowBlock& block, int64_t row);
    // Hands the full block to the converter, starting it on first use, and takes an emptied one
    // back; false once the converter stopped (failed or cancelled).
    bool HandOver(RowBlock*& block);
    // Converts the block's rows into the sink; false when a cancel stopped it before a row.
    bool ConvertBlock(const RowBlock& block);
    // The header of a result without rows, and the footer.
    void Finish();
    void ConverterLoop();
    void StopConverter() noexcept;

    ResultSet& resultSet_;
    SQLHSTMT statement_;
    int position_;
    StatementType type_;
    const ConversionContext& context_;
    TextSink& sink_;

    // Converting side.
    std::unique_ptr<ResultSet> converting_;
    ScriptGenerator generator_;
    int columnCount_;
    int64_t blockRows_;
    std::vector<Read> read_;
    std::vector<std::string_view> rowTexts_;
    bool headerWritten_ = false;
    int64_t converted_ = 0;

    // Shared between the two threads under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RowBlock*> full_;
    std::deque<RowBlock*> emptied_;
    bool fetchDone_ = false;
    bool fetchComplete_ = false;
    bool converterStopped_ = false;
    std::atomic<bool> converterStopping_{false};
    std::exception_ptr converterFailure_;

    RowBlock blocks_[kBlocks];
    std::thread converter_;
};

void FetchConvertPipeline::ChooseReadColumns() {
    // Only the columns a row text shows are read; long ones would cost a SQLGetData each, so
    // they are read (whole) only where the text shows them, or compare them as keys.
    const bool withLong = WritesLongColumns(resultSet_.Description(), type_, context_);
    const std::vector<int>& keys = resultSet_.KeyColumns();
    read_.assign(static_cast<size_t>(columnCount_), Read::Skipped);
    for (int c = 0; c < columnCount_; ++c) {
        const ColumnDescriptor& column = resultSet_.Column(c);
        Read& read = read_[static_cast<size_t>(c)];
        if (column.IsDateTime()) {
            read = column.storedAs == ColumnDescriptor::StoredAs::DateTimeText ? Read::DateTimeText
                                                                               : Read::Timestamp;
            continue;
        }
        const bool key =
            type_ != StatementType::SELECT && std::find(keys.begin(), keys.end(), c) != keys.end();
        // The text table shows long character values (cut), and long binary ones unless suppressed.
        const bool shown = type_ == StatementType::SELECT &&
                           !(ColumnDescriptor::IsBinaryType(column.sqlType) && context_.suppressBlobValues);
        if (!column.IsLong() || withLong || key || shown) read = Read::Text;
    }
}

void FetchConvertPipeline::ReadRow(RowBlock& block, int64_t row) {
    const size_t bytesBefore = block.bytes.size(), valuesBefore = block.values.size();
    int reading = -1;
    try {
        for (int c = 0; c < columnCount_; ++c) {
            const ColumnDescriptor& column = resultSet_.Column(c);
            FetchedValue value{column.indicator, 0};
            std::string_view bytes;
            reading = c;
            if (column.indicator != SQL_NULL_DATA) {
                switch (read_[static_cast<size_t>(c)]) {
                case Read::Text:
                    // The whole value, also where it is longer than the bind buffer.
                    bytes = resultSet_.BoundText(statement_, c);
                    break;
                case Read::Timestamp:
                    bytes = {reinterpret_cast<const char*>(&column.timestamp), sizeof column.timestamp};
                    break;
                case Read::DateTimeText:
                    bytes = ResultSet::BoundDateTimeText(column);
                    break;
                case Read::Skipped:
                    break;
                }
            }
            block.bytes.append(bytes);
            value.length = bytes.size();
            block.values.push_back(value);
        }
    } catch (...) {
        // The rows before stay whole in the block; the failing one is left out.
        block.bytes.resize(bytesBefore);
        block.values.resize(valuesBefore);
        resultSet_.ThrowValueFailure(std::current_exception(), reading, row + 1);
    }
    ++block.rows;
}

bool FetchConvertPipeline::ConvertBlock(const RowBlock& block) {
    const FetchedValue* value = block.values.data();
    const char* bytes = block.bytes.data();
    for (int64_t i = 0; i < block.rows; ++i, value += columnCount_) {
        // A cancelled conversion ends here, without the footer: the caller ends the batch.
        if (resultSet_.CancelRequested()) return false;
        for (int c = 0; c < columnCount_; ++c) {
            const FetchedValue& v = value[c];
            ColumnDescriptor& column = converting_->Column(c);
            column.indicator = v.indicator;
            std::string_view& text = rowTexts_[static_cast<size_t>(c)];
            switch (read_[static_cast<size_t>(c)]) {
            case Read::Text:
                text = v.indicator == SQL_NULL_DATA ? std::string_view{} : std::string_view(bytes, v.length);
                break;
            case Read::Timestamp:
                if (v.length == sizeof column.timestamp) std::memcpy(&column.timestamp, bytes, v.length);
                break;
            case Read::DateTimeText:
                std::memcpy(column.buffer.get(), bytes, std::min<size_t>(v.length, column.bufferSize));
                break;
            case Read::Skipped:
                break;
            }
            bytes += v.length;
        }
        try {
            generator_.SetFetchedRow(rowTexts_);
            if (!headerWritten_) {
                generator_.WriteScriptHeader(type_, context_, sink_);
                headerWritten_ = true;
            }
            generator_.WriteScriptRow(type_, context_, converted_, sink_);
        } catch (...) {
            converting_->ThrowValueFailure(std::current_exception(), generator_.ColumnInHand(), converted_ + 1);
        }
        ++converted_;
    }
    return true;
}

void FetchConvertPipeline::Finish() {
    if (!headerWritten_) generator_.WriteScriptHeader(type_, context_, sink_);
    generator_.WriteScriptFooter(type_, context_, sink_);
}

void FetchConvertPipeline::ConverterLoop() {
    try {
        bool whole = true;
        while (whole) {
            RowBlock* block;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !full_.empty() || fetchDone_; });
                if (full_.empty()) break;
                block = full_.front();
                full_.pop_front();
            }
            whole = ConvertBlock(*block);
            {
                std::lock_guard lock(mutex_);
                block->Clear();
                emptied_.push_back(block);
            }
            changed_.notify_all();
        }
        bool complete;
        {
            std::lock_guard lock(mutex_);
            complete = fetchComplete_;
        }
        // A cancelled conversion has no footer: it must not pass for a whole one.
        if (whole && complete) Finish();
    } catch (...) {
        converterFailure_ = std::current_exception();
    }
    {
        std::lock_guard lock(mutex_);
        converterStopped_ = true;
    }
    converterStopping_.store(true, std::memory_order_relaxed);
    changed_.notify_all();
}

bool FetchConvertPipeline::HandOver(RowBlock*& block) {
    if (!converter_.joinable()) {
        try {
            converter_ = std::thread([this] { ConverterLoop(); });
        } catch (const std::system_error&) {
            // No thread to be had: this block is converted here, and the next ones likewise. Its
            // rows are converted once, also when one of them fails.
            bool whole;
            try {
                whole = ConvertBlock(*block);
            } catch (...) {
                block->Clear();
                throw;
            }
            block->Clear();
            return whole;
        }
    }
    std::unique_lock lock(mutex_);
    full_.push_back(block);
    changed_.notify_all();
    changed_.wait(lock, [&] { return !emptied_.empty() || converterStopped_; });
    if (converterStopped_) return false;
    block = emptied_.front();
    emptied_.pop_front();
    return true;
}

void FetchConvertPipeline::StopConverter() noexcept {
    if (!converter_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        fetchDone_ = true;
    }
    changed_.notify_all();
    converter_.join();
}

int64_t FetchConvertPipeline::Run() {
    resultSet_.fetchThrough = true;
    converting_->fetchThrough = true;
    for (int i = 1; i < kBlocks; ++i)
        emptied_.push_back(&blocks_[i]);
    RowBlock* block = &blocks_[0];
    std::exception_ptr fetchFailure;
    FetchEnd end = FetchEnd::Complete;
    int64_t row = 0;
    try {
        for (;;) {
            if (resultSet_.CancelRequested()) {
                end = FetchEnd::Cancelled;
                break;
            }
            if (converterStopping_.load(std::memory_order_relaxed)) {
                end = FetchEnd::ConverterStopped;
                break;
            }
            const SQLRETURN rc = SQLFetch(statement_);
            if (rc == SQL_NO_DATA) break;
            if (!Succeeded(rc)) throw CODBCException(SQL_HANDLE_STMT, statement_, position_);
            ReadRow(*block, row);
            ++row;
            if ((row & 1023) == 0) resultSet_.ReportProgress(row);
            if ((block->rows >= blockRows_ || block->bytes.size() >= kBlockBytes) && !HandOver(block)) {
                end = FetchEnd::ConverterStopped;
                break;
            }
        }
    } catch (...) {
        // Thrown after the rows fetched before it are converted.
        fetchFailure = std::current_exception();
        end = FetchEnd::Failed;
    }
    resultSet_.ReportProgress(row);

    if (!converter_.joinable()) {
        // Everything fetched is in this block (or converted here already): converted here.
        if (ConvertBlock(*block) && end == FetchEnd::Complete) Finish();
    } else {
        {
            std::lock_guard lock(mutex_);
            if (!converterStopped_) full_.push_back(block);
            fetchComplete_ = end == FetchEnd::Complete;
        }
        StopConverter();
        if (converterFailure_) std::rethrow_exception(converterFailure_);
    }
    if (fetchFailure) std::rethrow_exception(fetchFailure);
    return converted_;
}

} // namespace

int64_t StreamConvert(ResultSet& resultSet, SQLHSTMT statement, int position, StatementType type,
                      const ConversionContext& context, TextSink& sink) {
    FetchConvertPipeline pipeline(resultSet, statement, position, type, context, sink);
    return pipeline.Run();
}

} // namespace marlix
