// The libFuzzer entry of one target, chosen when this file is compiled
// (KESTRUNE_FUZZ_CHECK names its check). A finding stops the run like a crash, so that
// libFuzzer keeps the input that made it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = kestrune::fuzz::KESTRUNE_FUZZ_CHECK(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "kestrune fuzz finding: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
