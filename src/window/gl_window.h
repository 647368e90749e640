// The show's one window with its display mode and OpenGL context.
#pragma once
#include <cstdint>
#include <functional>

namespace platform {
struct VideoWindow;
}

class GLWindow {
public:
    // width and height are the client size in pixels (and the display mode in
    // full screen); bits is the colour depth; title must outlive the window.
    // On return the GL context is current, unless a step failed: then a
    // message box has been shown and isReady() is false.
    GLWindow(int width, int height, int bits, bool fullscreen, const char* title, bool hidden = false);
    ~GLWindow();
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    // Presents the frame and handles at most one pending event. A quit
    // request (window closed, Escape pressed) returns false and presents
    // nothing; the request is remembered in quitRequested().
    bool presentAndPump();

    void startMusic(const char* fileName, float startSeconds);
    uint32_t getSpectrum(float* buffer);

    bool isReady() const { return ready; }
    bool quitRequested() const { return quitSeen; }
    void* nativeHandle() const;

    // Called after the flush and before the swap of every presented frame:
    // offline rendering reads the back buffer here.
    void setPresentHook(std::function<void()> hook) { presentHook = std::move(hook); }
    // Called right after the swap (offline timing waits for the frame here).
    void setAfterPresentHook(std::function<void()> hook) { afterPresentHook = std::move(hook); }

private:
    platform::VideoWindow* window = nullptr;
    bool ready = false;
    bool quitSeen = false;
    std::function<void()> presentHook;
    std::function<void()> afterPresentHook;
};
