#include "ebr_fixture.h"
#include "gfx/ebr_reader.h"
#include "gfx/model.h"
#include "gl_test_support.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {

using Boxes = std::vector<std::pair<std::string, std::string>>; // caption, text

struct BoxRecorder {
    BoxRecorder()
    {
        platform::setMessageBoxObserver([this](const std::string& c, const std::string& t) { boxes.emplace_back(c, t); });
    }
    ~BoxRecorder() { platform::setMessageBoxObserver(nullptr); }
    Boxes boxes;
};

void expectNormal(const Mesh& m, int v, float x, float y, float z)
{
    SCOPED_TRACE("vertex " + std::to_string(v));
    EXPECT_NEAR(m.normals[3 * v], x, 1e-6f);
    EXPECT_NEAR(m.normals[3 * v + 1], y, 1e-6f);
    EXPECT_NEAR(m.normals[3 * v + 2], z, 1e-6f);
}

TEST(Model, LoadsTheOneTriangleFile)
{
    const std::vector<uint8_t> bytes = ebrBytes({oneTriangleMesh()});
    ASSERT_EQ(bytes.size(), 92u);
    TempEbrFile file(bytes);
    BoxRecorder rec;
    Model model(file.path.c_str());
    EXPECT_TRUE(rec.boxes.empty());
    ASSERT_EQ(model.meshCount, 1);
    const Mesh& m = *model.meshes[0];
    ASSERT_EQ(m.vertexCount, 3);
    ASSERT_EQ(m.triangleCount, 1);
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const float uvs[6] = {0, 0, 1, 0, 0, 1};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m.positions[i], positions[i]) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(m.texCoords[i], uvs[i]) << i;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m.indices[i], static_cast<uint32_t>(i));
        expectNormal(m, i, 0, 0, 1);
    }
}

TEST(Model, CrossOperandOrderDecidesFacing)
{
    const Vec3 n = cross({1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 0.0f);
    EXPECT_EQ(n.z, 1.0f);
    EXPECT_EQ(cross({0, 1, 0}, {1, 0, 0}).z, -1.0f);
    const Vec3 m = cross({1, 2, 3}, {4, 5, 6});
    EXPECT_EQ(m.x, -3.0f);
    EXPECT_EQ(m.y, 6.0f);
    EXPECT_EQ(m.z, -3.0f);
}

TEST(Model, NormalsAreAreaWeightedAndNeverNaN)
{
    // Vertex 0 is shared by a unit triangle facing +z and one of four times
    // its area facing +x. Vertices 5 and 6 only touch a degenerate triangle,
    // vertex 7 touches none.
    EbrMeshSpec mesh{"area",
                     {{0, 0, 0, 0, 0},
                      {1, 0, 0, 0, 0},
                      {0, 1, 0, 0, 0},
                      {0, 2, 0, 0, 0},
                      {0, 0, 2, 0, 0},
                      {3, 3, 3, 0, 0},
                      {4, 4, 4, 0, 0},
                      {5, 5, 5, 0, 0}},
                     {0, 1, 2, 0, 3, 4, 5, 6, 5}};
    EbrMeshes parsed;
    const std::vector<uint8_t> bytes = ebrBytes({mesh});
    ASSERT_TRUE(parseEbr(bytes.data(), bytes.size(), parsed));
    Mesh& m = *parsed.meshes[0];
    const float s = std::sqrt(17.0f);
    expectNormal(m, 0, 4 / s, 0, 1 / s);
    EXPECT_NEAR(m.normals[0], 0.970f, 5e-4f);
    EXPECT_NEAR(m.normals[2], 0.243f, 5e-4f);
    expectNormal(m, 1, 0, 0, 1);
    expectNormal(m, 2, 0, 0, 1);
    expectNormal(m, 3, 1, 0, 0);
    expectNormal(m, 4, 1, 0, 0);
    for (int v = 5; v < 8; ++v)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(m.normals[3 * v + k], 0.0f) << "vertex " << v; // NaN fails this too

    // Recomputing from unchanged positions gives the same bits, and old
    // normals do not leak into the new ones.
    std::vector<float> first(m.normals.get(), m.normals.get() + 24);
    for (int i = 0; i < 24; ++i)
        m.normals[i] = 7.0f;
    m.computeNormals();
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(m.normals[i], first[i]) << i;
}

TEST(Model, MissingFileShowsOneBoxAndLeavesNoMesh)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    BoxRecorder rec;
    Model model("data/no-such-mesh.ebr");
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].first, "data/no-such-mesh.ebr");
    EXPECT_EQ(rec.boxes[0].second, "Error: .ebr file not found");
    EXPECT_EQ(model.meshCount, 0);
    // An empty model is harmless to use.
    model.recomputeNormals();
    EXPECT_TRUE(captureFeedback([&] { model.draw(); }).empty());
    EXPECT_EQ(rec.boxes.size(), 1u);
}

TEST(Model, BoundaryValuesAreAccepted)
{
    BoxRecorder rec;
    {
        // No mesh at all is a valid, empty file.
        TempEbrFile file(ebrBytes({}));
        Model model(file.path.c_str());
        EXPECT_EQ(model.meshCount, 0);
    }
    {
        // A 100-byte name, index 2 of 3 vertices, a mesh with no triangles.
        EbrMeshSpec a = oneTriangleMesh();
        a.name = std::string(100, 'n');
        EbrMeshSpec b{"", {{1, 2, 3, 0, 0}}, {}};
        TempEbrFile file(ebrBytes({a, b}));
        Model model(file.path.c_str());
        ASSERT_EQ(model.meshCount, 2);
        EXPECT_EQ(model.meshes[0]->triangleCount, 1);
        EXPECT_EQ(model.meshes[1]->vertexCount, 1);
        EXPECT_EQ(model.meshes[1]->triangleCount, 0);
        EXPECT_EQ(model.meshes[1]->positions[2], 3.0f);
    }
    EXPECT_TRUE(rec.boxes.empty());
}

void patchI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value)
{
    std::vector<uint8_t> v;
    appendI32(v, value);
    std::copy(v.begin(), v.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void patchF32(std::vector<uint8_t>& bytes, size_t offset, float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, 4);
    patchI32(bytes, offset, bits);
}

// Offsets in the 92-byte file: 0 mesh count, 4 vertex count, 8 triangle
// count, 12 name length, 16 name, 20 vertices (20 bytes each), 80 indices.
std::vector<uint8_t> base() { return ebrBytes({oneTriangleMesh()}); }

std::vector<uint8_t> withI32(size_t offset, int32_t value)
{
    auto b = base();
    patchI32(b, offset, value);
    return b;
}

struct DamagedCase {
    const char* what;
    std::vector<uint8_t> bytes;
};

TEST(Model, DamagedFilesAreRejectedWithOneBox)
{
    EbrMeshSpec longName = oneTriangleMesh();
    longName.name = std::string(101, 'n');
    EbrMeshSpec badSecond = oneTriangleMesh();
    badSecond.indices = {0, 1, 3};
    auto truncated = [](size_t n) {
        auto b = base();
        b.resize(n);
        return b;
    };
    auto withFloat = [](size_t offset, float f) {
        auto b = base();
        patchF32(b, offset, f);
        return b;
    };
    auto trailing = base();
    trailing.push_back(0);

    const std::vector<DamagedCase> cases = {
        {"empty file", {}},
        {"mesh count cut short", truncated(2)},
        {"negative mesh count", withI32(0, -1)},
        {"mesh count over the cap", withI32(0, ebrMaxMeshes + 1)},
        {"more meshes announced than present", withI32(0, 2)},
        {"negative vertex count", withI32(4, -1)},
        {"vertex count over the cap", withI32(4, ebrMaxVertices + 1)},
        {"vertex count far past the file", withI32(4, 1 << 20)},
        {"one vertex more than present", withI32(4, 4)},
        {"negative triangle count", withI32(8, -5)},
        {"triangle count over the cap", withI32(8, ebrMaxTriangles + 1)},
        {"one triangle more than present", withI32(8, 2)},
        {"negative name length", withI32(12, -4)},
        {"name of 101 bytes", ebrBytes({longName})},
        {"index equal to the vertex count", withI32(88, 3)},
        {"negative index", withI32(80, -1)},
        {"largest int as index", withI32(84, 0x7fffffff)},
        {"last byte missing", truncated(91)},
        {"header only", truncated(16)},
        {"byte left over", trailing},
        {"NaN position", withFloat(44, std::numeric_limits<float>::quiet_NaN())},
        {"infinite position", withFloat(20, std::numeric_limits<float>::infinity())},
        {"good mesh then a bad one", ebrBytes({oneTriangleMesh(), badSecond})},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempEbrFile file(c.bytes);
        BoxRecorder rec;
        Model model(file.path.c_str());
        EXPECT_EQ(model.meshCount, 0);
        ASSERT_EQ(rec.boxes.size(), 1u);
        EXPECT_EQ(rec.boxes[0].first, file.path);
        EXPECT_EQ(rec.boxes[0].second, "Error: .ebr file is damaged");
    }
}

TEST(ModelDraw, EachMeshIsOneDrawInFileOrder)
{
    GlTestWindow w(64, 64);
    ASSERT_TRUE(w.isReady());
    // Two counter-clockwise triangles straight in clip space: left, then right.
    EbrMeshSpec left{"l", {{-0.9f, -0.5f, 0, 0, 0}, {-0.1f, -0.5f, 0, 1, 0}, {-0.5f, 0.5f, 0, 0.5f, 1}}, {0, 1, 2}};
    EbrMeshSpec right{"r", {{0.1f, -0.5f, 0, 0, 0}, {0.9f, -0.5f, 0, 1, 0}, {0.5f, 0.5f, 0, 0.5f, 1}}, {0, 1, 2}};
    TempEbrFile file(ebrBytes({left, right}));
    Model model(file.path.c_str());
    ASSERT_EQ(model.meshCount, 2);

    const auto prims = captureFeedback([&] { model.draw(); });
    ASSERT_EQ(prims.size(), 2u);
    for (const auto& p : prims) {
        EXPECT_EQ(p.kind, static_cast<GLenum>(GL_POLYGON_TOKEN));
        ASSERT_EQ(p.vertices.size(), 3u);
    }
    // Window x of the first vertex: (-0.9 + 1) * 32 and (0.1 + 1) * 32.
    EXPECT_NEAR(prims[0].vertices[0].x, 3.2f, 1e-3f);
    EXPECT_NEAR(prims[1].vertices[0].x, 35.2f, 1e-3f);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

} // namespace
