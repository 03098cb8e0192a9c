#include "engine/media/H2DDisplayDevice.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/core/VyTime.h"
#include "engine/media/H2DBlender.h"
#include "framework/VGSprite.h"

namespace {

// Time of the last flip, shared by all devices; zero until the first.
VyTime s_lastFlip;

inline uint16_t *s_row(uint16_t *pixels, int32_t pitch, int32_t y)
{
    return reinterpret_cast<uint16_t *>(reinterpret_cast<uint8_t *>(pixels) + static_cast<intptr_t>(pitch) * y);
}

inline const uint16_t *s_row(const uint16_t *pixels, int32_t pitch, int32_t y)
{
    return reinterpret_cast<const uint16_t *>(reinterpret_cast<const uint8_t *>(pixels) +
                                              static_cast<intptr_t>(pitch) * y);
}

} // namespace

void H2DMemorySurface::release()
{
    free(m_pPixels);
    m_pPixels = nullptr;
    free(m_pAlphaMask);
    m_pAlphaMask = nullptr;
}

H2DDisplayDevice::H2DDisplayDevice(void *context)
    : m_pContext(context), m_presentedPixels(0), m_textBlend(), m_frameCount(0), m_screenWidth(0),
      m_screenHeight(0)
{
    memset(m_frameTimes, 0, sizeof m_frameTimes);
}

void H2DDisplayDevice::destroy(H2DDisplayDevice *device)
{
    if (!device)
        return;
    device->shutdown();
    delete device;
}

bool H2DDisplayDevice::initScreen(int32_t width, int32_t height, const char *, uint8_t, uint8_t)
{
    m_screenWidth = width;
    m_screenHeight = height;
    m_textBlend = kStandardBlend;
    return true;
}

H2DMemorySurface *H2DDisplayDevice::cloneSurface(const H2DMemorySurface *surface)
{
    if (!surface)
        return nullptr;
    const int32_t width = surface->getWidth();
    const int32_t height = surface->getHeight();
    const int32_t bpp = surface->getBitsPerPixel();
    const int32_t pitch = width * bpp / 8;
    if (width < 0 || height < 0 || pitch < 0)
        return nullptr;
    const size_t pixelBytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);

    H2DMemorySurface *copy = new (std::nothrow) H2DMemorySurface;
    if (!copy)
        return nullptr;
    uint16_t *pixels = static_cast<uint16_t *>(malloc(pixelBytes ? pixelBytes : 1));
    uint8_t *mask = nullptr;
    const uint8_t *sourceMask = surface->getAlphaMask();
    if (sourceMask) {
        const size_t maskBytes = static_cast<size_t>(width) * static_cast<size_t>(height);
        mask = static_cast<uint8_t *>(malloc(maskBytes ? maskBytes : 1));
        if (mask)
            memcpy(mask, sourceMask, maskBytes);
    }
    if (!pixels || (sourceMask && !mask)) {
        free(pixels);
        free(mask);
        delete copy;
        return nullptr;
    }
    // Row by row, so a source whose pitch is wider than its rows copies right too.
    if (surface->getPixels())
        for (int32_t y = 0; y < height; ++y)
            memcpy(s_row(pixels, pitch, y), s_row(surface->getPixels(), surface->getPitch(), y),
                   static_cast<size_t>(pitch));
    copy->describe(pixels, width, height, bpp, pitch);
    copy->setAlphaMask(mask);
    return copy;
}

void H2DDisplayDevice::destroySurface(H2DSurface *surface)
{
    if (!surface)
        return;
    surface->release();
    delete surface;
}

bool H2DDisplayDevice::blit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface)
{
    uint16_t *screen = m_screen.getPixels();
    if (!screen || !surface || !surface->getPixels())
        return true;
    m_changedRects.addRect(dest);

    const int32_t width = src.x1 - src.x0;
    const int32_t height = src.y1 - src.y0;
    if (width <= 0 || height <= 0)
        return true;
    const uint8_t *mask = surface->getAlphaMask();
    const int32_t maskPitch = surface->getWidth();
    for (int32_t r = 0; r < height; ++r) {
        uint16_t *d = s_row(screen, m_screen.getPitch(), dest.y0 + r) + dest.x0;
        const uint16_t *s = s_row(surface->getPixels(), surface->getPitch(), src.y0 + r) + src.x0;
        if (mask)
            h2d_blender::copyRowMasked(d, s, mask + static_cast<intptr_t>(src.y0 + r) * maskPitch + src.x0, width);
        else
            memcpy(d, s, static_cast<size_t>(width) * surface->getBitsPerPixel() / 8);
    }
    return true;
}

bool H2DDisplayDevice::blitSurface(const HRect &dest, const H2DMemorySurface *surface)
{
    uint16_t *screen = m_screen.getPixels();
    if (!screen || !surface || !surface->getPixels())
        return true;
    m_changedRects.addRect(dest);

    const int32_t width = surface->getWidth();
    const uint8_t *mask = surface->getAlphaMask();
    for (int32_t r = 0; r < surface->getHeight(); ++r) {
        uint16_t *d = s_row(screen, m_screen.getPitch(), dest.y0 + r) + dest.x0;
        const uint16_t *s = s_row(surface->getPixels(), surface->getPitch(), r);
        if (mask)
            h2d_blender::copyRowMasked(d, s, mask + static_cast<intptr_t>(r) * width, width);
        else
            memcpy(d, s, static_cast<size_t>(width) * sizeof(uint16_t));
    }
    return true;
}

bool H2DDisplayDevice::blendBlit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface,
                                 int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                                 int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                                 int32_t dstInvert, int32_t dstConstAlpha, int32_t op)
{
    if (!m_screen.getPixels() || !surface || !surface->getPixels())
        return true;
    const uint8_t *mask = surface->getAlphaMask();
    // On an opaque surface a blend that reads the pixel alpha is a plain copy.
    if (!mask && (srcAlphaSource == 2 || srcAlphaSource == 3 || dstAlphaSource == 2 || dstAlphaSource == 3)) {
        blit(dest, src, surface);
        return true;
    }
    m_changedRects.addRect(dest);
    sm_setBlendState(srcAlphaSource, srcParamSource, srcInvert, srcConstAlpha, dstAlphaSource, dstParamSource,
                     dstInvert, dstConstAlpha, op);

    const int32_t width = src.x1 - src.x0;
    const int32_t height = src.y1 - src.y0;
    if (width <= 0 || height <= 0)
        return true;
    const int32_t maskPitch = surface->getWidth();
    for (int32_t r = 0; r < height; ++r) {
        uint16_t *d = s_row(m_screen.getPixels(), m_screen.getPitch(), dest.y0 + r) + dest.x0;
        const uint16_t *s = s_row(surface->getPixels(), surface->getPitch(), src.y0 + r) + src.x0;
        const uint8_t *m = mask ? mask + static_cast<intptr_t>(src.y0 + r) * maskPitch + src.x0 : nullptr;
        h2d_blender::blendRow(d, s, m, width);
    }
    return true;
}

bool H2DDisplayDevice::m_clipBlit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface,
                                  HRect &clippedDest, HRect &clippedSrc) const
{
    if (!surface)
        return false;
    const HRect screen(0, 0, m_screenWidth, m_screenHeight);
    HRect d;
    HRect s = src;
    if (!dest.clip(screen, d, s))
        return false;
    // The source is clipped to the surface as well, so a rectangle worked out
    // from an assumed picture size never reads outside a smaller picture.
    const HRect picture(0, 0, surface->getWidth(), surface->getHeight());
    HRect s2;
    HRect d2 = d;
    if (!s.clip(picture, s2, d2))
        return false;
    // The copy takes the source's size at the destination's corner: keep it
    // within what is left of the destination.
    if (s2.x1 - s2.x0 > d2.x1 - d2.x0)
        s2.x1 = s2.x0 + (d2.x1 - d2.x0);
    if (s2.y1 - s2.y0 > d2.y1 - d2.y0)
        s2.y1 = s2.y0 + (d2.y1 - d2.y0);
    if (s2.x0 >= s2.x1 || s2.y0 >= s2.y1)
        return false;
    clippedDest = d2;
    clippedSrc = s2;
    return true;
}

bool H2DDisplayDevice::blitClipped(const HRect &dest, const HRect &src, const H2DMemorySurface *surface)
{
    HRect d, s;
    if (!m_clipBlit(dest, src, surface, d, s))
        return true;
    return blit(d, s, surface);
}

bool H2DDisplayDevice::blendBlitClipped(const HRect &dest, const HRect &src, const H2DMemorySurface *surface,
                                        int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                                        int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                                        int32_t dstInvert, int32_t dstConstAlpha, int32_t op)
{
    HRect d, s;
    if (!m_clipBlit(dest, src, surface, d, s))
        return true;
    return blendBlit(d, s, surface, srcAlphaSource, srcParamSource, srcInvert, srcConstAlpha, dstAlphaSource,
                     dstParamSource, dstInvert, dstConstAlpha, op);
}

void H2DDisplayDevice::destroyFont(HBitmapFont *font)
{
    delete font;
}

HBitmapFont *H2DDisplayDevice::createFont(VGSprite *sprite, int32_t cellWidth, int32_t cellHeight)
{
    HBitmapFont *font = new (std::nothrow) HBitmapFont;
    if (font) {
        font->sprite = sprite;
        font->cellWidth = cellWidth;
        font->cellHeight = cellHeight;
    }
    return font;
}

// The font's sprite class lives in the framework library, above this one;
// the sanitizer's dynamic-type check would need its type information here.
__attribute__((no_sanitize("vptr"))) void H2DDisplayDevice::drawText(const char *text, int32_t x, int32_t y, const HRect &clipRect, int32_t align,
                                const HBitmapFont *font, const float *)
{
    if (!font || !font->sprite || !text)
        return;
    const int32_t cw = font->cellWidth;
    const int32_t ch = font->cellHeight;
    const int32_t n = static_cast<int32_t>(strlen(text));
    int32_t start = x;
    if (align == kAlignCenter)
        start = x - n * cw / 2;
    else if (align == kAlignRight)
        start = x - n * cw;

    const int32_t imageHeight = font->sprite->getHeight();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t c = static_cast<int8_t>(text[i]);
        // Codes below 16 (and the negative ones above 127) have no cell.
        if (c < 16)
            continue;
        const int32_t column = c % 16;
        const int32_t row = c / 16 - 1;
        if (row * ch >= imageHeight)
            continue;
        HRect src(column * cw, row * ch, column * cw + cw, row * ch + ch);
        const HRect dest(start + i * cw, y, start + i * cw + cw, y + ch);
        HRect clipped;
        if (!dest.clip(clipRect, clipped, src))
            continue;
        const HBlendMode &m = m_textBlend;
        font->sprite->blendBlit(clipped, src, m.srcAlphaSource, m.srcParamSource, m.srcInvert, m.srcConstAlpha,
                                m.dstAlphaSource, m.dstParamSource, m.dstInvert, m.dstConstAlpha, m.op);
    }
}

void H2DDisplayDevice::setBlendMode(int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                                    int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                                    int32_t dstInvert, int32_t dstConstAlpha, int32_t op)
{
    m_textBlend = {srcAlphaSource, srcParamSource, srcInvert, srcConstAlpha, dstAlphaSource,
                   dstParamSource, dstInvert, dstConstAlpha, op};
}

void H2DDisplayDevice::setRenderState(int32_t index, int32_t value)
{
    sm_storeRenderState(index, value);
}

void H2DDisplayDevice::flip()
{
    VyTime now;
    getTicks(now);
    if (s_lastFlip.low == 0 && s_lastFlip.high == 0)
        s_lastFlip = now;
    const uint32_t dt = VyTime::diff32(now, s_lastFlip);
    s_lastFlip = now;

    memmove(m_frameTimes, m_frameTimes + 1, sizeof(m_frameTimes) - sizeof(m_frameTimes[0]));
    m_frameTimes[kFrameHistory - 1] = static_cast<int32_t>(dt);

    const int32_t count = m_changedRects.getCount();
    m_presentedPixels = m_changedRects.getArea();
    ++m_frameCount;
    if (count > 0) {
        updateRects(m_changedRects.getRects(), count);
        m_changedRects.clear();
    }
}

float H2DDisplayDevice::getFramesPerSecond() const
{
    float sum = 0.0f;
    for (int32_t i = 0; i < kFrameHistory; ++i)
        sum += static_cast<float>(m_frameTimes[i]);
    return 1000.0f / (sum * (1.0f / kFrameHistory));
}
