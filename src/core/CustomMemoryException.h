#pragma once
#include <exception>
#include <string>

namespace marlix {

// Storage could not grow: address space could not be reserved or committed, a value is
// longer than a storage page, or a fixed-size text sink is full. The code tells the
// throw sites apart.
class CCustomMemoryException : public std::exception {
public:
    enum Code : int {
        kReserve = 1,
        kCommit = 2,
        kPageFull = 3,
        kSinkFull = 4,
        kIndexGrowth = 5,
    };

    explicit CCustomMemoryException(int code) : code_(code) {}
    int Code() const noexcept { return code_; }
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    int code_;
    std::string message_ = "Memory allocation error\r\n";
};

} // namespace marlix
