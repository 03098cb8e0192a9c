// Samples and stand-in music streams for the mixer tests.
#ifndef TESTS_ENGINE_MEDIA_AUDIO_AUDIO_TEST_SUPPORT_H
#define TESTS_ENGINE_MEDIA_AUDIO_AUDIO_TEST_SUPPORT_H

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/media/HAudioMixer.h"
#include "engine/media/HOggVorbisAudioStream.h"

namespace tilmar_test {

// A sample whose bytes sit in a heap block of exactly their size, so a read
// past the end is caught by the address sanitizer.
class TestSample
{
public:
    static TestSample pcm16(int channels, const std::vector<int16_t> &values, int frequency = 22050)
    {
        TestSample s(values.size() * 2);
        std::memcpy(s.m_bytes.data(), values.data(), values.size() * 2);
        s.m_template = {s.m_bytes.data(), channels, 16, frequency, static_cast<int32_t>(values.size() * 2)};
        return s;
    }
    static TestSample pcm8(int channels, const std::vector<uint8_t> &values, int frequency = 22050)
    {
        TestSample s(values.size());
        std::memcpy(s.m_bytes.data(), values.data(), values.size());
        s.m_template = {s.m_bytes.data(), channels, 8, frequency, static_cast<int32_t>(values.size())};
        return s;
    }

    TestSample(TestSample &&) = default;
    TestSample(const TestSample &) = delete;
    TestSample &operator=(const TestSample &) = delete;

    HAudioBufferTemplate *get() { return &m_template; }
    HAudioBufferTemplate copy() const { return m_template; }
    const uint8_t *data() const { return m_bytes.data(); }

private:
    explicit TestSample(size_t size) : m_bytes(size) {}
    std::vector<uint8_t> m_bytes;
    HAudioBufferTemplate m_template{};
};

// A music stream that hands out a counting pattern of 16-bit values and
// records how much it was asked for.
class FakeMusicStream : public HCompressedAudioStream
{
public:
    explicit FakeMusicStream(int channels, int32_t limitPerRead = -1)
        : m_limit(limitPerRead)
    {
        m_channels = channels;
        m_bits = 16;
        m_frequency = 22050;
    }
    bool open() override { return true; }
    void close() override {}
    void rewind() override { m_next = 0; }
    int32_t getLength() override { return 0; }
    int32_t readNextChunk(void *buffer, int32_t length) override
    {
        asked.push_back(length);
        int32_t bytes = m_limit >= 0 && m_limit < length ? m_limit : length;
        bytes &= ~1;
        int16_t *out = static_cast<int16_t *>(buffer);
        for (int32_t i = 0; i < bytes / 2; ++i)
            out[i] = valueAt(m_next++);
        return bytes;
    }
    static int16_t valueAt(int32_t i) { return static_cast<int16_t>((i % 50) * 1000 - 25000); }

    std::vector<int32_t> asked;

private:
    int32_t m_limit;
    int32_t m_next = 0;
};

// Reads `frames` stereo 16-bit frames from the mixer.
inline std::vector<int16_t> mixFrames(HAudioMixerStreamingAudioSource &mixer, int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    mixer.readNextChunk(out.data(), frames * 4);
    return out;
}

} // namespace tilmar_test

#endif
