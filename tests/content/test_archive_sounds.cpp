// The sounds and the music of the built archive: formats the engine's
// loaders accept at the mixer's 22050 Hz, lengths and loudness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "content/archive_fixture.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "engine/media/HSoundManager.h"

using namespace kit_test;

namespace {

uint32_t s_u32(const std::vector<uint8_t> &b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t s_u16(const std::vector<uint8_t> &b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

// An Ogg Vorbis file decoded whole with libvorbisfile, from memory.
struct Decoded
{
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> pcm;  // interleaved
    double seconds() const { return channels ? double(pcm.size()) / channels / rate : 0; }
};

struct MemoryReader
{
    const std::vector<uint8_t> *bytes;
    size_t at;
};

size_t s_read(void *out, size_t size, size_t count, void *source)
{
    MemoryReader *r = static_cast<MemoryReader *>(source);
    const size_t n = std::min(size * count, r->bytes->size() - r->at);
    std::memcpy(out, r->bytes->data() + r->at, n);
    r->at += n;
    return size ? n / size : 0;
}

int s_seek(void *source, ogg_int64_t offset, int whence)
{
    MemoryReader *r = static_cast<MemoryReader *>(source);
    const long long base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (long long)r->at : (long long)r->bytes->size();
    const long long to = base + offset;
    if (to < 0 || to > (long long)r->bytes->size())
        return -1;
    r->at = size_t(to);
    return 0;
}

long s_tell(void *source)
{
    return long(static_cast<MemoryReader *>(source)->at);
}

bool s_decodeOgg(const std::vector<uint8_t> &bytes, Decoded &out)
{
    MemoryReader reader{&bytes, 0};
    OggVorbis_File file;
    ov_callbacks callbacks = {s_read, s_seek, nullptr, s_tell};
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0)
        return false;
    vorbis_info *info = ov_info(&file, -1);
    out.rate = int(info->rate);
    out.channels = info->channels;
    char buffer[8192];
    int section = 0;
    for (;;) {
        const long n = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (n < 0) {
            ov_clear(&file);
            return false;
        }
        if (n == 0)
            break;
        const int16_t *samples = reinterpret_cast<const int16_t *>(buffer);
        out.pcm.insert(out.pcm.end(), samples, samples + n / 2);
    }
    ov_clear(&file);
    return true;
}

int s_peak(const std::vector<int16_t> &pcm)
{
    int peak = 0;
    for (int16_t s : pcm)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

bool s_endsWith(const std::string &s, const char *tail)
{
    const std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

} // namespace

TEST(KitSounds, WavFilesAreCanonicalPcmAt22050Hz)
{
    for (const std::string &name : expectedSoundNames()) {
        if (!s_endsWith(name, ".wav"))
            continue;
        SCOPED_TRACE(name);
        std::vector<uint8_t> b;
        ASSERT_TRUE(readEntry(name, b));
        ASSERT_GE(b.size(), 46u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(s_u32(b, 4), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(s_u32(b, 16), 16u) << "format chunk size";
        EXPECT_EQ(s_u16(b, 20), 1) << "PCM";
        const int channels = s_u16(b, 22);
        EXPECT_TRUE(channels == 1 || channels == 2);
        EXPECT_EQ(s_u32(b, 24), 22050u);
        EXPECT_EQ(s_u16(b, 34), 16) << "bits";
        EXPECT_EQ(s_u32(b, 28), 22050u * channels * 2) << "byte rate";
        EXPECT_EQ(s_u16(b, 32), channels * 2) << "block align";
        // The data chunk follows the format chunk directly.
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_EQ(s_u32(b, 40), b.size() - 44);
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
        ASSERT_TRUE(s_decodeOgg(bytes, d));
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
        std::vector<int16_t> pcm;
        if (s_endsWith(name, ".wav")) {
            pcm.resize((bytes.size() - 44) / 2);
            std::memcpy(pcm.data(), bytes.data() + 44, pcm.size() * 2);
        } else {
            Decoded d;
            ASSERT_TRUE(s_decodeOgg(bytes, d));
            pcm = d.pcm;
        }
        const int peak = s_peak(pcm);
        EXPECT_GE(peak, 32767 / 2) << "peak " << peak;
    }
}

TEST(KitSounds, MusicLoopsWithoutAClick)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readEntry("music/theme_tl.ogg", bytes));
    Decoded d;
    ASSERT_TRUE(s_decodeOgg(bytes, d));
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
