// The timed effects at their boundary milliseconds: the removed-tile fade,
// the no-match overlay, show-moves, the hint highlight and its pulse, and the
// expiry steps that mark their rectangles dirty and switch them off.
#include <gtest/gtest.h>

#include <functional>

#include "game/drawing_test_support.h"

namespace {

bool anyContains(const HDirtyRectList &list, const HRect &rect)
{
    for (int32_t i = 0; i < list.getCount(); ++i)
        if (list.getRect(i).containsRect(rect))
            return true;
    return false;
}

bool anyMeets(const HDirtyRectList &list, const HRect &rect)
{
    for (int32_t i = 0; i < list.getCount(); ++i)
        if (list.getRect(i).intersects(rect))
            return true;
    return false;
}

class EffectsTest : public DrawingTest
{
protected:
    // One timestamp pass of the main loop at `time`, on a clean dirty list.
    void updateAt(uint64_t time)
    {
        game.m_dirtyRects.clear();
        deliver(game, gameEvent(ET_TIMESTAMP, time));
    }
};

} // namespace

TEST_F(EffectsTest, RemovedTileFadesForItsFirst500Milliseconds)
{
    struct Case
    {
        uint64_t elapsed;
        bool drawn;
        bool plain;    // the face by the plain blit
        int32_t face;  // F and G of the tile blend
        int32_t add;
        int32_t shadow; // the shadows' fade constant
    };
    const Case cases[] = {
        {0, true, true, 0, 0, 255},
        {250, true, false, 127, 127, 127},
        {499, true, false, 0, 254, 0},
        {500, false, false, 0, 0, 0},
        {5000, false, false, 0, 0, 0},
    };
    TMTile *tile = place(0, 10, 4);
    game.m_board.sortDrawList();
    tile->present = 0;
    tile->removedAt = VyTime(kStart);
    // A removed tile gets no outline, even under the pointer.
    game.m_board.hovered = tile;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.elapsed);
        game.at(kStart + c.elapsed);
        paint(fullRect(tile), true);
        const std::vector<RecordedDraw> faces = drawsOf(TM_ART_TILE_SHEET);
        std::vector<RecordedDraw> shadows = drawsOf(TM_ART_SHADOW_TOP);
        for (const RecordedDraw &d : drawsOf(TM_ART_SHADOW_RIGHT))
            shadows.push_back(d);
        if (!c.drawn) {
            EXPECT_TRUE(faces.empty());
            EXPECT_TRUE(shadows.empty());
            continue;
        }
        ASSERT_EQ(1u, faces.size());
        EXPECT_TRUE(sameRect(imageRect(tile), faces[0].dest)) << faces[0].dest;
        EXPECT_EQ(!c.plain, faces[0].blended);
        if (!c.plain) {
            EXPECT_EQ(c.face, faces[0].mode.srcConstAlpha);
            EXPECT_EQ(c.add, faces[0].mode.dstConstAlpha);
            EXPECT_EQ(1, faces[0].mode.dstAlphaSource);
            EXPECT_EQ(4, faces[0].mode.dstParamSource);
            EXPECT_TRUE(sameMode(tileMode(c.face, c.add), faces[0].mode)) << faces[0].mode;
        }
        ASSERT_EQ(2u, shadows.size());
        for (const RecordedDraw &s : shadows) {
            EXPECT_EQ(c.shadow, s.mode.srcConstAlpha);
            EXPECT_TRUE(sameMode(fadeMode(c.shadow), s.mode)) << s.mode;
        }
        EXPECT_TRUE(drawsOf(TM_ART_OUTLINE_FREE).empty());
        EXPECT_TRUE(drawsOf(TM_ART_OUTLINE_BLOCKED).empty());
    }

    // Without a removal time a removed tile is not fading, however early
    // the clock.
    tile->removedAt = VyTime();
    game.at(100);
    paint(fullRect(tile), true);
    EXPECT_TRUE(drawsOf(TM_ART_TILE_SHEET).empty());
}

TEST_F(EffectsTest, RemovalTimeIsClearedByTheFirstUpdatePast500AfterOneLastRedraw)
{
    TMTile *tile = place(0, 10, 4);
    tile->present = 0;
    tile->removedAt = VyTime(kStart);

    updateAt(kStart + 500);
    EXPECT_EQ(kStart, tile->removedAt.getTime64());
    EXPECT_TRUE(anyContains(game.m_dirtyRects, fullRect(tile)));

    updateAt(kStart + 501);
    EXPECT_EQ(0u, tile->removedAt.getTime64());
    EXPECT_TRUE(anyContains(game.m_dirtyRects, fullRect(tile)));

    updateAt(kStart + 502);
    EXPECT_FALSE(anyMeets(game.m_dirtyRects, fullRect(tile)));
}

TEST_F(EffectsTest, PairRestoredWithinItsFadeIsDrawnPresentAtOnce)
{
    TMTile *a = place(0, 10, 4);
    TMTile *b = place(1, 20, 4);
    game.m_board.sortDrawList();
    game.m_board.removePair(a, b, VyTime(kStart));
    game.at(kStart + 100);
    game.m_board.popUndo(nullptr, nullptr);
    ASSERT_TRUE(a->present);
    paint(fullRect(a), true);
    const std::vector<RecordedDraw> faces = drawsOf(TM_ART_TILE_SHEET);
    ASSERT_EQ(1u, faces.size());
    EXPECT_FALSE(faces[0].blended);
}

TEST_F(EffectsTest, NoMatchOverlayHoldsThenFadesOut)
{
    struct Case
    {
        int64_t elapsed;
        bool drawn;
        int32_t opacity;
    };
    const Case cases[] = {
        {0, true, 255},   {1499, true, 255}, {1500, true, 255}, {1501, true, 254},
        {2250, true, 127}, {2995, true, 0},  {3001, false, 0},  {-1, false, 0},
    };
    game.m_noMatchTime = VyTime(kStart);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.elapsed);
        game.at(static_cast<uint64_t>(static_cast<int64_t>(kStart) + c.elapsed));
        paint(kWholeScreen);
        const std::vector<RecordedDraw> overlay = drawsOf(TM_ART_NO_MATCH);
        if (!c.drawn) {
            EXPECT_TRUE(overlay.empty());
            continue;
        }
        ASSERT_EQ(1u, overlay.size());
        EXPECT_TRUE(sameRect(game.m_noMatchRect, overlay[0].dest)) << overlay[0].dest;
        EXPECT_EQ(c.opacity, overlay[0].mode.srcConstAlpha);
        EXPECT_EQ(1, overlay[0].mode.dstInvert);
        EXPECT_TRUE(sameMode(fadeMode(c.opacity), overlay[0].mode)) << overlay[0].mode;
    }
}

TEST_F(EffectsTest, NoMatchOverlayIsClippedAndClearedAfter3000)
{
    game.m_noMatchTime = VyTime(kStart);
    game.at(kStart + 10);
    const HRect &o = game.m_noMatchRect;
    paint(HRect(o.x0 + 5, o.y0 + 7, o.x0 + 20, o.y1 + 30));
    const std::vector<RecordedDraw> overlay = drawsOf(TM_ART_NO_MATCH);
    ASSERT_EQ(1u, overlay.size());
    EXPECT_TRUE(sameRect(HRect(o.x0 + 5, o.y0 + 7, o.x0 + 20, o.y1), overlay[0].dest)) << overlay[0].dest;
    EXPECT_TRUE(sameRect(HRect(5, 7, 20, o.y1 - o.y0), overlay[0].src)) << overlay[0].src;

    updateAt(kStart + 3000);
    EXPECT_EQ(kStart, game.m_noMatchTime.getTime64());
    EXPECT_TRUE(anyContains(game.m_dirtyRects, o));
    updateAt(kStart + 3001);
    EXPECT_EQ(0u, game.m_noMatchTime.getTime64());
    EXPECT_TRUE(anyContains(game.m_dirtyRects, o));

    // A start that lies after the game clock is dropped at once, without
    // a redraw.
    game.m_noMatchTime = VyTime(kStart + 9000);
    updateAt(kStart + 8999);
    EXPECT_EQ(0u, game.m_noMatchTime.getTime64());
    EXPECT_FALSE(anyMeets(game.m_dirtyRects, o));

    // A start time of 0 is no overlay, even on an early clock.
    game.at(1000);
    paint(kWholeScreen);
    EXPECT_TRUE(drawsOf(TM_ART_NO_MATCH).empty());
}

TEST_F(EffectsTest, ShowMovesIntensityFollowsItsCurve)
{
    struct Case
    {
        int32_t tileSet;
        uint32_t t;
        bool spaceHeld;
        float intensity;
        bool ended;
    };
    const Case cases[] = {
        {2, 0, false, 0.0f, false},     {2, 250, false, 0.5f, false},  {2, 499, false, 0.998f, false},
        {2, 500, false, 1.0f, false},   {2, 3999, false, 1.0f, false}, {2, 4000, false, 1.0f, false},
        {2, 4250, false, 0.5f, false},  {2, 4500, false, 0.0f, false}, {2, 4501, false, 0.0f, true},
        {2, 250, true, 0.5f, false},    {2, 60000, true, 1.0f, false}, {0, 2000, false, 0.5f, false},
        {0, 250, false, 0.25f, false},  {0, 60000, true, 0.5f, false}, {1, 2000, false, 0.5f, false},
        {6, 2000, false, 1.0f, false},  {7, 2000, false, 0.5f, false}, {7, 4600, false, 0.0f, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "tile set " << c.tileSet << ", t " << c.t << ", space " << c.spaceHeld);
        game.m_settings.tileSet = c.tileSet;
        game.m_bSpaceHeld = c.spaceHeld;
        bool ended = !c.ended;
        EXPECT_NEAR(c.intensity, game.m_showMovesIntensity(c.t, &ended), 1e-4f);
        EXPECT_EQ(c.ended, ended);
    }
}

TEST_F(EffectsTest, ShowMovesStartsOnlyWhilePlayingUnpausedAndNotRunning)
{
    game.at(kStart + 10);
    game.m_bPaused = true;
    game.showMoves();
    EXPECT_EQ(0u, game.m_showMovesStart.getTime64());
    game.m_bPaused = false;
    game.m_gameState = TM_STATE_WON;
    game.showMoves();
    EXPECT_EQ(0u, game.m_showMovesStart.getTime64());
    game.m_gameState = TM_STATE_PLAYING;
    game.m_dirtyRects.clear();
    game.showMoves();
    EXPECT_EQ(kStart + 10, game.m_showMovesStart.getTime64());
    EXPECT_TRUE(anyContains(game.m_dirtyRects, kWholeScreen));
    game.at(kStart + 20);
    game.showMoves();
    EXPECT_EQ(kStart + 10, game.m_showMovesStart.getTime64());
}

TEST_F(EffectsTest, HoldingSpaceKeepsShowMovesFullAndReleasingResumesTheFade)
{
    game.m_settings.tileSet = 2;
    struct Step
    {
        uint64_t at;
        int32_t event; // 0 a pass only, 1 space pressed, 2 space released
        float alpha;
        bool running;
    };
    // Released after 4500 ms: the effect ends at the next pass.
    const Step late[] = {{0, 1, 0.0f, true}, {250, 0, 0.5f, true}, {6000, 0, 1.0f, true}, {6000, 2, 0.0f, false}};
    // Released between 4000 and 4500 ms: the fade goes on from there.
    const Step early[] = {{0, 1, 0.0f, true}, {4100, 2, 0.8f, true}, {4200, 0, 0.6f, true},
                          {4501, 0, 0.0f, false}};
    for (const auto &steps : {std::vector<Step>(late, late + 4), std::vector<Step>(early, early + 4)}) {
        game.m_showMovesStart = VyTime();
        game.m_showMovesAlpha = 0.0f;
        game.m_bSpaceHeld = false;
        for (const Step &s : steps) {
            SCOPED_TRACE(s.at);
            const uint64_t time = kStart + 1000 + s.at;
            if (s.event == 1)
                deliver(game, gameEvent(ET_KEYDOWN, time, KC_SPACE, 0, 0, ' '));
            else if (s.event == 2)
                deliver(game, gameEvent(ET_KEYUP, time, KC_SPACE, 0, 0, ' '));
            deliver(game, gameEvent(ET_TIMESTAMP, time));
            EXPECT_NEAR(s.alpha, game.m_showMovesAlpha, 1e-4f);
            EXPECT_EQ(s.running, game.m_showMovesStart.getTime64() != 0);
        }
    }
}

TEST_F(EffectsTest, ShowMovesLightsOnlyFreeTilesAndRedrawsThemWhenItChanges)
{
    // A row of five: its two ends are free, the three inner tiles blocked.
    TMTile *row[5];
    for (int32_t i = 0; i < 5; ++i)
        row[i] = place(i, 10 + 2 * i, 4);
    game.m_board.sortDrawList();
    TMTile *free = row[0];
    TMTile *blocked = row[2];
    ASSERT_TRUE(game.m_board.isFree(free));
    ASSERT_FALSE(game.m_board.isFree(blocked));
    game.m_showMovesAlpha = 0.5f;
    for (const TMTile *tile : {free, blocked}) {
        paint(imageRect(tile), true);
        std::vector<RecordedDraw> faces;
        for (const RecordedDraw &d : drawsOf(TM_ART_TILE_SHEET))
            if (sameRect(d.dest, imageRect(tile)))
                faces.push_back(d);
        const bool lit = tile == free;
        ASSERT_EQ(lit ? 2u : 1u, faces.size());
        EXPECT_FALSE(faces[0].blended);
        if (lit) {
            EXPECT_TRUE(faces[1].blended);
            EXPECT_EQ(255, faces[1].mode.srcConstAlpha);
            EXPECT_EQ(127, faces[1].mode.dstConstAlpha);
        }
    }

    game.m_showMovesStart = VyTime(kStart);
    game.m_settings.tileSet = 2;
    game.m_showMovesAlpha = 0.0f;
    updateAt(kStart + 100);
    EXPECT_NEAR(0.2f, game.m_showMovesAlpha, 1e-4f);
    EXPECT_TRUE(anyContains(game.m_dirtyRects, fullRect(free)));
    EXPECT_TRUE(anyContains(game.m_dirtyRects, fullRect(row[4])));
    EXPECT_FALSE(anyMeets(game.m_dirtyRects, fullRect(blocked)));
    updateAt(kStart + 2000);
    updateAt(kStart + 2100); // unchanged at full strength: nothing to redraw
    EXPECT_FALSE(anyMeets(game.m_dirtyRects, fullRect(free)));
}

TEST_F(EffectsTest, HintHighlightLasts3450Milliseconds)
{
    TMTile *a = place(0, 10, 4);
    TMTile *b = place(1, 20, 4);
    game.m_hintTiles[0] = a;
    game.m_hintTiles[1] = b;
    game.m_hintTime = VyTime(kStart);
    game.m_settings.autoHint = 0;

    updateAt(kStart + 3450);
    EXPECT_EQ(a, game.m_hintTiles[0]);
    EXPECT_EQ(b, game.m_hintTiles[1]);
    EXPECT_TRUE(anyContains(game.m_dirtyRects, imageRect(a)));
    EXPECT_TRUE(anyContains(game.m_dirtyRects, imageRect(b)));

    updateAt(kStart + 3451);
    EXPECT_EQ(nullptr, game.m_hintTiles[0]);
    EXPECT_EQ(nullptr, game.m_hintTiles[1]);
    EXPECT_TRUE(anyContains(game.m_dirtyRects, imageRect(a)));
    EXPECT_TRUE(anyContains(game.m_dirtyRects, imageRect(b)));
}

TEST_F(EffectsTest, HintPulseRunsOnTheRealTimeClockEvery720Milliseconds)
{
    struct Case
    {
        int32_t ago; // the hint's start, milliseconds before now
        float pulse;
    };
    // The pulse is flat at its peaks and troughs, so the few milliseconds
    // between setting the start and reading the clock do not show.
    const Case cases[] = {{180, 1.0f}, {540, 0.0f}, {900, 1.0f}, {-180, 0.0f}, {720 * 50 + 180, 1.0f}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ago);
        VyTime now;
        getTicks(now);
        game.m_hintTime = VyTime(now.getLow() - static_cast<uint32_t>(c.ago));
        EXPECT_NEAR(c.pulse, game.m_hintPulse(), 0.01f);
    }
}

TEST_F(EffectsTest, HintTilesPulseAndASelectedHintTileIsDrawnAsSelected)
{
    TMTile *hint = place(0, 10, 4);
    TMTile *selected = place(1, 20, 4);
    game.m_board.sortDrawList();
    game.m_hintTiles[0] = hint;
    game.m_hintTiles[1] = selected;
    selected->selected = 1;
    game.m_board.selected = selected;

    struct Case
    {
        TMTile *tile;
        int32_t face; // F of the second draw; -1 for the pulse
    };
    for (const Case &c : {Case{hint, -1}, Case{selected, 255}}) {
        // Start the hint so that the pulse sits in its trough while painting.
        VyTime now;
        getTicks(now);
        game.m_hintTime = VyTime(now.getLow() + 180);
        paint(imageRect(c.tile), true);
        std::vector<RecordedDraw> faces;
        for (const RecordedDraw &d : drawsOf(TM_ART_TILE_SHEET))
            if (sameRect(d.dest, imageRect(c.tile)))
                faces.push_back(d);
        ASSERT_EQ(2u, faces.size());
        EXPECT_FALSE(faces[0].blended);
        EXPECT_TRUE(faces[1].blended);
        EXPECT_EQ(c.face < 0 ? 0 : c.face, faces[1].mode.srcConstAlpha);
        EXPECT_EQ(255, faces[1].mode.dstConstAlpha);
        EXPECT_TRUE(sameMode(tileMode(faces[1].mode.srcConstAlpha, 255), faces[1].mode)) << faces[1].mode;
    }
}

TEST_F(EffectsTest, EveryLookShadowsItsTileOnceAtFullStrength)
{
    // The right end of a row of three: free, with both shadows.
    place(0, 10, 4);
    place(1, 12, 4);
    TMTile *tile = place(2, 14, 4);
    game.m_board.sortDrawList();
    ASSERT_TRUE(game.m_board.isFree(tile));
    const HRect face = faceRect(tile);
    const int32_t topW = game.m_sprites[TM_ART_SHADOW_TOP].getWidth();
    const int32_t topH = game.m_sprites[TM_ART_SHADOW_TOP].getHeight();
    const int32_t rightW = game.m_sprites[TM_ART_SHADOW_RIGHT].getWidth();
    const int32_t rightH = game.m_sprites[TM_ART_SHADOW_RIGHT].getHeight();
    const HRect topStrip(face.x0, face.y0 - topH, face.x0 + topW, face.y0);
    const HRect rightStrip(face.x1, face.y0 + 1 - topH, face.x1 + rightW, face.y0 + 1 - topH + rightH);

    struct Case
    {
        const char *name;
        std::function<void()> setUp;
        size_t faces; // draws of the tile's face
    };
    const Case cases[] = {
        {"plain", [] {}, 1},
        {"selected",
         [&] {
             tile->selected = 1;
             game.m_board.selected = tile;
         },
         2},
        {"hint", [&] { game.m_hintTiles[0] = tile; }, 2},
        {"lit by show-moves", [&] { game.m_showMovesAlpha = 0.5f; }, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        tile->selected = 0;
        game.m_board.selected = nullptr;
        game.m_hintTiles[0] = nullptr;
        game.m_showMovesAlpha = 0.0f;
        c.setUp();
        game.m_hintTime = VyTime(kStart);
        paint(fullRect(tile), true);
        size_t faces = 0;
        for (const RecordedDraw &d : drawsOf(TM_ART_TILE_SHEET))
            faces += sameRect(d.dest, imageRect(tile)) ? 1 : 0;
        EXPECT_EQ(c.faces, faces);
        for (const auto &strip : {std::make_pair(TM_ART_SHADOW_TOP, topStrip),
                                  std::make_pair(TM_ART_SHADOW_RIGHT, rightStrip)}) {
            size_t count = 0;
            for (const RecordedDraw &d : drawsOf(strip.first))
                if (sameRect(d.dest, strip.second)) {
                    ++count;
                    EXPECT_EQ(255, d.mode.srcConstAlpha);
                }
            EXPECT_EQ(1u, count) << "shadow slot " << strip.first;
        }
    }
}

TEST_F(EffectsTest, HoverOutlineFollowsItsTileInFreeOrBlockedColourAndIsClipped)
{
    TMTile *tile = place(0, 10, 4);
    TMTile *right = place(1, 12, 4);
    TMTile *left = place(2, 8, 4);
    game.m_board.sortDrawList();

    struct Case
    {
        TMTile *hovered;
        int32_t slot;
        TMTile *paintedOver; // the next tile in the draw list, painted over the outline
    };
    for (const Case &c : {Case{left, TM_ART_OUTLINE_FREE, nullptr}, Case{tile, TM_ART_OUTLINE_BLOCKED, left}}) {
        game.m_board.hovered = c.hovered;
        paint(fullRect(c.hovered), true);
        const std::vector<RecordedDraw> all = recorded();
        size_t at = all.size();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].slot == c.slot)
                at = i;
        ASSERT_LT(at, all.size());
        EXPECT_TRUE(sameRect(faceRect(c.hovered), all[at].dest)) << all[at].dest;
        EXPECT_TRUE(sameRect(HRect(0, 0, 33, 48), all[at].src)) << all[at].src;
        EXPECT_EQ(kStandardBlend.dstAlphaSource, all[at].mode.dstAlphaSource);
        // Painted right after its own tile's face and shadows.
        ASSERT_GT(at, 0u);
        bool ownTileBefore = false;
        for (size_t i = 0; i < at; ++i)
            ownTileBefore |= all[i].slot == TM_ART_TILE_SHEET && sameRect(all[i].dest, imageRect(c.hovered));
        EXPECT_TRUE(ownTileBefore);
        if (c.paintedOver) {
            bool overAfter = false;
            for (size_t i = at + 1; i < all.size(); ++i)
                overAfter |= all[i].slot == TM_ART_TILE_SHEET && imageRect(c.paintedOver).containsRect(all[i].dest);
            EXPECT_TRUE(overAfter);
        }
    }
    (void)right;

    // Cut by the rectangle being painted, and absent when it misses the face.
    game.m_board.hovered = tile;
    const HRect face = faceRect(tile);
    paint(HRect(face.x0 + 10, face.y0 + 20, face.x1 + 50, face.y1 + 50), true);
    std::vector<RecordedDraw> outline = drawsOf(TM_ART_OUTLINE_BLOCKED);
    ASSERT_EQ(1u, outline.size());
    EXPECT_TRUE(sameRect(HRect(face.x0 + 10, face.y0 + 20, face.x1, face.y1), outline[0].dest));
    EXPECT_TRUE(sameRect(HRect(10, 20, 33, 48), outline[0].src));
    paint(HRect(face.x0, face.y0 - 7, face.x1, face.y0 - 1), true);
    EXPECT_TRUE(drawsOf(TM_ART_OUTLINE_BLOCKED).empty());
}
