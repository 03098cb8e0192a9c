// The WAV and Ogg sample loaders and the sound manager's cache and playing,
// on files in a scratch directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/HAudioSampleLoader.h"
#include "engine/media/HSoundManager.h"
#include "engine/media/audio/audio_test_support.h"
#include "engine/media/audio/ogg_fixture.h"
#include "support/test_support.h"

using tilmar_test::encodeOgg;
using tilmar_test::sineTone;
using tilmar_test::TempDir;
using tilmar_test::writeFile;

namespace {

void put16(std::string &s, size_t at, uint16_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string &s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A canonical 44-byte-header WAV file around the PCM bytes.
std::string makeWav(int channels, int rate, int bits, const std::string &pcm)
{
    std::string s(44, '\0');
    std::memcpy(&s[0], "RIFF", 4);
    put32(s, 4, static_cast<uint32_t>(36 + pcm.size()));
    std::memcpy(&s[8], "WAVE", 4);
    std::memcpy(&s[12], "fmt ", 4);
    put32(s, 16, 16);
    put16(s, 20, 1);
    put16(s, 22, static_cast<uint16_t>(channels));
    put32(s, 24, static_cast<uint32_t>(rate));
    put32(s, 28, static_cast<uint32_t>(rate * channels * bits / 8));
    put16(s, 32, static_cast<uint16_t>(channels * bits / 8));
    put16(s, 34, static_cast<uint16_t>(bits));
    std::memcpy(&s[36], "data", 4);
    put32(s, 40, static_cast<uint32_t>(pcm.size()));
    return s + pcm;
}

std::string pcm16(const std::vector<int16_t> &values)
{
    return std::string(reinterpret_cast<const char *>(values.data()), values.size() * 2);
}

std::vector<int16_t> values16(const HAudioBufferTemplate &t)
{
    std::vector<int16_t> v(t.size / 2);
    std::memcpy(v.data(), t.data, v.size() * 2);
    return v;
}

class SoundFiles : public ::testing::Test
{
protected:
    void SetUp() override { m_fileSystem.mount(m_dir.path().c_str()); }

    void write(const std::string &name, const std::string &bytes)
    {
        ASSERT_TRUE(writeFile(m_dir / name, bytes));
    }

    // Loads through the loader; the template's data is freed by the fixture.
    bool load(HAudioSampleLoader &loader, const std::string &name, int bits,
              HAudioBufferTemplate *out = nullptr)
    {
        HAudioBufferTemplate t{};
        const bool ok = loader.loadAudioSample(&m_fileSystem, name.c_str(), &t, bits, 22050);
        if (ok)
            m_owned.push_back(t.data);
        if (out)
            *out = t;
        return ok;
    }
    void TearDown() override
    {
        for (uint8_t *p : m_owned)
            std::free(p);
    }

    TempDir m_dir;
    HStandardFileSystem m_fileSystem;
    std::vector<uint8_t *> m_owned;
};

} // namespace

TEST_F(SoundFiles, WavHeaderIsCheckedFieldByField)
{
    const std::string good = makeWav(1, 22050, 16, pcm16({1, 2, 3, 4}));
    struct Case { const char *what; std::string bytes; bool ok; };
    std::vector<Case> cases = {
        {"canonical", good, true},
        {"not RIFF", "RIFX" + good.substr(4), false},
        {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12), false},
        {"format chunk of 18", good, false},
        {"list chunk before data", good.substr(0, 36) + "LIST" + good.substr(40), false},
        {"44100 Hz", makeWav(1, 44100, 16, pcm16({1, 2})), false},
        {"24 bits", makeWav(1, 22050, 24, std::string(6, 'a')), false},
        {"header cut short", good.substr(0, 43), false},
        {"three bytes", "RIF", false},
        {"empty file", "", false},
        {"no data at all", makeWav(2, 22050, 16, ""), true},
    };
    put32(cases[3].bytes, 16, 18);
    HWAVLoader loader;
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string name = "case" + std::to_string(i) + ".wav";
        write(name, cases[i].bytes);
        EXPECT_EQ(load(loader, name, 16), cases[i].ok) << cases[i].what;
    }
    EXPECT_FALSE(load(loader, "missing.wav", 16));
}

TEST_F(SoundFiles, WavSamplesAreConvertedToTheRequestedWidth)
{
    struct Case { const char *what; int fileBits; std::string pcm; int bits; std::string expected; };
    const Case cases[] = {
        {"8 to 8", 8, std::string("\x00\x80\xff\x01", 4), 8, std::string("\x00\x80\xff\x01", 4)},
        {"16 to 16", 16, pcm16({32767, -32768, 0, -1}), 16, pcm16({32767, -32768, 0, -1})},
        {"8 to 16", 8, std::string("\xff\x81\x80\x7f\x00", 5), 16,
         pcm16({32639, 257, 0, -255, -32640})},
        {"16 to 8", 16, pcm16({32767, 0, -32768, 256, -1}), 8, std::string("\xff\x80\x00\x81\x7f", 5)},
    };
    HWAVLoader loader;
    int serial = 0;
    for (const Case &c : cases) {
        const std::string name = "conv" + std::to_string(serial++) + ".wav";
        write(name, makeWav(2, 22050, c.fileBits, c.pcm));
        HAudioBufferTemplate t{};
        ASSERT_TRUE(load(loader, name, c.bits, &t)) << c.what;
        EXPECT_EQ(t.channels, 2) << c.what;
        EXPECT_EQ(t.bits, c.bits) << c.what;
        EXPECT_EQ(t.frequency, 22050) << c.what;
        ASSERT_EQ(t.size, static_cast<int32_t>(c.expected.size())) << c.what;
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(t.data), t.size), c.expected) << c.what;
    }
}

TEST_F(SoundFiles, WavDataSizeIsCutToTheBytesPresent)
{
    std::string wav = makeWav(1, 22050, 16, pcm16({100, 200, 300}));
    put32(wav, 40, 0x7FFFFFF0);
    write("liar.wav", wav);
    HWAVLoader loader;
    HAudioBufferTemplate t{};
    ASSERT_TRUE(load(loader, "liar.wav", 16, &t));
    EXPECT_EQ(values16(t), (std::vector<int16_t>{100, 200, 300}));
}

TEST_F(SoundFiles, OggSamplesDecodeToSixteenBitsWhateverWasAsked)
{
    write("tone.ogg", encodeOgg(1, 22050, sineTone(1, 22050, 3000)));
    write("junk.ogg", std::string(300, 'z'));
    write("empty.ogg", "");
    HOGGLoader loader;
    for (int bits : {16, 8}) {
        HAudioBufferTemplate t{};
        ASSERT_TRUE(load(loader, "tone.ogg", bits, &t)) << bits;
        EXPECT_EQ(t.channels, 1);
        EXPECT_EQ(t.bits, 16);
        EXPECT_EQ(t.frequency, 22050);
        EXPECT_EQ(t.size, 6000);
    }
    // Undecodable data still answers an empty template, which no mixer plays.
    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(2, 16, 22050);
    for (const char *name : {"junk.ogg", "empty.ogg"}) {
        HAudioBufferTemplate t{};
        ASSERT_TRUE(load(loader, name, 16, &t)) << name;
        EXPECT_EQ(t.channels, 0) << name;
        EXPECT_EQ(t.size, 0) << name;
        EXPECT_EQ(mixer.playSample(nullptr, &t, 255, 0, 0), -2) << name;
    }
    EXPECT_FALSE(load(loader, "missing.ogg", 16));
}

// ---------------------------------------------------------------------------
// The manager

namespace {

class SoundManagerTest : public SoundFiles
{
protected:
    void SetUp() override
    {
        SoundFiles::SetUp();
        m_mixer.setFormat(2, 16, 22050);
        m_manager.init(&m_fileSystem, &m_mixer, 2, 16, 22050);
    }
    void TearDown() override
    {
        m_manager.unloadAll();
        SoundFiles::TearDown();
    }
    std::string wav(int16_t value, int frames = 100)
    {
        return makeWav(1, 22050, 16, pcm16(std::vector<int16_t>(frames, value)));
    }

    HAudioMixerStreamingAudioSource m_mixer;
    HSoundManager m_manager;
};

} // namespace

TEST_F(SoundManagerTest, LoaderIsChosenByTheNameAndTheCacheIgnoresCase)
{
    write("click.wav", wav(1000));
    write("click.WAV", wav(1000));
    write("click.wav.ogg", wav(2000));
    write("tone.ogg", encodeOgg(1, 22050, sineTone(1, 22050, 500)));
    write("click.snd", wav(1000));

    // The extension test minds case, the cache does not (below).
    EXPECT_FALSE(m_manager.preloadAudioSample("click.WAV"));
    HAudioBufferTemplate first{}, again{};
    ASSERT_TRUE(m_manager.loadAudioSample("click.wav", &first));
    // Cached: the file is no longer needed and the same data comes back.
    ASSERT_EQ(std::remove((m_dir / "click.wav").c_str()), 0);
    ASSERT_TRUE(m_manager.loadAudioSample("CLICK.wav", &again));
    EXPECT_EQ(again.data, first.data);

    EXPECT_FALSE(m_manager.preloadAudioSample("click.snd"));
    HAudioBufferTemplate both{};
    ASSERT_TRUE(m_manager.loadAudioSample("click.wav.ogg", &both));
    EXPECT_EQ(values16(both)[0], 2000);
    HAudioBufferTemplate ogg{};
    ASSERT_TRUE(m_manager.loadAudioSample("tone.ogg", &ogg));
    EXPECT_EQ(ogg.size, 1000);
    EXPECT_FALSE(m_manager.preloadAudioSample(nullptr));
    EXPECT_FALSE(m_manager.preloadAudioSample(""));
}

TEST_F(SoundManagerTest, PlaySoundStartsAVoiceWithItsArguments)
{
    write("boom.wav", wav(1000));
    int32_t voice = -1;
    ASSERT_TRUE(m_manager.playSound(&voice, "boom.wav", 2, 128, 9, true));
    ASSERT_EQ(voice, 0);
    const HMixerVoice &v = m_mixer.getVoice(0);
    EXPECT_EQ(v.loops, 2);
    EXPECT_EQ(v.volume, 128);
    EXPECT_EQ(v.spare, 9);
    EXPECT_TRUE(m_manager.isSoundPlaying("BOOM.wav"));
    EXPECT_EQ(tilmar_test::mixFrames(m_mixer, 1)[0], 500);

    // The forwarders reach the mixer's voice.
    m_manager.setVoiceVolume(voice, 255);
    m_manager.setVoicePaused(voice, 1);
    EXPECT_EQ(tilmar_test::mixFrames(m_mixer, 1)[0], 0);
    m_manager.setVoicePaused(voice, 0);
    m_manager.rewindVoice(voice);
    EXPECT_EQ(m_mixer.getVoice(0).position, 0);
    m_manager.stopVoice(voice);
    EXPECT_FALSE(m_manager.isSoundPlaying("boom.wav"));

    EXPECT_FALSE(m_manager.playSound(nullptr, "missing.wav", 0, 255, 0, true));
    EXPECT_FALSE(m_manager.playSound(nullptr, nullptr, 0, 255, 0, true));
}

TEST_F(SoundManagerTest, WithoutRestartAPlayingSoundIsNotStartedAgain)
{
    write("ding.wav", wav(1000));
    ASSERT_TRUE(m_manager.playSound(nullptr, "ding.wav", -1, 255, 0, false));
    EXPECT_FALSE(m_manager.playSound(nullptr, "ding.wav", -1, 255, 0, false));
    EXPECT_EQ(m_mixer.getVoice(1).data, nullptr);
    EXPECT_TRUE(m_manager.playSound(nullptr, "DING.wav", -1, 255, 0, true));
    EXPECT_NE(m_mixer.getVoice(1).data, nullptr);
}

TEST_F(SoundManagerTest, SamplesTheMixerCannotPlayStillAnswerTrue)
{
    // 44100 Hz fails to load; undecodable Ogg data loads as an empty sample
    // that the mixer refuses, which still counts as played.
    write("fast.wav", makeWav(1, 44100, 16, pcm16({1, 2})));
    write("junk.ogg", std::string(100, 'q'));
    EXPECT_FALSE(m_manager.playSound(nullptr, "fast.wav", 0, 255, 0, true));
    EXPECT_TRUE(m_manager.playSound(nullptr, "junk.ogg", 0, 255, 0, true));
    EXPECT_EQ(m_mixer.getVoice(0).data, nullptr);
    // All eight voices busy: still true.
    write("long.wav", wav(100));
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(m_manager.playSound(nullptr, "long.wav", -1, 255, 0, true));
    EXPECT_TRUE(m_manager.playSound(nullptr, "long.wav", -1, 255, 0, true));
}

TEST_F(SoundManagerTest, TheSixtyFifthSampleIsPlayedButNotCached)
{
    for (int i = 0; i < 65; ++i)
        write("s" + std::to_string(i) + ".wav", wav(static_cast<int16_t>(i)));
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(m_manager.preloadAudioSample(("s" + std::to_string(i) + ".wav").c_str()));

    HAudioBufferTemplate first{}, second{};
    ASSERT_TRUE(m_manager.loadAudioSample("s64.wav", &first));
    ASSERT_TRUE(m_manager.loadAudioSample("s64.wav", &second));
    EXPECT_NE(first.data, second.data);
    EXPECT_EQ(values16(second)[0], 64);
    // The caller who took them out of a full cache frees them.
    std::free(first.data);
    std::free(second.data);

    int32_t voice = -1;
    ASSERT_TRUE(m_manager.playSound(&voice, "s64.wav", 0, 255, 0, true));
    ASSERT_EQ(voice, 0);
    EXPECT_FALSE(m_manager.isSoundPlaying("s64.wav"));
    uint8_t *uncached = const_cast<uint8_t *>(m_mixer.getVoice(voice).data);
    m_mixer.stopVoice(voice);
    std::free(uncached);

    // A freed slot takes the next new sample.
    m_manager.unloadAudioSample("S3.WAV");
    ASSERT_TRUE(m_manager.loadAudioSample("s64.wav", &first));
    ASSERT_TRUE(m_manager.loadAudioSample("s64.wav", &second));
    EXPECT_EQ(first.data, second.data);
}

TEST_F(SoundManagerTest, UnloadingTakesTheSampleOffItsVoicesFirst)
{
    write("hum.wav", wav(3000, 5000));
    write("buzz.wav", wav(-3000, 5000));
    ASSERT_TRUE(m_manager.playSound(nullptr, "hum.wav", -1, 255, 0, true));
    ASSERT_TRUE(m_manager.playSound(nullptr, "buzz.wav", -1, 255, 0, true));
    m_manager.unloadAudioSample("HUM.wav");
    EXPECT_FALSE(m_manager.isSoundPlaying("hum.wav"));
    // Only buzz is left (the sanitizer build would catch a read of hum).
    EXPECT_EQ(tilmar_test::mixFrames(m_mixer, 4)[0], (-3000 * 255) >> 8);

    m_manager.unloadAll();
    EXPECT_FALSE(m_mixer.isSamplePlaying(nullptr));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(m_mixer.getVoice(i).data, nullptr);
    // Disconnected: nothing loads or plays, and the forwarders do nothing.
    EXPECT_FALSE(m_manager.preloadAudioSample("hum.wav"));
    EXPECT_FALSE(m_manager.playSound(nullptr, "hum.wav", 0, 255, 0, true));
    EXPECT_FALSE(m_manager.isSoundPlaying("hum.wav"));
    m_manager.stopVoice(0);
    m_manager.setVoicePaused(0, 1);
}

// ---------------------------------------------------------------------------
// Short reads

namespace {

// A file that claims a size and delivers only the bytes it has.
class ShortFile : public HFile
{
public:
    void set(const std::string &bytes, int32_t claimedSize)
    {
        m_bytes = bytes;
        m_size = claimedSize;
    }
    int32_t read(void *buffer, int32_t length) override
    {
        const int32_t n = std::min(length, static_cast<int32_t>(m_bytes.size()));
        std::memcpy(buffer, m_bytes.data(), n);
        return n;
    }
    int32_t write(const void *, int32_t) override { return 0; }
    int32_t rewind() override { return 1; }

private:
    std::string m_bytes;
};

class OneFileSystem : public HFileSystem
{
public:
    bool fileExists(const char *) override { return true; }
    HFile *openFileForRead(const char *) override
    {
        file.setFileSystem(this);
        isOpen = true;
        return &file;
    }
    HFile *openFileForWrite(const char *) override { return nullptr; }
    time_t getFileTime(const char *) override { return 0; }

    ShortFile file;
    bool isOpen = false;

protected:
    void m_closeFile(HFile *) override { isOpen = false; }
};

} // namespace

TEST(SampleLoaderReads, AFileThatDeliversLessThanItsSizeFailsAndIsClosed)
{
    const std::string wav = makeWav(1, 22050, 16, pcm16({1, 2, 3, 4}));
    const std::string ogg = encodeOgg(1, 22050, sineTone(1, 22050, 400));
    HWAVLoader wavLoader;
    HOGGLoader oggLoader;
    struct Case { const char *name; HAudioSampleLoader *loader; const std::string *bytes; };
    for (const Case c : {Case{"x.wav", &wavLoader, &wav}, Case{"x.ogg", &oggLoader, &ogg}}) {
        for (int32_t extra : {0, 1, 1000}) {
            OneFileSystem fileSystem;
            fileSystem.file.set(*c.bytes, static_cast<int32_t>(c.bytes->size()) + extra);
            HAudioBufferTemplate t{};
            const bool ok = c.loader->loadAudioSample(&fileSystem, c.name, &t, 16, 22050);
            EXPECT_EQ(ok, extra == 0) << c.name << " claiming " << extra << " more";
            EXPECT_FALSE(fileSystem.isOpen) << c.name;
            if (ok) {
                EXPECT_GT(t.size, 0) << c.name;
                std::free(t.data);
            }
        }
    }
}

namespace {

// Claims a little over 1 GiB and delivers it in one read, writing only the
// header (the rest of the loader's buffer is never touched, so it costs no
// memory).
class HugeWavFile : public HFile
{
public:
    explicit HugeWavFile(const std::string &header) : m_header(header)
    {
        m_size = (1 << 30) + 44 + 8;
    }
    int32_t read(void *buffer, int32_t length) override
    {
        std::memcpy(buffer, m_header.data(), std::min(length, static_cast<int32_t>(m_header.size())));
        return length;
    }
    int32_t write(const void *, int32_t) override { return 0; }
    int32_t rewind() override { return 1; }

private:
    std::string m_header;
};

class HugeFileSystem : public HFileSystem
{
public:
    explicit HugeFileSystem(const std::string &header) : file(header) {}
    bool fileExists(const char *) override { return true; }
    HFile *openFileForRead(const char *) override
    {
        file.setFileSystem(this);
        return &file;
    }
    HFile *openFileForWrite(const char *) override { return nullptr; }
    time_t getFileTime(const char *) override { return 0; }

    HugeWavFile file;

protected:
    void m_closeFile(HFile *) override {}
};

} // namespace

TEST(SampleLoaderReads, EightBitDataTooLargeToDoubleFailsInsteadOfOverflowing)
{
    // More than 1 GiB of 8-bit data doubles past the 32-bit size; a wrapped
    // size would allocate a few bytes and convert a gigabyte into them.
    std::string header = makeWav(1, 22050, 8, "");
    put32(header, 40, 0x7FFFFFF0);
    HugeFileSystem fileSystem(header);
    HWAVLoader loader;
    HAudioBufferTemplate t{};
    EXPECT_FALSE(loader.loadAudioSample(&fileSystem, "huge.wav", &t, 16, 22050));
    EXPECT_EQ(t.data, nullptr);
}
