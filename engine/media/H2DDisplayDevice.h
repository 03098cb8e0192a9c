// The display device: 16-bit surfaces with an optional one-byte alpha mask,
// opaque, masked and blended blits into the screen surface, the bitmap font,
// and the list of screen rectangles changed since the last presentation.
// H2DDisplayDevice is abstract; a back end (HSDL2DDisplayDevice) supplies the
// screen memory and presents the changed rectangles.
#ifndef ENGINE_MEDIA_H2DDISPLAYDEVICE_H
#define ENGINE_MEDIA_H2DDISPLAYDEVICE_H

#include <cstdint>

#include "engine/core/HRect.h"
#include "engine/media/HSystemDevice.h"

class HImage;
class VGSprite;

// Root of the surfaces. Surfaces are not HObjects.
class H2DSurface
{
public:
    virtual int32_t getWidth() const = 0;
    virtual int32_t getHeight() const = 0;
    // Frees what the surface owns; nothing here.
    virtual void release() {}
    virtual ~H2DSurface() {}
};

// Adds the alpha mask: width x height bytes, rows of exactly width bytes from
// the top down (255 opaque, 0 transparent), or null for an opaque surface.
class H2DSurfaceWithAlpha : public H2DSurface
{
public:
    H2DSurfaceWithAlpha() : m_pAlphaMask(nullptr) {}
    // The destructor frees nothing; release() does.
    ~H2DSurfaceWithAlpha() override {}

    virtual void setAlphaMask(uint8_t *mask) { m_pAlphaMask = mask; }
    virtual uint8_t *getAlphaMask() const { return m_pAlphaMask; }

protected:
    uint8_t *m_pAlphaMask;
};

// 16-bit pixels in the screen's layout. Pixel and mask arrays are malloc'ed;
// release() frees both, so a surface is disposed of through
// H2DDisplayDevice::destroySurface (release, then delete).
class H2DMemorySurface : public H2DSurfaceWithAlpha
{
public:
    H2DMemorySurface() : m_pPixels(nullptr), m_width(0), m_height(0), m_bitsPerPixel(16), m_pitch(0) {}
    ~H2DMemorySurface() override {}

    int32_t getWidth() const override { return m_width; }
    int32_t getHeight() const override { return m_height; }
    void release() override;

    uint16_t *getPixels() const { return m_pPixels; }
    int32_t getBitsPerPixel() const { return m_bitsPerPixel; }
    // Bytes from one row to the next.
    int32_t getPitch() const { return m_pitch; }
    // Sets every field but the mask; the caller keeps ownership rules in mind
    // (the screen surface describes memory it does not own).
    void describe(uint16_t *pixels, int32_t width, int32_t height, int32_t bitsPerPixel, int32_t pitch)
    {
        m_pPixels = pixels;
        m_width = width;
        m_height = height;
        m_bitsPerPixel = bitsPerPixel;
        m_pitch = pitch;
    }

private:
    uint16_t *m_pPixels;
    int32_t m_width;
    int32_t m_height;
    int32_t m_bitsPerPixel;
    int32_t m_pitch;
};

// The nine blend parameters, in the order every operation takes them.
struct HBlendMode
{
    int32_t srcAlphaSource;  // 0..7, see sm_getBlendAlpha
    int32_t srcParamSource;  // 0..5, see sm_getBlendParam
    int32_t srcInvert;       // 1: 65025 minus the factor; any other value: none
    int32_t srcConstAlpha;   // only the low 8 bits count
    int32_t dstAlphaSource;
    int32_t dstParamSource;
    int32_t dstInvert;
    int32_t dstConstAlpha;
    int32_t op;              // 0 add, 1 multiply, 2 src - dst, 3 dst - src
};

// The sprite over the screen weighted by its alpha mask, the screen by the
// complement, added.
constexpr HBlendMode kStandardBlend = {2, 1, 0, 255, 3, 1, 0, 255, 0};

// A grid of glyph cells, 16 per row; the cell in column c, row r holds the
// character 16 + 16 r + c. The sprite is not owned.
struct HBitmapFont
{
    VGSprite *sprite;
    int32_t cellWidth;
    int32_t cellHeight;
};

// Text alignments of drawText: x is the left edge, the right edge or the
// centre of the text.
enum
{
    kAlignLeft = 0,
    kAlignRight = 1,
    kAlignCenter = 2
};

class H2DDisplayDevice : public HSystemDevice
{
public:
    enum { kFrameHistory = 16 };

    // context is kept and never used (the application passes its console
    // variables).
    explicit H2DDisplayDevice(void *context);
    ~H2DDisplayDevice() override {}

    // Nothing for null; else shutdown, then delete.
    static void destroy(H2DDisplayDevice *device);

    // Stores the screen size and makes the standard blend the text blend
    // mode; true. Back ends open the screen first and call this last.
    virtual bool initScreen(int32_t width, int32_t height, const char *caption, uint8_t fullscreen, uint8_t flag);
    virtual void shutdown() = 0;
    // Fills the whole screen with red, green, blue in 0..1.
    virtual void clear(const float colour[3]) = 0;
    virtual void setModalState(bool) {}
    // A deep copy of pixels and mask; null when memory runs out.
    virtual H2DMemorySurface *cloneSurface(const H2DMemorySurface *surface);
    virtual H2DMemorySurface *createSurface(const HImage *image) = 0;
    virtual void destroySurface(H2DSurface *surface);
    virtual void showCursor(uint8_t show) = 0;

    // The unclipped blits: dest and src must lie inside the screen and the
    // surface. src is the part of the surface, dest's top-left corner
    // places it; the whole of dest is marked changed. All answer true.
    virtual bool blendBlit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface,
                           int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                           int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                           int32_t dstInvert, int32_t dstConstAlpha, int32_t op);
    virtual bool blit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface);
    // The whole surface with its top-left corner at dest's.
    virtual bool blitSurface(const HRect &dest, const H2DMemorySurface *surface);

    // Switches between window and full screen; false here.
    virtual bool toggleFullscreen() { return false; }

    // Deletes the record, not its sprite.
    virtual void destroyFont(HBitmapFont *font);
    virtual HBitmapFont *createFont(VGSprite *sprite, int32_t cellWidth, int32_t cellHeight);
    virtual int32_t getFontCellWidth(const HBitmapFont *font) const { return font->cellWidth; }
    virtual int32_t getFontCellHeight(const HBitmapFont *font) const { return font->cellHeight; }
    // Draws text with its top edge at y and x placed by align, clipped to
    // clipRect, through the text blend mode. Glyphs keep the font image's
    // colours: colour (red, green, blue, alpha) is not applied. A character
    // outside 16..127 or in a row the font image lacks draws nothing but
    // still takes its cell.
    virtual void drawText(const char *text, int32_t x, int32_t y, const HRect &clipRect, int32_t align,
                          const HBitmapFont *font, const float *colour);
    // The text blend mode, nine values in parameter order.
    virtual void setBlendMode(int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                              int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                              int32_t dstInvert, int32_t dstConstAlpha, int32_t op);
    virtual void onDeactivate() {}
    virtual void onActivate() {}
    // Entry 0 of the process-wide render-state table switches the standard
    // blend to a one-bit alpha test. Indices outside 0..3 are ignored.
    virtual void setRenderState(int32_t index, int32_t value);
    // Copies the given screen rectangles to the window.
    virtual void updateRects(const HRect *rects, int32_t count) = 0;

    // The clipped blits: dest is clipped to the screen and src to the
    // surface, each moving the other; nothing drawn or marked when nothing
    // is left. Answer true.
    bool blitClipped(const HRect &dest, const HRect &src, const H2DMemorySurface *surface);
    bool blendBlitClipped(const HRect &dest, const HRect &src, const H2DMemorySurface *surface,
                          int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                          int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                          int32_t dstInvert, int32_t dstConstAlpha, int32_t op);

    // Records the frame time and presents the changed rectangles, if any.
    void flip();
    // 1000 over the mean of the last 16 frame times.
    float getFramesPerSecond() const;

    void *getContext() const { return m_pContext; }
    const H2DMemorySurface &getScreenSurface() const { return m_screen; }
    int32_t getScreenWidth() const { return m_screenWidth; }
    int32_t getScreenHeight() const { return m_screenHeight; }
    const HDirtyRectList &getChangedRects() const { return m_changedRects; }
    const HBlendMode &getTextBlendMode() const { return m_textBlend; }
    int32_t getPresentedPixels() const { return m_presentedPixels; }
    int32_t getFrameCount() const { return m_frameCount; }
    // Oldest first.
    const int32_t *getFrameTimes() const { return m_frameTimes; }

protected:
    // The clip shared by both clipped blits: false when nothing is left.
    bool m_clipBlit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface,
                    HRect &clippedDest, HRect &clippedSrc) const;

    void *m_pContext;
    int32_t m_presentedPixels;
    // Describes the back end's screen memory; its pixels are never released
    // through it. Null pixels make every blit draw nothing.
    H2DMemorySurface m_screen;
    HBlendMode m_textBlend;
    HDirtyRectList m_changedRects;
    int32_t m_frameTimes[kFrameHistory];
    int32_t m_frameCount;
    int32_t m_screenWidth;
    int32_t m_screenHeight;
};

// The process-wide blender, shared by all devices (one device at a time).

// Fast-path choices of the blender.
enum
{
    kBlendFastNone = 0,
    kBlendFastStandard = 1,   // standard blend: alpha 255 is the source, 0 the destination
    kBlendFastAlphaTest = 2   // standard blend under the one-bit alpha test
};

// The screen format: channel bit counts and shifts.
void sm_setPixelFormat(int32_t rBits, int32_t gBits, int32_t bBits, int32_t rShift, int32_t gShift,
                       int32_t bShift);
// Stores the blend parameters (constant alphas as bytes) and picks the fast
// path from them and render state 0.
void sm_setBlendState(int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                      int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                      int32_t dstInvert, int32_t dstConstAlpha, int32_t op);
// Alpha source 0..7 for a pixel of alpha `alpha`; others warn and give 255.
int32_t sm_getBlendAlpha(int32_t source, int32_t alpha);
// Parameter source 0..5; others warn and give 255.
int32_t sm_getBlendParam(int32_t source);
// One pixel through the current blend state.
uint16_t sm_blendPixels16(uint16_t src, uint16_t dst, uint8_t alpha);

// Inspection of the process-wide state.
int32_t sm_getFastPath();
uint8_t sm_getRenderState(int32_t index);

// The blender scales a channel c (0..255) by a factor F (0..65025) as
// floor(c x F / 65025) without a division: with K = ceil(F x 2^24 / 65025),
// (c x K) >> 24 is that value exactly (the error of K stays below one part in
// 65025 for c below 258), and c x K fits in 32 bits.
inline uint32_t sm_scaleMultiplier(uint32_t factor)
{
    return static_cast<uint32_t>(((static_cast<uint64_t>(factor) << 24) + 65024u) / 65025u);
}
inline uint32_t sm_scaleChannel(uint32_t c, uint32_t multiplier)
{
    return (c * multiplier) >> 24;
}
// floor(x / 255) for every x up to 255 x 255, without a division. The sum
// stays below 2^16, so the same steps work on 16-bit lanes of a wider word.
inline uint32_t sm_div255(uint32_t x)
{
    return (x + 1u + (x >> 8)) >> 8;
}

#endif
