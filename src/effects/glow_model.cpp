#include "effects/glow_model.h"

#include "effects/screen_quads.h"
#include "gfx/model.h"
#include "gfx/render_target.h"
#include "gfx/texture.h"
#include "platform/gl.h"

namespace {

// Limits clears and drawing to the glow target's corner of the window while
// it lives; the scissor test and box are as before afterwards.
class CornerScissor {
public:
    explicit CornerScissor(const RenderTarget& target)
    {
        glPushAttrib(GL_SCISSOR_BIT);
        glScissor(0, 0, target.width, target.height);
        glEnable(GL_SCISSOR_TEST);
    }
    ~CornerScissor() { glPopAttrib(); }
    CornerScissor(const CornerScissor&) = delete;
    CornerScissor& operator=(const CornerScissor&) = delete;
};

} // namespace

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
    // The software rasterizer pays for every pixel, so nothing is drawn that
    // the finished frame cannot show.
    frame->copyTo(*glow);
    {
        // The blur's clears would blank the whole window; all of it is
        // redrawn below, so blanking the glow target's corner is enough.
        const CornerScissor corner(*glow);
        glow->blur(3, 1, 1.0f, strength);
    }
    const bool oneToOne = frame->width == frame->screenWidth && frame->height == frame->screenHeight;
    if (oneToOne) {
        // Drawn back 1:1 the frame reproduces itself pixel for pixel, and
        // only the corner that the shrink and the blur used has changed
        // since the capture: restoring that corner gives the same frame.
        const CornerScissor corner(*glow);
        frame->drawFullScreen();
    } else {
        frame->drawFullScreen(); // clamped: stretched over the whole window
    }
    glow->drawAdditive(1.0f, 1.0f, 1.0f, 1.0f);
    // The closing capture's picture is never read (the next frame captures
    // afresh before any use); what it leaves behind is the frame target's
    // texture bound and the whole-window viewport.
    glBindTexture(GL_TEXTURE_2D, frame->texture);
    glViewport(0, 0, frame->screenWidth, frame->screenHeight);
}
