#include "app/offline_presenter.h"

#include "app/frame_timer.h"
#include "app/schedule.h"
#include "app/terminal_progress.h"
#include "app/video_recorder.h"
#include "platform/gl.h"
#include "platform/png_writer.h"
#include "platform/tick_clock.h"

#include <cstdio>
#include <cstdlib>

uint32_t offlineFrameTime(int frameIndex, int fps)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(frameIndex) * 1000u / static_cast<uint64_t>(fps));
}

int offlineFrameCount(uint32_t startMs, int fps)
{
    int k = 0;
    while (startMs + offlineFrameTime(k, fps) < showEndMs)
        ++k;
    return k;
}

OfflinePresenter::OfflinePresenter(OfflineOutputs outputs, int fps_, int width_, int height_)
    : out(std::move(outputs)), fps(fps_), width(width_), height(height_)
{
    if (!out.framesDir.empty() || out.recorder)
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
}

void OfflinePresenter::setPhase(Phase p)
{
    phase = p;
    if (p == Phase::show) {
        showClockBase = platform::getTickCount();
        if (out.timer)
            out.timer->restart();
    }
}

void OfflinePresenter::capture()
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

void OfflinePresenter::beforeSwap()
{
    char name[64];
    if (phase == Phase::loading) {
        ++loadingIndex;
        if (out.framesDir.empty())
            return;
        capture();
        std::snprintf(name, sizeof name, "/loading_%02d.png", loadingIndex);
        if (!platform::writePngBottomUp(out.framesDir + name, width, height, pixels.data()))
            std::fprintf(stderr, "quorblestration9: cannot write %s%s\n", out.framesDir.c_str(), name);
        return;
    }
    if (phase != Phase::show || pixels.empty())
        return;
    capture();
    if (!out.framesDir.empty()) {
        std::snprintf(name, sizeof name, "/frame_%06d.png", frameIndex);
        if (!platform::writePngBottomUp(out.framesDir + name, width, height, pixels.data()))
            std::fprintf(stderr, "quorblestration9: cannot write %s%s\n", out.framesDir.c_str(), name);
    }
    if (out.recorder && !out.recorder->writeFrame(pixels.data(), pixels.size())) {
        out.recorder->abandon();
        std::fprintf(stderr, "\nquorblestration9: ffmpeg stopped taking frames; no video was written\n");
        std::exit(1);
    }
}

void OfflinePresenter::afterSwap()
{
    if (phase != Phase::show)
        return;
    if (out.timer) {
        // The offscreen driver defers its work: wait for it, or nothing is measured.
        glFinish();
        out.timer->markShowFrame(segmentAt(platform::getTickCount() - showStart));
    }
    ++frameIndex;
    if (out.progress)
        out.progress->update(frameIndex);
    platform::setVirtualTime(showClockBase + offlineFrameTime(frameIndex, fps));
}
