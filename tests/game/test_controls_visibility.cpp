// Which controls show in each game state, with and without the player's
// pause, and the two looks of the hint and pause buttons.
#include <gtest/gtest.h>

#include <functional>

#include "game/controls_support.h"

using tilmar_test::TempDir;

namespace {

// A control is shown when the manager draws it and offers it events:
// visible and enabled (a disabled control has no picture to draw).
bool shown(UIControl *control)
{
    return control->isVisible() && control->isEnabled();
}

// A started game on the title screen with a dealt board behind it.
struct PlayedGame
{
    TempDir home;
    TestTilmar game;
    bool started = false;

    bool start()
    {
        started = startGame(game, home);
        if (started) {
            game.at(1000);
            game.startGame();
        }
        return started && game.getGameState() == TM_STATE_PLAYING;
    }
    ~PlayedGame()
    {
        if (started)
            stopGame(game);
    }
};

std::vector<uint16_t> screenArea(TestTilmar &game, const HRect &r)
{
    std::vector<uint16_t> pixels;
    for (int32_t y = r.y0; y < r.y1; ++y)
        for (int32_t x = r.x0; x < r.x1; ++x)
            pixels.push_back(gameScreenPixel(game.getDisplayDevice(), x, y));
    return pixels;
}

// What the control manager paints over a black screen at the control, and
// what the sprite alone paints there.
std::vector<uint16_t> managerPaints(TestTilmar &game, UIControl *control)
{
    const float black[3] = {0, 0, 0};
    game.getDisplayDevice()->clear(black);
    game.m_uiManager.draw(control->getRect());
    return screenArea(game, control->getRect());
}

std::vector<uint16_t> spritePaints(TestTilmar &game, const HRect &at, VGSprite &sprite)
{
    const float black[3] = {0, 0, 0};
    game.getDisplayDevice()->clear(black);
    sprite.blendBlitStandard(at, sprite.getRect());
    return screenArea(game, at);
}

} // namespace

TEST(ControlsVisibility, EachControlShowsInItsStatesAndPauses)
{
    // Per control in creation order: the states it shows in while not
    // paused, and while paused.
    const struct
    {
        const char *name;
        const char *states;
        const char *pausedStates;
    } rows[] = {
        {"exit", "01234", "01234"},    {"options", "01234", "01234"}, {"show moves", "", ""},
        {"hint", "1", ""},             {"pause", "1", "1"},           {"restart", "1", ""},
        {"rules", "01234", "01234"},   {"shuffle", "1", "1"},         {"undo", "", ""},
        {"start", "0", ""},            {"continue lost", "3", ""},    {"continue won", "2", ""},
        {"table left", "0", ""},       {"table right", "0", ""},      {"tiles left", "0", ""},
        {"tiles right", "0", ""},      {"layout left", "0", ""},      {"layout right", "0", ""},
        {"time label", "123", ""},     {"moves label", "123", ""},    {"tiles label", "123", ""},
    };

    PlayedGame played;
    ASSERT_TRUE(played.start());
    TestTilmar &game = played.game;
    const std::vector<UIControl *> controls = controlsInCreationOrder(game);
    ASSERT_EQ(sizeof rows / sizeof rows[0], controls.size());

    for (int32_t state = TM_STATE_TITLE; state <= TM_STATE_EXITING; ++state)
        for (bool paused : {false, true}) {
            game.m_gameState = state;
            game.m_bPaused = paused;
            for (size_t i = 0; i < controls.size(); ++i) {
                const std::string states = paused ? rows[i].pausedStates : rows[i].states;
                const bool expected = states.find(static_cast<char>('0' + state)) != std::string::npos;
                EXPECT_EQ(expected, shown(controls[i]))
                    << rows[i].name << " in state " << state << (paused ? ", paused" : "");
            }
        }
    game.m_bPaused = false;
}

TEST(ControlsVisibility, ShuffleGoesWhenTwoTilesOrFewerAreLeft)
{
    PlayedGame played;
    ASSERT_TRUE(played.start());
    UIControl *shuffle = played.game.getShuffleControl();
    for (const auto &c : {std::make_pair(144, true), std::make_pair(3, true), std::make_pair(2, false),
                          std::make_pair(0, false)}) {
        played.game.m_board.tilesLeft = c.first;
        EXPECT_EQ(c.second, shown(shuffle)) << c.first << " tiles left";
    }
}

TEST(ControlsVisibility, HintAndPauseButtonsChangeTheirLookInThePassThatDrawsThem)
{
    // Hint: its find-match look while a tile is selected. Pause: its resume
    // look while paused.
    const struct
    {
        const char *name;
        int control;
        int look, otherLook, otherLit;
        std::function<void(TestTilmar &, bool)> change;
    } cases[] = {
        {"hint", 3, TM_ART_HINT, TM_ART_FIND_MATCH, TM_ART_FIND_MATCH_LIT,
         [](TestTilmar &g, bool on) { g.m_board.selected = on ? &g.m_board.tiles[0] : nullptr; }},
        {"pause", 4, TM_ART_PAUSE_ICON, TM_ART_RESUME, TM_ART_RESUME_LIT,
         [](TestTilmar &g, bool on) { g.setPaused(on); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PlayedGame played;
        ASSERT_TRUE(played.start());
        TestTilmar &game = played.game;
        ASSERT_TRUE(controlArtLoaded(game));
        UIControl *control = controlsInCreationOrder(game)[c.control];
        const HRect at = control->getRect();

        const std::vector<uint16_t> look = spritePaints(game, at, game.m_sprites[c.look]);
        const std::vector<uint16_t> otherLook = spritePaints(game, at, game.m_sprites[c.otherLook]);
        ASSERT_NE(look, otherLook);

        EXPECT_EQ(look, managerPaints(game, control));
        c.change(game, true);
        EXPECT_EQ(otherLook, managerPaints(game, control));
        EXPECT_EQ(&game.m_sprites[c.otherLit], delegateOf(control)->getHighlighted());
        EXPECT_EQ(&game.m_sprites[c.otherLit], delegateOf(control)->getPressed());
        c.change(game, false);
        EXPECT_EQ(look, managerPaints(game, control));
    }
}

TEST(ControlsVisibility, TheDisabledShowMovesAndUndoControlsKeepTheirOwnTestsAndPresses)
{
    // Both stay disabled, so nothing reaches these today; enabling them
    // must give the show-moves highlight and an undo button that shows only
    // while there is nothing to undo.
    PlayedGame played;
    ASSERT_TRUE(played.start());
    TestTilmar &game = played.game;
    UIControl *showMoves = game.getShowMovesControl();
    UIControl *undo = game.getUndoControl();

    EXPECT_TRUE(showMoves->isVisible());
    game.at(2000);
    showMoves->onPress();
    EXPECT_EQ(2000u, game.m_showMovesStart.getTime64());

    EXPECT_TRUE(undo->isVisible());
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    ASSERT_TRUE(game.m_board.findPair(&first, &second, 0));
    game.m_board.removePair(first, second, VyTime(2000));
    EXPECT_FALSE(undo->isVisible());
    game.m_board.popUndo(nullptr, nullptr);
    EXPECT_TRUE(undo->isVisible());
}
