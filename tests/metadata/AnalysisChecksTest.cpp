// Replays the fuzz seeds, and every input the fuzzer ever found, through the same checks.
#include "fuzz/AnalysisChecks.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace marlix {
namespace {

TEST(AnalysisChecks, FuzzSeedsHoldEveryProperty) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MARLIX_METADATA_SEEDS)) {
        EXPECT_EQ(fuzzcheck::CheckAnalysis(marlix::test::ReadFile(entry.path().string())), "")
            << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace marlix
