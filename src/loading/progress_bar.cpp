#include "loading/progress_bar.h"

#include "platform/gl.h"

#include <cmath>

std::unique_ptr<ProgressBar> createProgressBar(float left, float top, float right, float bottom, float thickness,
                                               int total, const char* caption, const char* status)
{
    if (total <= 0)
        return nullptr;
    auto bar = std::make_unique<ProgressBar>();
    bar->total = total;
    bar->count = 0;
    bar->left = left;
    bar->right = right;
    bar->top = top;
    bar->bottom = bottom;
    bar->thickness = thickness;
    bar->length = std::fabs(left) + std::fabs(right);
    bar->caption = caption ? caption : "";
    setProgressStatus(bar.get(), status);
    return bar;
}

void setProgressStatus(ProgressBar* bar, const char* status)
{
    if (!bar)
        return;
    if (status)
        bar->status = status;
    else
        bar->status.reset();
}

void drawProgressBar(ProgressBar* bar)
{
    if (!bar || bar->total <= 0)
        return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const float fill = static_cast<float>(static_cast<double>(bar->length) / bar->total * bar->count);
    const float l = bar->left, r = bar->right, t = bar->top, b = bar->bottom, h = bar->thickness;
    // Each quad runs top-left, bottom-left, bottom-right, top-right:
    // counter-clockwise, so back-face culling keeps it.
    const float quads[5][4][2] = {
        {{l, t}, {l, t - h}, {r, t - h}, {r, t}}, // upper strip
        {{l, b}, {l, b - h}, {r, b - h}, {r, b}}, // lower strip
        {{l, t}, {l, b}, {h + l, b}, {h + l, t}}, // left strip
        {{r, t}, {r, b}, {r + h, b}, {r + h, t}}, // right strip
        {{l, t}, {l, b}, {fill + l, b}, {fill + l, t}}, // the fill
    };
    glBegin(GL_QUADS);
    for (const auto& quad : quads)
        for (const auto& v : quad)
            glVertex3f(v[0], v[1], 0);
    glEnd();
    ++bar->count;
}
