// The SDL input device singleton is destroyed exactly once, at process exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "engine/media/sdl/HSDLInputDevice.h"
#include "support/test_support.h"

namespace {

// Registered before the device exists, so it runs after the device's own
// exit handler.
void reportAfterDeviceExit()
{
    printf("after exit: %s\n", HSDLInputDevice::getInstance(nullptr) ? "device" : "gone");
    fflush(stdout);
}

TEST(InputDeviceLifetime, SingletonIsDestroyedOnceAtExitAndNotRebuilt)
{
    tilmar_test::TempDir dir;
    const tilmar_test::ChildOutcome outcome = tilmar_test::runInChild(dir.path(), [] {
        atexit(&reportAfterDeviceExit);
        HSDLInputDevice *device = HSDLInputDevice::getInstance(nullptr);
        if (!device || !device->getEventSource())
            _exit(3);
        HSDLInputDevice::releaseInstance();
        if (HSDLInputDevice::getInstance(nullptr) != device)
            _exit(4);
        HSDLInputDevice::releaseInstance();
        exit(0);
    });
    // A second destruction of the device would abort the child (double
    // free) or be reported by the sanitizers.
    EXPECT_TRUE(outcome.exited) << "signal " << outcome.termSignal << "\n" << outcome.err;
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "after exit: gone\n");
}

} // namespace
