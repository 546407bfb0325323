#include "core/DialectNames.h"

#include "core/CaseFold.h"

namespace marlix {
namespace {

constexpr const char* kDialectNames[kDialectCount] = {"MSSQL", "ORACLE",   "GENERIC",    "ACCESS",
                                                      "MYSQL", "FIREBIRD", "POSTGRESQL", "SQLITE"};
constexpr const char* kDialectDisplayNames[kDialectCount] = {
    "MS SQL", "Oracle", "Generic", "MS Access", "MySQL", "Interbase/Firebird", "PostgreSQL", "SQLite"};
constexpr const char* kStatementTypeNames[kStatementTypeCount] = {
    "SELECT", "INSERT", "INSERT_ARRAY", "UPDATE", "REPLACE", "DELETE", "LOAD", "UPSERT"};

int DialectIndex(Dialect dialect) noexcept {
    int code = static_cast<int>(dialect);
    return code >= 1 && code < kDialectCount ? code : 0;
}

} // namespace

Dialect DialectFromName(std::string_view name) noexcept {
    for (int code = 1; code < kDialectCount; ++code)
        if (EqualsFolded(name, kDialectNames[code])) return static_cast<Dialect>(code);
    return Dialect::MSSQL;
}

const char* DialectName(Dialect dialect) noexcept {
    return kDialectNames[DialectIndex(dialect)];
}

const char* DialectDisplayName(Dialect dialect) noexcept {
    return kDialectDisplayNames[DialectIndex(dialect)];
}

StatementType StatementTypeFromName(std::string_view name) noexcept {
    for (StatementType type : {StatementType::SELECT, StatementType::REPLACE, StatementType::INSERT_ARRAY,
                               StatementType::UPDATE, StatementType::DELETE, StatementType::LOAD,
                               StatementType::UPSERT})
        if (EqualsFolded(name, kStatementTypeNames[static_cast<int>(type)])) return type;
    return StatementType::INSERT;
}

const char* StatementTypeName(StatementType type) noexcept {
    int code = static_cast<int>(type);
    return kStatementTypeNames[code >= 1 && code < kStatementTypeCount ? code : 0];
}

} // namespace marlix
