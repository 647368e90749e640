// The texture loader's picture path: decoding a whole file, then packing its texels.
#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = fuzzcheck::checkImage(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_image: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
