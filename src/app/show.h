#pragma once
#include <string>
#include <vector>

// The whole life of the process: options, window, loading, music, show,
// teardown. Returns the exit status.
int runShow(const std::vector<std::string>& args);
