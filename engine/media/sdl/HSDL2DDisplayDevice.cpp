#include "engine/media/sdl/HSDL2DDisplayDevice.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/core/HMessages.h"
#include "engine/media/HImage.h"

namespace {

// Channel bit counts of the screen, read by createSurface.
int32_t s_rBits = 5;
int32_t s_gBits = 6;
int32_t s_bBits = 5;

// Consecutive one bits from the lowest set bit of a channel mask.
int32_t s_countMaskBits(Uint32 mask)
{
    if (mask == 0)
        return 0;
    while ((mask & 1u) == 0)
        mask >>= 1;
    int32_t bits = 0;
    while (mask & 1u) {
        ++bits;
        mask >>= 1;
    }
    return bits;
}

// Reads the channel layout of a 16-bit screen into the process-wide values
// and the blender; false for a format without colour masks.
bool s_applyScreenFormat(const SDL_PixelFormat *format)
{
    if (!format || format->Rmask == 0 || format->Gmask == 0 || format->Bmask == 0)
        return false;
    s_rBits = s_countMaskBits(format->Rmask);
    s_gBits = s_countMaskBits(format->Gmask);
    s_bBits = s_countMaskBits(format->Bmask);
    debugPrint("...SDL screen format is RGB%d%d%d with shift %d,%d,%d\n", s_rBits, s_gBits, s_bBits,
               format->Rshift, format->Gshift, format->Bshift);
    sm_setPixelFormat(s_rBits, s_gBits, s_bBits, format->Rshift, format->Gshift, format->Bshift);
    return true;
}

// 2 x 2 ordered dither of an 8-bit channel down to `bits` bits.
inline uint32_t s_dither(uint32_t c, int32_t bits, uint32_t d)
{
    const uint32_t wide = bits <= 6 ? c >> (6 - bits) : c << (bits - 6);
    const uint32_t top = (1u << (bits + 2)) - 1u;
    const uint32_t v = wide + d < top ? wide + d : top;
    return v >> 2;
}

inline uint32_t s_shift(uint32_t value, int32_t by)
{
    return by >= 0 ? value << by : value >> -by;
}

const uint32_t kDitherTable[4] = {0, 2, 3, 1};

} // namespace

HSDL2DDisplayDevice *HSDL2DDisplayDevice::create(int32_t width, int32_t height, const char *caption,
                                                 uint8_t fullscreen, uint8_t flag, void *context)
{
    HSDL2DDisplayDevice *device = new (std::nothrow) HSDL2DDisplayDevice(context);
    if (!device)
        return nullptr;
    if (!device->initScreen(width, height, caption, fullscreen, flag)) {
        delete device;
        return nullptr;
    }
    return device;
}

HSDL2DDisplayDevice::HSDL2DDisplayDevice(void *context) : H2DDisplayDevice(context), m_pSDLSurface(nullptr)
{
}

HSDL2DDisplayDevice::~HSDL2DDisplayDevice()
{
    if (m_pSDLSurface) {
        m_unlockSurface();
        m_pSDLSurface = nullptr;
    }
}

SDL_Surface *HSDL2DDisplayDevice::m_setVideoMode(int width, int height, int bitsPerPixel, Uint32 flags)
{
    return SDL_SetVideoMode(width, height, bitsPerPixel, flags);
}

void HSDL2DDisplayDevice::m_lockSurface()
{
    if (m_pSDLSurface && SDL_MUSTLOCK(m_pSDLSurface))
        SDL_LockSurface(m_pSDLSurface);
}

void HSDL2DDisplayDevice::m_unlockSurface()
{
    if (m_pSDLSurface && SDL_MUSTLOCK(m_pSDLSurface))
        SDL_UnlockSurface(m_pSDLSurface);
}

void HSDL2DDisplayDevice::m_describeScreen()
{
    if (!m_pSDLSurface) {
        m_screen.describe(nullptr, 0, 0, 16, 0);
        return;
    }
    m_lockSurface();
    m_screen.describe(static_cast<uint16_t *>(m_pSDLSurface->pixels), m_pSDLSurface->w, m_pSDLSurface->h, 16,
                      m_pSDLSurface->pitch);
}

bool HSDL2DDisplayDevice::initScreen(int32_t width, int32_t height, const char *caption, uint8_t fullscreen,
                                     uint8_t flag)
{
    if (SDL_Init(SDL_INIT_VIDEO) == -1) {
        alertBox("initScreen: SDL_Init() failed: %s", SDL_GetError());
        return false;
    }
    SDL_WM_SetCaption(caption, caption);

    const Uint32 flags = fullscreen ? (SDL_FULLSCREEN | SDL_HWPALETTE) : SDL_HWPALETTE;
    SDL_Surface *surface = m_setVideoMode(width, height, 16, flags);
    if (!surface) {
        alertBox("initScreen: SDL_SetVideoMode() failed: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_EnableKeyRepeat(500, 30);
    SDL_EnableUNICODE(1);

    // A paletted screen has no channel layout to draw 16-bit pixels in.
    if (!s_applyScreenFormat(surface->format)) {
        alertBox("initScreen: the screen format has no colour masks");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }

    m_pSDLSurface = surface;
    m_lockSurface();
    m_screen.describe(static_cast<uint16_t *>(surface->pixels), width, height, 16, surface->pitch);
    SDL_WarpMouse(static_cast<Uint16>(surface->w / 2), static_cast<Uint16>(surface->h / 2));
    return H2DDisplayDevice::initScreen(width, height, caption, fullscreen, flag);
}

void HSDL2DDisplayDevice::shutdown()
{
    // Quitting video frees the SDL surface: unlock first, and forget it so
    // nothing touches it afterwards.
    m_unlockSurface();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_pSDLSurface = nullptr;
    m_screen.describe(nullptr, 0, 0, 16, 0);
}

void HSDL2DDisplayDevice::clear(const float colour[3])
{
    if (!m_pSDLSurface)
        return;
    const Uint8 r = static_cast<Uint8>(static_cast<int32_t>(colour[0] * 255.0f) & 0xFF);
    const Uint8 g = static_cast<Uint8>(static_cast<int32_t>(colour[1] * 255.0f) & 0xFF);
    const Uint8 b = static_cast<Uint8>(static_cast<int32_t>(colour[2] * 255.0f) & 0xFF);
    const Uint32 pixel = SDL_MapRGB(m_pSDLSurface->format, r, g, b);
    m_unlockSurface();
    SDL_FillRect(m_pSDLSurface, nullptr, pixel);
    m_lockSurface();
}

int32_t HSDL2DDisplayDevice::m_clampRects(const HRect *rects, int32_t count, int32_t width, int32_t height,
                                          SDL_Rect *out)
{
    int32_t n = 0;
    for (int32_t i = 0; i < count && n < kMaxUpdateRects; ++i) {
        const int32_t x0 = rects[i].x0 < 0 ? 0 : rects[i].x0;
        const int32_t y0 = rects[i].y0 < 0 ? 0 : rects[i].y0;
        const int32_t x1 = rects[i].x1 > width ? width : rects[i].x1;
        const int32_t y1 = rects[i].y1 > height ? height : rects[i].y1;
        if (x0 >= x1 || y0 >= y1)
            continue;
        out[n].x = static_cast<Sint16>(x0);
        out[n].y = static_cast<Sint16>(y0);
        out[n].w = static_cast<Uint16>(x1 - x0);
        out[n].h = static_cast<Uint16>(y1 - y0);
        ++n;
    }
    return n;
}

void HSDL2DDisplayDevice::updateRects(const HRect *rects, int32_t count)
{
    if (!m_pSDLSurface || !rects || count <= 0)
        return;
    // SDL 1.2 does not clip here, so every rectangle is clamped to the screen.
    SDL_Rect sdlRects[kMaxUpdateRects];
    const int32_t n = m_clampRects(rects, count, m_pSDLSurface->w, m_pSDLSurface->h, sdlRects);
    if (n == 0)
        return;
    m_unlockSurface();
    SDL_UpdateRects(m_pSDLSurface, n, sdlRects);
    m_lockSurface();
}

H2DMemorySurface *HSDL2DDisplayDevice::createSurface(const HImage *image)
{
    if (!image || !image->getData())
        return nullptr;
    const int32_t width = image->getWidth();
    const int32_t height = image->getHeight();
    if (width <= 0 || height <= 0)
        return nullptr;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);

    H2DMemorySurface *surface = new (std::nothrow) H2DMemorySurface;
    uint16_t *pixels = static_cast<uint16_t *>(calloc(count, sizeof(uint16_t)));
    uint8_t *mask = static_cast<uint8_t *>(malloc(count));
    if (!surface || !pixels || !mask) {
        delete surface;
        free(pixels);
        free(mask);
        return nullptr;
    }
    memset(mask, 255, count);
    surface->describe(pixels, width, height, 16, width * 2);

    const int32_t rBits = s_rBits, gBits = s_gBits, bBits = s_bBits;
    uint32_t key;
    if (m_pSDLSurface)
        key = SDL_MapRGB(m_pSDLSurface->format, 255, 0, 255);
    else
        key = (255u >> (8 - rBits)) << (gBits + bBits) | (255u >> (8 - bBits));
    bool masked = false;

    if (image->getFormat() == FORMAT_32BPP) {
        uint8_t rgba[4];
        for (int32_t y = 0; y < height; ++y) {
            uint16_t *row = pixels + static_cast<size_t>(y) * width;
            uint8_t *maskRow = mask + static_cast<size_t>(y) * width;
            for (int32_t x = 0; x < width; ++x) {
                image->getPixelRGBA(x, y, rgba);
                maskRow[x] = rgba[3];
                if (rgba[3] != 255)
                    masked = true;
                if (rgba[0] == 255 && rgba[1] == 0 && rgba[2] == 255) {
                    masked = true;
                    maskRow[x] = 0;
                }
                const uint32_t d = kDitherTable[(y & 1) * 2 + (x & 1)];
                const uint32_t r = s_dither(rgba[0], rBits, d);
                const uint32_t g = s_dither(rgba[1], gBits, d);
                const uint32_t b = s_dither(rgba[2], bBits, d);
                row[x] = static_cast<uint16_t>(r << (gBits + bBits) | g << bBits | b);
            }
        }
    } else if (image->getFormat() == FORMAT_16BPP) {
        for (int32_t y = 0; y < height; ++y) {
            uint16_t *row = pixels + static_cast<size_t>(y) * width;
            uint8_t *maskRow = mask + static_cast<size_t>(y) * width;
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t p = image->getPixel16(x, y);
                const uint32_t value = ((p >> 1) & 31u) << (gBits + bBits) |
                                       s_shift((p >> 6) & 31u, gBits - 5) << bBits | (p >> 11);
                row[x] = static_cast<uint16_t>(value);
                if (row[x] == key) {
                    masked = true;
                    maskRow[x] = 0;
                }
            }
        }
    }
    // Any other image stays black and opaque.

    if (masked)
        surface->setAlphaMask(mask);
    else
        free(mask);
    return surface;
}

void HSDL2DDisplayDevice::showCursor(uint8_t show)
{
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool HSDL2DDisplayDevice::toggleFullscreen()
{
    const SDL_VideoInfo *info = SDL_GetVideoInfo();
    if (!info || !info->wm_available)
        return true;
    return m_switchMode();
}

bool HSDL2DDisplayDevice::m_switchMode()
{
    if (!m_pSDLSurface)
        return false;
    int mouseX = 0, mouseY = 0;
    SDL_GetMouseState(&mouseX, &mouseY);

    const int width = m_pSDLSurface->w;
    const int height = m_pSDLSurface->h;
    const bool wasFullscreen = (m_pSDLSurface->flags & SDL_FULLSCREEN) != 0;
    const Uint32 newFlags = wasFullscreen ? SDL_HWPALETTE : (SDL_FULLSCREEN | SDL_HWPALETTE);
    const Uint32 oldFlags = wasFullscreen ? (SDL_FULLSCREEN | SDL_HWPALETTE) : SDL_HWPALETTE;

    // SDL drops the current surface inside SDL_SetVideoMode, whatever the
    // outcome: unlock it first and never use it afterwards.
    m_unlockSurface();
    m_pSDLSurface = nullptr;
    SDL_Surface *surface = m_setVideoMode(width, height, 16, newFlags);
    bool switched = surface != nullptr;
    if (!switched)
        surface = m_setVideoMode(width, height, 16, oldFlags);

    m_pSDLSurface = surface;
    if (surface)
        s_applyScreenFormat(surface->format);
    m_describeScreen();
    if (!surface)
        return false;

    SDL_WarpMouse(static_cast<Uint16>(mouseX), static_cast<Uint16>(mouseY));
    // The new screen's memory holds nothing yet: ask for a full repaint.
    SDL_Event expose;
    memset(&expose, 0, sizeof expose);
    expose.type = SDL_VIDEOEXPOSE;
    SDL_PushEvent(&expose);
    return switched;
}
