// The kit's sound synthesis and encoders as units (tuning, decay, loops,
// exact lengths), and the properties of the built sounds that the game's use
// of them needs beyond their formats: short clicks, silent ends, and music
// that carries on across its loop point.
#include "content/archive_fixture.h"
#include "content/audio_synth.h"
#include "content/kit_test_util.h"
#include "content/sound_decode.h"
#include "engine/media/HOggVorbisAudioStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace content::audio;
using kit_test::Decoded;
using kit_test::decodeOggWithEngine;
using kit_test::le16;
using kit_test::le32;

namespace {

// Frequency from the zero crossings of a low-passed copy, between a and b seconds.
double measuredPitch(Mono m, double expected, double a, double b)
{
    Biquad lp1 = Biquad::lowPass(expected * 1.3, 0.7), lp2 = Biquad::lowPass(expected * 1.3, 0.7);
    for (float &v : m)
        v = lp2.process(lp1.process(v));
    double first = -1, last = -1;
    int cycles = 0;
    for (size_t i = toFrames(a); i < toFrames(b); ++i)
        if (m[i - 1] < 0 && m[i] >= 0) {
            const double t = double(i - 1) + -m[i - 1] / (m[i] - m[i - 1]);
            if (first < 0)
                first = t;
            else
                ++cycles;
            last = t;
        }
    return cycles > 0 ? cycles * double(kRate) / (last - first) : 0.0;
}

bool decodeEntry(const std::string &name, Decoded &d)
{
    std::vector<uint8_t> bytes;
    if (!kit_test::readEntry(name, bytes))
        return false;
    if (kit_test::endsWith(name, ".wav"))
        return kit_test::decodeWav(bytes, d);
    return decodeOggWithEngine(bytes, d);
}

double mean(const Mono &m, size_t from, size_t to)
{
    double s = 0;
    for (size_t i = from; i < to; ++i)
        s += m[i];
    return s / double(to - from);
}

} // namespace

TEST(KitAudioEncoding, WavRoundsAndClipsItsSamples)
{
    const Mono samples = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 2.0f, -2.0f, 1e-5f};
    const std::vector<uint8_t> wav = encodeWav(samples);
    ASSERT_EQ(wav.size(), 44u + 2 * samples.size());
    EXPECT_EQ(le32(wav, 40), 2 * samples.size());
    EXPECT_EQ(le16(wav, 22), 1) << "mono";
    // Rounded to 16 bits; anything past full scale is clipped, not wrapped.
    const int16_t expected[] = {0, 16384, -16384, 32767, -32767, 32767, -32767, 0};
    for (size_t i = 0; i < samples.size(); ++i)
        EXPECT_EQ(int16_t(le16(wav, 44 + 2 * i)), expected[i]) << "sample " << i;
}

TEST(KitAudioEncoding, OggKeepsRateChannelsAndExactLengthAndIsRepeatable)
{
    Stereo s(toFrames(0.5) + 123);   // not a whole number of encoder blocks
    for (size_t i = 0; i < s.frames(); ++i) {
        s.left[i] = 0.5f * float(std::sin(2 * M_PI * 440 * double(i) / kRate));
        s.right[i] = 0.5f * float(std::sin(2 * M_PI * 660 * double(i) / kRate));
    }
    const std::vector<uint8_t> a = encodeOgg(s, 0.4f, 0x1234);
    EXPECT_EQ(a, encodeOgg(s, 0.4f, 0x1234));
    ASSERT_GT(a.size(), 27u);
    EXPECT_EQ(le32(a, 14), 0x1234u) << "the stream serial number is the one given";

    Decoded d;
    ASSERT_TRUE(decodeOggWithEngine(a, d));
    EXPECT_EQ(d.rate, 22050);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.frames(), s.frames());

    const Mono m(1000, 0.25f);
    Decoded dm;
    ASSERT_TRUE(decodeOggWithEngine(encodeOgg(m, 0.5f, 7), dm));
    EXPECT_EQ(dm.channels, 1);
    EXPECT_EQ(dm.frames(), m.size());
}

TEST(KitAudioSynthesis, PluckedStringsAreInTuneAndCarryNoDC)
{
    for (int midi : {43, 50, 62, 69, 81, 86, 93}) {
        const double f = midiToHz(midi);
        const Mono m = pluck(f, 1.2, PluckTone(), 5);
        const double got = measuredPitch(m, f, 0.3, 1.0);
        ASSERT_GT(got, 0.0) << "midi " << midi << " fell silent";
        EXPECT_NEAR(1200.0 * std::log2(got / f), 0.0, 3.0) << "midi " << midi;
        EXPECT_NEAR(mean(m, toFrames(0.3), toFrames(1.0)), 0.0, 0.002) << "midi " << midi;
    }
}

TEST(KitAudioSynthesis, PluckedStringsSustainAtEveryPitch)
{
    // The fundamental's decay is set per note; high strings must not die at once.
    for (int midi : {50, 69, 86, 93}) {
        PluckTone tone;
        tone.sustain = 3.0;
        const Mono m = pluck(midiToHz(midi), 2.0, tone, 9);
        auto rms = [&](double t) {
            double e = 0;
            const size_t a = toFrames(t), n = toFrames(0.05);
            for (size_t i = a; i < a + n; ++i)
                e += double(m[i]) * m[i];
            return std::sqrt(e / double(n));
        };
        const double dropDb = 20.0 * std::log10(rms(0.2) / rms(1.2));
        EXPECT_GT(dropDb, 5.0) << "midi " << midi << " does not decay";
        EXPECT_LT(dropDb, 50.0) << "midi " << midi << " dies too fast";
    }
}

TEST(KitAudioSynthesis, WrappedMixAndCircularReverbContinueAcrossTheJoin)
{
    Stereo loop(100);
    const Mono burst(30, 1.0f);
    mixWrapped(loop, burst, 90, 1.0f, 0.0f);
    mixWrapped(loop, burst, -205, 1.0f, 0.0f);   // starts at frame 95 of an earlier period
    const float unit = std::sqrt(2.0f) * std::cos(float(M_PI) / 4);
    for (size_t i = 0; i < 100; ++i) {
        const int layers = (i >= 90 || i < 20) + (i >= 95 || i < 25);
        EXPECT_NEAR(loop.left[i], layers * unit, 1e-5) << "frame " << i;
    }

    // A click just before the end of a loop must echo at its start.
    Stereo room(toFrames(2.0));
    room.left[room.frames() - 10] = 1.0f;
    room.right[room.frames() - 10] = 1.0f;
    Stereo open = room;
    addReverb(room, 0.7, 0.3, 1.0, true);
    addReverb(open, 0.7, 0.3, 1.0, false);
    double headCircular = 0, headOpen = 0;
    for (size_t i = 0; i < toFrames(0.5); ++i) {
        headCircular += std::abs(room.left[i]);
        headOpen += std::abs(open.left[i]);
    }
    EXPECT_GT(headCircular, 0.01);
    EXPECT_EQ(headOpen, 0.0);
}

TEST(KitAudioArchive, EffectsEndInSilenceAndClicksAreShort)
{
    // The clicks are started with overlap off: while one still sounds, the
    // next click of the same kind is dropped, so they must be over quickly.
    for (const std::string &name : kit_test::expectedSoundNames()) {
        if (name.rfind("sound/", 0) != 0)
            continue;
        SCOPED_TRACE(name);
        Decoded d;
        ASSERT_TRUE(decodeEntry(name, d));
        ASSERT_GT(d.frames(), 0u);
        if (name.find(".wav") != std::string::npos) {
            EXPECT_LE(double(d.frames()) / kRate, 0.15);
        }
        // A sound that stops on a non-zero sample ends with a click.
        for (int c = 0; c < d.channels; ++c)
            EXPECT_LT(std::abs(int(d.pcm[d.pcm.size() - size_t(d.channels) + size_t(c)])), 64) << "channel " << c;
    }
}

TEST(KitAudioArchive, MusicCarriesItsLevelAcrossTheLoopPoint)
{
    Decoded d;
    ASSERT_TRUE(decodeEntry("music/theme_tl.ogg", d));
    ASSERT_EQ(d.channels, 2);
    const size_t n = d.frames(), window = toFrames(0.02);
    ASSERT_GT(n, 2 * window);
    // Notes and echoes ringing at the end of the loop go on sounding at its
    // start: a loop that lets them stop drops to silence at the join.
    auto level = [&](size_t from) {
        double e = 0;
        for (size_t i = 2 * from; i < 2 * (from + window); ++i)
            e += double(d.pcm[i]) * d.pcm[i];
        return 10.0 * std::log10(e + 1.0);
    };
    EXPECT_NEAR(level(0), level(n - window), 6.0);
}
