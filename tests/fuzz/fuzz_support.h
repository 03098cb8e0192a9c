// What the fuzz targets that need real files share: one scratch directory
// for the whole run, removed at exit, and the home directory pointed at it.
#ifndef TESTS_FUZZ_FUZZ_SUPPORT_H
#define TESTS_FUZZ_FUZZ_SUPPORT_H

#include <cstdlib>
#include <string>

#include <unistd.h>

#include "support/test_support.h"

namespace fuzz {

// In memory when the machine offers it: the registry syncs every file it
// saves, which costs milliseconds on a disk and would starve the fuzzer.
inline const tilmar_test::TempDir &scratchDir()
{
    static const tilmar_test::TempDir dir(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    return dir;
}

// HOME set once to the scratch directory, so the settings registry lives
// there; answers the directory.
inline const tilmar_test::TempDir &scratchHome()
{
    static const bool set = setenv("HOME", scratchDir().path().c_str(), 1) == 0;
    (void)set;
    return scratchDir();
}

} // namespace fuzz

#endif
