// The engine's producer of PCM bytes, and the decoded sample record that the
// loaders make, the sound manager caches and the mixer plays.
#ifndef ENGINE_MEDIA_HAUDIOSOURCE_H
#define ENGINE_MEDIA_HAUDIOSOURCE_H

#include <cstdint>

// A decoded sample. 8-bit data is unsigned (128 is silence), 16-bit data
// signed little-endian; stereo data is interleaved left, right.
struct HAudioBufferTemplate
{
    uint8_t *data;     // owned by whoever holds the template in the cache
    int32_t channels;  // 1 or 2
    int32_t bits;      // 8 or 16
    int32_t frequency; // Hz
    int32_t size;      // bytes of data
};

// Asked by the audio device for each output buffer. The format fields are
// set by the derived class (or setFormat).
class HStreamingAudioSource
{
public:
    HStreamingAudioSource();
    virtual ~HStreamingAudioSource();

    HStreamingAudioSource(const HStreamingAudioSource &) = delete;
    HStreamingAudioSource &operator=(const HStreamingAudioSource &) = delete;

    virtual bool open() = 0;
    virtual void close() = 0;
    // Fills up to `length` bytes; answers the number produced, 0 when it has
    // none.
    virtual int32_t readNextChunk(void *buffer, int32_t length) = 0;
    virtual void setPaused(bool paused);
    virtual bool isPaused() const;
    virtual int32_t getChannels() const;
    virtual int32_t getFrequency() const;
    virtual void setFormat(int32_t channels, int32_t bits, int32_t frequency);

    int32_t getBits() const { return m_bits; }

protected:
    int32_t m_channels;
    int32_t m_frequency; // samples per second
    int32_t m_bits;      // bits per sample, 8 or 16
    uint8_t m_paused;
};

#endif
