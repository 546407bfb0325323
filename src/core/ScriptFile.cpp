#include "core/ScriptFile.h"

#include "core/FileException.h"
#include "core/FileTextSink.h"

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

void SaveScriptFile(const std::string& path, std::string_view text) {
    // The sink writes beside the file and puts it in place only once the whole text is on disk.
    FileTextSink sink(path);
    sink.WriteBytes(text.data(), text.size());
    sink.Close();
}

} // namespace marlix
