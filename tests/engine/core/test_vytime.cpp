#include "engine/core/VyTime.h"

#include <gtest/gtest.h>

#include <cstring>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace {

struct DiffCase
{
    VyTime a, b;
    uint64_t diff64;
    uint32_t diff32;
};

TEST(VyTime, DifferencesBorrowAcrossHalvesAndGuard32Bits)
{
    const DiffCase cases[] = {
        {VyTime(2000), VyTime(1000), 1000u, 1000u},
        {VyTime(1000), VyTime(1000), 0u, 0u},
        // b later than a: two's complement, and the 32-bit form answers 0.
        {VyTime(1000), VyTime(2000), 0xFFFFFFFFFFFFFC18ull, 0u},
        // The borrow crosses from the low into the high half.
        {VyTime(0, 1), VyTime(1, 0), 0xFFFFFFFFull, 0xFFFFFFFFu},
        {VyTime(0, 2), VyTime(1, 0), 0x1FFFFFFFFull, 0u},
        // Exactly 2^32 ms no longer fits in 32 bits.
        {VyTime(5, 1), VyTime(5, 0), 0x100000000ull, 0u},
        {VyTime(7, 3), VyTime(9, 1), 0x1FFFFFFFEull, 0u},
        {VyTime(0, 0), VyTime(0, 1), 0xFFFFFFFF00000000ull, 0u},
    };
    for (const DiffCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "a=" << c.a.high << ":" << c.a.low << " b=" << c.b.high
                                        << ":" << c.b.low);
        EXPECT_EQ(VyTime::diff64(c.a, c.b), c.diff64);
        EXPECT_EQ(VyTime::diff32(c.a, c.b), c.diff32);
        VyTime d = c.a - c.b;
        EXPECT_EQ(d.low, static_cast<uint32_t>(c.diff64));
        EXPECT_EQ(d.high, static_cast<uint32_t>(c.diff64 >> 32));
    }
}

TEST(VyTime, AccessorsReadTheHalves)
{
    VyTime t(5, 1);
    EXPECT_EQ(t.getTime32(), 5u);  // overflow is only warned about
    EXPECT_EQ(t.getLow(), 5u);
    EXPECT_EQ(t.getTime64(), 0x100000005ull);
    EXPECT_EQ(VyTime(0xFFFFFFFFu, 0xFFFFFFFFu).getTime64(), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(VyTime().getTime64(), 0u);
    // A count splits into the same halves and comes back whole.
    for (uint64_t count : {0ull, 5ull, 0xFFFFFFFFull, 0x100000005ull, 0xFFFFFFFFFFFFFFFFull}) {
        const VyTime split = VyTime::fromTime64(count);
        EXPECT_EQ(split.low, static_cast<uint32_t>(count & 0xFFFFFFFFu)) << count;
        EXPECT_EQ(split.high, static_cast<uint32_t>(count / 0x100000000ull)) << count;
        EXPECT_EQ(split.getTime64(), count);
    }
}

TEST(VyTime, LowHalfComesFirstInMemory)
{
    VyTime t(0x11223344u, 0x55667788u);
    uint32_t words[2];
    static_assert(sizeof words == sizeof t, "record size");
    std::memcpy(words, &t, sizeof words);
    EXPECT_EQ(words[0], 0x11223344u);
    EXPECT_EQ(words[1], 0x55667788u);
}

TEST(VyTime, TicksAdvanceAcrossASleep)
{
    VyTime before(123, 456);
    VyTime &filled = getTicks(before);
    EXPECT_EQ(&filled, &before);
    EXPECT_EQ(before.high, 0u);

    sleepMilliseconds(30);
    VyTime after;
    getTicks(after);
    EXPECT_EQ(after.high, 0u);
    EXPECT_GE(VyTime::diff32(after, before), 30u);
}

#if defined(__linux__)
// The sleep may end late, but the thread's other timers (and the threads it
// starts later) must keep their precision.
TEST(VyTime, SleepLeavesTheThreadsTimerSlackAsItWas)
{
    const int before = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    ASSERT_GT(before, 0);
    sleepMilliseconds(1);
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), before);
}
#endif

} // namespace
