// libFuzzer entry: any bytes as a script, through the tokenizer and the SELECT analysis.
#include "ScriptChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    const std::string failure = marlix::fuzzcheck::CheckScript(script);
    if (!failure.empty()) {
        std::fprintf(stderr, "script check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
