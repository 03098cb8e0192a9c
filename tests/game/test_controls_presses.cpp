// Presses on the controls, delivered through the control manager, and the
// game commands they run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/controls_support.h"
#include "game/registry_support.h"

using tilmar_test::TempDir;

namespace {

// The game with its two framework dialogs answered by the test: the
// confirmation answers `answerYes` and notes whether the player's pause was
// on when it was asked; the rules slide show only counts. Both run
// `onDialog` when given. The real dialogs run `onModalDraw` as their loops
// draw.
class ScriptedTilmar : public TestTilmar
{
public:
    bool answerYes = true;
    int questions = 0;
    bool pausedWhenAsked = false;
    int slideShows = 0;
    std::function<void()> onDialog;
    std::function<void()> onModalDraw;

    void postDrawRect(const HRect &rect, bool modal) override
    {
        TestTilmar::postDrawRect(rect, modal);
        if (modal && onModalDraw)
            onModalDraw();
    }

    int32_t showMessageDialog(int32_t, int32_t, int32_t, const char *, const char *, const char *, const char *,
                              const char *) override
    {
        ++questions;
        pausedWhenAsked = isPlayerPaused();
        if (onDialog)
            onDialog();
        return answerYes ? 1 : 0;
    }
    int32_t showSlideShowDialog(int32_t, int32_t, const char *, const char *, const char *, const char *,
                                const char *, const char *, const char *const *, int32_t) override
    {
        ++slideShows;
        if (onDialog)
            onDialog();
        return 1;
    }
};

struct Fixture
{
    TempDir home;
    ScriptedTilmar game;
    bool started = false;

    // Started on the title screen; with `play`, a game is dealt and running.
    bool start(bool play, const char *commandLine = "")
    {
        started = startGame(game, home, commandLine);
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

// Takes the queued events until the queue runs dry; answers whether a quit
// was among them.
bool drainQueueForQuit(TestTilmar &game)
{
    bool quit = false;
    HEvent e;
    for (int i = 0; i < 200 && game.getEventQueue().getEvent(e, false); ++i) {
        if (e.type == ET_TIMESTAMP)
            break;
        quit |= e.type == ET_QUIT;
    }
    return quit;
}

const char *const kGuiClick = "sound/tm_guiclick.wav";
const char *const kArrowClick = "sound/tm_click.wav";
const char *const kHintSound = "sound/tm_hint.ogg";

// The silent audio device: nothing reads the mixer, so a started sample
// stays in its voice for the test to see.
const char *const kSilent = "+set c_soundDriver null ";

// The samples the mixer's voices hold, by name, with their volumes.
std::vector<std::pair<std::string, int>> voices(TestTilmar &game)
{
    std::vector<std::pair<std::string, int>> out;
    for (int32_t v = 0; v < HAudioMixerStreamingAudioSource::kVoiceCount; ++v) {
        const HMixerVoice &voice = game.getMixer().getVoice(v);
        if (!voice.data)
            continue;
        std::string name = "?";
        for (const char *known : {kGuiClick, kArrowClick, kHintSound}) {
            HAudioBufferTemplate sample{};
            if (game.getSoundManager().loadAudioSample(known, &sample) && sample.data == voice.data)
                name = known;
        }
        out.emplace_back(name, voice.volume);
    }
    return out;
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

// Start and restart hide themselves in their own press, so the release goes
// past them; the next time they show they must not still look pressed.
TEST(ControlsPresses, StartAndRestartShowUnpressedWhenTheyComeBack)
{
    const struct
    {
        const char *name;
        bool play;         // the press is made in a game, else on the title
        size_t index;      // in creation order
        tmscreen::Point at;
        int32_t normal;    // the art slot of its normal look
    } cases[] = {
        {"start", false, 9, tmscreen::kStartControl, TM_ART_START},
        {"restart", true, 5, tmscreen::kRestartControl, TM_ART_NEW_GAME},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        ASSERT_TRUE(f.start(c.play));
        UIControl *control = controlsInCreationOrder(f.game).at(c.index);
        const int32_t x = c.at.x + 3, y = c.at.y + 3;
        f.game.m_uiManager.handleEvent(gameEvent(ET_MOUSEMOVE, 1500, 0, x, y));
        ASSERT_TRUE(control->isHovered());
        ASSERT_TRUE(pressAt(f.game, c.at, 2000));
        ASSERT_FALSE(control->isVisible());
        EXPECT_EQ(nullptr, f.game.m_uiManager.getCaptured());

        // Back where it shows, with the pointer elsewhere.
        f.game.at(3000);
        if (c.play)
            f.game.startGame();
        else
            f.game.returnToTitle(false);
        ASSERT_TRUE(control->isVisible());
        f.game.m_uiManager.handleEvent(gameEvent(ET_MOUSEMOVE, 3100, 0, 600, 20));
        EXPECT_FALSE(control->isPressed());
        EXPECT_FALSE(control->isHovered());
        EXPECT_EQ(&f.game.m_sprites[c.normal], delegateOf(control)->m_getSpriteForState(control));
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

// A button whose press opens a modal dialog gets its release inside the
// dialog. It must not show lit behind the dialog, and afterwards hold no
// capture: the next motion lights what lies under the pointer, also at the
// next game's end for the continue button, hidden in between. The options
// and continue dialogs are the real ones, closed by queued quits.
TEST(ControlsPresses, AButtonsDialogLeavesNeitherLightNorCaptureBehind)
{
    const struct
    {
        const char *name;
        bool play;
        int32_t state;
        size_t index; // in creation order
        tmscreen::Point at;
        int quits;
        tmscreen::Point next; // a control shown in `state`, lit afterwards
    } cases[] = {
        {"rules", false, TM_STATE_TITLE, 6, tmscreen::kRulesControl, 0, tmscreen::kOptionsControl},
        {"options", false, TM_STATE_TITLE, 1, tmscreen::kOptionsControl, 1, tmscreen::kRulesControl},
        {"exit answered no", true, TM_STATE_PLAYING, 0, tmscreen::kExitControl, 0, tmscreen::kOptionsControl},
        {"new game answered no", true, TM_STATE_PLAYING, 5, tmscreen::kRestartControl, 0,
         tmscreen::kOptionsControl},
        {"continue after a win", true, TM_STATE_WON, 11, tmscreen::kContinueControl, 2, tmscreen::kOptionsControl},
        {"continue after a loss", true, TM_STATE_LOST, 10, tmscreen::kContinueControl, 2,
         tmscreen::kOptionsControl},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        ASSERT_TRUE(f.start(c.play));
        f.game.m_gameState = c.state;
        f.game.m_statistics.finalScore = 300; // ranks, so the continue dialogs open
        f.game.answerYes = false;
        UIControl *control = controlsInCreationOrder(f.game).at(c.index);
        const int32_t x = c.at.x + 3, y = c.at.y + 3;
        f.game.m_uiManager.handleEvent(gameEvent(ET_MOUSEMOVE, 1500, 0, x, y));
        ASSERT_TRUE(control->isHovered());
        bool inDialog = false, litInDialog = false;
        f.game.onDialog = f.game.onModalDraw = [&] {
            inDialog = true;
            litInDialog |= control->isHovered() || control->isPressed();
        };
        for (int i = 0; i < c.quits; ++i)
            queueQuit(f.game);

        // The release happens in the dialog: only the press reaches the manager.
        f.game.at(2000);
        EXPECT_TRUE(f.game.m_uiManager.handleEvent(gameEvent(ET_KEYDOWN, 2000, KC_LBUTTON, x, y)));
        // The dialogs ran: the scripted one was asked, the real ones took the quits.
        if (c.quits == 0)
            EXPECT_EQ(1, f.game.questions + f.game.slideShows);
        else
            EXPECT_FALSE(drainQueueForQuit(f.game));
        EXPECT_TRUE(inDialog);
        EXPECT_FALSE(litInDialog);
        EXPECT_FALSE(control->isHovered());
        EXPECT_FALSE(control->isPressed());
        EXPECT_EQ(nullptr, f.game.m_uiManager.getCaptured());

        f.game.m_gameState = c.state;
        UIControl *next = nullptr;
        for (UIControl *candidate : controlsInCreationOrder(f.game))
            if (candidate->getRect().x0 == c.next.x && candidate->getRect().y0 == c.next.y)
                next = candidate;
        ASSERT_NE(nullptr, next);
        EXPECT_FALSE(f.game.m_uiManager.handleEvent(gameEvent(ET_MOUSEMOVE, 2100, 0, c.next.x + 3, c.next.y + 3)))
            << "the motion was taken from the game";
        EXPECT_TRUE(next->isHovered());
        EXPECT_FALSE(control->isHovered());
        EXPECT_FALSE(control->isPressed());
    }
}

// The buttons whose press opens no dialog keep the pointer from the press to
// the release: pressed exactly while the pointer is over them, every motion
// theirs, and the click at the release.
TEST(ControlsPresses, ButtonsWithoutADialogHoldThePointerUntilTheRelease)
{
    const struct
    {
        const char *name;
        bool play;
        size_t index; // in creation order
        tmscreen::Point at;
    } cases[] = {
        {"hint", true, 3, tmscreen::kHintControl},
        {"pause", true, 4, tmscreen::kPauseControl},
        {"shuffle", true, 7, tmscreen::kShuffleControl},
        {"table left", false, 12, tmscreen::kBackgroundLeftArrow},
        {"table right", false, 13, tmscreen::kBackgroundRightArrow},
        {"tiles left", false, 14, tmscreen::kTileSetLeftArrow},
        {"tiles right", false, 15, tmscreen::kTileSetRightArrow},
        {"layout left", false, 16, tmscreen::kLayoutLeftArrow},
        {"layout right", false, 17, tmscreen::kLayoutRightArrow},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        ASSERT_TRUE(f.start(c.play));
        UIControl *control = controlsInCreationOrder(f.game).at(c.index);
        UIManager &manager = f.game.m_uiManager;
        const int32_t x = c.at.x + 3, y = c.at.y + 3;
        f.game.at(2000);
        EXPECT_TRUE(manager.handleEvent(gameEvent(ET_KEYDOWN, 2000, KC_LBUTTON, x, y)));
        EXPECT_TRUE(control->isPressed());
        EXPECT_EQ(control, manager.getCaptured());

        EXPECT_TRUE(manager.handleEvent(gameEvent(ET_MOUSEMOVE, 2100, 0, 600, 20)));
        EXPECT_FALSE(control->isPressed());
        EXPECT_EQ(control, manager.getCaptured());
        EXPECT_TRUE(manager.handleEvent(gameEvent(ET_MOUSEMOVE, 2200, 0, x, y)));
        EXPECT_TRUE(control->isPressed());
        EXPECT_TRUE(control->isHovered());

        EXPECT_TRUE(manager.handleEvent(gameEvent(ET_KEYUP, 2300, KC_LBUTTON, x, y)));
        EXPECT_FALSE(control->isPressed());
        EXPECT_EQ(nullptr, manager.getCaptured());
    }
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
        // Back to the title without the leave-the-game question.
        EXPECT_EQ(0, f.game.questions);
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

TEST(ControlsPresses, EachPressPlaysItsOwnSoundAtVolume128)
{
    using Voices = std::vector<std::pair<std::string, int>>;
    // At half the sound setting 128 becomes 64.
    const Voices click = {{kGuiClick, 64}};
    const Voices arrow = {{kArrowClick, 64}};
    const struct
    {
        const char *name;
        bool play;
        int32_t state;
        tmscreen::Point at;
        int quits; // closing the modal dialogs the press opens
        Voices expected;
    } cases[] = {
        {"exit", false, TM_STATE_TITLE, tmscreen::kExitControl, 0, click},
        {"options", false, TM_STATE_TITLE, tmscreen::kOptionsControl, 1, click},
        {"rules (the slide show clicks once more as it closes)", false, TM_STATE_TITLE, tmscreen::kRulesControl, 0,
         {{kGuiClick, 64}, {kGuiClick, 64}}},
        {"start", false, TM_STATE_TITLE, tmscreen::kStartControl, 0, click},
        {"table left", false, TM_STATE_TITLE, tmscreen::kBackgroundLeftArrow, 0, arrow},
        {"tiles right", false, TM_STATE_TITLE, tmscreen::kTileSetRightArrow, 0, arrow},
        {"layout left", false, TM_STATE_TITLE, tmscreen::kLayoutLeftArrow, 0, arrow},
        {"pause", true, TM_STATE_PLAYING, tmscreen::kPauseControl, 0, click},
        {"restart", true, TM_STATE_PLAYING, tmscreen::kRestartControl, 0, click},
        {"continue", true, TM_STATE_WON, tmscreen::kContinueControl, 2, click},
        // Hint and shuffle make no click: only their commands' sound plays.
        {"hint", true, TM_STATE_PLAYING, tmscreen::kHintControl, 0, {{kHintSound, 64}}},
        {"shuffle", true, TM_STATE_PLAYING, tmscreen::kShuffleControl, 0, {{kHintSound, 64}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        ASSERT_TRUE(f.start(c.play, kSilent));
        f.game.m_gameState = c.state;
        f.game.answerYes = false;
        f.game.m_settings.soundVolume = 0.5f;
        for (int i = 0; i < c.quits; ++i)
            queueQuit(f.game);
        // A dialog takes its time: what was started before it has been
        // heard by the time it closes.
        Voices heard;
        f.game.onDialog = [&] {
            const Voices before = voices(f.game);
            heard.insert(heard.end(), before.begin(), before.end());
            f.game.getMixer().close();
        };
        f.game.getMixer().close();
        EXPECT_TRUE(pressAt(f.game, c.at, 2000));
        const Voices after = voices(f.game);
        heard.insert(heard.end(), after.begin(), after.end());
        EXPECT_EQ(c.expected, heard);
    }

    // The clicks wait for a click still playing; the undo control's sound
    // plays over itself.
    Fixture f;
    ASSERT_TRUE(f.start(true, kSilent));
    f.game.getMixer().close();
    pressAt(f.game, tmscreen::kPauseControl, 2000);
    pressAt(f.game, tmscreen::kPauseControl, 2100);
    EXPECT_EQ((Voices{{kGuiClick, 128}}), voices(f.game));
    f.game.getMixer().close();
    f.game.getUndoControl()->onPress();
    f.game.getUndoControl()->onPress();
    EXPECT_EQ((Voices{{kHintSound, 128}, {kHintSound, 128}}), voices(f.game));
    EXPECT_EQ(2, f.game.getStatistics().undosUsed);
}
