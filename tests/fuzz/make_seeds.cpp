// Writes the small valid seed files of the fuzz corpora: meshes, fonts and
// pictures tiny enough that the fuzzers mutate their structure, not bulk.
// Not part of the build; rerun by hand after a format change:
//   c++ -std=c++20 tests/fuzz/make_seeds.cpp $(pkg-config --cflags --libs sdl2 SDL2_image) -o /tmp/make_seeds
//   /tmp/make_seeds tests/fuzz/corpus
// The output is the same on every run.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <bit>
#include <cstring>
#include <memory>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

struct Bytes {
    std::vector<uint8_t> v;
    void word(uint32_t w)
    {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<uint8_t>(w >> (8 * i)));
    }
    void i32(int32_t x) { word(static_cast<uint32_t>(x)); }
    void f32(float f) { word(std::bit_cast<uint32_t>(f)); }
};

bool save(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

struct Vertex {
    float x, y, z, u, v;
};

void mesh(Bytes& b, const std::string& name, const std::vector<Vertex>& vertices, const std::vector<int32_t>& indices)
{
    b.i32(static_cast<int32_t>(vertices.size()));
    b.i32(static_cast<int32_t>(indices.size() / 3));
    b.i32(static_cast<int32_t>(name.size()));
    b.v.insert(b.v.end(), name.begin(), name.end());
    for (const Vertex& p : vertices)
        for (float f : {p.x, p.y, p.z, p.u, p.v})
            b.f32(f);
    for (int32_t i : indices)
        b.i32(i);
}

bool writeMeshes(const fs::path& dir)
{
    const std::vector<Vertex> tetra = {{0, 1, 0, 0.5f, 0}, {-1, -1, 1, 0, 1}, {1, -1, 1, 1, 1}, {0, -1, -1, 0.5f, 1}};
    const std::vector<int32_t> tetraFaces = {0, 1, 2, 0, 2, 3, 0, 3, 1, 1, 3, 2};
    Bytes one;
    one.i32(1);
    mesh(one, "tetra", tetra, tetraFaces);

    // Two meshes, the second with a vertex no face uses and a nameless block.
    Bytes two;
    two.i32(2);
    mesh(two, "quad", {{-1, -1, 0, 0, 0}, {1, -1, 0, 1, 0}, {1, 1, 0, 1, 1}, {-1, 1, 0, 0, 1}}, {0, 1, 2, 0, 2, 3});
    mesh(two, "", {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}, {5, 5, 5, 0, 0}}, {0, 1, 2});

    Bytes none;
    none.i32(0);
    return save(dir / "tetra.ebr", one.v) && save(dir / "two_meshes.ebr", two.v) && save(dir / "no_meshes.ebr", none.v);
}

void font(Bytes& b, int32_t width, int32_t height, int32_t first, int32_t last)
{
    b.i32(12345); // stale texture name
    b.i32(width);
    b.i32(height);
    b.i32(first);
    b.i32(last);
    b.i32(0);
    const int32_t count = last - first + 1;
    for (int32_t i = 0; i < count; ++i) {
        const float s0 = static_cast<float>(i) / static_cast<float>(count);
        for (float f : {0.6f, 1.0f, s0, 0.0f, s0 + 1.0f / static_cast<float>(count), 1.0f})
            b.f32(f);
    }
    for (int32_t t = 0; t < width * height; ++t) {
        b.v.push_back(255);
        b.v.push_back(static_cast<uint8_t>((t * 37) & 0xFF));
    }
}

bool writeFonts(const fs::path& dir)
{
    Bytes abc;
    font(abc, 6, 2, 'A', 'C');
    Bytes single;
    font(single, 1, 1, ' ', ' ');
    // One texel byte short: the reader must refuse it without reading past the end.
    std::vector<uint8_t> cut(abc.v.begin(), abc.v.end() - 1);
    return save(dir / "abc.glf", abc.v) && save(dir / "space.glf", single.v) && save(dir / "abc-cut.glf", cut);
}

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

SurfacePtr pattern(int w, int h, Uint32 format)
{
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format), SDL_FreeSurface);
    if (!s)
        return s;
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < w; ++x) {
            const auto r = static_cast<uint8_t>(x * 255 / (w > 1 ? w - 1 : 1));
            const auto g = static_cast<uint8_t>(y * 255 / (h > 1 ? h - 1 : 1));
            const Uint32 pixel = SDL_MapRGBA(s->format, r, g, static_cast<uint8_t>(255 - r), static_cast<uint8_t>(128 + x * 16));
            std::memcpy(row + 4 * x, &pixel, 4);
        }
    }
    return s;
}

std::vector<uint8_t> load(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void putBigEndian(uint8_t* p, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - i)));
}

// The tiny pictures with headers that claim a huge size over a few bytes of
// data: the decoder must refuse them before allocating for them.
bool writeHugeHeaders(const fs::path& dir)
{
    std::vector<uint8_t> jpeg = load(dir / "tiny.jpg");
    size_t at = 2;
    while (at + 9 <= jpeg.size() && jpeg[at + 1] != 0xC0)
        at += 2 + (static_cast<size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    if (at + 9 > jpeg.size())
        return false;
    putBigEndian(&jpeg[at + 5], 30000, 2); // height
    putBigEndian(&jpeg[at + 7], 30000, 2); // width
    std::vector<uint8_t> png = load(dir / "rgb.png");
    if (png.size() < 24)
        return false;
    putBigEndian(&png[16], 100000, 4);
    putBigEndian(&png[20], 100000, 4);
    return save(dir / "huge-jpeg-header.jpg", jpeg) && save(dir / "huge-png-header.png", png);
}

bool writePictures(const fs::path& dir)
{
    SurfacePtr rgb = pattern(5, 3, SDL_PIXELFORMAT_RGB888);
    SurfacePtr rgba = pattern(3, 2, SDL_PIXELFORMAT_RGBA32);
    SurfacePtr jpeg = pattern(8, 8, SDL_PIXELFORMAT_RGB888);
    // A palette picture: the decoder widens it to 24 bits.
    SurfacePtr palette(SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 8, SDL_PIXELFORMAT_INDEX8), SDL_FreeSurface);
    if (!rgb || !rgba || !jpeg || !palette)
        return false;
    const SDL_Color colours[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    SDL_SetPaletteColors(palette->format->palette, colours, 0, 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            static_cast<uint8_t*>(palette->pixels)[y * palette->pitch + x] = static_cast<uint8_t>((x + y) % 3);
    if (IMG_SavePNG(rgb.get(), (dir / "rgb.png").c_str()) != 0 ||
        IMG_SavePNG(rgba.get(), (dir / "alpha.png").c_str()) != 0 ||
        IMG_SavePNG(palette.get(), (dir / "palette.png").c_str()) != 0 ||
        IMG_SaveJPG(jpeg.get(), (dir / "tiny.jpg").c_str(), 75) != 0)
        return false;
    return writeHugeHeaders(dir);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* sub : {"ebr", "glf", "image"})
        fs::create_directories(root / sub);
    if (!writeMeshes(root / "ebr") || !writeFonts(root / "glf") || !writePictures(root / "image")) {
        std::fprintf(stderr, "make_seeds: could not write the seeds: %s\n", SDL_GetError());
        return 1;
    }
    return 0;
}
