// The display device on SDL 1.2: a 16-bit window or full screen whose memory
// the device draws into directly, images converted into 16-bit surfaces with
// an alpha mask, changed rectangles copied to the window.
#ifndef ENGINE_MEDIA_SDL_HSDL2DDISPLAYDEVICE_H
#define ENGINE_MEDIA_SDL_HSDL2DDISPLAYDEVICE_H

#include <SDL/SDL.h>

#include "engine/media/H2DDisplayDevice.h"

class HSDL2DDisplayDevice : public H2DDisplayDevice
{
public:
    // A device with its screen open, or null (the device is deleted when
    // initScreen fails). flag is passed on and not used here.
    static HSDL2DDisplayDevice *create(int32_t width, int32_t height, const char *caption, uint8_t fullscreen,
                                       uint8_t flag, void *context);

    explicit HSDL2DDisplayDevice(void *context);
    // Unlocks and forgets the SDL surface if one is still set; SDL itself is
    // not shut down here.
    ~HSDL2DDisplayDevice() override;

    // Starts SDL video and opens the mode; false with an alert on failure,
    // the video subsystem then down again.
    bool initScreen(int32_t width, int32_t height, const char *caption, uint8_t fullscreen,
                    uint8_t flag) override;
    // Unlocks the screen, quits the video subsystem and forgets the surface.
    void shutdown() override;
    void clear(const float colour[3]) override;
    // The image in the screen layout: ordered 2 x 2 dithering of 32-bit
    // images, magenta (255, 0, 255) as the colour key, a mask only when some
    // pixel is not opaque. Null when memory runs out or the image is empty.
    H2DMemorySurface *createSurface(const HImage *image) override;
    void showCursor(uint8_t show) override;
    // Switches between window and full screen (true without a window
    // manager). When the new mode cannot be set the previous one is set
    // again and the answer is false; should that fail too, the device draws
    // nothing until it is destroyed.
    bool toggleFullscreen() override;
    // Copies the rectangles, clamped to the screen, to the window; empty ones
    // are skipped, and at most 512 are taken.
    void updateRects(const HRect *rects, int32_t count) override;

    SDL_Surface *getSDLSurface() const { return m_pSDLSurface; }

    enum { kMaxUpdateRects = 512 };

protected:
    void m_lockSurface();
    void m_unlockSurface();
    // SDL_SetVideoMode; a seam for tests that need the mode set to fail.
    virtual SDL_Surface *m_setVideoMode(int width, int height, int bitsPerPixel, Uint32 flags);
    // Turns up to kMaxUpdateRects rectangles into SDL rectangles clamped to
    // a width x height screen, leaving out empty ones; answers how many.
    static int32_t m_clampRects(const HRect *rects, int32_t count, int32_t width, int32_t height,
                                SDL_Rect *out);
    // The mode switch of toggleFullscreen, past the window-manager test.
    bool m_switchMode();
    // Points the screen surface at the SDL surface's memory, locking it where
    // SDL needs it; with no SDL surface the screen has no pixels.
    void m_describeScreen();

    SDL_Surface *m_pSDLSurface;
};

#endif
