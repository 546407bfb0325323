// Replays the fuzz seeds, and every input the fuzzer ever found, through the same checks.
#include "fuzz/AnalysisChecks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace marlix {
namespace {

TEST(AnalysisChecks, FuzzSeedsHoldEveryProperty) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MARLIX_METADATA_SEEDS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        EXPECT_EQ(fuzzcheck::CheckAnalysis(content.str()), "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace marlix
