// Script files: line ends become CR LF wherever they fall, saving never leaves half a file.
#include "core/ScriptFile.h"
#include "core/FileException.h"
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

TEST(ScriptFile, LineEndsBecomeCrLfAcrossBlockBoundaries) {
    EXPECT_EQ(LoadScriptFile(Write("lf.sql", "select 1\nfrom t\n")), "select 1\r\nfrom t\r\n");
    EXPECT_EQ(LoadScriptFile(Write("cr.sql", "a\rb\r")), "a\r\nb\r\n");
    EXPECT_EQ(LoadScriptFile(Write("crlf.sql", "a\r\nb\r\n\r\n")), "a\r\nb\r\n\r\n");
    EXPECT_EQ(LoadScriptFile(Write("empty.sql", "")), "");

    // A CR LF pair split by the 4096-byte block boundary, a lone LF first in a block, and a
    // file of exactly one block.
    std::string split(4095, 'x');
    split += "\r\nnext";
    EXPECT_EQ(LoadScriptFile(Write("split.sql", split)), std::string(4095, 'x') + "\r\nnext");
    std::string lfFirst(4096, 'y');
    lfFirst += "\nz";
    EXPECT_EQ(LoadScriptFile(Write("lffirst.sql", lfFirst)), std::string(4096, 'y') + "\r\nz");
    std::string exact(4095, 'q');
    exact += '\n';
    EXPECT_EQ(LoadScriptFile(Write("exact.sql", exact)), std::string(4095, 'q') + "\r\n");
    EXPECT_EQ(NormalizeLineEnds("a\nb\rc\r\n"), "a\r\nb\r\nc\r\n");
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
