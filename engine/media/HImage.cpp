#include "engine/media/HImage.h"

#include <cstring>
#include <new>

#include "engine/core/HMath.h"
#include "engine/core/HMessages.h"

H_DEFINE_CLASSINFO(HImage, "HObject");

uint32_t makeARGB(int32_t red, int32_t green, int32_t blue, int32_t alpha)
{
    return (uint32_t(alpha) & 0xFF) << 24 | (uint32_t(red) & 0xFF) << 16 | (uint32_t(green) & 0xFF) << 8
           | (uint32_t(blue) & 0xFF);
}

int32_t HImage::bytesPerPixelOf(int32_t format)
{
    switch (format) {
    case FORMAT_8BPP:
        return 1;
    case FORMAT_32BPP:
        return 4;
    case FORMAT_16BPP:
        return 2;
    default:
        return 0;
    }
}

bool HImage::isLoadableSize(int64_t width, int64_t height)
{
    return width >= 1 && height >= 1 && width <= kImageMaxPixels && height <= kImageMaxPixels
           && width * height <= kImageMaxPixels;
}

HImage::HImage(int32_t width, int32_t height, int32_t format)
    : m_data(nullptr), m_width(0), m_height(0), m_format(0)
{
    const int64_t bpp = bytesPerPixelOf(format);
    if (width < 0 || height < 0 || bpp == 0)
        return;
    // 64-bit product: two 32-bit sides cannot wrap it.
    const uint64_t bytes = uint64_t(width) * uint64_t(height) * uint64_t(bpp);
    if (bytes > 0) {
        if (bytes > uint64_t(PTRDIFF_MAX))
            return;
        m_data = new (std::nothrow) uint8_t[size_t(bytes)];
        if (m_data == nullptr)
            return;
    }
    m_width = width;
    m_height = height;
    m_format = format;
}

HImage::~HImage()
{
    delete[] m_data;
}

int32_t HImage::getBytesPerPixel() const
{
    const int32_t bpp = bytesPerPixelOf(m_format);
    if (bpp == 0)
        alertBox("getBytesPerPixel - unsupported format '%d'", m_format);
    return bpp;
}

int32_t HImage::getPitch() const
{
    return getBytesPerPixel() * m_width;
}

void HImage::getPixelRGBA(int32_t x, int32_t y, uint8_t out[4]) const
{
    const uint8_t *p = m_data + ((int64_t)y * m_width + x) * 4;
    out[0] = p[2];
    out[1] = p[1];
    out[2] = p[0];
    out[3] = p[3];
}

void HImage::clear()
{
    delete[] m_data;
    m_data = nullptr;
    m_width = 0;
    m_height = 0;
    m_format = 0;
}

HImage *HImage::duplicate() const
{
    HImage *copy = new (std::nothrow) HImage(m_width, m_height, m_format);
    if (copy == nullptr)
        return nullptr;
    if (copy->m_width != m_width || copy->m_height != m_height) {
        delete copy;
        return nullptr;
    }
    if (m_data != nullptr)
        memcpy(copy->m_data, m_data, size_t(m_width) * size_t(m_height) * size_t(bytesPerPixelOf(m_format)));
    return copy;
}

HImage *HImage::createSubImage(int32_t x, int32_t y, int32_t w, int32_t h) const
{
    // A rectangle reaching outside the image would read beyond the pixels.
    if (x < 0 || y < 0 || w < 0 || h < 0 || int64_t(x) + w > m_width || int64_t(y) + h > m_height)
        return nullptr;
    HImage *sub = new (std::nothrow) HImage(w, h, m_format);
    if (sub == nullptr)
        return nullptr;
    const int32_t bpp = bytesPerPixelOf(m_format);
    if (sub->m_width != w || sub->m_height != h) {
        delete sub;
        return nullptr;
    }
    for (int32_t row = 0; row < h; ++row) {
        for (int32_t col = 0; col < w; ++col) {
            switch (bpp) {
            case 1:
                sub->setPixel8(col, row, getPixel8(x + col, y + row));
                break;
            case 2:
                sub->setPixel16(col, row, getPixel16(x + col, y + row));
                break;
            case 4:
                sub->setPixel32(col, row, getPixel32(x + col, y + row));
                break;
            default:
                alertBox("Unknown pixel format in createSubImage()");
                break;
            }
        }
    }
    return sub;
}

void HImage::flipVertical()
{
    if (m_data == nullptr)
        return;
    const size_t pitch = size_t(m_width) * size_t(bytesPerPixelOf(m_format));
    for (int32_t top = 0, bottom = m_height - 1; top < bottom; ++top, --bottom) {
        uint8_t *a = m_data + pitch * size_t(top);
        uint8_t *b = m_data + pitch * size_t(bottom);
        // Swap in chunks so no row-sized temporary is needed.
        for (size_t done = 0; done < pitch;) {
            uint8_t chunk[256];
            const size_t n = pitch - done < sizeof chunk ? pitch - done : sizeof chunk;
            memcpy(chunk, a + done, n);
            memcpy(a + done, b + done, n);
            memcpy(b + done, chunk, n);
            done += n;
        }
    }
}

void HImage::downsampleInto(HImage *dst) const
{
    if (dst == nullptr || m_format != FORMAT_32BPP || dst->m_format != FORMAT_32BPP)
        return;
    for (int32_t i = 0; i < m_height; i += 2) {
        const int32_t i1 = i + 1 < m_height ? i + 1 : i;
        // An odd last row or column would land one past a dst made with
        // half the size rounded down.
        if (i / 2 >= dst->m_height)
            break;
        for (int32_t j = 0; j < m_width; j += 2) {
            const int32_t j1 = j + 1 < m_width ? j + 1 : j;
            if (j / 2 >= dst->m_width)
                break;
            const uint32_t p[4] = {getPixel32(j, i), getPixel32(j1, i), getPixel32(j, i1), getPixel32(j1, i1)};
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 0;
                for (uint32_t v : p)
                    sum += (v >> shift) & 0xFF;
                out |= (sum >> 2) << shift;
            }
            dst->setPixel32(j / 2, i / 2, out);
        }
    }
}

void HImage::makeNormalMap(HImage *dst) const
{
    if (dst == nullptr || m_format != FORMAT_8BPP || dst->m_format != FORMAT_32BPP || dst->m_width != m_width
        || dst->m_height != m_height)
        return;
    for (int32_t y = 0; y < m_height; ++y) {
        const int32_t below = y + 1 < m_height ? y + 1 : 0;
        for (int32_t x = 0; x < m_width; ++x) {
            const int32_t right = x + 1 < m_width ? x + 1 : 0;
            const float h = getPixel8(x, y) / 255.0f;
            const float hx = getPixel8(right, y) / 255.0f;
            const float hy = getPixel8(x, below) / 255.0f;
            const float dx = (h - hx) * 4.0f;
            const float dy = (h - hy) * 4.0f;
            const float m = float(1.0 / fsqrt(double(dx * dx + dy * dy + 1.0f)));
            uint8_t *out = dst->m_data + ((int64_t)y * dst->m_width + x) * 4;
            out[0] = uint8_t(int32_t(-dx * m * 127.0f + 128.0f));
            out[1] = uint8_t(int32_t(dy * m * 127.0f + 128.0f));
            out[2] = uint8_t(int32_t(m * 127.0f + 128.0f));
            out[3] = 255;
        }
    }
}

void HImage::applyRampTable(const uint16_t *table)
{
    if (table == nullptr || m_format != FORMAT_32BPP || m_data == nullptr)
        return;
    const size_t count = size_t(m_width) * size_t(m_height);
    for (size_t i = 0; i < count; ++i) {
        uint8_t *p = m_data + i * 4; // blue, green, red, alpha
        p[2] = uint8_t(table[p[2]] >> 8);
        p[1] = uint8_t(table[256 + p[1]] >> 8);
        p[0] = uint8_t(table[512 + p[0]] >> 8);
    }
}

void HImage::convertFormats()
{
    alertBox("HImage::convertFormats - Not implemented");
}
