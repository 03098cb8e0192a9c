// The whole screen of a game in play, with every effect on, holds exactly the
// pixels that the blend formula gives, one pixel at a time, for the pictures
// the painting drew: the display's row loops change nothing on the real
// pictures, their masks and the places the board puts them.
#include <gtest/gtest.h>

#include <vector>

#include "game/drawing_test_support.h"

namespace {

class FullScreenPixelsTest : public DrawingTest
{
protected:
    std::vector<uint16_t> screen()
    {
        std::vector<uint16_t> out;
        for (int32_t y = 0; y < tmscreen::kScreenHeight; ++y)
            for (int32_t x = 0; x < tmscreen::kScreenWidth; ++x)
                out.push_back(gameScreenPixel(game.getDisplayDevice(), x, y));
        return out;
    }

    // One recorded draw, pixel by pixel: a plain blit copies the opaque
    // pixels, a blend runs each pixel through the blender's formula and
    // leaves the transparent ones.
    static void replay(std::vector<uint16_t> &pixels, const RecordedDraw &d, const H2DMemorySurface *surface)
    {
        const HBlendMode &m = d.mode;
        const uint8_t *mask = surface->getAlphaMask();
        const bool readsAlpha = m.srcAlphaSource == 2 || m.srcAlphaSource == 3 || m.dstAlphaSource == 2 ||
                                m.dstAlphaSource == 3;
        const bool copy = !d.blended || (!mask && readsAlpha);
        if (!copy)
            sm_setBlendState(m.srcAlphaSource, m.srcParamSource, m.srcInvert, m.srcConstAlpha, m.dstAlphaSource,
                             m.dstParamSource, m.dstInvert, m.dstConstAlpha, m.op);
        for (int32_t y = 0; y < d.src.y1 - d.src.y0; ++y)
            for (int32_t x = 0; x < d.src.x1 - d.src.x0; ++x) {
                const int32_t sx = d.src.x0 + x, sy = d.src.y0 + y;
                const uint16_t p = surface->getPixels()[sy * surface->getPitch() / 2 + sx];
                const uint8_t a = mask ? mask[sy * surface->getWidth() + sx] : 255;
                uint16_t &out = pixels[(d.dest.y0 + y) * tmscreen::kScreenWidth + d.dest.x0 + x];
                if (copy ? a == 255 : a != 0)
                    out = copy ? p : sm_blendPixels16(p, out, a);
            }
    }
};

TEST_F(FullScreenPixelsTest, EveryPixelIsTheFormulasForThePicturesDrawn)
{
    game.startGame();
    TMBoard &board = game.m_board;
    ASSERT_EQ(board.tilesLeft, TM_TILE_COUNT);
    // A pair fading out, a hint pair, a selected and a hovered tile,
    // show-moves half on, the overlay fading and a clock with minutes.
    TMTile *gone[2] = {nullptr, nullptr};
    ASSERT_TRUE(board.findPair(&gone[0], &gone[1], 0));
    board.removePair(gone[0], gone[1], VyTime(kStart + 4800));
    ASSERT_TRUE(board.findPair(&game.m_hintTiles[0], &game.m_hintTiles[1], 0));
    std::vector<TMTile *> others;
    for (TMTile *tile : board.drawList)
        if (tile->present && board.isFree(tile) && tile != game.m_hintTiles[0] && tile != game.m_hintTiles[1])
            others.push_back(tile);
    ASSERT_GE(others.size(), 2u);
    board.selected = others.front();
    board.selected->selected = 1;
    board.hovered = others.back();
    game.m_showMovesAlpha = 0.5f;
    game.m_noMatchTime = VyTime(kStart + 3200);
    game.m_penaltySeconds = 75;
    game.at(kStart + 5000);

    // A pattern no picture paints, so that pixels left alone are checked too.
    const H2DMemorySurface &s = game.getDisplayDevice()->getScreenSurface();
    for (int32_t y = 0; y < tmscreen::kScreenHeight; ++y)
        for (int32_t x = 0; x < tmscreen::kScreenWidth; ++x)
            s.getPixels()[y * s.getPitch() / 2 + x] = static_cast<uint16_t>(x * 131 + y * 7);
    std::vector<uint16_t> want = screen();
    paint(kWholeScreen);
    game.getUIManager().draw(kWholeScreen);
    const std::vector<uint16_t> got = screen();

    ASSERT_GT(recorder->draws.size(), static_cast<size_t>(TM_TILE_COUNT));
    for (size_t i = 0; i < recorder->draws.size(); ++i)
        replay(want, recorder->draws[i], recorder->surfaces[i]);
    int32_t differences = 0;
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i] && differences++ < 5)
            ADD_FAILURE() << "pixel (" << i % tmscreen::kScreenWidth << "," << i / tmscreen::kScreenWidth << "): "
                          << got[i] << ", formula " << want[i];
    EXPECT_EQ(differences, 0);
}

} // namespace
