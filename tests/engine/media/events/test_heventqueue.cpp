// The event queue: stamping, dropping repeats, the full ring, polling its
// sources, the empty-queue timestamp, and journal and demo files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/media/HEventQueue.h"
#include "engine/media/HEventSource.h"
#include "engine/media/HInputDevice.h"
#include "support/test_support.h"

using tilmar_test::TempDir;

namespace {

// The queue's clock and sleep, under the tests' control; each test starts
// later than the one before.
uint64_t s_now = 1000;
std::vector<uint32_t> s_sleeps;

VyTime &fakeTicks(VyTime &t)
{
    t = VyTime::fromTime64(s_now);
    return t;
}

void fakeSleep(uint32_t milliseconds)
{
    s_sleeps.push_back(milliseconds);
    s_now += milliseconds;
}

// Pointer moves are dropped when they repeat the last one posted by any
// queue, so every test takes positions of its own.
int32_t s_nextPosition = 10000;

HEvent makeEvent(HEventType type, int32_t keyCode = 0, int32_t x = 0, int32_t y = 0)
{
    HEvent e;
    e.type = type;
    e.keyCode = keyCode;
    e.x = x;
    e.y = y;
    return e;
}

bool sameBytes(const HEvent &a, const HEvent &b)
{
    return memcmp(&a, &b, sizeof(HEvent)) == 0;
}

// A source that posts what it is given when polled and records the order
// in which sources were polled.
class ScriptedSource : public HEventSource
{
public:
    ScriptedSource(int id, std::vector<int> &log) : m_id(id), m_log(log) {}
    void poll(HEventQueue *queue) override
    {
        m_log.push_back(m_id);
        for (const HEvent &e : pending)
            queue->postEvent(e);
        pending.clear();
    }
    std::vector<HEvent> pending;

private:
    int m_id;
    std::vector<int> &m_log;
};

class EventQueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HEventQueue::setTimeFunctions(&fakeTicks, &fakeSleep);
        s_now += 1000;
        s_sleeps.clear();
    }
    void TearDown() override { HEventQueue::setTimeFunctions(nullptr, nullptr); }

    int32_t freshPosition() { return ++s_nextPosition; }

    // Every event the queue delivers until it first reports none.
    std::vector<HEvent> drain()
    {
        std::vector<HEvent> events;
        HEvent e;
        while (queue.getEvent(e, false))
            events.push_back(e);
        return events;
    }

    HEventQueue queue;
};

TEST_F(EventQueueTest, StampsEachEventWithThePostingTimeAndDeliversInOrder)
{
    HEvent first = makeEvent(ET_KEYDOWN, KC_A, 1, 2);
    first.time = VyTime(5, 5);  // the caller's time does not survive
    first.character = 'a';
    first.modifiers = MOD_SHIFT;
    ASSERT_TRUE(queue.postEvent(first));
    const uint64_t firstTime = s_now;
    s_now += 40;
    ASSERT_TRUE(queue.postEvent(makeEvent(ET_KEYUP, KC_A, 3, 4)));

    HEvent out;
    ASSERT_TRUE(queue.getEvent(out, false));
    HEvent expected = first;
    expected.time = VyTime::fromTime64(firstTime);
    EXPECT_TRUE(sameBytes(out, expected));

    ASSERT_TRUE(queue.getEvent(out, true));
    EXPECT_EQ(out.type, ET_KEYUP);
    EXPECT_EQ(out.time.getTime64(), firstTime + 40);
    EXPECT_TRUE(s_sleeps.empty());
}

TEST_F(EventQueueTest, AClockThatStepsBackIsFollowedOnFromItsLastReading)
{
    // SDL's 32-bit millisecond count wraps after 49.7 days: live time goes
    // on from the reading before the wrap, neither back nor stopped there.
    const uint64_t testStart = s_now;
    const uint64_t beforeWrap = 0xFFFFFFF0u;
    s_now = beforeWrap;
    ASSERT_TRUE(queue.postEvent(makeEvent(ET_COMMAND)));
    std::vector<uint64_t> times;
    for (uint64_t ticks : {5u, 105u, 205u}) {
        s_now = ticks;
        ASSERT_TRUE(queue.postEvent(makeEvent(ET_COMMAND)));
    }
    HEvent out;
    while (queue.getEvent(out, false))
        times.push_back(out.time.getTime64());
    EXPECT_EQ(times, (std::vector<uint64_t>{beforeWrap, beforeWrap, beforeWrap + 100, beforeWrap + 200}));

    // The idle queue's timestamp, posted after its 1 ms sleep, goes on
    // from there too.
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_TIMESTAMP);
    EXPECT_EQ(out.time.getTime64(), beforeWrap + 201);

    // Later tests read the clock they expect.
    s_now = testStart;
}

TEST_F(EventQueueTest, DropsRepeatedTimestampsWithinOneMillisecond)
{
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_TIMESTAMP)));
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_TIMESTAMP)));  // answers true, queues nothing
    s_now += 1;
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_TIMESTAMP)));

    const std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].time.getTime64() + 1, events[1].time.getTime64());
}

TEST_F(EventQueueTest, DropsAPointerMoveToThePositionOfTheLastMove)
{
    const int32_t a = freshPosition();
    const int32_t b = freshPosition();
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_MOUSEMOVE, 0, a, a)));
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_MOUSEMOVE, 0, a, a)));
    // Only x or only y differing is a real move.
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_MOUSEMOVE, 0, a, b)));
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_MOUSEMOVE, 0, b, b)));
    // Other events in between do not count as moves.
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_KEYDOWN, KC_LBUTTON, a, a)));
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_MOUSEMOVE, 0, b, b)));
    EXPECT_TRUE(queue.postEvent(makeEvent(ET_MOUSEMOVE, 0, a, a)));

    std::vector<std::pair<int32_t, int32_t>> moves;
    for (const HEvent &e : drain()) {
        if (e.type == ET_MOUSEMOVE)
            moves.emplace_back(e.x, e.y);
    }
    const std::vector<std::pair<int32_t, int32_t>> expected = {{a, a}, {a, b}, {b, b}, {a, a}};
    EXPECT_EQ(moves, expected);
}

TEST_F(EventQueueTest, FullRingRefusesTheEventAndKeepsTheOthers)
{
    TempDir dir;
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    HFile *journal = fs.openFileForWrite("journal.bin");
    ASSERT_NE(journal, nullptr);
    queue.setJournalFile(journal);

    // Go round the ring a few times first so the indices wrap.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(queue.postEvent(makeEvent(ET_KEYDOWN, i)));
        ASSERT_EQ(drain().size(), 50u);
        s_now += 1;  // a new millisecond for drain's timestamp
        HEvent stamp;
        ASSERT_TRUE(queue.getEvent(stamp, false));
        ASSERT_EQ(stamp.type, ET_TIMESTAMP);
    }

    for (int i = 0; i < kEventQueueSize - 1; ++i)
        ASSERT_TRUE(queue.postEvent(makeEvent(ET_KEYDOWN, 1000 + i))) << i;
    EXPECT_FALSE(queue.postEvent(makeEvent(ET_KEYUP, 5000)));
    EXPECT_FALSE(queue.postEvent(makeEvent(ET_QUIT)));

    HEvent out;
    for (int i = 0; i < kEventQueueSize - 1; ++i) {
        ASSERT_TRUE(queue.getEvent(out, false)) << i;
        EXPECT_EQ(out.type, ET_KEYDOWN);
        EXPECT_EQ(out.keyCode, 1000 + i);
    }
    EXPECT_FALSE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_NONE);

    // Refused events never reach the journal.
    queue.clearJournalFile();
    journal->close();
    const std::string bytes = tilmar_test::readFile(dir / "journal.bin");
    const size_t accepted = 3 * 51 + (kEventQueueSize - 1) + 1;  // + the last timestamp
    ASSERT_EQ(bytes.size(), accepted * sizeof(HEvent));
    for (size_t i = 0; i < accepted; ++i) {
        HEvent e;
        memcpy(&e, bytes.data() + i * sizeof(HEvent), sizeof e);
        EXPECT_NE(e.keyCode, 5000);
        EXPECT_NE(e.type, ET_QUIT);
    }
}

TEST_F(EventQueueTest, EmptyQueuePollsEverySourceInOrderBeforeGivingUp)
{
    std::vector<int> polled;
    ScriptedSource first(1, polled);
    ScriptedSource second(2, polled);
    queue.addEventSource(&first);
    queue.addEventSource(&second);

    second.pending.push_back(makeEvent(ET_PAINT));
    HEvent out;
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_PAINT);
    EXPECT_EQ(polled, (std::vector<int>{1, 2}));

    // Nothing anywhere: no event now, a timestamp on the next call, and the
    // sources are polled each time the ring is empty.
    polled.clear();
    s_now += 10;
    EXPECT_FALSE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_NONE);
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_TIMESTAMP);
    EXPECT_EQ(out.time.getTime64(), s_now);
    EXPECT_EQ(polled, (std::vector<int>{1, 2}));
    // The queue only forgets its sources; they outlive it here on the stack.
}

TEST_F(EventQueueTest, EmptyQueueSleepsOnlyWhenAskedOrWhenNoTimeHasPassed)
{
    struct Case
    {
        const char *label;
        uint64_t elapsed;  // since the last delivered event
        bool wait;
        size_t sleeps;
    };
    const Case cases[] = {
        {"time passed, no wait", 3, false, 0},
        {"no time passed, no wait", 0, false, 1},
        {"time passed, wait", 3, true, 1},
        {"no time passed, wait", 0, true, 1},
    };
    for (const Case &c : cases) {
        s_now += 100;
        ASSERT_TRUE(queue.postEvent(makeEvent(ET_COMMAND)));
        HEvent out;
        ASSERT_TRUE(queue.getEvent(out, false));

        s_now += c.elapsed;
        s_sleeps.clear();
        EXPECT_FALSE(queue.getEvent(out, c.wait)) << c.label;
        EXPECT_EQ(s_sleeps.size(), c.sleeps) << c.label;
        if (!s_sleeps.empty()) {
            EXPECT_EQ(s_sleeps[0], 1u) << c.label;
        }
        ASSERT_TRUE(queue.getEvent(out, false));  // the timestamp
        EXPECT_EQ(out.type, ET_TIMESTAMP);
    }
}

TEST_F(EventQueueTest, PointerPositionFollowsDeliveredMovesAndLeftButtonOnly)
{
    const int32_t p = freshPosition();
    struct Case
    {
        HEvent event;
        int32_t x, y;  // the position after delivery
    };
    const Case cases[] = {
        {makeEvent(ET_MOUSEMOVE, 0, p, p + 1), p, p + 1},
        {makeEvent(ET_KEYDOWN, KC_RBUTTON, 1, 1), p, p + 1},
        {makeEvent(ET_KEYDOWN, KC_MBUTTON, 2, 2), p, p + 1},
        {makeEvent(ET_MOUSEWHEEL, 0, 3, 3), p, p + 1},
        {makeEvent(ET_KEYDOWN, KC_LBUTTON, 40, 50), 40, 50},
        {makeEvent(ET_KEYDOWN, KC_A, 1, 1), 40, 50},
        {makeEvent(ET_KEYUP, KC_LBUTTON, 41, 51), 41, 51},
    };
    for (const Case &c : cases) {
        // Posting alone does not move it; delivery does.
        const int32_t beforeX = queue.getLastPointerX();
        ASSERT_TRUE(queue.postEvent(c.event));
        EXPECT_EQ(queue.getLastPointerX(), beforeX);
        HEvent out;
        ASSERT_TRUE(queue.getEvent(out, false));
        EXPECT_EQ(queue.getLastPointerX(), c.x) << "type " << c.event.type;
        EXPECT_EQ(queue.getLastPointerY(), c.y) << "type " << c.event.type;
    }
}

TEST_F(EventQueueTest, TracingCopesWithRecordsOfAnyType)
{
    // Formatting happens for every traced delivery, so odd records from a
    // demo must not reach outside the name tables.
    queue.setTrace(true);
    const HEvent odd[] = {makeEvent(static_cast<HEventType>(77)), makeEvent(static_cast<HEventType>(-3)),
                          makeEvent(ET_KEYDOWN, -5), makeEvent(ET_KEYUP, 100000)};
    for (const HEvent &e : odd)
        ASSERT_TRUE(queue.postEvent(e));
    EXPECT_EQ(drain().size(), 4u);
}

// Journal and demo files, written and read through a directory file system.
class JournalTest : public EventQueueTest
{
protected:
    void SetUp() override
    {
        EventQueueTest::SetUp();
        fs.mount(dir.path().c_str());
    }
    void TearDown() override
    {
        setTraceFile(nullptr);
        EventQueueTest::TearDown();
    }

    // The A key pressed and released at the given times, and those two
    // records as a demo file holds them.
    static std::vector<HEvent> keyPress(uint32_t down, uint32_t up)
    {
        HEvent a = makeEvent(ET_KEYDOWN, KC_A);
        a.time = VyTime(down);
        HEvent b = makeEvent(ET_KEYUP, KC_A);
        b.time = VyTime(up);
        return {a, b};
    }
    static std::string recordBytes(const std::vector<HEvent> &events)
    {
        std::string bytes;
        for (const HEvent &e : events)
            bytes.append(reinterpret_cast<const char *>(&e), sizeof e);
        return bytes;
    }

    // Plays the bytes as a demo, with a source for the live input that
    // follows it and one live event posted while the demo plays.
    HFile *playDemo(const std::string &name, const std::string &bytes, ScriptedSource &source)
    {
        EXPECT_TRUE(tilmar_test::writeFile(dir / name, bytes));
        queue.addEventSource(&source);
        HFile *demo = fs.openFileForRead(name.c_str());
        EXPECT_NE(demo, nullptr);
        queue.setDemoFile(demo);
        EXPECT_TRUE(queue.postEvent(makeEvent(ET_COMMAND)));
        return demo;
    }

    TempDir dir;
    HStandardFileSystem fs;
};

TEST_F(JournalTest, ReplayedJournalDeliversExactlyTheRecordedEvents)
{
    HFile *journal = fs.openFileForWrite("journal.bin");
    ASSERT_NE(journal, nullptr);
    queue.setJournalFile(journal);

    const int32_t p = freshPosition();
    HEvent key = makeEvent(ET_KEYDOWN, KC_Q, 5, 6);
    key.character = 'q';
    key.modifiers = MOD_ALT;
    HEvent activate = makeEvent(ET_ACTIVATE);
    activate.param = 1;
    const HEvent posted[] = {makeEvent(ET_MOUSEMOVE, 0, p, p), key, activate, makeEvent(ET_KEYUP, KC_Q, 7, 8)};

    std::vector<HEvent> live;
    HEvent out;
    for (const HEvent &e : posted) {
        s_now += 17;
        ASSERT_TRUE(queue.postEvent(e));
        ASSERT_TRUE(queue.getEvent(out, false));
        live.push_back(out);
    }
    s_now += 5;
    EXPECT_FALSE(queue.getEvent(out, false));  // posts a timestamp
    ASSERT_TRUE(queue.getEvent(out, false));
    live.push_back(out);
    queue.clearJournalFile();
    journal->close();

    ASSERT_EQ(tilmar_test::readFile(dir / "journal.bin").size(), live.size() * sizeof(HEvent));

    // Play it back much later: the recorded times come back unchanged and
    // no source is polled.
    s_now += 100000;
    s_sleeps.clear();
    std::vector<int> polled;
    ScriptedSource source(1, polled);
    source.pending.push_back(makeEvent(ET_PAINT));
    HEventQueue player;
    player.addEventSource(&source);
    HFile *demo = fs.openFileForRead("journal.bin");
    ASSERT_NE(demo, nullptr);
    player.setDemoFile(demo);
    for (size_t i = 0; i < live.size(); ++i) {
        ASSERT_TRUE(player.getEvent(out, true)) << i;
        EXPECT_TRUE(sameBytes(out, live[i])) << i;
    }
    EXPECT_TRUE(polled.empty());
    EXPECT_TRUE(s_sleeps.empty());
    player.clearDemoFile();
    demo->close();
}

TEST_F(JournalTest, ExhaustedDemoIsClosedAndLiveInputResumes)
{
    // Two whole records and the start of a third.
    const std::vector<HEvent> press = keyPress(111, 222);
    const HEvent &a = press[0];
    const HEvent &b = press[1];

    HFile *trace = fs.openFileForWrite("trace.txt");
    ASSERT_NE(trace, nullptr);
    setTraceFile(trace);

    // The live event posted while the demo plays is held back, not
    // delivered in between.
    std::vector<int> polled;
    ScriptedSource source(1, polled);
    HFile *demo = playDemo("demo.bin", recordBytes(press) + std::string(10, '\x07'), source);
    ASSERT_NE(demo, nullptr);

    HEvent out;
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_TRUE(sameBytes(out, a));
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_TRUE(sameBytes(out, b));
    EXPECT_EQ(queue.getDemoFile(), demo);

    // The broken tail ends the demo; the same call goes on with live input.
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_COMMAND);
    EXPECT_EQ(queue.getDemoFile(), nullptr);
    EXPECT_EQ(demo->rewind(), 0) << "the demo file should have been closed";

    source.pending.push_back(makeEvent(ET_PAINT));
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_PAINT);
    EXPECT_EQ(polled.size(), 1u);

    setTraceFile(nullptr);
    trace->close();
    EXPECT_EQ(tilmar_test::readFile(dir / "trace.txt"), "...demo finished\n");
}

TEST_F(JournalTest, LiveTimeGoesOnFromTheLastDemoEventOnceTheDemoEnds)
{
    // A demo plays without waiting, so its recorded times run a minute
    // ahead of the clock here; the live event posted while it plays is
    // stamped by the clock.
    const uint64_t ahead = s_now + 60000;
    std::vector<int> polled;
    ScriptedSource source(1, polled);
    const std::string bytes =
        recordBytes(keyPress(static_cast<uint32_t>(ahead - 100), static_cast<uint32_t>(ahead)));
    ASSERT_NE(playDemo("ahead.bin", bytes, source), nullptr);

    HEvent out;
    ASSERT_TRUE(queue.getEvent(out, false));
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.time.getTime64(), ahead);

    // No event after the demo is older than its last one, and live time
    // advances from there with the clock.
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_COMMAND);
    EXPECT_EQ(out.time.getTime64(), ahead);
    s_now += 5;
    source.pending.push_back(makeEvent(ET_PAINT));
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_PAINT);
    EXPECT_EQ(out.time.getTime64(), ahead + 5);
    s_now += 7;
    EXPECT_FALSE(queue.getEvent(out, false));
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_TIMESTAMP);
    EXPECT_EQ(out.time.getTime64(), ahead + 12);
}

TEST_F(JournalTest, DemoRecordsThatRunBackwardsComeOutAtTheTimeBeforeThem)
{
    // Only the times are touched: a record stamped earlier than the one
    // delivered before it takes that one's time.
    const std::vector<HEvent> first = keyPress(500, 300);
    const std::vector<HEvent> second = keyPress(700, 0);
    std::vector<HEvent> records = first;
    records.insert(records.end(), second.begin(), second.end());
    std::vector<int> polled;
    ScriptedSource source(1, polled);
    ASSERT_NE(playDemo("backwards.bin", recordBytes(records), source), nullptr);

    const uint64_t delivered[] = {500, 500, 700, 700};
    HEvent out;
    for (size_t i = 0; i < records.size(); ++i) {
        ASSERT_TRUE(queue.getEvent(out, false)) << i;
        HEvent expected = records[i];
        expected.time = VyTime::fromTime64(delivered[i]);
        EXPECT_TRUE(sameBytes(out, expected)) << i;
    }
}

TEST_F(JournalTest, LiveTimeAfterADemoEndingAtTheEndOfTheRangeStopsThereInsteadOfWrapping)
{
    struct Case
    {
        uint64_t end;                    // the demo's one record
        std::vector<uint64_t> delivered; // record, held-back live event, timestamps
    };
    const Case cases[] = {
        {UINT64_MAX - 2, {UINT64_MAX - 2, UINT64_MAX - 2, UINT64_MAX - 1, UINT64_MAX}},
        {UINT64_MAX, {UINT64_MAX, UINT64_MAX, UINT64_MAX}},
    };
    for (const Case &c : cases) {
        HEvent last = makeEvent(ET_KEYUP, KC_A);
        last.time = VyTime::fromTime64(c.end);
        ASSERT_TRUE(tilmar_test::writeFile(dir / "end.bin", recordBytes({last})));
        HFile *demo = fs.openFileForRead("end.bin");
        ASSERT_NE(demo, nullptr);
        HEventQueue player;
        player.setDemoFile(demo);
        EXPECT_TRUE(player.postEvent(makeEvent(ET_COMMAND)));

        // Once the clock stops, no timestamp follows the one at its end, and
        // the idle queue still sleeps on every empty call rather than spin.
        std::vector<uint64_t> times;
        size_t emptyCalls = 0;
        const size_t sleepsBefore = s_sleeps.size();
        HEvent out;
        for (int call = 0; call < 12; ++call) {
            if (player.getEvent(out, false))
                times.push_back(out.time.getTime64());
            else
                ++emptyCalls;
        }
        EXPECT_EQ(times, c.delivered) << c.end;
        EXPECT_EQ(s_sleeps.size() - sleepsBefore, emptyCalls) << c.end;
    }
}

TEST_F(JournalTest, EmptyDemoFileFallsStraightThroughToLiveInput)
{
    ASSERT_TRUE(tilmar_test::writeFile(dir / "empty.bin", ""));
    HFile *demo = fs.openFileForRead("empty.bin");
    ASSERT_NE(demo, nullptr);
    queue.setDemoFile(demo);

    HEvent out;
    s_now += 3;
    EXPECT_FALSE(queue.getEvent(out, false));
    EXPECT_EQ(queue.getDemoFile(), nullptr);
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.type, ET_TIMESTAMP);
}

// A device that counts its polls, to show the path from the queue through
// the device's own event source.
class CountingInputDevice : public HInputDevice
{
public:
    CountingInputDevice() : HInputDevice(nullptr, 7) {}
    int32_t create() override { return 1; }
    int32_t pollEvents(HEventQueue *queue) override
    {
        ++polls;
        HEvent e;
        e.type = ET_KEYDOWN;
        e.keyCode = KC_SPACE;
        queue->postEvent(e);
        return 1;
    }
    void destroy() override {}
    void unacquire() override {}
    void acquire() override {}
    void centerMouse() override {}
    int polls = 0;
};

TEST_F(EventQueueTest, InputDeviceSourceForwardsPollsToItsDevice)
{
    CountingInputDevice device;
    queue.addEventSource(device.getEventSource());
    HEvent out;
    ASSERT_TRUE(queue.getEvent(out, false));
    EXPECT_EQ(out.keyCode, KC_SPACE);
    EXPECT_EQ(device.polls, 1);

    EXPECT_EQ(device.getStateA()[0] | device.getStateA()[1], 0);
    EXPECT_EQ(device.getStateB()[0] | device.getStateB()[1], 0);
    // The source keeps HObject's class record.
    EXPECT_STREQ(device.getEventSource()->getClassName(), "HObject");

    // A source without a device does nothing.
    HInputDeviceEventSource orphan(nullptr);
    orphan.poll(&queue);
}

} // namespace
