#pragma once
// Owner of one ODBC statement handle on a connection: the cursor is closed and the handle
// freed when the owner goes, whatever path it leaves by.
#include <sql.h>
#include <sqlext.h>

namespace marlix {

class StatementHandle {
public:
    StatementHandle() = default;
    // Allocates a statement handle on the connection; Code() tells how that went.
    explicit StatementHandle(SQLHDBC connection) { Allocate(connection); }
    ~StatementHandle() { Release(); }
    StatementHandle(StatementHandle&& other) noexcept;
    StatementHandle& operator=(StatementHandle&& other) noexcept;
    StatementHandle(const StatementHandle&) = delete;
    StatementHandle& operator=(const StatementHandle&) = delete;

    // Closes the cursor, frees the handle and allocates a new one; returns the allocation's code.
    SQLRETURN Reallocate(SQLHDBC connection);
    // Readies the handle for its next statement as a new one would be: the cursor and any pending
    // results closed, column and parameter bindings dropped. A handle the driver will not reset,
    // or none at all, is allocated anew. No statement attribute is set on these handles, so a
    // reset one behaves as a fresh one, without the allocation's cost in the driver manager.
    SQLRETURN Reset(SQLHDBC connection);
    // Closes the cursor and frees the handle; afterwards the handle is null.
    void Release() noexcept;

    SQLHSTMT Get() const noexcept { return handle_; }
    operator SQLHSTMT() const noexcept { return handle_; }
    SQLRETURN Code() const noexcept { return code_; }
    bool Valid() const noexcept { return handle_ != SQL_NULL_HSTMT; }

private:
    void Allocate(SQLHDBC connection);

    SQLHSTMT handle_ = SQL_NULL_HSTMT;
    SQLRETURN code_ = SQL_ERROR;
};

} // namespace marlix
