// The audio device over SDL 1.2: SDL's audio thread asks the source for
// every output buffer through a callback.
#ifndef ENGINE_MEDIA_SDL_HSDLAUDIODEVICE_H
#define ENGINE_MEDIA_SDL_HSDLAUDIODEVICE_H

#include <cstdint>

#include "engine/media/HAudioDevice.h"

class HSDLAudioDevice : public HAudioDevice
{
public:
    HSDLAudioDevice();
    ~HSDLAudioDevice() override;

    // SDL_PauseAudio(1) / SDL_PauseAudio(0).
    void pause() override;
    void resume() override;
    // Opens SDL audio in the requested format (8 bits unsigned, anything
    // else signed 16-bit little-endian) with a buffer of 512, 1024, 2048 or
    // 4096 frames by frequency, and starts it. SDL converts to whatever the
    // hardware takes. Answers false when SDL cannot be set up.
    bool createAudioDevice(HStreamingAudioSource *source, int32_t channels, int32_t bits,
                           int32_t frequency) override;
    // Closes SDL audio (the callback has stopped when this returns).
    void destroyAudioDevice() override;
    // SDL_LockAudio / SDL_UnlockAudio: SDL holds the same lock around each
    // callback, so while it is held no buffer is being mixed.
    void lock() override;
    void unlock() override;

    HStreamingAudioSource *getSource() const { return m_source; }

    // Buffer length in frames that the device requests for a frequency.
    static uint16_t s_samplesForFrequency(int32_t frequency);

private:
    HStreamingAudioSource *m_source; // not owned
};

#endif
