#include "core/FileTextSink.h"

#include "core/FileException.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace marlix {

CFileException::CFileException(int osError, std::string fileName)
    : osError_(osError), fileName_(std::move(fileName)),
      text_("OS IO Error " + std::to_string(osError) + " when working with file " + fileName_ + ": " +
            std::strerror(osError)) {}

namespace {

// A name beside `target` that no other writer uses at the same time.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    return target + ".marlix-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
           "-" + std::to_string(static_cast<unsigned long long>(tick) % 1000000u);
}

// The file a replacement really writes: a symbolic link is followed, so the link stays a link.
std::string ReplaceTarget(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

FileTextSink::FileTextSink(const std::string& fileName) : fileName_(fileName), buffer_(kBufferSize) {
    struct stat existing {};
    const bool exists = ::stat(fileName.c_str(), &existing) == 0;
    // A device, a pipe or a terminal cannot be replaced by another file: it is written as it is.
    if (!exists || S_ISREG(existing.st_mode)) {
        target_ = exists ? ReplaceTarget(fileName) : fileName;
        for (int attempt = 0; fd_ < 0; ++attempt) {
            temporary_ = TemporaryName(target_);
            fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) break;
            const int error = errno;
            temporary_.clear();
            if (error == EEXIST && attempt < 100) continue;
            // A file we may write in a folder we may not: written in place, as the only way left.
            if (exists && (error == EACCES || error == EPERM)) break;
            throw CFileException(error, fileName);
        }
        if (fd_ >= 0 && exists) {
            // The replacement keeps the permissions (and, where we may give it, the owner).
            if (::fchmod(fd_, existing.st_mode & 07777) != 0) { /* the new file's own mode stays */ }
            if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) { /* not ours to give away */ }
        }
    }
    if (fd_ < 0) {
        target_.clear();
        fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) throw CFileException(errno, fileName);
    }
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
            const int error = errno;
            // The export is broken: what is buffered cannot go anywhere either (a second report
            // would only repeat this one), and the part written must never replace the file.
            Discard();
            throw CFileException(error, fileName_);
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
        Discard();
        throw;
    }
    if (!ownsDescriptor_) {
        fd_ = -1;
        return;
    }
    // A full disk may show only now, when the file system writes what it had accepted.
    int error = 0;
    if (!temporary_.empty() && ::fsync(fd_) != 0 && errno != EINVAL) error = errno;
    if (::close(std::exchange(fd_, -1)) != 0 && error == 0) error = errno;
    if (error == 0 && !temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
    if (error != 0) {
        Discard();
        throw CFileException(error, fileName_);
    }
    temporary_.clear();
}

void FileTextSink::Discard() noexcept {
    buffer_.Clear();
    if (fd_ >= 0 && ownsDescriptor_) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

} // namespace marlix
