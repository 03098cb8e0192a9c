// The mixer under a live audio thread: SDL's disk driver writing to
// /dev/null without delay mixes as fast as it can while the main thread
// starts, stops, pauses and rewinds voices and music. Samples sit in heap
// blocks of exactly their size, so in the sanitizer build a voice that read
// a new sample with an older, longer count would be caught.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/media/HAudioMixer.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "engine/media/audio/ogg_fixture.h"
#include "engine/media/sdl/HSDLAudioDevice.h"
#include "engine/media/sdl/audio/sdl_audio_support.h"

using tilmar_test::RecordingSource;

TEST(AudioStress, MainThreadChangesVoicesAndMusicWhileTheAudioThreadMixes)
{
    tilmar_test::useDiskAudio("/dev/null", 0);

    // Samples from one frame to a few thousand, mono and stereo.
    std::vector<std::unique_ptr<int16_t[]>> blocks;
    std::vector<HAudioBufferTemplate> samples;
    for (int frames : {1, 2, 3, 7, 64, 500, 1023, 4096}) {
        for (int channels : {1, 2}) {
            const int values = frames * channels;
            blocks.emplace_back(new int16_t[values]);
            for (int i = 0; i < values; ++i)
                blocks.back()[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
            samples.push_back({reinterpret_cast<uint8_t *>(blocks.back().get()), channels, 16, 22050,
                               values * 2});
        }
    }
    const std::string oggData =
        tilmar_test::encodeOgg(2, 22050, tilmar_test::sineTone(2, 22050, 6000));
    HOggVorbisAudioStream music;
    ASSERT_TRUE(music.open());
    ASSERT_TRUE(music.setStream(oggData.data(), static_cast<int32_t>(oggData.size()), 16, 22050, 1000));

    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(2, 16, 22050);
    RecordingSource counter(&mixer);
    HAudioDevice *device = HAudioDevice::create(nullptr, &counter, 2, 16, 22050);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(counter.waitForCalls(1));

    // At least 1.5 s and 200 mixed chunks (a loaded machine may mix slowly),
    // at most 20 s.
    std::mt19937 random(20240611);
    const auto start = std::chrono::steady_clock::now();
    const int firstChunk = counter.calls();
    long operations = 0;
    for (;;) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if ((elapsed > std::chrono::milliseconds(1500) && counter.calls() - firstChunk >= 200) ||
            elapsed > std::chrono::seconds(20))
            break;
        const int32_t voice = static_cast<int32_t>(random() % 8);
        switch (random() % 12) {
        case 0:
        case 1:
        case 2: {
            // Stop first so the new sample lands on a voice that held another.
            mixer.stopVoice(voice);
            const HAudioBufferTemplate &s = samples[random() % samples.size()];
            const int32_t loops = static_cast<int32_t>(random() % 4) - 1;
            mixer.playSample(nullptr, &s, static_cast<uint8_t>(random()), 0, loops);
            break;
        }
        case 3:
            mixer.stopVoice(voice);
            break;
        case 4:
            mixer.setVoicePaused(voice, static_cast<uint8_t>(random() % 2));
            break;
        case 5:
            mixer.rewindVoice(voice);
            break;
        case 6:
            mixer.setVoiceVolume(voice, static_cast<uint8_t>(random()));
            break;
        case 7:
            mixer.playStream(nullptr, &music, static_cast<uint8_t>(random()));
            break;
        case 8:
            mixer.stopStream();
            break;
        case 9:
            music.rewind();
            mixer.setStreamVolume(static_cast<uint8_t>(random()));
            break;
        case 10:
            mixer.setPaused(random() % 4 == 0);
            break;
        default:
            mixer.isSamplePlaying(samples[random() % samples.size()].data);
            break;
        }
        ++operations;
    }
    const int chunks = counter.calls() - firstChunk;
    HAudioDevice::destroy(device);
    mixer.stopStream();
    music.close();

    // Both sides really ran at the same time, many times over.
    EXPECT_GT(operations, 10000);
    EXPECT_GE(chunks, 200);
    std::printf("%ld main-thread operations over %d mixed chunks\n", operations, chunks);
}
