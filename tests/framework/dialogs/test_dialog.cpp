// The modal dialog framework: layout of a dialog and its chain, and the
// modal loop driven by events posted to the game's queue.
#include "framework/dialogs/dialog_fixture.h"

#include <cstring>

using namespace dialog_test;

namespace {

// A dialog at (100, 50) on a 200 x 100 background with two 40 x 20
// buttons: the first at (20, 30) -> screen (120, 80, 160, 100), the second
// at (120, 30) -> screen (220, 80, 260, 100). The first is the default
// item, the second has the focus.
class TwoButtonDialogTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dialog.setPosition(100, 50);
        dialog.setBackground(image("bg.tga", 200, 100, 0x0000FFFF));
        VGSprite *face = image("button.tga", 40, 20, 0x00FF00FF);
        first.setImages(face, face, nullptr);
        first.setPosition(20, 30);
        second.setImages(face, face, nullptr);
        second.setPosition(120, 30);
        dialog.addItem(&first);
        dialog.addItem(&second);
    }

    ClosingDialog dialog;
    VGDialogItemButton first;
    VGDialogItemButton second;
};

} // namespace

TEST_F(DialogTest, BoundsFollowThePositionAndTheBackground)
{
    VGDialog dialog;
    dialog.setPosition(100, 50);
    EXPECT_TRUE(rectIs(dialog.getBounds(), 100, 50, 0, 0));
    dialog.setBackground(image("bg.tga", 200, 100));
    EXPECT_TRUE(rectIs(dialog.getBounds(), 100, 50, 300, 150));
    dialog.setPosition(10, 20);
    EXPECT_TRUE(rectIs(dialog.getBounds(), 10, 20, 210, 120));
    dialog.setBackground(nullptr);
    EXPECT_TRUE(rectIs(dialog.getBounds(), 10, 20, 0, 0));
}

TEST_F(DialogTest, AddedItemsChainInOrderTheFirstIsDefaultAndTheLastHasTheFocus)
{
    VGDialog dialog;
    dialog.setPosition(100, 50);
    VGDialogItemButton a, b, c;
    for (VGDialogItemButton *item : {&a, &b, &c})
        dialog.addItem(item);
    EXPECT_EQ(dialog.getFirstItem(), &a);
    EXPECT_EQ(a.getNext(), &b);
    EXPECT_EQ(b.getNext(), &c);
    EXPECT_EQ(c.getNext(), nullptr);
    EXPECT_EQ(dialog.getDefaultItem(), &a);
    EXPECT_EQ(dialog.getFocusedItem(), &c);
    EXPECT_EQ(b.getDialog(), &dialog);
    // A button takes the dialog's corner on joining it.
    EXPECT_TRUE(rectIs(b.getRect(), 100, 50, 100, 50));

    // Linking an item a second time would close the chain into a loop.
    dialog.addItem(&a);
    EXPECT_EQ(c.getNext(), nullptr);
    EXPECT_EQ(a.getNext(), &b);

    dialog.removeAllItems();
    EXPECT_EQ(dialog.getFirstItem(), nullptr);
    EXPECT_EQ(dialog.getDefaultItem(), nullptr);
    EXPECT_EQ(dialog.getFocusedItem(), nullptr);
    EXPECT_EQ(dialog.getBackground(), nullptr);
    EXPECT_EQ(a.getNext(), &b); // the items stay linked
}

TEST_F(TwoButtonDialogTest, SetFocusRedrawsTheOldItemMovedByTheCornerAndNullMeansTheFirst)
{
    clearDialogDirtyList();
    ASSERT_EQ(VGDialog::getDirtyRects().getCount(), 0);

    dialog.setFocus(&first);
    // The button's rectangle is already on the screen, so it lands a corner
    // further on: (220, 80, 260, 100) + (100, 50).
    ASSERT_EQ(VGDialog::getDirtyRects().getCount(), 1);
    EXPECT_TRUE(rectIs(VGDialog::getDirtyRects().getRect(0), 320, 130, 360, 150));
    EXPECT_EQ(dialog.getFocusedItem(), &first);

    dialog.setFocus(&first);
    EXPECT_EQ(VGDialog::getDirtyRects().getCount(), 1);
    dialog.setFocus(&second);
    dialog.setFocus(nullptr);
    EXPECT_EQ(dialog.getFocusedItem(), &first);
}

TEST_F(TwoButtonDialogTest, ActivationByPressAndEnter)
{
    struct Case
    {
        const char *what;
        std::vector<HEvent> events;
        bool disableFirst;
        int expected; // 0 first, 1 second, -1 none (the closing quit)
    };
    const Case cases[] = {
        {"left press on the first button", {clickAt(130, 90)}, false, 0},
        {"left press on the second button", {clickAt(259, 99)}, false, 1},
        {"Enter goes to the default although the second has the focus", {enterKey()}, false, 0},
        {"press beside both buttons", {clickAt(190, 90)}, false, -1},
        {"right-button press on a button", {keyDown(KC_RBUTTON, 0, 130, 90)}, false, -1},
        {"release on a button", {releaseAt(130, 90)}, false, -1},
        {"a key that is not Enter", {typed('a')}, false, -1},
        {"press on a disabled button", {clickAt(130, 90)}, true, -1},
        {"Enter passes a disabled default on to the focused button", {enterKey()}, true, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        first.setEnabled(!c.disableFirst);
        dialog.activated.clear();
        post(c.events);
        post(ofType(ET_QUIT));
        VGDialogItem *result = runModal(dialog);
        if (c.expected < 0) {
            EXPECT_EQ(result, kDialogQuit);
            EXPECT_TRUE(dialog.activated.empty());
        } else {
            VGDialogItem *item = c.expected == 0 ? static_cast<VGDialogItem *>(&first) : &second;
            EXPECT_EQ(result, item);
            ASSERT_EQ(dialog.activated.size(), 1u);
            EXPECT_EQ(dialog.activated[0], item);
        }
        drain();
    }
    EXPECT_TRUE(game->allModal);
    EXPECT_EQ(dialog.getGame(), game);
    EXPECT_EQ(dialog.getUserData(), game);
}

TEST_F(TwoButtonDialogTest, EventsAreHandledWithoutDrawingUntilTheQueueRunsEmpty)
{
    struct CountingDialog : ClosingDialog
    {
        DialogGame *game = nullptr;
        std::vector<int> framesAtActivation;
        bool onItemActivated(VGDialogItem *item) override
        {
            framesAtActivation.push_back(game->frames);
            return ClosingDialog::onItemActivated(item);
        }
    };
    CountingDialog counting;
    counting.game = game;
    counting.closeOnActivation = false;
    counting.setPosition(100, 50);
    VGDialogItemButton button;
    VGSprite *face = image("button.tga", 40, 20);
    button.setImages(face, face, nullptr);
    button.setPosition(20, 30);
    counting.addItem(&button);

    // A press on nothing, then two activations that keep the dialog open:
    // all before the first drawing pass.
    post({clickAt(10, 10), clickAt(130, 90), moveTo(5, 5), clickAt(130, 90)});
    game->onFrame = [&](int frame) {
        if (frame == 1) {
            counting.closeOnActivation = true;
            post(clickAt(131, 91));
        }
    };
    EXPECT_EQ(runModal(counting), &button);
    EXPECT_EQ(counting.framesAtActivation, (std::vector<int>{0, 0, 1}));
    // The pass that follows the closing activation is the last one.
    EXPECT_EQ(game->frames, 2);
}

TEST_F(DialogTest, TabMovesTheFocusToTheNextItemThatTakesIt)
{
    VGDialog dialog;
    dialog.setPosition(0, 0);
    VGDialogItemButton a, b;
    VGDialogItemTextLine line1, line2, line3;
    line1.setEditable(true);
    line3.setEditable(true);
    for (VGDialogItem *item : std::vector<VGDialogItem *>{&a, &line1, &b, &line2, &line3})
        dialog.addItem(item);
    ASSERT_EQ(dialog.getFocusedItem(), &line3);

    std::vector<VGDialogItem *> focus;
    post(tabKey());
    game->onFrame = [&](int) {
        if (focus.size() == 3)
            return; // the closing pass
        focus.push_back(dialog.getFocusedItem());
        if (focus.size() == 3)
            post(ofType(ET_QUIT));
        else
            post(tabKey());
    };
    EXPECT_EQ(runModal(dialog), kDialogQuit);
    // From the last item round to the first editable line, then on past the
    // button and the read-only line.
    EXPECT_EQ(focus, (std::vector<VGDialogItem *>{&line1, &line3, &line1}));

    // Without an item that takes the focus it stays where it was.
    VGDialog buttons;
    VGDialogItemButton c, d;
    buttons.addItem(&c);
    buttons.addItem(&d);
    EXPECT_TRUE(buttons.handleEvent(tabKey()));
    EXPECT_EQ(buttons.getFocusedItem(), &d);
}

TEST_F(DialogTest, TimeOutAsksOnTimerOnEveryPassOnceTheTimeHasRunOut)
{
    struct TimedDialog : ClosingDialog
    {
        DialogGame *game = nullptr;
        std::vector<int> askedAt;
        bool onTimer() override
        {
            askedAt.push_back(game->frames);
            return ClosingDialog::onTimer();
        }
    };
    struct Case
    {
        int32_t timeout;
        bool asks;
    };
    for (const Case c : {Case{5000, true}, Case{0, false}, Case{-1, false}}) {
        SCOPED_TRACE(c.timeout);
        // Every empty queue lets 100 ms pass.
        FakeClock::sleepStep = 100;
        game->setLastEventTime(FakeClock::now);
        const uint64_t start = FakeClock::now;
        TimedDialog dialog;
        dialog.game = game;
        dialog.closeOnTimerCall = 3;
        std::vector<bool> runOut(1, false); // by frame number
        game->frames = 0;
        game->onFrame = [&](int frame) {
            runOut.push_back(game->getLastEventTime() - start > 5000);
            if (frame == 100)
                post(ofType(ET_QUIT));
        };
        VGDialogItem *result = runModal(dialog, c.timeout);
        if (!c.asks) {
            EXPECT_EQ(result, kDialogQuit);
            EXPECT_TRUE(dialog.askedAt.empty());
            continue;
        }
        EXPECT_EQ(result, kDialogTimedOut);
        ASSERT_EQ(dialog.askedAt.size(), 3u);
        // Asked exactly on the passes after the time had run out, each of
        // them, and the loop ended on the pass of the third.
        const int firstAsked = dialog.askedAt[0];
        EXPECT_TRUE(runOut[firstAsked]);
        EXPECT_FALSE(runOut[firstAsked - 1]);
        EXPECT_EQ(dialog.askedAt, (std::vector<int>{firstAsked, firstAsked + 1, firstAsked + 2}));
        EXPECT_EQ(game->frames, firstAsked + 2);
        drain();
    }
}

TEST_F(DialogTest, NestedDialogsDrawOuterFirstAndTheOuterLoopGoesOn)
{
    struct LoggingDialog : VGDialog
    {
        const char *name = "";
        DialogGame *game = nullptr;
        std::vector<std::pair<int, std::string>> *log = nullptr;
        VGDialogItem *opener = nullptr;
        LoggingDialog *inner = nullptr;
        VGDialogItem *innerResult = nullptr;
        void draw(H2DDisplayDevice *display) override
        {
            log->emplace_back(game->frames, name);
            VGDialog::draw(display);
        }
        bool onItemActivated(VGDialogItem *item) override
        {
            if (item == opener && inner)
                innerResult = inner->doModal(game, game->getDisplayDevice(), &game->getEventQueue(), 0, game);
            return inner == nullptr;
        }
    };
    std::vector<std::pair<int, std::string>> log;
    VGSprite *face = image("button.tga", 40, 20);

    LoggingDialog outer, inner;
    outer.name = "outer";
    inner.name = "inner";
    for (LoggingDialog *d : {&outer, &inner}) {
        d->game = game;
        d->log = &log;
    }
    outer.setPosition(50, 50);
    VGDialogItemButton open;
    open.setImages(face, face, nullptr);
    outer.addItem(&open);
    outer.opener = &open;
    outer.inner = &inner;

    inner.setPosition(300, 200);
    VGDialogItemButton close;
    close.setImages(face, face, nullptr);
    inner.addItem(&close);

    int innerClosedAt = 0;
    post(clickAt(60, 60));
    game->onFrame = [&](int frame) {
        if (VGDialog::getOpenDialogCount() == 2) {
            EXPECT_EQ(VGDialog::getOpenDialog(0), &inner);
            EXPECT_EQ(VGDialog::getOpenDialog(1), &outer);
            if (frame == 3)
                post(enterKey());
        } else if (innerClosedAt == 0) {
            innerClosedAt = frame;
        } else if (frame == innerClosedAt + 2) {
            post(ofType(ET_QUIT));
        }
    };
    EXPECT_EQ(outer.doModal(game, display(), &queue(), 0, game), kDialogQuit);
    EXPECT_EQ(outer.innerResult, &close);

    // Passes 1 to 4 ran inside the inner loop and drew both dialogs, outer
    // first; then the outer loop went on alone.
    ASSERT_GT(innerClosedAt, 4);
    std::vector<std::pair<int, std::string>> expected;
    for (int frame = 1; frame <= 4; ++frame) {
        expected.emplace_back(frame, "outer");
        expected.emplace_back(frame, "inner");
    }
    for (int frame = 5; frame <= game->frames; ++frame)
        expected.emplace_back(frame, "outer");
    EXPECT_EQ(log, expected);
}

TEST_F(TwoButtonDialogTest, TwoMotionEventsFollowEveryClose)
{
    struct Case
    {
        const char *what;
        std::vector<HEvent> events;
        int32_t timeout;
        int32_t x, y; // the pointer when the dialog closes
    };
    const Case cases[] = {
        {"activation", {moveTo(400, 300), clickAt(130, 90)}, 0, 130, 90},
        {"quit", {moveTo(200, 120), ofType(ET_QUIT)}, 0, 200, 120},
        {"time-out", {moveTo(17, 23)}, 50, 17, 23},
    };
    dialog.closeOnTimerCall = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialog.timerCalls = 0;
        post(c.events);
        game->setLastEventTime(FakeClock::now);
        runModal(dialog, c.timeout);
        const std::vector<HEvent> after = drain();
        ASSERT_EQ(after.size(), 2u);
        const int32_t points[2][2] = {{c.x + 1, c.y + 1}, {c.x, c.y}};
        for (int i = 0; i < 2; ++i) {
            HEvent expected = moveTo(points[i][0], points[i][1]);
            expected.time = after[i].time; // stamped by the queue
            EXPECT_EQ(memcmp(&after[i], &expected, sizeof expected), 0) << i;
        }
    }
}

TEST_F(TwoButtonDialogTest, ThePassDrawsTheGameThenTheDialogAndLetsOnlyQuitEndIt)
{
    clearScreen();
    game->onFrame = [&](int frame) {
        if (frame == 1) {
            // Window events are swallowed; a paint repaints the whole screen.
            game->drawnRects.clear();
            post({ofType(ET_ACTIVATE), ofType(ET_WINDOW_MINIMIZED), ofType(ET_TOGGLE_FULLSCREEN), moveTo(1, 2)});
        } else if (frame == 3) {
            EXPECT_TRUE(game->drawnRects.empty()) << "nothing was dirty";
            post(ofType(ET_PAINT));
        } else if (frame == 4) {
            ASSERT_EQ(game->drawnRects.size(), 1u);
            EXPECT_TRUE(rectIs(game->drawnRects[0], 0, 0, 640, 480));
            post(ofType(ET_QUIT));
        }
    };
    EXPECT_EQ(runModal(dialog), kDialogQuit);

    // The background fills the bounds, the buttons lie over it, and
    // nothing is drawn beside the dialog.
    const uint16_t background = sprites[0]->getSurface()->getPixels()[0];
    const uint16_t face = sprites[1]->getSurface()->getPixels()[0];
    EXPECT_EQ(screenAt(100, 50), background);
    EXPECT_EQ(screenAt(299, 149), background);
    EXPECT_EQ(screenAt(119, 85), background);
    EXPECT_EQ(screenAt(120, 80), face);
    EXPECT_EQ(screenAt(259, 99), face);
    EXPECT_EQ(screenAt(99, 50), 0);
    EXPECT_EQ(screenAt(300, 150), 0);
}

TEST_F(DialogTest, PointerMotionRedrawsASpriteCursorAtBothPlaces)
{
    // The queue remembers where the pointer was last seen (a move to the
    // point of the last one posted would be dropped, hence two).
    post({moveTo(11, 11), moveTo(10, 10)});
    drain();
    VGSprite *cursor = image("cursor.tga", 8, 8);
    for (VGSprite *sprite : {cursor, static_cast<VGSprite *>(nullptr)}) {
        SCOPED_TRACE(sprite ? "sprite cursor" : "system cursor");
        game->cursorSprite = sprite;
        VGDialog dialog;
        dialog.setPosition(400, 300);
        dialog.setBackground(image("bg.tga", 10, 10));
        bool seen = false;
        post(moveTo(300, 200));
        game->onFrame = [&](int) {
            if (seen)
                return;
            seen = true;
            const HDirtyRectList &dirty = VGDialog::getDirtyRects();
            EXPECT_EQ(covers(dirty, HRect(10, 10, 18, 18)), sprite != nullptr);
            EXPECT_EQ(covers(dirty, HRect(300, 200, 308, 208)), sprite != nullptr);
            EXPECT_TRUE(covers(dirty, HRect(400, 300, 410, 310)));
            post(ofType(ET_QUIT));
        };
        EXPECT_EQ(dialog.getPointerX(), 0);
        runModal(dialog);
        EXPECT_EQ(dialog.getPointerX(), sprite ? 300 : 10);
        EXPECT_EQ(dialog.getPointerY(), sprite ? 200 : 10);
        // Back where the next round starts.
        post(moveTo(10, 10));
        drain();
    }
}

TEST_F(DialogTest, WithoutAGameOrAQueueThereIsNoLoop)
{
    VGDialog dialog;
    EXPECT_EQ(dialog.doModal(nullptr, display(), &queue(), 0, nullptr), nullptr);
    EXPECT_EQ(dialog.doModal(game, display(), nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(VGDialog::getOpenDialogCount(), 0);
}
