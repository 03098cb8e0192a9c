// Skipping a test whose outside tool or service is missing. On a developer's
// machine the test skips with its reason; in a CI run (CI=true) it fails
// with it, as scripts/install-deps installs every such tool there and a
// green run must mean the check ran.
#ifndef TESTS_SUPPORT_SKIP_SUPPORT_H
#define TESTS_SUPPORT_SKIP_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace tilmar_test {

inline bool isCIRun()
{
    const char *ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

// Ends the running test (or its SetUp) as skipped, or failed under CI; the
// caller returns right after it: `if (!have) return skipUnlessCI("...");`.
inline void skipUnlessCI(const std::string &reason)
{
    if (isCIRun())
        FAIL() << reason << " (CI=true, where this must not be skipped)";
    GTEST_SKIP() << reason;
}

} // namespace tilmar_test

#endif
