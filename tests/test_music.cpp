#include "audio/music.h"
#include "ogg_fixture.h"
#include "platform/message_box.h"
#include "platform/tick_clock.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;

std::string fixturePath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("q9_music_") + name)).string();
}

// Two seconds of a sine centred on `bin` of the 512-point analysis, then two
// seconds of silence.
std::string writeSineThenSilence(int bin, float amplitude)
{
    std::vector<float> samples(static_cast<size_t>(rate) * 4 * 2, 0.0f);
    const double freq = bin * static_cast<double>(rate) / 512.0;
    for (int i = 0; i < rate * 2; ++i) {
        const float v = amplitude * static_cast<float>(std::sin(2.0 * M_PI * freq * i / rate));
        samples[2 * i] = samples[2 * i + 1] = v;
    }
    const std::string path = fixturePath(("sine" + std::to_string(bin) + ".ogg").c_str());
    EXPECT_TRUE(writeOggFile(path, rate, 2, samples));
    return path;
}

struct Boxes {
    Boxes()
    {
        platform::setMessageBoxObserver([this](const std::string& c, const std::string& t) { seen.push_back(c + ": " + t); });
    }
    ~Boxes() { platform::setMessageBoxObserver(nullptr); }
    std::vector<std::string> seen;
};

TEST(MusicSpectrum, SineCentredOnABinPeaksThereWithHannNeighbours)
{
    const std::string path = writeSineThenSilence(20, 0.9f);
    platform::useVirtualClock(600000);
    setMusicOffline(true);
    initMusic(nullptr);
    loadMusic(path.c_str());
    ASSERT_NE(musicStream, 0u);
    playMusic(0.0);
    platform::setVirtualTime(600000 + 1000); // one second in: inside the sine
    float spectrum[musicSpectrumSize] = {};
    ASSERT_EQ(getMusicSpectrum(spectrum), musicSpectrumSize * sizeof(float));
    int peak = 0;
    for (int i = 0; i < musicSpectrumSize; ++i) {
        ASSERT_TRUE(std::isfinite(spectrum[i])) << i;
        if (spectrum[i] > spectrum[peak])
            peak = i;
    }
    EXPECT_EQ(peak, 20);
    EXPECT_NEAR(spectrum[20], 0.9f, 0.06f);
    // A Hann window puts half the peak into each neighbour and almost nothing beyond.
    EXPECT_NEAR(spectrum[19] / spectrum[20], 0.5f, 0.05f);
    EXPECT_NEAR(spectrum[21] / spectrum[20], 0.5f, 0.05f);
    EXPECT_LT(spectrum[23], 0.02f);
    EXPECT_LT(spectrum[17], 0.02f);

    platform::setVirtualTime(600000 + 3000); // in the silence
    ASSERT_NE(getMusicSpectrum(spectrum), 0xFFFFFFFFu);
    for (int i = 0; i < musicSpectrumSize; ++i)
        EXPECT_LT(spectrum[i], 1e-4f) << i;

    platform::setVirtualTime(600000 + 10000); // past the end of the stream
    ASSERT_NE(getMusicSpectrum(spectrum), 0xFFFFFFFFu);
    for (int i = 0; i < musicSpectrumSize; ++i)
        EXPECT_EQ(spectrum[i], 0.0f) << i;
    shutdownMusic();
}

TEST(MusicSpectrum, StartPositionSeeksIntoTheStream)
{
    const std::string path = writeSineThenSilence(40, 0.8f);
    platform::useVirtualClock(600000);
    setMusicOffline(true);
    initMusic(nullptr);
    loadMusic(path.c_str());
    playMusic(2.5); // into the silence
    platform::setVirtualTime(600000 + 100);
    float spectrum[musicSpectrumSize] = {};
    getMusicSpectrum(spectrum);
    EXPECT_LT(spectrum[40], 1e-3f);
    EXPECT_GE(musicHeardFrame(), static_cast<int64_t>(2.5 * rate));
    shutdownMusic();
}

TEST(MusicFailures, MissingFileShowsTwoBoxesInOrderAndStaysSilent)
{
    Boxes boxes;
    platform::useVirtualClock(600000);
    setMusicOffline(true);
    initMusic(nullptr);
    loadMusic("no-such-music.ogg");
    playMusic(0.0);
    EXPECT_EQ(boxes.seen, (std::vector<std::string>{"BASS: BASS error, file not found?",
                                                    "BASS: BASS error, can not play stream?"}));
    float spectrum[musicSpectrumSize] = {};
    EXPECT_EQ(getMusicSpectrum(spectrum), 0xFFFFFFFFu);
    for (float v : spectrum)
        EXPECT_EQ(v, 0.0f);
    shutdownMusic();
}

TEST(MusicFailures, NoAudioDeviceShowsAllThreeBoxes)
{
    const std::string path = writeSineThenSilence(10, 0.5f);
    setenv("SDL_AUDIODRIVER", "q9-no-such-driver", 1);
    Boxes boxes;
    setMusicOffline(false);
    initMusic(nullptr);
    loadMusic(path.c_str());
    playMusic(0.0);
    EXPECT_EQ(boxes.seen, (std::vector<std::string>{"BASS: BASS error", "BASS: BASS error, file not found?",
                                                    "BASS: BASS error, can not play stream?"}));
    EXPECT_EQ(musicStream, 0u);
    shutdownMusic();
}

TEST(MusicLive, DummyDevicePlaysAndAnalysesWhatIsHeard)
{
    const std::string path = writeSineThenSilence(30, 0.7f);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Boxes boxes;
    setMusicOffline(false);
    initMusic(nullptr);
    loadMusic(path.c_str());
    playMusic(0.0);
    ASSERT_TRUE(boxes.seen.empty()) << boxes.seen.front();
    // Wait until the device has pulled enough to analyse.
    for (int i = 0; i < 200 && musicHeardFrame() < 4096; ++i)
        SDL_Delay(10);
    ASSERT_GE(musicHeardFrame(), 4096);
    float spectrum[musicSpectrumSize] = {};
    ASSERT_NE(getMusicSpectrum(spectrum), 0xFFFFFFFFu);
    EXPECT_NEAR(spectrum[30], 0.7f, 0.07f);
    shutdownMusic();
}

} // namespace
