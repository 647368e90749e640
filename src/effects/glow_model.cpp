#include "effects/glow_model.h"

#include "effects/screen_quads.h"
#include "gfx/model.h"
#include "gfx/render_target.h"
#include "gfx/texture.h"
#include "platform/gl.h"

void sceneGlowModel(int32_t showTime, Model* model, GLWrapper::Texture* environment, RenderTarget* frame,
                    RenderTarget* glow, float strength)
{
    frame->begin();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, static_cast<double>(1.333f), 1.0, 1900.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(10.0, 10.0, 100.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    const float seconds = static_cast<float>(showTime / 1000.0);
    const float angle = seconds * 70.0f;
    glRotatef(angle, 0.0f, 0.0f, 1.0f);

    enableSphereMap();
    environment->enable();
    model->draw();
    environment->disable();
    disableSphereMap();
    frame->capture();

    // Shrink, blur, then lay the frame back with the blurred copy added.
    frame->copyTo(*glow);
    glow->blur(3, 1, 1.0f, strength);
    frame->drawFullScreen();
    glow->drawAdditive(1.0f, 1.0f, 1.0f, 1.0f);
    frame->capture();
}
