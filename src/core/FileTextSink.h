#pragma once
#include "core/MemoryTextSink.h"
#include "core/TextSink.h"

#include <string>

namespace marlix {

// Text written to a file through a 64 KiB buffer that is flushed whenever it holds more
// than 32,768 bytes. A regular file is written beside its place under a temporary name and
// put in place by Close(), so a failed or abandoned export leaves the previous file whole;
// Discard() drops what was written instead. Close() reports any error; the destructor closes
// silently.
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

    // Writes the rest and puts the file in place of the one named. Throws CFileException, and
    // then the named file is left as it was.
    void Close();
    // Forgets the buffered rest and removes the temporary file: the named file stays as it was.
    // A descriptor keeps what already went to it. Never throws.
    void Discard() noexcept;
    const std::string& FileName() const noexcept { return fileName_; }
    // The file being written until Close() puts it in place; empty where the file is written in
    // place (a device, a descriptor) or once closed or discarded.
    const std::string& TemporaryPath() const noexcept { return temporary_; }

private:
    void FlushIfFull() {
        if (buffer_.Length() > kFlushThreshold) Flush();
    }
    void Flush();
    void WriteToFile(const char* data, size_t length);

    std::string fileName_;
    std::string target_;    // the file Close() replaces (a symbolic link's target); empty: written in place
    std::string temporary_; // the file being written until then
    int fd_ = -1;
    bool ownsDescriptor_ = true;
    MemoryTextSink buffer_;
    size_t total_ = 0;
};

} // namespace marlix
