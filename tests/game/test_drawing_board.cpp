// What each state paints, the tiles' sheet cells, and the shadows cut by
// their neighbours.
#include <gtest/gtest.h>

#include <functional>

#include "game/drawing_test_support.h"

namespace {

class BoardDrawingTest : public DrawingTest
{
protected:
    // The one shadow strip drawn by a step, or none.
    bool shadowOf(int32_t slot, const std::function<void()> &step, RecordedDraw *out)
    {
        recorder->draws.clear();
        recorder->surfaces.clear();
        step();
        const std::vector<RecordedDraw> draws = drawsOf(slot);
        EXPECT_LE(draws.size(), 1u);
        if (draws.empty())
            return false;
        *out = draws[0];
        return true;
    }
};

} // namespace

TEST_F(BoardDrawingTest, EachStatePaintsItsPicturesInOrder)
{
    TMTile *tile = place(0, 10, 4);
    game.m_board.sortDrawList();
    (void)tile;
    struct Case
    {
        const char *name;
        std::function<void()> setUp;
        HRect rect;
        std::vector<int32_t> slots;
    };
    const Case cases[] = {
        {"title", [&] { game.m_gameState = TM_STATE_TITLE; }, kWholeScreen,
         {TM_ART_TITLE, TM_ART_BACKGROUND_PREVIEW, TM_ART_TILESET_PREVIEW, TM_ART_LAYOUT_PREVIEW,
          TM_ART_LAYOUT_TITLE, TM_ART_LEFT_PANEL}},
        {"title with other choices",
         [&] {
             game.m_gameState = TM_STATE_TITLE;
             game.m_settings.background = 3;
             game.m_settings.tileSet = 7;
             game.m_settings.layout = 17;
         },
         kWholeScreen, {TM_ART_TITLE, 63, 59, 33, 51, TM_ART_LEFT_PANEL}},
        {"playing", [&] { game.m_gameState = TM_STATE_PLAYING; }, kWholeScreen,
         {TM_ART_BACKGROUND, TM_ART_TILE_SHEET, TM_ART_SHADOW_TOP, TM_ART_SHADOW_RIGHT, TM_ART_LEFT_PANEL}},
        {"won", [&] { game.m_gameState = TM_STATE_WON; }, kWholeScreen,
         {TM_ART_BACKGROUND, TM_ART_BOARD_COMPLETE, TM_ART_LEFT_PANEL}},
        {"lost", [&] { game.m_gameState = TM_STATE_LOST; }, kWholeScreen,
         {TM_ART_BACKGROUND, TM_ART_GAME_OVER, TM_ART_LEFT_PANEL}},
        {"paused",
         [&] {
             game.m_gameState = TM_STATE_PLAYING;
             game.m_bPaused = true;
         },
         kWholeScreen, {TM_ART_PAUSE, TM_ART_LEFT_PANEL}},
        {"left of the board area", [&] { game.m_gameState = TM_STATE_PLAYING; }, HRect(0, 0, 100, 480),
         {TM_ART_LEFT_PANEL}},
        {"exiting", [&] { game.m_gameState = TM_STATE_EXITING; }, kWholeScreen, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        game.m_bPaused = false;
        game.m_settings = TMSettings();
        c.setUp();
        paint(c.rect, true);
        EXPECT_EQ(c.slots, slotSequence());
    }
}

TEST_F(BoardDrawingTest, PicturesSitAtTheirCornersAndPreviewsAreCentred)
{
    game.m_gameState = TM_STATE_TITLE;
    game.m_settings.background = 0; // number 10
    paint(kWholeScreen, true);
    struct Case
    {
        int32_t slot;
        int32_t x; // -1: centred in the board area's width plus the offset
        tmscreen::Point at;
    };
    const Case cases[] = {
        {TM_ART_TITLE, tmscreen::kTitlePicture.x, tmscreen::kTitlePicture},
        {TM_ART_BACKGROUND_PREVIEW, -1, tmscreen::kBackgroundPreview},
        {TM_ART_TILESET_PREVIEW, -1, tmscreen::kTileSetPreview},
        {TM_ART_LAYOUT_PREVIEW, -1, tmscreen::kLayoutPreview},
        {TM_ART_LAYOUT_TITLE, -1, tmscreen::kLayoutTitle},
        {TM_ART_LEFT_PANEL, 0, tmscreen::Point{0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.slot);
        const std::vector<RecordedDraw> draws = drawsOf(c.slot);
        ASSERT_EQ(1u, draws.size());
        const int32_t w = game.m_sprites[c.slot].getWidth();
        const int32_t x = c.x >= 0 ? c.x : (tmscreen::kPreviewSpan - w) / 2 + c.at.x;
        EXPECT_EQ(x, draws[0].dest.x0);
        EXPECT_EQ(c.at.y, draws[0].dest.y0);
        EXPECT_FALSE(draws[0].blended);
    }
    EXPECT_STREQ("art/preview_background_10.jpg", game.m_artTable[TM_ART_BACKGROUND_PREVIEW].name);

    // The pause picture and the end pictures at the board area's corner,
    // cut to the rectangle being painted.
    game.m_gameState = TM_STATE_WON;
    paint(HRect(200, 30, 260, 90), true);
    std::vector<RecordedDraw> end = drawsOf(TM_ART_BOARD_COMPLETE);
    ASSERT_EQ(1u, end.size());
    EXPECT_TRUE(sameRect(HRect(200, 30, 260, 90), end[0].dest)) << end[0].dest;
    EXPECT_TRUE(sameRect(HRect(75, 30, 135, 90), end[0].src)) << end[0].src;
    game.m_bPaused = true;
    paint(HRect(200, 30, 260, 90), true);
    end = drawsOf(TM_ART_PAUSE);
    ASSERT_EQ(1u, end.size());
    EXPECT_TRUE(sameRect(HRect(75, 30, 135, 90), end[0].src)) << end[0].src;
}

TEST_F(BoardDrawingTest, TileFaceComesFromItsSheetCell)
{
    TMTile *tile = place(0, 10, 4);
    game.m_board.sortDrawList();
    struct Case
    {
        int32_t image;
        HRect cell;
    };
    const Case cases[] = {
        {0, HRect(0, 0, 39, 55)},
        {12, HRect(468, 0, 507, 55)},
        {13, HRect(0, 55, 39, 110)},
        {20, HRect(273, 55, 312, 110)},
        {51, HRect(468, 165, 507, 220)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.image);
        tile->image = c.image;
        paint(fullRect(tile), true);
        const std::vector<RecordedDraw> faces = drawsOf(TM_ART_TILE_SHEET);
        ASSERT_EQ(1u, faces.size());
        EXPECT_TRUE(sameRect(imageRect(tile), faces[0].dest)) << faces[0].dest;
        EXPECT_TRUE(sameRect(c.cell, faces[0].src)) << faces[0].src;
        EXPECT_FALSE(faces[0].blended);
    }
    // A tile whose shadows and face all miss the rectangle is left out.
    const HRect full = fullRect(tile);
    paint(HRect(full.x1 + 1, full.y0, full.x1 + 40, full.y1), true);
    EXPECT_TRUE(drawsOf(TM_ART_TILE_SHEET).empty());
    EXPECT_TRUE(drawsOf(TM_ART_SHADOW_RIGHT).empty());
}

TEST_F(BoardDrawingTest, ShadowsAreCutByTheNeighboursFaces)
{
    // The tile at (10, 4, 0) has its face at (302, 126)-(335, 174).
    struct Position
    {
        int32_t x, y, z;
    };
    struct Case
    {
        const char *name;
        std::vector<Position> neighbours;
        bool top;
        HRect topDest, topSrc;
        bool right;
        HRect rightDest, rightSrc;
    };
    const HRect fullTop(302, 119, 335, 126), fullTopSrc(0, 0, 33, 7);
    const HRect fullRight(335, 120, 341, 168), fullRightSrc(0, 0, 6, 48);
    const HRect none;
    const Case cases[] = {
        {"alone", {}, true, fullTop, fullTopSrc, true, fullRight, fullRightSrc},
        {"neighbour to the right", {{12, 4, 0}}, true, fullTop, fullTopSrc, false, none, none},
        {"tile straight above", {{10, 2, 0}}, false, none, none, true, fullRight, fullRightSrc},
        {"top covered by two faces", {{9, 2, 0}, {11, 2, 0}}, false, none, none, true,
         HRect(335, 126, 341, 168), HRect(0, 6, 6, 48)},
        {"top cut on the left", {{9, 2, 0}}, true, HRect(318, 119, 335, 126), HRect(16, 0, 33, 7), true, fullRight,
         fullRightSrc},
        {"right cut at its top", {{12, 3, 0}}, true, fullTop, fullTopSrc, true, HRect(335, 150, 341, 168),
         HRect(0, 30, 6, 48)},
        {"right cut at its bottom", {{12, 5, 0}}, true, fullTop, fullTopSrc, true, HRect(335, 120, 341, 150),
         HRect(0, 0, 6, 30)},
        {"right covered from both ends", {{12, 3, 0}, {12, 5, 0}}, true, fullTop, fullTopSrc, false, none, none},
        {"other layers do not cut", {{10, 2, 1}, {12, 4, 1}, {9, 2, 1}}, true, fullTop, fullTopSrc, true, fullRight,
         fullRightSrc},
        {"removed neighbours do not cut", {{10, 2, -1}, {12, 4, -1}}, true, fullTop, fullTopSrc, true, fullRight,
         fullRightSrc},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        emptyBoard();
        TMTile *tile = place(0, 10, 4);
        int32_t index = 1;
        for (const Position &p : c.neighbours) {
            TMTile *n = place(index++, p.x, p.y, p.z < 0 ? 0 : p.z);
            if (p.z < 0)
                n->present = 0;
        }
        RecordedDraw top, right;
        ASSERT_EQ(c.top, shadowOf(TM_ART_SHADOW_TOP, [&] { game.m_drawShadowTop(tile, kWholeScreen, 0.5f); }, &top));
        if (c.top) {
            EXPECT_TRUE(sameRect(c.topDest, top.dest)) << top.dest;
            EXPECT_TRUE(sameRect(c.topSrc, top.src)) << top.src;
            EXPECT_EQ(127, top.mode.srcConstAlpha);
            EXPECT_EQ(1, top.mode.dstInvert);
        }
        ASSERT_EQ(c.right,
                  shadowOf(TM_ART_SHADOW_RIGHT, [&] { game.m_drawShadowRight(tile, kWholeScreen, 0.5f); }, &right));
        if (c.right) {
            EXPECT_TRUE(sameRect(c.rightDest, right.dest)) << right.dest;
            EXPECT_TRUE(sameRect(c.rightSrc, right.src)) << right.src;
            EXPECT_EQ(127, right.mode.srcConstAlpha);
        }
    }
}

TEST_F(BoardDrawingTest, ShadowsAreClippedToTheRectangle)
{
    TMTile *tile = place(0, 10, 4);
    RecordedDraw top;
    ASSERT_TRUE(shadowOf(TM_ART_SHADOW_TOP, [&] { game.m_drawShadowTop(tile, HRect(310, 0, 320, 123), 1.0f); }, &top));
    EXPECT_TRUE(sameRect(HRect(310, 119, 320, 123), top.dest)) << top.dest;
    EXPECT_TRUE(sameRect(HRect(8, 0, 18, 4), top.src)) << top.src;
    EXPECT_EQ(255, top.mode.srcConstAlpha);
    RecordedDraw right;
    EXPECT_FALSE(shadowOf(TM_ART_SHADOW_RIGHT, [&] { game.m_drawShadowRight(tile, HRect(400, 0, 500, 480), 1.0f); },
                          &right));
}
