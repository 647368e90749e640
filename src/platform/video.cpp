#include "platform/video.h"

#include <SDL2/SDL.h>

namespace platform {

struct VideoWindow {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool ownsVideo = false;
};

namespace {
bool setGlAttributes(bool& profileOk)
{
    bool ok = true;
    ok &= SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8) == 0;
    ok &= SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8) == 0;
    ok &= SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8) == 0;
    ok &= SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) == 0;
    ok &= SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16) == 0;
    ok &= SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8) == 0;
    profileOk = SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY) == 0;
    // The show draws with OpenGL 1.1 and checks for shaders itself. SDL's
    // default request of 2.1 would refuse an older driver any context, and
    // the user would read "Unable to create HRC" instead of what is missing.
    // Drivers give the newest compatible version for a low request.
    ok &= SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1) == 0;
    ok &= SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1) == 0;
    return ok;
}
} // namespace

VideoWindow* createVideoWindow(const VideoRequest& request, VideoStep& failedStep)
{
    auto* result = new VideoWindow;
    failedStep = VideoStep::ok;

    // A hidden window needs no display: use the offscreen driver when there
    // is none, instead of failing on a missing X or Wayland server.
    if (request.hidden && !SDL_getenv("SDL_VIDEODRIVER") && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        failedStep = VideoStep::initVideo;
        return result;
    }
    result->ownsVideo = true;

    SDL_DisplayMode mode{};
    if (request.fullscreen) {
        SDL_DisplayMode desktop{};
        if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
            failedStep = VideoStep::desktopMode;
            return result;
        }
        SDL_DisplayMode want = desktop;
        want.w = request.width;
        want.h = request.height;
        want.format = request.bits >= 32 ? static_cast<Uint32>(SDL_PIXELFORMAT_RGB888) : desktop.format;
        want.refresh_rate = 0; // the refresh rate is not requested
        if (!SDL_GetClosestDisplayMode(0, &want, &mode) || mode.w != request.width || mode.h != request.height) {
            failedStep = VideoStep::fullscreenMode;
            return result;
        }
    }

    bool profileOk = true;
    const bool attributesOk = setGlAttributes(profileOk);

    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= request.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    if (request.fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    result->window = SDL_CreateWindow(request.title, 0, 0, request.width, request.height, flags);
    if (!result->window) {
        failedStep = VideoStep::createWindow;
        return result;
    }
    if (request.fullscreen) {
        if (SDL_SetWindowDisplayMode(result->window, &mode) != 0) {
            failedStep = VideoStep::fullscreenMode;
            return result;
        }
        SDL_ShowCursor(SDL_DISABLE); // never shown again, as on a demo party screen
    } else if (!request.hidden) {
        // Put the frame, not the client area, at the screen origin.
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(result->window, &top, &left, &bottom, &right) == 0)
            SDL_SetWindowPosition(result->window, left, top);
    }
    if (!attributesOk) {
        failedStep = VideoStep::choosePixelFormat;
        return result;
    }
    if (!profileOk) {
        failedStep = VideoStep::setPixelFormat;
        return result;
    }
    result->context = SDL_GL_CreateContext(result->window);
    if (!result->context) {
        failedStep = VideoStep::createContext;
        return result;
    }
    if (SDL_GL_MakeCurrent(result->window, result->context) != 0) {
        failedStep = VideoStep::makeCurrent;
        return result;
    }
    // No swap interval: frames go out as fast as the driver presents them.
    SDL_GL_SetSwapInterval(0);
    if (!request.hidden) {
        SDL_RaiseWindow(result->window);
    }
    return result;
}

void destroyVideoWindow(VideoWindow* window)
{
    if (!window)
        return;
    if (window->context) {
        SDL_GL_MakeCurrent(window->window, nullptr);
        SDL_GL_DeleteContext(window->context);
    }
    if (window->window)
        SDL_DestroyWindow(window->window);
    if (window->ownsVideo)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    delete window;
}

void* videoWindowHandle(VideoWindow* window) { return window ? window->window : nullptr; }

std::string videoErrorText() { return SDL_GetError(); }

void swapVideoWindow(VideoWindow* window)
{
    if (window && window->window && window->context)
        SDL_GL_SwapWindow(window->window);
}

VideoEvent pollOneVideoEvent()
{
    SDL_Event event;
    if (!SDL_PollEvent(&event))
        return VideoEvent::none;
    switch (event.type) {
    case SDL_QUIT:
        return VideoEvent::quitRequest;
    case SDL_WINDOWEVENT:
        return event.window.event == SDL_WINDOWEVENT_CLOSE ? VideoEvent::quitRequest : VideoEvent::other;
    case SDL_KEYDOWN:
        return event.key.keysym.sym == SDLK_ESCAPE ? VideoEvent::quitRequest : VideoEvent::other;
    default:
        return VideoEvent::other;
    }
}

} // namespace platform
