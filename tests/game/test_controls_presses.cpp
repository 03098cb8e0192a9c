// Presses on the controls, delivered through the control manager, and the
// game commands they run.
#include <gtest/gtest.h>

#include <functional>

#include "game/controls_support.h"
#include "game/registry_support.h"

using tilmar_test::TempDir;

namespace {

// The game with its two framework dialogs answered by the test: the
// confirmation answers `answerYes` and notes whether the player's pause was
// on when it was asked; the rules slide show only counts.
class ScriptedTilmar : public TestTilmar
{
public:
    bool answerYes = true;
    int questions = 0;
    bool pausedWhenAsked = false;
    int slideShows = 0;

    int32_t showMessageDialog(int32_t, int32_t, int32_t, const char *, const char *, const char *, const char *,
                              const char *) override
    {
        ++questions;
        pausedWhenAsked = isPlayerPaused();
        return answerYes ? 1 : 0;
    }
    int32_t showSlideShowDialog(int32_t, int32_t, const char *, const char *, const char *, const char *,
                                const char *, const char *, const char *const *, int32_t) override
    {
        ++slideShows;
        return 1;
    }
};

struct Fixture
{
    TempDir home;
    ScriptedTilmar game;
    bool started = false;

    // Started on the title screen; with `play`, a game is dealt and running.
    bool start(bool play)
    {
        started = startGame(game, home);
        if (!started || !controlArtLoaded(game))
            return false;
        if (play) {
            game.at(1000);
            game.startGame();
        }
        return game.getGameState() == (play ? TM_STATE_PLAYING : TM_STATE_TITLE);
    }
    ~Fixture()
    {
        if (started)
            stopGame(game);
    }
};

void queueQuit(TestTilmar &game)
{
    HEvent quit;
    quit.type = ET_QUIT;
    game.getEventQueue().postEvent(quit);
}

} // namespace

TEST(ControlsPresses, TheArrowsCycleTheTitleScreenChoices)
{
    const struct
    {
        const char *name;
        tmscreen::Point at;
        int32_t TMSettings::*field;
        int32_t from, to;
    } cases[] = {
        {"table left", tmscreen::kBackgroundLeftArrow, &TMSettings::background, 0, 9},
        {"table right", tmscreen::kBackgroundRightArrow, &TMSettings::background, 9, 0},
        {"tiles left", tmscreen::kTileSetLeftArrow, &TMSettings::tileSet, 3, 2},
        {"tiles right", tmscreen::kTileSetRightArrow, &TMSettings::tileSet, 7, 0},
        {"layout left", tmscreen::kLayoutLeftArrow, &TMSettings::layout, 0, 17},
        {"layout right", tmscreen::kLayoutRightArrow, &TMSettings::layout, 4, 5},
    };
    Fixture f;
    ASSERT_TRUE(f.start(false));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TMSettings before = f.game.m_settings;
        before.*c.field = c.from;
        f.game.m_settings = before;
        EXPECT_TRUE(pressAt(f.game, c.at, 2000));
        EXPECT_EQ(c.to, f.game.m_settings.*c.field);
        // Only the arrow's own choice moves.
        TMSettings expected = before;
        expected.*c.field = c.to;
        EXPECT_EQ(0, std::memcmp(&expected, &f.game.m_settings, sizeof expected));
    }
}

TEST(ControlsPresses, StartDealsAGameAndSavesTheSettings)
{
    Fixture f;
    ASSERT_TRUE(f.start(false));
    f.game.m_settings.layout = 2;
    EXPECT_TRUE(pressAt(f.game, tmscreen::kStartControl, 5000));
    EXPECT_EQ(TM_STATE_PLAYING, f.game.getGameState());
    EXPECT_EQ(144, f.game.m_board.tilesLeft);
    EXPECT_EQ(le32(2), registryValue(tilmar_test::readFile(registryPath(f.home)), "Layout"));
}

TEST(ControlsPresses, HintPauseAndShuffleRunTheirCommands)
{
    Fixture f;
    ASSERT_TRUE(f.start(true));
    ScriptedTilmar &game = f.game;

    EXPECT_TRUE(pressAt(game, tmscreen::kHintControl, 2000));
    EXPECT_EQ(1, game.getStatistics().hintsUsed);
    EXPECT_EQ(30, game.getPenaltySeconds());

    EXPECT_TRUE(pressAt(game, tmscreen::kShuffleControl, 3000));
    EXPECT_EQ(1, game.getStatistics().shufflesUsed);
    EXPECT_EQ(150, game.getPenaltySeconds());

    EXPECT_TRUE(pressAt(game, tmscreen::kPauseControl, 4000));
    EXPECT_TRUE(game.isPlayerPaused());
    // Paused, the hint button is gone and the shuffle button does nothing.
    EXPECT_FALSE(pressAt(game, tmscreen::kHintControl, 4500));
    EXPECT_TRUE(pressAt(game, tmscreen::kShuffleControl, 4600));
    EXPECT_EQ(1, game.getStatistics().hintsUsed);
    EXPECT_EQ(1, game.getStatistics().shufflesUsed);
    EXPECT_TRUE(pressAt(game, tmscreen::kPauseControl, 5000));
    EXPECT_FALSE(game.isPlayerPaused());
    EXPECT_EQ(0, game.getPauseCount());
    EXPECT_EQ(1000u, game.getPausedTime());
}

TEST(ControlsPresses, RestartAsksAndReturnsToTheTitleOnYes)
{
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        Fixture f;
        ASSERT_TRUE(f.start(true));
        f.game.answerYes = yes;
        EXPECT_TRUE(pressAt(f.game, tmscreen::kRestartControl, 2000));
        EXPECT_EQ(1, f.game.questions);
        EXPECT_EQ(yes ? TM_STATE_TITLE : TM_STATE_PLAYING, f.game.getGameState());
    }
}

TEST(ControlsPresses, ExitLeavesAtOnceOnTheTitleAndAsksInAGame)
{
    const struct
    {
        bool play, paused, yes;
        int questions;
        int32_t state;
    } cases[] = {
        {false, false, true, 0, TM_STATE_EXITING},
        {true, false, false, 1, TM_STATE_PLAYING},
        {true, false, true, 1, TM_STATE_EXITING},
        {true, true, false, 1, TM_STATE_PLAYING},
        {true, true, true, 1, TM_STATE_EXITING},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.play ? "playing" : "title") + (c.paused ? ", paused" : "") +
                     (c.yes ? ", yes" : ", no"));
        Fixture f;
        ASSERT_TRUE(f.start(c.play));
        f.game.answerYes = c.yes;
        if (c.paused)
            f.game.setPaused(true);
        EXPECT_TRUE(pressAt(f.game, tmscreen::kExitControl, 2000));
        EXPECT_EQ(c.questions, f.game.questions);
        EXPECT_EQ(c.state, f.game.getGameState());
        // A paused game is resumed before the question is asked, and stays
        // resumed when the player stays.
        EXPECT_FALSE(f.game.pausedWhenAsked);
        EXPECT_FALSE(f.game.isPlayerPaused());
        EXPECT_EQ(0, f.game.getPauseCount());
    }
}

TEST(ControlsPresses, RulesShowTheSlideShow)
{
    Fixture f;
    ASSERT_TRUE(f.start(false));
    EXPECT_TRUE(pressAt(f.game, tmscreen::kRulesControl, 2000));
    EXPECT_EQ(1, f.game.slideShows);
    EXPECT_EQ(TM_STATE_TITLE, f.game.getGameState());
}

// The options dialog is modal; the queued quit closes it.
TEST(ControlsPresses, OptionsNeitherStaysLitNorHoldsThePointer)
{
    Fixture f;
    ASSERT_TRUE(f.start(false));
    UIControl *options = controlsInCreationOrder(f.game)[1];
    f.game.m_uiManager.handleEvent(gameEvent(ET_MOUSEMOVE, 1500, 0, tmscreen::kOptionsControl.x + 3,
                                             tmscreen::kOptionsControl.y + 3));
    ASSERT_TRUE(options->isHovered());
    queueQuit(f.game);

    f.game.at(2000);
    EXPECT_TRUE(f.game.m_uiManager.handleEvent(gameEvent(ET_KEYDOWN, 2000, KC_LBUTTON,
                                                         tmscreen::kOptionsControl.x + 3,
                                                         tmscreen::kOptionsControl.y + 3)));
    EXPECT_FALSE(options->isHovered());
    EXPECT_FALSE(options->isPressed());
    EXPECT_EQ(nullptr, f.game.m_uiManager.getCaptured());
}

// The enter-name and best-times dialogs are modal; the queued quits close
// them.
TEST(ControlsPresses, ContinueEntersTheResultAndReturnsToTheTitle)
{
    const struct
    {
        int32_t state;
        int32_t tilesLeft;
    } cases[] = {{TM_STATE_WON, 0}, {TM_STATE_LOST, 12}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        Fixture f;
        ASSERT_TRUE(f.start(true));
        f.game.m_gameState = c.state;
        f.game.m_board.tilesLeft = c.tilesLeft;
        f.game.m_statistics.finalScore = 300;
        f.game.m_statistics.finalTime = 240;
        queueQuit(f.game);
        queueQuit(f.game);

        EXPECT_TRUE(pressAt(f.game, tmscreen::kContinueControl, 9000));
        EXPECT_EQ(TM_STATE_TITLE, f.game.getGameState());
        EXPECT_EQ(0, f.game.m_lastEntryLayout);
        EXPECT_EQ(0, f.game.m_lastEntryRank);
        EXPECT_EQ(300, f.game.m_bestTimes[0][0].score);
        EXPECT_EQ(c.tilesLeft, f.game.m_bestTimes[0][0].tilesLeft);
    }
}

TEST(ControlsPresses, DisabledAndHiddenControlsTakeNoPress)
{
    Fixture f;
    ASSERT_TRUE(f.start(false));
    // Hidden on the title screen.
    EXPECT_FALSE(pressAt(f.game, tmscreen::kHintControl, 2000));
    EXPECT_FALSE(pressAt(f.game, tmscreen::kRestartControl, 2100));
    EXPECT_FALSE(pressAt(f.game, tmscreen::kContinueControl, 2200));

    f.game.at(3000);
    f.game.startGame();
    // Disabled while playing.
    EXPECT_FALSE(pressAt(f.game, tmscreen::kUndoControl, 4000));
    EXPECT_FALSE(pressAt(f.game, tmscreen::kShowMovesControl, 4100));
    EXPECT_EQ(0, f.game.getStatistics().undosUsed);
    EXPECT_EQ(0, f.game.getPenaltySeconds());
    EXPECT_EQ(0u, f.game.m_showMovesStart.getTime64());
    // Hidden while playing.
    EXPECT_FALSE(pressAt(f.game, tmscreen::kStartControl, 4200));
    EXPECT_FALSE(pressAt(f.game, tmscreen::kLayoutRightArrow, 4300));
    EXPECT_EQ(0, f.game.m_settings.layout);
    EXPECT_EQ(TM_STATE_PLAYING, f.game.getGameState());
}
