// The profile: every read has a default, names with blanks and brackets survive the INI file.
#include "core/ProfileStore.h"
#include "core/qt/IniProfileStore.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace marlix;

TEST(ProfileStore, MissingValuesReadAsTheirDefaults) {
    MemoryProfileStore memory;
    EXPECT_EQ(memory.GetInt("Execution Settings", "DatasetSizeLimit (MB)", 1), 1);
    EXPECT_EQ(memory.GetString("Settings", "MSSQL Date", "yyyy-mm-dd"), "yyyy-mm-dd");
    memory.WriteString("Execution Settings", "DatasetRowLimit", "many");
    EXPECT_EQ(memory.GetInt("Execution Settings", "DatasetRowLimit", 7), 7)
        << "a non-number reads as the default";
    memory.WriteInt("Execution Settings", "DatasetRowLimit", 500);
    EXPECT_EQ(memory.GetInt("Execution Settings", "DatasetRowLimit", 0), 500);
    EXPECT_EQ(memory.GetInt("Settings", "DatasetRowLimit", 0), 0) << "sections are separate";
}

TEST(IniProfileStore, KeepsSectionAndValueNamesAcrossInstances) {
    std::string path = test::TempPath("profile.ini");
    std::filesystem::remove(path);
    {
        IniProfileStore store(path);
        EXPECT_EQ(store.GetInt("Execution Settings", "DatasetSizeLimit (MB)", 1), 1);
        store.WriteInt("Execution Settings", "DatasetSizeLimit (MB)", 25);
        store.WriteInt("Execution Settings", "Autocommit3", 1);
        store.WriteString("Login Settings", "ServersList0LastValue", "db1;db2;");
        store.Sync();
    }
    IniProfileStore again(path);
    EXPECT_EQ(again.GetInt("Execution Settings", "DatasetSizeLimit (MB)", 1), 25);
    EXPECT_EQ(again.GetInt("Execution Settings", "Autocommit3", 0), 1);
    EXPECT_EQ(again.GetString("Login Settings", "ServersList0LastValue", ""), "db1;db2;");
    EXPECT_EQ(again.GetInt("Execution Settings", "DatasetRowLimit", 0), 0);
}
