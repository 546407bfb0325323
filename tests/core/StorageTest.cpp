#include "core/CellStorage.h"
#include "core/CustomMemoryException.h"

#include <gtest/gtest.h>

#include <string>

using namespace marlix;

TEST(StoragePage, ValueOfExactly131071BytesFitsAnEmptyPage) {
    StoragePage page;
    std::string value(131071, 'x');
    char* at = page.Append(value.data(), value.size());
    EXPECT_EQ(at, page.Base());
    EXPECT_EQ(page.Used(), 131071u);
}
