// libFuzzer entry: any bytes as a script, through the whole analysis and the block edits.
#include "AnalysisChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure =
        marlix::fuzzcheck::CheckAnalysis(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "analysis check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
