// Names the file and message tests use for the shared test helpers.
#ifndef TESTS_ENGINE_CORE_FILE_TEST_SUPPORT_H
#define TESTS_ENGINE_CORE_FILE_TEST_SUPPORT_H

#include "support/test_support.h"

namespace file_test {

using tilmar_test::TempDir;
using tilmar_test::captureStdout;

inline bool writeWholeFile(const std::string &path, const std::string &bytes)
{
    return tilmar_test::writeFile(path, bytes);
}

// The file's bytes as they are on disk now; "<missing>" when it does not exist.
inline std::string readWholeFile(const std::string &path)
{
    return tilmar_test::fileExists(path) ? tilmar_test::readFile(path) : "<missing>";
}

} // namespace file_test

#endif
