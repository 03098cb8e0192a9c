#include "content/sound_decode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include <vorbis/vorbisfile.h>

#include "content/audio_synth.h"
#include "engine/media/HOggVorbisAudioStream.h"

namespace kit_test {

uint32_t le32(const std::vector<uint8_t> &b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t le16(const std::vector<uint8_t> &b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

bool decodeWav(const std::vector<uint8_t> &bytes, Decoded &out)
{
    if (bytes.size() < 44)
        return false;
    out.channels = le16(bytes, 22);
    out.rate = long(le32(bytes, 24));
    out.pcm.resize((bytes.size() - 44) / 2);
    std::memcpy(out.pcm.data(), bytes.data() + 44, out.pcm.size() * 2);
    return true;
}

namespace {

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

} // namespace

bool decodeOggReference(const std::vector<uint8_t> &bytes, Decoded &out)
{
    MemoryReader reader{&bytes, 0};
    OggVorbis_File file;
    ov_callbacks callbacks = {s_read, s_seek, nullptr, s_tell};
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0)
        return false;
    vorbis_info *info = ov_info(&file, -1);
    out.rate = info->rate;
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

bool decodeOggWithEngine(const std::vector<uint8_t> &bytes, Decoded &out)
{
    static const uint8_t id[] = {1, 'v', 'o', 'r', 'b', 'i', 's'};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(id), std::end(id));
    if (at == bytes.end() || size_t(bytes.end() - at) < 16)
        return false;
    const size_t header = size_t(at - bytes.begin());
    out.rate = long(le32(bytes, header + 12));

    HOggVorbisAudioStream stream;
    if (!stream.open())
        return false;
    if (!stream.setStream(bytes.data(), int32_t(bytes.size()), 16, content::audio::kRate, 0)) {
        stream.close();
        return false;
    }
    out.channels = stream.getChannels();
    out.pcm.resize(size_t(stream.getLength()) / 2);
    const int32_t got = stream.readNextChunk(out.pcm.data(), int32_t(out.pcm.size() * 2));
    stream.close();
    return got == int32_t(out.pcm.size() * 2);
}

} // namespace kit_test
