// The art table: its names, the start-up load, access by index with its
// alerts, the on-demand tile sheet and background, and drawing that stays
// silent when pictures are missing.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "game/game_test_support.h"

using tilmar_test::captureStdout;

namespace {

bool loadedOnDemandOrUnused(int32_t slot)
{
    return slot == TM_ART_BACKGROUND || slot == TM_ART_TILE_SHEET || slot == 14 || slot == 15 || slot == 73 ||
           slot == 74;
}

const HRect kScreen(0, 0, 640, 480);

} // namespace

TEST(DrawingArt, EverySlotButTheOnDemandAndUnusedOnesIsNamed)
{
    TestTilmar game;
    for (int32_t slot = 0; slot < TM_SPRITE_COUNT; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(&game.m_sprites[slot], game.m_artTable[slot].sprite);
        EXPECT_EQ(!loadedOnDemandOrUnused(slot), game.m_artTable[slot].name != nullptr);
    }
    struct Case
    {
        int32_t slot;
        const char *name;
    };
    const Case cases[] = {
        {TM_ART_FONT, "art/font.tga"},
        {TM_ART_PAUSE, "art/pause_tl.jpg"},
        {TM_ART_SHADOW_TOP, "art/shadow_top.tga"},
        {TM_ART_LAYOUT_PREVIEW, "art/preview_layout_1.jpg"},
        {TM_ART_LAYOUT_PREVIEW + 17, "art/preview_layout_18.jpg"},
        {TM_ART_LAYOUT_TITLE, "art/title_layout_1.tga"},
        {TM_ART_LAYOUT_TITLE + 17, "art/title_layout_18.tga"},
        {TM_ART_TILESET_PREVIEW, "art/preview_tile_1.tga"},
        {TM_ART_TILESET_PREVIEW + 7, "art/preview_tile_8.tga"},
        {TM_ART_BACKGROUND_PREVIEW, "art/preview_background_10.jpg"},
        {TM_ART_BACKGROUND_PREVIEW + 1, "art/preview_background_1.jpg"},
        {TM_ART_BACKGROUND_PREVIEW + 9, "art/preview_background_9.jpg"},
        {TM_ART_CONTINUE_LIT, "art/icon_clicktocontinue_lit.tga"},
        {TM_ART_MAKER_LIT, "art/icon_velmora_lit_tl.tga"},
        {TM_ART_MOVES_LABEL, "art/icon_available_tl.tga"},
        {TM_ART_DIGIT_0, "art/font_number_0.tga"},
        {TM_ART_DIGIT_0 + 9, "art/font_number_9.tga"},
        {TM_ART_COMMA, "art/font_comma.tga"},
        {TM_ART_OUTLINE_BLOCKED, "art/outline_red.tga"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.name, game.m_artTable[c.slot].name) << c.slot;
}

TEST(DrawingArt, StartUpLoadsEveryNamedSlotAndSizesTheShadows)
{
    tilmar_test::TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    for (int32_t slot = 0; slot < TM_SPRITE_COUNT; ++slot)
        EXPECT_EQ(!loadedOnDemandOrUnused(slot), game.m_sprites[slot].isLoaded()) << slot;
    // The full rectangle of a tile grows by the shadows' sizes.
    EXPECT_EQ(game.m_sprites[TM_ART_SHADOW_TOP].getHeight(), game.m_board.shadowTopHeight);
    EXPECT_EQ(game.m_sprites[TM_ART_SHADOW_RIGHT].getWidth(), game.m_board.shadowRightWidth);
    EXPECT_GT(game.m_board.shadowTopHeight, 0);
    EXPECT_GT(game.m_board.shadowRightWidth, 0);
    // Destroying the devices lets go of every picture, the on-demand ones too.
    game.at(1000);
    game.startGame();
    ASSERT_TRUE(game.m_sprites[TM_ART_TILE_SHEET].isLoaded());
    stopGame(game);
    for (int32_t slot = 0; slot < TM_SPRITE_COUNT; ++slot)
        EXPECT_FALSE(game.m_sprites[slot].isLoaded()) << slot;
}

TEST(DrawingArt, GetSpriteAlertsForBadIndicesAndUnloadedSlots)
{
    tilmar_test::TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    struct Case
    {
        int32_t index;
        const char *alert; // null: the slot comes back without a word
    };
    const Case cases[] = {
        {-1, "getSprite - t out of range, value = -1\n"},
        {-117, "getSprite - t out of range, value = -117\n"},
        {INT32_MIN, "getSprite - t out of range, value = -2147483648\n"},
        {117, "getSprite - t out of range, value = 117\n"},
        {INT32_MAX, "getSprite - t out of range, value = 2147483647\n"},
        {14, "getSprite - sprite 14 is not valid\n"},
        {TM_ART_TILE_SHEET, "getSprite - sprite 116 is not valid\n"},
        {0, nullptr},
        {TM_ART_OUTLINE_BLOCKED, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        VGSprite *sprite = reinterpret_cast<VGSprite *>(1);
        const std::string out = captureStdout([&] { sprite = game.getSprite(c.index); });
        if (c.alert) {
            EXPECT_EQ(nullptr, sprite);
            EXPECT_NE(std::string::npos, out.find("Alert")) << out;
            EXPECT_NE(std::string::npos, out.find(c.alert)) << out;
        } else {
            EXPECT_EQ(&game.m_sprites[c.index], sprite);
            EXPECT_EQ("", out);
        }
    }
    EXPECT_EQ(nullptr, game.getSlot(-1));
    EXPECT_EQ(nullptr, game.getSlot(117));
    stopGame(game);
}

TEST(DrawingArt, TileSheetAndBackgroundFollowTheChoicesAndRetryAfterAFailure)
{
    tilmar_test::TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    EXPECT_EQ(-1, game.m_loadedTileSet);
    EXPECT_EQ(-1, game.m_loadedBackground);
    game.at(1000);
    game.startGame();
    VGSprite &sheet = game.m_sprites[TM_ART_TILE_SHEET];
    VGSprite &background = game.m_sprites[TM_ART_BACKGROUND];
    EXPECT_STREQ("art/tileset_1.tga", sheet.getName());
    EXPECT_STREQ("art/arena10_tl.jpg", background.getName());
    EXPECT_EQ(0, game.m_loadedTileSet);
    EXPECT_EQ(0, game.m_loadedBackground);

    // The same choice keeps the loaded picture.
    const H2DMemorySurface *surface = sheet.getSurface();
    game.m_loadTileSet();
    EXPECT_EQ(surface, sheet.getSurface());
    EXPECT_EQ(1, sheet.getRefCount());

    struct Case
    {
        int32_t tileSet, background;
        const char *sheetName, *backgroundName;
    };
    const Case cases[] = {
        {2, 3, "art/tileset_3.tga", "art/arena3_tl.jpg"},
        {7, 9, "art/tileset_8.tga", "art/arena9_tl.jpg"},
        {0, 1, "art/tileset_1.tga", "art/arena1_tl.jpg"},
    };
    for (const Case &c : cases) {
        game.m_settings.tileSet = c.tileSet;
        game.m_settings.background = c.background;
        game.m_loadTileSet();
        game.m_loadBackground();
        EXPECT_STREQ(c.sheetName, sheet.getName());
        EXPECT_STREQ(c.backgroundName, background.getName());
        EXPECT_EQ(1, sheet.getRefCount());
        EXPECT_EQ(c.tileSet, game.m_loadedTileSet);
        EXPECT_EQ(c.background, game.m_loadedBackground);
    }

    // A load that fails leaves the slot empty but records the choice; the
    // next call loads it although the choice did not change.
    HFileSystem *files = game.m_pResourceFileSystem;
    game.m_pResourceFileSystem = nullptr;
    game.m_settings.tileSet = 4;
    captureStdout([&] { game.m_loadTileSet(); });
    EXPECT_FALSE(sheet.isLoaded());
    EXPECT_EQ(4, game.m_loadedTileSet);
    game.m_pResourceFileSystem = files;
    game.m_loadTileSet();
    EXPECT_TRUE(sheet.isLoaded());
    EXPECT_STREQ("art/tileset_5.tga", sheet.getName());
    stopGame(game);
}

TEST(DrawingArt, MissingPicturesAreLeftOutWithoutAnAlert)
{
    tilmar_test::TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    game.at(1000);
    game.startGame();
    // Every effect on, then every picture gone.
    TMTile *tile = game.m_board.drawList[TM_TILE_COUNT - 1];
    game.m_board.selected = tile;
    tile->selected = 1;
    game.m_board.hovered = game.m_board.drawList[0];
    game.m_hintTiles[0] = game.m_board.drawList[1];
    game.m_hintTime = VyTime(1000);
    game.m_noMatchTime = VyTime(1000);
    game.m_showMovesAlpha = 0.5f;
    game.m_board.drawList[2]->present = 0;
    game.m_board.drawList[2]->removedAt = VyTime(900);
    game.m_noMatchRect = HRect(200, 100, 400, 200);
    game.m_board.tilesLeft = 1000; // needs the comma

    auto drawEveryState = [&] {
        for (int32_t state : {TM_STATE_TITLE, TM_STATE_PLAYING, TM_STATE_WON, TM_STATE_LOST}) {
            SCOPED_TRACE(state);
            game.m_gameState = state;
            for (bool paused : {false, true}) {
                game.m_bPaused = paused;
                EXPECT_EQ("", captureStdout([&] { game.drawRect(kScreen, false); }));
            }
        }
        game.m_bPaused = false;
    };
    // Some pictures gone, the digits still there.
    for (int32_t slot : {TM_ART_PAUSE, TM_ART_TITLE, TM_ART_BACKGROUND, TM_ART_SHADOW_TOP, TM_ART_NO_MATCH,
                         TM_ART_GAME_OVER, TM_ART_BACKGROUND_PREVIEW, TM_ART_LAYOUT_TITLE, TM_ART_COLON, TM_ART_COMMA,
                         TM_ART_OUTLINE_FREE, TM_ART_OUTLINE_BLOCKED, TM_ART_TILE_SHEET})
        game.m_sprites[slot].unload();
    drawEveryState();
    // Every picture gone.
    game.m_unloadSprites();
    drawEveryState();
    stopGame(game);
}
