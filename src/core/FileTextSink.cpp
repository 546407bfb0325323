#include "core/FileTextSink.h"

#include "core/FileException.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace marlix {

CFileException::CFileException(int osError, std::string fileName)
    : osError_(osError), fileName_(std::move(fileName)),
      text_("OS IO Error " + std::to_string(osError) + " when working with file " + fileName_) {}

FileTextSink::FileTextSink(const std::string& fileName) : fileName_(fileName), buffer_(kBufferSize) {
    fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw CFileException(errno, fileName);
}

FileTextSink::FileTextSink(int openDescriptor, std::string name)
    : fileName_(std::move(name)), fd_(openDescriptor), ownsDescriptor_(false), buffer_(kBufferSize) {}

FileTextSink::~FileTextSink() {
    try {
        Close();
    } catch (...) {
        // Abandoned after an earlier failure: the caller reports that one.
    }
}

void FileTextSink::WriteBytes(const char* data, size_t length) {
    // A write that cannot fit the buffer goes straight to the file after what is buffered,
    // so a single long value never overflows the fixed buffer.
    if (buffer_.Length() + length >= kBufferSize) {
        Flush();
        if (length >= kBufferSize) {
            WriteToFile(data, length);
            total_ += length;
            return;
        }
    }
    buffer_.WriteBytes(data, length);
    total_ += length;
    FlushIfFull();
}

void FileTextSink::WritePadded(std::string_view text, size_t width) {
    if (buffer_.Length() + width >= kBufferSize) {
        TextSink::WritePadded(text, width);
        return;
    }
    buffer_.WritePadded(text, width);
    total_ += width;
    FlushIfFull();
}

void FileTextSink::WriteChar(char c) {
    buffer_.WriteChar(c);
    ++total_;
    FlushIfFull();
}

void FileTextSink::Flush() {
    if (buffer_.Length() == 0) return;
    WriteToFile(buffer_.Data(), buffer_.Length());
    buffer_.Clear();
}

void FileTextSink::WriteToFile(const char* data, size_t length) {
    if (fd_ < 0) throw CFileException(EBADF, fileName_);
    while (length > 0) {
        ssize_t n = ::write(fd_, data, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CFileException(errno, fileName_);
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
}

void FileTextSink::Close() {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (...) {
        if (ownsDescriptor_) ::close(fd_);
        fd_ = -1;
        throw;
    }
    int fd = fd_;
    fd_ = -1;
    if (!ownsDescriptor_) return;
    if (::close(fd) != 0) throw CFileException(errno, fileName_);
}

} // namespace marlix
