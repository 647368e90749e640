#include "app/offline_presenter.h"

#include "platform/gl.h"
#include "platform/png_writer.h"
#include "platform/tick_clock.h"

#include <cstdio>

uint32_t offlineFrameTime(int frameIndex, int fps)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(frameIndex) * 1000u / static_cast<uint64_t>(fps));
}

OfflinePresenter::OfflinePresenter(std::string framesDir, int fps_, int width_, int height_)
    : dir(std::move(framesDir)), fps(fps_), width(width_), height(height_)
{
    if (!dir.empty())
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
}

void OfflinePresenter::setPhase(Phase p)
{
    phase = p;
    if (p == Phase::show)
        showClockBase = platform::getTickCount();
}

bool OfflinePresenter::readBackBuffer()
{
    if (pixels.empty())
        return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return true;
}

void OfflinePresenter::onPresent()
{
    char name[64];
    switch (phase) {
    case Phase::loading:
        ++loadingIndex;
        if (readBackBuffer()) {
            std::snprintf(name, sizeof name, "/loading_%02d.png", loadingIndex);
            if (!platform::writePngBottomUp(dir + name, width, height, pixels.data()))
                std::fprintf(stderr, "quorblestration9: cannot write %s%s\n", dir.c_str(), name);
        }
        break;
    case Phase::between:
        break;
    case Phase::show:
        if (readBackBuffer()) {
            std::snprintf(name, sizeof name, "/frame_%06d.png", frameIndex);
            if (!platform::writePngBottomUp(dir + name, width, height, pixels.data()))
                std::fprintf(stderr, "quorblestration9: cannot write %s%s\n", dir.c_str(), name);
        }
        ++frameIndex;
        platform::setVirtualTime(showClockBase + offlineFrameTime(frameIndex, fps));
        break;
    }
}
