#pragma once
#include <cstdint>
#include <exception>
#include <string>

namespace marlix {

// Storage could not grow: address space could not be reserved or committed, a value is
// longer than a cell can hold, or a fixed-size text sink is full. The code tells the throw
// sites apart. Where the failure met a statement's values, the exception also carries the
// statement's script line and the column and row of the value being read.
class CCustomMemoryException : public std::exception {
public:
    enum Code : int {
        kReserve = 1,
        kCommit = 2,
        kPageFull = 3,
        kSinkFull = 4,
        kIndexGrowth = 5,
        kValueTooLong = 6,
        kExhausted = 7, // the heap refused (std::bad_alloc)
    };

    explicit CCustomMemoryException(int code) : code_(code) {}
    int Code() const noexcept { return code_; }
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

    // The value being read: its column's name and its row (from 1). Kept when already set.
    void SetValue(std::string column, int64_t row) {
        if (!column_.empty()) return;
        column_ = std::move(column);
        row_ = row;
    }
    // The statement: its first character's offset in the script and that character's line (from 1).
    void SetStatement(int position, int line) noexcept {
        position_ = position;
        line_ = line;
    }
    const std::string& Column() const noexcept { return column_; }
    int64_t Row() const noexcept { return row_; }
    int Position() const noexcept { return position_; }
    // The statement's line; the code where the statement is not known.
    int Line() const noexcept { return line_ > 0 ? line_ : code_; }
    bool HasStatement() const noexcept { return line_ > 0; }

private:
    int code_;
    std::string message_ = "Memory allocation error\r\n";
    std::string column_;
    int64_t row_ = 0;
    int position_ = -1;
    int line_ = 0;
};

} // namespace marlix
