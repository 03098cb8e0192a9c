// Audio devices: connect one streaming source (the mixer) to the sound
// output. HNullAudioDevice plays nothing and never fails; the SDL device
// lives with the SDL back end (engine/media/sdl), which also defines the
// factory HAudioDevice::create, so a program that creates devices links
// engine_media_sdl.
#ifndef ENGINE_MEDIA_HAUDIODEVICE_H
#define ENGINE_MEDIA_HAUDIODEVICE_H

#include <cstdint>

#include "engine/media/HSystemDevice.h"

class HCvarManager;
class HStreamingAudioSource;

class HAudioDevice : public HSystemDevice
{
public:
    HAudioDevice();
    ~HAudioDevice() override;

    HAudioDevice(const HAudioDevice &) = delete;
    HAudioDevice &operator=(const HAudioDevice &) = delete;

    // "c_soundDriver" equal to "null" (any case) makes the silent device,
    // anything else (a missing variable included) the SDL device. Answers
    // the device once createAudioDevice succeeded on it, else null.
    static HAudioDevice *create(HCvarManager *cvars, HStreamingAudioSource *source,
                                int32_t channels, int32_t bits, int32_t frequency);
    // destroyAudioDevice, then delete; null is fine.
    static void destroy(HAudioDevice *device);

    virtual void pause() = 0;
    virtual void resume() = 0;
    // Stores channels, bits and frequency; answers true.
    virtual bool createAudioDevice(HStreamingAudioSource *source, int32_t channels, int32_t bits,
                                   int32_t frequency);
    virtual void destroyAudioDevice() = 0;
    // Held by the main thread around a change to what the source's reader
    // uses; the device's own thread holds it while it asks the source for a
    // buffer. Not recursive.
    virtual void lock() = 0;
    virtual void unlock() = 0;

    int32_t getChannels() const { return m_channels; }
    int32_t getBits() const { return m_bits; }
    int32_t getFrequency() const { return m_frequency; }

protected:
    void *m_reserved; // always null; kept where the input device keeps its manager
    int32_t m_channels;
    int32_t m_bits;
    int32_t m_frequency;
};

// Lets the game run silent: nothing is opened, and the source is never read.
class HNullAudioDevice : public HAudioDevice
{
public:
    HNullAudioDevice();
    ~HNullAudioDevice() override;

    void pause() override;
    void resume() override;
    // Answers true without storing anything.
    bool createAudioDevice(HStreamingAudioSource *source, int32_t channels, int32_t bits,
                           int32_t frequency) override;
    void destroyAudioDevice() override;
    // Nothing reads the source, so there is nothing to hold off.
    void lock() override;
    void unlock() override;
};

#endif
