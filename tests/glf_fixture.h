// Tiny .glf fonts written by the tests themselves, and a scratch folder to
// run in (the text overlay reads "demofont.glf" from the working directory).
#pragma once
#include "gfx/glf_font.h"

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

struct GlfContents {
    int32_t staleName = 77; // the loader must ignore it
    int32_t textureWidth = 1;
    int32_t textureHeight = 1;
    int32_t firstChar = 65;
    int32_t lastChar = 65;
    std::vector<GlfGlyph> glyphs;   // lastChar - firstChar + 1 of them
    std::vector<uint8_t> texels;    // textureWidth x textureHeight x 2
};

inline void putWord(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> glfBytes(const GlfContents& contents)
{
    std::vector<uint8_t> out;
    putWord(out, static_cast<uint32_t>(contents.staleName));
    putWord(out, static_cast<uint32_t>(contents.textureWidth));
    putWord(out, static_cast<uint32_t>(contents.textureHeight));
    putWord(out, static_cast<uint32_t>(contents.firstChar));
    putWord(out, static_cast<uint32_t>(contents.lastChar));
    putWord(out, 0xDEADBEEF); // reserved
    for (const GlfGlyph& g : contents.glyphs)
        for (float f : {g.width, g.height, g.s0, g.t0, g.s1, g.t1})
            putWord(out, std::bit_cast<uint32_t>(f));
    out.insert(out.end(), contents.texels.begin(), contents.texels.end());
    return out;
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with its contents at the end of the scope.
struct ScratchDir {
    ScratchDir()
    {
        path = std::filesystem::temp_directory_path() / ("q9-glf-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::filesystem::path path;
};

// Runs the scope in another working directory.
struct WorkingDirectory {
    explicit WorkingDirectory(const std::filesystem::path& to) : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(to);
    }
    ~WorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
    std::filesystem::path previous;
};

// Every code from `first` to `last` gets glyph(code); the texture is one
// opaque white texel unless the caller fills `texels` itself.
template <class GlyphOf>
GlfContents fontForRange(int32_t first, int32_t last, GlyphOf glyph)
{
    GlfContents contents;
    contents.firstChar = first;
    contents.lastChar = last;
    for (int32_t c = first; c <= last; ++c)
        contents.glyphs.push_back(glyph(c));
    contents.texels = {255, 255};
    return contents;
}
