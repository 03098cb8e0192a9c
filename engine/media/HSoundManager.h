// The sound manager: turns sound-file names into decoded samples, keeps them
// in a cache of 64 named templates and starts them on the mixer. Main thread
// only.
#ifndef ENGINE_MEDIA_HSOUNDMANAGER_H
#define ENGINE_MEDIA_HSOUNDMANAGER_H

#include <cstdint>

#include "engine/media/HAudioSource.h"

class HAudioMixerStreamingAudioSource;
class HFileSystem;

class HSoundManager
{
public:
    static constexpr int kSlotCount = 64;
    static constexpr int kNameSize = 128; // terminating zero included

    HSoundManager();
    // Frees nothing: the owner calls unloadAll first.
    virtual ~HSoundManager();

    HSoundManager(const HSoundManager &) = delete;
    HSoundManager &operator=(const HSoundManager &) = delete;

    // Neither the file system nor the mixer is owned. Answers true.
    bool init(HFileSystem *fileSystem, HAudioMixerStreamingAudioSource *mixer, int32_t channels,
              int32_t bits, int32_t frequency);
    // Frees every cached sample and forgets the file system and the mixer.
    void unloadAll();

    // The cached sample of that name (compared without regard to case), or
    // the file loaded and cached: ".wav" in the name (case matters, tested
    // first) takes the WAV loader, ".ogg" the Ogg loader. The template
    // copied to *sample (when given) still belongs to the cache. A sample
    // that finds the cache full is loaded and answered but not cached (and
    // never freed: a voice may play it).
    bool loadAudioSample(const char *name, HAudioBufferTemplate *sample);
    bool preloadAudioSample(const char *name);
    // Frees every cached sample of that name.
    void unloadAudioSample(const char *name);
    // True when a cached sample of that name is on a mixer voice.
    bool isSoundPlaying(const char *name);
    // Loads the sample and starts it on a free voice. Answers false for no
    // name, no file system or mixer, a sample that cannot be loaded, or when
    // allowRestart is false and the sample already plays; true otherwise,
    // also when the mixer had no voice for it.
    bool playSound(int32_t *voice, const char *name, int32_t loops, uint8_t volume, uint8_t spare,
                   bool allowRestart);

    // Forwarded to the mixer; nothing without one.
    void setVoicePaused(int32_t voice, uint8_t paused);
    void stopVoice(int32_t voice);
    void setVoiceVolume(int32_t voice, uint8_t volume);
    void rewindVoice(int32_t voice);

protected:
    struct Slot
    {
        char name[kNameSize]; // empty when the first byte is 0
        HAudioBufferTemplate sample;
    };

    HAudioBufferTemplate *m_findAudioBufferTemplate(const char *name);
    // Copies the name (cut to 127 characters) and the template into the
    // first free slot; false when none is free.
    bool m_storeAudioBufferTemplate(const char *name, const HAudioBufferTemplate &sample);
    // Frees a slot's data once no voice plays it any more.
    void m_freeSlot(Slot &slot);

    Slot m_slots[kSlotCount];
    HFileSystem *m_fileSystem;               // not owned
    HAudioMixerStreamingAudioSource *m_mixer; // not owned
    int32_t m_bits;
    int32_t m_frequency;
    int32_t m_channels;
};

#endif
