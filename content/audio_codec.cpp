// WAV and Ogg Vorbis writers for the kit's sounds.
#include "content/audio_synth.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace content {
namespace audio {

namespace {

// Little-endian stores into a buffer already sized for them.
void store32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void store16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void storeTag(uint8_t *p, const char *tag)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(tag[i]);
}

int16_t toPcm16(float v)
{
    const float s = std::round(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    return int16_t(s);
}

void appendPage(std::vector<uint8_t> &out, const ogg_page &page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

std::vector<uint8_t> encodeVorbis(const std::vector<const float *> &channels, size_t frames, float quality,
                                  int serial)
{
    const int nch = int(channels.size());
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, nch, kRate, quality) != 0) {
        vorbis_info_clear(&vi);
        throw std::runtime_error("Ogg Vorbis encoder refused the format");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    std::vector<uint8_t> out;
    ogg_page page;
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    // The headers end on a page of their own, as decoders expect.
    while (ogg_stream_flush(&os, &page) != 0)
        appendPage(out, page);

    auto drain = [&]() {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &packet) != 0) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0)
                    appendPage(out, page);
            }
        }
    };

    const size_t chunk = 4096;
    for (size_t done = 0; done < frames; done += chunk) {
        const size_t count = std::min(chunk, frames - done);
        float **buffer = vorbis_analysis_buffer(&vd, int(count));
        for (int c = 0; c < nch; ++c)
            for (size_t i = 0; i < count; ++i)
                buffer[c][i] = std::clamp(channels[size_t(c)][done + i], -1.0f, 1.0f);
        vorbis_analysis_wrote(&vd, int(count));
        drain();
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page) != 0)
        appendPage(out, page);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

} // namespace

std::vector<uint8_t> encodeWav(const Mono &samples)
{
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out(44 + size_t(dataBytes), 0);
    uint8_t *h = out.data();
    storeTag(h + 0, "RIFF");
    store32(h + 4, 36 + dataBytes);
    storeTag(h + 8, "WAVE");
    storeTag(h + 12, "fmt ");
    store32(h + 16, 16);
    store16(h + 20, 1);              // PCM
    store16(h + 22, 1);              // mono
    store32(h + 24, kRate);
    store32(h + 28, kRate * 2);      // byte rate
    store16(h + 32, 2);              // block align
    store16(h + 34, 16);             // bits per sample
    storeTag(h + 36, "data");
    store32(h + 40, dataBytes);
    for (size_t i = 0; i < samples.size(); ++i)
        store16(h + 44 + 2 * i, uint16_t(toPcm16(samples[i])));
    return out;
}

std::vector<uint8_t> encodeOgg(const Mono &samples, float quality, int serial)
{
    return encodeVorbis({samples.data()}, samples.size(), quality, serial);
}

std::vector<uint8_t> encodeOgg(const Stereo &samples, float quality, int serial)
{
    return encodeVorbis({samples.left.data(), samples.right.data()}, samples.frames(), quality, serial);
}

} // namespace audio
} // namespace content
