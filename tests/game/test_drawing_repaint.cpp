// Painting one dirty rectangle gives exactly the pixels that a repaint of
// the whole screen gives inside it, in every state and with every effect on,
// and changes nothing outside it.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "game/drawing_test_support.h"

namespace {

const uint64_t kStart = 100000;

class RepaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startGame(game, home));
        display = game.getDisplayDevice();
        placeNoMatchOverlay(game);
    }
    void TearDown() override { stopGame(game); }

    // A pattern that no picture paints, so pixels left alone show up.
    void fillScreen()
    {
        const H2DMemorySurface &s = display->getScreenSurface();
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x)
                s.getPixels()[y * s.getPitch() / 2 + x] = static_cast<uint16_t>(x * 37 + y * 101);
    }

    std::vector<uint16_t> snapshot()
    {
        std::vector<uint16_t> out;
        out.reserve(640 * 480);
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x)
                out.push_back(gameScreenPixel(display, x, y));
        return out;
    }

    // Paints the whole screen and then only `rect` (both from the same
    // starting pattern) and counts the pixels that differ: inside the
    // rectangle from the whole repaint, outside it from the pattern.
    int32_t differences(const HRect &rect, bool underDialog)
    {
        fillScreen();
        const std::vector<uint16_t> pattern = snapshot();
        prepare();
        game.drawRect(kWholeScreen, underDialog);
        const std::vector<uint16_t> whole = snapshot();
        fillScreen();
        prepare();
        game.drawRect(rect, underDialog);
        const std::vector<uint16_t> part = snapshot();
        int32_t count = 0;
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) {
                const bool inside = x >= rect.x0 && x < rect.x1 && y >= rect.y0 && y < rect.y1;
                const size_t i = static_cast<size_t>(y) * 640 + x;
                if (part[i] != (inside ? whole[i] : pattern[i]))
                    ++count;
            }
        return count;
    }

    // The hint pulse runs on the real-time clock: start each paint just
    // before the pulse's trough, where its blend constant stays 0 for the
    // next 20 ms or so.
    void prepare()
    {
        VyTime now;
        getTicks(now);
        game.m_hintTime = VyTime(now.getLow() + 186);
    }

    // A paint slowed past the trough by a busy machine shows as a
    // difference on the hint tiles only; a fault shows on every try.
    int32_t differencesOnSomeTry(const HRect &rect, bool underDialog)
    {
        int32_t count = 0;
        for (int32_t attempt = 0; attempt < 3; ++attempt)
            if ((count = differences(rect, underDialog)) == 0)
                break;
        return count;
    }

    void playing()
    {
        game.at(kStart);
        game.startGame();
        TMBoard &board = game.m_board;
        // A selection, a hint pair, a hovered tile, a pair fading out,
        // show-moves half on and the overlay fading.
        TMTile *first = nullptr;
        TMTile *second = nullptr;
        ASSERT_TRUE(board.findPair(&first, &second, 0));
        board.removePair(first, second, VyTime(kStart + 4750));
        ASSERT_TRUE(board.findPair(&game.m_hintTiles[0], &game.m_hintTiles[1], 1));
        for (TMTile *tile : board.drawList)
            if (tile->present && board.isFree(tile) && tile != game.m_hintTiles[0] &&
                tile != game.m_hintTiles[1]) {
                if (!board.selected) {
                    board.selected = tile;
                    tile->selected = 1;
                } else if (!board.hovered) {
                    board.hovered = tile;
                }
            }
        // A blocked tile under the pointer too would be one outline; the
        // free one shows the outline over later tiles.
        game.m_showMovesAlpha = 0.5f;
        game.m_noMatchTime = VyTime(kStart + 3000);
        game.m_penaltySeconds = 90;
        game.at(kStart + 5000);
    }

    tilmar_test::TempDir home;
    TestTilmar game;
    H2DDisplayDevice *display = nullptr;
};

// Rectangles that cut pictures, tiles, shadows, outlines, digits and the
// overlay at odd places, and random ones.
std::vector<HRect> rectangles()
{
    std::vector<HRect> out = {
        HRect(0, 0, 640, 480),     HRect(120, 0, 130, 480),   HRect(124, 30, 126, 31),
        HRect(130, 100, 200, 180), HRect(300, 200, 301, 480), HRect(580, 440, 640, 480),
        HRect(211, 450, 314, 480), HRect(230, 455, 250, 470), HRect(400, 300, 640, 460),
        HRect(0, 440, 640, 480),   HRect(420, 451, 445, 479), HRect(125, 0, 640, 480),
        HRect(639, 479, 640, 480), HRect(250, 140, 480, 300),
    };
    std::mt19937 random(20061123);
    for (int32_t i = 0; i < 12; ++i) {
        const int32_t x0 = static_cast<int32_t>(random() % 640);
        const int32_t y0 = static_cast<int32_t>(random() % 480);
        const int32_t x1 = x0 + 1 + static_cast<int32_t>(random() % (640 - x0));
        const int32_t y1 = y0 + 1 + static_cast<int32_t>(random() % (480 - y0));
        out.push_back(HRect(x0, y0, x1, y1));
    }
    return out;
}

} // namespace

TEST_F(RepaintTest, AnyRectangleGetsTheWholeRepaintsPixels)
{
    struct Case
    {
        const char *name;
        std::function<void()> setUp;
        bool underDialog;
    };
    const Case cases[] = {
        {"title", [&] { game.m_settings.background = 4; }, false},
        {"playing", [&] { playing(); }, false},
        {"playing under a dialog", [&] {}, true},
        {"paused", [&] { game.m_bPaused = true; }, false},
        {"won",
         [&] {
             game.m_bPaused = false;
             game.m_gameState = TM_STATE_WON;
             game.m_statistics.finalTime = 754;
         },
         false},
        {"lost", [&] { game.m_gameState = TM_STATE_LOST; }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.setUp();
        for (const HRect &r : rectangles()) {
            SCOPED_TRACE(testing::Message() << "(" << r.x0 << "," << r.y0 << ")-(" << r.x1 << "," << r.y1 << ")");
            EXPECT_EQ(0, differencesOnSomeTry(r, c.underDialog));
        }
    }
}
