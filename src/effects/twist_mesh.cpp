#include "effects/twist_mesh.h"

#include "effects/screen_quads.h"
#include "platform/gl.h"

#include <cmath>

namespace {

struct SinCos {
    float s, c;
};

SinCos sinCos(float angle)
{
    const double a = angle;
    return {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a))};
}

} // namespace

Vec3 rotateX(Vec3 v, float angle)
{
    const auto [s, c] = sinCos(angle);
    return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
}

Vec3 rotateY(Vec3 v, float angle)
{
    const auto [s, c] = sinCos(angle);
    return {v.x * c - v.z * s, v.y, v.x * s + v.z * c};
}

Vec3 rotateZ(Vec3 v, float angle)
{
    const auto [s, c] = sinCos(angle);
    return {v.x * c + v.y * s, v.y * c - v.x * s, v.z};
}

bool twistMesh(int32_t showTime, Model* model, const Model* reference, float* weights, Vec3* angles,
               float twistScale)
{
    if (!model || model->meshCount < 1 || !reference || reference->meshCount < 1)
        return false;
    Mesh& mesh = *model->meshes[0];
    const Mesh& rest = *reference->meshes[0];
    if (rest.vertexCount < mesh.vertexCount)
        return false;
    const size_t n = static_cast<size_t>(mesh.vertexCount);
    float* p = mesh.positions.get();
    const float* r = rest.positions.get();

    // The square root of each vertex's distance from the origin.
    for (size_t i = 0; i < n; ++i) {
        const float x = p[3 * i], y = p[3 * i + 1], z = p[3 * i + 2];
        const float d = x * x + y * y + z * z;
        weights[i] = std::sqrt(std::sqrt(d));
        angles[i] = {0.0f, 0.0f, 0.0f};
    }

    const float tf = static_cast<float>(showTime / 50.0);
    const float ax = static_cast<float>(13.0 * std::sin(0.2 * tf));
    const float ay = static_cast<float>(13.0 * std::sin(0.1 * tf));
    const float az = static_cast<float>(13.0 * std::sin(0.12 * tf));
    const double ts = twistScale;

    for (size_t i = 0; i < n; ++i) {
        Vec3 v{r[3 * i], r[3 * i + 1], r[3 * i + 2]};
        const float w = weights[i];
        // Weight 0 is a vertex at the origin: no direction to turn, and the
        // division would give infinite angles.
        if (w > 0.0f) {
            angles[i] = {static_cast<float>(ax / w * 100000.0 * ts), static_cast<float>(ay / w * 100000.0 * ts),
                         static_cast<float>(az / w * 100000.0 * ts)};
            v = rotateZ(rotateY(rotateX(v, angles[i].x), angles[i].y), angles[i].z);
        }
        p[3 * i] = v.x;
        p[3 * i + 1] = v.y;
        p[3 * i + 2] = v.z;
    }
    model->recomputeNormals();
    return true;
}

void sceneTwistMesh(int32_t showTime, Model* model, Model* reference, float* weights, Vec3* angles,
                    GLWrapper::Texture texture, float twistScale)
{
    twistMesh(showTime, model, reference, weights, angles, twistScale);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(4.0f / 3.0f), 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(200.0, 200.0, 200.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    texture.enable();
    enableSphereMap();
    if (model)
        model->draw();
    texture.disable();
    disableSphereMap();
}
