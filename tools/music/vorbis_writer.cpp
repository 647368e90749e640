#include "vorbis_writer.hpp"

#include "dsp.hpp"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace q9music {

namespace {

constexpr int kSerial = 0x51390009;
constexpr std::size_t kChunk = 4096;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Owns the libvorbis/libogg state so every exit path releases it.
struct Encoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool dspReady = false, blockReady = false, streamReady = false;

    Encoder()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Encoder()
    {
        if (streamReady)
            ogg_stream_clear(&stream);
        if (blockReady)
            vorbis_block_clear(&block);
        if (dspReady)
            vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
};

void writePage(std::FILE* f, const ogg_page& page)
{
    if (std::fwrite(page.header, 1, page.header_len, f) != static_cast<std::size_t>(page.header_len) ||
        std::fwrite(page.body, 1, page.body_len, f) != static_cast<std::size_t>(page.body_len))
        throw std::runtime_error("write failed");
}

} // namespace

void writeOggVorbis(const std::string& path, const Stereo& mix, float quality, float scale)
{
    Encoder enc;
    if (vorbis_encode_init_vbr(&enc.info, 2, kRate, quality) != 0)
        throw std::runtime_error("vorbis_encode_init_vbr failed");
    vorbis_comment_add_tag(&enc.comment, "TITLE", "vemo");
    vorbis_comment_add_tag(&enc.comment, "ARTIST", "Quorblestration 9");

    if (vorbis_analysis_init(&enc.dsp, &enc.info) != 0)
        throw std::runtime_error("vorbis_analysis_init failed");
    enc.dspReady = true;
    vorbis_block_init(&enc.dsp, &enc.block);
    enc.blockReady = true;
    ogg_stream_init(&enc.stream, kSerial);
    enc.streamReady = true;

    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error("cannot open " + path);

    ogg_packet header, commentPacket, codebooks;
    vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &commentPacket, &codebooks);
    ogg_stream_packetin(&enc.stream, &header);
    ogg_stream_packetin(&enc.stream, &commentPacket);
    ogg_stream_packetin(&enc.stream, &codebooks);
    ogg_page page;
    // Audio starts on a fresh page, as players expect.
    while (ogg_stream_flush(&enc.stream, &page) != 0)
        writePage(file.get(), page);

    const std::size_t frames = mix.frames();
    std::size_t pos = 0;
    bool ended = false;
    while (!ended) {
        if (pos < frames) {
            const std::size_t count = std::min(kChunk, frames - pos);
            float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(count));
            for (std::size_t i = 0; i < count; ++i) {
                buffer[0][i] = mix.left[pos + i] * scale;
                buffer[1][i] = mix.right[pos + i] * scale;
            }
            vorbis_analysis_wrote(&enc.dsp, static_cast<int>(count));
            pos += count;
        } else {
            vorbis_analysis_wrote(&enc.dsp, 0); // end of stream
            ended = true;
        }

        while (vorbis_analysis_blockout(&enc.dsp, &enc.block) == 1) {
            vorbis_analysis(&enc.block, nullptr);
            vorbis_bitrate_addblock(&enc.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&enc.dsp, &packet) == 1) {
                ogg_stream_packetin(&enc.stream, &packet);
                while (ogg_stream_pageout(&enc.stream, &page) != 0)
                    writePage(file.get(), page);
            }
        }
    }
    // The last packet carries end-of-stream; push out its page.
    while (ogg_stream_flush(&enc.stream, &page) != 0)
        writePage(file.get(), page);
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error("write failed");
}

double decodedPeak(const std::string& path)
{
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0)
        throw std::runtime_error("cannot decode " + path);
    double peak = 0.0;
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        const long frames = ov_read_float(&vf, &pcm, 4096, &section);
        if (frames == OV_HOLE)
            continue;
        if (frames < 0) {
            ov_clear(&vf);
            throw std::runtime_error("decode error in " + path);
        }
        if (frames == 0)
            break;
        const int channels = ov_info(&vf, -1)->channels;
        for (int c = 0; c < channels; ++c)
            for (long i = 0; i < frames; ++i)
                peak = std::max(peak, static_cast<double>(std::fabs(pcm[c][i])));
    }
    ov_clear(&vf);
    return peak;
}

} // namespace q9music
