// Helpers shared by the test programs: a scratch directory of the test's own,
// whole-file reads and writes, capture of standard output, and running code in
// a forked child whose exit status and output are examined afterwards.
#ifndef TESTS_SUPPORT_TEST_SUPPORT_H
#define TESTS_SUPPORT_TEST_SUPPORT_H

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <pwd.h>
#include <functional>
#include <cstdint>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tilmar_test {

// Exit status of a child whose body returned instead of ending the process.
constexpr int kBodyReturned = 250;

// A fresh directory under /tmp (or the given parent), removed with
// everything in it at the end.
class TempDir
{
public:
    explicit TempDir(const std::string &parent = "/tmp")
    {
        std::string pattern = parent + "/tilmar_test_XXXXXX";
        if (mkdtemp(&pattern[0]) != nullptr) {
            char resolved[PATH_MAX];
            m_path = realpath(pattern.c_str(), resolved) != nullptr ? resolved : pattern;
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
        // Tests may leave read-only entries behind.
        chmod(path, 0700);
        remove(path);
        return 0;
    }

    std::string m_path;
};

inline bool writeFile(const std::string &path, const std::string &bytes, mode_t mode = 0644)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok && chmod(path.c_str(), mode) == 0;
}

// The file's bytes as they are on disk now; empty when it cannot be opened
// (use fileExists to tell the two apart).
inline std::string readFile(const std::string &path)
{
    std::string bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

// Byte-vector forms for binary fixtures. writeBytes leaves the file's mode
// as it is, so tests can check the modes the code under test sets.
inline bool writeBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

inline std::vector<uint8_t> readBytes(const std::string &path)
{
    const std::string bytes = readFile(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline bool fileExists(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// How many times `part` stands in the text.
inline int countOf(const std::string &text, const std::string &part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The alert a failed save of the settings registry shows, with its reason.
inline std::string registrySaveAlert(const std::string &reason)
{
    return "| Alert |\n+-------+\nfailed to open registry: " + reason + "\n";
}

// The names in a directory, "." and ".." left out, in sorted order.
inline std::vector<std::string> listDirectory(const std::string &path)
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(path.c_str())) {
        while (const dirent *e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
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
    return readFile(sink);
}

// An uncompressed 32-bit TGA (rows bottom-up) whose pixel (x, y) is
// colour(x, y) = (red, green, blue, alpha), as made by rgba.
template <typename Colour>
std::string tga32(int w, int h, Colour colour)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(w & 0xFF);
    bytes[13] = static_cast<char>(w >> 8);
    bytes[14] = static_cast<char>(h & 0xFF);
    bytes[15] = static_cast<char>(h >> 8);
    bytes[16] = 32;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            bytes.push_back(static_cast<char>(c >> 8));   // blue
            bytes.push_back(static_cast<char>(c >> 16));  // green
            bytes.push_back(static_cast<char>(c >> 24));  // red
            bytes.push_back(static_cast<char>(c));        // alpha
        }
    return bytes;
}

inline uint32_t rgba(int r, int g, int b, int a)
{
    return static_cast<uint32_t>(r) << 24 | static_cast<uint32_t>(g) << 16 | static_cast<uint32_t>(b) << 8 |
           static_cast<uint32_t>(a);
}

// A TGA of one colour.
inline std::string solidTga(int w, int h, int r, int g, int b, int a = 255)
{
    return tga32(w, h, [=](int, int) { return rgba(r, g, b, a); });
}

// Root passes file modes that stop a player. A child process that has to
// meet them calls this first: a root process becomes "nobody", any other
// stays as it is. False when root could not be left.
inline bool becomeUnprivileged()
{
    if (geteuid() != 0)
        return true;
    const passwd *user = getpwnam("nobody");
    return user && setgroups(0, nullptr) == 0 && setgid(user->pw_gid) == 0 && setuid(user->pw_uid) == 0 &&
           geteuid() != 0;
}

// What is wrong with a crash report for the signal's name as the whole of
// the output: the header, one tab-indented line per frame (1 to 200), the
// closing brace and an empty line. Empty when nothing is.
inline std::string crashReportProblems(const std::string &name, const std::string &out)
{
    const std::string head = "Signal " + name + " received.\n\nStack dump:\n{\n";
    const std::string tail = "}\n\n";
    if (out.compare(0, head.size(), head) != 0)
        return "no header";
    if (out.size() < head.size() + tail.size() || out.compare(out.size() - tail.size(), tail.size(), tail) != 0)
        return "no closing brace at the end";
    const std::string frames = out.substr(head.size(), out.size() - head.size() - tail.size());
    size_t lines = 0;
    for (size_t start = 0; start < frames.size(); ++lines) {
        const size_t end = frames.find('\n', start);
        if (end == std::string::npos)
            return "a frame line without its line end";
        if (frames[start] != '\t' || end - start < 2)
            return "frame line \"" + frames.substr(start, end - start) + "\"";
        start = end + 1;
    }
    if (lines < 1 || lines > 200)
        return std::to_string(lines) + " frame lines";
    return "";
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

} // namespace tilmar_test

#endif
