// Ogg Vorbis files made at test time with libvorbisenc, so the tests need no
// sound files of their own.
#ifndef TESTS_ENGINE_MEDIA_AUDIO_OGG_FIXTURE_H
#define TESTS_ENGINE_MEDIA_AUDIO_OGG_FIXTURE_H

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <vorbis/vorbisenc.h>

namespace tilmar_test {

// Encodes interleaved samples in -1..1 (frames * channels of them); an empty
// vector gives a stream of headers only.
inline std::string encodeOgg(int channels, long rate, const std::vector<float> &samples,
                             float quality = 0.3f)
{
    std::string out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);

    auto takePage = [&out](const ogg_page &page) {
        out.append(reinterpret_cast<const char *>(page.header), page.header_len);
        out.append(reinterpret_cast<const char *>(page.body), page.body_len);
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        takePage(page);

    auto drain = [&]() {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    takePage(page);
            }
        }
    };

    const long frames = static_cast<long>(samples.size()) / channels;
    for (long first = 0; first < frames; first += 1024) {
        const long count = frames - first < 1024 ? frames - first : 1024;
        float **buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        for (long i = 0; i < count; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = samples[(first + i) * channels + c];
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page) != 0)
        takePage(page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// A sine tone, the same on every channel, at half scale.
inline std::vector<float> sineTone(int channels, long rate, long frames, double hertz = 440.0)
{
    std::vector<float> samples(static_cast<size_t>(frames) * channels);
    for (long i = 0; i < frames; ++i) {
        const float v = static_cast<float>(0.5 * std::sin(2.0 * M_PI * hertz * i / rate));
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i) * channels + c] = v;
    }
    return samples;
}

} // namespace tilmar_test

#endif
