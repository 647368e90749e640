// Writes small Ogg Vorbis files for the music tests.
#pragma once
#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <string>
#include <vector>

// `samples` is interleaved; returns false when encoding failed.
inline bool writeOggFile(const std::string& path, int rate, int channels, const std::vector<float>& samples)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.6f) != 0) {
        vorbis_info_clear(&vi);
        std::fclose(out);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1234);
    ogg_packet header, comments, codes;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codes);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codes);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) {
        std::fwrite(page.header, 1, page.header_len, out);
        std::fwrite(page.body, 1, page.body_len, out);
    }
    const size_t frames = samples.size() / channels;
    size_t done = 0;
    bool eos = false;
    while (!eos) {
        const size_t chunk = std::min<size_t>(1024, frames - done);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(chunk));
            for (size_t i = 0; i < chunk; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = samples[(done + i) * channels + c];
            vorbis_analysis_wrote(&vd, static_cast<int>(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (!eos && ogg_stream_pageout(&os, &page)) {
                    std::fwrite(page.header, 1, page.header_len, out);
                    std::fwrite(page.body, 1, page.body_len, out);
                    eos = ogg_page_eos(&page) != 0;
                }
            }
        }
        if (chunk == 0)
            break;
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(out) == 0;
}
