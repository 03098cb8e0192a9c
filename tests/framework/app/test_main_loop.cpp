// The main loop, window events, dirty rectangles, the pause clock, the
// cursor and the devices, in process over SDL's dummy drivers with a clock
// the tests control.
#include <gtest/gtest.h>

#include <SDL/SDL.h>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/core/HRNG.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HImage.h"
#include "engine/media/HInputDevice.h"
#include "support/test_support.h"
#include "framework/framework_test_support.h"

using namespace tilmar_test;

namespace {

class LoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeClock::now = 5000;
        FakeClock::sleepStep = 1;
        HEventQueue::setTimeFunctions(&FakeClock::read, &FakeClock::sleep);
        ASSERT_TRUE(game.setUpInProcess());
    }
    void TearDown() override
    {
        game.tearDownInProcess();
        HEventQueue::setTimeFunctions(nullptr, nullptr);
    }

    // Ends the loop at the n-th timestamp the game receives.
    void endAtTimestamp(int n, std::function<void(int)> onTimestamp = nullptr)
    {
        auto count = std::make_shared<int>(0);
        game.script = [=](const HEvent &e) {
            if (e.type != ET_TIMESTAMP)
                return 0;
            ++*count;
            if (onTimestamp)
                onTimestamp(*count);
            return *count >= n ? 1 : 0;
        };
    }
    std::vector<HEventType> typesSeen() const
    {
        std::vector<HEventType> types;
        for (const HEvent &e : game.events)
            types.push_back(e.type);
        return types;
    }

    TestGame game;
    const HRect fullScreen{0, 0, 640, 480};
};

bool sameRect(const HRect &a, const HRect &b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

TEST_F(LoopTest, RandomNumbersAreSeededOnceFromTheFirstNonZeroEventTime)
{
    FakeClock::now = 0;
    game.post(ET_KEYDOWN, 0, KC_A);
    FakeClock::now = 1234;
    game.post(ET_KEYDOWN, 0, KC_B);
    FakeClock::now = 99;
    game.post(ET_KEYDOWN, 0, KC_C);
    game.script = [](const HEvent &e) { return e.keyCode == KC_C ? 1 : 0; };
    game.run();
    ASSERT_TRUE(game.m_bRngSeeded);
    HMersenneTwisterRNG expected;
    expected.seed(1234);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(game.getRNG().nextInt(100000), expected.nextInt(100000));
}

TEST_F(LoopTest, AnswerOneEndsTheLoopBeforeFurtherEventsAndFrames)
{
    game.post(ET_KEYDOWN, 0, KC_A);
    game.post(ET_KEYDOWN, 0, KC_B);
    game.script = [](const HEvent &) { return 1; };
    EXPECT_EQ(game.run(), 1);
    EXPECT_EQ(game.events.size(), 1u);
    EXPECT_TRUE(game.drawn.empty());
}

TEST_F(LoopTest, OtherNonZeroAnswerEndsTheLoopWhenTheQueueRunsEmpty)
{
    // Only the answer for the last event handled counts: 2 then 0 goes on,
    // 0 then 2 ends the loop once the queue is empty, before a frame.
    game.post(ET_KEYDOWN, 0, KC_A);
    game.post(ET_KEYDOWN, 0, KC_B);
    game.script = [](const HEvent &e) { return e.keyCode == KC_B ? 2 : 0; };
    EXPECT_EQ(game.run(), 1);
    EXPECT_EQ(game.events.size(), 2u);
    EXPECT_TRUE(game.drawn.empty());
}

TEST_F(LoopTest, ZeroForTheLastEventKeepsTheLoopGoing)
{
    game.post(ET_KEYDOWN, 0, KC_A);
    game.post(ET_KEYDOWN, 0, KC_B);
    game.script = [](const HEvent &e) { return e.keyCode == KC_A ? 2 : e.type == ET_TIMESTAMP ? 1 : 0; };
    EXPECT_EQ(game.run(), 1);
    EXPECT_EQ(game.events.size(), 3u);
    EXPECT_EQ(game.drawn.size(), 1u);
}

TEST_F(LoopTest, TimestampArrivesInThePassAfterTheFrame)
{
    game.post(ET_KEYDOWN, 0, KC_A);
    endAtTimestamp(1);
    game.run();
    EXPECT_EQ(typesSeen(), (std::vector<HEventType>{ET_KEYDOWN, ET_TIMESTAMP}));
    // The first frame, drawn before the timestamp, is the whole screen.
    ASSERT_EQ(game.drawn.size(), 1u);
    EXPECT_TRUE(sameRect(game.drawn[0], fullScreen));
    EXPECT_FALSE(game.lastModal);
    EXPECT_EQ(game.getDirtyRects().getCount(), 0);
}

TEST_F(LoopTest, WindowEventsAreTheFrameworksButStillReachTheGame)
{
    // Paint, activation and minimising are handled by the framework and,
    // with no control consuming them, offered to the game too.
    game.post(ET_PAINT);
    game.post(ET_ACTIVATE, 1);
    endAtTimestamp(1);
    game.run();
    EXPECT_EQ(typesSeen(), (std::vector<HEventType>{ET_PAINT, ET_ACTIVATE, ET_TIMESTAMP}));
    EXPECT_TRUE(game.m_bActive);
}

TEST_F(LoopTest, WhileMinimisedNothingIsDrawnOrPresented)
{
    game.post(ET_WINDOW_MINIMIZED, 1);
    endAtTimestamp(4, [&](int n) {
        if (n == 2)
            game.post(ET_PAINT);
    });
    game.run();
    EXPECT_TRUE(game.m_bMinimized);
    EXPECT_TRUE(game.drawn.empty());
    EXPECT_EQ(game.getDisplayDevice()->getPresentedPixels(), 0);

    // Restored, the pending repaint is drawn.
    game.events.clear();
    game.post(ET_WINDOW_MINIMIZED, 0);
    game.post(ET_PAINT);
    endAtTimestamp(1);
    game.run();
    EXPECT_FALSE(game.m_bMinimized);
    ASSERT_FALSE(game.drawn.empty());
    EXPECT_TRUE(sameRect(game.drawn[0], fullScreen));
}

TEST_F(LoopTest, DeactivationRepaintsTheWholeScreenActivationDoesNot)
{
    endAtTimestamp(3, [&](int n) {
        if (n == 1)
            game.post(ET_ACTIVATE, 1);
        if (n == 2)
            game.post(ET_ACTIVATE, 0);
    });
    game.run();
    // The first frame, then only the repaint the deactivation asked for.
    ASSERT_EQ(game.drawn.size(), 2u);
    EXPECT_TRUE(sameRect(game.drawn[1], fullScreen));
    EXPECT_FALSE(game.m_bActive);
}

TEST_F(LoopTest, DirtyRectanglesAreClampedToTheScreen)
{
    struct Case
    {
        HRect in;
        HRect out;
    } cases[] = {
        {{-10, -10, 20, 30}, {0, 0, 20, 30}},
        {{600, 400, 700, 500}, {600, 400, 640, 480}},
        {{100, 100, 50, 60}, {50, 60, 100, 100}}, // corners normalised by the list
    };
    for (const Case &c : cases) {
        game.getDirtyRects().clear();
        game.m_addDirtyRect(c.in);
        ASSERT_EQ(game.getDirtyRects().getCount(), 1);
        EXPECT_TRUE(sameRect(game.getDirtyRects().getRect(0), c.out));
    }
    // Wholly off screen leaves nothing to draw.
    game.getDirtyRects().clear();
    game.m_addDirtyRect(HRect(-50, -50, -10, -10));
    EXPECT_EQ(game.getDirtyRects().getCount(), 0);
}

TEST_F(LoopTest, JournalReplayedAsDemoDeliversTheSameRecords)
{
    TempDir dir;
    HStandardFileSystem files;
    files.mount(dir.path().c_str());
    HFile *journal = files.openFileForWrite("journal.bin");
    ASSERT_NE(journal, nullptr);
    game.getEventQueue().setJournalFile(journal);
    game.post(ET_KEYDOWN, 0, KC_LBUTTON, 100, 120);
    FakeClock::now += 7;
    game.post(ET_MOUSEMOVE, 0, 0, 130, 140);
    game.post(ET_KEYUP, 0, KC_LBUTTON, 130, 140);
    endAtTimestamp(3);
    game.run();
    game.getEventQueue().clearJournalFile();
    journal->close();
    const std::vector<HEvent> recorded = game.events;

    // SDL has one screen: the replay runs without a display of its own.
    TestGame replay;
    replay.m_cvarManager.initCvarManager();
    HFile *demo = files.openFileForRead("journal.bin");
    ASSERT_NE(demo, nullptr);
    replay.getEventQueue().setDemoFile(demo);
    size_t seen = 0;
    replay.script = [&](const HEvent &) { return ++seen == recorded.size() ? 1 : 0; };
    FakeClock::now += 100000; // live time differs; recorded times must not
    replay.run();
    ASSERT_EQ(replay.events.size(), recorded.size());
    for (size_t i = 0; i < recorded.size(); ++i)
        EXPECT_EQ(std::memcmp(&replay.events[i], &recorded[i], sizeof(HEvent)), 0) << "record " << i;
    replay.m_destroyDevices();
    replay.shutdown();
    files.shutdown();
}

// ---- pause clock ----

TEST_F(LoopTest, PauseClockCountsEventTimeAndNests)
{
    struct Step
    {
        char op;       // b begin, e end, t set the last event time
        uint64_t time; // for t
        int32_t count;
        uint64_t paused; // getPausedTime after the step
    } steps[] = {
        {'e', 0, 0, 0},      // an end without a begin adds nothing
        {'t', 1000, 0, 0},   {'b', 0, 1, 0},      {'t', 1500, 1, 500}, // the running pause counts
        {'b', 0, 2, 500},    {'t', 1800, 2, 800}, {'e', 0, 1, 800},    // still paused
        {'t', 2000, 1, 1000}, {'e', 0, 0, 1000},  {'t', 9000, 0, 1000}, {'e', 0, 0, 1000},
        {'t', 10000, 0, 1000}, {'b', 0, 1, 1000}, {'t', 10250, 1, 1250}, {'e', 0, 0, 1250},
    };
    for (const Step &s : steps) {
        if (s.op == 'b')
            game.m_beginPause();
        else if (s.op == 'e')
            game.m_endPause();
        else
            game.setLastEventTime(s.time);
        EXPECT_EQ(game.getPauseCount(), s.count);
        EXPECT_EQ(game.isPaused(), s.count > 0);
        EXPECT_EQ(game.getPausedTime(), s.paused);
    }
    game.resetPausedTime();
    EXPECT_EQ(game.getPausedTime(), 0u);
}

// ---- cursor ----

TEST_F(LoopTest, SpriteCursorOptionWithoutASpriteKeepsTheSystemCursor)
{
    game.getCvarManager().setVariableString("vg_spriteCursor", "1");
    SDL_ShowCursor(SDL_ENABLE);
    game.post(ET_MOUSEMOVE, 0, 0, 50, 60);
    endAtTimestamp(1);
    game.run();
    game.setCursorVisible(false);
    game.invalidateCursor();
    game.showSystemCursor(false);
    game.drawCursorInRect(fullScreen);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(LoopTest, SpriteCursorIsDrawnInsideAndTheSystemCursorShownOutside)
{
    VGSprite *cursor = solidSprite(game.getDisplayDevice(), 8, 8, 0xFFFFFFFF);
    game.cursor = cursor;
    game.getCvarManager().setVariableString("vg_spriteCursor", "1");
    game.post(ET_MOUSEMOVE, 0, 0, 200, 100);
    endAtTimestamp(1);
    game.run();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(game.m_cursorDrawX, 200);
    EXPECT_EQ(game.m_cursorDrawY, 100);
    EXPECT_EQ(screenPixel(game.getDisplayDevice(), 203, 100), 0xFFFF);

    // The move asks for the old and new cursor places to be redrawn.
    game.events.clear();
    game.post(ET_MOUSEMOVE, 0, 0, 300, 150);
    HEvent moved;
    ASSERT_TRUE(game.getEventQueue().getEvent(moved, false));
    game.getDirtyRects().clear();
    game.m_handleSystemEvent(moved);
    ASSERT_EQ(game.getDirtyRects().getCount(), 1);
    EXPECT_TRUE(sameRect(game.getDirtyRects().getRect(0), HRect(200, 100, 300, 150)));

    game.post(ET_MOUSEMOVE, 0, 0, -5, 20);
    endAtTimestamp(1);
    game.run();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    game.cursor = nullptr;
    cursor->unload();
    delete cursor;
}

// ---- devices ----

TEST_F(LoopTest, RestartedInputDeviceIsPolledOnce)
{
    ASSERT_TRUE(game.m_createInputDevice());
    game.m_destroyInputDevice();
    ASSERT_TRUE(game.m_createInputDevice());
    EXPECT_EQ(game.getEventQueue().getEventSourceCount(), 1);
    EXPECT_TRUE(game.getEventQueue().hasEventSource(game.m_pInputDevice->getEventSource()));
}

TEST_F(LoopTest, ActivationWithoutDevicesIsSafe)
{
    game.m_destroyDisplayDevice();
    game.m_destroyInputDevice();
    for (int32_t param : {1, 0}) {
        HEvent e;
        e.type = ET_ACTIVATE;
        e.param = param;
        EXPECT_FALSE(game.m_handleSystemEvent(e));
        EXPECT_EQ(game.m_bActive, param != 0);
    }
    game.m_draw(false);
    game.m_flip();
    EXPECT_TRUE(game.drawn.empty());
}

TEST_F(LoopTest, ExhaustedDemoIsNotClosedTwice)
{
    TempDir dir;
    HEvent record;
    record.type = ET_KEYDOWN;
    record.keyCode = KC_A;
    writeFile(dir / "demo.bin", std::string(reinterpret_cast<const char *>(&record), sizeof record));
    HStandardFileSystem *files = new HStandardFileSystem();
    files->mount(dir.path().c_str());
    HFile *demo = files->openFileForRead("demo.bin");
    ASSERT_NE(demo, nullptr);
    game.m_pDemoFile = demo;
    game.m_pDemoFileSystem = files; // the game deletes it
    game.getEventQueue().setDemoFile(demo);
    endAtTimestamp(1);
    game.run();
    EXPECT_EQ(game.getEventQueue().getDemoFile(), nullptr);
    game.m_destroyDevices();
    EXPECT_EQ(game.m_pDemoFile, nullptr);
    EXPECT_EQ(game.m_pDemoFileSystem, nullptr);
    EXPECT_EQ(typesSeen(), (std::vector<HEventType>{ET_KEYDOWN, ET_TIMESTAMP}));
}

} // namespace
