#pragma once
#include <exception>
#include <string>

namespace marlix {

// An operating-system file error: the error number and the file it concerns. The host
// reports it as "OS IO Error %i when working with file %s".
class CFileException : public std::exception {
public:
    CFileException(int osError, std::string fileName);
    int OsError() const noexcept { return osError_; }
    const std::string& FileName() const noexcept { return fileName_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    int osError_;
    std::string fileName_;
    std::string text_;
};

} // namespace marlix
