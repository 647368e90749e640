// q9_gen_textures <output root>: writes the procedural and retro pictures into <root>/data/.
#include "pictures.hpp"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

struct Job {
    const char* file;
    q9tex::Image (*make)();
};

constexpr Job kJobs[] = {
    {"bumpmap.jpg", q9tex::makeBumpmap},
    {"doom.jpg", q9tex::makeDoom},
    {"blue.jpg", q9tex::makeBlue},
    {"c64_1.jpg", q9tex::makeRetroTitle},
    {"c64_2.jpg", q9tex::makeRetroBoot},
    {"c64_3.jpg", q9tex::makeRetroTape},
    {"c64_4.jpg", q9tex::makeRetroDirectory},
    {"c64_5.png", q9tex::makeRetroPicture},
    {"c64_6.jpg", q9tex::makeRetroPlayer},
    {"door.jpg", q9tex::makeDoor},
    {"star.jpg", q9tex::makeStar},
    {"ansigirl.jpg", q9tex::makeAnsiGirl},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output root>\n", argc > 0 ? argv[0] : "q9_gen_textures");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path dataDir = std::filesystem::path(argv[1]) / "data";
    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);
    if (ec) {
        std::fprintf(stderr, "q9_gen_textures: cannot create %s: %s\n", dataDir.c_str(), ec.message().c_str());
        return 1;
    }

    int failures = 0;
    for (const Job& job : kJobs) {
        const std::filesystem::path out = dataDir / job.file;
        if (!q9tex::savePicture(out.string(), job.make())) ++failures;
    }
    SDL_Quit();

    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("q9_gen_textures: %zu pictures in %.2f s%s\n", std::size(kJobs), secs,
                failures ? " (with failures)" : "");
    return failures ? 1 : 0;
}
