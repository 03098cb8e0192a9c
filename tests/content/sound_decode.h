// Reading the kit's sounds back in the content tests: little-endian fields of
// a WAV header, and Ogg Vorbis decoded whole, either with libvorbisfile (an
// independent decoder) or through the engine's own music stream.
#ifndef TESTS_CONTENT_SOUND_DECODE_H
#define TESTS_CONTENT_SOUND_DECODE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kit_test {

uint32_t le32(const std::vector<uint8_t> &b, size_t at);
uint16_t le16(const std::vector<uint8_t> &b, size_t at);

struct Decoded
{
    int channels = 0;
    long rate = 0;
    std::vector<int16_t> pcm;  // interleaved
    size_t frames() const { return channels ? pcm.size() / size_t(channels) : 0; }
    double seconds() const { return channels ? double(pcm.size()) / channels / rate : 0; }
};

// The samples of a canonical PCM WAV (the 44-byte header the kit writes);
// false when the file is shorter than that header.
bool decodeWav(const std::vector<uint8_t> &bytes, Decoded &out);

// With libvorbisfile, from memory; false when the file does not decode.
bool decodeOggReference(const std::vector<uint8_t> &bytes, Decoded &out);

// Through the engine's stream, opened for 16-bit output at the kit's rate; the
// rate comes from the Vorbis identification header, which the stream does not
// look at. False when the file does not open or reads short.
bool decodeOggWithEngine(const std::vector<uint8_t> &bytes, Decoded &out);

} // namespace kit_test

#endif
