// The SDL display on SDL's dummy video driver: opening the screen, image
// conversion, presentation, clearing and the mode switch with its recovery.
#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "engine/media/HImage.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"
#include "support/test_support.h"

using tilmar_test::captureStdout;

namespace {

// Lets a test make SDL_SetVideoMode fail, or answer a surface of its own,
// on chosen calls, and reach the protected steps.
class ScriptedDisplay : public HSDL2DDisplayDevice
{
public:
    ScriptedDisplay() : HSDL2DDisplayDevice(nullptr) {}

    // For each call in turn: true lets SDL set the mode, false fails it.
    std::vector<bool> script;
    SDL_Surface *fakeSurface = nullptr;
    std::vector<Uint32> requestedFlags;

    using HSDL2DDisplayDevice::m_clampRects;
    bool switchMode() { return m_switchMode(); }

protected:
    SDL_Surface *m_setVideoMode(int width, int height, int bpp, Uint32 flags) override
    {
        requestedFlags.push_back(flags);
        if (fakeSurface)
            return fakeSurface;
        const size_t call = requestedFlags.size() - 1;
        if (call < script.size() && !script[call]) {
            // SDL has dropped the previous surface by the time it fails.
            SDL_SetVideoMode(width, height, bpp, flags);
            return nullptr;
        }
        return SDL_SetVideoMode(width, height, bpp, flags);
    }
};

class SDLDisplayTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

bool describesSDLSurface(const H2DDisplayDevice &d, const SDL_Surface *s)
{
    const H2DMemorySurface &screen = d.getScreenSurface();
    return s && screen.getPixels() == s->pixels && screen.getPitch() == s->pitch && screen.getWidth() == s->w &&
           screen.getHeight() == s->h && screen.getAlphaMask() == nullptr;
}

struct Rgba
{
    uint8_t r, g, b, a;
};

HImage *image32(int w, int h, const std::vector<Rgba> &px)
{
    HImage *img = new HImage(w, h, FORMAT_32BPP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba &p = px[y * w + x];
            img->setPixel32(x, y, makeARGB(p.r, p.g, p.b, p.a));
        }
    return img;
}

uint16_t pixelAt(const H2DMemorySurface *s, int x, int y)
{
    return s->getPixels()[y * s->getPitch() / 2 + x];
}

} // namespace

TEST_F(SDLDisplayTest, CreateOpensA565ScreenThatTheDeviceDrawsInto)
{
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(64, 48, "Test", 0, 0, this);
    ASSERT_NE(d, nullptr);
    SDL_Surface *s = d->getSDLSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->format->BitsPerPixel, 16);
    EXPECT_TRUE(describesSDLSurface(*d, s));
    EXPECT_EQ(d->getScreenWidth(), 64);
    EXPECT_EQ(d->getContext(), this);
    EXPECT_EQ(d->getTextBlendMode().dstAlphaSource, 3);

    // Blits write into SDL's screen memory.
    HImage *img = image32(2, 1, {{255, 255, 255, 255}, {255, 0, 0, 255}});
    H2DMemorySurface *surface = d->createSurface(img);
    delete img;
    d->blit(HRect(10, 5, 12, 6), HRect(0, 0, 2, 1), surface);
    const uint16_t *row = reinterpret_cast<const uint16_t *>(static_cast<uint8_t *>(s->pixels) + 5 * s->pitch);
    EXPECT_EQ(row[10], 0xFFFF);
    EXPECT_EQ(row[11], 0xF800);
    d->flip();
    d->destroySurface(surface);

    H2DDisplayDevice::destroy(d);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(SDLDisplayTest, ShutdownQuitsVideoAndForgetsTheSurface)
{
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(32, 32, "Test", 0, 0, nullptr);
    ASSERT_NE(d, nullptr);
    d->shutdown();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(d->getSDLSurface(), nullptr);
    EXPECT_EQ(d->getScreenSurface().getPixels(), nullptr);
    // Nothing touches the freed surface afterwards.
    const float black[3] = {0, 0, 0};
    d->clear(black);
    const HRect r(0, 0, 4, 4);
    d->updateRects(&r, 1);
    delete d;
}

TEST_F(SDLDisplayTest, FailedModeSetOrPalettedScreenFailsWithAnAlert)
{
    {
        ScriptedDisplay d;
        d.script = {false};
        bool ok = true;
        const std::string out = captureStdout([&] { ok = d.initScreen(32, 32, "T", 0, 0); });
        EXPECT_FALSE(ok);
        EXPECT_NE(out.find("initScreen: SDL_SetVideoMode() failed: "), std::string::npos) << out;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        EXPECT_EQ(d.getSDLSurface(), nullptr);
    }
    {
        // A 16-bit screen without colour masks.
        SDL_PixelFormat format;
        memset(&format, 0, sizeof format);
        format.BitsPerPixel = 16;
        format.BytesPerPixel = 2;
        SDL_Surface fake;
        memset(&fake, 0, sizeof fake);
        fake.format = &format;
        fake.w = 32;
        fake.h = 32;
        fake.pitch = 64;
        ScriptedDisplay d;
        d.fakeSurface = &fake;
        bool ok = true;
        const std::string out = captureStdout([&] { ok = d.initScreen(32, 32, "T", 0, 0); });
        EXPECT_FALSE(ok);
        EXPECT_NE(out.find("Alert"), std::string::npos) << out;
        EXPECT_NE(out.find("no colour masks"), std::string::npos) << out;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        EXPECT_EQ(d.getSDLSurface(), nullptr);
        EXPECT_EQ(d.getScreenSurface().getPixels(), nullptr);
    }
}

TEST_F(SDLDisplayTest, ImageConversionDithersAndKeysMagenta)
{
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(32, 32, "Test", 0, 0, nullptr);
    ASSERT_NE(d, nullptr);

    // Grey 130 and white over a 2 x 2 dither cell, plus colour-key cases.
    std::vector<Rgba> px = {
        {130, 130, 130, 255}, {130, 130, 130, 255}, {255, 255, 255, 255}, {255, 0, 255, 255}, {254, 0, 255, 255},
        {130, 130, 130, 255}, {130, 130, 130, 255}, {255, 255, 255, 255}, {10, 20, 30, 100}, {255, 0, 255, 0},
    };
    HImage *img = image32(5, 2, px);
    H2DMemorySurface *s = d->createSurface(img);
    delete img;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getPitch(), 10);
    // Dither offsets 0, 2, 3, 1 at (0,0), (1,0), (0,1), (1,1).
    EXPECT_EQ(pixelAt(s, 0, 0), 16 << 11 | 32 << 5 | 16);
    EXPECT_EQ(pixelAt(s, 1, 0), 16 << 11 | 33 << 5 | 16); // (65+2)>>2, (130+2)>>2
    EXPECT_EQ(pixelAt(s, 0, 1), 17 << 11 | 33 << 5 | 17);
    EXPECT_EQ(pixelAt(s, 1, 1), 16 << 11 | 32 << 5 | 16); // (65+1)>>2, (130+1)>>2
    EXPECT_EQ(pixelAt(s, 2, 0), 0xFFFF);
    EXPECT_EQ(pixelAt(s, 2, 1), 0xFFFF);
    const uint8_t *mask = s->getAlphaMask();
    ASSERT_NE(mask, nullptr);
    const uint8_t wantMask[] = {255, 255, 255, 0, 255, 255, 255, 255, 100, 0};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(mask[i], wantMask[i]) << i;
    d->destroySurface(s);

    // All opaque and no magenta: no mask at all.
    img = image32(2, 1, {{1, 2, 3, 255}, {254, 0, 255, 255}});
    s = d->createSurface(img);
    delete img;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getAlphaMask(), nullptr);
    d->destroySurface(s);

    H2DDisplayDevice::destroy(d);
}

TEST_F(SDLDisplayTest, SixteenAndEightBitImages)
{
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(32, 32, "Test", 0, 0, nullptr);
    ASSERT_NE(d, nullptr);

    // Red in bits 1-5, green 6-10, blue 11-15.
    HImage *img = new HImage(3, 1, FORMAT_16BPP);
    img->setPixel16(0, 0, static_cast<uint16_t>(31 << 1 | 0 << 6 | 31 << 11)); // magenta: the key
    img->setPixel16(1, 0, static_cast<uint16_t>(3 << 1 | 17 << 6 | 9 << 11 | 1));
    img->setPixel16(2, 0, static_cast<uint16_t>(31 << 1 | 1 << 6 | 31 << 11)); // green 1 -> 2: not the key
    H2DMemorySurface *s = d->createSurface(img);
    delete img;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pixelAt(s, 0, 0), 0xF81F);
    EXPECT_EQ(pixelAt(s, 1, 0), 3 << 11 | 34 << 5 | 9);
    EXPECT_EQ(pixelAt(s, 2, 0), 0xF81F | 2 << 5);
    ASSERT_NE(s->getAlphaMask(), nullptr);
    EXPECT_EQ(s->getAlphaMask()[0], 0);
    EXPECT_EQ(s->getAlphaMask()[1], 255);
    EXPECT_EQ(s->getAlphaMask()[2], 255);
    d->destroySurface(s);

    // Other images stay black and opaque.
    img = new HImage(2, 2, FORMAT_8BPP);
    memset(img->getData(), 0x5A, 4);
    s = d->createSurface(img);
    delete img;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getAlphaMask(), nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s->getPixels()[i], 0);
    d->destroySurface(s);
    EXPECT_EQ(d->createSurface(nullptr), nullptr);

    H2DDisplayDevice::destroy(d);
}

TEST_F(SDLDisplayTest, UpdateRectanglesAreClampedAndEmptyOnesSkipped)
{
    const HRect rects[] = {
        {10, 20, 30, 25},   // inside
        {-5, -6, 4, 3},     // over the top-left corner
        {60, 40, 90, 70},   // over the bottom-right corner
        {70, 10, 80, 20},   // entirely outside
        {5, 5, 5, 9},       // empty
        {8, 9, 2, 12},      // inverted
    };
    SDL_Rect out[HSDL2DDisplayDevice::kMaxUpdateRects];
    const int32_t n = ScriptedDisplay::m_clampRects(rects, 6, 64, 48, out);
    ASSERT_EQ(n, 3);
    const int want[3][4] = {{10, 20, 20, 5}, {0, 0, 4, 3}, {60, 40, 4, 8}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i].x, want[i][0]) << i;
        EXPECT_EQ(out[i].y, want[i][1]) << i;
        EXPECT_EQ(out[i].w, want[i][2]) << i;
        EXPECT_EQ(out[i].h, want[i][3]) << i;
    }

    // No more than the array holds.
    std::vector<HRect> many(600, HRect(0, 0, 1, 1));
    EXPECT_EQ(ScriptedDisplay::m_clampRects(many.data(), 600, 64, 48, out), 512);

    // And through the device on a real screen.
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(64, 48, "Test", 0, 0, nullptr);
    ASSERT_NE(d, nullptr);
    d->updateRects(rects, 6);
    d->updateRects(many.data(), 600);
    H2DDisplayDevice::destroy(d);
}

TEST_F(SDLDisplayTest, ClearFillsTheScreenWithoutMarkingIt)
{
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(16, 8, "Test", 0, 0, nullptr);
    ASSERT_NE(d, nullptr);
    const float colour[3] = {1.0f, 0.5f, 0.0f};
    d->clear(colour);
    SDL_Surface *s = d->getSDLSurface();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(reinterpret_cast<uint16_t *>(static_cast<uint8_t *>(s->pixels) + y * s->pitch)[x],
                      SDL_MapRGB(s->format, 255, 127, 0));
    EXPECT_EQ(d->getChangedRects().getCount(), 0);

    d->showCursor(0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    d->showCursor(2);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    H2DDisplayDevice::destroy(d);
}

TEST_F(SDLDisplayTest, ToggleWithoutWindowManagerChangesNothing)
{
    HSDL2DDisplayDevice *d = HSDL2DDisplayDevice::create(32, 24, "Test", 0, 0, nullptr);
    ASSERT_NE(d, nullptr);
    const SDL_VideoInfo *info = SDL_GetVideoInfo();
    ASSERT_NE(info, nullptr);
    if (info->wm_available)
        GTEST_SKIP() << "the video driver has a window manager";
    SDL_Surface *before = d->getSDLSurface();
    EXPECT_TRUE(d->toggleFullscreen());
    EXPECT_EQ(d->getSDLSurface(), before);
    EXPECT_TRUE(describesSDLSurface(*d, before));
    H2DDisplayDevice::destroy(d);
}

TEST_F(SDLDisplayTest, ModeSwitchDescribesTheNewScreenAndAsksForARepaint)
{
    ScriptedDisplay d;
    ASSERT_TRUE(d.initScreen(32, 24, "T", 0, 0));
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }

    EXPECT_TRUE(d.switchMode());
    SDL_Surface *s = d.getSDLSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->flags & SDL_FULLSCREEN);
    EXPECT_TRUE(describesSDLSurface(d, s));
    bool exposed = false;
    while (SDL_PollEvent(&e))
        exposed = exposed || e.type == SDL_VIDEOEXPOSE;
    EXPECT_TRUE(exposed);

    EXPECT_TRUE(d.switchMode());
    EXPECT_FALSE(d.getSDLSurface()->flags & SDL_FULLSCREEN);
    EXPECT_TRUE(describesSDLSurface(d, d.getSDLSurface()));
    ASSERT_EQ(d.requestedFlags.size(), 3u);
    EXPECT_EQ(d.requestedFlags[1], Uint32(SDL_FULLSCREEN | SDL_HWPALETTE));
    EXPECT_EQ(d.requestedFlags[2], Uint32(SDL_HWPALETTE));
    d.shutdown();
}

TEST_F(SDLDisplayTest, FailedSwitchRestoresThePreviousMode)
{
    ScriptedDisplay d;
    d.script = {true, false, true};
    ASSERT_TRUE(d.initScreen(32, 24, "T", 0, 0));
    EXPECT_FALSE(d.switchMode());
    ASSERT_EQ(d.requestedFlags.size(), 3u);
    EXPECT_EQ(d.requestedFlags[2], Uint32(SDL_HWPALETTE)); // the window again
    SDL_Surface *s = d.getSDLSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->flags & SDL_FULLSCREEN);
    EXPECT_TRUE(describesSDLSurface(d, s));

    // The restored screen is drawn into and presented as before.
    H2DMemorySurface *surface = d.cloneSurface(&d.getScreenSurface());
    d.blit(HRect(0, 0, 4, 4), HRect(0, 0, 4, 4), surface);
    d.flip();
    d.destroySurface(surface);
    d.shutdown();
}

TEST_F(SDLDisplayTest, WhenNoModeCanBeSetDrawingDoesNothing)
{
    ScriptedDisplay d;
    d.script = {true, false, false};
    ASSERT_TRUE(d.initScreen(32, 24, "T", 0, 0));
    HImage *img = image32(1, 1, {{1, 2, 3, 255}});
    H2DMemorySurface *surface = d.createSurface(img);
    delete img;

    EXPECT_FALSE(d.switchMode());
    EXPECT_EQ(d.getSDLSurface(), nullptr);
    EXPECT_EQ(d.getScreenSurface().getPixels(), nullptr);
    EXPECT_TRUE(d.blitClipped(HRect(0, 0, 1, 1), HRect(0, 0, 1, 1), surface));
    EXPECT_TRUE(d.blendBlitClipped(HRect(0, 0, 1, 1), HRect(0, 0, 1, 1), surface, 2, 1, 0, 255, 3, 1, 0, 255, 0));
    d.flip();
    const float black[3] = {0, 0, 0};
    d.clear(black);
    EXPECT_FALSE(d.switchMode());
    d.destroySurface(surface);
    d.shutdown();
}
