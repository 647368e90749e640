// What every parser of outside input must guarantee for any bytes at all,
// shared by the libFuzzer targets and the regression tests that replay the
// corpora. Each check runs the parser the way the show does and returns
// what is wrong with the result, or an empty string. Crashes, leaks and
// out-of-bounds reads are the sanitizers' to find; these catch results the
// show could not use safely.
#pragma once
#include "app/options.h"
#include "gfx/ebr_reader.h"
#include "gfx/glf_font.h"
#include "gfx/texel_reorder.h"
#include "platform/image_decoder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzcheck {

inline std::string checkEbr(const uint8_t* data, size_t size)
{
    EbrMeshes parsed;
    if (!parseEbr(data, size, parsed))
        return parsed.meshCount == 0 && !parsed.meshes ? "" : "a refused file left meshes behind";
    if (parsed.meshCount < 0 || parsed.meshCount > ebrMaxMeshes || (parsed.meshCount > 0 && !parsed.meshes))
        return "mesh count " + std::to_string(parsed.meshCount) + " without its meshes";
    for (int32_t m = 0; m < parsed.meshCount; ++m) {
        const Mesh* mesh = parsed.meshes[static_cast<size_t>(m)].get();
        if (!mesh)
            return "mesh " + std::to_string(m) + " missing";
        if (mesh->vertexCount < 0 || mesh->triangleCount < 0)
            return "negative count in mesh " + std::to_string(m);
        // The scenes index the arrays with these; every one must be in range.
        for (size_t i = 0; i < 3 * static_cast<size_t>(mesh->triangleCount); ++i)
            if (mesh->indices[i] >= static_cast<uint32_t>(mesh->vertexCount))
                return "index out of range in mesh " + std::to_string(m);
        for (size_t i = 0; i < 3 * static_cast<size_t>(mesh->vertexCount); i += 3) {
            const float* n = &mesh->normals[i];
            for (int k = 0; k < 3; ++k)
                if (!std::isfinite(mesh->positions[i + k]) || !std::isfinite(n[k]))
                    return "non-finite position or normal in mesh " + std::to_string(m);
            const double length = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
            if (length != 0.0 && std::fabs(length - 1.0) > 1e-3)
                return "normal neither unit nor zero in mesh " + std::to_string(m);
        }
        // Texture coordinates are taken as they come; reading them must be safe.
        volatile float sink = 0;
        for (size_t i = 0; i < 2 * static_cast<size_t>(mesh->vertexCount); ++i)
            sink = sink + mesh->texCoords[i];
    }
    return "";
}

inline std::string checkGlf(const uint8_t* data, size_t size)
{
    GlfFont font;
    font.textureId = 7;
    const uint8_t* texels = nullptr;
    if (!parseGlf(data, size, font, texels))
        return font.glyphs.empty() && font.textureWidth == 0 && texels == nullptr ? ""
                                                                                   : "a refused file changed the font";
    if (font.textureId != 7)
        return "the texture name was touched";
    if (font.textureWidth < 1 || font.textureWidth > glfMaxTextureSide || font.textureHeight < 1 ||
        font.textureHeight > glfMaxTextureSide)
        return "texture size outside the caps";
    if (static_cast<int64_t>(font.lastChar) - font.firstChar + 1 != static_cast<int64_t>(font.glyphs.size()))
        return "glyph count does not match the character range";
    const size_t texelBytes = static_cast<size_t>(font.textureWidth) * font.textureHeight * 2;
    if (texels < data || texels > data + size || static_cast<size_t>(data + size - texels) < texelBytes)
        return "texels outside the file";
    // Touch every texel as the upload would.
    volatile unsigned sink = 0;
    for (size_t i = 0; i < texelBytes; ++i)
        sink = sink + texels[i];
    return "";
}

// The texture loader's path without GL: decode, then pack the texels.
inline std::string checkImage(const uint8_t* data, size_t size)
{
    const platform::DecodedImage image = platform::decodeImageFromMemory(data, size);
    if (!image.error.empty())
        return image.width == 0 && image.height == 0 && image.bitsPerPixel == 0 && !image.topRow
                   ? ""
                   : "a failed decode left a size or pixels";
    if (image.width <= 0 || image.height <= 0 || !image.topRow)
        return "a decoded picture without pixels";
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)
        return "bits per pixel " + std::to_string(image.bitsPerPixel);
    const int bytes = image.bitsPerPixel / 8;
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(image.width) * bytes;
    if (-image.pitch < rowBytes || image.pitch % 4 != 0)
        return "pitch " + std::to_string(image.pitch) + " for rows of " + std::to_string(rowBytes) + " bytes";
    std::vector<uint8_t> texels(static_cast<size_t>(rowBytes) * static_cast<size_t>(image.height));
    if (!reorderTexels(image.topRow, image.pitch, image.width, image.height, bytes, texels.data()))
        return "the texel reorder refused a decoded picture";
    return "";
}

// The argument scan: NUL-separated arguments, as the show's argv.
inline std::vector<std::string> splitArguments(const uint8_t* data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    return args;
}

inline std::string checkArgs(const uint8_t* data, size_t size)
{
    const std::vector<std::string> args = splitArguments(data, size);
    const ShowOptions o = scanArguments(args);
    // What the scan returns must be usable as it stands.
    if (o.error.empty()) {
        if (o.fps < 1 || o.fps > 1000)
            return "fps " + std::to_string(o.fps) + " accepted";
        if (o.startMs > 86000)
            return "start " + std::to_string(o.startMs) + " accepted";
    }
    for (const std::string& a : args)
        (void)parseIntLikeAtoi(a.c_str());
    return "";
}

} // namespace fuzzcheck
