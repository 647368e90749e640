#include "effects/screen_quads.h"

#include "platform/gl.h"

#include <cmath>

namespace {

// These quads cover most of the window, and a software rasterizer pays for
// every pixel, so each is drawn with the cheapest state that gives the same
// pixels, and the state is put back afterwards:
// - where every texel is magnified, GL never consults the minification
//   filter; GL_LINEAR there spares the mipmap level selection;
// - an opaque fragment (no texture alpha, colour alpha 1, modulated) under
//   (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) replaces what it covers, exactly
//   as with blending off.
class EquivalentCheapState {
public:
    // The bound texture, the quad's size in normalised device units and the
    // texture-coordinate spans it maps onto it (axis-aligned, affine).
    EquivalentCheapState(double quadWidth, double quadHeight, double spanS, double spanT)
    {
        GLint texWidth = 0, texHeight = 0, minFilter = 0, magFilter = 0, alphaBits = 0, envMode = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
        if (texWidth <= 0 || texHeight <= 0)
            return; // no picture: drawn untextured, nothing to spare
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        const double pixelsX = std::fabs(quadWidth) / 2.0 * viewport[2];
        const double pixelsY = std::fabs(quadHeight) / 2.0 * viewport[3];
        const bool magnified = pixelsX > 0 && pixelsY > 0 && std::fabs(spanS) * texWidth <= pixelsX &&
                               std::fabs(spanT) * texHeight <= pixelsY;
        // Near a scale of 1 a driver's level-of-detail estimate may fall just
        // above 0; GL_LINEAR_MIPMAP_NEAREST then samples level 0 bilinearly,
        // which is GL_LINEAR again.
        if (magnified && minFilter == GL_LINEAR_MIPMAP_NEAREST && magFilter == GL_LINEAR) {
            texture = true;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        }

        if (!glIsEnabled(GL_BLEND) || glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_FOG))
            return;
        GLint srcRgb = 0, dstRgb = 0, srcAlpha = 0, dstAlpha = 0, equation = 0;
        glGetIntegerv(GL_BLEND_SRC_RGB, &srcRgb);
        glGetIntegerv(GL_BLEND_DST_RGB, &dstRgb);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &srcAlpha);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &dstAlpha);
        glGetIntegerv(GL_BLEND_EQUATION_RGB, &equation);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
        GLfloat colour[4] = {0, 0, 0, 0};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        GLint equationAlpha = 0;
        glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &equationAlpha);
        if (srcRgb == GL_SRC_ALPHA && dstRgb == GL_ONE_MINUS_SRC_ALPHA && srcAlpha == GL_SRC_ALPHA &&
            dstAlpha == GL_ONE_MINUS_SRC_ALPHA && equation == GL_FUNC_ADD && equationAlpha == GL_FUNC_ADD &&
            alphaBits == 0 && envMode == GL_MODULATE && colour[3] == 1.0f) {
            blend = true;
            glDisable(GL_BLEND);
        }
    }
    ~EquivalentCheapState()
    {
        if (texture)
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        if (blend)
            glEnable(GL_BLEND);
    }
    EquivalentCheapState(const EquivalentCheapState&) = delete;
    EquivalentCheapState& operator=(const EquivalentCheapState&) = delete;

private:
    bool texture = false;
    bool blend = false;
};

} // namespace

void drawScreenQuad(double x1, double y1, double z, double x2, double y2, GLWrapper::Texture texture, double s1,
                    double t1, double s2, double t2)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    texture.enable();
    const EquivalentCheapState cheap(x2 - x1, y2 - y1, s2 - s1, t2 - t1);
    // Counter-clockwise when (x1, y1) is the top-left corner: back faces are culled.
    glBegin(GL_QUADS);
    glTexCoord2f(static_cast<float>(s1), static_cast<float>(t1));
    glVertex3f(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(z));
    glTexCoord2f(static_cast<float>(s1), static_cast<float>(t2));
    glVertex3f(static_cast<float>(x1), static_cast<float>(y2), static_cast<float>(z));
    glTexCoord2f(static_cast<float>(s2), static_cast<float>(t2));
    glVertex3f(static_cast<float>(x2), static_cast<float>(y2), static_cast<float>(z));
    glTexCoord2f(static_cast<float>(s2), static_cast<float>(t1));
    glVertex3f(static_cast<float>(x2), static_cast<float>(y1), static_cast<float>(z));
    glEnd();
    texture.disable();
}

void drawScreenImage(double x1, double y1, double x2, double y2, GLWrapper::Texture texture)
{
    drawScreenQuad(x1, y1, 0.01, x2, y2, texture, 0, 0, 1, 1);
}

void drawImageRollUp(uint32_t elapsedMs, int mode, double x1, double y1, double z, double x2, double y2,
                     GLWrapper::Texture texture, double s1, double t1, double s2, double t2)
{
    if (mode != 1)
        return;
    const float seconds = static_cast<float>(elapsedMs / 1000.0);
    if (!(0.5 * seconds * t2 < t2))
        return;
    const double wipeT = t2 - 0.5 * seconds * t2;
    const double wipeY = y2 - seconds * y2;
    drawScreenQuad(x1, y1, z, x2, wipeY, texture, s1, t1, s2, wipeT);
    // The one texel row at the wipe line, smeared down to the lower edge.
    drawScreenQuad(x1, wipeY, z, x2, y2, texture, s1, wipeT, s2, wipeT + 0.00001);
}

void enableSphereMap()
{
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void disableSphereMap()
{
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}
