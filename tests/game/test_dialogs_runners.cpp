// What the game's dialog runners share: the game clock paused exactly while
// their dialog is open (not for the name of a game that has ended), a quit
// request that closes each of them, and the click sound of their buttons.
#include "game/game_dialog_support.h"

#include <functional>
#include <string>

#include "engine/media/HAudioDevice.h"
#include "game/TMBestTimesDialog.h"
#include "game/TMDialogs.h"

using namespace dialog_events;

TEST_F(GameDialogTest, EachRunnerPausesTheClockOnlyWhileItsDialogIsOpen)
{
    game.startGame();
    ASSERT_EQ(TM_STATE_PLAYING, game.getGameState());
    const struct
    {
        const char *what;
        std::function<void()> run;
        int32_t pausesWhileOpen;
    } runners[] = {
        {"confirm",
         [&] {
             game.confirm("art/besttimes_areyousure.jpg", "art/besttimes_areyousure_yes.tga",
                          "art/besttimes_areyousure_yes_lit.tga", "art/besttimes_areyousure_no.tga",
                          "art/besttimes_areyousure_no_lit.tga");
         },
         1},
        {"no more moves", [&] { game.showNoMoreMoves(); }, 1},
        {"options", [&] { game.showOptions(); }, 1},
        {"best times", [&] { game.showBestTimes(2); }, 1},
        // The game has ended when its name is asked for.
        {"enter name",
         [&] {
             char name[32];
             game.runEnterNameDialog(name, sizeof name);
         },
         0},
    };
    for (const auto &r : runners) {
        SCOPED_TRACE(r.what);
        int32_t pauses = -1, openDialogs = -1;
        everyFrame([&](int frame) {
            if (frame == 1) {
                pauses = game.getPauseCount();
                openDialogs = VGDialog::getOpenDialogCount();
                post(quit());
            }
        });
        r.run();
        EXPECT_FALSE(game.runaway) << "a quit request did not close the dialog";
        EXPECT_EQ(1, openDialogs);
        EXPECT_EQ(r.pausesWhileOpen, pauses);
        EXPECT_EQ(0, game.getPauseCount());
        EXPECT_EQ(0, VGDialog::getOpenDialogCount());
        drain();
    }
}

// The mixer's voices hold still while the audio device is paused, so what a
// button started can be looked at afterwards.
class DialogClickTest : public GameDialogTest
{
protected:
    void SetUp() override
    {
        GameDialogTest::SetUp();
        ASSERT_NE(nullptr, game.getAudioDevice()) << "the click sounds need the dummy audio device";
        game.getAudioDevice()->pause();
        HAudioBufferTemplate sample;
        ASSERT_TRUE(game.getSoundManager().loadAudioSample(kClick, &sample));
        clickData = sample.data;
        ASSERT_NE(nullptr, clickData);
        game.m_settings.soundVolume = 0.5f;
    }
    void TearDown() override
    {
        game.getMixer().stopSample(clickData);
        game.getAudioDevice()->resume();
        GameDialogTest::TearDown();
    }

    // The volumes of the voices playing the click, cleared for the next
    // look.
    std::vector<int> takeClicks()
    {
        std::vector<int> volumes;
        for (int32_t voice = 0; voice < 8; ++voice)
            if (game.getMixer().getVoice(voice).data == clickData)
                volumes.push_back(game.getMixer().getVoice(voice).volume);
        game.getMixer().stopSample(clickData);
        return volumes;
    }

    static constexpr const char *kClick = "sound/tm_guiclick.wav";
    const void *clickData = nullptr;
};

TEST_F(DialogClickTest, ButtonsThatCloseOrPageClickAndTogglesAndTheTitleDoNot)
{
    TMSettings settings;
    TMOptionsDialog options;
    ASSERT_TRUE(options.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), &settings));
    TMBestTimesDialog bestTimes;
    ASSERT_TRUE(bestTimes.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), game.m_bestTimes, 0));
    TMEnterNameDialog enterName;
    ASSERT_TRUE(enterName.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), game.getStatistics()));
    TMAreYouSureDialog areYouSure;
    VGDialogItemButton yes;
    TMGameOverDialog noMoreMoves;
    VGDialogItemButton shuffle, undo, endGame;
    noMoreMoves.setButtons(&shuffle, &undo, &endGame);

    const struct
    {
        const char *what;
        VGDialog *dialog;
        VGDialogItem *item;
        bool clicks;
    } cases[] = {
        {"options OK", &options, &options.getOkButton(), true},
        {"options full-screen toggle", &options, &options.getFullscreenButton(), false},
        {"options automatic-hints toggle", &options, &options.getAutoHintsButton(), false},
        {"options sound knob", &options, &options.getSoundSlider(), false},
        {"options partner link", &options, &options.getVisitButton(), false},
        {"best-times OK", &bestTimes, &bestTimes.getOkButton(), true},
        {"best-times next", &bestTimes, &bestTimes.getNextButton(), true},
        {"best-times previous", &bestTimes, &bestTimes.getPreviousButton(), true},
        {"best-times title", &bestTimes, &bestTimes.getTitleButton(), false},
        {"enter-name OK", &enterName, &enterName.getOkButton(), true},
        {"enter-name edit line", &enterName, &enterName.getEditLine(), false},
        {"are-you-sure button", &areYouSure, &yes, true},
        {"no-more-moves end game", &noMoreMoves, &endGame, true},
        // On the title screen the commands themselves do nothing.
        {"no-more-moves undo", &noMoreMoves, &undo, false},
        {"no-more-moves shuffle", &noMoreMoves, &shuffle, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        takeClicks();
        c.dialog->onItemActivated(c.item);
        // 128 scaled by the sound volume setting.
        EXPECT_EQ(c.clicks ? std::vector<int>{64} : std::vector<int>{}, takeClicks());
    }

    // Clear clicks before it asks; the question, ended by a quit, adds none.
    post(quit());
    EXPECT_FALSE(bestTimes.onItemActivated(&bestTimes.getClearButton()));
    EXPECT_EQ(std::vector<int>{64}, takeClicks());

    options.unloadSprites();
    options.removeAllItems();
    bestTimes.unloadSprites();
    bestTimes.removeAllItems();
    enterName.unloadSprites();
    enterName.removeAllItems();
}
