// The audio devices: the factory's choice, the SDL device through SDL's disk
// driver (what it writes is what the source produced), its buffer sizes and
// formats, and its failures.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/HCvarManager.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/sdl/HSDLAudioDevice.h"
#include "engine/media/sdl/audio/sdl_audio_support.h"
#include "support/test_support.h"

using tilmar_test::RecordingSource;
using tilmar_test::TempDir;
using tilmar_test::useDiskAudio;

namespace {

class AudioDeviceFactory : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_cvars.initCvarManager()); }
    void TearDown() override { m_cvars.shutdownCvarManager(); }
    HCvarManager m_cvars;
};

} // namespace

TEST_F(AudioDeviceFactory, SoundDriverNullInAnyCaseGivesTheSilentDevice)
{
    useDiskAudio("/dev/null", 1);
    struct Case { const char *value; bool silent; };
    const Case cases[] = {{"null", true}, {"NULL", true},    {"Null", true},
                          {"default", false}, {"sdl", false}, {"", false}, {"nul", false}};
    for (const Case &c : cases) {
        m_cvars.registerVariable("c_soundDriver", c.value, 0);
        RecordingSource source;
        HAudioDevice *device = HAudioDevice::create(&m_cvars, &source, 2, 16, 22050);
        ASSERT_NE(device, nullptr) << c.value;
        EXPECT_EQ(dynamic_cast<HNullAudioDevice *>(device) != nullptr, c.silent) << c.value;
        EXPECT_EQ(dynamic_cast<HSDLAudioDevice *>(device) != nullptr, !c.silent) << c.value;
        if (c.silent) {
            // Nothing opened, nothing stored, and the source is never asked.
            EXPECT_EQ(device->getFrequency(), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(source.calls(), 0);
            EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        } else {
            EXPECT_EQ(device->getFrequency(), 22050);
            EXPECT_TRUE(source.waitForCalls(1)) << c.value;
        }
        HAudioDevice::destroy(device);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << c.value;
    }
    HAudioDevice::destroy(nullptr);
}

TEST(SDLAudioDevice, WithoutTheVariableTheFactoryOpensSDL)
{
    useDiskAudio("/dev/null", 1);
    RecordingSource source;
    HAudioDevice *device = HAudioDevice::create(nullptr, &source, 2, 16, 22050);
    ASSERT_NE(dynamic_cast<HSDLAudioDevice *>(device), nullptr);
    EXPECT_TRUE(source.waitForCalls(1));
    HAudioDevice::destroy(device);
}

TEST(SDLAudioDevice, DiskDriverReceivesExactlyWhatTheMixerProduced)
{
    TempDir dir;
    const std::string file = dir / "out.raw";
    useDiskAudio(file, 2);

    // A ramp looping for ever on one voice and a short stereo burst on
    // another, set up before the device starts so the first chunk holds them.
    std::vector<int16_t> ramp(3000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i * 7 - 10000);
    std::vector<int16_t> burst(4000);
    for (size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<int16_t>(i % 2 ? 5000 : -5000);
    const HAudioBufferTemplate rampSample = {reinterpret_cast<uint8_t *>(ramp.data()), 1, 16, 22050,
                                             static_cast<int32_t>(ramp.size() * 2)};
    const HAudioBufferTemplate burstSample = {reinterpret_cast<uint8_t *>(burst.data()), 2, 16,
                                              22050, static_cast<int32_t>(burst.size() * 2)};
    HAudioMixerStreamingAudioSource mixer, twin;
    for (HAudioMixerStreamingAudioSource *m : {&mixer, &twin}) {
        m->setFormat(2, 16, 22050);
        ASSERT_EQ(m->playSample(nullptr, &rampSample, 200, 0, -1), 0);
        ASSERT_EQ(m->playSample(nullptr, &burstSample, 255, 0, 0), 0);
    }
    RecordingSource recorder(&mixer);

    HAudioDevice *device = HAudioDevice::create(nullptr, &recorder, 2, 16, 22050);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(recorder.waitForCalls(8));
    HAudioDevice::destroy(device);

    // 1024 frames of 16-bit stereo per callback at 22050 Hz.
    const std::vector<int32_t> lengths = recorder.lengths();
    for (int32_t length : lengths)
        EXPECT_EQ(length, 4096);
    const std::string produced = recorder.bytes();

    // The mixer's output is what a twin mixer produces offline.
    std::string expected(produced.size(), '\0');
    for (size_t at = 0; at < expected.size(); at += 4096)
        twin.readNextChunk(&expected[at], 4096);
    EXPECT_TRUE(produced == expected);

    // The file holds SDL's silence for any chunks before the device was
    // resumed, then every produced chunk in order.
    const std::string written = tilmar_test::readFile(file);
    ASSERT_GE(written.size(), produced.size());
    const size_t lead = written.size() - produced.size();
    EXPECT_EQ(lead % 4096, 0u);
    EXPECT_EQ(written.substr(0, lead), std::string(lead, '\0'));
    EXPECT_TRUE(written.substr(lead) == produced);
}

TEST(SDLAudioDevice, BufferLengthFollowsTheFrequency)
{
    useDiskAudio("/dev/null", 0);
    struct Case { int frequency; int32_t frames; };
    const Case cases[] = {{11025, 512},  {11026, 1024}, {22050, 1024},
                          {22051, 2048}, {44100, 2048}, {44101, 4096}};
    for (const Case &c : cases) {
        RecordingSource source;
        HSDLAudioDevice *device = new HSDLAudioDevice();
        ASSERT_TRUE(device->createAudioDevice(&source, 2, 16, c.frequency)) << c.frequency;
        EXPECT_EQ(device->getSource(), &source);
        EXPECT_EQ(device->getChannels(), 2);
        EXPECT_EQ(device->getBits(), 16);
        ASSERT_TRUE(source.waitForCalls(1)) << c.frequency;
        HAudioDevice::destroy(device);
        EXPECT_EQ(source.lengths()[0], c.frames * 4) << c.frequency;
    }
}

TEST(SDLAudioDevice, EightBitsAreUnsignedAndOtherWidthsSigned16)
{
    TempDir dir;
    struct Case { int bits; int32_t length; uint8_t silence; };
    // 1024 mono frames: one byte each at 8 bits, two bytes otherwise; SDL
    // fills silence for the format it opened, so its bytes show which.
    for (const Case c : {Case{8, 1024, 128}, Case{16, 2048, 0}, Case{12, 2048, 0}}) {
        const std::string file = dir / ("bits" + std::to_string(c.bits) + ".raw");
        useDiskAudio(file, 1);
        RecordingSource source;
        HAudioDevice *device = HAudioDevice::create(nullptr, &source, 1, c.bits, 22050);
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(source.waitForCalls(3));
        HAudioDevice::destroy(device);
        EXPECT_EQ(source.lengths()[0], c.length) << c.bits;
        const std::string written = tilmar_test::readFile(file);
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written, std::string(written.size(), static_cast<char>(c.silence))) << c.bits;
    }
}

// Pausing and the device's lock both hold the callback off until resumed or
// unlocked. The lock is the one SDL holds around each callback, so under it
// not one more buffer is asked for; a pause may find one under way.
TEST(SDLAudioDevice, PauseAndTheLockHoldTheCallbackUntilReleased)
{
    struct Case
    {
        const char *what;
        void (HAudioDevice::*hold)();
        void (HAudioDevice::*release)();
        int slack;
    };
    for (const Case &c : {Case{"pause", &HAudioDevice::pause, &HAudioDevice::resume, 1},
                          Case{"lock", &HAudioDevice::lock, &HAudioDevice::unlock, 0}}) {
        useDiskAudio("/dev/null", 1);
        RecordingSource source;
        HAudioDevice *device = HAudioDevice::create(nullptr, &source, 2, 16, 22050);
        ASSERT_NE(device, nullptr) << c.what;
        ASSERT_TRUE(source.waitForCalls(2)) << c.what;
        (device->*c.hold)();
        const int held = source.calls();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const int later = source.calls();
        (device->*c.release)();
        EXPECT_LE(later, held + c.slack) << c.what;
        EXPECT_TRUE(source.waitForCalls(held + 3)) << c.what;
        HAudioDevice::destroy(device);
    }
}

TEST(SDLAudioDevice, FailuresToOpenAnswerNullSilentlyAndLeaveAudioClosed)
{
    // SDL starts its audio subsystem even without a usable driver and fails
    // the open instead; a format it cannot open (three channels) fails there
    // too. Neither shows a message.
    struct Case { const char *driver; int channels; };
    for (const Case c : {Case{"nosuchdriver", 2}, Case{"disk", 3}}) {
        useDiskAudio("/dev/null", 1);
        setenv("SDL_AUDIODRIVER", c.driver, 1);
        RecordingSource source;
        HAudioDevice *device = reinterpret_cast<HAudioDevice *>(1);
        const std::string out = tilmar_test::captureStdout(
            [&] { device = HAudioDevice::create(nullptr, &source, c.channels, 16, 22050); });
        EXPECT_EQ(device, nullptr) << c.driver;
        EXPECT_EQ(out, "") << c.driver;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << c.driver;
        EXPECT_EQ(source.calls(), 0) << c.driver;
    }
}
