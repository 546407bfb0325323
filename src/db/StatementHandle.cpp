#include "db/StatementHandle.h"

#include <utility>

namespace marlix {

StatementHandle::StatementHandle(StatementHandle&& other) noexcept
    : handle_(std::exchange(other.handle_, SQLHSTMT{})), code_(other.code_) {}

StatementHandle& StatementHandle::operator=(StatementHandle&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = std::exchange(other.handle_, SQLHSTMT{});
        code_ = other.code_;
    }
    return *this;
}

void StatementHandle::Allocate(SQLHDBC connection) {
    SQLHSTMT h = SQL_NULL_HSTMT;
    code_ = SQLAllocHandle(SQL_HANDLE_STMT, connection, &h);
    handle_ = (code_ == SQL_SUCCESS || code_ == SQL_SUCCESS_WITH_INFO) ? h : SQL_NULL_HSTMT;
}

SQLRETURN StatementHandle::Reallocate(SQLHDBC connection) {
    Release();
    Allocate(connection);
    return code_;
}

SQLRETURN StatementHandle::Reset(SQLHDBC connection) {
    if (handle_ != SQL_NULL_HSTMT && SQLFreeStmt(handle_, SQL_CLOSE) == SQL_SUCCESS &&
        SQLFreeStmt(handle_, SQL_UNBIND) == SQL_SUCCESS && SQLFreeStmt(handle_, SQL_RESET_PARAMS) == SQL_SUCCESS)
        return code_ = SQL_SUCCESS;
    return Reallocate(connection);
}

void StatementHandle::Release() noexcept {
    if (handle_ == SQL_NULL_HSTMT) return;
    SQLFreeStmt(handle_, SQL_CLOSE);
    SQLFreeHandle(SQL_HANDLE_STMT, handle_);
    handle_ = SQL_NULL_HSTMT;
}

} // namespace marlix
