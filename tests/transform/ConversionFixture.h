#pragma once
// Result sets of the generator tests, fetched from SQLite, and their conversion to text.
#include "FetchedResult.h"
#include "core/MemoryTextSink.h"
#include "support/TestDatabases.h"
#include "transform/ScriptGenerator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace marlix::test {

inline std::string Converted(ResultSet& resultSet, StatementType type, const ConversionContext& context) {
    MemoryTextSink sink(1 << 20);
    ConvertResultSet(resultSet, type, context, sink);
    return sink.Str();
}
inline std::string Converted(ResultSet& resultSet, StatementType type, Dialect dialect) {
    return Converted(resultSet, type, DefaultContext(dialect));
}

inline std::string Padded(std::string_view text, size_t width) {
    std::string s(text.substr(0, width));
    s.resize(width, ' ');
    return s;
}

inline ConversionDescription Description(std::string destination, std::vector<std::string> keys,
                                         std::string source = "") {
    ConversionDescription d;
    d.destinationTable = std::move(destination);
    d.sourceTable = std::move(source);
    d.keyFields = std::move(keys);
    return d;
}

// A fresh SQLite database with the tables the generator tests read:
//   g: one row (1, 'it''s', 2004-06-27 10:20:30)
//   w: three rows with apostrophes, control characters, NULLs and a long text column
class SQLiteConversion : public ::testing::Test {
protected:
    static constexpr const char* kOneRow = "SELECT id, name, created FROM g";
    static constexpr const char* kWideTable = "SELECT id, name, note, qty FROM w ORDER BY id";

    void SetUp() override {
        MARLIX_CONNECTION_OR_SKIP(conn, Server::SQLite);
        session_ = std::make_unique<TestSession>(conn);
        for (const char* sql : {
                 "CREATE TABLE g (id integer primary key, name varchar(20), created timestamp)",
                 "INSERT INTO g VALUES (1, 'it''s', '2004-06-27 10:20:30')",
                 "CREATE TABLE w (id integer primary key, name varchar(10), note text, qty numeric(12,2))",
                 "INSERT INTO w VALUES (1, 'a''b''c', 'long', 1.5)",
                 "INSERT INTO w VALUES (2, 'x' || char(10) || char(9) || 'y', NULL, NULL)",
                 "INSERT INTO w VALUES (3, NULL, 'z', 100)",
             })
            session_->Exec(sql);
    }

    std::unique_ptr<ResultSet> Fetch(const char* query, ConversionDescription description) {
        return session_->Fetch(query, std::move(description));
    }

    std::unique_ptr<TestSession> session_;
};

} // namespace marlix::test
