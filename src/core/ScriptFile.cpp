#include "core/ScriptFile.h"

#include "core/FileException.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace marlix {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

} // namespace

std::string LoadScriptFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) throw CFileException(errno, path);
    // Read straight into the text, sized from the file when it has a size (a pipe has none, and
    // a file may grow while it is read): no copy through a small block, no regrowth per block.
    std::string text;
    struct stat status = {};
    if (::fstat(fd.Get(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        text.reserve(static_cast<size_t>(status.st_size) + 65536);
    size_t filled = 0;
    for (;;) {
        if (text.size() - filled < 65536) text.resize(std::max(text.capacity(), filled + 65536));
        ssize_t n = ::read(fd.Get(), text.data() + filled, text.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CFileException(errno, path);
        }
        if (n == 0) break;
        filled += static_cast<size_t>(n);
    }
    text.resize(filled);
    return text;
}

std::string NormalizeLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

size_t ByteOffsetOfCharacter(std::string_view text, size_t characters) {
    size_t at = 0;
    for (; characters > 0 && at < text.size(); --characters) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
            at += 2;
            continue;
        }
        ++at;
        // The continuation bytes of a multi-byte character belong to its first byte.
        if (lead >= 0xC0)
            while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return at + characters;
}

namespace {

// The file a save really writes: a symbolic link is followed, so the link stays a link and the
// file it points to gets the text. A path that does not exist yet is written as given.
std::string SaveTarget(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

void SaveScriptFile(const std::string& path, std::string_view text) {
    const std::string target = SaveTarget(path);
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    std::string temporary = target + ".marlix-save";
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.Get() < 0) throw CFileException(errno, path);
    auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        throw CFileException(error, path);
    };
    // The replaced file keeps its permissions (and its owner, where we may set it).
    if (replacing) {
        if (::fchmod(fd.Get(), existing.st_mode & 07777) != 0) fail(errno);
        if (::fchown(fd.Get(), existing.st_uid, existing.st_gid) != 0) { /* not ours to give away */ }
    }
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd.Get(), data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.Get()) != 0 || ::close(fd.Release()) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0)
        fail(errno);
}

} // namespace marlix
