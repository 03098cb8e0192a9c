#include "engine/media/HAudioDevice.h"

HAudioDevice::HAudioDevice()
    : m_reserved(nullptr), m_channels(0), m_bits(0), m_frequency(0)
{
}

HAudioDevice::~HAudioDevice()
{
}

void HAudioDevice::destroy(HAudioDevice *device)
{
    if (!device)
        return;
    device->destroyAudioDevice();
    delete device;
}

bool HAudioDevice::createAudioDevice(HStreamingAudioSource *, int32_t channels, int32_t bits,
                                     int32_t frequency)
{
    m_channels = channels;
    m_bits = bits;
    m_frequency = frequency;
    return true;
}

HNullAudioDevice::HNullAudioDevice()
{
}

HNullAudioDevice::~HNullAudioDevice()
{
}

void HNullAudioDevice::pause()
{
}

void HNullAudioDevice::resume()
{
}

bool HNullAudioDevice::createAudioDevice(HStreamingAudioSource *, int32_t, int32_t, int32_t)
{
    return true;
}

void HNullAudioDevice::destroyAudioDevice()
{
}

void HNullAudioDevice::lock()
{
}

void HNullAudioDevice::unlock()
{
}
