// Running the real program on a demo: build/bin/tilmar as a child process
// with the dummy video and audio drivers, HOME and the working directory in
// a scratch folder, ended by force when it outlives its time, and signalled
// while it waits for live input; and reading the settings registry file it
// leaves behind.
#ifndef TESTS_PROGRAM_PROGRAM_SUPPORT_H
#define TESTS_PROGRAM_PROGRAM_SUPPORT_H

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/TMRecords.h"
#include "program/demo_writer.h"
#include "support/test_support.h"

extern char **environ;

namespace program_test {

struct RunResult
{
    bool timedOut = false;
    bool exited = false;
    int exitStatus = -1;
    int termSignal = 0;
    std::string out;
    std::string err;

    bool endedWell() const { return !timedOut && exited && exitStatus == 0; }
    std::string describe() const
    {
        std::string text = timedOut ? "timed out" : exited ? "exit status " + std::to_string(exitStatus)
                                                           : "signal " + std::to_string(termSignal);
        return text + "\n--- stdout ---\n" + out + "\n--- stderr ---\n" + err;
    }
};

// The names in one line, a blank between two.
inline std::string joined(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

// A game program of the build: "tilmar" or "tilmar-static".
inline std::string programPath(const std::string &name = "tilmar")
{
    return std::string(TILMAR_BINARY_DIR) + "/bin/" + name;
}

// A copy of the program in dir/bin, where it takes its archive from
// dir/Resources: a copy of the build's when withArchive, else none yet. A
// copy, not a link: the folder's removal changes the modes of what it holds.
// Runs as another user need it, since the build folder may lie in a home
// only its owner can enter.
inline std::string placeProgram(const tilmar_test::TempDir &dir, bool withArchive)
{
    tilmar_test::makeDirs(dir / "bin");
    tilmar_test::makeDirs(dir / "Resources");
    const std::string placed = dir / "bin/tilmar";
    EXPECT_TRUE(tilmar_test::writeFile(placed, tilmar_test::readFile(programPath()), 0755));
    if (withArchive) {
        const std::string archive = tilmar_test::readFile(std::string(TILMAR_BINARY_DIR) + "/Resources/tilmar.vmz");
        EXPECT_FALSE(archive.empty());
        EXPECT_TRUE(tilmar_test::writeFile(dir / "Resources/tilmar.vmz", archive, 0644));
    }
    return placed;
}

// How the program is started: the file run, the name it is given as its
// first argument, the directory it starts in and the PATH it sees.
struct Launch
{
    std::string program = programPath();
    std::string argv0;    // empty: the program's path
    std::string workDir;  // empty: the home folder
    std::string path;     // empty: the test's own PATH
    // A program the game runs under (a checker such as valgrind) with its
    // options: it is started instead, with the game's command line after them.
    std::vector<std::string> wrapper;
    // Options after the demo's, such as "-trace".
    std::vector<std::string> options{};
    // Changes to the environment after HOME, the drivers and PATH are set:
    // "NAME=value" sets a variable, a bare "NAME" removes it.
    std::vector<std::string> environment{};
    // Run as a user whom file modes stop: a test running as root starts the
    // program as "nobody", and opens the home folder to it so that the
    // program finds its demo there, and the working folder for writing.
    bool unprivileged = false;
    // The most bytes the program may write into a file, 0 for no limit; a
    // write past it fails with EFBIG, as on a full disk.
    rlim_t fileSizeLimit = 0;
};

// The environment the program gets: the test's own, with HOME at the home
// folder, the dummy drivers and no display, then the launch's changes.
inline std::vector<std::string> programEnvironment(const std::string &home, const Launch &launch)
{
    auto named = [](const std::string &entry, const std::string &name) {
        return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=';
    };
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!named(entry, "HOME") && !named(entry, "SDL_VIDEODRIVER") && !named(entry, "SDL_AUDIODRIVER") &&
            !named(entry, "DISPLAY") && (launch.path.empty() || !named(entry, "PATH")))
            env.push_back(entry);
    }
    if (!launch.path.empty())
        env.push_back("PATH=" + launch.path);
    env.push_back("HOME=" + home);
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back("SDL_AUDIODRIVER=dummy");
    for (const std::string &change : launch.environment) {
        const std::string name = change.substr(0, change.find('='));
        env.erase(std::remove_if(env.begin(), env.end(), [&](const std::string &entry) { return named(entry, name); }),
                  env.end());
        if (change.find('=') != std::string::npos)
            env.push_back(change);
    }
    return env;
}

// The program started on a demo file as `launch` says, running until
// finish() waits for it; one that is still running at the end is killed.
class RunningProgram
{
public:
    RunningProgram(const tilmar_test::TempDir &home, const std::string &demoPath, const Launch &launch)
        : m_outPath(home / "stdout.txt"), m_errPath(home / "stderr.txt"),
          m_tracePath((launch.workDir.empty() ? home.path() : launch.workDir) + "/trace.txt")
    {
        const std::string workDir = launch.workDir.empty() ? home.path() : launch.workDir;
        std::vector<std::string> env = programEnvironment(home.path(), launch);
        std::vector<char *> envp;
        for (std::string &entry : env)
            envp.push_back(&entry[0]);
        envp.push_back(nullptr);

        const std::string argv0 = launch.argv0.empty() ? launch.program : launch.argv0;
        std::vector<std::string> words = launch.wrapper;
        words.push_back(argv0);
        words.push_back("-demo");
        words.push_back(demoPath);
        words.insert(words.end(), launch.options.begin(), launch.options.end());
        std::vector<char *> argv;
        for (std::string &word : words)
            argv.push_back(&word[0]);
        argv.push_back(nullptr);
        const std::string &program = launch.wrapper.empty() ? launch.program : launch.wrapper.front();

        if (launch.unprivileged && geteuid() == 0) {
            chmod(home.path().c_str(), 0755);
            if (workDir != home.path())
                chmod(workDir.c_str(), 0777);
        }

        std::fflush(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            const int out = open(m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int in = open("/dev/null", O_RDONLY);
            if (out < 0 || err < 0 || in < 0 || chdir(workDir.c_str()) != 0)
                _exit(127);
            dup2(in, STDIN_FILENO);
            dup2(out, STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            if (launch.fileSizeLimit > 0) {
                // Ignored, so that a write past the limit fails instead of
                // ending the program.
                signal(SIGXFSZ, SIG_IGN);
                rlimit limit;
                if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
                    _exit(127);
                limit.rlim_cur = launch.fileSizeLimit;
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    _exit(127);
            }
            if (launch.unprivileged && !tilmar_test::becomeUnprivileged())
                _exit(127);
            // closeWindow needs the video layer to take SIGTERM, which it
            // does only where the signal has its default action.
            signal(SIGTERM, SIG_DFL);
            execve(program.c_str(), argv.data(), envp.data());
            _exit(127);
        }
    }

    ~RunningProgram()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    pid_t pid() const { return m_pid; }

    // Whether the program has ended; it is left for finish() to collect.
    bool hasEnded() const
    {
        siginfo_t info;
        info.si_pid = 0;
        return m_pid <= 0 || waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
               info.si_pid == m_pid;
    }

    // Waits until the file holds the text, at most `timeoutSeconds`; false
    // when it did not come, or the program ended first without writing it.
    bool waitForText(const std::string &path, const std::string &text, int timeoutSeconds) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
        for (;;) {
            const bool ended = hasEnded();
            if (tilmar_test::readFile(path).find(text) != std::string::npos)
                return true;
            if (ended || std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // Waits until the program has played the whole demo and gone over to
    // live input, as the trace of a program started with "-trace" says.
    bool waitForDemoEnd(int timeoutSeconds = 30) const
    {
        return waitForText(m_tracePath, "...demo finished\n", timeoutSeconds);
    }

    // A request to close the window, as a desktop sends it: the video
    // layer turns SIGTERM into one.
    void closeWindow() const { kill(m_pid, SIGTERM); }

    // Waits for the end, killing the program when it outlives its time, and
    // collects its status and output.
    RunResult finish(int timeoutSeconds)
    {
        RunResult result;
        if (m_pid < 0)
            return result;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
        pid_t done = 0;
        while ((done = waitpid(m_pid, &status, WNOHANG)) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
                result.timedOut = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_pid = -1;
        if (!result.timedOut && done > 0) {
            if (WIFEXITED(status)) {
                result.exited = true;
                result.exitStatus = WEXITSTATUS(status);
            } else if (WIFSIGNALED(status)) {
                result.termSignal = WTERMSIG(status);
            }
        }
        result.out = tilmar_test::readFile(m_outPath);
        result.err = tilmar_test::readFile(m_errPath);
        return result;
    }

private:
    std::string m_outPath;
    std::string m_errPath;
    std::string m_tracePath;
    pid_t m_pid = -1;
};

// Writes the demo into home as "play.dem" and runs the program on it as
// `launch` says.
inline RunResult runDemo(const tilmar_test::TempDir &home, const demo::DemoWriter &demo, const Launch &launch,
                         int timeoutSeconds = 60)
{
    const std::string demoPath = home / "play.dem";
    if (!demo.save(demoPath)) {
        RunResult result;
        result.err = "could not write the demo file";
        return result;
    }
    return RunningProgram(home, demoPath, launch).finish(timeoutSeconds);
}

inline RunResult runDemo(const tilmar_test::TempDir &home, const demo::DemoWriter &demo, int timeoutSeconds = 60)
{
    return runDemo(home, demo, Launch{}, timeoutSeconds);
}

// The registry file's records by key: a key and its zero byte, a 4-byte
// little-endian length, the data.
inline std::map<std::string, std::string> readRegistry(const tilmar_test::TempDir &home)
{
    std::map<std::string, std::string> values;
    const std::string bytes = tilmar_test::readFile(home / ".velmora/registry_Velmora_Tilmar");
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find('\0', at);
        if (end == std::string::npos || end + 4 > bytes.size())
            break;
        const std::string key = bytes.substr(at, end - at);
        uint32_t length = 0;
        std::memcpy(&length, bytes.data() + end + 1, 4);
        at = end + 5;
        if (at + length > bytes.size())
            break;
        values[key] = bytes.substr(at, length);
        at += length;
    }
    return values;
}

// A best-time record as it must be stored: the name's unused bytes zero.
inline std::string bestTimeBytes(const char *name, int32_t score, int32_t time, int32_t tilesLeft)
{
    TMBestTime record;
    std::memset(&record, 0, sizeof record);
    record.magic = TM_BEST_TIME_MAGIC;
    std::strncpy(record.name, name, sizeof record.name - 1);
    record.score = score;
    record.time = time;
    record.tilesLeft = tilesLeft;
    return std::string(reinterpret_cast<const char *>(&record), sizeof record);
}

template <typename T>
std::string valueBytes(T value)
{
    return std::string(reinterpret_cast<const char *>(&value), sizeof value);
}

// A stored record read back; magic 0 when the bytes are not a record.
inline TMBestTime decodeBestTime(const std::string &bytes)
{
    TMBestTime record;
    std::memset(&record, 0, sizeof record);
    if (bytes.size() == sizeof record)
        std::memcpy(&record, bytes.data(), sizeof record);
    record.name[sizeof record.name - 1] = '\0';
    return record;
}

// The record's fields in words, for failure messages.
inline std::string describeBestTime(const std::string &bytes)
{
    if (bytes.size() != sizeof(TMBestTime))
        return std::to_string(bytes.size()) + " bytes, not a record";
    const TMBestTime r = decodeBestTime(bytes);
    return "{magic " + std::to_string(r.magic) + ", \"" + r.name + "\", score " + std::to_string(r.score) +
           ", time " + std::to_string(r.time) + ", tiles left " + std::to_string(r.tilesLeft) + "}";
}

// The stored bytes of a best time against the record expected.
inline ::testing::AssertionResult storedBestTime(const std::string &stored, const char *name, int32_t score,
                                                 int32_t time, int32_t tilesLeft)
{
    const std::string expected = bestTimeBytes(name, score, time, tilesLeft);
    if (stored == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "stored " << describeBestTime(stored) << ", expected "
                                         << describeBestTime(expected)
                                         << (describeBestTime(stored) == describeBestTime(expected)
                                                 ? " (the bytes after the name differ)"
                                                 : "");
}

// ----- What a player does, as demo records -----

using demo::DemoWriter;
using demo::Point;

// Deals are looked for from this seed on, among this many.
constexpr uint32_t kFirstSeed = 1000;
constexpr int32_t kSeedTries = 200;
// Between two clicks on tiles.
constexpr uint32_t kClickGap = 600;

inline Point startButton()
{
    return demo::inside(tmscreen::kStartControl);
}

inline Point exitButton()
{
    return demo::inside(tmscreen::kExitControl);
}

// After a won or lost board: the continue button, which asks for a name.
inline void continueToName(DemoWriter &demo)
{
    demo.wait(1500);
    demo.click(demo::inside(tmscreen::kContinueControl));
    demo.wait(400);
}

// Enter on the name as it stands, then OK in the best-times table that
// follows.
inline void confirmName(DemoWriter &demo)
{
    demo.wait(300);
    demo.enter();
    demo.wait(800);
    demo.click(demo::inside(demo::offset(tmscreen::kBestTimesDialog, tmscreen::kBestTimesOk)));
    demo.wait(500);
}

// The continue button, the name typed over the one offered, Enter and OK.
inline void enterBestTimeName(DemoWriter &demo, const std::string &name)
{
    continueToName(demo);
    // The edit line holds at most 12 characters.
    demo.backspaces(12);
    demo.type(name);
    confirmName(demo);
}

// The exit button on the title screen; the program ends at its next pass.
inline void leaveFromTitle(DemoWriter &demo)
{
    demo.click(exitButton());
    demo.wait(100);
}

// The run in a fresh home; answers the registry it left, empty when the
// run did not end well by itself.
inline std::map<std::string, std::string> runInFreshHome(const DemoWriter &demo, const Launch &launch = Launch{})
{
    tilmar_test::TempDir home;
    const RunResult run = runDemo(home, demo, launch);
    if (!run.endedWell()) {
        ADD_FAILURE() << run.describe();
        return {};
    }
    return readRegistry(home);
}

// The way out of a finished game (the name entered, the table closed, the
// exit button on the title), then the run.
inline std::map<std::string, std::string> finishAndRun(DemoWriter &demo, const std::string &name)
{
    enterBestTimeName(demo, name);
    leaveFromTitle(demo);
    return runInFreshHome(demo);
}

// A won classic game: the first deal from kFirstSeed that greedy play
// clears, its pairs clicked kClickGap apart; writeWonGame goes on with the
// name entered and the window closed on the title screen, which ends the
// program unasked. Use both in ASSERT_NO_FATAL_FAILURE.
struct WonGame
{
    DemoWriter demo{1};
    int32_t seconds = 0;  // from the start button to the last match
};

// The game up to its last match, the board won.
inline void writeWonBoard(WonGame &won)
{
    const uint32_t seed = demo::findWinningSeed(kFirstSeed, kSeedTries);
    ASSERT_NE(seed, 0u);
    demo::BoardPlay play(seed, 0);
    const std::vector<demo::TilePair> pairs = play.greedy();
    ASSERT_EQ(pairs.size(), static_cast<size_t>(TM_TILE_COUNT / 2));

    won.demo = DemoWriter(seed);
    won.demo.wait(700);
    const uint64_t start = won.demo.click(startButton());
    const uint64_t last = demo::playPairs(won.demo, play, pairs, kClickGap);
    ASSERT_NE(last, 0u) << "a tile with no point to click";
    ASSERT_EQ(play.board().tilesLeft, 0);
    won.seconds = static_cast<int32_t>((last - start) / 1000);
}

inline void writeWonGame(WonGame &won, const std::string &name)
{
    ASSERT_NO_FATAL_FAILURE(writeWonBoard(won));
    enterBestTimeName(won.demo, name);
    won.demo.quit();
}

} // namespace program_test

#endif
