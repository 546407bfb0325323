#pragma once
// An ODBC call failed. The text carries every diagnostic record of the handle involved, each
// as a five-line block, so the user reads exactly what the driver said.
#include <sql.h>
#include <sqlext.h>

#include <exception>
#include <string>

namespace marlix {

class CODBCException : public std::exception {
public:
    // Reads the diagnostics of the handle now, before any further call can clear them.
    CODBCException(SQLSMALLINT handleType, SQLHANDLE handle, int position);

    int Position() const noexcept { return position_; }
    void SetPosition(int position) noexcept { position_ = position; }
    int RowNumber() const noexcept { return rowNumber_; }
    const std::string& Message() const noexcept { return message_; }
    SQLSMALLINT HandleType() const noexcept { return handleType_; }
    SQLHANDLE Handle() const noexcept { return handle_; }

    // Copies at most `capacity` characters of the message, NUL included.
    bool GetErrorMessage(char* buffer, unsigned capacity, unsigned* helpContext = nullptr) const;
    const char* what() const noexcept override { return message_.c_str(); }

private:
    int position_;
    int rowNumber_ = 0;
    std::string message_;
    SQLSMALLINT handleType_;
    SQLHANDLE handle_;
};

// The diagnostic records of a statement in the informational layout (server messages,
// warnings of a successful call); empty when there are none.
std::string StatementMessagesText(SQLHSTMT statement);

inline bool Succeeded(SQLRETURN rc) noexcept {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

} // namespace marlix
