#include "effects/screen_quads.h"

#include "platform/gl.h"

void drawScreenQuad(double x1, double y1, double z, double x2, double y2, GLWrapper::Texture texture, double s1,
                    double t1, double s2, double t2)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    texture.enable();
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
