// What the drawing tests share: a display that records every blit the game's
// pictures make before passing it on to the real display, a started game
// whose art is loaded through it, and a small board of hand-placed tiles.
#ifndef TESTS_GAME_DRAWING_TEST_SUPPORT_H
#define TESTS_GAME_DRAWING_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <vector>

#include "engine/media/H2DDisplayDevice.h"
#include "game/TMScreenLayout.h"
#include "game/game_test_support.h"

// One blit as it reached the display, after clipping.
struct RecordedDraw
{
    int32_t slot; // the art slot whose surface was drawn, -1 for none of them
    HRect dest;
    HRect src;
    bool blended;
    HBlendMode mode; // meaningful when blended
};

// Records the clipped blits and forwards them to the real display, so the
// screen shows what it would have shown.
class RecordingDisplay : public H2DDisplayDevice
{
public:
    explicit RecordingDisplay(H2DDisplayDevice *real) : H2DDisplayDevice(nullptr), m_real(real)
    {
        initScreen(real->getScreenWidth(), real->getScreenHeight(), "", 0, 0);
    }
    void shutdown() override {}
    void clear(const float colour[3]) override { m_real->clear(colour); }
    H2DMemorySurface *createSurface(const HImage *image) override { return m_real->createSurface(image); }
    void showCursor(uint8_t) override {}
    void updateRects(const HRect *, int32_t) override {}

    bool blendBlit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface, int32_t a, int32_t b,
                   int32_t c, int32_t d, int32_t e, int32_t f, int32_t g, int32_t h, int32_t op) override
    {
        surfaces.push_back(surface);
        draws.push_back({-1, dest, src, true, HBlendMode{a, b, c, d, e, f, g, h, op}});
        return m_real->blendBlit(dest, src, surface, a, b, c, d, e, f, g, h, op);
    }
    bool blit(const HRect &dest, const HRect &src, const H2DMemorySurface *surface) override
    {
        surfaces.push_back(surface);
        draws.push_back({-1, dest, src, false, HBlendMode{}});
        return m_real->blit(dest, src, surface);
    }

    std::vector<RecordedDraw> draws;
    std::vector<const H2DMemorySurface *> surfaces;

private:
    H2DDisplayDevice *m_real;
};

inline bool sameRect(const HRect &a, const HRect &b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

inline std::ostream &operator<<(std::ostream &out, const HRect &r)
{
    return out << "(" << r.x0 << "," << r.y0 << ")-(" << r.x1 << "," << r.y1 << ")";
}

const HRect kWholeScreen(0, 0, tmscreen::kScreenWidth, tmscreen::kScreenHeight);

// The two blends of the game's effects, as the display receives them: the
// fade lays a picture over the screen at opacity a/255, the tile blend adds
// the source at f/255 to the screen at g/255.
inline HBlendMode fadeMode(int32_t a)
{
    return HBlendMode{2, 2, 0, a, 2, 2, 1, 255, 0};
}
inline HBlendMode tileMode(int32_t f, int32_t g)
{
    return HBlendMode{2, 2, 0, f, 1, 4, 0, g, 0};
}

inline bool sameMode(const HBlendMode &a, const HBlendMode &b)
{
    return a.srcAlphaSource == b.srcAlphaSource && a.srcParamSource == b.srcParamSource &&
           a.srcInvert == b.srcInvert && a.srcConstAlpha == b.srcConstAlpha &&
           a.dstAlphaSource == b.dstAlphaSource && a.dstParamSource == b.dstParamSource &&
           a.dstInvert == b.dstInvert && a.dstConstAlpha == b.dstConstAlpha && a.op == b.op;
}

inline std::ostream &operator<<(std::ostream &out, const HBlendMode &m)
{
    return out << "(" << m.srcAlphaSource << "," << m.srcParamSource << "," << m.srcInvert << ","
               << m.srcConstAlpha << "," << m.dstAlphaSource << "," << m.dstParamSource << "," << m.dstInvert
               << "," << m.dstConstAlpha << "," << m.op << ")";
}

// Where the controls put the no-match overlay: centred in the board area,
// then raised.
inline void placeNoMatchOverlay(TestTilmar &game)
{
    const tmscreen::Box &board = tmscreen::kBoardArea;
    const int32_t w = game.m_sprites[TM_ART_NO_MATCH].getWidth();
    const int32_t h = game.m_sprites[TM_ART_NO_MATCH].getHeight();
    const int32_t x0 = (board.x1 - board.x0 - w) / 2 + board.x0;
    const int32_t y0 = (board.y1 - board.y0 - h) / 2 - tmscreen::kNoMatchRaise;
    game.m_noMatchRect = HRect(x0, y0, x0 + w, y0 + h);
}

// A started game in state 1 at event time kStart, every picture loaded
// through the recorder, and the board emptied for the test to place tiles.
class DrawingTest : public ::testing::Test
{
protected:
    static constexpr uint64_t kStart = 100000;

    void SetUp() override
    {
        ASSERT_TRUE(startGame(game, home));
        game.at(kStart);
        game.startGame();
        recorder = new RecordingDisplay(game.getDisplayDevice());
        game.m_unloadSprites();
        for (int32_t i = 0; i < TM_SPRITE_COUNT; ++i) {
            if (game.m_artTable[i].name) {
                ASSERT_TRUE(game.m_sprites[i].load(recorder, game.m_pResourceFileSystem, game.m_artTable[i].name));
            }
        }
        ASSERT_TRUE(game.m_sprites[TM_ART_TILE_SHEET].load(recorder, game.m_pResourceFileSystem,
                                                           "art/tileset_1.tga"));
        ASSERT_TRUE(game.m_sprites[TM_ART_BACKGROUND].load(recorder, game.m_pResourceFileSystem,
                                                           "art/arena10_tl.jpg"));
        placeNoMatchOverlay(game);
        emptyBoard();
    }

    void TearDown() override
    {
        // The recorder's surfaces go while it still stands.
        game.m_unloadSprites();
        stopGame(game);
        delete recorder;
    }

    void emptyBoard()
    {
        for (TMTile &tile : game.m_board.tiles) {
            tile.present = 0;
            tile.selected = 0;
            tile.removedAt = VyTime();
            tile.x = tile.y = tile.z = -1000;
        }
        game.m_board.selected = nullptr;
        game.m_board.hovered = nullptr;
        for (TMTile *&hint : game.m_hintTiles)
            hint = nullptr;
    }

    // Tile `index` on the board at (x, y, z). Tiles placed later in index
    // order come later in the draw list only when the test sorts it.
    TMTile *place(int32_t index, int32_t x, int32_t y, int32_t z = 0)
    {
        TMTile &tile = game.m_board.tiles[index];
        tile.present = 1;
        tile.x = x;
        tile.y = y;
        tile.z = z;
        return &tile;
    }

    // The slot each recorded surface belongs to, filled in.
    std::vector<RecordedDraw> recorded()
    {
        std::vector<RecordedDraw> out = recorder->draws;
        for (size_t i = 0; i < out.size(); ++i)
            for (int32_t slot = 0; slot < TM_SPRITE_COUNT; ++slot)
                if (game.m_sprites[slot].getSurface() == recorder->surfaces[i])
                    out[i].slot = slot;
        return out;
    }

    std::vector<RecordedDraw> drawsOf(int32_t slot)
    {
        std::vector<RecordedDraw> out;
        for (const RecordedDraw &d : recorded())
            if (d.slot == slot)
                out.push_back(d);
        return out;
    }

    // The slots drawn, in order, with runs of one slot counted once.
    std::vector<int32_t> slotSequence()
    {
        std::vector<int32_t> out;
        for (const RecordedDraw &d : recorded())
            if (out.empty() || out.back() != d.slot)
                out.push_back(d.slot);
        return out;
    }

    void paint(const HRect &rect, bool underDialog = false)
    {
        recorder->draws.clear();
        recorder->surfaces.clear();
        game.drawRect(rect, underDialog);
    }

    HRect imageRect(const TMTile *tile)
    {
        HRect r;
        game.m_board.getImageRect(tile, &r);
        return r;
    }
    HRect faceRect(const TMTile *tile)
    {
        HRect r;
        game.m_board.getFaceRect(tile, &r);
        return r;
    }
    HRect fullRect(const TMTile *tile)
    {
        HRect r;
        game.m_board.getFullRect(tile, &r);
        return r;
    }

    tilmar_test::TempDir home;
    TestTilmar game;
    RecordingDisplay *recorder = nullptr;
};

#endif
