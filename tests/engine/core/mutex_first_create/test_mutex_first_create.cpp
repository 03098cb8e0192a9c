// A process of its own: nothing may have touched the threads layer before.
#include "engine/core/HMutex.h"
#include "engine/core/HThreads.h"

#include <gtest/gtest.h>

TEST(HMutexFirstCreate, BringsTheLayerUpOnceForTheProcess)
{
    ASSERT_FALSE(thrIsInitialised());
    HMutex first;
    ASSERT_TRUE(first.create());
    EXPECT_TRUE(thrIsInitialised());
    EXPECT_TRUE(first.lock());
    EXPECT_TRUE(first.unlock());
    EXPECT_EQ(first.destroy(), THR_OK);

    // Only the first create initialises: once the layer is shut down, later
    // mutexes are refused rather than bringing it up again.
    thrShutdown();
    HMutex later;
    EXPECT_FALSE(later.create());
    EXPECT_FALSE(thrIsInitialised());
    EXPECT_FALSE(later.lock());
}
