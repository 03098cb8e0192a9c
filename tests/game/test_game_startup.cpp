// The game object starts as the program starts it and stops cleanly.
#include <gtest/gtest.h>

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
