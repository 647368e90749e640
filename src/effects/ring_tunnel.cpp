#include "effects/ring_tunnel.h"

#include "platform/gl.h"

#include <algorithm>
#include <cmath>

void initRingTable(RingTable* table, int count)
{
    count = std::clamp(count, 0, ringCapacity);
    for (int i = 0; i < count; ++i)
        table->current[i] = table->base[i] = static_cast<float>(i * 0.1);
    table->count = count;
}

void sceneRingTunnel(int32_t elapsedMs, RingTable* table, int n, bool fadeIn, int primitive, float r, float g,
                     float b)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, static_cast<double>(1.333f), 0.01, 1900.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 0.1, 0.0, 0.0, -2.2, 0.0, 1.0, 0.0);

    // Never past the rings the table was initialised for.
    n = std::clamp(n, 0, table ? table->count : 0);
    const double t = elapsedMs / 1500.0;
    for (int i = 0; i < n; ++i)
        table->current[i] = static_cast<float>(table->base[i] - t);

    for (int i = n - 1; i >= 0; --i) {
        const float u = table->current[i];
        const float d = static_cast<float>(u * -1.9);
        float size = 10.0f - d * 4.0f * -1.0f;
        if (size < 1.0f)
            size = 1.0f;
        glPointSize(size);
        float c = static_cast<float>(1.0 - u * 0.4);
        // A negative time fades to black; multiplying it in would turn the
        // negative brightness of far rings back into a faint glow.
        if (fadeIn && elapsedMs < 4000)
            c = static_cast<float>(std::max(elapsedMs, 0) / 4000.0 * c);
        glColor3f(c * r, c * g, c * b);
        glBegin(static_cast<GLenum>(primitive));
        for (int j = 50; j >= 1; --j) {
            const double a = j / 50.0 * 6.28;
            glVertex3f(static_cast<float>(0.5 * std::sin(a)), static_cast<float>(0.5 * std::cos(a)), d);
        }
        glEnd();
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}
