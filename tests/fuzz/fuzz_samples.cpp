// A sound effect as the game plays one: the sound manager loads the file
// through the WAV or the Ogg loader (chosen by the name), caches it and starts
// it on a mixer voice, which is then mixed for a few buffers. The first byte
// picks the loader, the requested width and rate, the mixer's channels and
// the loop count; the rest is the file.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/media/HAudioMixer.h"
#include "engine/media/HSoundManager.h"
#include "support/memory_file_system.h"
#include "touch_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t choice = data[0];
    static const int32_t kRates[] = {22050, 44100, 11025, 8000};
    static const int32_t kLoops[] = {0, 1, -1, 3};
    const char *name = (choice & 1) ? "sound/effect.ogg" : "sound/effect.wav";
    const int32_t bits = (choice & 2) ? 8 : 16;
    const int32_t frequency = kRates[(choice >> 2) & 3];
    const int32_t channels = (choice & 16) ? 1 : 2;
    const int32_t loops = kLoops[(choice >> 5) & 3];

    MemoryFileSystem files;
    files.add(name, std::string(reinterpret_cast<const char *>(data) + 1, size - 1));
    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(channels, bits, frequency);
    HSoundManager sounds;
    sounds.init(&files, &mixer, channels, bits, frequency);

    HAudioBufferTemplate sample;
    std::memset(&sample, 0, sizeof sample);
    if (sounds.loadAudioSample(name, &sample)) {
        // A loaded template holds as many bytes as it says: read them all.
        if (sample.data == nullptr || sample.size < 0)
            __builtin_trap();
        touchBytes(sample.data, size_t(sample.size));

        int32_t voice = -1;
        sounds.playSound(&voice, name, loops, 200, 0, true);
        uint8_t out[4096];
        for (int pass = 0; pass < 4; ++pass)
            mixer.readNextChunk(out, sizeof out - 4 * pass);
    }
    sounds.unloadAll();
    if (files.openCount() != 0)
        __builtin_trap();  // the loader left its file open
    return 0;
}
