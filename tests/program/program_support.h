// Running the real program on a demo: build/bin/tilmar as a child process
// with the dummy video and audio drivers, HOME and the working directory in
// a scratch folder, ended by force when it outlives its time; and reading
// the settings registry file it leaves behind.
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

// A game program of the build: "tilmar" or "tilmar-static".
inline std::string programPath(const std::string &name = "tilmar")
{
    return std::string(TILMAR_BINARY_DIR) + "/bin/" + name;
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
    // NAME=value entries set over the defaults, say another SDL audio driver.
    std::vector<std::string> environment;
};

// Writes the demo into home as "play.dem" and runs the program on it as
// `launch` says.
inline RunResult runDemo(const tilmar_test::TempDir &home, const demo::DemoWriter &demo, const Launch &launch,
                         int timeoutSeconds = 60)
{
    RunResult result;
    const std::string demoPath = home / "play.dem";
    if (!demo.save(demoPath)) {
        result.err = "could not write the demo file";
        return result;
    }
    const std::string workDir = launch.workDir.empty() ? home.path() : launch.workDir;

    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("SDL_VIDEODRIVER=", 0) != 0 &&
            entry.rfind("SDL_AUDIODRIVER=", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0 &&
            (launch.path.empty() || entry.rfind("PATH=", 0) != 0))
            env.push_back(entry);
    }
    if (!launch.path.empty())
        env.push_back("PATH=" + launch.path);
    env.push_back("HOME=" + home.path());
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back("SDL_AUDIODRIVER=dummy");
    for (const std::string &entry : launch.environment) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        env.erase(std::remove_if(env.begin(), env.end(),
                                 [&name](const std::string &e) { return e.rfind(name, 0) == 0; }),
                  env.end());
        env.push_back(entry);
    }
    std::vector<char *> envp;
    for (std::string &entry : env)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);

    const std::string argv0 = launch.argv0.empty() ? launch.program : launch.argv0;
    const std::string demoOption = "-demo";
    std::vector<char *> argv;
    for (const std::string &word : launch.wrapper)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(const_cast<char *>(argv0.c_str()));
    argv.push_back(const_cast<char *>(demoOption.c_str()));
    argv.push_back(const_cast<char *>(demoPath.c_str()));
    argv.push_back(nullptr);
    const std::string &program = launch.wrapper.empty() ? launch.program : launch.wrapper.front();
    const std::string outPath = home / "stdout.txt";
    const std::string errPath = home / "stderr.txt";

    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(workDir.c_str()) != 0)
            _exit(127);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (pid < 0)
        return result;

    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!result.timedOut && done == pid) {
        if (WIFEXITED(status)) {
            result.exited = true;
            result.exitStatus = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.termSignal = WTERMSIG(status);
        }
    }
    result.out = tilmar_test::readFile(outPath);
    result.err = tilmar_test::readFile(errPath);
    return result;
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

// After a won or lost board: the continue button, the name typed over the
// one offered, Enter, then OK in the best-times table that follows.
inline void enterBestTimeName(DemoWriter &demo, const std::string &name)
{
    demo.wait(1500);
    demo.click(demo::inside(tmscreen::kContinueControl));
    demo.wait(400);
    // The edit line holds at most 12 characters.
    demo.backspaces(12);
    demo.type(name);
    demo.wait(300);
    demo.enter();
    demo.wait(800);
    demo.click(demo::inside(demo::offset(tmscreen::kBestTimesDialog, tmscreen::kBestTimesOk)));
    demo.wait(500);
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
// clears, its pairs clicked kClickGap apart, the name entered, the window
// closed on the title screen, which ends the program unasked. Use it in
// ASSERT_NO_FATAL_FAILURE.
struct WonGame
{
    DemoWriter demo{1};
    int32_t seconds = 0;  // from the start button to the last match
};

inline void writeWonGame(WonGame &won, const std::string &name)
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
    enterBestTimeName(won.demo, name);
    won.demo.quit();
    won.seconds = static_cast<int32_t>((last - start) / 1000);
}

} // namespace program_test

#endif
