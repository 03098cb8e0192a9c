// One whole-screen repaint of a game in play: a dealt classic board with the
// first tile set (tileset_1), background number 1 (arena1) and the left
// panel with its controls, drawn the way the main loop draws a pass with the
// whole screen dirty, on SDL's dummy video driver. The reference is SDL
// 1.2's own SDL_BlitSurface of the same pictures at the same places onto the
// same 16-bit screen: opaque pictures as surfaces in the screen's format,
// pictures with a mask (tile cells, shadow strips, icons, digits) as
// per-pixel-alpha ARGB surfaces.
#include <benchmark/benchmark.h>

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "engine/core/HString.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"
#include "game/game_test_support.h"

namespace {

const uint32_t kDealSeed = 20061123;
const int32_t kClassicLayout = 0;
const int32_t kFirstTileSet = 0;     // art/tileset_1.tga
const int32_t kBackgroundOne = 1;    // art/arena1_tl.jpg

// One blit as the display received it, after clipping.
struct Draw
{
    HRect dest;
    HRect src;
    const H2DMemorySurface *surface;
};

// The real SDL display, noting each blit while asked to.
class NotingDisplay : public HSDL2DDisplayDevice
{
public:
    using HSDL2DDisplayDevice::HSDL2DDisplayDevice;

    bool blendBlit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface, int32_t a, int32_t b,
                   int32_t c, int32_t d, int32_t e, int32_t f, int32_t g, int32_t h, int32_t op) override
    {
        note(dest, src, surface);
        // A blend of an opaque picture goes on as a blit: note it once.
        const bool wasNoting = noting;
        noting = false;
        const bool done = HSDL2DDisplayDevice::blendBlit(dest, src, surface, a, b, c, d, e, f, g, h, op);
        noting = wasNoting;
        return done;
    }
    bool blit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface) override
    {
        note(dest, src, surface);
        return HSDL2DDisplayDevice::blit(dest, src, surface);
    }

    bool noting = false;
    std::vector<Draw> draws;

private:
    void note(const HRect &dest, const HRect &src, const H2DMemorySurface *surface)
    {
        if (noting)
            draws.push_back({dest, src, surface});
    }
};

class BenchTilmar : public TestTilmar
{
public:
    bool m_createDisplayDevice(const char *title, bool fullscreen, uint8_t flag, int32_t width,
                               int32_t height) override
    {
        NotingDisplay *display = new NotingDisplay(&m_cvarManager);
        if (!display->initScreen(width, height, title, fullscreen ? 1 : 0, flag)) {
            delete display;
            return false;
        }
        m_pDisplayDevice = display;
        noting = display;
        setDisplayDevice(display);
        return true;
    }

    // One pass of the main loop with the whole screen dirty.
    void repaint()
    {
        m_invalidateScreen();
        m_draw(false);
        drawCursor();
        m_flip();
    }

    NotingDisplay *noting = nullptr;
};

// Our picture as SDL would hold it: in the screen's format when opaque,
// 32-bit ARGB with the mask as per-pixel alpha otherwise.
SDL_Surface *s_toSDL(const H2DMemorySurface *surface, const SDL_PixelFormat *screen)
{
    const int32_t w = surface->getWidth();
    const int32_t h = surface->getHeight();
    const uint8_t *mask = surface->getAlphaMask();
    SDL_Surface *out;
    if (!mask) {
        out = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, screen->Rmask, screen->Gmask, screen->Bmask, 0);
        for (int32_t y = 0; y < h; ++y)
            memcpy(static_cast<uint8_t *>(out->pixels) + y * out->pitch,
                   reinterpret_cast<const uint8_t *>(surface->getPixels()) + y * surface->getPitch(),
                   static_cast<size_t>(w) * 2);
        return out;
    }
    out = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    SDL_SetAlpha(out, SDL_SRCALPHA, 255);
    for (int32_t y = 0; y < h; ++y) {
        const uint16_t *row =
            reinterpret_cast<const uint16_t *>(reinterpret_cast<const uint8_t *>(surface->getPixels()) +
                                               y * surface->getPitch());
        Uint32 *dst = reinterpret_cast<Uint32 *>(static_cast<uint8_t *>(out->pixels) + y * out->pitch);
        for (int32_t x = 0; x < w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(row[x], const_cast<SDL_PixelFormat *>(screen), &r, &g, &b);
            dst[x] = SDL_MapRGBA(out->format, r, g, b, mask[y * w + x]);
        }
    }
    return out;
}

struct Board
{
    tilmar_test::TempDir home;
    BenchTilmar game;
    SDL_Surface *screen = nullptr;
    std::map<const H2DMemorySurface *, SDL_Surface *> sdlPictures;
    struct SDLDraw
    {
        SDL_Surface *picture;
        SDL_Rect src;
        SDL_Rect dest;
    };
    std::vector<SDLDraw> sdlDraws;

    Board()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!startGame(game, home, kSilentCommandLine)) {
            fprintf(stderr, "the game did not start\n");
            exit(1);
        }
        game.m_settings.layout = kClassicLayout;
        game.m_settings.tileSet = kFirstTileSet;
        game.m_settings.background = kBackgroundOne;
        game.getRNG().seed(kDealSeed);
        game.at(kGameStart);
        game.startGame();
        if (game.getGameState() != TM_STATE_PLAYING || game.m_board.tilesLeft != TM_TILE_COUNT) {
            fprintf(stderr, "no board was dealt\n");
            exit(1);
        }
        screen = static_cast<HSDL2DDisplayDevice *>(game.getDisplayDevice())->getSDLSurface();

        game.noting->noting = true;
        game.repaint();
        game.noting->noting = false;
        for (const Draw &d : game.noting->draws) {
            SDL_Surface *&picture = sdlPictures[d.surface];
            if (!picture)
                picture = s_toSDL(d.surface, screen->format);
            const Uint16 w = static_cast<Uint16>(d.src.x1 - d.src.x0);
            const Uint16 h = static_cast<Uint16>(d.src.y1 - d.src.y0);
            sdlDraws.push_back({picture,
                                {static_cast<Sint16>(d.src.x0), static_cast<Sint16>(d.src.y0), w, h},
                                {static_cast<Sint16>(d.dest.x0), static_cast<Sint16>(d.dest.y0), w, h}});
        }
    }
    ~Board()
    {
        for (auto &entry : sdlPictures)
            SDL_FreeSurface(entry.second);
        stopGame(game);
    }
};

Board &s_board()
{
    static Board board;
    return board;
}

void BM_FullBoardRepaint(benchmark::State &state)
{
    Board &b = s_board();
    for (auto _ : state) {
        b.game.repaint();
        benchmark::ClobberMemory();
    }
    state.counters["blits"] = static_cast<double>(b.game.noting->draws.size());
}
BENCHMARK(BM_FullBoardRepaint)->Unit(benchmark::kMicrosecond);

void BM_SDLFullBoardRepaint(benchmark::State &state)
{
    Board &b = s_board();
    for (auto _ : state) {
        for (Board::SDLDraw &d : b.sdlDraws) {
            SDL_Rect src = d.src;
            SDL_Rect dest = d.dest;
            SDL_BlitSurface(d.picture, &src, b.screen, &dest);
        }
        SDL_UpdateRect(b.screen, 0, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    state.counters["blits"] = static_cast<double>(b.sdlDraws.size());
}
BENCHMARK(BM_SDLFullBoardRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
