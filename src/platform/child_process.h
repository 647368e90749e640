// A child program fed through its standard input.
#pragma once
#include <string>
#include <vector>

namespace platform {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess(); // closes the pipe and waits, if still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `argv[0]` found on the PATH, with a pipe to its standard input.
    // False (and `error` set) when it cannot be started, e.g. not installed.
    bool start(const std::vector<std::string>& argv, std::string& error);
    // Blocks until all bytes are written; false once the child has gone.
    bool write(const void* data, size_t size);
    // Closes the pipe and waits; true when the child exited with status 0.
    bool finish();
    bool running() const { return pid > 0; }

private:
    int pid = -1;
    int pipeFd = -1;
};

// True when `program` is an executable file on the PATH.
bool programOnPath(const std::string& program);

} // namespace platform
