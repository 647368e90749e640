#include "platform/keyboard.h"

#include <SDL2/SDL.h>

namespace platform {
namespace {
bool watching = false;
bool pressedSincePoll = false;

int SDLCALL watchEscape(void*, SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN && event->key.keysym.sym == SDLK_ESCAPE)
        pressedSincePoll = true;
    return 1;
}
} // namespace

int16_t pollEscape()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return 0;
    if (!watching) {
        SDL_AddEventWatch(watchEscape, nullptr);
        watching = true;
    }
    SDL_PumpEvents();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    const bool down = keys && keys[SDL_SCANCODE_ESCAPE];
    const bool result = down || pressedSincePoll;
    pressedSincePoll = false;
    return result ? 1 : 0;
}

} // namespace platform
