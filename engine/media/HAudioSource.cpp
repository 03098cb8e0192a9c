#include "engine/media/HAudioSource.h"

HStreamingAudioSource::HStreamingAudioSource()
    : m_channels(0), m_frequency(0), m_bits(0), m_paused(0)
{
}

HStreamingAudioSource::~HStreamingAudioSource()
{
}

void HStreamingAudioSource::setPaused(bool paused)
{
    m_paused = paused ? 1 : 0;
}

bool HStreamingAudioSource::isPaused() const
{
    return m_paused != 0;
}

int32_t HStreamingAudioSource::getChannels() const
{
    return m_channels;
}

int32_t HStreamingAudioSource::getFrequency() const
{
    return m_frequency;
}

void HStreamingAudioSource::setFormat(int32_t channels, int32_t bits, int32_t frequency)
{
    m_channels = channels;
    m_bits = bits;
    m_frequency = frequency;
}
