#include "engine/media/HImageLoader.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"

HImageLoader::~HImageLoader() {}

bool HImageLoader::readWholeFile(HFileSystem *fileSystem, const char *name, uint8_t **data, int32_t *size)
{
    *data = nullptr;
    *size = 0;
    if (fileSystem == nullptr || name == nullptr)
        return false;
    HFile *file = fileSystem->openFileForRead(name);
    if (file == nullptr)
        return false;
    const int32_t length = file->getSize();
    uint8_t *buffer = readAndCloseFile(file, length);
    if (buffer == nullptr)
        return false;
    *data = buffer;
    *size = length;
    return true;
}

bool HImageLoader::loadWith(HFileSystem *fileSystem, const char *name, DecodeFunction decode, HImage **image)
{
    *image = nullptr;
    uint8_t *data = nullptr;
    int32_t size = 0;
    if (!readWholeFile(fileSystem, name, &data, &size))
        return false;
    HImage *decoded = nullptr;
    const bool ok = decode(data, size, name, &decoded);
    free(data);
    if (!ok) {
        delete decoded;
        decoded = nullptr;
    }
    *image = decoded;
    return ok;
}

// ---------------------------------------------------------------------------
// HImageLoaderProxy

HImageLoaderProxy::HImageLoaderProxy() : m_image(nullptr) {}

HImageLoaderProxy::~HImageLoaderProxy() {}

bool HImageLoaderProxy::load(HFileSystem *fileSystem, const char *name)
{
    freeImage();
    if (name == nullptr)
        return false;

    enum { NONE, TGA, JPG, PNG } kind = NONE;
    if (strstr(name, ".tga") != nullptr)
        kind = TGA;
    if (strstr(name, ".jpg") != nullptr || strstr(name, ".jpeg") != nullptr)
        kind = JPG;
    if (strstr(name, ".png") != nullptr)
        kind = PNG;

    HImageLoader *loader = nullptr;
    switch (kind) {
    case TGA:
        loader = new (std::nothrow) HTGALoader();
        break;
    case JPG:
        loader = new (std::nothrow) HJPGLoader();
        break;
    case PNG:
        loader = new (std::nothrow) HPNGLoader();
        break;
    case NONE:
        warningPrint("HImageLoaderProxy::load - unknown file type for file '%s'", name);
        return false;
    }
    if (loader == nullptr)
        return false;

    const bool loaded = loader->load(fileSystem, name);
    if (loaded)
        m_image = loader->getImage(); // taken over: the loader does not delete it
    else
        loader->freeImage();
    delete loader;
    return loaded;
}

void HImageLoaderProxy::freeImage()
{
    delete m_image;
    m_image = nullptr;
}

HImage *HImageLoaderProxy::getImage()
{
    return m_image;
}

// ---------------------------------------------------------------------------
// HTGALoader

namespace {

constexpr int32_t kTgaHeaderSize = 18;

uint16_t readLE16(const uint8_t *p)
{
    return uint16_t(p[0] | p[1] << 8);
}

} // namespace

HTGALoader::HTGALoader() : m_image(nullptr) {}

HTGALoader::~HTGALoader() {}

void HTGALoader::freeImage()
{
    delete m_image;
    m_image = nullptr;
}

HImage *HTGALoader::getImage()
{
    return m_image;
}

bool HTGALoader::load(HFileSystem *fileSystem, const char *name)
{
    freeImage();
    uint8_t *data = nullptr;
    int32_t size = 0;
    if (!readWholeFile(fileSystem, name, &data, &size))
        return false;

    bool ok = false;
    do {
        if (size < kTgaHeaderSize) {
            warningPrint("HTGALoader::load - truncated file '%s'", name);
            break;
        }
        if (data[1] != 0)
            warningPrint("HTGALoader::load - colormap found in '%s'", name);
        const int32_t type = data[2];
        const int32_t width = readLE16(data + 12);
        const int32_t height = readLE16(data + 14);
        const int32_t depth = data[16];

        int32_t sourceBytes = 1;
        int32_t format = FORMAT_8BPP;
        if (type == 2) {
            if (depth == 16) {
                sourceBytes = 2;
                format = FORMAT_16BPP;
            } else if (depth == 24 || depth == 32) {
                sourceBytes = depth / 8;
                format = FORMAT_32BPP;
            } else {
                warningPrint("HTGALoader::load - unsupported pixel depth %d in '%s'", depth, name);
                break;
            }
        }
        if (!HImage::isLoadableSize(width, height)) {
            warningPrint("HTGALoader::load - unsupported size %dx%d in '%s'", width, height, name);
            break;
        }
        const int64_t pixels = int64_t(width) * height;
        if (int64_t(size) - kTgaHeaderSize < pixels * sourceBytes) {
            warningPrint("HTGALoader::load - truncated file '%s'", name);
            break;
        }

        HImage *image = new (std::nothrow) HImage(width, height, format);
        if (image == nullptr)
            break;
        if (image->getData() == nullptr) {
            delete image;
            break;
        }

        const uint8_t *src = data + kTgaHeaderSize;
        uint8_t *dst = image->getData();
        if (format == FORMAT_16BPP) {
            uint16_t *out = reinterpret_cast<uint16_t *>(dst);
            for (int64_t i = 0; i < pixels; ++i, src += 2) {
                const uint32_t m = readLE16(src);
                out[i] = uint16_t(((m >> 10) & 31) << 1 | ((m >> 5) & 31) << 6 | (m & 31) << 11);
            }
        } else if (format == FORMAT_32BPP && sourceBytes == 3) {
            for (int64_t i = 0; i < pixels; ++i, src += 3, dst += 4) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = 255;
            }
        } else {
            memcpy(dst, src, size_t(pixels) * size_t(sourceBytes));
        }

        // The file's rows run bottom-up.
        image->flipVertical();
        m_image = image;
        debugPrint("...loaded '%s' %dx%dx%d\n", name, width, height, depth);
        ok = true;
    } while (false);

    free(data);
    return ok;
}

bool HTGALoader::write(HFileSystem *fileSystem, const char *name, HImage *image)
{
    if (fileSystem == nullptr || name == nullptr || image == nullptr)
        return false;
    // Only 32-bit images make a true-colour file the loader reads back.
    if (image->getFormat() != FORMAT_32BPP) {
        alertBox("HTGALoader::write() - Unsupported image format");
        return false;
    }
    const int32_t width = image->getWidth();
    const int32_t height = image->getHeight();
    if (width > 0xFFFF || height > 0xFFFF || image->getData() == nullptr)
        return false;

    const size_t pitch = size_t(width) * 4;
    const size_t total = kTgaHeaderSize + pitch * size_t(height);
    if (total > size_t(INT32_MAX))
        return false;
    uint8_t *out = static_cast<uint8_t *>(calloc(total, 1));
    if (out == nullptr)
        return false;
    out[2] = 2; // uncompressed true colour
    out[12] = uint8_t(width);
    out[13] = uint8_t(width >> 8);
    out[14] = uint8_t(height);
    out[15] = uint8_t(height >> 8);
    out[16] = 32;
    // Descriptor 0 puts the origin bottom-left, so the rows go bottom-up.
    for (int32_t row = 0; row < height; ++row)
        memcpy(out + kTgaHeaderSize + pitch * size_t(height - 1 - row), image->getData() + pitch * size_t(row), pitch);

    HFile *file = fileSystem->openFileForWrite(name);
    if (file == nullptr) {
        free(out);
        return false;
    }
    const bool written = file->write(out, int32_t(total)) == int32_t(total);
    file->close();
    free(out);
    return written;
}
