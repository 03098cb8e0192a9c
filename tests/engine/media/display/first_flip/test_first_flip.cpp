#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include "engine/media/display/display_test_support.h"

using tilmar_test::MemoryDisplay;

TEST(DisplayFirstFlip, RecordsFrameTimeZeroThenTheTimeBetweenFlips)
{
    MemoryDisplay d(8, 8);
    d.flip();
    EXPECT_EQ(d.getFrameTimes()[MemoryDisplay::kFrameHistory - 1], 0);
    SDL_Delay(30);
    d.flip();
    const int32_t *times = d.getFrameTimes();
    EXPECT_EQ(times[MemoryDisplay::kFrameHistory - 2], 0);
    EXPECT_GE(times[MemoryDisplay::kFrameHistory - 1], 25);
    EXPECT_LT(times[MemoryDisplay::kFrameHistory - 1], 2000);
    // 16 entries, of which one is about 30 ms.
    EXPECT_NEAR(d.getFramesPerSecond(), 1000.0f / (times[MemoryDisplay::kFrameHistory - 1] / 16.0f), 0.01f);
}
