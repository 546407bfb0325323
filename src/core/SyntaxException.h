#pragma once
// An error in the mark-up of a METADATA block, or a tree operation that would break the tree.
// It carries the character offset in the script of the offending token, so that the host can
// put its error marker on that line.
#include <cstdint>
#include <exception>
#include <string>

namespace marlix {

class CSyntaxException : public std::exception {
public:
    CSyntaxException(std::int32_t offset, std::string message)
        : offset_(offset), message_(std::move(message)) {}

    std::int32_t Offset() const noexcept { return offset_; }
    const std::string& Message() const noexcept { return message_; }
    const std::string& ErrorMessage() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::int32_t offset_;
    std::string message_;
};

} // namespace marlix
