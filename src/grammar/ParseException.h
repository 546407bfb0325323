#pragma once
#include <exception>

namespace marlix {

// A grammar parse met a token that its rules do not accept. It carries nothing: the SELECT
// analysis catches it and treats the statement as not analysed, without a message.
class CParseException : public std::exception {
public:
    const char* what() const noexcept override { return "parse error"; }
};

} // namespace marlix
