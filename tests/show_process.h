// Runs the show's executable as a child process, for end-to-end tests.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct ShowRun {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string err;  // what it printed on stderr
    std::string out;  // what it printed on stdout
};

// `args` is appended to the command line as written (shell words). The
// child runs in `workDir` (default: the run folder with the assets).
inline ShowRun runShowProcess(const std::string& args, const std::string& env = "",
                              const std::string& workDir = Q9_RUN_DIR)
{
    namespace fs = std::filesystem;
    static int counter = 0;
    const fs::path tmp = fs::temp_directory_path() / ("q9run_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    const std::string cmd = "cd '" + workDir + "' && env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " + env + " '" +
                            std::string(Q9_RUN_DIR) + "/quorblestration9' " + args + " >'" + tmp.string() +
                            ".out' 2>'" + tmp.string() + ".err' </dev/null";
    const int raw = std::system(cmd.c_str());
    ShowRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    auto slurp = [](const fs::path& p) {
        std::ifstream in(p);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    r.out = slurp(tmp.string() + ".out");
    r.err = slurp(tmp.string() + ".err");
    fs::remove(tmp.string() + ".out");
    fs::remove(tmp.string() + ".err");
    return r;
}
