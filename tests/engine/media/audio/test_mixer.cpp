// The software mixer offline: readNextChunk on synthetic samples, and the
// lock it takes through the device that reads it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/media/HAudioDevice.h"
#include "engine/media/audio/audio_test_support.h"

using tilmar_test::FakeMusicStream;
using tilmar_test::mixFrames;
using tilmar_test::TestSample;

namespace {

struct StereoMixer : HAudioMixerStreamingAudioSource
{
    StereoMixer() { setFormat(2, 16, 22050); }
};

} // namespace

TEST(AudioMixer, SilenceWithoutMusicOrVoicesInEveryFormat)
{
    struct Case { int channels, bits; uint8_t silence; };
    // 1 x 16 is not mixed at all, but its buffer is still silent.
    for (const Case c : {Case{2, 16, 0}, Case{1, 8, 128}, Case{2, 8, 128}, Case{1, 16, 0}}) {
        HAudioMixerStreamingAudioSource mixer;
        mixer.setFormat(c.channels, c.bits, 22050);
        std::vector<uint8_t> buffer(4096, 0x55);
        EXPECT_EQ(mixer.readNextChunk(buffer.data(), 4096), 4096);
        EXPECT_EQ(buffer, std::vector<uint8_t>(4096, c.silence)) << c.channels << "x" << c.bits;
    }
}

TEST(AudioMixer, PlaySampleRefusesBadRequestsWithoutTakingAVoice)
{
    TestSample stereo = TestSample::pcm16(2, {1, 2, 3, 4});
    TestSample slow = TestSample::pcm16(1, {1, 2}, 11025);
    TestSample narrow = TestSample::pcm8(1, {1, 2});
    TestSample halfFrame = TestSample::pcm16(2, {7});
    HAudioBufferTemplate noData = stereo.copy();
    noData.data = nullptr;
    HAudioBufferTemplate noChannels = stereo.copy();
    noChannels.channels = 0;

    struct Case { const char *what; int mixerChannels; HAudioBufferTemplate *sample; int loops; };
    const Case cases[] = {
        {"no template", 2, nullptr, 0},
        {"loops below -1", 2, stereo.get(), -2},
        {"11025 Hz into 22050 Hz", 2, slow.get(), 0},
        {"8 bits into 16 bits", 2, narrow.get(), 0},
        {"stereo into mono", 1, stereo.get(), 0},
        {"less than one frame", 2, halfFrame.get(), 0},
        {"no data", 2, &noData, 0},
        {"no channels", 2, &noChannels, 0},
    };
    for (const Case &c : cases) {
        HAudioMixerStreamingAudioSource mixer;
        mixer.setFormat(c.mixerChannels, 16, 22050);
        int32_t voice = 99;
        EXPECT_EQ(mixer.playSample(&voice, c.sample, 255, 0, c.loops), -2) << c.what;
        EXPECT_EQ(voice, 99) << c.what;
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(mixer.getVoice(i).data, nullptr) << c.what;
    }
}

TEST(AudioMixer, EightVoicesThenTheNinthIsRefusedUntilOneIsFree)
{
    StereoMixer mixer;
    TestSample sample = TestSample::pcm16(1, {100, 200});
    for (int i = 0; i < 8; ++i) {
        int32_t voice = -1;
        ASSERT_EQ(mixer.playSample(&voice, sample.get(), 255, 0, -1), 0);
        EXPECT_EQ(voice, i);
    }
    int32_t voice = 42;
    EXPECT_EQ(mixer.playSample(&voice, sample.get(), 255, 0, 0), -1);
    EXPECT_EQ(voice, 42);

    mixer.stopVoice(5);
    EXPECT_EQ(mixer.playSample(&voice, sample.get(), 255, 0, 0), 0);
    EXPECT_EQ(voice, 5);
    // Eight voices on one sample sum (8 x (100 × 255 >> 8)), nothing is lost.
    EXPECT_EQ(mixFrames(mixer, 1), (std::vector<int16_t>{792, 792}));
}

TEST(AudioMixer, VolumeScalesWithArithmeticShift)
{
    struct Case { int16_t value; uint8_t volume; int16_t expected; };
    const Case cases[] = {
        {30000, 255, 29882}, {30000, 128, 15000}, {30000, 0, 0},
        {-30000, 128, -15000}, {-1, 128, -1}, {1, 128, 0}, {-32768, 255, -32640},
    };
    for (const Case &c : cases) {
        StereoMixer mixer;
        // A mono sample plays on both sides.
        TestSample sample = TestSample::pcm16(1, {c.value});
        ASSERT_EQ(mixer.playSample(nullptr, sample.get(), c.volume, 0, 0), 0);
        EXPECT_EQ(mixFrames(mixer, 1), (std::vector<int16_t>{c.expected, c.expected}))
            << c.value << " at volume " << int(c.volume);
    }
}

TEST(AudioMixer, VolumeZeroSilencesButTheVoiceKeepsAdvancing)
{
    StereoMixer mixer;
    TestSample sample = TestSample::pcm16(2, {1000, -1000, 2000, -2000, 3000, -3000});
    int32_t voice = -1;
    ASSERT_EQ(mixer.playSample(&voice, sample.get(), 0, 0, 0), 0);
    EXPECT_EQ(mixFrames(mixer, 2), (std::vector<int16_t>{0, 0, 0, 0}));
    mixer.setVoiceVolume(voice, 255);
    EXPECT_EQ(mixFrames(mixer, 2), (std::vector<int16_t>{2988, -2989, 0, 0}));
    EXPECT_FALSE(mixer.isSamplePlaying(sample.data()));
}

TEST(AudioMixer, LoopCountsPlayOnceThriceOrForever)
{
    struct Case { int32_t loops; int playedFrames; bool stillPlaying; };
    for (const Case c : {Case{0, 3, false}, Case{2, 9, false}, Case{-1, 12, true}}) {
        StereoMixer mixer;
        TestSample sample = TestSample::pcm16(2, {1, -1, 2, -2, 3, -3});
        ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, c.loops), 0);
        const std::vector<int16_t> out = mixFrames(mixer, 12);
        for (int f = 0; f < 12; ++f) {
            // Values × 255 >> 8: 1 -> 0, 2 -> 1, 3 -> 2; negatives round down.
            const int16_t expected = f < c.playedFrames ? static_cast<int16_t>(((f % 3 + 1) * 255) >> 8) : 0;
            const int16_t expectedRight = f < c.playedFrames ? static_cast<int16_t>((-(f % 3 + 1) * 255) >> 8) : 0;
            EXPECT_EQ(out[2 * f], expected) << "loops " << c.loops << " frame " << f;
            EXPECT_EQ(out[2 * f + 1], expectedRight) << "loops " << c.loops << " frame " << f;
        }
        EXPECT_EQ(mixer.isSamplePlaying(sample.data()), c.stillPlaying) << "loops " << c.loops;
    }
}

TEST(AudioMixer, EndlessVoiceRunsUntilStopped)
{
    StereoMixer mixer;
    TestSample sample = TestSample::pcm16(1, {256});
    int32_t voice = -1;
    ASSERT_EQ(mixer.playSample(&voice, sample.get(), 255, 0, -1), 0);
    for (int chunk = 0; chunk < 20; ++chunk)
        ASSERT_EQ(mixFrames(mixer, 1024).back(), 255);
    mixer.stopVoice(voice);
    EXPECT_EQ(mixFrames(mixer, 4), std::vector<int16_t>(8, 0));
    EXPECT_FALSE(mixer.isSamplePlaying(sample.data()));
}

TEST(AudioMixer, SumsClampInsteadOfWrapping)
{
    struct Case { int16_t value; int voices; int16_t expected; };
    for (const Case c : {Case{30000, 2, 32767}, Case{-30000, 2, -32768}, Case{32767, 8, 32767},
                         Case{-32768, 8, -32768}, Case{10000, 3, 29880}}) {
        StereoMixer mixer;
        TestSample sample = TestSample::pcm16(1, {c.value});
        for (int i = 0; i < c.voices; ++i)
            ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, 0), 0);
        // With full volume each voice gives value × 255 >> 8.
        EXPECT_EQ(mixFrames(mixer, 1), (std::vector<int16_t>{c.expected, c.expected}))
            << c.voices << " x " << c.value;
    }
}

TEST(AudioMixer, PausedMixerIsSilentWhileItsSoundsRunOn)
{
    StereoMixer mixer;
    mixer.setPaused(true);
    std::vector<int16_t> second(22050, 1000);
    TestSample sample = TestSample::pcm16(1, second);
    ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, 0), 0);

    int frames = 0;
    while (frames < 22050) {
        ASSERT_EQ(mixFrames(mixer, 1050), std::vector<int16_t>(2100, 0));
        frames += 1050;
        EXPECT_EQ(mixer.isSamplePlaying(sample.data()), frames < 22050) << frames;
    }
    mixer.setPaused(false);
    EXPECT_EQ(mixFrames(mixer, 16), std::vector<int16_t>(32, 0));
}

TEST(AudioMixer, PausedVoiceHoldsItsPlaceAndStillCountsAsPlaying)
{
    StereoMixer mixer;
    TestSample sample = TestSample::pcm16(1, {256, 512, 768, 1024});
    int32_t voice = -1;
    ASSERT_EQ(mixer.playSample(&voice, sample.get(), 255, 0, 0), 0);
    EXPECT_EQ(mixFrames(mixer, 1)[0], 255);

    mixer.setVoicePaused(voice, 1);
    EXPECT_EQ(mixFrames(mixer, 3), std::vector<int16_t>(6, 0));
    EXPECT_TRUE(mixer.isSamplePlaying(sample.data()));

    mixer.setVoicePaused(voice, 0);
    EXPECT_EQ(mixFrames(mixer, 1)[0], 510);
    mixer.rewindVoice(voice);
    EXPECT_EQ(mixFrames(mixer, 2), (std::vector<int16_t>{255, 255, 510, 510}));
}

TEST(AudioMixer, VoiceOperationsIgnoreIndicesOutsideTheTable)
{
    StereoMixer mixer;
    TestSample sample = TestSample::pcm16(1, {256, 256});
    ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, -1), 0);
    for (int32_t bad : {8, -1, 1000}) {
        mixer.stopVoice(bad);
        mixer.setVoicePaused(bad, 1);
        mixer.setVoiceVolume(bad, 0);
        mixer.rewindVoice(bad);
    }
    EXPECT_EQ(mixFrames(mixer, 1)[0], 255);
}

TEST(AudioMixer, StereoSampleOfHalfAFrameTooManyPlaysWholeFramesOnly)
{
    StereoMixer mixer;
    // Three values: one whole frame and a stray left value that must never
    // be read (the sanitizer build sees the block end right after it).
    TestSample sample = TestSample::pcm16(2, {256, -256, 4096});
    ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, -1), 0);
    EXPECT_EQ(mixFrames(mixer, 3), (std::vector<int16_t>{255, -255, 255, -255, 255, -255}));
}

TEST(AudioMixer, EightBitFormatsMixAroundTheirMidpoint)
{
    {
        HAudioMixerStreamingAudioSource mixer;
        mixer.setFormat(1, 8, 22050);
        TestSample loud = TestSample::pcm8(1, {255, 0, 192, 128});
        ASSERT_EQ(mixer.playSample(nullptr, loud.get(), 255, 0, 0), 0);
        ASSERT_EQ(mixer.playSample(nullptr, loud.get(), 255, 0, 0), 0);
        std::vector<uint8_t> out(5);
        mixer.readNextChunk(out.data(), 5);
        // (b - 128) × 255 >> 8 per voice over 128: 126 twice clamps to 255,
        // -128 twice to 0, 63 twice gives 254; the last byte is past the end.
        EXPECT_EQ(out, (std::vector<uint8_t>{255, 0, 254, 128, 128}));
    }
    {
        HAudioMixerStreamingAudioSource mixer;
        mixer.setFormat(2, 8, 22050);
        TestSample mono = TestSample::pcm8(1, {228});
        TestSample stereo = TestSample::pcm8(2, {28, 228});
        ASSERT_EQ(mixer.playSample(nullptr, mono.get(), 128, 0, 0), 0);
        ASSERT_EQ(mixer.playSample(nullptr, stereo.get(), 255, 0, 0), 0);
        std::vector<uint8_t> out(4);
        mixer.readNextChunk(out.data(), 4);
        // mono 100 × 128 >> 8 = 50 on both sides; stereo -100 -> -100 and
        // 100 -> 99: left 128 + 50 - 100, right 128 + 50 + 99 clamped.
        EXPECT_EQ(out, (std::vector<uint8_t>{78, 255, 128, 128}));
    }
}

TEST(AudioMixer, UnsupportedFormatNeitherMixesNorAdvancesVoices)
{
    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(1, 16, 22050);
    TestSample sample = TestSample::pcm16(1, {1000, 1000});
    ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, 0), 0);
    std::vector<int16_t> out(16, 77);
    mixer.readNextChunk(out.data(), 32);
    EXPECT_EQ(out, std::vector<int16_t>(16, 0));
    EXPECT_EQ(mixer.getVoice(0).position, 0);
    EXPECT_TRUE(mixer.isSamplePlaying(sample.data()));
}

TEST(AudioMixer, CloseFreesTheVoicesButKeepsTheMusic)
{
    StereoMixer mixer;
    FakeMusicStream music(2);
    TestSample sample = TestSample::pcm16(1, {1, 2});
    int32_t handle = -1;
    mixer.playStream(&handle, &music, 255);
    ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, -1), 0);
    mixer.close();
    EXPECT_FALSE(mixer.isSamplePlaying(sample.data()));
    EXPECT_EQ(mixer.getMusicStream(), &music);
    EXPECT_TRUE(mixer.open());
}

// ---------------------------------------------------------------------------
// The reading device's lock

namespace {

// Stands for the device whose thread reads the mixer: counts the lock's
// takes and releases, and notes one taken while already held (the lock is
// not recursive) or released while not held.
class LockCountingDevice : public HAudioDevice
{
public:
    void pause() override {}
    void resume() override {}
    void destroyAudioDevice() override {}
    void lock() override
    {
        misuses += held ? 1 : 0;
        held = true;
        ++locks;
    }
    void unlock() override
    {
        misuses += held ? 0 : 1;
        held = false;
        ++unlocks;
    }

    int locks = 0;
    int unlocks = 0;
    int misuses = 0;
    bool held = false;
};

} // namespace

TEST(AudioMixerDevice, MainThreadCallsHoldTheDeviceLockOnceAndTheReaderNever)
{
    TestSample sample = TestSample::pcm16(1, {1, 2, 3, 4});
    FakeMusicStream music(2);
    int32_t handle = -1;
    using Mixer = HAudioMixerStreamingAudioSource;
    struct Case
    {
        const char *what;
        std::function<void(Mixer &)> call;
        int locks;
    };
    const Case cases[] = {
        {"playSample", [&](Mixer &m) { m.playSample(nullptr, sample.get(), 255, 0, 0); }, 1},
        {"playStream", [&](Mixer &m) { m.playStream(&handle, &music, 200); }, 1},
        {"stopStream", [](Mixer &m) { m.stopStream(); }, 1},
        {"setStreamVolume", [](Mixer &m) { m.setStreamVolume(7); }, 1},
        {"setPaused", [](Mixer &m) { m.setPaused(true); }, 1},
        {"close", [](Mixer &m) { m.close(); }, 1},
        {"isSamplePlaying", [&](Mixer &m) { m.isSamplePlaying(sample.data()); }, 1},
        {"stopSample", [&](Mixer &m) { m.stopSample(sample.data()); }, 1},
        {"getVoice", [](Mixer &m) { m.getVoice(0); }, 1},
        {"setVoicePaused", [](Mixer &m) { m.setVoicePaused(0, 1); }, 1},
        {"rewindVoice", [](Mixer &m) { m.rewindVoice(0); }, 1},
        {"stopVoice", [](Mixer &m) { m.stopVoice(0); }, 1},
        {"setVoiceVolume", [](Mixer &m) { m.setVoiceVolume(0, 9); }, 1},
        // Called by the device with its lock held: taking it again would
        // deadlock.
        {"readNextChunk", [](Mixer &m) { mixFrames(m, 64); }, 0},
    };
    for (const Case &c : cases) {
        StereoMixer mixer;
        ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, -1), 0);
        LockCountingDevice device;
        mixer.setAudioDevice(&device);
        c.call(mixer);
        EXPECT_EQ(device.locks, c.locks) << c.what;
        EXPECT_EQ(device.unlocks, c.locks) << c.what;
        EXPECT_EQ(device.misuses, 0) << c.what;

        // Once the device is gone the mixer locks nothing.
        mixer.setAudioDevice(nullptr);
        c.call(mixer);
        EXPECT_EQ(device.locks, c.locks) << c.what;
    }
}

// ---------------------------------------------------------------------------
// Music

TEST(AudioMixerMusic, StereoStreamIsScaledAndVoicesMixOverIt)
{
    StereoMixer mixer;
    FakeMusicStream music(2);
    int32_t handle = -1;
    EXPECT_EQ(mixer.playStream(&handle, &music, 128), 0);
    EXPECT_EQ(handle, 0);
    TestSample sample = TestSample::pcm16(1, {20000});
    ASSERT_EQ(mixer.playSample(nullptr, sample.get(), 255, 0, -1), 0);

    const std::vector<int16_t> out = mixFrames(mixer, 1024);
    ASSERT_EQ(music.asked, std::vector<int32_t>{4096});
    for (int i = 0; i < 2048; ++i) {
        const int32_t sum = ((FakeMusicStream::valueAt(i) * 128) >> 8) + ((20000 * 255) >> 8);
        ASSERT_EQ(out[i], sum > 32767 ? 32767 : sum) << i;
    }
}

TEST(AudioMixerMusic, MonoStreamFillsBothSides)
{
    StereoMixer mixer;
    FakeMusicStream music(1);
    mixer.playStream(nullptr, &music, 255);
    const std::vector<int16_t> out = mixFrames(mixer, 1024);
    ASSERT_EQ(music.asked, std::vector<int32_t>{2048});
    for (int f = 0; f < 1024; ++f) {
        const int16_t v = static_cast<int16_t>((FakeMusicStream::valueAt(f) * 255) >> 8);
        ASSERT_EQ(out[2 * f], v) << f;
        ASSERT_EQ(out[2 * f + 1], v) << f;
    }
}

TEST(AudioMixerMusic, ShortReadLeavesSilenceNotStaleBytes)
{
    struct Case { int channels; int32_t limit; int musicValues; };
    // Mono values each fill a whole frame.
    for (const Case c : {Case{2, 1000, 500}, Case{1, 600, 600}, Case{2, 0, 0}}) {
        StereoMixer mixer;
        FakeMusicStream music(c.channels, c.limit);
        mixer.playStream(nullptr, &music, 255);
        std::vector<int16_t> out(2048, 0x5555);
        mixer.readNextChunk(out.data(), 4096);
        for (int i = c.musicValues; i < 2048; ++i) {
            ASSERT_EQ(out[i], 0) << "channels " << c.channels << " value " << i;
        }
        if (c.musicValues > 0) {
            EXPECT_EQ(out[0], static_cast<int16_t>((FakeMusicStream::valueAt(0) * 255) >> 8));
        }
    }
}

TEST(AudioMixerMusic, NeverAsksForMoreThanTheScratchBuffer)
{
    for (int channels : {1, 2}) {
        StereoMixer mixer;
        FakeMusicStream music(channels);
        mixer.playStream(nullptr, &music, 255);
        std::vector<int16_t> out(32768 / 2 * (channels == 1 ? 2 : 1), 0x5555);
        mixer.readNextChunk(out.data(), static_cast<int32_t>(out.size() * 2));
        ASSERT_EQ(music.asked.size(), 1u);
        EXPECT_EQ(music.asked[0], 16384) << channels;
        // The music part past what the scratch buffer held is silent.
        const size_t musicValues = channels == 1 ? 16384 : 8192;
        EXPECT_NE(out[musicValues - 1], 0);
        for (size_t i = musicValues; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0) << channels << " " << i;
    }
}

TEST(AudioMixerMusic, FormatsWithoutMusicAreNotRead)
{
    struct Case { int mixerChannels, mixerBits, streamChannels; uint8_t silence; };
    for (const Case c : {Case{2, 8, 2, 128}, Case{1, 8, 1, 128}, Case{2, 16, 3, 0},
                         Case{2, 16, 0, 0}, Case{1, 16, 1, 0}}) {
        HAudioMixerStreamingAudioSource mixer;
        mixer.setFormat(c.mixerChannels, c.mixerBits, 22050);
        FakeMusicStream music(c.streamChannels);
        mixer.playStream(nullptr, &music, 255);
        std::vector<uint8_t> out(4096, 0x55);
        mixer.readNextChunk(out.data(), 4096);
        EXPECT_TRUE(music.asked.empty()) << c.mixerChannels << "x" << c.mixerBits;
        EXPECT_EQ(out, std::vector<uint8_t>(4096, c.silence));
    }
}

TEST(AudioMixerMusic, PlayStreamChangesOnlyForANewStreamAndStopStreamSilences)
{
    StereoMixer mixer;
    FakeMusicStream music(2), other(2);
    int32_t handle = -1;
    mixer.playStream(&handle, &music, 100);
    handle = 7;
    // The same stream again changes nothing, not even the volume.
    mixer.playStream(&handle, &music, 200);
    EXPECT_EQ(handle, 7);
    EXPECT_EQ(mixer.getStreamVolume(), 100);
    mixer.setStreamVolume(50);
    EXPECT_EQ(mixer.getStreamVolume(), 50);
    mixer.playStream(&handle, &other, 200);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(mixer.getStreamVolume(), 200);
    EXPECT_EQ(mixer.getMusicStream(), &other);

    mixer.stopStream();
    EXPECT_EQ(mixFrames(mixer, 64), std::vector<int16_t>(128, 0));
    EXPECT_TRUE(other.asked.empty());
}

// ---------------------------------------------------------------------------
// Voice readers

TEST(AudioMixerVoice, BlockReaderMatchesTheFrameReaderAcrossEndsAndLoops)
{
    const std::vector<int16_t> values = {-32768, 32767, 1200, -7, 0, 999, -1, 30000, -20000, 5};
    for (int channels : {1, 2}) {
        for (int32_t loops : {0, 1, 3, -1}) {
            HMixerVoice byFrame;
            byFrame.reset();
            byFrame.data = reinterpret_cast<const uint8_t *>(values.data());
            byFrame.channels = channels;
            byFrame.bits = 16;
            byFrame.size = static_cast<int32_t>(values.size() * 2);
            byFrame.sampleCount = static_cast<int32_t>(values.size());
            byFrame.paused = 0;
            byFrame.volume = 77;
            byFrame.loops = loops;
            HMixerVoice byBlock = byFrame;

            std::vector<int32_t> expected, acc(2 * 37, 0);
            for (int f = 0; f < 37; ++f) {
                int32_t left, right;
                byFrame.readFrame16(left, right);
                expected.push_back(left);
                expected.push_back(right);
            }
            byBlock.addFrames16(acc.data(), 37);
            EXPECT_EQ(acc, expected) << channels << " channels, loops " << loops;
            EXPECT_EQ(byBlock.data, byFrame.data);
            EXPECT_EQ(byBlock.position, byFrame.position);
            EXPECT_EQ(byBlock.loops, byFrame.loops);
        }
    }
}
