// Image loaders: each reads one whole file from a file system (a directory
// or the resource archive) and decodes it into an HImage. HImageLoaderProxy
// picks the loader by the file name.
#ifndef ENGINE_MEDIA_HIMAGELOADER_H
#define ENGINE_MEDIA_HIMAGELOADER_H

#include <cstdint>

#include "engine/media/HImage.h"

class HFileSystem;

// A loader keeps the image it produced until freeImage; its destructor does
// not delete the image, so the owner either frees it or takes it.
class HImageLoader
{
public:
    virtual ~HImageLoader();
    // Frees any earlier image, then loads the named file. A failed load
    // leaves no image behind.
    virtual bool load(HFileSystem *fileSystem, const char *name) = 0;
    // Deletes the image (its pixels with it); getImage answers null after.
    virtual void freeImage() = 0;
    virtual HImage *getImage() = 0;

protected:
    // Reads the whole file into a buffer from malloc (at least one byte is
    // allocated, so an empty file still gives a buffer). False, with nothing
    // to free, when the file is missing, unreadable, shorter than its size or
    // the buffer cannot be allocated.
    static bool readWholeFile(HFileSystem *fileSystem, const char *name, uint8_t **data, int32_t *size);

    // Decodes the bytes of one file into a new image; false leaves none.
    typedef bool (*DecodeFunction)(const uint8_t *data, int32_t size, const char *name, HImage **image);
    // Reads the whole file and decodes it into *image (null on any failure);
    // the file buffer is freed either way.
    static bool loadWith(HFileSystem *fileSystem, const char *name, DecodeFunction decode, HImage **image);
};

// Uncompressed TGA: true colour of 16, 24 or 32 bits (type 2); any other
// type is read as one byte per pixel.
class HTGALoader : public HImageLoader
{
public:
    HTGALoader();
    ~HTGALoader() override;

    bool load(HFileSystem *fileSystem, const char *name) override;
    void freeImage() override;
    HImage *getImage() override;

    // Writes a 32-bit image as a true-colour TGA of depth 32. Other formats
    // are refused (false, nothing written), as are sides beyond 65535.
    bool write(HFileSystem *fileSystem, const char *name, HImage *image);

private:
    HImage *m_image;
};

// JPEG through libjpeg; the image is 32-bit with alpha 255.
class HJPGLoader : public HImageLoader
{
public:
    HJPGLoader();
    ~HJPGLoader() override;

    bool load(HFileSystem *fileSystem, const char *name) override;
    void freeImage() override;
    HImage *getImage() override;

private:
    HImage *m_image;
};

// PNG through libpng: 8-bit palette, RGB and RGBA images into 32-bit.
class HPNGLoader : public HImageLoader
{
public:
    HPNGLoader();
    ~HPNGLoader() override;

    bool load(HFileSystem *fileSystem, const char *name) override;
    void freeImage() override;
    HImage *getImage() override;

private:
    HImage *m_image;
};

// Chooses the loader by case-sensitive substrings of the name (".tga", then
// ".jpg" / ".jpeg", then ".png"; a later match wins) and keeps its image.
class HImageLoaderProxy : public HImageLoader
{
public:
    HImageLoaderProxy();
    ~HImageLoaderProxy() override;

    bool load(HFileSystem *fileSystem, const char *name) override;
    void freeImage() override;
    HImage *getImage() override;

private:
    HImage *m_image;
};

#endif
