// The .ebr mesh reader, on whole files.
#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = fuzzcheck::checkEbr(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_ebr: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
