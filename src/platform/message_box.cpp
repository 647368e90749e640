#include "platform/message_box.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

namespace platform {
namespace {
MessageBoxObserver observer;

bool someoneCanAnswer()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) {
        // Video not initialised: a box needs a display server.
        const char* env = SDL_getenv("SDL_VIDEODRIVER");
        if (env && (std::strcmp(env, "offscreen") == 0 || std::strcmp(env, "dummy") == 0))
            return false;
        return SDL_getenv("DISPLAY") != nullptr || SDL_getenv("WAYLAND_DISPLAY") != nullptr;
    }
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}
} // namespace

void showMessageBox(const char* text, const char* caption, WindowHandle owner)
{
    if (observer)
        observer(caption ? caption : "", text ? text : "");
    if (someoneCanAnswer() &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, static_cast<SDL_Window*>(owner)) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

void setMessageBoxObserver(MessageBoxObserver o) { observer = std::move(o); }

} // namespace platform
