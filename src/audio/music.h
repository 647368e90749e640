// The show's music: one Ogg Vorbis stream played once, and the spectrum of
// what is heard. Main-thread API; decoding runs on the audio thread.
#pragma once
#include <cstdint>

// The stream handle: 0 while no stream exists.
extern uint32_t musicStream;
// Owner window of the music's message boxes.
extern void* musicWindow;
// 256 magnitudes of a 512-sample FFT of the mono mix being heard, refreshed
// once per frame; all zero until the first refresh that finds a stream.
constexpr int musicSpectrumSize = 256;
extern float musicSpectrum[musicSpectrumSize];

// Opens the audio output (or, for offline rendering, nothing). "BASS error"
// when there is no output.
void initMusic(void* window);
// Opens the stream. "BASS error, file not found?" when it cannot.
void loadMusic(const char* fileName);
// Starts playback, then seeks to `startSeconds`. Returns false when the
// seek did not happen.
bool playMusic(double startSeconds);
// Fills 256 magnitudes into `buffer`; returns the bytes written, or
// 0xFFFFFFFF (and leaves the buffer alone) without a stream.
uint32_t getMusicSpectrum(float* buffer);

// Offline rendering: no sound; the spectrum follows the tick counter from
// the moment playMusic ran. Call before initMusic.
void setMusicOffline(bool offline);
// Frames of the stream heard so far (for tests and diagnostics).
int64_t musicHeardFrame();
// Releases the device and the stream; the music globals return to zero.
void shutdownMusic();
