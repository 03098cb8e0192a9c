// verifyFailed: only the first call in the process shows a box.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/HMessages.h"
#include "engine/core/file_test_support.h"

using file_test::captureStdout;

TEST(VerifyFailed, OnlyTheFirstCallShowsItsBox)
{
    int first = -1;
    const std::string firstOut = captureStdout([&] { first = verifyFailed("index %d out of range", 7); });
    EXPECT_EQ(first, 1);
    EXPECT_EQ(firstOut, "\n\n+---------------+\n| Verify Failed |\n+---------------+\nindex 7 out of range\n\n");

    for (int i = 0; i < 3; ++i) {
        int later = -1;
        const std::string laterOut = captureStdout([&] { later = verifyFailed("again %d", i); });
        EXPECT_EQ(later, 0);
        EXPECT_EQ(laterOut, "");
    }

    // The other boxes are not affected by the flag.
    EXPECT_NE(captureStdout([] { alertBox("still shown"); }), "");
}
