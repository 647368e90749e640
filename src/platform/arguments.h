// The process's command-line arguments as 8-bit text.
#pragma once
#include <string>
#include <vector>

namespace platform {
// Element 0 is the command name, as the shell gave it.
std::vector<std::string> processArguments(int argc, char** argv);
} // namespace platform
