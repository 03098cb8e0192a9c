// The software mixer: eight sample voices over one optional music stream,
// handed to the audio device as its streaming source.
//
// readNextChunk runs on the audio thread; everything else on the main
// thread. Every main-thread write to the voices, the music stream and the
// volumes is made while holding the lock of the audio device that reads the
// mixer, which the device's thread holds around each read, so a chunk never
// sees a half-written voice (say, a new data pointer with the previous,
// longer sample count). Without a device nothing reads concurrently and
// nothing is locked.
#ifndef ENGINE_MEDIA_HAUDIOMIXER_H
#define ENGINE_MEDIA_HAUDIOMIXER_H

#include <cstdint>
#include <cstring>

#include "engine/media/HAudioSource.h"

class HAudioDevice;
class HCompressedAudioStream;

// One voice of the mixer. A voice is free when data is null and active when
// data is set and it is not paused.
struct HMixerVoice
{
    const uint8_t *data; // the sample's PCM bytes; not owned
    int32_t channels;
    int32_t bits;
    int32_t frequency;
    int32_t size;        // bytes
    uint8_t paused;      // 1 on a free voice
    int32_t position;    // next value, in values of the sample's own width
    uint8_t volume;      // 0..255
    uint8_t spare;       // stored when a sample starts, read nowhere
    int32_t loops;       // 0 once, n further times, -1 for ever
    int32_t sampleCount; // values in the sample, whole frames only

    void reset();
    bool isActive() const { return data != nullptr && paused == 0; }

    // Each yields the next value or frame scaled by the volume and advances;
    // a free voice yields silence and stays where it is.
    int32_t readSample8();
    void readFrame16(int32_t &left, int32_t &right);
    void readFrame8(int32_t &left, int32_t &right);
    // readFrame16 for `frames` frames in a row, added into interleaved
    // left/right accumulators: the same result, without the per-frame tests.
    void addFrames16(int32_t *accumulators, int32_t frames);

private:
    static int32_t load16(const uint8_t *p)
    {
        int16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    void m_advance(int32_t step)
    {
        position += step;
        if (position >= sampleCount)
            m_endOfSample();
    }
    void m_endOfSample();
};

inline int32_t HMixerVoice::readSample8()
{
    if (!data)
        return 0;
    const int32_t out = static_cast<int8_t>(((data[position] - 128) * volume) >> 8);
    m_advance(1);
    return out;
}

inline void HMixerVoice::readFrame16(int32_t &left, int32_t &right)
{
    if (!data) {
        left = right = 0;
        return;
    }
    const uint8_t *p = data + position * 2;
    left = (load16(p) * volume) >> 8;
    if (channels == 2) {
        right = (load16(p + 2) * volume) >> 8;
        m_advance(2);
    } else {
        right = left;
        m_advance(1);
    }
}

inline void HMixerVoice::readFrame8(int32_t &left, int32_t &right)
{
    if (!data) {
        left = right = 0;
        return;
    }
    const uint8_t *p = data + position;
    left = static_cast<int8_t>(((p[0] - 128) * volume) >> 8);
    if (channels == 2) {
        right = static_cast<int8_t>(((p[1] - 128) * volume) >> 8);
        m_advance(2);
    } else {
        right = left;
        m_advance(1);
    }
}

inline void HMixerVoice::addFrames16(int32_t *acc, int32_t frames)
{
    while (frames > 0 && data) {
        // Whole frames left before the end test fires (the count is a
        // multiple of the channels).
        const int32_t left = (sampleCount - position) / channels;
        const int32_t run = frames < left ? frames : left;
        const uint8_t *p = data + position * 2;
        const int32_t v = volume;
        if (channels == 2) {
            for (int32_t i = 0; i < run; ++i) {
                acc[2 * i] += (load16(p + 4 * i) * v) >> 8;
                acc[2 * i + 1] += (load16(p + 4 * i + 2) * v) >> 8;
            }
        } else {
            for (int32_t i = 0; i < run; ++i) {
                const int32_t s = (load16(p + 2 * i) * v) >> 8;
                acc[2 * i] += s;
                acc[2 * i + 1] += s;
            }
        }
        acc += 2 * run;
        frames -= run;
        m_advance(run * channels);
    }
}

class HAudioMixerStreamingAudioSource : public HStreamingAudioSource
{
public:
    static constexpr int kVoiceCount = 8;
    // The music is read through a fixed stack buffer of this many bytes:
    // 4096 frames of 16-bit stereo, the largest chunk the device asks for.
    static constexpr int32_t kMusicScratchBytes = 16384;

    HAudioMixerStreamingAudioSource();
    ~HAudioMixerStreamingAudioSource() override;

    // Answers true and does nothing else.
    bool open() override;
    // Frees all voices; the music stream stays set.
    void close() override;
    // Fills the buffer with music (or silence) and the active voices mixed
    // over it; silence throughout while the mixer is paused, though the
    // voices and the music advance all the same. Answers the length.
    int32_t readNextChunk(void *buffer, int32_t length) override;
    void setPaused(bool paused) override;

    // 0 and the voice index in *voice (when given) on success; -2 for a bad
    // request (no template or data, loops below -1, a width, rate or channel
    // count the mixer cannot play, less than one whole frame); -1 when no
    // voice is free.
    int32_t playSample(int32_t *voice, const HAudioBufferTemplate *sample, uint8_t volume,
                       uint8_t spare, int32_t loops);
    // Makes the stream the music (writing 0 to *handle and storing the
    // volume) unless it already is. Answers 0. The stream is not owned.
    int32_t playStream(int32_t *handle, HCompressedAudioStream *stream, uint8_t volume);
    void stopStream();
    virtual void setStreamVolume(uint8_t volume);

    // True when a voice, playing or paused, holds this data pointer.
    bool isSamplePlaying(const void *data);

    // Frees every voice that holds this data pointer, so the data can be
    // freed without the audio thread reading it afterwards.
    void stopSample(const void *data);

    // Each does nothing for an index outside 0..7.
    void setVoicePaused(int32_t voice, uint8_t paused);
    void rewindVoice(int32_t voice);
    void stopVoice(int32_t voice);
    void setVoiceVolume(int32_t voice, uint8_t volume);

    // The device whose thread reads this mixer, locked around every
    // main-thread change; null (the default) while none does. Set once the
    // device is created, cleared before it is destroyed. Not owned.
    void setAudioDevice(HAudioDevice *device) { m_device = device; }
    HAudioDevice *getAudioDevice() const { return m_device; }

    // For inspection (tests, the application's bookkeeping). The voice is a
    // copy taken under the device's lock: the audio thread advances and
    // frees voices while it mixes.
    HMixerVoice getVoice(int32_t voice) const;
    HCompressedAudioStream *getMusicStream() const { return m_musicStream; }
    uint8_t getStreamVolume() const { return m_musicVolume; }

private:
    // Writes the music into the start of the buffer; answers the bytes
    // written (0 for no music).
    int32_t m_readMusic(uint8_t *out, int32_t length);
    void m_mixStereo16(uint8_t *out, int32_t frames);
    void m_mixMono8(uint8_t *out, int32_t count);
    void m_mixStereo8(uint8_t *out, int32_t frames);

    HMixerVoice m_voices[kVoiceCount];
    HCompressedAudioStream *m_musicStream; // not owned
    uint8_t m_musicVolume;
    HAudioDevice *m_device; // not owned; read and written on the main thread only
};

#endif
