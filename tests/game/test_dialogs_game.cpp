// The are-you-sure, no-more-moves and options dialogs, run modally in a
// started game with the input posted on the game's own queue.
#include "game/game_dialog_support.h"

#include <cstring>

#include "game/TMBestTimesDialog.h"
#include "game/TMDialogs.h"
#include "game/TMScreenLayout.h"

using namespace dialog_events;

namespace {

const char *const kConfirmArt[] = {"art/besttimes_areyousure.jpg", "art/besttimes_areyousure_yes.tga",
                                   "art/besttimes_areyousure_yes_lit.tga", "art/besttimes_areyousure_no.tga",
                                   "art/besttimes_areyousure_no_lit.tga"};

// The input that chooses in a dialog: Enter, a quit request, or a click on
// the item of that index in the chain.
constexpr int kEnter = -1;
constexpr int kQuit = -2;

HEvent choose(int choice, const std::vector<VGDialogItem *> &items)
{
    if (choice == kEnter)
        return enter();
    if (choice == kQuit)
        return quit();
    return pressOn(*items.at(static_cast<size_t>(choice)));
}

int countOfType(const std::vector<HEvent> &events, HEventType type)
{
    int n = 0;
    for (const HEvent &e : events)
        n += e.type == type;
    return n;
}

} // namespace

// ---------------------------------------------------------------------------
// Are you sure

TEST_F(GameDialogTest, ConfirmAnswersTrueOnlyForItsOkButton)
{
    const struct
    {
        const char *what;
        int choice; // the buttons: OK, cancel
        bool expected;
    } cases[] = {
        {"Enter goes to the default, cancel", kEnter, false},
        {"a click on OK", 0, true},
        {"a click on cancel", 1, false},
        {"a quit request", kQuit, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int32_t pausesWhileOpen = -1;
        HRect bounds;
        int32_t backgroundWidth = 0, backgroundHeight = 0;
        everyFrame([&](int frame) {
            if (frame != 1)
                return;
            VGDialog *dialog = VGDialog::getOpenDialog(0);
            ASSERT_NE(nullptr, dialog);
            pausesWhileOpen = game.getPauseCount();
            bounds = dialog->getBounds();
            backgroundWidth = dialog->getBackground()->getWidth();
            backgroundHeight = dialog->getBackground()->getHeight();
            VGDialogItem *ok = openItem("Are you sure, ok");
            VGDialogItem *cancel = openItem("Are you sure, cancel");
            ASSERT_TRUE(ok && cancel);
            EXPECT_EQ(cancel, dialog->getDefaultItem());
            EXPECT_EQ((std::vector<VGDialogItem *>{ok, cancel}), openItems());
            post(choose(c.choice, openItems()));
        });
        EXPECT_EQ(c.expected, game.confirm(kConfirmArt[0], kConfirmArt[1], kConfirmArt[2], kConfirmArt[3],
                                           kConfirmArt[4]));
        EXPECT_FALSE(game.runaway);
        // The clock is paused while it asks, and only then.
        EXPECT_EQ(1, pausesWhileOpen);
        EXPECT_EQ(0, game.getPauseCount());
        ASSERT_GT(backgroundWidth, 0);
        EXPECT_EQ((tmscreen::kScreenWidth - backgroundWidth) / 2 + tmscreen::kConfirmOffset.x, bounds.x0);
        EXPECT_EQ((tmscreen::kScreenHeight - backgroundHeight) / 2 + tmscreen::kConfirmOffset.y, bounds.y0);
        EXPECT_EQ(0, VGDialog::getOpenDialogCount());
        drain();
    }
}

// ---------------------------------------------------------------------------
// No more moves

class NoMoreMovesTest : public GameDialogTest
{
protected:
    void SetUp() override
    {
        GameDialogTest::SetUp();
        game.startGame();
        ASSERT_EQ(TM_STATE_PLAYING, game.getGameState());
    }

    // Leaves two tiles of the deal, one lying on the other: one free tile.
    void leaveOneFreeTile()
    {
        TMBoard &board = game.m_board;
        for (TMTile &top : board.tiles) {
            if (top.z == 0)
                continue;
            TMTile *under = board.tileAt(top.x, top.y, top.z - 1, true);
            if (!under)
                continue;
            for (TMTile &tile : board.tiles)
                tile.present = &tile == &top || &tile == under;
            board.tilesLeft = 2;
            ASSERT_EQ(1, board.countFreeTiles());
            return;
        }
        FAIL() << "the layout has no stacked tiles";
    }

    // The dialog's buttons at its first drawing pass, then the input.
    void runWith(std::function<void(const std::vector<VGDialogItem *> &)> act)
    {
        everyFrame([&, act](int frame) {
            if (frame == 1) {
                buttons = openItems();
                defaultItem = VGDialog::getOpenDialog(0)->getDefaultItem();
                act(buttons);
            }
        });
    }

    std::vector<VGDialogItem *> buttons;
    VGDialogItem *defaultItem = nullptr;
};

TEST_F(NoMoreMovesTest, WithOneFreeTileOnlyUndoAndEndGameAreOfferedAndEnterUndoes)
{
    leaveOneFreeTile();
    runWith([&](const std::vector<VGDialogItem *> &) { post(enter()); });
    EXPECT_FALSE(game.showNoMoreMoves());
    ASSERT_EQ(2u, buttons.size());
    EXPECT_EQ(buttons[0], defaultItem);
    EXPECT_EQ(1, game.getStatistics().undosUsed);
    EXPECT_EQ(0, game.getStatistics().shufflesUsed);
    EXPECT_EQ(60, game.getPenaltySeconds());
    EXPECT_EQ(0, game.getPauseCount());
}

TEST_F(NoMoreMovesTest, EachButtonDoesItsCommandAndOnlyEndGameEndsTheGame)
{
    const struct
    {
        const char *what;
        int choice; // the buttons: shuffle, undo, end game
        bool ends;
        int32_t shuffles, undos, penalty;
        bool boardKept;
    } cases[] = {
        {"Enter shuffles, the default", kEnter, false, 1, 0, 120, false},
        {"undo", 1, false, 0, 1, 60, true},
        {"end game", 2, true, 0, 0, 0, true},
        {"a quit request goes on with the game", kQuit, false, 0, 0, 0, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        game.startGame();
        const TMBoard before = game.m_board;
        runWith([&](const std::vector<VGDialogItem *> &items) {
            ASSERT_EQ(3u, items.size());
            post(choose(c.choice, items));
        });
        EXPECT_EQ(c.ends, game.showNoMoreMoves());
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ(c.shuffles, game.getStatistics().shufflesUsed);
        EXPECT_EQ(c.undos, game.getStatistics().undosUsed);
        EXPECT_EQ(c.penalty, game.getPenaltySeconds());
        EXPECT_EQ(TM_STATE_PLAYING, game.getGameState());
        bool same = true;
        for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
            same = same && before.tiles[i].present == game.m_board.tiles[i].present &&
                   before.tiles[i].kind == game.m_board.tiles[i].kind;
        EXPECT_EQ(c.boardKept, same);
        drain();
    }
}

// ---------------------------------------------------------------------------
// Options

TEST_F(GameDialogTest, OptionsPostOneFullScreenSwitchOnlyWhenTheChoiceChanged)
{
    for (int toggles = 0; toggles <= 3; ++toggles) {
        SCOPED_TRACE(toggles);
        game.m_settings.fullscreen = 0;
        int32_t fullscreenWhileOpen = -1;
        everyFrame([&](int frame) {
            if (frame == 1) {
                VGDialogItem *toggle = openItem("Fullscreen Button");
                ASSERT_NE(nullptr, toggle);
                for (int i = 0; i < toggles; ++i)
                    post(pressOn(*toggle));
            } else if (frame == 2) {
                fullscreenWhileOpen = game.m_settings.fullscreen;
                post(pressOn(*openItem("Ok Button")));
            }
        });
        game.showOptions();
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ(toggles % 2, fullscreenWhileOpen);
        // The old value stays until the main loop switches the display.
        EXPECT_EQ(0, game.m_settings.fullscreen);
        const std::vector<HEvent> posted = drain();
        EXPECT_EQ(toggles % 2, countOfType(posted, ET_TOGGLE_FULLSCREEN));
        EXPECT_EQ(0, countOfType(posted, ET_KEYDOWN));
        EXPECT_EQ(0, game.getPauseCount());
    }
}

TEST_F(GameDialogTest, DraggingAVolumeKnobSetsTheVolumeWhileTheDialogIsOpen)
{
    const struct
    {
        const char *slider;
        int32_t dragToX; // screen x
        float expected;
    } cases[] = {
        {"Music Slider", 0, 0.0f},
        {"Music Slider", tmscreen::kScreenWidth - 1, 1.0f},
        {"Sound Slider", 0, 0.0f},
        // Half the track right of the slider's place.
        {"Sound Slider",
         tmscreen::kOptionsDialog.x + tmscreen::kOptionsSoundSlider.x + tmscreen::kOptionsSliderTrack / 2, 0.5f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.slider) + " to " + std::to_string(c.dragToX));
        const bool music = std::strcmp(c.slider, "Music Slider") == 0;
        game.m_settings.musicVolume = 0.25f;
        game.m_settings.soundVolume = 0.25f;
        game.setMusicVolume(0.25f);
        float settingWhileOpen = -1.0f, mixerWhileOpen = -1.0f;
        everyFrame([&](int frame) {
            if (frame == 1) {
                VGDialogItem *slider = openItem(c.slider);
                ASSERT_NE(nullptr, slider);
                const HRect knob = slider->getRect();
                const int32_t y = (knob.y0 + knob.y1) / 2;
                post(pressOn(*slider));
                post(move(c.dragToX, y));
            } else if (frame == 2) {
                settingWhileOpen = music ? game.m_settings.musicVolume : game.m_settings.soundVolume;
                mixerWhileOpen = game.m_musicVolume;
                post(release(c.dragToX, 0));
                post(pressOn(*openItem("Ok Button")));
            }
        });
        game.showOptions();
        EXPECT_FALSE(game.runaway);
        EXPECT_FLOAT_EQ(c.expected, settingWhileOpen);
        EXPECT_FLOAT_EQ(music ? c.expected : 0.25f, mixerWhileOpen);
        EXPECT_FLOAT_EQ(music ? 0.25f : c.expected, game.m_settings.soundVolume);
        EXPECT_FLOAT_EQ(music ? c.expected : 0.25f, game.m_settings.musicVolume);
        drain();
    }
}

TEST_F(GameDialogTest, TheAutoHintToggleFlipsTheSettingAndRestartsTheWait)
{
    game.m_settings.autoHint = 1;
    for (int32_t expected : {0, 1}) {
        SCOPED_TRACE(expected);
        game.setLastProgressTime(VyTime(5, 0));
        uint64_t clickTime = 0, progressWhileOpen = 0;
        everyFrame([&](int frame) {
            if (frame == 1) {
                post(pressOn(*openItem("autoHints Button")));
            } else if (frame == 2) {
                clickTime = game.getLastEventTime();
                progressWhileOpen = game.m_lastProgressTime.getTime64();
                post(pressOn(*openItem("Ok Button")));
            }
        });
        game.showOptions();
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ(expected, game.m_settings.autoHint);
        EXPECT_NE(0u, clickTime);
        EXPECT_EQ(clickTime, progressWhileOpen);
        drain();
    }
}

TEST_F(GameDialogTest, BestTimesOpenedFromOptionsReturnToOptions)
{
    game.m_settings.layout = 4;
    int32_t deepest = 0, shownLayout = -1;
    bool backInOptions = false;
    everyFrame([&](int frame) {
        const int32_t depth = VGDialog::getOpenDialogCount();
        if (frame == 1) {
            // Enter goes to the default item, the best-times button.
            post(enter());
        } else if (depth == 2 && deepest < 2) {
            deepest = 2;
            if (auto *bestTimes = dynamic_cast<TMBestTimesDialog *>(VGDialog::getOpenDialog(0)))
                shownLayout = bestTimes->getLayout();
            post(enter());
        } else if (depth == 1 && deepest == 2 && !backInOptions) {
            backInOptions = openItem("Ok Button") != nullptr;
            post(pressOn(*openItem("Ok Button")));
        }
    });
    game.showOptions();
    EXPECT_FALSE(game.runaway);
    EXPECT_EQ(2, deepest);
    EXPECT_EQ(4, shownLayout);
    EXPECT_TRUE(backInOptions);
    EXPECT_EQ(0, game.getPauseCount());
}
