// Pictures as the kit draws them, and the file formats the archive stores.
#ifndef CONTENT_ENCODERS_H
#define CONTENT_ENCODERS_H

#include <cstddef>
#include <cstdint>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace content {

// Straight (not premultiplied) 32-bit pixels 0xAARRGGBB, rows from the top.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    Picture() = default;
    Picture(int w, int h, uint32_t fill = 0) : width(w), height(h), argb(size_t(w) * h, fill) {}
    uint32_t &at(int x, int y) { return argb[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return argb[size_t(y) * width + x]; }
};

// A cairo ARGB32 or RGB24 image surface, un-premultiplied.
Picture fromCairo(cairo_surface_t *surface);

// Uncompressed TGA, type 2, bottom-up rows: 32 bits with alpha, or 24 bits.
std::vector<uint8_t> encodeTGA(const Picture &picture, bool withAlpha);
// Baseline JPEG, three components; alpha is ignored. A block that would
// decode to the colour key (255, 0, 255) is nudged and encoded again, since
// the key would turn those pixels transparent. Throws when that fails.
std::vector<uint8_t> encodeJPEG(const Picture &picture, int quality = 90);

// Decodes a JPEG of three components into opaque pixels; false when the
// bytes are not such a JPEG.
bool decodeJPEG(const std::vector<uint8_t> &bytes, Picture &out);

// Writes the picture as a PNG file, for looking at the kit's output; false on
// failure.
bool savePNG(const Picture &picture, const char *path);

} // namespace content

#endif
