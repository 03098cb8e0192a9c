// Shared main for the test programs: media tests run headless unless the
// caller chose a driver.
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char **argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
