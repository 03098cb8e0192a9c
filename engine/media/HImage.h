// HImage: the engine's pixel buffer in memory, what the image loaders produce
// and what the display back end converts into screen surfaces.
#ifndef ENGINE_MEDIA_HIMAGE_H
#define ENGINE_MEDIA_HIMAGE_H

#include <cstdint>

#include "engine/core/HObject.h"

// Pixel formats of an HImage.
enum HImageFormat {
    // One byte per pixel (grey, palette index or raw byte).
    FORMAT_8BPP = 1,
    // Bytes blue, green, red, alpha in memory order: read as a little-endian
    // word, alpha << 24 | red << 16 | green << 8 | blue.
    FORMAT_32BPP = 2,
    // 16-bit word: bit 0 unused, red in bits 1-5, green in 6-10, blue in 11-15.
    FORMAT_16BPP = 3
};

// Largest pixel count a loader accepts from a file header (4096 x 4096).
constexpr int64_t kImageMaxPixels = int64_t(4096) * 4096;

// alpha << 24 | red << 16 | green << 8 | blue, each part cut to 8 bits.
uint32_t makeARGB(int32_t red, int32_t green, int32_t blue, int32_t alpha);

class HImage : public HObject
{
    H_DECLARE_CLASSINFO();

    // Allocates width x height x bytes-per-pixel bytes, not cleared. When the
    // size is negative, the format unknown or the allocation fails, the image
    // is left empty: no pixels, width, height and format 0 (test getData()).
    HImage(int32_t width, int32_t height, int32_t format);
    ~HImage() override;

    HImage(const HImage &) = delete;
    HImage &operator=(const HImage &) = delete;

    // Bytes per pixel of a format value: 1, 4 or 2; 0 for any other value.
    static int32_t bytesPerPixelOf(int32_t format);
    // True when a file may declare this size: both sides at least 1 and at
    // most kImageMaxPixels pixels in all.
    static bool isLoadableSize(int64_t width, int64_t height);

    uint8_t *getData() { return m_data; }
    const uint8_t *getData() const { return m_data; }
    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }
    int32_t getFormat() const { return m_format; }

    // 1, 4 or 2 for the three formats; any other: an alert and 0.
    int32_t getBytesPerPixel() const;
    // Bytes per row: bytes per pixel x width.
    int32_t getPitch() const;

    // The pixel at column x, row y of a 1-, 2- or 4-byte image. Unchecked:
    // the coordinates must lie inside the image.
    uint8_t getPixel8(int32_t x, int32_t y) const { return m_data[(int64_t)y * m_width + x]; }
    void setPixel8(int32_t x, int32_t y, uint8_t value) { m_data[(int64_t)y * m_width + x] = value; }
    uint16_t getPixel16(int32_t x, int32_t y) const
    {
        return reinterpret_cast<const uint16_t *>(m_data)[(int64_t)y * m_width + x];
    }
    void setPixel16(int32_t x, int32_t y, uint16_t value)
    {
        reinterpret_cast<uint16_t *>(m_data)[(int64_t)y * m_width + x] = value;
    }
    uint32_t getPixel32(int32_t x, int32_t y) const
    {
        return reinterpret_cast<const uint32_t *>(m_data)[(int64_t)y * m_width + x];
    }
    void setPixel32(int32_t x, int32_t y, uint32_t value)
    {
        reinterpret_cast<uint32_t *>(m_data)[(int64_t)y * m_width + x] = value;
    }
    // Red, green, blue, alpha of a pixel of a 32-bit image.
    void getPixelRGBA(int32_t x, int32_t y, uint8_t out[4]) const;

    // Frees the pixels; width, height and format become 0.
    void clear();
    // A new image of the same size and format with a copy of the pixels
    // (null when the copy cannot be allocated).
    HImage *duplicate() const;
    // A new image of the same format holding the w x h rectangle whose
    // top-left pixel is (x, y); the rectangle must lie inside the image.
    HImage *createSubImage(int32_t x, int32_t y, int32_t w, int32_t h) const;
    // Turns the image upside down in place.
    void flipVertical();
    // 2 x 2 box average of this 32-bit image into dst (32-bit, half the width
    // and height); beyond the last column or row the edge pixel repeats.
    void downsampleInto(HImage *dst) const;
    // Treats this 8-bit image as a height map and writes its normal map into
    // dst (32-bit, same size); neighbours wrap at the edges.
    void makeNormalMap(HImage *dst) const;
    // Maps each pixel of a 32-bit image through 3 x 256 16-bit entries, using
    // each entry's high byte: entry c for red, 256 + c green, 512 + c blue.
    void applyRampTable(const uint16_t *table);
    // Not implemented: reports an alert.
    void convertFormats();

protected:
    uint8_t *m_data; // owned
    int32_t m_width;
    int32_t m_height;
    int32_t m_format; // HImageFormat
};

#endif
