#include "engine/media/HSoundManager.h"

#include <cstdlib>
#include <cstring>

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/HAudioSampleLoader.h"

HSoundManager::HSoundManager()
    : m_fileSystem(nullptr), m_mixer(nullptr), m_bits(0), m_frequency(0), m_channels(0)
{
    std::memset(m_slots, 0, sizeof m_slots);
}

HSoundManager::~HSoundManager()
{
}

bool HSoundManager::init(HFileSystem *fileSystem, HAudioMixerStreamingAudioSource *mixer,
                         int32_t channels, int32_t bits, int32_t frequency)
{
    m_fileSystem = fileSystem;
    m_mixer = mixer;
    m_channels = channels;
    m_bits = bits;
    m_frequency = frequency;
    return true;
}

void HSoundManager::m_freeSlot(Slot &slot)
{
    // A voice still on this sample would read freed memory on the audio
    // thread; take it off first.
    if (m_mixer && slot.sample.data)
        m_mixer->stopSample(slot.sample.data);
    std::free(slot.sample.data);
    std::memset(&slot, 0, sizeof slot);
}

void HSoundManager::unloadAll()
{
    for (Slot &slot : m_slots) {
        if (slot.sample.data)
            m_freeSlot(slot);
    }
    m_fileSystem = nullptr;
    m_mixer = nullptr;
}

HAudioBufferTemplate *HSoundManager::m_findAudioBufferTemplate(const char *name)
{
    if (!name)
        return nullptr;
    for (Slot &slot : m_slots) {
        if (slot.name[0] != 0 && strCaseCompare(slot.name, name) == 0)
            return &slot.sample;
    }
    return nullptr;
}

bool HSoundManager::m_storeAudioBufferTemplate(const char *name, const HAudioBufferTemplate &sample)
{
    for (Slot &slot : m_slots) {
        if (slot.name[0] == 0 && slot.sample.data == nullptr) {
            strCopy(slot.name, name, sizeof slot.name);
            slot.sample = sample;
            return true;
        }
    }
    warningPrint("m_storeAudioBufferTemplate - couldn't find a free slot");
    return false;
}

bool HSoundManager::loadAudioSample(const char *name, HAudioBufferTemplate *sample)
{
    if (!m_fileSystem || !name)
        return false;
    if (const HAudioBufferTemplate *cached = m_findAudioBufferTemplate(name)) {
        if (sample)
            *sample = *cached;
        return true;
    }

    debugPrint("...loading sound '%s'\n", name);
    HWAVLoader wavLoader;
    HOGGLoader oggLoader;
    HAudioSampleLoader *loader;
    if (std::strstr(name, ".wav"))
        loader = &wavLoader;
    else if (std::strstr(name, ".ogg"))
        loader = &oggLoader;
    else {
        warningPrint("loadAudioSample - unknown file type for file '%s'", name);
        return false;
    }

    HAudioBufferTemplate loaded;
    std::memset(&loaded, 0, sizeof loaded);
    if (!loader->loadAudioSample(m_fileSystem, name, &loaded, m_bits, m_frequency))
        return false;
    // When the cache is full the sample is still answered; it stays
    // allocated because a voice may be playing it.
    m_storeAudioBufferTemplate(name, loaded);
    if (sample)
        *sample = loaded;
    return true;
}

bool HSoundManager::preloadAudioSample(const char *name)
{
    return loadAudioSample(name, nullptr);
}

void HSoundManager::unloadAudioSample(const char *name)
{
    if (!name)
        return;
    for (Slot &slot : m_slots) {
        if (slot.name[0] != 0 && strCaseCompare(slot.name, name) == 0)
            m_freeSlot(slot);
    }
}

bool HSoundManager::isSoundPlaying(const char *name)
{
    if (!m_mixer || !name)
        return false;
    for (const Slot &slot : m_slots) {
        if (slot.sample.data && strCaseCompare(slot.name, name) == 0 &&
            m_mixer->isSamplePlaying(slot.sample.data))
            return true;
    }
    return false;
}

bool HSoundManager::playSound(int32_t *voice, const char *name, int32_t loops, uint8_t volume,
                              uint8_t spare, bool allowRestart)
{
    if (!name || !m_fileSystem || !m_mixer)
        return false;
    HAudioBufferTemplate sample;
    std::memset(&sample, 0, sizeof sample);
    if (!loadAudioSample(name, &sample))
        return false;
    if (!allowRestart && isSoundPlaying(name))
        return false;
    // The mixer's answer is not looked at: no free voice or a refused format
    // still counts as played.
    if (sample.data)
        m_mixer->playSample(voice, &sample, volume, spare, loops);
    return true;
}

void HSoundManager::setVoicePaused(int32_t voice, uint8_t paused)
{
    if (m_mixer)
        m_mixer->setVoicePaused(voice, paused);
}

void HSoundManager::stopVoice(int32_t voice)
{
    if (m_mixer)
        m_mixer->stopVoice(voice);
}

void HSoundManager::setVoiceVolume(int32_t voice, uint8_t volume)
{
    if (m_mixer)
        m_mixer->setVoiceVolume(voice, volume);
}

void HSoundManager::rewindVoice(int32_t voice)
{
    if (m_mixer)
        m_mixer->rewindVoice(voice);
}
