// The game's states and how it moves between them, pause and resume, the
// developer keys, event dispatch and the full-screen switch with its
// device restart.
#include <gtest/gtest.h>

#include <vector>

#include "engine/media/HAudioDevice.h"
#include "game/game_test_support.h"
#include "game/registry_support.h"

namespace {

constexpr uint64_t kStart = kGameStart;

// The silent device, standing for the audio thread: it may mix whenever the
// mixer's lock is let go, so each release notes the music's volume if music
// is set.
class MusicWatch : public HNullAudioDevice
{
public:
    void unlock() override
    {
        if (mixer && mixer->getMusicStream())
            heard.push_back(mixer->getStreamVolume());
    }

    HAudioMixerStreamingAudioSource *mixer = nullptr;
    std::vector<uint8_t> heard;
};

// The silent device's mixer is watched from each device creation on, the
// one after a full-screen restart too.
class MusicWatchingTilmar : public TestTilmar
{
public:
    MusicWatch watch;

    bool m_createAudioDevice(HFileSystem *fileSystem, int32_t channels, int32_t bits, int32_t frequency) override
    {
        if (!TestTilmar::m_createAudioDevice(fileSystem, channels, bits, frequency))
            return false;
        watch.mixer = &getMixer();
        getMixer().setAudioDevice(&watch);
        return true;
    }
};

} // namespace

TEST(GameStates, TransitionsFollowTheStateTable)
{
    enum Action { START, RESTART, CONTINUE, EXIT, QUIT_EVENT };
    struct Case
    {
        const char *name;
        int32_t from;
        Action action;
        int32_t answer; // the are-you-sure dialog's answer
        int32_t to;
        int32_t asked;  // times the dialog ran
        int32_t result; // handleEvent's answer, for the quit event
    };
    const Case cases[] = {
        {"start from the title", TM_STATE_TITLE, START, 0, TM_STATE_PLAYING, 0, 0},
        {"restart confirmed", TM_STATE_PLAYING, RESTART, 1, TM_STATE_TITLE, 1, 0},
        {"restart refused", TM_STATE_PLAYING, RESTART, 0, TM_STATE_PLAYING, 1, 0},
        {"continue after a win", TM_STATE_WON, CONTINUE, 0, TM_STATE_TITLE, 0, 0},
        {"continue after a loss", TM_STATE_LOST, CONTINUE, 0, TM_STATE_TITLE, 0, 0},
        {"exit control in a game, confirmed", TM_STATE_PLAYING, EXIT, 1, TM_STATE_EXITING, 1, 0},
        {"exit control in a game, refused", TM_STATE_PLAYING, EXIT, 0, TM_STATE_PLAYING, 1, 0},
        {"quit in a game, confirmed", TM_STATE_PLAYING, QUIT_EVENT, 1, TM_STATE_EXITING, 1, 1},
        {"quit in a game, dialog closed by a quit", TM_STATE_PLAYING, QUIT_EVENT, 2, TM_STATE_EXITING, 1, 1},
        {"quit in a game, refused", TM_STATE_PLAYING, QUIT_EVENT, 0, TM_STATE_PLAYING, 1, 0},
        {"quit on the title screen", TM_STATE_TITLE, QUIT_EVENT, 0, TM_STATE_EXITING, 0, 1},
        {"quit after a win", TM_STATE_WON, QUIT_EVENT, 0, TM_STATE_EXITING, 0, 1},
        {"quit after a loss", TM_STATE_LOST, QUIT_EVENT, 0, TM_STATE_EXITING, 0, 1},
        {"exit control on the title screen", TM_STATE_TITLE, EXIT, 0, TM_STATE_EXITING, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        game.messageDialogAnswer = c.answer;
        game.setGameState(c.from);
        game.at(kStart + 100);
        int32_t result = 0;
        switch (c.action) {
        case START:
            game.startGame();
            break;
        case RESTART:
            game.returnToTitle(true);
            break;
        case CONTINUE:
            game.returnToTitle(false);
            break;
        case EXIT:
            game.exitGame();
            break;
        case QUIT_EVENT:
            result = deliver(game, gameEvent(ET_QUIT, kStart + 100));
            break;
        }
        EXPECT_EQ(c.to, game.getGameState());
        EXPECT_EQ(c.asked, game.messageDialogCalls);
        EXPECT_EQ(c.result, result);
        // The are-you-sure dialog holds the game clock while it is open.
        EXPECT_EQ(0, game.m_pauseCount);
        // Once exiting, the next pass ends the main loop; before, none does.
        EXPECT_EQ(c.to == TM_STATE_EXITING ? 1 : 0, deliver(game, gameEvent(ET_TIMESTAMP, kStart + 200)));
    }
}

TEST(GameStates, TheRealAreYouSureDialogCountsAQuitAsYesAndEnterAsNo)
{
    struct Case
    {
        const char *name;
        HEvent answer; // posted for the dialog before the quit reaches the game
        int32_t to;
        int32_t result;
    };
    HEvent quit = gameEvent(ET_QUIT, 0);
    HEvent enter = gameEvent(ET_KEYDOWN, 0, KC_RETURN, 0, 0, 13);
    const Case cases[] = {
        {"window closed while asking", quit, TM_STATE_EXITING, 1},
        {"Enter chooses the default, no", enter, TM_STATE_PLAYING, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        HeldQueueClock clock(kStart + 100);
        ASSERT_TRUE(game.m_eventQueue.postEvent(c.answer));

        EXPECT_EQ(c.result, deliver(game, gameEvent(ET_QUIT, kStart + 100)));
        EXPECT_EQ(1, game.messageDialogCalls);
        EXPECT_EQ(c.to, game.getGameState());
        EXPECT_EQ(0, game.m_pauseCount);
    }
}

TEST(GameStates, TheRulesAndTheAreYouSureDialogHoldTheGameClock)
{
    struct Case
    {
        const char *name;
        bool rules;
    };
    const Case cases[] = {
        {"rules slide show", true},
        {"restart refused", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        game.at(kStart + 1000);
        // The dialog closes on an event 5 s later.
        HeldQueueClock clock(kStart + 6000);
        // Enter chooses each dialog's default: close, and no.
        ASSERT_TRUE(game.m_eventQueue.postEvent(gameEvent(ET_KEYDOWN, 0, KC_RETURN, 0, 0, 13)));
        clearVoices(game);
        if (c.rules)
            game.showRules();
        else
            game.returnToTitle(true);
        EXPECT_EQ(0, game.m_pauseCount);
        EXPECT_FALSE(game.isPlayerPaused());
        EXPECT_EQ(5000u, game.getPausedTime());
        EXPECT_EQ(TM_STATE_PLAYING, game.getGameState());
        EXPECT_EQ(c.rules, soundStarted(game, "sound/tm_guiclick.wav"));
    }
}

TEST(GamePause, PausingHoldsTheClockAndAClickOnTheBoardResumes)
{
    struct Case
    {
        const char *name;
        int32_t button;
        int32_t x, y;
        bool resumes;
    };
    const Case cases[] = {
        {"left click on the board", KC_LBUTTON, 400, 200, true},
        {"right click on the board", KC_RBUTTON, 400, 200, true},
        {"left click on the board's left edge", KC_LBUTTON, 125, 0, true},
        {"left click on the left panel", KC_LBUTTON, 124, 200, false},
        {"right click on the left panel", KC_RBUTTON, 60, 300, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        game.at(kStart + 1000);
        game.setPaused(true);
        EXPECT_TRUE(game.isPlayerPaused());
        EXPECT_TRUE(game.isPaused());
        clearVoices(game);

        deliver(game, gameEvent(ET_KEYDOWN, kStart + 6000, c.button, c.x, c.y));
        EXPECT_EQ(!c.resumes, game.isPlayerPaused());
        EXPECT_EQ(!c.resumes, game.isPaused());
        EXPECT_TRUE(soundStarted(game, "sound/tm_guiclick.wav"));
        EXPECT_EQ(5000u, game.getPausedTime());
        game.at(kStart + 9500);
        EXPECT_EQ(c.resumes ? 5000u : 8500u, game.getPausedTime());
        EXPECT_EQ(c.resumes ? 4u : 1u, game.getElapsedSeconds());
    }
}

TEST(GamePause, FocusLossPausesAndReturningToTheTitleResumes)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    game.at(kStart + 1000);
    game.setActive(false);
    EXPECT_TRUE(game.isPlayerPaused());
    // A second pause request changes nothing.
    game.setPaused(true);
    EXPECT_EQ(1, game.m_pauseCount);
    game.at(kStart + 3000);
    game.returnToTitle(false);
    EXPECT_FALSE(game.isPlayerPaused());
    EXPECT_EQ(0, game.m_pauseCount);
    EXPECT_EQ(2000u, game.getPausedTime());
    EXPECT_EQ(TM_STATE_TITLE, game.getGameState());
}

TEST(GameKeys, TheDeveloperSequenceTogglesAndIgnoresStrayCharacters)
{
    struct Case
    {
        const char *typed;
        bool mode;
    };
    const Case cases[] = {
        {"dvl", true},  {"dvldvl", false}, {"dxvyl", true}, {"ddvl", true},
        {"vdl", false}, {"dv", false},     {"ldv", false},  {"DVL", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        tilmar_test::TempDir home;
        TestTilmar game;
        // On the title screen: the sequence works in every state.
        ASSERT_TRUE(startGame(game, home, kSilentCommandLine));
        uint64_t now = kStart;
        for (const char *p = c.typed; *p; ++p)
            deliver(game, keyPress(*p, now += 10));
        EXPECT_EQ(c.mode, game.isDeveloperMode());
        stopGame(game);
    }
}

TEST(GameKeys, DeveloperModeMatchesShowsNoMatchAndStopsPausing)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    TMBoard &board = play.board;

    // Without developer mode 'm' and 'n' do nothing.
    deliver(game, keyPress('m', kStart + 10));
    deliver(game, keyPress('n', kStart + 20));
    EXPECT_EQ(144, board.tilesLeft);
    EXPECT_EQ(0u, game.m_noMatchTime.getTime64());

    for (char c : {'d', 'v', 'l'})
        deliver(game, keyPress(c, kStart + 30));
    ASSERT_TRUE(game.isDeveloperMode());
    TMTile *const first = play.first;
    TMTile *const second = play.second;
    deliver(game, keyPress('m', kStart + 40));
    EXPECT_EQ(142, board.tilesLeft);
    EXPECT_FALSE(first->present);
    EXPECT_FALSE(second->present);
    deliver(game, keyPress('n', kStart + 50));
    EXPECT_EQ(kStart + 50, game.m_noMatchTime.getTime64());

    game.setPaused(true);
    game.setActive(false);
    EXPECT_FALSE(game.isPlayerPaused());
    EXPECT_EQ(0, game.m_pauseCount);

    // Automatic matching works in any state.
    game.setGameState(TM_STATE_TITLE);
    deliver(game, keyPress('m', kStart + 60));
    EXPECT_EQ(140, board.tilesLeft);
}

TEST(GameKeys, SpaceIsHeldUntilReleasedAndCapitalsAreNoCommands)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    deliver(game, keyPress(' ', kStart + 10));
    EXPECT_TRUE(game.m_bSpaceHeld);
    deliver(game, keyPress(' ', kStart + 20, ET_KEYUP));
    EXPECT_FALSE(game.m_bSpaceHeld);

    for (char c : {'H', 'F', 'U', 'S'})
        deliver(game, keyPress(c, kStart + 30));
    EXPECT_EQ(0, game.getStatistics().hintsUsed);
    EXPECT_EQ(0, game.getStatistics().undosUsed);
    EXPECT_EQ(0, game.getStatistics().shufflesUsed);
    EXPECT_EQ(0, game.getPenaltySeconds());
}

TEST(GameEvents, OnlyTimestampAndQuitRunTheUpdate)
{
    struct Case
    {
        const char *name;
        HEventType type;
        bool updates;
    };
    const Case cases[] = {
        {"time stamp", ET_TIMESTAMP, true},
        {"paint", ET_PAINT, false},
        {"activation", ET_ACTIVATE, false},
        {"minimised", ET_WINDOW_MINIMIZED, false},
        {"mouse wheel", ET_MOUSEWHEEL, false},
        {"paste", ET_PASTE, false},
        {"no type", ET_NONE, false},
        {"command", ET_COMMAND, false},
        {"network", ET_NETWORK, false},
        {"d-pad", ET_DPAD, false},
        {"beyond the known types", static_cast<HEventType>(99), false},
    };
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    game.messageDialogAnswer = 0;
    deliver(game, keyPress('h', kStart + 10000));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        game.m_lastClockSeconds = 0;
        EXPECT_EQ(0, deliver(game, gameEvent(c.type, kStart + 10000)));
        EXPECT_EQ(c.updates ? 40 : 0, game.m_lastClockSeconds);
    }
    // A refused quit runs the update too.
    game.m_lastClockSeconds = 0;
    EXPECT_EQ(0, deliver(game, gameEvent(ET_QUIT, kStart + 10000)));
    EXPECT_EQ(40, game.m_lastClockSeconds);
}

TEST(GameSettings, CyclingWrapsAtBothEnds)
{
    struct Case
    {
        const char *name;
        void (Tilmar::*cycle)(int32_t);
        int32_t TMSettings::*field;
        int32_t from, delta, to;
    };
    const Case cases[] = {
        {"layout down from 0", &Tilmar::cycleLayout, &TMSettings::layout, 0, -1, 17},
        {"layout up from 17", &Tilmar::cycleLayout, &TMSettings::layout, 17, 1, 0},
        {"layout up", &Tilmar::cycleLayout, &TMSettings::layout, 4, 1, 5},
        {"tile set down from 0", &Tilmar::cycleTileSet, &TMSettings::tileSet, 0, -1, 7},
        {"tile set up from 7", &Tilmar::cycleTileSet, &TMSettings::tileSet, 7, 1, 0},
        {"background down from 0", &Tilmar::cycleBackground, &TMSettings::background, 0, -1, 9},
        {"background up from 9", &Tilmar::cycleBackground, &TMSettings::background, 9, 1, 0},
        {"stored value far out of range", &Tilmar::cycleBackground, &TMSettings::background, 2147483647, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestTilmar game;
        game.m_settings.*c.field = c.from;
        (game.*c.cycle)(c.delta);
        EXPECT_EQ(c.to, game.m_settings.*c.field);
    }
}

TEST(GameFullscreen, ASwitchInPlaceKeepsTheDevices)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    game.toggleDisplayAnswer = 1;
    H2DDisplayDevice *display = game.getDisplayDevice();
    HBitmapFont *font = game.m_pFont;
    EXPECT_EQ(0, deliver(game, gameEvent(ET_TOGGLE_FULLSCREEN, kStart + 10)));
    EXPECT_EQ(1, game.m_settings.fullscreen);
    EXPECT_EQ(display, game.getDisplayDevice());
    EXPECT_EQ(font, game.m_pFont);
    EXPECT_EQ(TM_STATE_PLAYING, game.getGameState());
}

TEST(GameFullscreen, ARestartMakesNewDevicesAndAFont)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    game.toggleDisplayAnswer = 0;
    game.m_settings.fullscreen = 1;
    std::string out = tilmar_test::captureStdout(
        [&] { EXPECT_EQ(0, deliver(game, gameEvent(ET_TOGGLE_FULLSCREEN, kStart + 10))); });
    EXPECT_EQ(std::string::npos, out.find("could not restart subsystems"));
    EXPECT_EQ(0, game.m_settings.fullscreen);
    EXPECT_NE(nullptr, game.getDisplayDevice());
    EXPECT_NE(nullptr, game.getInputDevice());
    EXPECT_NE(nullptr, game.m_pFont);
    EXPECT_EQ(TM_STATE_PLAYING, game.getGameState());
    // The art is back on the new display, the game's sheet and background too,
    // and the board's shadows have their sizes.
    for (int32_t slot : {TM_ART_FONT, TM_ART_SHADOW_TOP, TM_ART_TILE_SHEET, TM_ART_BACKGROUND})
        EXPECT_TRUE(game.m_sprites[slot].isLoaded()) << "slot " << slot;
    EXPECT_EQ(game.m_sprites[TM_ART_SHADOW_TOP].getHeight(), game.m_board.shadowTopHeight);
    EXPECT_EQ(game.m_sprites[TM_ART_SHADOW_RIGHT].getWidth(), game.m_board.shadowRightWidth);
    EXPECT_GT(game.m_board.shadowTopHeight, 0);
    EXPECT_EQ(0, deliver(game, gameEvent(ET_TIMESTAMP, kStart + 20)));
    // The font made after the restart goes with the devices.
    game.m_destroyDevices();
    EXPECT_EQ(nullptr, game.m_pFont);
}

TEST(GameFullscreen, AFailedRestartAlertsAndEndsTheGameAtTheNextUpdate)
{
    struct Case
    {
        const char *name;
        bool failDisplay;
        bool failInput;
    };
    const Case cases[] = {
        {"no display", true, false},
        {"no input device", false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        game.toggleDisplayAnswer = 0;
        game.failDisplayCreation = c.failDisplay;
        game.failInputCreation = c.failInput;

        std::string out = tilmar_test::captureStdout(
            [&] { EXPECT_EQ(0, deliver(game, gameEvent(ET_TOGGLE_FULLSCREEN, kStart + 10))); });
        EXPECT_NE(std::string::npos, out.find("toggleFullscreen - could not restart subsystems!"));
        EXPECT_EQ(c.failDisplay, game.getDisplayDevice() == nullptr);
        EXPECT_EQ(nullptr, game.getInputDevice());
        EXPECT_EQ(nullptr, game.m_pFont);
        EXPECT_EQ(TM_STATE_EXITING, game.getGameState());

        // Events still in the queue do no harm; the next pass ends the loop.
        EXPECT_EQ(0, deliver(game, gameEvent(ET_KEYDOWN, kStart + 20, KC_LBUTTON, 400, 200)));
        EXPECT_EQ(0, deliver(game, keyPress('h', kStart + 30)));
        EXPECT_EQ(1, deliver(game, gameEvent(ET_TIMESTAMP, kStart + 40)));
    }
}

TEST(GameMusic, NeverSoundsAtAnyVolumeButTheStoredOne)
{
    // What happens after start-up; each plays the music at least once.
    enum Scenario { RESUME_ON_TITLE, FIRST_GAME, RESTART_ON_TITLE, RESTART_IN_GAME };
    const struct
    {
        const char *name;
        Scenario scenario;
    } scenarios[] = {
        {"a resume on the title screen after a focus loss", RESUME_ON_TITLE},
        {"the first game", FIRST_GAME},
        {"a full-screen restart on the title screen", RESTART_ON_TITLE},
        {"a full-screen restart in a game", RESTART_IN_GAME},
    };
    for (const auto &c : scenarios) {
        for (const float stored : {0.0f, 0.5f}) {
            SCOPED_TRACE(testing::Message() << c.name << ", stored volume " << stored);
            const uint8_t volume = static_cast<uint8_t>(stored * 255.0f);
            tilmar_test::TempDir home;
            ASSERT_TRUE(writeRegistry(home, registryRecord("Music Volume", floatBytes(stored))));
            MusicWatchingTilmar game;
            ASSERT_TRUE(startGame(game, home, kSilentCommandLine));
            game.toggleDisplayAnswer = 0;
            game.m_settings.fullscreen = 1;
            game.at(kStart);
            switch (c.scenario) {
            case RESUME_ON_TITLE:
                game.setActive(false);
                game.setActive(true);
                // A click on the board area ends the pause.
                EXPECT_EQ(0, deliver(game, gameEvent(ET_KEYDOWN, kStart + 10, KC_LBUTTON, 400, 200)));
                EXPECT_FALSE(game.isPlayerPaused());
                break;
            case FIRST_GAME:
                game.startGame();
                break;
            case RESTART_ON_TITLE:
            case RESTART_IN_GAME:
                if (c.scenario == RESTART_IN_GAME)
                    game.startGame();
                game.watch.heard.clear();
                EXPECT_EQ(0, deliver(game, gameEvent(ET_TOGGLE_FULLSCREEN, kStart + 10)));
                break;
            }
            ASSERT_FALSE(game.watch.heard.empty());
            EXPECT_EQ(std::vector<uint8_t>(game.watch.heard.size(), volume), game.watch.heard);
            stopGame(game);
        }
    }
}
