// Helpers for the file and message tests: a scratch directory of the test's
// own, a whole-file reader, and capture of everything written to standard
// output (fd 1) while a piece of code runs.
#ifndef TESTS_ENGINE_CORE_FILE_TEST_SUPPORT_H
#define TESTS_ENGINE_CORE_FILE_TEST_SUPPORT_H

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace file_test {

class TempDir
{
public:
    TempDir()
    {
        char pattern[] = "/tmp/tilmar_files_XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            char resolved[PATH_MAX];
            m_path = realpath(pattern, resolved) != nullptr ? resolved : pattern;
        }
    }
    ~TempDir()
    {
        if (!m_path.empty())
            nftw(m_path.c_str(), &TempDir::removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path + "/" + name; }

private:
    static int removeEntry(const char *path, const struct stat *, int, struct FTW *)
    {
        remove(path);
        return 0;
    }

    std::string m_path;
};

inline bool writeWholeFile(const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// The file's bytes as they are on disk now; "<missing>" when it cannot be
// opened.
inline std::string readWholeFile(const std::string &path)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

// Runs `body` with fd 1 redirected into a file and answers what it wrote.
// A file rather than a pipe, so large output cannot block the writer.
inline std::string captureStdout(const std::function<void()> &body)
{
    TempDir dir;
    const std::string sink = dir / "stdout.txt";
    fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int fd = open(sink.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (saved < 0 || fd < 0)
        return "<capture failed>";
    dup2(fd, STDOUT_FILENO);
    close(fd);
    body();
    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    return readWholeFile(sink);
}

} // namespace file_test

#endif
