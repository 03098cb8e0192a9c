#include "engine/media/HAudioMixer.h"

#include "engine/core/HMessages.h"
#include "engine/media/HAudioDevice.h"
#include "engine/media/HOggVorbisAudioStream.h"

namespace {

// Holds the reading device's lock for a main-thread write; without a device
// (offline mixing, tests) there is no other reader and nothing to hold.
class AudioLock
{
public:
    explicit AudioLock(HAudioDevice *device) : m_device(device)
    {
        if (m_device)
            m_device->lock();
    }
    ~AudioLock()
    {
        if (m_device)
            m_device->unlock();
    }
    AudioLock(const AudioLock &) = delete;
    AudioLock &operator=(const AudioLock &) = delete;

private:
    HAudioDevice *m_device;
};

// Frames mixed per pass: the voices are summed one after another into a
// block of 32-bit accumulators, then clamped once.
constexpr int32_t kBlockFrames = 512;

inline int32_t s_load16(const uint8_t *p)
{
    int16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void s_store16(uint8_t *p, int32_t value)
{
    const int16_t v = static_cast<int16_t>(value);
    std::memcpy(p, &v, sizeof v);
}

inline int32_t s_clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : (value > high ? high : value);
}

} // namespace

void HMixerVoice::reset()
{
    data = nullptr;
    channels = 0;
    bits = 0;
    frequency = 0;
    size = 0;
    position = 0;
    volume = 255;
    spare = 0;
    loops = 0;
    paused = 1;
}

void HMixerVoice::m_endOfSample()
{
    if (loops == 0) {
        reset();
        return;
    }
    position = 0;
    loops = loops - 1 >= 0 ? loops - 1 : -1;
}

HAudioMixerStreamingAudioSource::HAudioMixerStreamingAudioSource()
    : m_musicStream(nullptr), m_musicVolume(255), m_device(nullptr)
{
    m_channels = 0;
    m_frequency = 0;
    m_bits = 0;
    m_paused = 0;
    for (HMixerVoice &voice : m_voices) {
        voice.sampleCount = 0;
        voice.reset();
    }
}

HAudioMixerStreamingAudioSource::~HAudioMixerStreamingAudioSource()
{
}

bool HAudioMixerStreamingAudioSource::open()
{
    return true;
}

void HAudioMixerStreamingAudioSource::close()
{
    AudioLock lock(m_device);
    for (HMixerVoice &voice : m_voices)
        voice.reset();
}

void HAudioMixerStreamingAudioSource::setPaused(bool paused)
{
    AudioLock lock(m_device);
    m_paused = paused ? 1 : 0;
}

int32_t HAudioMixerStreamingAudioSource::playSample(int32_t *voiceOut,
                                                    const HAudioBufferTemplate *sample,
                                                    uint8_t volume, uint8_t spare, int32_t loops)
{
    if (!sample || loops < -1 || sample->bits != m_bits || sample->channels > m_channels ||
        sample->frequency != m_frequency)
        return -2;
    // The readers fetch a value before they test for the end, so a sample
    // must hold at least one whole frame and is played in whole frames only.
    if (!sample->data || sample->channels < 1 || (sample->bits != 8 && sample->bits != 16) ||
        sample->size < 0)
        return -2;
    int32_t count = sample->size / (sample->bits / 8);
    count -= count % sample->channels;
    if (count < sample->channels)
        return -2;

    AudioLock lock(m_device);
    for (int32_t i = 0; i < kVoiceCount; ++i) {
        HMixerVoice &voice = m_voices[i];
        if (voice.data)
            continue;
        voice.paused = 0;
        voice.data = sample->data;
        voice.channels = sample->channels;
        voice.bits = sample->bits;
        voice.frequency = sample->frequency;
        voice.size = sample->size;
        voice.loops = loops;
        voice.volume = volume;
        voice.spare = spare;
        voice.position = 0;
        voice.sampleCount = count;
        if (voiceOut)
            *voiceOut = i;
        return 0;
    }
    debugPrint("*WARNING* HAudioMixerStreamingAudioSource::playSample - out of voices\n");
    return -1;
}

int32_t HAudioMixerStreamingAudioSource::playStream(int32_t *handle, HCompressedAudioStream *stream,
                                                    uint8_t volume)
{
    if (stream == m_musicStream)
        return 0;
    {
        AudioLock lock(m_device);
        m_musicStream = stream;
        m_musicVolume = volume;
    }
    if (handle)
        *handle = 0;
    return 0;
}

void HAudioMixerStreamingAudioSource::stopStream()
{
    AudioLock lock(m_device);
    m_musicStream = nullptr;
}

void HAudioMixerStreamingAudioSource::setStreamVolume(uint8_t volume)
{
    AudioLock lock(m_device);
    m_musicVolume = volume;
}

bool HAudioMixerStreamingAudioSource::isSamplePlaying(const void *data)
{
    AudioLock lock(m_device);
    for (const HMixerVoice &voice : m_voices) {
        if (voice.data && voice.data == data)
            return true;
    }
    return false;
}

void HAudioMixerStreamingAudioSource::stopSample(const void *data)
{
    if (!data)
        return;
    AudioLock lock(m_device);
    for (HMixerVoice &voice : m_voices) {
        if (voice.data == data)
            voice.reset();
    }
}

HMixerVoice HAudioMixerStreamingAudioSource::getVoice(int32_t voice) const
{
    AudioLock lock(m_device);
    return m_voices[voice & 7];
}

void HAudioMixerStreamingAudioSource::setVoicePaused(int32_t voice, uint8_t paused)
{
    if (static_cast<uint32_t>(voice) > 7)
        return;
    AudioLock lock(m_device);
    m_voices[voice].paused = paused;
}

void HAudioMixerStreamingAudioSource::rewindVoice(int32_t voice)
{
    if (static_cast<uint32_t>(voice) > 7)
        return;
    AudioLock lock(m_device);
    m_voices[voice].position = 0;
}

void HAudioMixerStreamingAudioSource::stopVoice(int32_t voice)
{
    if (static_cast<uint32_t>(voice) > 7)
        return;
    AudioLock lock(m_device);
    m_voices[voice].reset();
}

void HAudioMixerStreamingAudioSource::setVoiceVolume(int32_t voice, uint8_t volume)
{
    if (static_cast<uint32_t>(voice) > 7)
        return;
    AudioLock lock(m_device);
    m_voices[voice].volume = volume;
}

int32_t HAudioMixerStreamingAudioSource::m_readMusic(uint8_t *out, int32_t length)
{
    // Music is 16-bit and only defined for a 16-bit stereo mixer; any other
    // pairing counts as no music rather than writing past the buffer.
    if (!m_musicStream || m_channels != 2 || m_bits != 16)
        return 0;
    const int32_t streamChannels = m_musicStream->getChannels();
    if (streamChannels != 1 && streamChannels != 2)
        return 0;

    int16_t scratch[kMusicScratchBytes / 2];
    int32_t want = streamChannels == 1 ? length / 2 : length;
    if (want > kMusicScratchBytes)
        want = kMusicScratchBytes;
    int32_t got = m_musicStream->readNextChunk(scratch, want);
    if (got <= 0)
        return 0;
    if (got > want)
        got = want;

    const int32_t values = got / 2;
    const int32_t volume = m_musicVolume;
    if (streamChannels == 2) {
        for (int32_t i = 0; i < values; ++i)
            s_store16(out + 2 * i, (scratch[i] * volume) >> 8);
        return values * 2;
    }
    for (int32_t i = 0; i < values; ++i) {
        const int32_t v = (scratch[i] * volume) >> 8;
        s_store16(out + 4 * i, v);
        s_store16(out + 4 * i + 2, v);
    }
    return values * 4;
}

void HAudioMixerStreamingAudioSource::m_mixStereo16(uint8_t *out, int32_t frames)
{
    int32_t acc[2 * kBlockFrames];
    for (int32_t first = 0; first < frames; first += kBlockFrames) {
        const int32_t count = frames - first < kBlockFrames ? frames - first : kBlockFrames;
        uint8_t *block = out + first * 4;
        for (int32_t i = 0; i < 2 * count; ++i)
            acc[i] = s_load16(block + 2 * i);
        for (HMixerVoice &voice : m_voices) {
            if (voice.isActive())
                voice.addFrames16(acc, count);
        }
        for (int32_t i = 0; i < 2 * count; ++i)
            s_store16(block + 2 * i, s_clamp(acc[i], -32768, 32767));
    }
}

void HAudioMixerStreamingAudioSource::m_mixMono8(uint8_t *out, int32_t count)
{
    int32_t acc[kBlockFrames];
    for (int32_t first = 0; first < count; first += kBlockFrames) {
        const int32_t n = count - first < kBlockFrames ? count - first : kBlockFrames;
        uint8_t *block = out + first;
        for (int32_t i = 0; i < n; ++i)
            acc[i] = block[i];
        for (HMixerVoice &voice : m_voices) {
            if (!voice.isActive())
                continue;
            for (int32_t i = 0; i < n; ++i)
                acc[i] += voice.readSample8();
        }
        for (int32_t i = 0; i < n; ++i)
            block[i] = static_cast<uint8_t>(s_clamp(acc[i], 0, 255));
    }
}

void HAudioMixerStreamingAudioSource::m_mixStereo8(uint8_t *out, int32_t frames)
{
    int32_t acc[2 * kBlockFrames];
    for (int32_t first = 0; first < frames; first += kBlockFrames) {
        const int32_t count = frames - first < kBlockFrames ? frames - first : kBlockFrames;
        uint8_t *block = out + first * 2;
        for (int32_t i = 0; i < 2 * count; ++i)
            acc[i] = block[i];
        for (HMixerVoice &voice : m_voices) {
            if (!voice.isActive())
                continue;
            for (int32_t f = 0; f < count; ++f) {
                int32_t left, right;
                voice.readFrame8(left, right);
                acc[2 * f] += left;
                acc[2 * f + 1] += right;
            }
        }
        for (int32_t i = 0; i < 2 * count; ++i)
            block[i] = static_cast<uint8_t>(s_clamp(acc[i], 0, 255));
    }
}

int32_t HAudioMixerStreamingAudioSource::readNextChunk(void *buffer, int32_t length)
{
    if (!buffer || length <= 0)
        return 0;
    uint8_t *out = static_cast<uint8_t *>(buffer);
    const uint8_t silence = m_bits == 16 ? 0 : 128;

    const int32_t musicBytes = m_readMusic(out, length);
    std::memset(out + musicBytes, silence, length - musicBytes);

    // Values per buffer are counted only for the widths mixed here, so a
    // mixer without a format never divides by a zero width.
    if (m_channels == 2 && m_bits == 16)
        m_mixStereo16(out, length / 2 / 2);
    else if (m_channels == 1 && m_bits == 8)
        m_mixMono8(out, length);
    else if (m_channels == 2 && m_bits == 8)
        m_mixStereo8(out, length / 2);
    else
        warningPrint("readNextChunk: unsupported format %d channels %d bits", m_channels, m_bits);

    if (m_paused)
        std::memset(out, silence, length);
    return length;
}
