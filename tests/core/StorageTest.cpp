// Storage pages, cell storage and text sinks: the limits that decide when storage grows,
// starts a new page or refuses.
#include "core/CellStorage.h"
#include "core/CustomMemoryException.h"
#include "core/FileException.h"
#include "core/FileTextSink.h"
#include "core/MemoryTextSink.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace marlix;
using test::ReadFile;

TEST(StoragePage, HoldsAtMost131071BytesAndCommitsIn64KiBSteps) {
    StoragePage page;
    EXPECT_EQ(page.Committed(), 65536u);
    page.Reserve(65535);
    EXPECT_EQ(page.Committed(), 65536u) << "65,535 bytes fit the first commit";
    page.Reserve(1);
    EXPECT_EQ(page.Committed(), 131072u) << "reaching the committed size commits the next step";
    page.Reserve(131071 - 65536);
    EXPECT_EQ(page.Used(), 131071u);
    EXPECT_THROW(page.Reserve(1), CCustomMemoryException);

    StoragePage empty;
    std::string value(131071, 'x');
    EXPECT_EQ(empty.Append(value.data(), value.size()), empty.Base());
    EXPECT_EQ(std::string(empty.Base(), 131071), value);
}

TEST(CellStorage, ValuesNeverSpanPages) {
    CellStorage cells;
    std::string big(100000, 'a');
    cells.AppendCell(false, big.c_str(), big.size() + 1);
    cells.AppendCell(true, "NULL", 5);
    std::string second(50000, 'b');
    cells.AppendCell(false, second.c_str(), second.size() + 1); // does not fit the first page
    EXPECT_EQ(cells.PageCount(), 2u);
    EXPECT_EQ(cells.Cell(0).Text(), big);
    EXPECT_TRUE(cells.Cell(1).isNull);
    EXPECT_EQ(cells.Cell(1).Text(), "NULL");
    EXPECT_EQ(cells.Cell(2).Text(), second);
    EXPECT_FALSE(cells.Cell(2).isNull);

    std::string exact(131071, 'c');
    cells.AppendCell(false, exact.data(), exact.size());
    std::string pageSized(131072, 'd'); // more than a page holds: stored on its own
    cells.AppendCell(false, pageSized.data(), pageSized.size());
    EXPECT_EQ(cells.CellCount(), 5u);
    EXPECT_EQ(cells.StoredBytes(), big.size() + 1 + 5 + second.size() + 1 + exact.size() + pageSized.size());
    cells.AppendCell(true, "NULL", 5);
    EXPECT_TRUE(cells.Cell(5).isNull) << "the cell after a value stored on its own lines up with its flag";
    EXPECT_EQ(cells.Cell(5).length, 5u);
}

TEST(CellStorage, NullFlagsStayAlignedAcrossFlagPages) {
    CellStorage cells;
    const size_t count = CellStorage::kFlagsPerPage + 10;
    for (size_t i = 0; i < count; ++i)
        cells.AppendCell(i % 7 == 0, "v", 2);
    for (size_t i : {size_t{0}, size_t{1}, CellStorage::kFlagsPerPage - 1, CellStorage::kFlagsPerPage,
                     CellStorage::kFlagsPerPage + 1, count - 1})
        EXPECT_EQ(cells.IsNull(i), i % 7 == 0) << "cell " << i;
}

TEST(MemoryTextSink, GrowsInMegabyteStepsOnlyWhileGrowable) {
    MemoryTextSink sink(65536);
    std::string chunk(40000, 'x');
    sink.Write(chunk);
    EXPECT_THROW(sink.Write(chunk), CCustomMemoryException) << "a fixed sink refuses to overflow";
    EXPECT_EQ(sink.Length(), 40000u) << "the refused write adds nothing";

    sink.SetGrowable(true);
    sink.Write(chunk);
    EXPECT_EQ(sink.ReservedSize(), 65536u + 1048576u);
    std::string text = sink.Str();
    EXPECT_EQ(text, chunk + chunk);

    MemoryTextSink clipboard(MemoryTextSink::kClipboardSize);
    clipboard.SetGrowable(true);
    std::string line(1000, 'y');
    for (int i = 0; i < 3000; ++i)
        clipboard.Write(line);
    EXPECT_EQ(clipboard.Length(), 3000000u);
    EXPECT_EQ(clipboard.ReservedSize(), MemoryTextSink::kClipboardSize + MemoryTextSink::kGrowthStep);
    EXPECT_EQ(clipboard.View().substr(2999000), line);
}

TEST(TextSink, WritePaddedCutsOrFillsToExactlyTheWidth) {
    MemoryTextSink sink(65536);
    sink.WritePadded("abcdef", 4);
    sink.WritePadded("ab", 4);
    sink.WritePadded("", 0);
    EXPECT_EQ(sink.Str(), "abcdab  ");
}

TEST(FileTextSink, LeavesExactlyTheBytesItReceived) {
    std::string path = test::TempPath("sink10.txt");
    {
        FileTextSink sink(path);
        sink.Write("0123456789");
        EXPECT_EQ(sink.Length(), 10u);
    }
    EXPECT_EQ(ReadFile(path), "0123456789");

    // Mixed writes around the flush threshold and single writes larger than the buffer.
    std::string expected;
    {
        FileTextSink sink(path);
        for (int i = 0; i < 5000; ++i) {
            std::string piece = std::to_string(i) + "\r\n";
            sink.Write(piece);
            expected += piece;
            sink.WritePadded("pad", 7);
            expected += "pad    ";
            sink.WriteChar(static_cast<char>('a' + i % 26));
            expected += static_cast<char>('a' + i % 26);
            if (i % 1000 == 0) {
                std::string huge(70000 + i, static_cast<char>('A' + i % 26));
                sink.Write(huge);
                expected += huge;
                sink.WritePadded(huge, 66000);
                expected += huge.substr(0, 66000);
            }
        }
        EXPECT_EQ(sink.Length(), expected.size());
        sink.Close();
    }
    EXPECT_EQ(ReadFile(path), expected);
}

TEST(FileTextSink, ReportsTheOsErrorAndTheFile) {
    std::string path = test::TempPath("no-such-folder/out.sql");
    try {
        FileTextSink sink(path);
        FAIL() << "opening a file in a missing folder must fail";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.OsError(), ENOENT);
        EXPECT_EQ(e.FileName(), path);
        EXPECT_EQ(std::string(e.what()), "OS IO Error 2 when working with file " + path + ": No such file or directory");
    }
}

TEST(FileTextSink, FullDiskIsAnErrorNotASilentLoss) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    FileTextSink sink("/dev/full");
    std::string block(40000, 'z');
    EXPECT_THROW(sink.Write(block), CFileException) << "the flush past the threshold fails loudly";
}
