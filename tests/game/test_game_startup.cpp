// The game object starts as the program starts it and stops cleanly.
#include <gtest/gtest.h>

#include <string>

#include "game/game_test_support.h"

TEST(GameStartup, StartsOnTheTitleScreenWithItsDevicesAndFont)
{
    tilmar_test::TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    EXPECT_EQ(TM_STATE_TITLE, game.getGameState());
    EXPECT_NE(nullptr, game.getDisplayDevice());
    EXPECT_NE(nullptr, game.m_pFont);
    EXPECT_STREQ("Tilmar MahJong", game.getTitle());
    stopGame(game);
    EXPECT_EQ(nullptr, game.m_pFont);
}

// The build's archive with the font picture's entry renamed (in its local
// header and in the directory, to a name of the same length), so that
// "art/font.tga" is not found while everything else is.
TEST(GameStartup, AMissingFontPictureIsReportedByGetSpriteAndEndsStartUp)
{
    const std::string font = "art/font.tga";
    std::string archive = tilmar_test::readFile(resourceDirectory() + "tilmar.vmz");
    int renamed = 0;
    for (size_t at = archive.find(font); at != std::string::npos; at = archive.find(font, at + 1)) {
        archive.replace(at, font.size(), "art/fonX.tga");
        ++renamed;
    }
    ASSERT_EQ(2, renamed);
    tilmar_test::TempDir home;
    tilmar_test::makeDirs(home / "res");
    ASSERT_TRUE(tilmar_test::writeFile(home / "res/tilmar.vmz", archive));

    setenv("HOME", home.path().c_str(), 1);
    ASSERT_EQ(0, chdir(home.path().c_str()));
    TestTilmar game;
    ASSERT_TRUE(game.m_cvarManager.initCvarManager());
    bool started = true;
    const std::string out =
        tilmar_test::captureStdout([&] { started = game.initialize("", (home / "res/").c_str()); });
    EXPECT_FALSE(started);
    EXPECT_NE(std::string::npos, out.find("| Error |\n+-------+\nFailed to load bitmaps\n")) << out;
    EXPECT_NE(std::string::npos, out.find("| Alert |\n+-------+\ngetSprite - sprite 0 is not valid\n")) << out;
    EXPECT_EQ(1, tilmar_test::countOf(out, "| Alert |")) << out;
    stopGame(game);
}
