// A connection type names its own driver, or another of the same server that the driver
// manager has (Debian registers MariaDB's as "MariaDB Unicode").
#include "db/ConnectionString.h"

#include <gtest/gtest.h>

using namespace marlix;
using T = ConnectionType;

TEST(DriverChoice, TheTypesOwnElseOneOfTheSameServerUnicodeFirst) {
    const std::vector<std::string> debian = {"PostgreSQL ANSI", "PostgreSQL Unicode", "MariaDB Unicode", "SQLite",
                                             "SQLite3"};
    const struct {
        T type;
        std::vector<std::string> installed;
        std::string chosen;
    } cases[] = {
        {T::MySQL, debian, "MariaDB Unicode"},
        {T::MySQL, {"MariaDB Unicode", "MySQL ODBC 3.51 Driver"}, "MySQL ODBC 3.51 Driver"},
        {T::MySQL, {"mysql odbc 8.0 ansi driver", "MySQL ODBC 8.0 Unicode Driver"}, "MySQL ODBC 8.0 Unicode Driver"},
        {T::PostgreSQL, debian, "PostgreSQL Unicode"},
        {T::PostgreSQL, {"PostgreSQL ANSI"}, "PostgreSQL ANSI"},
        {T::SQLiteFile, {"SQLite"}, "SQLite"},
        {T::SQLiteFile, debian, "SQLite3"},
        {T::MySQL, {"PostgreSQL Unicode"}, "MySQL ODBC 3.51 Driver"}, // none: the connect says so
        {T::MicrosoftSQL, debian, "SQL Server"},
        {T::DataSourceName, debian, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDriver(c.type, c.installed), c.chosen) << static_cast<int>(c.type);

    ConnectionChoice choice;
    choice.type = T::MySQL;
    choice.server = "db1";
    choice.driver = "MariaDB Unicode";
    EXPECT_EQ(BuildConnection(choice).connectionString.rfind("DRIVER={MariaDB Unicode};SERVER=db1;", 0), 0u);
}
