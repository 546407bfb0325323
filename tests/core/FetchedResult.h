#pragma once
// Result sets fetched from a real database for the value and generator tests.
#include "core/ConversionDescription.h"
#include "core/ResultSet.h"
#include "db/ODBCSession.h"

#include <memory>
#include <string>
#include <string_view>

namespace marlix::test {

// One connection of a test, in autocommit mode.
class TestSession {
public:
    // Throws CODBCException when the connection fails.
    explicit TestSession(const std::string& connectionString);

    SQLHDBC Connection() const noexcept { return session_.Connection(); }
    void Exec(std::string_view sql) const;
    // Runs the query and stores its whole first result, without row or size limits.
    std::unique_ptr<ResultSet> Fetch(std::string_view query, ConversionDescription description = {}) const;

private:
    CODBCSession session_;
};

} // namespace marlix::test
