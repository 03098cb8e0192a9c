// The dialogs' test bench: a small application over the dummy video driver
// with a clock the test owns, pictures written as TGA files into a scratch
// directory mounted as the resource file system, and events posted to the
// game's own queue for doModal to take.
#ifndef TESTS_FRAMEWORK_DIALOGS_DIALOG_FIXTURE_H
#define TESTS_FRAMEWORK_DIALOGS_DIALOG_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"
#include "framework/HPuzzleGame.h"
#include "framework/VGDialog.h"
#include "framework/VGDialogItem.h"
#include "framework/VGSprite.h"
#include "framework/framework_test_support.h"
#include "support/test_support.h"

namespace dialog_test {

// The application under the dialogs. Every drawing pass of a modal loop
// ends in onFrameDrawn, where a test may act between passes; a loop that
// runs away is ended after kMaxFrames passes.
class DialogGame : public ::TestGame
{
public:
    static constexpr int kMaxFrames = 20000;

    explicit DialogGame(HFileSystem *files)
    {
        m_pDisplayDevice = HSDL2DDisplayDevice::create(640, 480, "t", 0, 0, nullptr);
        m_pResourceFileSystem = files;
    }
    ~DialogGame() override
    {
        // What the application's shutdown would do for the parts used here.
        getUIManager().deleteAllControls();
        H2DDisplayDevice::destroy(m_pDisplayDevice);
        m_pDisplayDevice = nullptr;
        m_pResourceFileSystem = nullptr;
    }

    void drawRect(const HRect &rect, bool modal) override
    {
        drawnRects.push_back(rect);
        allModal = allModal && modal;
    }
    void onFrameDrawn() override
    {
        ++frames;
        if (onFrame)
            onFrame(frames);
        if (frames == kMaxFrames) {
            // A quit ends most dialogs; Enter the slide show that swallows it.
            runaway = true;
            HEvent quit;
            quit.type = ET_QUIT;
            getEventQueue().postEvent(quit);
            HEvent enter;
            enter.type = ET_KEYDOWN;
            enter.keyCode = KC_RETURN;
            enter.character = 13;
            getEventQueue().postEvent(enter);
        }
    }
    bool usesSpriteCursor() override { return cursorSprite != nullptr; }
    VGSprite *getCursorSprite() override { return cursorSprite; }

    int frames = 0;
    bool runaway = false;
    bool allModal = true;
    std::vector<HRect> drawnRects;
    std::function<void(int)> onFrame;
    VGSprite *cursorSprite = nullptr;
};

::testing::AssertionResult rectIs(const HRect &r, int x0, int y0, int x1, int y1);
// Whether one rectangle of the list contains the given one.
bool covers(const HDirtyRectList &list, const HRect &rect);
// The dialogs' dirty list, emptied as constructing a dialog does.
void clearDialogDirtyList();

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    HEventQueue &queue() { return game->getEventQueue(); }
    H2DDisplayDevice *display() { return game->getDisplayDevice(); }
    void post(const HEvent &event) { ASSERT_TRUE(queue().postEvent(event)); }
    void post(const std::vector<HEvent> &events)
    {
        for (const HEvent &e : events)
            post(e);
    }
    // Takes what is queued (without the queue's own timestamps).
    std::vector<HEvent> drain();
    // Writes a picture into the resource directory.
    void writeImage(const std::string &name, int width, int height, uint32_t rgba = 0xFF0000FF);
    // Writes and loads a picture; the fixture unloads it at the end.
    VGSprite *image(const std::string &name, int width, int height, uint32_t rgba = 0xFF0000FF);
    VGDialogItem *runModal(VGDialog &dialog, int32_t timeout = 0)
    {
        return dialog.doModal(game, display(), &queue(), timeout, game);
    }
    uint16_t screenAt(int x, int y) const;
    void clearScreen();

    tilmar_test::TempDir dir;
    HStandardFileSystem files;
    DialogGame *game = nullptr;
    std::vector<VGSprite *> sprites;
};

// A dialog that closes on activation and records what it is asked.
class ClosingDialog : public VGDialog
{
public:
    bool onItemActivated(VGDialogItem *item) override
    {
        activated.push_back(item);
        return closeOnActivation;
    }
    bool onTimer() override
    {
        ++timerCalls;
        return timerCalls == closeOnTimerCall;
    }

    bool closeOnActivation = true;
    int timerCalls = 0;
    int closeOnTimerCall = -1;
    std::vector<VGDialogItem *> activated;
};

} // namespace dialog_test

#endif
