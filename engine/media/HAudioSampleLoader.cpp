#include "engine/media/HAudioSampleLoader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/media/HOggVorbisAudioStream.h"

namespace {

constexpr int32_t kWavHeaderSize = 44;

uint32_t s_load32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t s_load16(const uint8_t *p)
{
    return swapLittle16(static_cast<int32_t>(p[0] | p[1] << 8));
}

} // namespace

HAudioSampleLoader::~HAudioSampleLoader()
{
}

HWAVLoader::~HWAVLoader()
{
}

bool HWAVLoader::loadAudioSample(HFileSystem *fileSystem, const char *name,
                                 HAudioBufferTemplate *sample, int32_t bits, int32_t frequency)
{
    if (!fileSystem || !name || !sample)
        return false;
    HFile *file = fileSystem->openFileForRead(name);
    if (!file)
        return false;
    const int32_t fileSize = file->getSize();
    // Anything shorter than the header cannot be read as one.
    if (fileSize < kWavHeaderSize) {
        file->close();
        return false;
    }
    uint8_t *buffer = readAndCloseFile(file, fileSize);
    if (!buffer)
        return false;

    if (std::memcmp(buffer, "RIFF", 4) != 0 || std::memcmp(buffer + 8, "WAVE", 4) != 0 ||
        s_load32(buffer + 16) != 16 || std::memcmp(buffer + 36, "data", 4) != 0) {
        std::free(buffer);
        return false;
    }
    const int32_t channels = s_load16(buffer + 22);
    const int32_t rate = static_cast<int32_t>(s_load32(buffer + 24));
    const int32_t fileBits = s_load16(buffer + 34);
    // The header's size is not trusted past the end of the file.
    uint32_t dataSize = s_load32(buffer + 40);
    if (dataSize > static_cast<uint32_t>(fileSize - kWavHeaderSize))
        dataSize = static_cast<uint32_t>(fileSize - kWavHeaderSize);
    const uint8_t *pcm = buffer + kWavHeaderSize;

    if (rate != frequency) {
        warningPrint("HWAVLoader::loadAudioSample - file '%s' frequency %d != requested frequency %d",
                     name, rate, frequency);
        std::free(buffer);
        return false;
    }

    int32_t outSize;
    if (fileBits == bits) {
        if (bits != 8 && bits != 16) {
            warningPrint("HWAVLoader::loader - m_iBitsPerSample (%d) unsupported in file '%s'",
                         fileBits, name);
            std::free(buffer);
            return false;
        }
        outSize = static_cast<int32_t>(dataSize);
    } else if (fileBits == 8 && bits == 16) {
        // Doubling more than 1 GiB of data would not fit the 32-bit size.
        if (dataSize > static_cast<uint32_t>(INT32_MAX / 2)) {
            std::free(buffer);
            return false;
        }
        outSize = static_cast<int32_t>(dataSize) * 2;
    } else if (fileBits == 16 && bits == 8) {
        outSize = static_cast<int32_t>(dataSize / 2);
    } else {
        warningPrint("HWAVLoader::loadAudioSample - Bit size mismatch %d vs. %d", bits, fileBits);
        std::free(buffer);
        return false;
    }

    // At least one byte, so a loaded sample never has a null data pointer.
    uint8_t *out = static_cast<uint8_t *>(std::malloc(outSize > 0 ? outSize : 1));
    if (!out) {
        std::free(buffer);
        return false;
    }

    if (fileBits == 8 && bits == 8) {
        std::memcpy(out, pcm, dataSize);
    } else if (fileBits == 16 && bits == 16) {
        const int32_t values = outSize / 2;
        for (int32_t i = 0; i < values; ++i) {
            const int32_t v = s_load16(pcm + 2 * i);
            out[2 * i] = static_cast<uint8_t>(v & 0xFF);
            out[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
        if (outSize & 1)
            out[outSize - 1] = 0;
    } else if (fileBits == 8) {
        // d = s - 128 goes to the high byte and |d| to the low one, so
        // 255 -> 0x7F7F, 128 -> 0 and 0 -> 0x8080.
        for (uint32_t i = 0; i < dataSize; ++i) {
            const int32_t d = pcm[i] - 128;
            const uint16_t v =
                static_cast<uint16_t>(((static_cast<uint32_t>(d) << 8) & 0xFF00) | (d < 0 ? -d : d));
            out[2 * i] = static_cast<uint8_t>(v & 0xFF);
            out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
        }
    } else {
        warningPrint("Untested!");
        // The high byte as signed, minus 128, kept to 8 bits.
        for (int32_t i = 0; i < outSize; ++i)
            out[i] = static_cast<uint8_t>(static_cast<int8_t>(pcm[2 * i + 1]) - 128);
    }
    std::free(buffer);

    sample->data = out;
    sample->channels = channels;
    sample->bits = bits;
    sample->frequency = rate;
    sample->size = outSize;
    return true;
}

HOGGLoader::~HOGGLoader()
{
}

bool HOGGLoader::loadAudioSample(HFileSystem *fileSystem, const char *name,
                                 HAudioBufferTemplate *sample, int32_t /*bits*/, int32_t frequency)
{
    if (!fileSystem || !name || !sample)
        return false;
    HFile *file = fileSystem->openFileForRead(name);
    if (!file) {
        warningPrint("HOGGLoader::loadAudioSample - could not open file '%s'", name);
        return false;
    }
    const int32_t fileSize = file->getSize();
    uint8_t *buffer = readAndCloseFile(file, fileSize);
    if (!buffer)
        return false;

    HOggVorbisAudioStream stream;
    if (!stream.open()) {
        std::free(buffer);
        warningPrint("HOGGLoader::load - could not initialize ovas");
        return false;
    }
    // Data the decoder cannot open gives a template of no frames.
    stream.setStream(buffer, fileSize, 16, frequency, 0);
    const int32_t length = stream.getLength();
    uint8_t *pcm = static_cast<uint8_t *>(std::calloc(length > 0 ? length : 1, 1));
    if (!pcm) {
        stream.close();
        std::free(buffer);
        return false;
    }
    if (length > 0)
        stream.readNextChunk(pcm, length);
    const int32_t channels = stream.getChannels();
    stream.close();
    std::free(buffer);

    // The data is 16-bit whatever was asked for, and says so: an 8-bit mixer
    // then refuses it rather than misreading it.
    sample->data = pcm;
    sample->channels = channels;
    sample->bits = 16;
    sample->frequency = frequency;
    sample->size = length;
    return true;
}
