// Helpers for tests of the Unix platform services: a scratch directory of
// the test's own and a way to run code in a child process whose exit status
// and output are examined afterwards.
#ifndef TESTS_ENGINE_CORE_PLATFORM_TEST_SUPPORT_H
#define TESTS_ENGINE_CORE_PLATFORM_TEST_SUPPORT_H

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform_test {

// Exit status of a child whose body returned instead of ending the process.
constexpr int kBodyReturned = 250;

class ScratchDir
{
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/tilmar_platform_XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            char resolved[PATH_MAX];
            m_path = realpath(pattern, resolved) != nullptr ? resolved : pattern;
        }
    }
    ~ScratchDir()
    {
        if (!m_path.empty())
            nftw(m_path.c_str(), &ScratchDir::removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path + "/" + name; }

private:
    static int removeEntry(const char *path, const struct stat *, int, struct FTW *)
    {
        chmod(path, 0700);
        remove(path);
        return 0;
    }
    std::string m_path;
};

inline bool writeFile(const std::string &path, const std::string &content, mode_t mode = 0644)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool ok = fwrite(content.data(), 1, content.size(), file) == content.size();
    fclose(file);
    return ok && chmod(path.c_str(), mode) == 0;
}

inline std::string readFile(const std::string &path)
{
    std::string content;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return content;
    char chunk[4096];
    size_t count;
    while ((count = fread(chunk, 1, sizeof chunk, file)) > 0)
        content.append(chunk, count);
    fclose(file);
    return content;
}

inline bool fileExists(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Makes every directory of the path.
inline void makeDirs(const std::string &path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos)
            break;
    }
}

struct ChildOutcome
{
    bool exited = false; // ended through exit or _exit
    int exitStatus = -1;
    int termSignal = 0;  // signal that ended it otherwise
    std::string out;
    std::string err;
};

// Runs body in a forked child with standard output and error going to files
// in dir, waits for it and collects both.
inline ChildOutcome runInChild(const std::string &dir, const std::function<void()> &body)
{
    static int serial = 0;
    ++serial;
    const std::string outPath = dir + "/child_out_" + std::to_string(serial);
    const std::string errPath = dir + "/child_err_" + std::to_string(serial);

    // Pending output of the parent would otherwise be flushed twice.
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0)
            _exit(kBodyReturned + 1);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        close(out);
        close(err);
        body();
        fflush(nullptr);
        _exit(kBodyReturned);
    }

    ChildOutcome outcome;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return outcome;
    if (WIFEXITED(status)) {
        outcome.exited = true;
        outcome.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.termSignal = WTERMSIG(status);
    }
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    return outcome;
}

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
