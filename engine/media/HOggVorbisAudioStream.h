// Streaming sources over a compressed sound file that lies whole in memory:
// the abstract HCompressedAudioStream, and HOggVorbisAudioStream, which
// decodes Ogg Vorbis through libvorbisfile. The music stream is read on the
// audio thread (through the mixer) while the main thread may rewind it, give
// it new data or ask its length; every field the two share (the decoder, the
// memory file, the channels, the loop position) is read and written with the
// stream's mutex held, so neither thread sees the other's half-made changes.
#ifndef ENGINE_MEDIA_HOGGVORBISAUDIOSTREAM_H
#define ENGINE_MEDIA_HOGGVORBISAUDIOSTREAM_H

#include <cstddef>
#include <cstdint>

#include "engine/core/HMutex.h"
#include "engine/media/HAudioSource.h"

struct OggVorbis_File;

class HCompressedAudioStream : public HStreamingAudioSource
{
public:
    HCompressedAudioStream();
    ~HCompressedAudioStream() override;

    // Back to the start of the data.
    virtual void rewind() = 0;
    // Takes the compressed bytes (not owned: the caller keeps them alive
    // while the stream uses them and frees them). `loopPosition` is in
    // sample frames. Answers true.
    virtual bool setStream(const void *buffer, int32_t size, int32_t bits, int32_t frequency,
                           int32_t loopPosition);
    // Bytes of the whole stream decoded to 16-bit PCM.
    virtual int32_t getLength() = 0;

    int32_t getLoopPosition() const;

protected:
    // The memory file the decoder reads through.
    // Copies up to `count` bytes from the read position; answers how many.
    int32_t m_read(void *destination, size_t count);
    // SEEK_SET, SEEK_CUR or SEEK_END (which counts `offset` back from the
    // end). A target outside the buffer clamps to the nearer end and answers
    // -1; 0 on success.
    int32_t m_seekStream(int64_t offset, int whence);
    int32_t m_tell() const;

    int32_t m_loopPosition; // sample frames
    // Taken by the const readers as well.
    mutable HMutex m_mutex;
    const uint8_t *m_readPosition;
    const uint8_t *m_bufferStart; // not owned
    int32_t m_size;
};

class HOggVorbisAudioStream : public HCompressedAudioStream
{
public:
    // Whole streams longer than this many bytes of PCM are not decoded in
    // one piece: getLength answers 0 for them.
    static constexpr int64_t kMaxLength = 32 * 1024 * 1024;

    HOggVorbisAudioStream();
    // Closes the decoder if the owner has not.
    ~HOggVorbisAudioStream() override;

    // Makes a zeroed decoder record; answers whether it could.
    bool open() override;
    // Clears and frees the decoder.
    void close() override;
    // Signed 16-bit little-endian PCM with the file's channel count. At the
    // end of the data the stream goes on from its loop position; it stops
    // early on a decoder error, a failed seek, or when the loop position
    // yields no data. Answers the bytes written, 0 when nothing is open.
    int32_t readNextChunk(void *buffer, int32_t length) override;
    void rewind() override;
    // Opens the decoder on the data (open must have made the record first);
    // channels come from the file, bits and frequency are the caller's.
    // Answers false when the data cannot be decoded.
    bool setStream(const void *buffer, int32_t size, int32_t bits, int32_t frequency,
                   int32_t loopPosition) override;
    // 0 unless the data is open, its length is known and within kMaxLength.
    int32_t getLength() override;
    // The mixer asks on the audio thread while setStream may change it.
    int32_t getChannels() const override;

    bool isOpened() const;

private:
    static size_t s_readCallback(void *destination, size_t size, size_t count, void *source);
    static int s_seekCallback(void *source, int64_t offset, int whence);
    static int s_closeCallback(void *source);
    static long s_tellCallback(void *source);

    OggVorbis_File *m_decoder;
    int m_bitstream;
    uint8_t m_opened;
};

#endif
