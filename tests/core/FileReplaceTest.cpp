// An output file is replaced only by a whole export: until the sink is closed the previous file
// stays, and a failure (a full disk) or a discarded export leaves it as it was, with no
// temporary file behind. File errors say why in words.
#include "core/FileException.h"
#include "core/FileTextSink.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace marlix;
namespace fs = std::filesystem;

namespace {

std::string Fresh(const std::string& name, const std::string& content) {
    fs::path folder = test::TempPath("replace-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string path = (folder / "out.sql").string();
    std::ofstream(path) << content;
    return path;
}

// Only the file itself: no temporary file left beside it.
size_t FilesBeside(const std::string& path) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) ++n;
    return n;
}

} // namespace

TEST(FileReplace, TheNamedFileChangesOnlyWhenClosed) {
    const std::string path = Fresh("close", "old");
    ::chmod(path.c_str(), 0640);
    const std::string link = path + ".link";
    fs::create_symlink(path, link);
    {
        FileTextSink sink(link);
        sink.Write(std::string(100000, 'n'));
        EXPECT_TRUE(test::ReadFile(path) == "old") << "written beside, not over it";
        sink.Close();
    }
    EXPECT_EQ(test::ReadFile(path).size(), 100000u);
    EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FilesBeside(path), 2u);
}

TEST(FileReplace, DiscardLeavesThePreviousFile) {
    const std::string path = Fresh("discard", "old");
    FileTextSink sink(path);
    sink.Write(std::string(100000, 'n'));
    sink.Discard();
    sink.Close();
    EXPECT_TRUE(test::ReadFile(path) == "old");
    EXPECT_EQ(FilesBeside(path), 1u);
}

TEST(FileReplace, FullDiskLeavesThePreviousFileAndSaysWhyOnce) {
    const std::string path = Fresh("tmpfs", "");
    const std::string folder = fs::path(path).parent_path().string();
    fs::remove(path);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root)";
    std::ofstream(path) << "old";
    {
        FileTextSink sink(path);
        try {
            for (int i = 0; i < 100; ++i) sink.Write(std::string(40000, 'n'));
            sink.Close();
            ADD_FAILURE() << "200 KB fit into 64 KB";
        } catch (const CFileException& e) {
            EXPECT_EQ(std::string(e.what()),
                      "OS IO Error 28 when working with file " + path + ": No space left on device");
        }
        EXPECT_NO_THROW(sink.Close()) << "the failure is reported once";
    }
    EXPECT_TRUE(test::ReadFile(path) == "old") << "the part written replaced the file";
    EXPECT_EQ(FilesBeside(path), 1u);
    ::umount2(folder.c_str(), MNT_DETACH);
}

// A device is written as it is: it cannot be replaced by a file.
TEST(FileReplace, ADeviceIsWrittenInPlace) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    FileTextSink sink("/dev/full");
    sink.Write("x");
    try {
        sink.Close();
        ADD_FAILURE() << "/dev/full accepted the text";
    } catch (const CFileException& e) {
        EXPECT_EQ(std::string(e.what()), "OS IO Error 28 when working with file /dev/full: No space left on device");
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}
