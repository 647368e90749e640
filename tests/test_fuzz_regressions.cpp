// Every file of the fuzz corpora, replayed through the same checks the fuzz
// targets run, so a fault a fuzzer once found stays fixed in the plain
// suite too (and under the sanitizer build, which catches what a plain
// build would miss). The seeds themselves must also still parse.
#include "fuzz/fuzz_checks.h"
#include "gfx/model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {
namespace fs = std::filesystem;

const fs::path corpusRoot = fs::path(Q9_SOURCE_DIR) / "tests" / "fuzz" / "corpus";

std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Target {
    const char* corpus;
    std::string (*check)(const uint8_t*, size_t);
};

void PrintTo(const Target& t, std::ostream* os) { *os << t.corpus; }

class FuzzCorpus : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzCorpus, EveryFileKeepsTheParsersPromises)
{
    const Target& t = GetParam();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpusRoot / t.corpus)) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::vector<uint8_t> bytes = readFile(entry.path());
        EXPECT_EQ(t.check(bytes.data(), bytes.size()), "");
        ++files;
    }
    EXPECT_GE(files, 3) << "the committed seed corpus is missing";
}

INSTANTIATE_TEST_SUITE_P(Corpora, FuzzCorpus,
                         ::testing::Values(Target{"ebr", fuzzcheck::checkEbr}, Target{"glf", fuzzcheck::checkGlf},
                                           Target{"image", fuzzcheck::checkImage},
                                           Target{"args", fuzzcheck::checkArgs}),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.corpus); });

std::vector<uint8_t> corpusFile(const char* corpus, const char* name)
{
    return readFile(corpusRoot / corpus / name);
}

TEST(FuzzRegressions, ValidSeedsParse)
{
    {
        const std::vector<uint8_t> b = corpusFile("ebr", "two_meshes.ebr");
        EbrMeshes m;
        ASSERT_TRUE(parseEbr(b.data(), b.size(), m));
        ASSERT_EQ(m.meshCount, 2);
        EXPECT_EQ(m.meshes[0]->triangleCount, 2);
        EXPECT_EQ(m.meshes[1]->vertexCount, 4);
    }
    {
        const std::vector<uint8_t> b = corpusFile("glf", "abc.glf");
        GlfFont font;
        const uint8_t* texels = nullptr;
        ASSERT_TRUE(parseGlf(b.data(), b.size(), font, texels));
        EXPECT_EQ(font.glyphs.size(), 3u);
        EXPECT_EQ(font.textureWidth, 6);
        EXPECT_EQ(texels, b.data() + 24 + 3 * 24);
    }
    struct Picture {
        const char* name;
        int width, height, bits;
    };
    for (const Picture& p : {Picture{"rgb.png", 5, 3, 0}, Picture{"alpha.png", 3, 2, 32},
                             Picture{"palette.png", 4, 4, 24}, Picture{"tiny.jpg", 8, 8, 24}}) {
        SCOPED_TRACE(p.name);
        const std::vector<uint8_t> b = corpusFile("image", p.name);
        const platform::DecodedImage image = platform::decodeImageFromMemory(b.data(), b.size());
        EXPECT_EQ(image.error, "");
        EXPECT_EQ(image.width, p.width);
        EXPECT_EQ(image.height, p.height);
        if (p.bits != 0) {
            EXPECT_EQ(image.bitsPerPixel, p.bits);
        }
    }
}

// Found by fuzz_ebr: coordinates so small that the squared normal underflowed
// left normals neither unit nor zero; so large that the sums overflowed gave
// NaN. Either way the scenes that move vertices along normals got garbage.
TEST(FuzzRegressions, NormalsStayUnitOrZeroForTinyAndHugeTriangles)
{
    const float max = std::numeric_limits<float>::max();
    struct Case {
        const char* what;
        float scale;
        bool unit; // false: no direction survives, (0, 0, 0) expected
    };
    // The face normal is (0, 0, scale squared), taken in float.
    for (const Case& c : {Case{"small", 1e-15f, true}, Case{"tiny", 1e-19f, true}, Case{"large", 1e19f, true},
                          Case{"face normal underflows to zero", 1e-30f, false},
                          Case{"face normal overflows", max / 2, false}}) {
        SCOPED_TRACE(c.what);
        Mesh m(3, 1);
        const float p[9] = {0, 0, 0, c.scale, 0, 0, 0, c.scale, 0};
        std::copy(p, p + 9, m.positions.get());
        const uint32_t idx[3] = {0, 1, 2};
        std::copy(idx, idx + 3, m.indices.get());
        m.computeNormals();
        for (int v = 0; v < 3; ++v) {
            EXPECT_EQ(m.normals[3 * v], 0.0f);
            EXPECT_EQ(m.normals[3 * v + 1], 0.0f);
            EXPECT_EQ(m.normals[3 * v + 2], c.unit ? 1.0f : 0.0f);
        }
    }
}

// Found by fuzz_image: an SVG (any format the library knows, not just the
// show's two) reached a decoder that leaked; a 655-byte JPEG whose header
// claimed 30000 x 30000 pixels made the loader allocate 2.7 GB and decode
// garbage into it.
TEST(FuzzRegressions, PicturesOtherThanPngOrJpegAndOversizedHeadersAreRefused)
{
    for (const char* name : {"found-svg-leak.bin", "huge-jpeg-header.jpg", "huge-png-header.png"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> b = corpusFile("image", name);
        ASSERT_FALSE(b.empty());
        const platform::DecodedImage image = platform::decodeImageFromMemory(b.data(), b.size());
        EXPECT_NE(image.error, "");
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.topRow, nullptr);
    }
    const char svg[] = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"></svg>";
    EXPECT_EQ(platform::decodeImageFromMemory(reinterpret_cast<const uint8_t*>(svg), sizeof svg - 1).error,
              "neither a PNG nor a JPEG picture");
}

} // namespace
