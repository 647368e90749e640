#include "audio/ogg_decoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>

namespace audio {

struct OggDecoder::File {
    OggVorbis_File vf{};
};

OggDecoder::OggDecoder() = default;

OggDecoder::~OggDecoder()
{
    if (opened)
        ov_clear(&file->vf);
}

bool OggDecoder::open(const std::string& path)
{
    if (opened) {
        ov_clear(&file->vf);
        opened = false;
    }
    file = std::make_unique<File>();
    if (ov_fopen(path.c_str(), &file->vf) != 0)
        return false; // ov_fopen closes the file itself on failure
    opened = true;
    const vorbis_info* info = ov_info(&file->vf, -1);
    if (!info || info->channels < 1 || info->rate < 1000 || info->rate > 384000) {
        ov_clear(&file->vf);
        opened = false;
        return false;
    }
    sampleRate = static_cast<int>(info->rate);
    channelCount = info->channels;
    const ogg_int64_t total = ov_pcm_total(&file->vf, -1);
    frames = total > 0 ? total : 0;
    position = 0;
    return true;
}

int OggDecoder::readStereo(float* out, int maxFrames)
{
    if (!opened)
        return 0;
    int written = 0;
    int badReads = 0;
    while (written < maxFrames) {
        float** pcm = nullptr;
        int section = 0;
        const long got = ov_read_float(&file->vf, &pcm, maxFrames - written, &section);
        if (got == 0)
            break;
        if (got < 0) {
            // A hole in the stream: skip it, but never spin on a broken file.
            if (++badReads > 8)
                break;
            continue;
        }
        const vorbis_info* info = ov_info(&file->vf, section);
        const int ch = info ? info->channels : channelCount;
        for (long i = 0; i < got; ++i) {
            const float l = pcm[0][i];
            const float r = ch > 1 ? pcm[1][i] : l;
            out[2 * (written + i)] = l;
            out[2 * (written + i) + 1] = r;
        }
        written += static_cast<int>(got);
    }
    position += written;
    return written;
}

bool OggDecoder::seekFrame(int64_t frame)
{
    if (!opened)
        return false;
    frame = std::clamp<int64_t>(frame, 0, frames);
    if (ov_pcm_seek(&file->vf, frame) != 0)
        return false;
    position = frame;
    return true;
}

} // namespace audio
