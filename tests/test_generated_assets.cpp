// The pictures, meshes and font the build generated into the run folder, read
// back with the show's own loaders, and a second generation compared byte for
// byte with the first.
#include "gfx/glf_font.h"
#include "gfx/model.h"
#include "gl_test_support.h"
#include "platform/image_decoder.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string textOfBoxes(const std::vector<std::string>& boxes)
{
    std::string all;
    for (const std::string& b : boxes)
        all += b + "\n";
    return all;
}

// Collects message boxes, so a damaged asset fails with its reason.
struct BoxRecorder {
    BoxRecorder()
    {
        platform::setMessageBoxObserver([this](const std::string& c, const std::string& t) { boxes.push_back(c + ": " + t); });
    }
    ~BoxRecorder() { platform::setMessageBoxObserver(nullptr); }
    std::vector<std::string> boxes;
};

// ---------------------------------------------------------------- pictures

struct PictureCase {
    const char* path;
    int width, height, bitsPerPixel;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.path; }

// Every picture the show loads. 24 bits for pictures drawn opaque; the bar is
// the one picture that blends through its alpha.
const PictureCase pictureCases[] = {
    {"data/loadingscreen.jpg", 1024, 768, 24}, {"data/bumpmap.jpg", 512, 512, 24},
    {"data/doom.jpg", 512, 512, 24},           {"data/blue.jpg", 512, 512, 24},
    {"data/c64_1.jpg", 1280, 800, 24},         {"data/c64_2.jpg", 1280, 800, 24},
    {"data/c64_3.jpg", 1280, 800, 24},         {"data/c64_4.jpg", 1280, 800, 24},
    {"data/c64_5.png", 1280, 800, 24},         {"data/c64_6.jpg", 1280, 800, 24},
    {"data/door.jpg", 512, 512, 24},           {"data/star.jpg", 64, 64, 24},
    {"data/greets.jpg", 1024, 768, 24},        {"data/history.png", 1024, 768, 24},
    {"data/credits.jpg", 1024, 768, 24},       {"data/bottom.png", 1024, 128, 32},
    {"data/vubar.jpg", 256, 32, 24},           {"data/ansigirl.jpg", 640, 400, 24},
    {"data/rushed.png", 1024, 768, 24},
};

// Pixel (x, y) of a decoded picture, y = 0 at the top: blue, green, red(, alpha).
const uint8_t* pixelAt(const platform::DecodedImage& img, int x, int y)
{
    return img.topRow + static_cast<std::ptrdiff_t>(y) * img.pitch + static_cast<std::ptrdiff_t>(x) * (img.bitsPerPixel / 8);
}

int luminance(const uint8_t* bgr) { return (bgr[0] * 29 + bgr[1] * 150 + bgr[2] * 77) >> 8; }

class GeneratedAssetsPicture : public testing::TestWithParam<PictureCase> {};

TEST_P(GeneratedAssetsPicture, SizeChannelsAndContent)
{
    const PictureCase& c = GetParam();
    const platform::DecodedImage img = platform::decodeImage(c.path);
    ASSERT_TRUE(img.error.empty()) << img.error;
    EXPECT_EQ(img.width, c.width);
    EXPECT_EQ(img.height, c.height);
    ASSERT_EQ(img.bitsPerPixel, c.bitsPerPixel);
    ASSERT_NE(img.topRow, nullptr);

    // Not blank: a flat picture is a failed paint, not an asset.
    int lo = 255, hi = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const int l = luminance(pixelAt(img, x, y));
            lo = std::min(lo, l);
            hi = std::max(hi, l);
        }
    EXPECT_GE(hi - lo, 64) << "luminance only spans " << lo << " to " << hi;
}

INSTANTIATE_TEST_SUITE_P(, GeneratedAssetsPicture, testing::ValuesIn(pictureCases),
                         [](const testing::TestParamInfo<PictureCase>& info) {
                             const fs::path p(info.param.path);
                             return p.stem().string() + "_" + p.extension().string().substr(1);
                         });

// The bar is drawn upright at the bottom and mirrored at the top, so its
// chrome edge must be its top rows; and it must not blend away to nothing.
TEST(GeneratedAssetsPictureBar, VisibleWithTheBrightEdgeOnTop)
{
    const platform::DecodedImage img = platform::decodeImage("data/bottom.png");
    ASSERT_EQ(img.bitsPerPixel, 32) << img.error;
    ASSERT_EQ(img.height, 128);
    auto rowsMean = [&](int y0, int y1, bool alpha) {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < img.width; ++x)
                sum += alpha ? pixelAt(img, x, y)[3] : luminance(pixelAt(img, x, y));
        return sum / (static_cast<double>(y1 - y0) * img.width);
    };
    EXPECT_GE(rowsMean(0, img.height, true), 128.0) << "mean alpha";
    EXPECT_GT(rowsMean(0, 8, false), 2.0 * rowsMean(56, 72, false)) << "edge rows against the band's middle";
}

// The retro screens are 320 x 200 blown up 4 times without smoothing: the
// lossless one must be made of flat 4 x 4 blocks.
TEST(GeneratedAssetsPictureRetro, LosslessScreenIsFourTimesBlocky)
{
    const platform::DecodedImage img = platform::decodeImage("data/c64_5.png");
    ASSERT_EQ(img.width, 1280) << img.error;
    ASSERT_EQ(img.height, 800);
    const int bytes = img.bitsPerPixel / 8;
    int blurred = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            blurred += !std::equal(pixelAt(img, x, y), pixelAt(img, x, y) + bytes, pixelAt(img, x & ~3, y & ~3));
    EXPECT_EQ(blurred, 0) << "pixels that differ from their 4 x 4 block";
}

// ---------------------------------------------------------------- meshes

struct MeshCase {
    const char* path;
    int minVertices, maxVertices; // over all meshes of the file
    float minExtent, maxExtent;   // widest side of the bounding box, scene units
};

void PrintTo(const MeshCase& c, std::ostream* os) { *os << c.path; }

// Sized for the scenes' cameras: a mesh far off these sizes fills the view
// wrongly, and vertex counts far off them are too coarse or too slow.
const MeshCase meshCases[] = {
    {"data/spikeball.ebr", 2000, 6000, 150.0f, 190.0f}, // core about 50, spikes to about 85
    {"data/slimy.ebr", 4000, 6000, 120.0f, 180.0f},     // about 150 across
    {"data/rarkube.ebr", 2400, 3600, 50.0f, 70.0f},     // half-size about 30
    {"data/hisphere.ebr", 8000, 20000, 100.0f, 120.0f}, // radius about 55
};

class GeneratedAssetsMesh : public testing::TestWithParam<MeshCase> {};

TEST_P(GeneratedAssetsMesh, LoadsWhole)
{
    const MeshCase& c = GetParam();
    BoxRecorder rec;
    Model model(c.path);
    EXPECT_TRUE(rec.boxes.empty()) << textOfBoxes(rec.boxes);
    ASSERT_GE(model.meshCount, 1);

    int vertices = 0;
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (int32_t m = 0; m < model.meshCount; ++m) {
        SCOPED_TRACE("mesh " + std::to_string(m));
        const Mesh& mesh = *model.meshes[static_cast<size_t>(m)];
        ASSERT_GT(mesh.triangleCount, 0);
        vertices += mesh.vertexCount;

        int badPosition = 0, atOrigin = 0, badNormal = 0, badUv = 0;
        float uvLo[2] = {INFINITY, INFINITY}, uvHi[2] = {-INFINITY, -INFINITY};
        for (int32_t v = 0; v < mesh.vertexCount; ++v) {
            const float* p = &mesh.positions[3 * static_cast<size_t>(v)];
            const float* n = &mesh.normals[3 * static_cast<size_t>(v)];
            const float* t = &mesh.texCoords[2 * static_cast<size_t>(v)];
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
                ++badPosition;
                continue;
            }
            // Scenes divide by the distance from the centre; keep well clear of it.
            atOrigin += std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]) < 1.0f;
            // A vertex no triangle uses, or only degenerate ones, gets no unit
            // normal and samples the sphere map at a fixed spot.
            const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            badNormal += !(std::fabs(len - 1.0f) < 1e-3f);
            badUv += !std::isfinite(t[0]) || !std::isfinite(t[1]);
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
            }
            for (int k = 0; k < 2; ++k) {
                uvLo[k] = std::min(uvLo[k], t[k]);
                uvHi[k] = std::max(uvHi[k], t[k]);
            }
        }
        EXPECT_EQ(badPosition, 0) << "positions that are not finite";
        EXPECT_EQ(atOrigin, 0) << "vertices within 1 unit of the origin";
        EXPECT_EQ(badNormal, 0) << "vertices without a unit normal";
        EXPECT_EQ(badUv, 0) << "texture coordinates that are not finite";
        // Texture coordinates set, not left at one value.
        EXPECT_GE(uvHi[0] - uvLo[0], 0.5f);
        EXPECT_GE(uvHi[1] - uvLo[1], 0.5f);

        const size_t indexCount = 3 * static_cast<size_t>(mesh.triangleCount);
        const auto outOfRange = std::count_if(mesh.indices.get(), mesh.indices.get() + indexCount,
                                              [&](uint32_t i) { return i >= static_cast<uint32_t>(mesh.vertexCount); });
        ASSERT_EQ(outOfRange, 0) << "indices outside the mesh";

        // Outward counter-clockwise winding gives a positive enclosed volume;
        // an inside-out mesh is culled away to its back faces.
        double volume = 0.0;
        // Two triangles that walk a shared edge the same way disagree on
        // their facing: one of them is culled and shows as a hole.
        std::map<std::pair<uint32_t, uint32_t>, int> directedEdges;
        for (size_t t = 0; t < indexCount; t += 3) {
            const uint32_t i[3] = {mesh.indices[t], mesh.indices[t + 1], mesh.indices[t + 2]};
            const float* a = &mesh.positions[3 * static_cast<size_t>(i[0])];
            const float* b = &mesh.positions[3 * static_cast<size_t>(i[1])];
            const float* d = &mesh.positions[3 * static_cast<size_t>(i[2])];
            volume += (double(a[0]) * (double(b[1]) * d[2] - double(b[2]) * d[1]) +
                       double(a[1]) * (double(b[2]) * d[0] - double(b[0]) * d[2]) +
                       double(a[2]) * (double(b[0]) * d[1] - double(b[1]) * d[0])) /
                      6.0;
            for (int k = 0; k < 3; ++k)
                ++directedEdges[{i[k], i[(k + 1) % 3]}];
        }
        EXPECT_GT(volume, 0.0) << "inside-out winding";
        const auto twice = std::count_if(directedEdges.begin(), directedEdges.end(),
                                         [](const auto& e) { return e.second > 1; });
        EXPECT_EQ(twice, 0) << "edges whose two triangles wind against each other";
    }
    EXPECT_GE(vertices, c.minVertices);
    EXPECT_LE(vertices, c.maxVertices);
    const float extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    EXPECT_GE(extent, c.minExtent);
    EXPECT_LE(extent, c.maxExtent);
}

INSTANTIATE_TEST_SUITE_P(, GeneratedAssetsMesh, testing::ValuesIn(meshCases),
                         [](const testing::TestParamInfo<MeshCase>& info) {
                             std::string name = fs::path(info.param.path).stem().string();
                             return name;
                         });

// Spikes are the outer tips: groups of connected vertices far out from the
// core. Counting groups, not vertices, lets a tip be one vertex or a cap.
TEST(GeneratedAssetsSpikeball, HasThirtyToSixtySpikes)
{
    BoxRecorder rec;
    Model model("data/spikeball.ebr");
    ASSERT_EQ(model.meshCount, 1) << textOfBoxes(rec.boxes);
    const Mesh& mesh = *model.meshes[0];
    const size_t n = static_cast<size_t>(mesh.vertexCount);
    std::vector<float> radius(n);
    for (size_t v = 0; v < n; ++v) {
        const float* p = &mesh.positions[3 * v];
        radius[v] = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    }
    const auto [rMin, rMax] = std::minmax_element(radius.begin(), radius.end());
    EXPECT_NEAR(*rMin, 50.0f, 10.0f) << "core radius";
    EXPECT_NEAR(*rMax, 85.0f, 10.0f) << "spike length";
    const float tipRadius = *rMin + 0.9f * (*rMax - *rMin);

    // Union-find over the edges whose both ends are tips.
    std::vector<size_t> parent(n);
    for (size_t v = 0; v < n; ++v)
        parent[v] = v;
    auto root = [&](size_t v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    for (size_t t = 0; t < 3 * static_cast<size_t>(mesh.triangleCount); t += 3)
        for (int k = 0; k < 3; ++k) {
            const size_t a = mesh.indices[t + k], b = mesh.indices[t + (k + 1) % 3];
            if (radius[a] >= tipRadius && radius[b] >= tipRadius)
                parent[root(a)] = root(b);
        }
    int spikes = 0;
    for (size_t v = 0; v < n; ++v)
        spikes += radius[v] >= tipRadius && root(v) == v;
    EXPECT_GE(spikes, 30);
    EXPECT_LE(spikes, 60);
}

// ---------------------------------------------------------------- font

// The loading screen's font, loaded the way the overlay loads it, with its
// atlas read back from GL.
struct LoadedFont {
    bool load()
    {
        if (!window.isReady())
            return false;
        glGenTextures(1, &texture);
        if (loadGlfFont(&font, "demofont.glf", static_cast<int>(texture)) != 1)
            return false;
        alpha.assign(static_cast<size_t>(font.textureWidth) * font.textureHeight, 0);
        std::vector<uint8_t> texels(2 * alpha.size());
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, texels.data());
        for (size_t i = 0; i < alpha.size(); ++i)
            alpha[i] = texels[2 * i + 1];
        return glGetError() == GL_NO_ERROR;
    }
    const GlfGlyph& glyph(int code) const { return font.glyphs[static_cast<size_t>(code - font.firstChar)]; }
    // Alpha of the atlas texel at column x, row y (row 0 is t = 0).
    int alphaAt(int x, int y) const { return alpha[static_cast<size_t>(y) * font.textureWidth + x]; }

    GlTestWindow window;
    GLuint texture = 0;
    GlfFont font;
    std::vector<uint8_t> alpha;
};

// Texel rectangle of a glyph, left/top inclusive, right/bottom exclusive.
struct TexelRect {
    float x0, y0, x1, y1;
};

TexelRect texelRect(const GlfFont& font, const GlfGlyph& g)
{
    return {std::min(g.s0, g.s1) * font.textureWidth, std::min(g.t0, g.t1) * font.textureHeight,
            std::max(g.s0, g.s1) * font.textureWidth, std::max(g.t0, g.t1) * font.textureHeight};
}

// The codes the loading screen writes: printable ASCII and the "ae" of its
// overflow message.
std::vector<int> shownCodes()
{
    std::vector<int> codes;
    for (int c = 32; c <= 126; ++c)
        codes.push_back(c);
    codes.push_back(0xE6);
    return codes;
}

TEST(GeneratedAssetsFont, CoversTheShownCodesWithInkedUnstretchedGlyphs)
{
    LoadedFont f;
    ASSERT_TRUE(f.load());
    const GlfFont& font = f.font;
    EXPECT_LE(font.textureWidth, 512);
    EXPECT_LE(font.textureHeight, 512);
    ASSERT_LE(font.firstChar, 32);
    ASSERT_GE(font.lastChar, 0xE6);

    for (int code : shownCodes()) {
        SCOPED_TRACE("code " + std::to_string(code));
        const GlfGlyph& g = f.glyph(code);
        // A full-height cell is one text unit, so scale 1.5 gives 27-unit lines.
        EXPECT_NEAR(g.height, 1.0f, 1e-4f);
        EXPECT_GT(g.width, 0.1f);
        EXPECT_LT(g.width, 1.5f);
        const TexelRect r = texelRect(font, g);
        ASSERT_GT(r.x1 - r.x0, 0.5f) << "no texels";
        ASSERT_GT(r.y1 - r.y0, 0.5f) << "no texels";
        // The quad's shape matches its texels, so letters are not squeezed.
        EXPECT_NEAR(g.width / g.height * (r.y1 - r.y0), r.x1 - r.x0, 1.0f);
        if (code == ' ')
            continue;
        int ink = 0;
        for (int y = static_cast<int>(r.y0); y < static_cast<int>(std::ceil(r.y1)); ++y)
            for (int x = static_cast<int>(r.x0); x < static_cast<int>(std::ceil(r.x1)); ++x)
                ink += f.alphaAt(x, y) >= 128;
        EXPECT_GE(ink, 4) << "glyph draws (almost) nothing";
    }
}

TEST(GeneratedAssetsFont, GlyphsFitTheAtlasApartFromEachOther)
{
    LoadedFont f;
    ASSERT_TRUE(f.load());
    const GlfFont& font = f.font;
    std::vector<std::pair<int, TexelRect>> used;
    for (int code = font.firstChar; code <= font.lastChar; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const GlfGlyph& g = f.glyph(code);
        for (float v : {g.s0, g.t0, g.s1, g.t1}) {
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, 1.0f);
        }
        const TexelRect r = texelRect(font, g);
        if (r.x1 - r.x0 > 0.0f && r.y1 - r.y0 > 0.0f)
            used.emplace_back(code, r);
    }
    // Linear filtering reads one texel past the edge: glyphs closer than two
    // texels bleed into each other. (Codes without a glyph may share one.)
    int touching = 0;
    for (size_t i = 0; i < used.size(); ++i)
        for (size_t j = i + 1; j < used.size(); ++j) {
            const TexelRect& a = used[i].second;
            const TexelRect& b = used[j].second;
            const bool same = a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
            if (!same && a.x0 < b.x1 + 2 && b.x0 < a.x1 + 2 && a.y0 < b.y1 + 2 && b.y0 < a.y1 + 2) {
                ++touching;
                ADD_FAILURE() << "codes " << used[i].first << " and " << used[j].first << " are closer than 2 texels";
            }
            if (touching > 10)
                return;
        }
}

// t0 is the quad's top edge: ink of an apostrophe sits near t0, of an
// underscore near t1. Caught this way, an upside-down atlas fails here.
TEST(GeneratedAssetsFont, GlyphsAreUpright)
{
    LoadedFont f;
    ASSERT_TRUE(f.load());
    auto inkCentre = [&](int code) {
        const GlfGlyph& g = f.glyph(code);
        const TexelRect r = texelRect(f.font, g);
        double sum = 0.0, weight = 0.0;
        for (int y = static_cast<int>(r.y0); y < static_cast<int>(std::ceil(r.y1)); ++y)
            for (int x = static_cast<int>(r.x0); x < static_cast<int>(std::ceil(r.x1)); ++x) {
                sum += f.alphaAt(x, y) * (y + 0.5);
                weight += f.alphaAt(x, y);
            }
        // 0 at the quad's top edge, 1 at its bottom edge.
        // No ink at all fails every comparison below.
        const double t = weight > 0 ? sum / weight / f.font.textureHeight : std::nan("");
        return (t - g.t0) / (g.t1 - g.t0);
    };
    EXPECT_LT(inkCentre('\''), 0.45);
    EXPECT_GT(inkCentre('_'), 0.6);
    EXPECT_GT(inkCentre('.'), 0.5);
}

// ---------------------------------------------------------------- determinism

#ifndef Q9_GEN_CARDS_PATH
#define Q9_GEN_CARDS_PATH ""
#endif
#ifndef Q9_GEN_TEXTURES_PATH
#define Q9_GEN_TEXTURES_PATH ""
#endif
#ifndef Q9_MESHGEN_PATH
#define Q9_MESHGEN_PATH ""
#endif
#ifndef Q9_FONTGEN_PATH
#define Q9_FONTGEN_PATH ""
#endif
#ifndef Q9_GEN_MUSIC_PATH
#define Q9_GEN_MUSIC_PATH ""
#endif
#ifndef Q9_FONT_FILE
#define Q9_FONT_FILE ""
#endif

struct Generator {
    const char* name;
    const char* executable;
    const char* extraArgument; // after the output folder; may be empty
    bool visual;               // counts toward the visual assets' time
    std::vector<const char*> files; // at least these, relative to the output folder
};

const std::vector<Generator>& generators()
{
    static const std::vector<Generator> all = {
        {"cards", Q9_GEN_CARDS_PATH, "", true,
         {"data/loadingscreen.jpg", "data/credits.jpg", "data/greets.jpg", "data/history.png", "data/rushed.png",
          "data/bottom.png", "data/vubar.jpg"}},
        {"textures", Q9_GEN_TEXTURES_PATH, "", true,
         {"data/bumpmap.jpg", "data/doom.jpg", "data/blue.jpg", "data/door.jpg", "data/star.jpg", "data/c64_1.jpg",
          "data/c64_2.jpg", "data/c64_3.jpg", "data/c64_4.jpg", "data/c64_5.png", "data/c64_6.jpg",
          "data/ansigirl.jpg"}},
        {"meshes", Q9_MESHGEN_PATH, "", true,
         {"data/spikeball.ebr", "data/slimy.ebr", "data/rarkube.ebr", "data/hisphere.ebr"}},
        {"font", Q9_FONTGEN_PATH, Q9_FONT_FILE, true, {"demofont.glf"}},
        {"music", Q9_GEN_MUSIC_PATH, "", false, {"vemo.ogg"}},
    };
    return all;
}

// A fresh folder under the system's temp folder, removed with everything in it.
struct TempFolder {
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "q9_assets_XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!path.empty())
            fs::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path path;
};

std::vector<char> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Single-quoted for the shell that std::system runs.
std::string quoted(const std::string& s)
{
    std::string out = "'";
    for (char ch : s)
        out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
}

// Runs one generator into a fresh folder and compares every file it wrote
// with the run folder's copy. Adds its time to `seconds`.
void regenerateAndCompare(const Generator& gen, const fs::path& runDir, double& seconds)
{
    ASSERT_STRNE(gen.executable, "") << "generator not built";
    TempFolder out;
    ASSERT_FALSE(out.path.empty());

    std::string command = quoted(gen.executable) + " " + quoted(out.path.string());
    if (*gen.extraArgument)
        command += " " + quoted(gen.extraArgument);
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " -> status " << status;

    for (const char* file : gen.files)
        EXPECT_TRUE(fs::is_regular_file(out.path / file)) << file << " not written";
    for (const auto& entry : fs::recursive_directory_iterator(out.path)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path rel = fs::relative(entry.path(), out.path);
        const std::vector<char> second = readFile(entry.path());
        const std::vector<char> first = readFile(runDir / rel);
        if (first.empty()) {
            ADD_FAILURE() << rel << " missing or empty in the run folder";
            continue;
        }
        if (second.size() != first.size()) {
            ADD_FAILURE() << rel << ": " << second.size() << " bytes, the run folder's copy " << first.size();
            continue;
        }
        const auto diff = std::mismatch(first.begin(), first.end(), second.begin());
        EXPECT_TRUE(diff.first == first.end()) << rel << ": first difference at byte " << (diff.first - first.begin());
    }
}

TEST(GeneratedAssetsDeterminism, SecondGenerationIsByteIdentical)
{
    const fs::path runDir = fs::current_path();
    double visualSeconds = 0.0;
    for (const Generator& gen : generators()) {
        SCOPED_TRACE(gen.name);
        double seconds = 0.0;
        regenerateAndCompare(gen, runDir, seconds);
        std::printf("[ timing   ] %-8s generator: %.2f s\n", gen.name, seconds);
        RecordProperty(std::string(gen.name) + "_seconds", std::to_string(seconds));
        if (gen.visual)
            visualSeconds += seconds;
    }
    // Not asserted: a timing test would fail on a busy machine, not on a fault.
    std::printf("[ timing   ] all visual assets generated in %.2f s (budget 20 s)\n", visualSeconds);
    RecordProperty("visual_assets_seconds", std::to_string(visualSeconds));
}

} // namespace
