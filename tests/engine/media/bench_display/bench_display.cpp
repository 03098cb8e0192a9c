// The display's full-screen blits on a 640 x 480 5-6-5 screen (SDL's dummy
// video driver), with SDL 1.2's own per-pixel-alpha blit of the same picture
// onto the same screen as the reference.
#include <benchmark/benchmark.h>

#include <SDL/SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/media/HImage.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;

// The picture: a colour gradient. The mask: discs of radius 32 on an 80 x 80
// grid with a 4-pixel soft edge, so about 44 % of the pixels are opaque,
// 12 % partly transparent and the rest transparent.
uint8_t s_alpha(int x, int y)
{
    const double dx = x % 80 - 39.5, dy = y % 80 - 39.5;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r <= 30.0)
        return 255;
    if (r >= 34.0)
        return 0;
    return static_cast<uint8_t>((34.0 - r) / 4.0 * 254.0 + 0.5);
}

void s_colour(int x, int y, uint8_t &r, uint8_t &g, uint8_t &b)
{
    r = static_cast<uint8_t>(x * 255 / kWidth);
    g = static_cast<uint8_t>(y * 255 / kHeight);
    b = static_cast<uint8_t>((x + y) & 0xFF);
}

struct Setup
{
    HSDL2DDisplayDevice *display = nullptr;
    H2DMemorySurface *opaque = nullptr;
    H2DMemorySurface *masked = nullptr;
    SDL_Surface *argb = nullptr;

    Setup()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        display = HSDL2DDisplayDevice::create(kWidth, kHeight, "bench", 0, 0, nullptr);
        if (!display) {
            fprintf(stderr, "no display\n");
            exit(1);
        }
        HImage picture(kWidth, kHeight, FORMAT_32BPP);
        HImage solid(kWidth, kHeight, FORMAT_32BPP);
        argb = SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                    0xFF000000);
        SDL_SetAlpha(argb, SDL_SRCALPHA, 255);
        int partial = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t r, g, b;
                s_colour(x, y, r, g, b);
                const uint8_t a = s_alpha(x, y);
                partial += a != 0 && a != 255;
                picture.setPixel32(x, y, makeARGB(r, g, b, a));
                solid.setPixel32(x, y, makeARGB(r, g, b, 255));
                reinterpret_cast<Uint32 *>(static_cast<uint8_t *>(argb->pixels) + y * argb->pitch)[x] =
                    SDL_MapRGBA(argb->format, r, g, b, a);
            }
        masked = display->createSurface(&picture);
        opaque = display->createSurface(&solid);
        fprintf(stderr, "mask: %.1f %% partly transparent pixels\n", 100.0 * partial / (kWidth * kHeight));
    }
};

Setup &s_setup()
{
    static Setup setup;
    return setup;
}

const HRect kScreen(0, 0, kWidth, kHeight);

void BM_OpaqueBlitFullScreen(benchmark::State &state)
{
    Setup &s = s_setup();
    for (auto _ : state) {
        s.display->blit(kScreen, kScreen, s.opaque);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_OpaqueBlitFullScreen);

void BM_StandardBlendThroughMask(benchmark::State &state)
{
    Setup &s = s_setup();
    for (auto _ : state) {
        s.display->blendBlit(kScreen, kScreen, s.masked, 2, 1, 0, 255, 3, 1, 0, 255, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_StandardBlendThroughMask);

void BM_TileBlendThroughMask(benchmark::State &state)
{
    Setup &s = s_setup();
    for (auto _ : state) {
        s.display->blendBlit(kScreen, kScreen, s.masked, 2, 2, 0, 200, 1, 4, 0, 100, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_TileBlendThroughMask);

void BM_SDLBlitPerPixelAlphaARGB(benchmark::State &state)
{
    Setup &s = s_setup();
    SDL_Surface *screen = s.display->getSDLSurface();
    for (auto _ : state) {
        SDL_Rect dest = {0, 0, kWidth, kHeight};
        SDL_BlitSurface(s.argb, nullptr, screen, &dest);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_SDLBlitPerPixelAlphaARGB);

} // namespace
