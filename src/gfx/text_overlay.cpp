#include "gfx/text_overlay.h"

#include "gfx/glf_font.h"
#include "platform/gl.h"

void drawOverlayText(double x, double y, double scale, const char* text)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    GlfFont font;
    if (!loadGlfFont(&font, "demofont.glf", 0))
        return;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    beginText(&font);
    const float s = static_cast<float>(scale * 18);
    glScalef(s, s, s);
    glTranslatef(5, 6, 0);
    drawText(text, static_cast<float>(x), static_cast<float>(y), 0);
    endText();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFlush();
}
