#include "platform/audio_device.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace platform {
namespace {
void SDLCALL audioCallback(void* user, Uint8* stream, int len)
{
    auto* pull = static_cast<AudioPullFn*>(user);
    const int channels = 2;
    const int frames = len / static_cast<int>(sizeof(float) * channels);
    std::memset(stream, 0, static_cast<size_t>(len));
    if (*pull)
        (*pull)(reinterpret_cast<float*>(stream), frames, channels);
}
} // namespace

AudioDevice::~AudioDevice() { close(); }

bool AudioDevice::open(int rate, int channels, AudioPullFn pull)
{
    close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    ownsAudio = true;
    pullFn = std::move(pull);
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = 1024;
    want.callback = audioCallback;
    want.userdata = &pullFn;
    SDL_AudioSpec have{};
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        close();
        return false;
    }
    obtainedRate = have.freq;
    obtainedChannels = have.channels;
    bufferFrames = have.samples;
    return true;
}

void AudioDevice::start()
{
    if (device)
        SDL_PauseAudioDevice(device, 0);
}

void AudioDevice::close()
{
    if (device) {
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (ownsAudio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        ownsAudio = false;
    }
}

} // namespace platform
