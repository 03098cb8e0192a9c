// Sample loaders: decode a whole sound file of a file system into an
// HAudioBufferTemplate. Nothing converts rates: a file must already have the
// mixer's frequency.
#ifndef ENGINE_MEDIA_HAUDIOSAMPLELOADER_H
#define ENGINE_MEDIA_HAUDIOSAMPLELOADER_H

#include <cstdint>

#include "engine/media/HAudioSource.h"

class HFileSystem;

class HAudioSampleLoader
{
public:
    virtual ~HAudioSampleLoader();
    // Fills the template with data the caller frees (free()); answers true on
    // success. Nothing is left allocated on failure.
    virtual bool loadAudioSample(HFileSystem *fileSystem, const char *name,
                                 HAudioBufferTemplate *sample, int32_t bits, int32_t frequency) = 0;
};

// RIFF/WAVE PCM with the canonical 44-byte header (format chunk of 16 bytes
// followed directly by the data chunk), 8 or 16 bits, converted to the
// requested width. A data size larger than the file is cut to the bytes
// present.
class HWAVLoader : public HAudioSampleLoader
{
public:
    ~HWAVLoader() override;
    bool loadAudioSample(HFileSystem *fileSystem, const char *name, HAudioBufferTemplate *sample,
                         int32_t bits, int32_t frequency) override;
};

// Ogg Vorbis, decoded whole to signed 16-bit PCM at the file's own rate. The
// template always says 16 bits (what the data is) and the requested
// frequency. A file the decoder cannot open still gives a template, of no
// frames and no channels, which the mixer refuses to play.
class HOGGLoader : public HAudioSampleLoader
{
public:
    ~HOGGLoader() override;
    bool loadAudioSample(HFileSystem *fileSystem, const char *name, HAudioBufferTemplate *sample,
                         int32_t bits, int32_t frequency) override;
};

#endif
