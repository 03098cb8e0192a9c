#include "engine/media/HOggVorbisAudioStream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The header's own static callback tables would go unused.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "engine/core/HMessages.h"

namespace {

// Holds the stream's mutex for one scope, so no early return leaves it held.
class StreamLock
{
public:
    explicit StreamLock(HMutex &mutex) : m_mutex(mutex) { m_mutex.lock(); }
    ~StreamLock() { m_mutex.unlock(); }
    StreamLock(const StreamLock &) = delete;
    StreamLock &operator=(const StreamLock &) = delete;

private:
    HMutex &m_mutex;
};

} // namespace

// ----------------------------------------------------------------------------
// HCompressedAudioStream

HCompressedAudioStream::HCompressedAudioStream()
    : m_loopPosition(0), m_readPosition(nullptr), m_bufferStart(nullptr), m_size(0)
{
    m_channels = 0;
    m_frequency = 0;
    m_bits = 0;
    m_paused = 0;
}

HCompressedAudioStream::~HCompressedAudioStream()
{
    m_mutex.destroy();
}

bool HCompressedAudioStream::setStream(const void *buffer, int32_t size, int32_t bits,
                                       int32_t frequency, int32_t loopPosition)
{
    m_bufferStart = static_cast<const uint8_t *>(buffer);
    m_readPosition = m_bufferStart;
    m_size = buffer && size > 0 ? size : 0;
    m_bits = bits;
    m_frequency = frequency;
    m_loopPosition = loopPosition;
    return true;
}

int32_t HCompressedAudioStream::getLoopPosition() const
{
    StreamLock lock(m_mutex);
    return m_loopPosition;
}

int32_t HCompressedAudioStream::m_read(void *destination, size_t count)
{
    const size_t left = static_cast<size_t>(m_bufferStart + m_size - m_readPosition);
    const size_t n = count < left ? count : left;
    if (n > 0)
        std::memcpy(destination, m_readPosition, n);
    m_readPosition += n;
    return static_cast<int32_t>(n);
}

int32_t HCompressedAudioStream::m_seekStream(int64_t offset, int whence)
{
    const uint8_t *start = m_bufferStart;
    const uint8_t *end = m_bufferStart + m_size;
    switch (whence) {
    case SEEK_SET:
        // A negative offset clamps to the start, as one past the end clamps
        // to the end: the read position never leaves the buffer.
        if (offset < 0) {
            m_readPosition = start;
            warningPrint("HCompressedAudioStream::m_seekStream - SEEK_SET out of range");
            return -1;
        }
        if (offset <= m_size) {
            m_readPosition = start + offset;
            return 0;
        }
        m_readPosition = end;
        warningPrint("HCompressedAudioStream::m_seekStream - SEEK_SET out of range");
        return -1;
    case SEEK_CUR: {
        const int64_t target = (m_readPosition - start) + offset;
        if (target > m_size) {
            m_readPosition = end;
            warningPrint("HCompressedAudioStream::m_seekStream - SEEK_CUR out of range");
            return -1;
        }
        if (target < 0) {
            m_readPosition = start;
            warningPrint("HCompressedAudioStream::m_seekStream - SEEK_CUR out of range");
            return -1;
        }
        m_readPosition = start + target;
        return 0;
    }
    case SEEK_END: {
        // The offset counts back from the end.
        const int64_t target = m_size - offset;
        if (target < 0) {
            m_readPosition = start;
            warningPrint("HCompressedAudioStream::m_seekStream - SEEK_END out of range");
            return -1;
        }
        if (target > m_size) {
            m_readPosition = end;
            warningPrint("HCompressedAudioStream::m_seekStream - SEEK_END out of range");
            return -1;
        }
        m_readPosition = start + target;
        return 0;
    }
    default:
        warningPrint("HCompressedAudioStream::m_seekStream - invalid whence '%d'", whence);
        return -1;
    }
}

int32_t HCompressedAudioStream::m_tell() const
{
    return static_cast<int32_t>(m_readPosition - m_bufferStart);
}

// ----------------------------------------------------------------------------
// HOggVorbisAudioStream

HOggVorbisAudioStream::HOggVorbisAudioStream()
    : m_decoder(nullptr), m_bitstream(0), m_opened(0)
{
    m_mutex.create();
}

HOggVorbisAudioStream::~HOggVorbisAudioStream()
{
    close();
    m_mutex.destroy();
}

bool HOggVorbisAudioStream::open()
{
    StreamLock lock(m_mutex);
    if (m_decoder && m_opened)
        ov_clear(m_decoder);
    std::free(m_decoder);
    // Zeroed, so a record that ov_open_callbacks never filled reads as empty.
    m_decoder = static_cast<OggVorbis_File *>(std::calloc(1, sizeof(OggVorbis_File)));
    m_opened = 0;
    return m_decoder != nullptr;
}

void HOggVorbisAudioStream::close()
{
    StreamLock lock(m_mutex);
    if (m_decoder) {
        if (m_opened)
            ov_clear(m_decoder);
        std::free(m_decoder);
    }
    m_opened = 0;
    m_decoder = nullptr;
}

bool HOggVorbisAudioStream::setStream(const void *buffer, int32_t size, int32_t bits,
                                      int32_t frequency, int32_t loopPosition)
{
    bool opened = false;
    {
        // Under the lock: the audio thread may be reading the previous data.
        StreamLock lock(m_mutex);
        HCompressedAudioStream::setStream(buffer, size, bits, frequency, loopPosition);
        if (m_decoder && m_opened) {
            ov_clear(m_decoder);
            m_opened = 0;
        }
        const ov_callbacks callbacks = {s_readCallback, s_seekCallback, s_closeCallback,
                                        s_tellCallback};
        if (m_decoder && ov_open_callbacks(this, m_decoder, nullptr, 0, callbacks) >= 0) {
            const vorbis_info *info = ov_info(m_decoder, -1);
            m_channels = info ? info->channels : 0;
            m_bitstream = 0;
            m_opened = 1;
            opened = true;
        } else if (m_decoder) {
            // A failed open leaves the record cleared; keep it zeroed for reuse.
            std::memset(m_decoder, 0, sizeof(OggVorbis_File));
        }
    }
    if (!opened)
        warningPrint("HOVAudioStream::setStream - ov_open_callbacks failed");
    return opened;
}

int32_t HOggVorbisAudioStream::readNextChunk(void *buffer, int32_t length)
{
    if (!buffer || length <= 0)
        return 0;
    // The buffer start is tested under the lock too: setStream may be
    // changing it on the main thread.
    StreamLock lock(m_mutex);
    if (!m_bufferStart || !m_decoder || !m_opened)
        return 0;
    char *out = static_cast<char *>(buffer);
    int32_t written = 0;
    // Set after a seek to the loop position: if the next read is empty too,
    // the loop holds no data (empty file, loop position at or past the end)
    // and reading on would never end.
    bool afterSeek = false;
    while (written < length) {
        const long n = ov_read(m_decoder, out + written, length - written, 0, 2, 1, &m_bitstream);
        if (n > 0) {
            written += static_cast<int32_t>(n);
            afterSeek = false;
            continue;
        }
        if (n < 0 || afterSeek)
            break;
        if (ov_pcm_seek(m_decoder, m_loopPosition) != 0)
            break;
        afterSeek = true;
    }
    return written;
}

void HOggVorbisAudioStream::rewind()
{
    StreamLock lock(m_mutex);
    if (m_decoder && m_opened)
        ov_pcm_seek(m_decoder, 0);
}

int32_t HOggVorbisAudioStream::getLength()
{
    // The decoder's state changes under ov_read on the audio thread.
    StreamLock lock(m_mutex);
    if (!m_decoder || !m_opened)
        return 0;
    const int64_t frames = ov_pcm_total(m_decoder, -1);
    if (frames < 0)
        return 0;
    const int64_t bytes = frames * m_channels * 2;
    if (bytes < 0 || bytes > kMaxLength)
        return 0;
    return static_cast<int32_t>(bytes);
}

int32_t HOggVorbisAudioStream::getChannels() const
{
    StreamLock lock(m_mutex);
    return m_channels;
}

bool HOggVorbisAudioStream::isOpened() const
{
    StreamLock lock(m_mutex);
    return m_opened != 0;
}

size_t HOggVorbisAudioStream::s_readCallback(void *destination, size_t size, size_t count,
                                             void *source)
{
    if (size == 0)
        return 0;
    HOggVorbisAudioStream *stream = static_cast<HOggVorbisAudioStream *>(source);
    // size * count cannot overflow in practice: libvorbisfile reads in
    // small pieces; clamp anyway, the buffer is never larger than 2 GiB.
    const size_t bytes = count > SIZE_MAX / size ? SIZE_MAX : size * count;
    return static_cast<size_t>(stream->m_read(destination, bytes)) / size;
}

int HOggVorbisAudioStream::s_seekCallback(void *source, int64_t offset, int whence)
{
    return static_cast<HOggVorbisAudioStream *>(source)->m_seekStream(offset, whence);
}

int HOggVorbisAudioStream::s_closeCallback(void *)
{
    // The buffer belongs to whoever gave it to setStream.
    return 0;
}

long HOggVorbisAudioStream::s_tellCallback(void *source)
{
    return static_cast<HOggVorbisAudioStream *>(source)->m_tell();
}
