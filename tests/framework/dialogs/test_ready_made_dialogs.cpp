// The message and slide-show dialogs and the application's runners for
// them, with their pictures read from the resource directory.
#include "framework/dialogs/dialog_fixture.h"

#include "framework/VGMessageDialog.h"
#include "framework/VGSlideShowDialog.h"

using namespace dialog_test;

namespace {

// The centre of an item's screen rectangle.
HEvent clickOn(const VGDialogItem &item)
{
    const HRect r = item.getRect();
    return clickAt((r.x0 + r.x1) / 2, (r.y0 + r.y1) / 2);
}

constexpr uint32_t kRed = 0xFF0000FF;
constexpr uint32_t kGreen = 0x00FF00FF;

class MessageDialogTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        writeImage("bg.tga", 300, 200, 0x202020FF);
        writeImage("ok.tga", 80, 40, kRed);
        writeImage("okHi.tga", 80, 40, kGreen);
        writeImage("cancel.tga", 80, 40, kRed);
        writeImage("cancelHi.tga", 80, 40, kGreen);
    }
};

class SlideShowTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        writeImage("page1.tga", 400, 300);
        writeImage("page2.tga", 200, 150);
        writeImage("page3.tga", 400, 300);
        writeImage("close.tga", 60, 20);
        writeImage("next.tga", 30, 20);
        writeImage("prev.tga", 30, 20);
        writeImage("closeHi.tga", 60, 20, kGreen);
        writeImage("nextHi.tga", 30, 20, kGreen);
        writeImage("prevHi.tga", 30, 20, kGreen);
    }
    int32_t layout(VGSlideShowDialog &dialog, const std::vector<const char *> &pages, int32_t x = 50,
                   int32_t y = 40)
    {
        return dialog.layout(x, y, display(), &files, "close.tga", "closeHi.tga", "next.tga", "nextHi.tga",
                             "prev.tga", "prevHi.tga", pages.data(), static_cast<int32_t>(pages.size()));
    }
    int32_t runShow(const std::vector<const char *> &pages)
    {
        return game->showSlideShowDialog(50, 40, "close.tga", "closeHi.tga", "next.tga", "nextHi.tga",
                                         "prev.tga", "prevHi.tga", pages.data(),
                                         static_cast<int32_t>(pages.size()));
    }
};

} // namespace

TEST_F(MessageDialogTest, LayoutPlacesTheDialogAndItsButtons)
{
    writeImage("okSmall.tga", 60, 30, kRed);
    writeImage("cancelWide.tga", 100, 40, kRed);
    struct Case
    {
        const char *what;
        int32_t x, y;
        const char *ok;
        const char *cancel;
        int dialogX, dialogY;
        int okX, okY, okW, okH;
        int cancelX, cancelW; // relative; cancel on the OK row
    };
    const Case cases[] = {
        {"centred across, at the top, with cancel", -1, 0, "ok.tga", "cancel.tga", 170, 0, 55, 140, 80, 40, 165,
         80},
        {"centred both ways, OK alone", -1, -1, "ok.tga", nullptr, 170, 140, 110, 140, 80, 40, 0, 0},
        {"placed, buttons of other sizes", 10, 20, "okSmall.tga", "cancelWide.tga", 10, 20, 60, 155, 60, 30, 150,
         100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGMessageDialog dialog;
        EXPECT_EQ(dialog.layout(display(), &files, c.x, c.y, 0, "bg.tga", c.ok, nullptr, c.cancel, nullptr), 1);
        EXPECT_EQ(dialog.getX(), c.dialogX);
        EXPECT_EQ(dialog.getY(), c.dialogY);
        EXPECT_TRUE(rectIs(dialog.getBounds(), c.dialogX, c.dialogY, c.dialogX + 300, c.dialogY + 200));
        VGDialogItemButton &ok = dialog.getOkButton();
        VGDialogItemButton &cancel = dialog.getCancelButton();
        EXPECT_STREQ(ok.getName(), "Are you sure, ok");
        EXPECT_TRUE(ok.isEnabled());
        EXPECT_EQ(ok.getX(), c.okX);
        EXPECT_EQ(ok.getY(), c.okY);
        EXPECT_TRUE(rectIs(ok.getRect(), c.dialogX + c.okX, c.dialogY + c.okY, c.dialogX + c.okX + c.okW,
                           c.dialogY + c.okY + c.okH));
        EXPECT_EQ(dialog.getFirstItem(), &ok);
        EXPECT_EQ(dialog.hasCancelButton(), c.cancel != nullptr);
        if (c.cancel) {
            EXPECT_STREQ(cancel.getName(), "Are you sure, cancel");
            EXPECT_EQ(cancel.getX(), c.cancelX);
            EXPECT_EQ(cancel.getY(), c.okY);
            EXPECT_EQ(cancel.getRect().x1 - cancel.getRect().x0, c.cancelW);
            EXPECT_EQ(ok.getNext(), &cancel);
            // Enter cancels.
            EXPECT_EQ(dialog.getDefaultItem(), &cancel);
        } else {
            EXPECT_EQ(ok.getNext(), nullptr);
            EXPECT_EQ(dialog.getDefaultItem(), &ok);
        }
        // It registers no class of its own.
        EXPECT_EQ(dialog.getClassInfo(), &VGDialog::s_classInfo);
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(MessageDialogTest, HoveredButtonsShowTheirHighlightedImageOrElseTheirNormalOne)
{
    struct Case
    {
        const char *what;
        const char *okHi, *cancelHi;
        bool onCancel;
        uint32_t hovered;
    };
    const Case cases[] = {
        {"OK with its highlighted image", "okHi.tga", "cancelHi.tga", false, kGreen},
        {"OK without a highlighted path: the normal image stands in", nullptr, "cancelHi.tga", false, kRed},
        {"OK whose highlighted image did not load keeps its normal one", "none.tga", "cancelHi.tga", false, kRed},
        {"cancel whose highlighted image did not load keeps its normal one", "okHi.tga", "none.tga", true, kRed},
    };
    // The screen pixel a colour of the pictures gives.
    auto shown = [&](uint32_t colour) -> uint16_t {
        writeImage("probe.tga", 1, 1, colour);
        VGSprite probe;
        EXPECT_TRUE(probe.load(display(), &files, "probe.tga"));
        const uint16_t pixel = probe.isLoaded() ? probe.getSurface()->getPixels()[0] : 0;
        probe.unload();
        return pixel;
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGMessageDialog dialog;
        ASSERT_EQ(dialog.layout(display(), &files, 0, 0, 0, "bg.tga", "ok.tga", c.okHi, "cancel.tga", c.cancelHi), 1);
        // OK at (55, 140), cancel at (165, 140), each with the 80 x 40 place
        // of its normal image.
        VGDialogItemButton &button = c.onCancel ? dialog.getCancelButton() : dialog.getOkButton();
        const int x = c.onCancel ? 205 : 95;
        EXPECT_TRUE(rectIs(button.getRect(), x - 40, 140, x + 40, 180));
        clearScreen();
        button.draw(display(), HRect(0, 0, 640, 480));
        EXPECT_EQ(screenAt(x, 160), shown(kRed)) << "not hovered";
        button.handleEvent(moveTo(x, 160));
        ASSERT_TRUE(button.isHovered());
        clearScreen();
        button.draw(display(), HRect(0, 0, 640, 480));
        EXPECT_EQ(screenAt(x, 160), shown(c.hovered)) << "hovered";
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(MessageDialogTest, ACancelImageThatDidNotLoadLeavesAnUndrawnCancelThatEnterStillTakes)
{
    VGMessageDialog dialog;
    ASSERT_EQ(dialog.layout(display(), &files, 0, 0, 0, "bg.tga", "ok.tga", "okHi.tga", "none.tga", nullptr), 1);
    VGDialogItemButton &ok = dialog.getOkButton();
    VGDialogItemButton &cancel = dialog.getCancelButton();
    ASSERT_TRUE(dialog.hasCancelButton());
    // OK keeps its place beside a cancel button; cancel has no size.
    EXPECT_TRUE(rectIs(ok.getRect(), 55, 140, 135, 180));
    EXPECT_EQ(cancel.getRect().x0, cancel.getRect().x1);
    EXPECT_EQ(dialog.getDefaultItem(), &cancel);
    clearScreen();
    clearDialogDirtyList();
    dialog.invalidate(dialog.getBounds());
    dialog.draw(display());
    for (int x : {170, 225, 260, 299})
        EXPECT_EQ(screenAt(x, 160), screenAt(10, 10)) << x << ": only the background there";
    EXPECT_TRUE(cancel.handleEvent(enterKey()));
    dialog.unloadImages();
    dialog.removeAllItems();
}

TEST_F(MessageDialogTest, CancelIsPlacedByItsNormalPictureOrElseItsHighlightedOne)
{
    writeImage("cancelHiWide.tga", 100, 40, kGreen);
    struct Case
    {
        const char *cancel;
        int32_t x; // three quarters of the room the measured picture leaves
    };
    // The 100-pixel highlighted picture sizes the button either way.
    for (const Case &c : {Case{"none.tga", 150}, Case{"cancel.tga", 165}}) {
        SCOPED_TRACE(c.cancel);
        VGMessageDialog dialog;
        ASSERT_EQ(dialog.layout(display(), &files, 0, 0, 0, "bg.tga", "ok.tga", "okHi.tga", c.cancel,
                                "cancelHiWide.tga"),
                  1);
        EXPECT_TRUE(rectIs(dialog.getCancelButton().getRect(), c.x, 140, c.x + 100, 180));
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(MessageDialogTest, AWaitingOkIsEnabledByTheTimeOutAndTheDialogStaysOpen)
{
    VGMessageDialog dialog;
    ASSERT_EQ(dialog.layout(display(), &files, 0, 0, 1, "bg.tga", "ok.tga", nullptr, nullptr, nullptr), 1);
    VGDialogItemButton &ok = dialog.getOkButton();
    EXPECT_FALSE(ok.isEnabled());
    // Not drawn while it waits: it has no disabled image.
    clearScreen();
    ok.draw(display(), HRect(0, 0, 640, 480));
    EXPECT_EQ(screenAt(150, 160), 0);

    clearDialogDirtyList();
    EXPECT_FALSE(dialog.onTimer());
    EXPECT_TRUE(ok.isEnabled());
    ASSERT_EQ(VGDialog::getDirtyRects().getCount(), 1);
    EXPECT_TRUE(rectIs(VGDialog::getDirtyRects().getRect(0), 110, 140, 190, 180));
    EXPECT_TRUE(dialog.onItemActivated(&ok));
    dialog.unloadImages();
    dialog.removeAllItems();
}

TEST_F(MessageDialogTest, LayoutFailsWithoutItsRequiredPictures)
{
    struct Case
    {
        const char *what;
        bool display, files;
        const char *background, *ok, *okHi, *cancel;
    };
    const Case cases[] = {
        {"no display", false, true, "bg.tga", "ok.tga", nullptr, nullptr},
        {"no file system", true, false, "bg.tga", "ok.tga", nullptr, nullptr},
        {"no OK path", true, true, "bg.tga", nullptr, nullptr, nullptr},
        {"no background path", true, true, nullptr, "ok.tga", nullptr, nullptr},
        {"missing background", true, true, "none.tga", "ok.tga", nullptr, nullptr},
        {"missing OK image", true, true, "bg.tga", "none.tga", "okHi.tga", "cancel.tga"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGMessageDialog dialog;
        EXPECT_EQ(dialog.layout(c.display ? display() : nullptr, c.files ? &files : nullptr, 0, 0, 0,
                                c.background, c.ok, c.okHi, c.cancel, nullptr),
                  0);
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(MessageDialogTest, RunnerAnswersOkCancelOrQuit)
{
    struct Case
    {
        const char *what;
        bool withCancel;
        int32_t timeout;
        std::vector<HEvent> events;
        int32_t expected;
    };
    // Centred: the dialog at (170, 140); OK at (225, 280, 305, 320) with a
    // cancel button at (335, 280, 415, 320), else at (280, 280, 360, 320).
    const Case cases[] = {
        {"click on OK", true, 0, {clickAt(260, 300)}, 1},
        {"click on cancel", true, 0, {clickAt(370, 300)}, 0},
        {"Enter cancels", true, 0, {enterKey()}, 0},
        {"Enter confirms OK alone", false, 0, {enterKey()}, 1},
        {"a press beside the buttons, then OK", false, 0, {clickAt(10, 10), clickAt(300, 300)}, 1},
        {"the window is closed", true, 0, {ofType(ET_QUIT)}, 2},
        {"a negative time-out keeps no OK waiting", false, -5, {enterKey()}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        post(c.events);
        game->getDirtyRects().clear();
        EXPECT_EQ(game->showMessageDialog(-1, -1, c.timeout, "bg.tga", "ok.tga", "okHi.tga",
                                          c.withCancel ? "cancel.tga" : nullptr, nullptr),
                  c.expected);
        // The screen is repainted after the dialog.
        const HDirtyRectList &dirty = game->getDirtyRects();
        ASSERT_EQ(dirty.getCount(), 1);
        EXPECT_TRUE(rectIs(dirty.getRect(0), 0, 0, 640, 480));
        drain();
    }
}

TEST_F(MessageDialogTest, RunnerWithATimeOutTakesOkOnlyOnceTheTimeHasRunOut)
{
    FakeClock::sleepStep = 10;
    const uint64_t start = FakeClock::now;
    game->setLastEventTime(start);
    int clickedAt = 0;
    // A click on OK and an Enter before the time has run out do nothing.
    post({clickAt(320, 300), enterKey()});
    game->onFrame = [&](int frame) {
        if (clickedAt == 0 && game->getLastEventTime() - start > 300) {
            clickedAt = frame;
            post(clickAt(320, 300));
        }
    };
    EXPECT_EQ(game->showMessageDialog(-1, -1, 300, "bg.tga", "ok.tga", nullptr, nullptr, nullptr), 1);
    EXPECT_GT(clickedAt, 25);
    EXPECT_EQ(game->frames, clickedAt + 1);
}

TEST_F(MessageDialogTest, RunnerAsksEvenWhenHighlightedOrCancelPicturesAreMissing)
{
    struct Case
    {
        const char *what;
        const char *okHi, *cancel, *cancelHi;
        HEvent answer;
        int32_t expected;
    };
    // Centred at (170, 140): OK at (225, 280, 305, 320).
    const Case cases[] = {
        {"highlighted pictures missing, OK clicked", "none.tga", "cancel.tga", "none.tga", clickAt(260, 300), 1},
        {"highlighted pictures missing, Enter cancels", "none.tga", "cancel.tga", "none.tga", enterKey(), 0},
        {"cancel picture missing, OK clicked", "okHi.tga", "none.tga", nullptr, clickAt(260, 300), 1},
        {"cancel picture missing, Enter cancels", "okHi.tga", "none.tga", nullptr, enterKey(), 0},
        {"both cancel pictures missing, Enter cancels", "okHi.tga", "none.tga", "none.tga", enterKey(), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        game->frames = 0;
        // The pointer first passes over OK, whose highlighted picture may
        // be missing.
        post({moveTo(260, 300), c.answer});
        EXPECT_EQ(game->showMessageDialog(-1, -1, 0, "bg.tga", "ok.tga", c.okHi, c.cancel, c.cancelHi), c.expected);
        EXPECT_GT(game->frames, 0) << "the dialog was shown";
        drain();
    }
}

TEST_F(MessageDialogTest, RunnerDoesNotShowADialogWithoutItsBackgroundOrOkPicture)
{
    struct Case
    {
        const char *what;
        const char *background, *ok;
    };
    for (const Case c : {Case{"background missing", "missing.tga", "ok.tga"},
                         Case{"OK picture missing", "bg.tga", "missing.tga"}}) {
        SCOPED_TRACE(c.what);
        game->frames = 0;
        post(enterKey());
        EXPECT_EQ(game->showMessageDialog(-1, -1, 0, c.background, c.ok, "okHi.tga", "cancel.tga", "cancelHi.tga"),
                  0);
        EXPECT_EQ(game->frames, 0);
        EXPECT_EQ(drain().size(), 1u) << "the Enter is left for the game";
    }
}

TEST_F(SlideShowTest, LayoutShowsTheFirstPageWithItsButtons)
{
    struct Case
    {
        std::vector<const char *> pages;
        bool nextEnabled;
    };
    for (const Case &c : {Case{{"page1.tga", "page2.tga"}, true}, Case{{"page1.tga"}, false}}) {
        SCOPED_TRACE(c.pages.size());
        VGSlideShowDialog dialog;
        ASSERT_EQ(layout(dialog, c.pages), 1);
        EXPECT_EQ(dialog.getPageCount(), static_cast<int32_t>(c.pages.size()));
        EXPECT_EQ(dialog.getCurrentPage(), 0);
        EXPECT_EQ(dialog.getBackground(), dialog.getPage(0));
        EXPECT_TRUE(rectIs(dialog.getBounds(), 50, 40, 450, 340));
        // Page 400 x 300: close at (100, 275), previous at (266, 270), next
        // two previous-widths further.
        EXPECT_TRUE(rectIs(dialog.getCloseButton().getRect(), 150, 315, 210, 335));
        EXPECT_TRUE(rectIs(dialog.getPreviousButton().getRect(), 316, 310, 346, 330));
        EXPECT_TRUE(rectIs(dialog.getNextButton().getRect(), 376, 310, 406, 330));
        EXPECT_FALSE(dialog.getPreviousButton().isEnabled());
        EXPECT_EQ(dialog.getNextButton().isEnabled(), c.nextEnabled);
        EXPECT_EQ(dialog.getDefaultItem(), &dialog.getCloseButton());
        EXPECT_EQ(dialog.getFocusedItem(), &dialog.getNextButton());
        EXPECT_EQ(dialog.getClassInfo(), &VGDialog::s_classInfo);
        dialog.destroyPages();
        EXPECT_EQ(dialog.getBackground(), nullptr);
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(SlideShowTest, LayoutNeedsItsPathsItsFirstPageAndItsClosePicture)
{
    struct Case
    {
        const char *what;
        std::vector<const char *> pages;
        const char *close, *closeHi, *next;
        int32_t expected;
    };
    const Case cases[] = {
        {"no pages", {}, "close.tga", "closeHi.tga", "next.tga", 0},
        {"a null path", {"page1.tga"}, "close.tga", nullptr, "next.tga", 0},
        {"first page missing", {"missing.tga", "page1.tga"}, "close.tga", "closeHi.tga", "next.tga", 0},
        {"close picture missing", {"page1.tga", "page2.tga"}, "missing.tga", "closeHi.tga", "next.tga", 0},
        // What did not load is simply not drawn.
        {"a later page missing", {"page1.tga", "missing.tga"}, "close.tga", "closeHi.tga", "next.tga", 1},
        {"close highlighted picture missing", {"page1.tga"}, "close.tga", "missing.tga", "next.tga", 1},
        {"next picture missing", {"page1.tga", "page2.tga"}, "close.tga", "closeHi.tga", "missing.tga", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGSlideShowDialog dialog;
        EXPECT_EQ(dialog.layout(0, 0, display(), &files, c.close, c.closeHi, c.next, "nextHi.tga", "prev.tga",
                                "prevHi.tga", c.pages.data(), static_cast<int32_t>(c.pages.size())),
                  c.expected);
        if (c.close && c.closeHi && !c.pages.empty()) {
            EXPECT_EQ(dialog.getPageCount(), static_cast<int32_t>(c.pages.size()))
                << "the pages made are kept for destroyPages";
        }
        dialog.destroyPages();
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(SlideShowTest, PreviousAndNextArePlacedByPicturesThatLoaded)
{
    struct Case
    {
        const char *what;
        const char *next, *previous;
    };
    // Wherever a normal picture is missing, the buttons keep the places of
    // the full set: previous at (316, 310), next two previous-widths on
    // (however wide next itself is).
    writeImage("nextWide.tga", 50, 20);
    for (const Case &c : {Case{"previous picture missing", "next.tga", "missing.tga"},
                          Case{"next picture missing", "missing.tga", "prev.tga"},
                          Case{"next wider than previous", "nextWide.tga", "prev.tga"}}) {
        SCOPED_TRACE(c.what);
        VGSlideShowDialog dialog;
        const std::vector<const char *> pages = {"page1.tga", "page2.tga"};
        ASSERT_EQ(dialog.layout(50, 40, display(), &files, "close.tga", "closeHi.tga", c.next, "nextHi.tga",
                                c.previous, "prevHi.tga", pages.data(), 2),
                  1);
        EXPECT_TRUE(rectIs(dialog.getPreviousButton().getRect(), 316, 310, 346, 330));
        EXPECT_TRUE(rectIs(dialog.getNextButton().getRect(), 376, 310, 406, 330));
        dialog.destroyPages();
        dialog.unloadImages();
        dialog.removeAllItems();
    }
}

TEST_F(SlideShowTest, PagingWithPreviousAndNextAndEnterCloses)
{
    VGSlideShowDialog dialog;
    ASSERT_EQ(layout(dialog, {"page1.tga", "page2.tga", "page3.tga"}), 1);
    VGDialogItemButton &next = dialog.getNextButton();
    VGDialogItemButton &previous = dialog.getPreviousButton();
    const HEvent onNext = clickOn(next);
    const HEvent onPrevious = clickOn(previous);

    struct Step
    {
        const char *what;
        HEvent event;
        int page;
        bool nextEnabled, previousEnabled;
        int boundsWidth;
    };
    // The buttons stay where page 1 put them; the bounds follow each page.
    const Step steps[] = {
        {"previous is disabled on the first page", onPrevious, 0, true, false, 400},
        {"next", onNext, 1, true, true, 200},
        {"next to the last page", onNext, 2, false, true, 400},
        {"next is disabled on the last page", onNext, 2, false, true, 400},
        {"a quit is swallowed", ofType(ET_QUIT), 2, false, true, 400},
        {"previous", onPrevious, 1, true, true, 200},
        {"previous to the first page", onPrevious, 0, true, false, 400},
    };
    size_t step = 0;
    post(steps[0].event);
    game->onFrame = [&](int) {
        if (step >= sizeof steps / sizeof steps[0])
            return;
        const Step &s = steps[step];
        SCOPED_TRACE(s.what);
        EXPECT_EQ(dialog.getCurrentPage(), s.page);
        EXPECT_EQ(next.isEnabled(), s.nextEnabled);
        EXPECT_EQ(previous.isEnabled(), s.previousEnabled);
        EXPECT_EQ(dialog.getBackground(), dialog.getPage(s.page));
        EXPECT_EQ(dialog.getBounds().x1 - dialog.getBounds().x0, s.boundsWidth);
        ++step;
        post(step < sizeof steps / sizeof steps[0] ? steps[step].event : enterKey());
    };
    EXPECT_EQ(runModal(dialog), &dialog.getCloseButton());
    EXPECT_EQ(step, sizeof steps / sizeof steps[0]);
    dialog.destroyPages();
    dialog.unloadImages();
    dialog.removeAllItems();
}

TEST_F(SlideShowTest, RunnerAnswersOneAndCannotBeQuit)
{
    // The quit is lost; only Enter (or the close button) ends the show.
    post({ofType(ET_QUIT), clickAt(390, 320)});
    game->onFrame = [&](int frame) {
        if (frame == 5)
            post(enterKey());
    };
    EXPECT_EQ(runShow({"page1.tga", "page2.tga"}), 1);
    EXPECT_EQ(game->frames, 6);
    EXPECT_EQ(VGDialog::getOpenDialogCount(), 0);

    // Closing with the close button, on a one-page show.
    game->frames = 0;
    game->onFrame = nullptr;
    post(clickAt(180, 325));
    EXPECT_EQ(runShow({"page1.tga"}), 1);
    EXPECT_EQ(game->frames, 1);
}

TEST_F(SlideShowTest, RunnerShowsWhatLoadedButNotAShowWithoutItsFirstPage)
{
    struct Case
    {
        std::vector<const char *> pages;
        bool shown;
    };
    for (const Case &c : {Case{{"missing.tga", "page1.tga"}, false}, Case{{"page1.tga", "missing.tga"}, true}}) {
        SCOPED_TRACE(c.pages[0]);
        game->frames = 0;
        post(enterKey());
        EXPECT_EQ(runShow(c.pages), 1);
        EXPECT_EQ(game->frames > 0, c.shown);
        const std::vector<HEvent> left = drain();
        if (!c.shown) {
            EXPECT_EQ(left.size(), 1u) << "the Enter is left for the game";
        }
    }
}
