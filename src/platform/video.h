// Window, display mode and OpenGL context: the operating-system half of
// GLWindow. Every call is for the main thread.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct VideoWindow; // opaque

enum class VideoStep {
    ok,
    initVideo,      // no video subsystem or no display
    desktopMode,    // current display settings unreadable
    fullscreenMode, // the display cannot take the requested mode
    createWindow,
    choosePixelFormat,
    setPixelFormat,
    createContext,
    makeCurrent,
};

struct VideoRequest {
    int width = 0;
    int height = 0;
    int bits = 32;
    bool fullscreen = false;
    bool hidden = false; // offline rendering: never shown on screen
    const char* title = "";
};

// Builds as much as it can, in order; `failedStep` says where it stopped.
// The returned object is never null and is released by destroyVideoWindow.
VideoWindow* createVideoWindow(const VideoRequest& request, VideoStep& failedStep);
void destroyVideoWindow(VideoWindow* window);

// Owner handle for message boxes (null when no window exists).
void* videoWindowHandle(VideoWindow* window);

// Last error text of the video layer, for a diagnostic line on stderr.
std::string videoErrorText();

void swapVideoWindow(VideoWindow* window);

enum class VideoEvent { none, quitRequest, other };
// Removes at most one pending event; never waits.
VideoEvent pollOneVideoEvent();

} // namespace platform
