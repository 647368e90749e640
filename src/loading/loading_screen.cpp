#include "loading/loading_screen.h"

#include "effects/screen_quads.h"
#include "gfx/text_overlay.h"
#include "loading/progress_bar.h"
#include "platform/gl.h"
#include "window/gl_window.h"

#include <cstdio>

int updateLoadingScreen(GLWindow& window, ProgressBar* bar, GLWrapper::Texture background)
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);

    int result = 0;
    if (bar) {
        drawProgressBar(bar);
        if (bar->count > bar->total) {
            char warning[256];
            // Windows-1252, like the font's character codes: 0xE6 is "ae".
            std::snprintf(warning, sizeof warning, "Entries skulle v\xE6rt minst %d", bar->count);
            drawOverlayText(-2.0, -2.5, 1.5, warning);
            result = -1;
        } else {
            drawOverlayText(-2.0, -2.5, 1.5, bar->caption.c_str());
        }
        if (bar->status)
            drawOverlayText(-2.0, -4.5, 1.5, bar->status->c_str());
    }
    // Drawn last and slightly deeper, so it only fills what bar and text left.
    drawScreenImage(-1, 1, 1, -1, background);
    window.presentAndPump();
    return result;
}
