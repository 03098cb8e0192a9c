// Names the platform-service tests use for the shared test helpers, and a
// wait for files written by background processes.
#ifndef TESTS_ENGINE_CORE_PLATFORM_TEST_SUPPORT_H
#define TESTS_ENGINE_CORE_PLATFORM_TEST_SUPPORT_H

#include "support/test_support.h"

#include <cerrno>
#include <cstring>

namespace platform_test {

using ScratchDir = tilmar_test::TempDir;
using tilmar_test::ChildOutcome;
using tilmar_test::fileExists;
using tilmar_test::kBodyReturned;
using tilmar_test::makeDirs;
using tilmar_test::readFile;
using tilmar_test::runInChild;
using tilmar_test::writeFile;

// Waits up to about five seconds for a file written by a background process.
inline std::string waitForFile(const std::string &path)
{
    for (int i = 0; i < 500 && !fileExists(path); ++i)
        usleep(10000);
    // Give the writer a moment to finish the lines it started.
    usleep(50000);
    return readFile(path);
}

} // namespace platform_test

#endif
