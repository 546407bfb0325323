#pragma once
#include "core/MemoryTextSink.h"
#include "core/TextSink.h"

#include <string>

namespace marlix {

// Text written to a file through a 64 KiB buffer that is flushed whenever it holds more
// than 32,768 bytes. Close() writes the rest and reports any error; the destructor closes
// silently for a sink abandoned by an exception.
class FileTextSink final : public TextSink {
public:
    static constexpr size_t kBufferSize = 65536;
    static constexpr size_t kFlushThreshold = 32768;

    explicit FileTextSink(const std::string& fileName); // throws CFileException
    // Writes to a descriptor the caller opened (the runner's standard output), named `name` in
    // error reports. Close() flushes but leaves the descriptor open.
    FileTextSink(int openDescriptor, std::string name);
    ~FileTextSink() override;
    FileTextSink(const FileTextSink&) = delete;
    FileTextSink& operator=(const FileTextSink&) = delete;

    void WriteBytes(const char* data, size_t length) override;
    void WritePadded(std::string_view text, size_t width) override;
    void WriteChar(char c) override;
    size_t Length() const override { return total_; }

    void Close(); // throws CFileException
    const std::string& FileName() const noexcept { return fileName_; }

private:
    void FlushIfFull() {
        if (buffer_.Length() > kFlushThreshold) Flush();
    }
    void Flush();
    void WriteToFile(const char* data, size_t length);

    std::string fileName_;
    int fd_ = -1;
    bool ownsDescriptor_ = true;
    MemoryTextSink buffer_;
    size_t total_ = 0;
};

} // namespace marlix
