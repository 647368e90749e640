// The argument scan: NUL-separated arguments.
#include "app/options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> args;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(current);
    const ShowOptions o = scanArguments(args);
    // What the scan returns must be usable as it stands.
    if (o.error.empty() && o.offline() && o.fps < 1)
        __builtin_trap();
    (void)parseIntLikeAtoi(current.c_str());
    return 0;
}
