// The drawing members of RenderTarget: draw back, add on top, resample and
// blur by repeated capture. Fixed-function only: textured quads, additive
// blending and copies from the back buffer.
#include "gfx/render_target.h"

namespace {

void pushIdentityMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

// The whole picture (texture coordinates up to maxU, maxV) on the rectangle
// (x0, y0) to (x1, y1) in normalised device coordinates.
void pictureQuad(float x0, float y0, float x1, float y1, float maxU, float maxV)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y0, 0.0f);
    glTexCoord2f(maxU, 0.0f);
    glVertex3f(x1, y0, 0.0f);
    glTexCoord2f(maxU, maxV);
    glVertex3f(x1, y1, 0.0f);
    glTexCoord2f(0.0f, maxV);
    glVertex3f(x0, y1, 0.0f);
    glEnd();
}

} // namespace

void RenderTarget::drawQuad(float x, float y, float growW, float growH)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDisable(GL_DEPTH_TEST);
    pushIdentityMatrices();

    const float sw = static_cast<float>(screenWidth);
    const float sh = static_cast<float>(screenHeight);
    const float x0 = x / sw * 2.0f - 1.0f;
    const float y0 = y / sh * 2.0f - 1.0f;
    const float growX = growW / sw * 2.0f;
    const float growY = growH / sh * 2.0f;
    const float x1 = x0 + 2.0f + growX;
    const float y1 = y0 + 2.0f + growY;
    pictureQuad(x0, y0, x1, y1, maxU, maxV);

    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
}

void RenderTarget::drawFullScreen() { drawQuad(0.0f, 0.0f, 0.0f, 0.0f); }

void RenderTarget::drawAdditive(float r, float g, float b, float a)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(r, g, b, a);
    drawFullScreen();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
}

void RenderTarget::copyTo(RenderTarget& destination)
{
    destination.begin();
    glDisable(GL_BLEND);
    drawFullScreen();
    destination.capture();
}

void RenderTarget::blurPass(int32_t passes, int32_t radius, float spread, float strength, float dirX, float dirY)
{
    pushIdentityMatrices();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Every tap carries an equal share, so strength 1 keeps the brightness.
    const float tapWeight = static_cast<float>(static_cast<double>(strength) / (2.0 * radius + 1.0));
    glColor4f(1.0f, 1.0f, 1.0f, tapWeight);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);

    // spread target pixels in normalised device units, per axis, so that a
    // vertical pass on a target that is not square is spaced in pixels too.
    const float stepX = spread * 2.0f / static_cast<float>(width);
    const float stepY = spread * 2.0f / static_cast<float>(height);
    for (int32_t i = 1; i <= passes; ++i) {
        glViewport(0, 0, width, height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        const double spacingX = i * static_cast<double>(stepX);
        const double spacingY = i * static_cast<double>(stepY);
        for (int32_t j = -radius; j <= radius; ++j) {
            const double ox = dirX * (j * spacingX);
            const double oy = dirY * (j * spacingY);
            pictureQuad(static_cast<float>(ox - 1.0), static_cast<float>(oy - 1.0), static_cast<float>(ox + 1.0),
                        static_cast<float>(oy + 1.0), maxU, maxV);
        }
        // The next pass reads this pass's result.
        copyFromBackBuffer();
        glViewport(0, 0, screenWidth, screenHeight);
    }

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

void RenderTarget::blur(int32_t passes, int32_t radius, float spread, float strength)
{
    blurPass(passes, radius, spread, strength, 1.0f, 0.0f);
    blurPass(passes, radius, spread, strength, 0.0f, 1.0f);
}
