// A display device over plain memory for tests: the screen is a pixel array
// with a pitch wider than its rows (so pitch mistakes show), and the
// presented rectangles are recorded. Plus helpers for hand-made surfaces and
// an independent per-pixel reference of the blend formula.
#ifndef TESTS_ENGINE_MEDIA_DISPLAY_DISPLAY_TEST_SUPPORT_H
#define TESTS_ENGINE_MEDIA_DISPLAY_DISPLAY_TEST_SUPPORT_H

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/media/H2DDisplayDevice.h"

namespace tilmar_test {

class MemoryDisplay : public H2DDisplayDevice
{
public:
    // Filler pixels at the end of each screen row; never drawn into.
    enum { kRowPadding = 5, kPadValue = 0xDEAD };

    explicit MemoryDisplay(int32_t width = 64, int32_t height = 48)
        : H2DDisplayDevice(nullptr), m_stride(width + kRowPadding),
          m_pixels(static_cast<size_t>(m_stride) * height, 0)
    {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t p = 0; p < kRowPadding; ++p)
                m_pixels[static_cast<size_t>(y) * m_stride + width + p] = kPadValue;
        m_screen.describe(m_pixels.data(), width, height, 16, m_stride * 2);
        initScreen(width, height, "test", 0, 0);
    }

    void shutdown() override { ++shutdowns; }
    void clear(const float *) override {}
    H2DMemorySurface *createSurface(const HImage *) override { return nullptr; }
    void showCursor(uint8_t) override {}
    void updateRects(const HRect *rects, int32_t count) override
    {
        presented.emplace_back(rects, rects + count);
    }

    uint16_t at(int32_t x, int32_t y) const { return m_pixels[static_cast<size_t>(y) * m_stride + x]; }
    void set(int32_t x, int32_t y, uint16_t v) { m_pixels[static_cast<size_t>(y) * m_stride + x] = v; }
    void fill(uint16_t v)
    {
        for (int32_t y = 0; y < getScreenHeight(); ++y)
            for (int32_t x = 0; x < getScreenWidth(); ++x)
                set(x, y, v);
    }
    bool paddingIntact() const
    {
        for (int32_t y = 0; y < getScreenHeight(); ++y)
            for (int32_t p = 0; p < kRowPadding; ++p)
                if (m_pixels[static_cast<size_t>(y) * m_stride + getScreenWidth() + p] != kPadValue)
                    return false;
        return true;
    }
    // Replaces the screen memory description, e.g. with null pixels.
    void describeScreen(uint16_t *pixels) { m_screen.describe(pixels, getScreenWidth(), getScreenHeight(), 16, m_stride * 2); }

    int shutdowns = 0;
    std::vector<std::vector<HRect>> presented;

private:
    int32_t m_stride;
    std::vector<uint16_t> m_pixels;
};

// A malloc'ed surface as the device makes them; returned with
// H2DDisplayDevice::destroySurface or through SurfaceOwner.
inline H2DMemorySurface *makeSurface(int32_t width, int32_t height, const std::vector<uint16_t> &pixels,
                                     const std::vector<uint8_t> *mask = nullptr)
{
    H2DMemorySurface *s = new H2DMemorySurface;
    const size_t n = static_cast<size_t>(width) * height;
    uint16_t *p = static_cast<uint16_t *>(malloc(n * 2 + 2));
    memcpy(p, pixels.data(), n * 2);
    s->describe(p, width, height, 16, width * 2);
    if (mask) {
        uint8_t *m = static_cast<uint8_t *>(malloc(n + 1));
        memcpy(m, mask->data(), n);
        s->setAlphaMask(m);
    }
    return s;
}

struct SurfaceOwner
{
    explicit SurfaceOwner(H2DMemorySurface *s) : surface(s) {}
    ~SurfaceOwner()
    {
        if (surface) {
            surface->release();
            delete surface;
        }
    }
    SurfaceOwner(const SurfaceOwner &) = delete;
    SurfaceOwner &operator=(const SurfaceOwner &) = delete;
    H2DMemorySurface *operator->() const { return surface; }
    H2DMemorySurface *surface;
};

struct RefFormat
{
    int bits[3];
    int shift[3];
};

constexpr RefFormat kFormat565 = {{5, 6, 5}, {11, 5, 0}};
constexpr RefFormat kFormat555 = {{5, 5, 5}, {10, 5, 0}};

// The blend formula written out directly, with plain divisions.
inline uint16_t referenceBlend(const HBlendMode &m, const RefFormat &f, uint16_t src, uint16_t dst, int a,
                               int renderState0)
{
    const int sca = m.srcConstAlpha & 0xFF;
    const int dca = m.dstConstAlpha & 0xFF;
    const bool standard = m.srcAlphaSource == 2 && m.srcParamSource == 1 && m.srcInvert == 0 &&
                          m.dstAlphaSource == 3 && m.dstParamSource == 1 && m.dstInvert == 0 && m.op == 0;
    if (standard && renderState0 != 0)
        return a >= 128 ? src : dst;
    if (standard && a == 255)
        return src;
    if (standard && a == 0)
        return dst;
    auto alphaOf = [&](int source) -> long {
        switch (source) {
        case 0: return 0;
        case 1: return 255;
        case 2: return a;
        case 3: return 255 - a;
        case 4: return sca;
        case 5: return 255 - sca;
        case 6: return dca;
        case 7: return 255 - dca;
        default: return 255;
        }
    };
    auto paramOf = [&](int source) -> long {
        switch (source) {
        case 0: return 0;
        case 1: return 255;
        case 2: return sca;
        case 3: return 255 - sca;
        case 4: return dca;
        case 5: return 255 - dca;
        default: return 255;
        }
    };
    long fs = alphaOf(m.srcAlphaSource) * paramOf(m.srcParamSource);
    if (m.srcInvert == 1)
        fs = 65025 - fs;
    long fd = alphaOf(m.dstAlphaSource) * paramOf(m.dstParamSource);
    if (m.dstInvert == 1)
        fd = 65025 - fd;
    if (m.op < 0 || m.op > 3)
        return 0;
    unsigned out = 0;
    for (int ch = 0; ch < 3; ++ch) {
        const long max = (1L << f.bits[ch]) - 1;
        const long s = ((src >> f.shift[ch]) & max) * fs / 65025;
        const long d = ((dst >> f.shift[ch]) & max) * fd / 65025;
        long r = 0;
        switch (m.op) {
        case 0: r = s + d; break;
        case 1: r = s * d / 255; break;
        case 2: r = s - d; break;
        case 3: r = d - s; break;
        }
        if (r < 0)
            r = 0;
        if (r > max)
            r = max;
        out |= static_cast<unsigned>(r) << f.shift[ch];
    }
    return static_cast<uint16_t>(out);
}

inline void setBlend(const HBlendMode &m)
{
    sm_setBlendState(m.srcAlphaSource, m.srcParamSource, m.srcInvert, m.srcConstAlpha, m.dstAlphaSource,
                     m.dstParamSource, m.dstInvert, m.dstConstAlpha, m.op);
}

inline void setFormat(const RefFormat &f)
{
    sm_setPixelFormat(f.bits[0], f.bits[1], f.bits[2], f.shift[0], f.shift[1], f.shift[2]);
}

inline uint16_t rgb565(int r, int g, int b)
{
    return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

// A small deterministic generator for test data.
struct Lcg
{
    uint32_t state;
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

} // namespace tilmar_test

#endif
