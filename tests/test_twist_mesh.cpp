#include "ebr_fixture.h"
#include "effects/twist_mesh.h"
#include "gl_test_support.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// A vertex at the origin, one at distance 1 and one twice as far out.
EbrMeshSpec threePoints()
{
    return {"pts", {{0, 0, 0, 0, 0}, {0.6f, 0, 0.8f, 0, 0}, {0, 2, 0, 0, 0}}, {0, 1, 2}};
}

struct Pair {
    explicit Pair(const EbrMeshSpec& modelSpec, const EbrMeshSpec& referenceSpec)
        : modelFile(ebrBytes({modelSpec}), "model.ebr"), referenceFile(ebrBytes({referenceSpec}), "reference.ebr"),
          model(modelFile.path.c_str()), reference(referenceFile.path.c_str())
    {
    }
    TempEbrFile modelFile, referenceFile;
    Model model, reference;
};

TEST(TwistMesh, RotationsFollowTheirSignTable)
{
    const float quarter = static_cast<float>(std::numbers::pi / 2);
    struct Case {
        const char* what;
        Vec3 (*rotate)(Vec3, float);
        Vec3 in, out;
    };
    const Case cases[] = {
        {"X turns y into z", rotateX, {0, 1, 0}, {0, 0, 1}},
        {"X turns z into -y", rotateX, {0, 0, 1}, {0, -1, 0}},
        {"Y turns x into z", rotateY, {1, 0, 0}, {0, 0, 1}},
        {"Y turns z into -x", rotateY, {0, 0, 1}, {-1, 0, 0}},
        {"Z turns x into -y", rotateZ, {1, 0, 0}, {0, -1, 0}},
        {"Z turns y into x", rotateZ, {0, 1, 0}, {1, 0, 0}},
        {"X keeps x", rotateX, {2, 0, 0}, {2, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Vec3 r = c.rotate(c.in, quarter);
        EXPECT_NEAR(r.x, c.out.x, 1e-6f);
        EXPECT_NEAR(r.y, c.out.y, 1e-6f);
        EXPECT_NEAR(r.z, c.out.z, 1e-6f);
    }
}

TEST(TwistMesh, ZeroAnglesGiveAnExactCopyOfTheRestPose)
{
    // The deformed copy starts elsewhere, so a copy cannot pass by accident.
    EbrMeshSpec moved = threePoints();
    for (EbrVertex& v : moved.vertices)
        v.x += 5, v.y -= 3;
    struct Case {
        int32_t showTime;
        float twistScale;
    };
    for (const Case c : {Case{0, 1e-05f}, Case{7777, 0.0f}}) {
        SCOPED_TRACE(c.showTime);
        Pair p(moved, threePoints());
        float weights[3];
        Vec3 angles[3];
        ASSERT_TRUE(twistMesh(c.showTime, &p.model, &p.reference, weights, angles, c.twistScale));
        const Mesh& m = *p.model.meshes[0];
        const Mesh& r = *p.reference.meshes[0];
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(m.positions[i], r.positions[i]) << i;
            EXPECT_EQ(m.normals[i], r.normals[i]) << i;
        }
    }
}

TEST(TwistMesh, AngleFallsWithTheSquareRootOfDistance)
{
    Pair p(threePoints(), threePoints());
    float weights[3];
    Vec3 angles[3];
    const int32_t showTime = 1000; // targets 13 sin 4, 13 sin 2, 13 sin 2.4
    ASSERT_TRUE(twistMesh(showTime, &p.model, &p.reference, weights, angles, 1e-05f));

    EXPECT_NEAR(weights[1], 1.0f, 1e-6f);
    EXPECT_NEAR(weights[2], std::sqrt(2.0f), 1e-6f);
    EXPECT_NEAR(angles[1].x, 13 * std::sin(4.0), 1e-4);
    EXPECT_NEAR(angles[1].y, 13 * std::sin(2.0), 1e-4);
    EXPECT_NEAR(angles[1].z, 13 * std::sin(2.4), 1e-4);
    const double ratio = 1 / std::sqrt(2.0);
    EXPECT_NEAR(angles[2].x / angles[1].x, ratio, 1e-6);
    EXPECT_NEAR(angles[2].y / angles[1].y, ratio, 1e-6);
    EXPECT_NEAR(angles[2].z / angles[1].z, ratio, 1e-6);

    // Positions: X, then Y, then Z applied to the rest pose; lengths kept.
    const Mesh& m = *p.model.meshes[0];
    const Vec3 far = rotateZ(rotateY(rotateX({0, 2, 0}, angles[2].x), angles[2].y), angles[2].z);
    EXPECT_EQ(m.positions[6], far.x);
    EXPECT_EQ(m.positions[7], far.y);
    EXPECT_EQ(m.positions[8], far.z);
    EXPECT_NEAR(std::hypot(m.positions[3], m.positions[4], m.positions[5]), 1.0, 1e-6);
    EXPECT_GT(std::fabs(m.positions[4]), 0.1f); // it did move off the y = 0 plane

    // The origin vertex stays put and nothing turns into NaN.
    EXPECT_EQ(weights[0], 0.0f);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(m.positions[k], 0.0f);
    EXPECT_EQ(angles[0].x, 0.0f);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(std::isfinite(m.normals[i])) << i;
}

TEST(TwistMesh, ModelsItCannotTwistAreDrawnAsTheyAre)
{
    GlTestWindow w(64, 64);
    ASSERT_TRUE(w.isReady());
    platform::setMessageBoxObserver([](const std::string&, const std::string&) {});
    GLWrapper::Texture texture("data/no-such-picture.jpg");
    EbrMeshSpec big = threePoints();
    big.vertices.push_back({1, 1, 1, 0, 0});
    EbrMeshSpec small = threePoints();

    struct Case {
        const char* what;
        const char* modelPath; // null: the four-vertex mesh
        const char* referencePath; // null: the three-vertex mesh
    };
    const Case cases[] = {
        {"model without a mesh", "no-such-model.ebr", nullptr},
        {"reference without a mesh", nullptr, "no-such-reference.ebr"},
        {"reference smaller than the model", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempEbrFile bigFile(ebrBytes({big}), "big.ebr"), smallFile(ebrBytes({small}), "small.ebr");
        Model model(c.modelPath ? c.modelPath : bigFile.path.c_str());
        Model reference(c.referencePath ? c.referencePath : smallFile.path.c_str());
        float weights[4] = {-1, -1, -1, -1};
        Vec3 angles[4] = {};
        EXPECT_FALSE(twistMesh(16000, &model, &reference, weights, angles, 1e-05f));
        EXPECT_EQ(weights[0], -1.0f); // scratch untouched: nothing was read
        sceneTwistMesh(16000, &model, &reference, weights, angles, texture, 1e-05f);
        if (model.meshCount > 0) {
            const float* p = model.meshes[0]->positions.get();
            for (size_t v = 0; v < 4; ++v) {
                EXPECT_EQ(p[3 * v], big.vertices[v].x) << v;
                EXPECT_EQ(p[3 * v + 1], big.vertices[v].y) << v;
                EXPECT_EQ(p[3 * v + 2], big.vertices[v].z) << v;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    platform::setMessageBoxObserver(nullptr);
}

TEST(TwistMesh, SceneDrawsSphereMappedFromItsDiagonalCamera)
{
    GlTestWindow w(64, 48);
    ASSERT_TRUE(w.isReady());
    // A complete 1x1 texture: with none bound GL generates no coordinates.
    GLWrapper::Texture texture("data/no-such-picture.jpg");
    const uint8_t white[4] = {255, 255, 255, 255};
    glGenTextures(1, &texture.textureId);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    // One triangle facing the camera at (200, 200, 200), counter-clockwise
    // seen from there, all texture coordinates 0.
    const EbrMeshSpec facing{"f", {{20, 0, 0, 0, 0}, {0, 20, 0, 0, 0}, {0, 0, 20, 0, 0}}, {0, 1, 2}};
    Pair p(facing, facing);
    float weights[3];
    Vec3 angles[3];

    const auto prims = captureFeedback([&] { sceneTwistMesh(0, &p.model, &p.reference, weights, angles, texture, 1e-05f); });
    ASSERT_EQ(prims.size(), 1u);
    ASSERT_EQ(prims[0].vertices.size(), 3u);
    // The camera looks at the origin: the triangle's centre is mid-screen.
    float cx = 0, cy = 0;
    bool generated = false;
    for (const FeedbackVertex& v : prims[0].vertices) {
        cx += v.x / 3, cy += v.y / 3;
        generated = generated || v.s != 0 || v.t != 0;
    }
    EXPECT_NEAR(cx, 32.0f, 0.5f);
    EXPECT_NEAR(cy, 24.0f, 0.5f);
    EXPECT_TRUE(generated) << "texture coordinates come from the sphere map";

    // The camera stays behind for whoever draws next; the switches are off.
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat got[16], want[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, got);
    glLoadIdentity();
    gluLookAt(200, 200, 200, 0, 0, 0, 0, 1, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, want);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(got[i], want[i]) << i;
    glGetFloatv(GL_PROJECTION_MATRIX, got);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0f / 3.0f, 1.0, 1000.0);
    glGetFloatv(GL_PROJECTION_MATRIX, want);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(got[i], want[i]) << i;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

} // namespace
