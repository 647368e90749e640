#include "app/main_loop.h"

#include "app/schedule.h"
#include "audio/music.h"
#include "platform/gl.h"
#include "platform/keyboard.h"
#include "platform/tick_clock.h"
#include "window/gl_window.h"

namespace {
// Every frame starts from identity matrices, a black frame and white colour.
void beginFrame()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
}
} // namespace

void runMainLoop(GLWindow& window, ShowAssets& assets, uint32_t showStart)
{
    int16_t escape = 0;
    while (!escape && !window.quitRequested()) {
        const uint32_t showTime = platform::getTickCount() - showStart;
        beginFrame();
        window.getSpectrum(musicSpectrum);
        drawShowFrame(showTime, assets);
        window.presentAndPump();
        escape = platform::pollEscape();
    }
}
