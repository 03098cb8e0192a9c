// The sounds and the music of the built archive: formats the engine's
// loaders accept at the mixer's 22050 Hz, lengths and loudness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "content/archive_fixture.h"
#include "content/kit_test_util.h"
#include "content/sound_decode.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "engine/media/HSoundManager.h"

using namespace kit_test;

namespace {

int s_peak(const std::vector<int16_t> &pcm)
{
    int peak = 0;
    for (int16_t s : pcm)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

} // namespace

TEST(KitSounds, WavFilesAreCanonicalPcmAt22050Hz)
{
    for (const std::string &name : expectedSoundNames()) {
        if (!endsWith(name, ".wav"))
            continue;
        SCOPED_TRACE(name);
        std::vector<uint8_t> b;
        ASSERT_TRUE(readEntry(name, b));
        ASSERT_GE(b.size(), 46u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(le32(b, 4), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(le32(b, 16), 16u) << "format chunk size";
        EXPECT_EQ(le16(b, 20), 1) << "PCM";
        const int channels = le16(b, 22);
        EXPECT_TRUE(channels == 1 || channels == 2);
        EXPECT_EQ(le32(b, 24), 22050u);
        EXPECT_EQ(le16(b, 34), 16) << "bits";
        EXPECT_EQ(le32(b, 28), 22050u * channels * 2) << "byte rate";
        EXPECT_EQ(le16(b, 32), channels * 2) << "block align";
        // The data chunk follows the format chunk directly.
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_EQ(le32(b, 40), b.size() - 44);
    }
}

TEST(KitSounds, OggFilesAre22050HzWithTheirLengths)
{
    struct Expect
    {
        const char *name;
        double minSeconds, maxSeconds;
        int channels;  // 0: either
    };
    const Expect table[] = {
        {"sound/tm_match.ogg", 0.05, 2.0, 0},  {"sound/tm_blocked.ogg", 0.05, 2.0, 0},
        {"sound/tm_hint.ogg", 0.05, 2.5, 0},   {"sound/tm_youwin.ogg", 2.0, 4.0, 0},
        {"sound/tm_gameover.ogg", 1.5, 3.0, 0}, {"sound/tm_splash.ogg", 1.0, 3.0, 0},
        {"music/theme_tl.ogg", 60.0, 120.0, 2},
    };
    for (const Expect &e : table) {
        SCOPED_TRACE(e.name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readEntry(e.name, bytes));
        Decoded d;
        ASSERT_TRUE(decodeOggReference(bytes, d));
        // The Ogg loader does not compare rates: a file must be made at the
        // mixer's rate.
        EXPECT_EQ(d.rate, 22050);
        if (e.channels) {
            EXPECT_EQ(d.channels, e.channels);
        }
        EXPECT_GE(d.seconds(), e.minSeconds);
        EXPECT_LE(d.seconds(), e.maxSeconds);
    }
}

TEST(KitSounds, EffectsAreNormalisedNearFullScale)
{
    // Effects play at half volume; a quiet file would vanish in the mix.
    for (const std::string &name : expectedSoundNames()) {
        if (name.rfind("sound/", 0) != 0)
            continue;
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readEntry(name, bytes));
        Decoded d;
        if (endsWith(name, ".wav"))
            ASSERT_TRUE(decodeWav(bytes, d));
        else
            ASSERT_TRUE(decodeOggReference(bytes, d));
        const int peak = s_peak(d.pcm);
        EXPECT_GE(peak, 32767 / 2) << "peak " << peak;
    }
}

TEST(KitSounds, MusicLoopsWithoutAClick)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readEntry("music/theme_tl.ogg", bytes));
    Decoded d;
    ASSERT_TRUE(decodeOggReference(bytes, d));
    ASSERT_EQ(d.channels, 2);
    ASSERT_GT(d.pcm.size(), 8u);
    const int peak = s_peak(d.pcm);
    EXPECT_GT(peak, 32767 / 8) << "the music is nearly silent";
    // The loop restarts at sample 0: the jump from the last frame to the
    // first must be no bigger than an ordinary step within the music.
    double largestStep = 0;
    for (size_t i = 2; i < d.pcm.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(double(d.pcm[i]) - d.pcm[i - 2]));
    for (int c = 0; c < 2; ++c) {
        const double seam = std::fabs(double(d.pcm[c]) - d.pcm[d.pcm.size() - 2 + c]);
        EXPECT_LE(seam, std::max(largestStep, 64.0)) << "channel " << c;
        EXPECT_LE(seam, 0.1 * 32767) << "channel " << c;
    }
}

TEST(KitSounds, EveryEffectLoadsThroughTheSoundManager)
{
    ASSERT_NE(archive(), nullptr);
    HAudioMixerStreamingAudioSource mixer;
    HSoundManager manager;
    ASSERT_TRUE(manager.init(archive(), &mixer, 2, 16, 22050));
    for (const std::string &name : expectedSoundNames()) {
        if (name.rfind("sound/", 0) != 0)
            continue;
        SCOPED_TRACE(name);
        HAudioBufferTemplate sample = {};
        ASSERT_TRUE(manager.loadAudioSample(name.c_str(), &sample));
        EXPECT_GT(sample.size, 0);
        EXPECT_TRUE(sample.channels == 1 || sample.channels == 2);
        EXPECT_EQ(sample.bits, 16);
        EXPECT_EQ(sample.frequency, 22050);
    }
    manager.unloadAll();
}

TEST(KitSounds, ThemeMusicStreamsAsTheGameLoadsIt)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readEntry("music/theme_tl.ogg", bytes));
    HOggVorbisAudioStream stream;
    ASSERT_TRUE(stream.open());
    // The stream keeps reading from the caller's buffer.
    std::vector<uint8_t> buffer = bytes;
    stream.setStream(buffer.data(), int32_t(buffer.size()), 16, 22050, 0);
    const int32_t length = stream.getLength();
    // 16-bit stereo at 22050 Hz, 60 to 120 seconds.
    EXPECT_GE(length, 60 * 22050 * 4);
    EXPECT_LE(length, 120 * 22050 * 4);
    std::vector<uint8_t> chunk(4096);
    EXPECT_EQ(stream.readNextChunk(chunk.data(), int32_t(chunk.size())), int32_t(chunk.size()));
    stream.close();
}
