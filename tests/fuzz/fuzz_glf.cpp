// The .glf font reader (its GL-free half), on whole files.
#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = fuzzcheck::checkGlf(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_glf: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
