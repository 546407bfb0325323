#include "core/ODBCException.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace marlix {
namespace {

struct DiagRecord {
    std::string state;
    SQLINTEGER nativeError = 0;
    std::string message;
    SQLSMALLINT textLength = 0;
    int rowNumber = 0;
};

// The program fetches one row at a time and binds no parameter arrays, so a diagnostic can
// name no row but the first: SQL_ROW_NUMBER_UNKNOWN, SQL_NO_ROW_NUMBER or 1 (rows count from
// 1). The SQLite driver leaves the field unset and the driver manager hands over whatever memory
// held, most often 0; anything else is reported as unknown instead of as a made-up row, so the
// same fault reads the same every time.
int PlausibleRowNumber(SQLLEN row) {
    return row >= SQL_ROW_NUMBER_UNKNOWN && row <= 1 && row != 0 ? static_cast<int>(row) : SQL_ROW_NUMBER_UNKNOWN;
}

// Reads every record of the handle. A message longer than the usual 255 characters is read
// again in full instead of being cut; the reported text length is kept as the driver gave it.
std::vector<DiagRecord> ReadDiagRecords(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<DiagRecord> records;
    if (!handle) return records;
    for (SQLSMALLINT number = 1;; ++number) {
        SQLCHAR state[256] = {};
        SQLCHAR text[256] = {};
        DiagRecord rec;
        SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, number, state, &rec.nativeError, text, 255, &rec.textLength);
        if (!Succeeded(rc)) break;
        rec.state = reinterpret_cast<const char*>(state);
        if (rec.textLength > 254) {
            std::vector<SQLCHAR> full(static_cast<size_t>(rec.textLength) + 1);
            SQLSMALLINT again = 0;
            if (Succeeded(SQLGetDiagRec(handleType, handle, number, state, &rec.nativeError, full.data(),
                                        static_cast<SQLSMALLINT>(full.size()), &again)))
                rec.message = reinterpret_cast<const char*>(full.data());
            else
                rec.message = reinterpret_cast<const char*>(text);
        } else {
            rec.message = reinterpret_cast<const char*>(text);
        }
        if (handleType == SQL_HANDLE_STMT) {
            SQLLEN row = 0;
            if (Succeeded(SQLGetDiagField(handleType, handle, number, SQL_DIAG_ROW_NUMBER, &row, 0, nullptr)))
                rec.rowNumber = PlausibleRowNumber(row);
        }
        records.push_back(std::move(rec));
    }
    return records;
}

void AppendBlock(std::string& out, const DiagRecord& r, const char* nativeLabel, const char* messageLabel) {
    out += "Sql State : ";
    out += r.state;
    out += "\r\n";
    out += nativeLabel;
    out += std::to_string(r.nativeError);
    out += "\r\n";
    out += messageLabel;
    out += r.message;
    out += "\r\n";
    out += std::to_string(r.textLength);
    out += "\r\n";
    out += "ODBC Row Number : ";
    out += std::to_string(r.rowNumber);
    out += "\r\n";
}

} // namespace

CODBCException::CODBCException(SQLSMALLINT handleType, SQLHANDLE handle, int position)
    : position_(position), handleType_(handleType), handle_(handle) {
    for (const DiagRecord& r : ReadDiagRecords(handleType, handle)) {
        AppendBlock(message_, r, "Native Error : ", "Error Message : ");
        rowNumber_ = r.rowNumber;
    }
}

bool CODBCException::GetErrorMessage(char* buffer, unsigned capacity, unsigned* helpContext) const {
    if (helpContext) *helpContext = 0;
    if (!buffer || capacity == 0) return false;
    size_t n = std::min<size_t>(message_.size(), capacity - 1);
    std::memcpy(buffer, message_.data(), n);
    buffer[n] = '\0';
    return true;
}

std::string StatementMessagesText(SQLHSTMT statement) {
    std::string text;
    for (const DiagRecord& r : ReadDiagRecords(SQL_HANDLE_STMT, statement))
        AppendBlock(text, r, "Native Message : ", "SQL Message : ");
    return text;
}

} // namespace marlix
