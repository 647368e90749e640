// q9_gen_cards <run folder> [file]: paints the show's title cards, frame bar
// and VU strip into <run folder>/data/. With a file name, only that one is
// made (handy while tuning a single picture).
#include "cards.hpp"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#ifndef Q9_DEJAVU_DIR
#define Q9_DEJAVU_DIR "/usr/share/fonts/truetype/dejavu"
#endif

int main(int argc, char** argv) {
    using namespace cards;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <run folder> [file]\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    std::filesystem::path data = std::filesystem::path(argv[1]) / "data";
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    if (ec) {
        std::fprintf(stderr, "q9_gen_cards: cannot create %s: %s\n", data.string().c_str(), ec.message().c_str());
        return 1;
    }
    Fonts fonts(Q9_DEJAVU_DIR);
    if (!fonts.ok()) return 1;

    enum class Kind { Jpg, Png, PngAlpha };
    struct Job {
        const char* name;
        Kind kind;
        std::function<Image()> paint;
    };
    const Job jobs[] = {
        {"loadingscreen.jpg", Kind::Jpg, [&] { return loadingScreen(fonts); }},
        {"credits.jpg", Kind::Jpg, [&] { return creditsCard(fonts); }},
        {"greets.jpg", Kind::Jpg, [&] { return greetsCard(fonts); }},
        {"history.png", Kind::Png, [&] { return historyCard(fonts); }},
        {"rushed.png", Kind::Png, [&] { return rushedCard(fonts); }},
        {"bottom.png", Kind::PngAlpha, [] { return bottomBar(); }},
        {"vubar.jpg", Kind::Jpg, [] { return vuBar(); }},
    };
    int made = 0;
    for (const Job& job : jobs) {
        if (argc > 2 && std::strcmp(argv[2], job.name) != 0) continue;
        Image img = job.paint();
        std::string path = (data / job.name).string();
        bool ok = job.kind == Kind::Jpg ? saveJpg(img, path, 90) : savePng(img, path, job.kind == Kind::PngAlpha);
        if (!ok) {
            std::fprintf(stderr, "q9_gen_cards: cannot write %s: %s\n", path.c_str(), SDL_GetError());
            return 1;
        }
        ++made;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("q9_gen_cards: %d pictures in %.0f ms\n", made, ms);
    return 0;
}
