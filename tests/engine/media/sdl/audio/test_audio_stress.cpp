// The mixer under a live audio thread: SDL's disk driver writing to
// /dev/null without delay mixes as fast as it can while the main thread
// starts, stops, pauses and rewinds voices and music, or gives the music
// stream new data. Samples sit in heap blocks of exactly their size, so in
// the sanitizer build a voice that read a new sample with an older, longer
// count would be caught.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
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

namespace {

struct StressRun
{
    long operations = 0;
    int chunks = 0;
};

// Opens the device on the mixer, which then locks through it, and runs
// `step` on the main thread over and over while the audio thread mixes: for
// at least `minimum` and `minimumChunks` mixed chunks (a loaded machine may
// mix slowly), at most 20 s. The device is closed before it answers.
StressRun whileMixing(HAudioMixerStreamingAudioSource &mixer, std::chrono::milliseconds minimum,
                      int minimumChunks, const std::function<void()> &step)
{
    StressRun run;
    RecordingSource counter(&mixer);
    HAudioDevice *device = HAudioDevice::create(nullptr, &counter, 2, 16, 22050);
    if (!device) {
        ADD_FAILURE() << "no audio device";
        return run;
    }
    mixer.setAudioDevice(device);
    EXPECT_TRUE(counter.waitForCalls(1));
    const auto start = std::chrono::steady_clock::now();
    const int firstChunk = counter.calls();
    for (;;) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if ((elapsed > minimum && counter.calls() - firstChunk >= minimumChunks) ||
            elapsed > std::chrono::seconds(20))
            break;
        step();
        ++run.operations;
    }
    run.chunks = counter.calls() - firstChunk;
    mixer.setAudioDevice(nullptr);
    HAudioDevice::destroy(device);
    return run;
}

} // namespace

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
    std::mt19937 random(20240611);
    const StressRun run = whileMixing(mixer, std::chrono::milliseconds(1500), 200, [&]() {
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
    });
    mixer.stopStream();
    music.close();

    // Both sides really ran at the same time, many times over.
    EXPECT_GT(run.operations, 10000);
    EXPECT_GE(run.chunks, 200);
    std::printf("%ld main-thread operations over %d mixed chunks\n", run.operations, run.chunks);
}

// The music stream's own main-thread paths while the audio thread reads it
// through the mixer: new data of another channel count, a closed and
// reopened decoder, its length and rewinds. In the thread-checked build a
// field of the stream touched outside its mutex on either side is reported;
// here every new data must open and each length be the one of the data
// last given.
TEST(AudioStress, MusicStreamIsReplacedMeasuredAndRewoundWhileTheAudioThreadReadsIt)
{
    tilmar_test::useDiskAudio("/dev/null", 0);

    struct Music
    {
        int channels;
        long frames;
        std::string data;
    };
    std::vector<Music> tunes;
    for (const auto &[channels, frames] : {std::pair<int, long>{2, 5000}, {1, 7000}, {2, 300}}) {
        tunes.push_back({channels, frames,
                         tilmar_test::encodeOgg(channels, 22050, tilmar_test::sineTone(channels, 22050, frames))});
    }
    HOggVorbisAudioStream music;
    ASSERT_TRUE(music.open());
    ASSERT_TRUE(music.setStream(tunes[0].data.data(), static_cast<int32_t>(tunes[0].data.size()), 16, 22050, 0));

    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(2, 16, 22050);
    mixer.playStream(nullptr, &music, 255);

    std::mt19937 random(20240612);
    size_t current = 0;
    bool opened = true;
    int failures = 0;
    const StressRun run = whileMixing(mixer, std::chrono::milliseconds(1000), 100, [&]() {
        switch (random() % 6) {
        case 0: {
            if (!opened)
                opened = music.open();
            current = random() % tunes.size();
            const Music &tune = tunes[current];
            if (!music.setStream(tune.data.data(), static_cast<int32_t>(tune.data.size()), 16, 22050,
                                 static_cast<int32_t>(random() % tune.frames)))
                ++failures;
            break;
        }
        case 1:
            if (random() % 8 == 0) {
                music.close();
                opened = false;
            }
            break;
        case 2:
            music.rewind();
            break;
        default: {
            const int32_t expected =
                opened ? static_cast<int32_t>(tunes[current].frames * tunes[current].channels * 2) : 0;
            if (music.getLength() != expected || music.isOpened() != opened)
                ++failures;
            break;
        }
        }
    });
    mixer.stopStream();
    music.close();

    EXPECT_EQ(failures, 0);
    EXPECT_GT(run.operations, 1000);
    EXPECT_GE(run.chunks, 100);
    std::printf("%ld music-stream operations over %d mixed chunks\n", run.operations, run.chunks);
}
