// Script files: loaded with their own line ends, saving never leaves half a file.
#include "core/ScriptFile.h"
#include "core/FileException.h"
#include "core/LineEnds.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace marlix;

namespace {

std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = test::TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(ScriptFile, LoadKeepsEveryLineEnd) {
    std::string mixed(4095, 'x');
    mixed += "\r\nb\nc\rd\r\n";
    EXPECT_EQ(LoadScriptFile(Write("mixed.sql", mixed)), mixed);
    EXPECT_EQ(LoadScriptFile(Write("empty.sql", "")), "");
    EXPECT_EQ(NormalizeLineEnds("a\nb\rc\r\n"), "a\r\nb\r\nc\r\n");
}

TEST(LineEnds, NewLinesTakeTheKindMostLinesEndWith) {
    EXPECT_EQ(LineEnds::Of("one line").StyleText(), "\n");
    EXPECT_EQ(LineEnds::Of("a\nb\r\n").StyleText(), "\n"); // a tie: the first kind met
    LineEnds mixed = LineEnds::Of("a\r\nb\nc\r\nd\re");
    mixed.Replace(1, 1, 2); // the LF line split in two: the others keep their own ends
    std::string ends;
    for (std::size_t i = 0; i < 6; ++i) ends += mixed.At(i);
    EXPECT_EQ(ends, "\r\n\r\n\r\n\r\n\r\r\n");
}

TEST(ScriptFile, SaveWritesBytesUnchangedAndErrorsNameTheFile) {
    std::string path = test::TempPath("saved.sql");
    SaveScriptFile(path, "select 'x'\r\n\n");
    EXPECT_EQ(test::ReadFile(path), "select 'x'\r\n\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".marlix-save"));

    std::string missing = test::TempPath("no-such-folder/x.sql");
    try {
        LoadScriptFile(missing);
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.OsError(), ENOENT);
        EXPECT_EQ(e.FileName(), missing);
    }
    EXPECT_THROW(SaveScriptFile(missing, "x"), CFileException);
}

TEST(ScriptFile, SaveKeepsPermissionsAndWritesThroughLinks) {
    namespace fs = std::filesystem;
    std::string target = fs::absolute(Write("linked-target.sql", "old")).string();
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string link = test::TempPath("link-to-script.sql");
    fs::remove(link);
    fs::create_symlink(target, link);

    SaveScriptFile(link, "new text\r\n");

    EXPECT_TRUE(fs::is_symlink(link)) << "the link was replaced by a file";
    EXPECT_EQ(LoadScriptFile(target), "new text\r\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(fs::exists(target + ".marlix-save"));
}
