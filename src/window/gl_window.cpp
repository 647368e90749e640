#include "window/gl_window.h"

#include "audio/music.h"
#include "platform/gl.h"
#include "platform/message_box.h"
#include "platform/video.h"

#include <cstdio>
#include <string>

namespace {
struct Failure {
    const char* text;
    const char* caption;
    bool owned;
};

// What the user is told for each step that can fail; window creation itself
// fails silently here and is explained on stderr by the caller.
Failure failureFor(platform::VideoStep step)
{
    using platform::VideoStep;
    switch (step) {
    case VideoStep::initVideo: return {"Unable to register window class", "GLWindow::GLWindow", false};
    case VideoStep::desktopMode: return {"Unable to get displaysettings", "Error", false};
    case VideoStep::fullscreenMode: return {"Unable to switch to fullscreen", "GLWindow::GLWindow", false};
    case VideoStep::choosePixelFormat: return {"Unable to find a suitable pixelformat", "GLWindow::GLWindow", true};
    case VideoStep::setPixelFormat: return {"Unable to set pixel format", "GLWindow::GLWindow", true};
    case VideoStep::createContext: return {"Unable to create HRC", "GLWindow::GLWindow", true};
    case VideoStep::makeCurrent: return {"Unable to select HRC", "GLWindow::GLWindow", true};
    default: return {nullptr, nullptr, false};
    }
}
} // namespace

GLWindow::GLWindow(int width, int height, int bits, bool fullscreen, const char* title, bool hidden)
{
    if (width <= 0 || height <= 0) {
        // Refused before any window exists: an empty window cannot show a frame.
        const std::string text = "Invalid window size " + std::to_string(width) + " x " + std::to_string(height) +
                                 ": width and height must be positive";
        platform::showMessageBox(text.c_str(), "GLWindow::GLWindow");
        return;
    }
    platform::VideoRequest request;
    request.width = width;
    request.height = height;
    request.bits = bits;
    request.fullscreen = fullscreen;
    request.hidden = hidden;
    request.title = title;
    platform::VideoStep failed = platform::VideoStep::ok;
    window = platform::createVideoWindow(request, failed);
    if (failed != platform::VideoStep::ok) {
        const std::string why = platform::videoErrorText();
        const Failure f = failureFor(failed);
        if (f.text)
            platform::showMessageBox(f.text, f.caption, f.owned ? platform::videoWindowHandle(window) : nullptr);
        if (!why.empty())
            std::fprintf(stderr, "quorblestration9: %s\n", why.c_str());
        return;
    }
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glEnable(GL_CULL_FACE);
    ready = true;
}

GLWindow::~GLWindow() { platform::destroyVideoWindow(window); }

void* GLWindow::nativeHandle() const { return platform::videoWindowHandle(window); }

bool GLWindow::presentAndPump()
{
    const platform::VideoEvent event = platform::pollOneVideoEvent();
    if (event == platform::VideoEvent::quitRequest) {
        quitSeen = true;
        return false;
    }
    if (!ready)
        return true;
    glFlush();
    if (presentHook)
        presentHook();
    platform::swapVideoWindow(window);
    if (afterPresentHook)
        afterPresentHook();
    return true;
}

void GLWindow::startMusic(const char* fileName, float startSeconds)
{
    initMusic(nativeHandle());
    loadMusic(fileName);
    playMusic(static_cast<double>(startSeconds));
}

uint32_t GLWindow::getSpectrum(float* buffer) { return getMusicSpectrum(buffer); }
