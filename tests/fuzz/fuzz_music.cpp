// The theme music as the game plays it: the file read whole through a file
// system, an Ogg stream opened on it with a loop position, then pulled
// through the mixer and read directly in chunks of varied sizes (running over
// the end into the loop), rewound, reopened and asked its length, then
// closed. The last kControlBytes bytes of the input drive all this; the bytes
// before them are the file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "support/memory_file_system.h"

namespace {

constexpr size_t kControlBytes = 16;

// Hands out the control bytes one by one; zeros once they run out.
class Controls
{
public:
    Controls(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    uint8_t take() { return m_next < m_size ? m_data[m_next++] : 0; }
    bool empty() const { return m_next >= m_size; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_next = 0;
};

// Reads once straight from the stream into a buffer of exactly that length,
// so a stream writing past what it was asked for is caught.
void readDirect(HOggVorbisAudioStream &stream, int32_t length)
{
    std::vector<uint8_t> buffer(static_cast<size_t>(length));
    const int32_t n = stream.readNextChunk(buffer.data(), length);
    if (n < 0 || n > length)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const size_t controlSize = size < kControlBytes ? size : kControlBytes;
    const size_t fileSize = size - controlSize;
    Controls controls(data + fileSize, controlSize);

    const char *name = "music/theme.ogg";
    MemoryFileSystem files;
    files.add(name, std::string(reinterpret_cast<const char *>(data), fileSize));

    HFile *file = files.openFileForRead(name);
    if (file == nullptr)
        __builtin_trap();
    const int32_t length = file->getSize();
    uint8_t *buffer = readAndCloseFile(file, length);
    if (buffer == nullptr)
        __builtin_trap();

    // A loop position in frames: negative ones and ones past a short file's
    // end included.
    const int16_t loopSeed = static_cast<int16_t>(controls.take() | controls.take() << 8);
    const int32_t loopPosition = int32_t(loopSeed) * 8;

    HOggVorbisAudioStream *stream = new HOggVorbisAudioStream();
    stream->open();
    stream->setStream(buffer, length, 16, 22050, loopPosition);

    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(2, 16, 22050);
    int32_t handle = -1;
    mixer.playStream(&handle, stream, 255);

    std::vector<uint8_t> mixed(HAudioMixerStreamingAudioSource::kMusicScratchBytes);
    while (!controls.empty()) {
        const uint8_t op = controls.take();
        const int32_t amount = (op & 63) + 1;
        switch (op >> 6) {
        case 0:
            // Odd sizes too: a read may end inside a sample.
            readDirect(*stream, amount * 97);
            break;
        case 1:
            // What the audio device asks for: whole stereo frames.
            if (mixer.readNextChunk(mixed.data(), amount * 256) != amount * 256)
                __builtin_trap();
            break;
        case 2:
            stream->rewind();
            break;
        default:
            if (stream->getLength() < 0)
                __builtin_trap();
            // A second load of the same music opens the decoder again.
            if (op & 1)
                stream->setStream(buffer, length, 16, 22050, loopPosition + amount * 1000);
            break;
        }
    }

    mixer.stopStream();
    stream->close();
    // A closed stream answers nothing and stays quiet.
    if (stream->getLength() != 0 || stream->readNextChunk(mixed.data(), 64) != 0)
        __builtin_trap();
    stream->rewind();
    delete stream;
    free(buffer);
    if (files.openCount() != 0)
        __builtin_trap();
    return 0;
}
