// The are-you-sure, no-more-moves and options dialogs, run modally in a
// started game with the input posted on the game's own queue, and the
// show-moves hold that every dialog of the game ends.
#include "game/game_dialog_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "game/TMBestTimesDialog.h"
#include "game/TMDialogs.h"
#include "game/TMScreenLayout.h"
#include "game/board_support.h"
#include "game/registry_support.h"

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

// The open options dialog's sound knob dragged to the left end: volume 0.
std::vector<HEvent> soundKnobToTheLeftEnd()
{
    VGDialogItem *slider = openItem("Sound Slider");
    const HRect knob = slider->getRect();
    return {pressOn(*slider), move(0, (knob.y0 + knob.y1) / 2), release(0, 0)};
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
// The show-moves hold

// Space held keeps the free tiles lit past their time. A dialog takes the
// release of space, and so may a focus loss: the hold ends at both, the lit
// tiles fade on their usual schedule, and the next press of space shows the
// moves again.
TEST_F(GameDialogTest, TheShowMovesHoldEndsAtAFocusLossAndAfterEveryDialog)
{
    // A dialog's case closes it with its event at its first drawing pass;
    // the focus loss has neither.
    const struct
    {
        const char *what;
        HEvent (*close)();
        void (*run)(DialogTilmar &);
    } cases[] = {
        {"a focus loss, then a click on the board", nullptr, nullptr},
        {"the exit question answered No", enter, [](DialogTilmar &g) { g.exitGame(); }},
        {"the options", quit, [](DialogTilmar &g) { g.showOptions(); }},
        {"the rules", enter, [](DialogTilmar &g) { g.showRules(); }},
        {"no more moves, played on", quit, [](DialogTilmar &g) { g.showNoMoreMoves(); }},
    };
    constexpr uint64_t kPressed = kGameStart + 10;
    // Past the full-strength time, while space is still held.
    constexpr uint64_t kInterrupted = kPressed + 4200;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        game.at(kGameStart);
        game.startGame();
        deliver(game, keyPress(' ', kPressed));
        deliver(game, gameEvent(ET_TIMESTAMP, kInterrupted));
        ASSERT_TRUE(game.m_bSpaceHeld);
        const float full = game.m_showMovesAlpha;
        ASSERT_GT(full, 0.0f);

        {
            HeldQueueClock clock(kInterrupted);
            if (c.run) {
                const HEvent close = c.close();
                everyFrame([&, close](int frame) {
                    if (frame == 1)
                        post(close);
                });
                c.run(game);
            } else {
                HEvent focus = gameEvent(ET_ACTIVATE, kInterrupted);
                game.m_handleSystemEvent(focus);
                ASSERT_TRUE(game.isPlayerPaused());
                focus.param = 1;
                game.m_handleSystemEvent(focus);
                deliver(game, gameEvent(ET_KEYDOWN, kInterrupted, KC_LBUTTON, 400, 200));
            }
            drain();
        }
        EXPECT_FALSE(game.runaway);
        ASSERT_EQ(TM_STATE_PLAYING, game.getGameState());
        ASSERT_FALSE(game.isPlayerPaused());
        EXPECT_FALSE(game.m_bSpaceHeld);

        deliver(game, gameEvent(ET_TIMESTAMP, kPressed + 4300));
        EXPECT_NEAR(0.4f * full, game.m_showMovesAlpha, 1e-4f);
        deliver(game, gameEvent(ET_TIMESTAMP, kPressed + 4600));
        EXPECT_EQ(0u, game.m_showMovesStart.getTime64());

        deliver(game, keyPress(' ', kPressed + 5000));
        EXPECT_EQ(kPressed + 5000, game.m_showMovesStart.getTime64());
        deliver(game, keyPress(' ', kPressed + 5010, ET_KEYUP));
        EXPECT_FALSE(game.m_bSpaceHeld);
    }
}

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

TEST_F(GameDialogTest, ConfirmPlacesItsButtonsByTheBackgroundAndTheirPictures)
{
    Placed ok, cancel;
    int32_t okX = 0, cancelX = 0, rowY = 0;
    everyFrame([&](int frame) {
        if (frame != 1)
            return;
        VGDialog *dialog = VGDialog::getOpenDialog(0);
        ASSERT_NE(nullptr, dialog);
        const std::vector<VGDialogItem *> items = openItems();
        ASSERT_EQ(2u, items.size());
        ok = placed(items[0], *dialog);
        cancel = placed(items[1], *dialog);
        const int32_t width = dialog->getBackground()->getWidth();
        const int32_t height = dialog->getBackground()->getHeight();
        okX = (width - widthOf(items[0])) / 4;
        cancelX = (3 * (width - widthOf(items[1]))) / 4;
        rowY = height - (3 * heightOf(items[0])) / 2;
        post(quit());
    });
    game.confirm(kConfirmArt[0], kConfirmArt[1], kConfirmArt[2], kConfirmArt[3], kConfirmArt[4]);
    EXPECT_FALSE(game.runaway);
    EXPECT_EQ((Placed{okX, rowY, kConfirmArt[1], kConfirmArt[2]}), ok);
    EXPECT_EQ((Placed{cancelX, rowY, kConfirmArt[3], kConfirmArt[4]}), cancel);
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

TEST_F(NoMoreMovesTest, TheButtonsSitCentredOnTheBackgroundAtTheirRows)
{
    for (bool oneFree : {false, true}) {
        SCOPED_TRACE(oneFree ? "one free tile" : "with shuffle");
        game.startGame();
        if (oneFree)
            leaveOneFreeTile();
        std::vector<Placed> got, expected;
        HRect bounds;
        std::string background;
        int32_t backgroundWidth = 0, backgroundHeight = 0;
        runWith([&](const std::vector<VGDialogItem *> &items) {
            VGDialog *dialog = VGDialog::getOpenDialog(0);
            bounds = dialog->getBounds();
            background = nameOf(dialog->getBackground());
            backgroundWidth = dialog->getBackground()->getWidth();
            backgroundHeight = dialog->getBackground()->getHeight();
            for (VGDialogItem *item : items)
                got.push_back(placed(item, *dialog));
            const auto centred = [&](size_t i) { return (backgroundWidth - widthOf(items.at(i))) / 2; };
            size_t i = 0;
            if (!oneFree) {
                expected.push_back({centred(i), tmscreen::kNoMoreMovesShuffleY, "art/no_more_moves_shuffle.tga",
                                    "art/no_more_moves_shuffle_lit.tga"});
                ++i;
            }
            expected.push_back({centred(i) + tmscreen::kNoMoreMovesUndoShift, tmscreen::kNoMoreMovesUndoY,
                                "art/no_more_moves_undo.tga", "art/no_more_moves_undo_lit.tga"});
            expected.push_back({centred(i + 1), tmscreen::kNoMoreMovesEndGameY, "art/no_more_moves_endgame.tga",
                                "art/no_more_moves_endgame_lit.tga"});
            post(quit());
        });
        game.showNoMoreMoves();
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ("art/no_more_moves.jpg", background);
        EXPECT_EQ((tmscreen::kScreenWidth - backgroundWidth) / 2 + tmscreen::kNoMoreMovesOffset.x, bounds.x0);
        EXPECT_EQ((tmscreen::kScreenHeight - backgroundHeight) / 2 + tmscreen::kNoMoreMovesOffset.y, bounds.y0);
        EXPECT_EQ(expected, got);
        drain();
    }
}

// The last match's pair fades out through the game's update, which does not
// run while a dialog is open: the dialog must open over the board as it is
// after the match, without the pair.
TEST_F(NoMoreMovesTest, OpensOverTheBoardWithoutThePairJustTaken)
{
    constexpr uint64_t kMatch = 500000;
    // The events the dialog takes carry the match's time, so its first
    // drawing pass comes well within the fade.
    HeldQueueClock clock(kMatch);
    // A timestamp left from before would move the clock on.
    drain();
    TMBoard &board = game.m_board;
    const int32_t shadowTop = board.shadowTopHeight, shadowRight = board.shadowRightWidth;
    // A pair at the top left, clear of the dialog, and two tiles that match
    // nothing.
    setUpBoard(board, {{0, 0, 0, 5, 5}, {4, 0, 0, 5, 5}, {20, 14, 0, 6, 6}, {24, 14, 0, 7, 7}});
    board.setShadowSizes(shadowTop, shadowRight);
    HRect pair[2];
    board.getImageRect(&board.tiles[0], &pair[0]);
    board.getImageRect(&board.tiles[1], &pair[1]);
    const auto pairPixels = [&] {
        std::vector<uint16_t> pixels;
        for (const HRect &r : pair)
            for (int32_t y = r.y0; y < r.y1; ++y)
                for (int32_t x = r.x0; x < r.x1; ++x)
                    pixels.push_back(gameScreenPixel(game.getDisplayDevice(), x, y));
        return pixels;
    };
    const auto differing = [](const std::vector<uint16_t> &a, const std::vector<uint16_t> &b) {
        size_t n = a.size() == b.size() ? 0 : std::max(a.size(), b.size());
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            n += a[i] != b[i];
        return n;
    };

    game.at(kMatch - 300);
    game.drawRect(HRect(0, 0, tmscreen::kScreenWidth, tmscreen::kScreenHeight), false);
    const std::vector<uint16_t> withPair = pairPixels();

    std::vector<uint16_t> underDialog;
    HRect dialogBounds;
    everyFrame([&](int frame) {
        if (frame != 1)
            return;
        dialogBounds = VGDialog::getOpenDialog(0)->getBounds();
        underDialog = pairPixels();
        post(quit());
    });
    deliver(game, clickOn(game, &board.tiles[0], kMatch - 200));
    deliver(game, clickOn(game, &board.tiles[1], kMatch));
    ASSERT_EQ(1, game.noMoreMovesCalls);
    EXPECT_FALSE(game.runaway);
    EXPECT_FALSE(board.tiles[0].present || board.tiles[1].present);
    for (const HRect &r : pair)
        ASSERT_FALSE(r.intersects(dialogBounds)) << "the dialog covers the pair";

    // What lies beneath: the board drawn without the pair once no fade runs.
    for (TMTile &tile : board.tiles)
        tile.removedAt = VyTime();
    game.drawRect(HRect(0, 0, tmscreen::kScreenWidth, tmscreen::kScreenHeight), true);
    const std::vector<uint16_t> beneath = pairPixels();
    ASSERT_NE(0u, differing(withPair, beneath)) << "the pair cannot be told from the board beneath";
    EXPECT_EQ(0u, differing(beneath, underDialog));
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

TEST_F(GameDialogTest, TheOptionsDialogIsBuiltFromTheSettings)
{
    TMSettings settings;
    settings.soundVolume = 0.3f;
    settings.musicVolume = 0.7f;
    settings.fullscreen = 1;
    settings.autoHint = 0;
    TMOptionsDialog dialog;
    ASSERT_TRUE(dialog.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), &settings));

    EXPECT_EQ("art/options_tl.jpg", nameOf(dialog.getBackground()));
    EXPECT_EQ(tmscreen::kOptionsDialog.x, dialog.getBounds().x0);
    EXPECT_EQ(tmscreen::kOptionsDialog.y, dialog.getBounds().y0);
    std::vector<std::string> names;
    for (VGDialogItem *item = dialog.getFirstItem(); item; item = item->getNext())
        names.push_back(item->getName());
    EXPECT_EQ((std::vector<std::string>{"Best Times", "Sound Slider", "Music Slider", "Fullscreen Button",
                                        "Visit Partner", "autoHints Button", "Ok Button"}),
              names);
    // Enter opens the best times.
    EXPECT_EQ(&dialog.getBestTimesButton(), dialog.getDefaultItem());

    const std::string on = "art/options_on_tl.tga", onLit = "art/options_on_lit_tl.tga";
    const std::string off = "art/options_off_tl.tga", offLit = "art/options_off_lit_tl.tga";
    const auto at = [](tmscreen::Point p, const std::string &normal, const std::string &lit) {
        return Placed{p.x, p.y, normal, lit};
    };
    EXPECT_EQ(at(tmscreen::kOptionsOk, "art/options_done_tl.tga", "art/options_done_lit_tl.tga"),
              placed(&dialog.getOkButton(), dialog));
    EXPECT_EQ(at(tmscreen::kOptionsBestTimes, "art/options_besttimes_tl.tga", "art/options_besttimes_lit_tl.tga"),
              placed(&dialog.getBestTimesButton(), dialog));
    EXPECT_EQ(at(tmscreen::kOptionsVisit, "art/options_visit_tl.tga", "art/options_visit_lit_tl.tga"),
              placed(&dialog.getVisitButton(), dialog));
    EXPECT_EQ(at(tmscreen::kOptionsFullscreen, on, onLit), placed(&dialog.getFullscreenButton(), dialog));
    EXPECT_EQ(at(tmscreen::kOptionsAutoHints, off, offLit), placed(&dialog.getAutoHintsButton(), dialog));

    const struct
    {
        VGDialogItemSlider *slider;
        tmscreen::Point at;
        float value;
    } sliders[] = {{&dialog.getSoundSlider(), tmscreen::kOptionsSoundSlider, 0.3f},
                   {&dialog.getMusicSlider(), tmscreen::kOptionsMusicSlider, 0.7f}};
    for (const auto &s : sliders) {
        SCOPED_TRACE(s.slider->getName());
        EXPECT_EQ(s.at.x, s.slider->getX());
        EXPECT_EQ(s.at.y, s.slider->getY());
        EXPECT_FLOAT_EQ(s.value, s.slider->getValue());
        EXPECT_EQ(tmscreen::kOptionsSliderTrack, s.slider->getTrackLength());
        EXPECT_FALSE(s.slider->isVertical());
        // The knob's picture, so it can be pressed and dragged.
        const HRect knob = s.slider->getRect();
        EXPECT_GT(knob.x1 - knob.x0, 0);
    }

    // Each toggle flips its setting and its pictures and keeps the dialog
    // open; so do the sliders, whose knob presses come here too.
    EXPECT_FALSE(dialog.onItemActivated(&dialog.getFullscreenButton()));
    EXPECT_EQ(0, settings.fullscreen);
    EXPECT_EQ(at(tmscreen::kOptionsFullscreen, off, offLit), placed(&dialog.getFullscreenButton(), dialog));
    EXPECT_FALSE(dialog.onItemActivated(&dialog.getAutoHintsButton()));
    EXPECT_EQ(1, settings.autoHint);
    EXPECT_EQ(at(tmscreen::kOptionsAutoHints, on, onLit), placed(&dialog.getAutoHintsButton(), dialog));
    EXPECT_FALSE(dialog.onItemActivated(&dialog.getSoundSlider()));
    EXPECT_FALSE(dialog.onItemActivated(&dialog.getMusicSlider()));
    // OK and the partner link close it.
    EXPECT_TRUE(dialog.onItemActivated(&dialog.getOkButton()));
    EXPECT_TRUE(dialog.onItemActivated(&dialog.getVisitButton()));
    EXPECT_FLOAT_EQ(0.3f, settings.soundVolume);
    EXPECT_FLOAT_EQ(0.7f, settings.musicVolume);

    dialog.unloadSprites();
    dialog.removeAllItems();
}

TEST_F(GameDialogTest, ClosingTheOptionsSavesTheSettingsWithTheOldFullScreenValue)
{
    const struct
    {
        const char *what;
        bool quit;
    } cases[] = {{"OK", false}, {"a quit request", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        game.m_settings.fullscreen = 0;
        game.m_settings.autoHint = 1;
        game.m_settings.soundVolume = 1.0f;
        std::remove(registryPath(home).c_str());
        everyFrame([&](int frame) {
            if (frame == 1) {
                post(pressOn(*openItem("Fullscreen Button")));
                post(pressOn(*openItem("autoHints Button")));
                post(soundKnobToTheLeftEnd());
            } else if (frame == 2) {
                post(c.quit ? quit() : pressOn(*openItem("Ok Button")));
            }
        });
        game.showOptions();
        EXPECT_FALSE(game.runaway);
        const std::string file = tilmar_test::readFile(registryPath(home));
        EXPECT_EQ(le32(0), registryValue(file, "Fullscreen"));
        EXPECT_EQ(le32(0), registryValue(file, "Autohint"));
        EXPECT_EQ(floatBytes(0.0f), registryValue(file, "Sound Volume"));
        // The switch itself is left to the main loop.
        EXPECT_EQ(1, countOfType(drain(), ET_TOGGLE_FULLSCREEN));
        EXPECT_EQ(0, game.m_settings.fullscreen);
    }
}

// The partner link ends the program, so each case runs in a child process
// of its own (started afresh, as threads are running) that writes its
// registry under this test's home.
TEST_F(GameDialogTest, ThePartnerLinkSavesTheDialogsChangesAndLeavesARealFullScreen)
{
    const std::string style = ::testing::GTEST_FLAG(death_test_style);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    const struct
    {
        const char *what;
        int32_t fullscreen; // the mode the dialog opened in
        int toggles;        // presses of the full-screen toggle first
    } cases[] = {
        // A full-screen choice not carried out is not stored.
        {"window", 0, 0},
        {"window, full screen chosen", 0, 1},
        // Stored as full screen, then as the window the link switches to.
        {"full screen", 1, 0},
        {"full screen, window chosen", 1, 1},
    };
    // A child runs this body again: it keeps the home its parent set.
    setenv("TILMAR_TEST_PARTNER_HOME", home.path().c_str(), 0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(registryPath(home).c_str());
        EXPECT_EXIT(
            {
                // No browser to be found: the launcher says so and exits.
                setenv("HOME", getenv("TILMAR_TEST_PARTNER_HOME"), 1);
                setenv("PATH", "/nonexistent", 1);
                game.m_settings.fullscreen = c.fullscreen;
                game.m_settings.autoHint = 1;
                game.m_settings.soundVolume = 1.0f;
                everyFrame([&](int frame) {
                    if (frame != 1)
                        return;
                    for (int i = 0; i < c.toggles; ++i)
                        post(pressOn(*openItem("Fullscreen Button")));
                    post(pressOn(*openItem("autoHints Button")));
                    post(soundKnobToTheLeftEnd());
                    post(pressOn(*openItem("Visit Partner")));
                });
                game.showOptions();
                _exit(3);
            },
            ::testing::ExitedWithCode(0), "can't launch a browser");
        const std::string file = tilmar_test::readFile(registryPath(home));
        EXPECT_EQ(le32(0), registryValue(file, "Fullscreen"));
        EXPECT_EQ(le32(0), registryValue(file, "Autohint"));
        EXPECT_EQ(floatBytes(0.0f), registryValue(file, "Sound Volume"));
    }
    unsetenv("TILMAR_TEST_PARTNER_HOME");
    ::testing::GTEST_FLAG(death_test_style) = style;
}
