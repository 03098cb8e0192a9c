// The compressed stream's memory file and the Ogg Vorbis stream over it,
// with Ogg data encoded at test time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/media/HOggVorbisAudioStream.h"
#include "engine/media/audio/ogg_fixture.h"
#include "support/test_support.h"

using tilmar_test::encodeOgg;
using tilmar_test::sineTone;

namespace {

// Exposes the memory file of the compressed stream.
struct MemoryStream : HCompressedAudioStream
{
    bool open() override { return true; }
    void close() override {}
    int32_t readNextChunk(void *, int32_t) override { return 0; }
    void rewind() override {}
    int32_t getLength() override { return 0; }
    using HCompressedAudioStream::m_read;
    using HCompressedAudioStream::m_seekStream;
    using HCompressedAudioStream::m_tell;
};

// Reads `bytes` from the stream in chunks (the last one shorter); the
// answers are collected.
std::string readAll(HOggVorbisAudioStream &stream, int32_t bytes, int32_t chunk,
                    std::vector<int32_t> *answers = nullptr)
{
    std::string out;
    std::vector<char> buffer(chunk);
    while (static_cast<int32_t>(out.size()) < bytes) {
        const int32_t left = bytes - static_cast<int32_t>(out.size());
        const int32_t n = stream.readNextChunk(buffer.data(), left < chunk ? left : chunk);
        if (answers)
            answers->push_back(n);
        if (n <= 0)
            break;
        out.append(buffer.data(), n);
    }
    return out;
}

// Index of the first byte where the two differ (or where one ends), -1 when
// they are equal; keeps failures readable for long PCM strings.
long firstDifference(const std::string &a, const std::string &b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return static_cast<long>(i);
    }
    return a.size() == b.size() ? -1 : static_cast<long>(n);
}

class OggStreamTest : public ::testing::Test
{
protected:
    // Opens a stream on the data; the data lives as long as the fixture.
    HOggVorbisAudioStream &openOn(const std::string &data, int32_t loopPosition = 0)
    {
        m_data = data;
        EXPECT_TRUE(m_stream.open());
        EXPECT_TRUE(m_stream.setStream(m_data.data(), static_cast<int32_t>(m_data.size()), 16,
                                       22050, loopPosition));
        return m_stream;
    }
    void TearDown() override { m_stream.close(); }

    std::string m_data;
    HOggVorbisAudioStream m_stream;
};

} // namespace

TEST(CompressedStreamMemory, SeeksClampToTheBufferAndReportOutOfRange)
{
    struct Case { int whence; int32_t from; int64_t offset; int32_t result; int32_t position; };
    const Case cases[] = {
        {SEEK_SET, 40, 0, 0, 0},     {SEEK_SET, 40, 100, 0, 100},   {SEEK_SET, 40, 101, -1, 100},
        {SEEK_SET, 40, -1, -1, 0},   {SEEK_CUR, 50, 50, 0, 100},    {SEEK_CUR, 50, 51, -1, 100},
        {SEEK_CUR, 50, -50, 0, 0},   {SEEK_CUR, 50, -51, -1, 0},    {SEEK_END, 40, 0, 0, 100},
        {SEEK_END, 40, 100, 0, 0},   {SEEK_END, 40, 101, -1, 0},    {SEEK_END, 40, 30, 0, 70},
        {SEEK_END, 40, -1, -1, 100}, {7, 30, 5, -1, 30},
    };
    std::vector<char> bytes(100, 'x');
    for (const Case &c : cases) {
        MemoryStream stream;
        stream.setStream(bytes.data(), 100, 16, 22050, 0);
        ASSERT_EQ(stream.m_seekStream(c.from, SEEK_SET), 0);
        EXPECT_EQ(stream.m_seekStream(c.offset, c.whence), c.result)
            << "whence " << c.whence << " from " << c.from << " offset " << c.offset;
        EXPECT_EQ(stream.m_tell(), c.position)
            << "whence " << c.whence << " from " << c.from << " offset " << c.offset;
    }
}

TEST(CompressedStreamMemory, ReadsStopAtTheEndOfTheBuffer)
{
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes.push_back(static_cast<char>(i));
    MemoryStream stream;
    stream.setStream(bytes.data(), 100, 16, 22050, 0);
    stream.m_seekStream(90, SEEK_SET);
    char out[30] = {};
    EXPECT_EQ(stream.m_read(out, sizeof out), 10);
    EXPECT_EQ(std::string(out, 10), bytes.substr(90));
    EXPECT_EQ(stream.m_tell(), 100);
    EXPECT_EQ(stream.m_read(out, sizeof out), 0);
}

TEST_F(OggStreamTest, DecodesTheWholeFileWithTheFilesChannels)
{
    struct Case { int channels; long frames; };
    for (const Case c : {Case{2, 44100}, Case{1, 5000}}) {
        HOggVorbisAudioStream &stream =
            openOn(encodeOgg(c.channels, 22050, sineTone(c.channels, 22050, c.frames)));
        EXPECT_EQ(stream.getChannels(), c.channels);
        EXPECT_EQ(stream.getFrequency(), 22050);
        EXPECT_EQ(stream.getLength(), c.frames * c.channels * 2);

        const std::string pcm = readAll(stream, stream.getLength(), 4096);
        ASSERT_EQ(static_cast<long>(pcm.size()), c.frames * c.channels * 2);
        // A decoded half-scale sine: the loudest value is near 16384.
        int peak = 0;
        for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
            int16_t v;
            std::memcpy(&v, pcm.data() + i, 2);
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        }
        EXPECT_GT(peak, 14000);
        EXPECT_LT(peak, 19000);
        stream.close();
    }
}

TEST_F(OggStreamTest, RunsOnFromTheLoopPositionWithoutAGap)
{
    const long frames = 22050;
    const int32_t loop = 11025;
    const std::string data = encodeOgg(2, 22050, sineTone(2, 22050, frames, 300.0));

    // What one pass decodes, for comparison.
    HOggVorbisAudioStream &once = openOn(data);
    const std::string reference = readAll(once, once.getLength(), 4096);
    ASSERT_EQ(static_cast<long>(reference.size()), frames * 4);
    once.close();

    HOggVorbisAudioStream &stream = openOn(data, loop);
    std::vector<int32_t> answers;
    // Whole chunks over several passes.
    const int32_t total = (frames * 4 * 5 / 2 / 4096 + 1) * 4096;
    const std::string played = readAll(stream, total, 4096, &answers);
    for (int32_t n : answers)
        ASSERT_EQ(n, 4096);
    ASSERT_GE(static_cast<int32_t>(played.size()), total);

    const std::string tail = reference.substr(loop * 4);
    EXPECT_EQ(firstDifference(played.substr(0, reference.size()), reference), -1);
    // Every later pass is the part from the loop position on.
    for (size_t at = reference.size(); at < played.size(); at += tail.size()) {
        const size_t n = std::min(tail.size(), played.size() - at);
        EXPECT_EQ(firstDifference(played.substr(at, n), tail.substr(0, n)), -1) << "pass at " << at;
    }
}

TEST_F(OggStreamTest, RewindStartsOverEvenWhileAnotherThreadReads)
{
    HOggVorbisAudioStream &stream = openOn(encodeOgg(2, 22050, sineTone(2, 22050, 30000)));
    const std::string first = readAll(stream, 4096, 4096);

    std::atomic<bool> stop(false);
    std::atomic<int> reads(0);
    std::thread audio([&] {
        std::vector<char> buffer(4096);
        while (!stop) {
            if (stream.readNextChunk(buffer.data(), 4096) == 4096)
                ++reads;
        }
    });
    for (int i = 0; i < 300; ++i) {
        stream.rewind();
        std::this_thread::yield();
    }
    while (reads < 10)
        std::this_thread::yield();
    stop = true;
    audio.join();

    stream.rewind();
    EXPECT_EQ(readAll(stream, 4096, 4096), first);
}

TEST_F(OggStreamTest, NothingHappensBeforeOrWithoutDecodableData)
{
    HOggVorbisAudioStream stream;
    char buffer[64];
    // Before open and setStream.
    stream.rewind();
    EXPECT_EQ(stream.getLength(), 0);
    EXPECT_EQ(stream.readNextChunk(buffer, sizeof buffer), 0);
    // setStream without open has no decoder to open.
    const std::string good = encodeOgg(1, 22050, sineTone(1, 22050, 100));
    EXPECT_FALSE(stream.setStream(good.data(), static_cast<int32_t>(good.size()), 16, 22050, 0));

    ASSERT_TRUE(stream.open());
    const std::string junk(500, 'j');
    EXPECT_FALSE(stream.setStream(junk.data(), 500, 16, 22050, 0));
    EXPECT_FALSE(stream.isOpened());
    stream.rewind();
    EXPECT_EQ(stream.getLength(), 0);
    EXPECT_EQ(stream.readNextChunk(buffer, sizeof buffer), 0);

    // The same record opens good data afterwards, and again on other data.
    EXPECT_TRUE(stream.setStream(good.data(), static_cast<int32_t>(good.size()), 16, 22050, 0));
    EXPECT_EQ(stream.getLength(), 200);
    const std::string stereo = encodeOgg(2, 22050, sineTone(2, 22050, 300));
    EXPECT_TRUE(stream.setStream(stereo.data(), static_cast<int32_t>(stereo.size()), 16, 22050, 0));
    EXPECT_EQ(stream.getChannels(), 2);
    EXPECT_EQ(stream.getLength(), 1200);
    stream.close();
    EXPECT_EQ(stream.getLength(), 0);
}

TEST_F(OggStreamTest, LoopsThatHoldNoDataEndTheRead)
{
    // Each case would read forever on the audio thread if the stream kept
    // seeking back; the child is killed by the alarm then.
    struct Case { const char *what; long frames; int32_t loop; int32_t firstAnswer; };
    const Case cases[] = {
        {"no frames", 0, 0, 0},
        {"loop position past the end", 1000, 5000, 4000},
        {"loop position at the end", 1000, 1000, 4000},
    };
    tilmar_test::TempDir dir;
    for (const Case &c : cases) {
        const std::string data = encodeOgg(2, 22050, sineTone(2, 22050, c.frames));
        const tilmar_test::ChildOutcome outcome = tilmar_test::runInChild(dir.path(), [&] {
            alarm(10);
            HOggVorbisAudioStream stream;
            stream.open();
            stream.setStream(data.data(), static_cast<int32_t>(data.size()), 16, 22050, c.loop);
            std::vector<char> buffer(16384);
            const int32_t first = stream.readNextChunk(buffer.data(), 16384);
            const int32_t second = stream.readNextChunk(buffer.data(), 16384);
            stream.close();
            std::printf("%d %d", first, second);
        });
        EXPECT_TRUE(outcome.exited) << c.what << " signal " << outcome.termSignal;
        EXPECT_EQ(outcome.out, std::to_string(c.firstAnswer) + " 0") << c.what;
    }
}
