// Replays the fuzz seeds and every input the fuzzer ever found through the same checks.
#include "fuzz/ScriptChecks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace marlix {
namespace {

TEST(ScriptChecks, FuzzSeedsHoldEveryProperty) {
    const std::filesystem::path seeds = std::filesystem::path(MARLIX_GRAMMAR_SEEDS);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        EXPECT_EQ(fuzzcheck::CheckScript(content.str()), "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace marlix
