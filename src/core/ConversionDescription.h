#pragma once
// How the results of one statement are to be converted: the shared vocabulary of the
// generator, the METADATA blocks, statement execution and the result sets.
#include <string>
#include <vector>

namespace marlix {

// Target SQL dialect; the numbers are stored in scripts and settings.
enum class Dialect : int {
    MSSQL = 0,
    ORACLE = 1,
    GENERIC = 2,
    ACCESS = 3,
    MYSQL = 4,
    FIREBIRD = 5,
    POSTGRESQL = 6,
    SQLITE = 7
};
inline constexpr int kDialectCount = 8;

// Kind of text a conversion produces.
enum class StatementType : int {
    SELECT = 0,
    INSERT = 1,
    INSERT_ARRAY = 2,
    UPDATE = 3,
    REPLACE = 4,
    DELETE = 5,
    LOAD = 6,
    UPSERT = 7 // insert, or update the row with the same key fields
};
inline constexpr int kStatementTypeCount = 8;

// How values become literals: the OPTIONS element's Literals attribute, else (Inherit) the
// dialect's own setting. Standard is the historic form (line breaks as \n, other control
// characters as '?'); Exact makes the target store exactly the value fetched.
enum class LiteralStyle : int { Inherit = 0, Standard = 1, Exact = 2 };

struct ConversionDescription {
    std::string sourceTable;
    std::string destinationTable;
    StatementType type = StatementType::SELECT; // a statement without a block shows a text table
    std::vector<std::string> keyFields;
    std::vector<std::string> extraFields; // kept for the block format, not read by the reader
    int described = 0;                    // a RESULTSET element describes the statement
    int describedByBlock = 0;             // ... and it came from a block
    std::string file;
    int resultSetNumber = 0;
    int rowsPerStatement = 1; // RESULTSET Rows: rows an INSERT groups into one statement
    int commitEvery = 0;      // RESULTSET CommitEvery: a commit after every N statements, 0 for none
    LiteralStyle literals = LiteralStyle::Inherit; // Literals of the OPTIONS element in force
};

} // namespace marlix
