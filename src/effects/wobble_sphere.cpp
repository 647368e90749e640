#include "effects/wobble_sphere.h"

#include "audio/music.h"
#include "effects/screen_quads.h"
#include "effects/wobble_deform.h"
#include "platform/gl.h"
#include "platform/tick_clock.h"

float backgroundLevel = 0.0f;

namespace {
// Signed 32-bit sums that wrap like the tick counter instead of overflowing.
int32_t wrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t wrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

Mesh* firstMesh(Model* model)
{
    if (!model || model->meshCount < 1 || !model->meshes || !model->meshes[0])
        return nullptr;
    return model->meshes[0].get();
}
} // namespace

void wobbleBackground(int32_t start, int32_t clock)
{
    float level = 0.0f;
    if (clock <= wrapAdd(start, 40000)) {
        level = 0.0f;
    } else if (clock <= wrapAdd(start, 42000)) {
        level = static_cast<float>(wrapSub(wrapAdd(start, 42000), clock)) / 2000.0f;
    } else if (clock <= wrapAdd(start, 110000)) {
        level = 0.0f;
    } else {
        const float v = musicSpectrum[2];
        if (v >= backgroundLevel)
            backgroundLevel = v;
        else
            backgroundLevel = static_cast<float>(static_cast<double>(backgroundLevel) - 0.001);
        level = backgroundLevel;
    }
    glClearColor(level, level, level, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void sceneWobbleSphere(int32_t start, int32_t now, int32_t span, Model* deformed, Model* source,
                       GLWrapper::Texture* environment, int32_t variant)
{
    if (now >= wrapAdd(start, span))
        return;
    const auto clock = static_cast<int32_t>(platform::getTickCount());
    const float t = static_cast<float>(static_cast<double>(wrapSub(clock, start)) / 1000.0);
    wobbleBackground(start, clock);

    Mesh* target = firstMesh(deformed);
    const Mesh* rest = firstMesh(source);
    if (target && rest && rest->vertexCount >= target->vertexCount && target->positions && rest->positions &&
        rest->normals && target != rest) {
        wobbleDeform(rest->positions.get(), rest->normals.get(), target->positions.get(), target->vertexCount, t,
                     wobbleCoefficients(variant, t));
        deformed->recomputeNormals();
    }

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0f / 3.0f, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(100.0, 150.0, 200.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(t * 30.0f, 1.0f, 1.0f, 1.0f);

    environment->enable();
    enableSphereMap();
    if (deformed)
        deformed->draw();
    environment->disable();
    disableSphereMap();
}
