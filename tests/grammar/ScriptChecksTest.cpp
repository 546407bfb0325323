// Replays the fuzz seeds and every input the fuzzer ever found through the same checks.
#include "fuzz/ScriptChecks.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace marlix {
namespace {

TEST(ScriptChecks, FuzzSeedsHoldEveryProperty) {
    const std::filesystem::path seeds = std::filesystem::path(MARLIX_GRAMMAR_SEEDS);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
        EXPECT_EQ(fuzzcheck::CheckScript(marlix::test::ReadFile(entry.path().string())), "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace marlix
