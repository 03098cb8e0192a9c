#include "engine/media/sdl/HSDLAudioDevice.h"

#include <SDL.h>

#include "engine/core/HCvarManager.h"
#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/media/HAudioSource.h"

namespace {

void s_audioCallback(void *userData, Uint8 *stream, int length)
{
    // SDL has already filled the buffer with silence, which stands without a source.
    if (userData)
        static_cast<HStreamingAudioSource *>(userData)->readNextChunk(stream, length);
}

} // namespace

HAudioDevice *HAudioDevice::create(HCvarManager *cvars, HStreamingAudioSource *source,
                                   int32_t channels, int32_t bits, int32_t frequency)
{
    const char *driver = cvars ? cvars->getVariableString("c_soundDriver") : nullptr;
    HAudioDevice *device;
    if (driver && strCaseCompare(driver, "null") == 0)
        device = new HNullAudioDevice();
    else
        device = new HSDLAudioDevice();
    if (!device->createAudioDevice(source, channels, bits, frequency)) {
        delete device;
        return nullptr;
    }
    return device;
}

HSDLAudioDevice::HSDLAudioDevice()
    : m_source(nullptr)
{
}

HSDLAudioDevice::~HSDLAudioDevice()
{
}

uint16_t HSDLAudioDevice::s_samplesForFrequency(int32_t frequency)
{
    if (frequency <= 11025)
        return 512;
    if (frequency <= 22050)
        return 1024;
    if (frequency <= 44100)
        return 2048;
    return 4096;
}

bool HSDLAudioDevice::createAudioDevice(HStreamingAudioSource *source, int32_t channels,
                                        int32_t bits, int32_t frequency)
{
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE) == -1) {
        alertBox("createAudioDevice: SDL_Init() failed: %s", SDL_GetError());
        return false;
    }

    SDL_AudioSpec spec;
    SDL_memset(&spec, 0, sizeof spec);
    spec.freq = frequency;
    spec.format = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    spec.channels = static_cast<Uint8>(channels);
    spec.samples = s_samplesForFrequency(frequency);
    spec.callback = s_audioCallback;
    spec.userdata = source;
    // No obtained spec: SDL converts, so the callback always sees the
    // requested format.
    if (SDL_OpenAudio(&spec, nullptr) == -1) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }

    HAudioDevice::createAudioDevice(source, channels, bits, frequency);
    m_source = source;
    resume();
    return true;
}

void HSDLAudioDevice::destroyAudioDevice()
{
    SDL_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void HSDLAudioDevice::pause()
{
    SDL_PauseAudio(1);
}

void HSDLAudioDevice::resume()
{
    SDL_PauseAudio(0);
}

void HSDLAudioDevice::lock()
{
    SDL_LockAudio();
}

void HSDLAudioDevice::unlock()
{
    SDL_UnlockAudio();
}
