// Measures the real program headless (SDL's dummy video and audio drivers,
// a fresh HOME per run) and prints each figure beside its goal:
//   - start-up: from just before the program is started to the first frame
//     of its main loop, the title screen (told by first_frame_probe);
//   - the CPU the program uses while it sits idle on the title screen, all
//     threads, from the scheduler's run times in /proc/<pid>/task/*/schedstat;
//   - the peak resident memory of a whole won game played from a demo file
//     (the kernel's maximum resident set size of the finished process).
// Usage: tilmar_measure [--runs N] [--idle SECONDS] [PROGRAM]
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "program/demo_writer.h"
#include "support/test_support.h"

extern char **environ;

namespace {

const double kStartupGoalMs = 300.0;
const double kIdleGoalPercent = 2.0;
const double kMemoryGoalMB = 40.0;

// A person's pace in the measured game, and the name entered for its best time.
const uint32_t kClickGap = 600;
const char *const kPlayerName = "Measure";

int64_t s_nowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Child
{
    pid_t pid = -1;
    int probe = -1; // read end of the probe's pipe, or -1
};

// Starts the program in `home` with the headless drivers; with a probe, the
// first-frame probe is preloaded and reports on a pipe.
Child s_start(const std::string &program, const tilmar_test::TempDir &home, const std::vector<std::string> &args,
              const std::string &probe)
{
    Child child;
    int fds[2] = {-1, -1};
    if (!probe.empty() && pipe(fds) != 0)
        return child;

    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("SDL_", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0 &&
            entry.rfind("LD_PRELOAD=", 0) != 0 && entry.rfind("TILMAR_PROBE_FD=", 0) != 0)
            env.push_back(entry);
    }
    env.push_back("HOME=" + home.path());
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back("SDL_AUDIODRIVER=dummy");
    if (!probe.empty()) {
        env.push_back("LD_PRELOAD=" + probe);
        env.push_back("TILMAR_PROBE_FD=" + std::to_string(fds[1]));
    }
    std::vector<char *> envp;
    for (std::string &entry : env)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);
    std::vector<std::string> argStrings = {program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : argStrings)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);

    std::fflush(nullptr);
    child.pid = fork();
    if (child.pid == 0) {
        const int out = open((home / "stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || in < 0 || chdir(home.path().c_str()) != 0)
            _exit(127);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        if (fds[0] >= 0)
            close(fds[0]);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (fds[1] >= 0)
        close(fds[1]);
    child.probe = fds[0];
    return child;
}

// The probe's moment, or 0 when it did not come within the time.
int64_t s_awaitFirstFrame(const Child &child, int timeoutMs)
{
    pollfd p = {child.probe, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) != 1)
        return 0;
    int64_t ns = 0;
    if (read(child.probe, &ns, sizeof ns) != static_cast<ssize_t>(sizeof ns))
        return 0;
    return ns;
}

struct Ended
{
    bool exited = false;
    int status = -1;
    long maxRssKB = 0;
};

// Waits for the child, killing it when it outlives the time.
Ended s_wait(Child &child, int timeoutSeconds)
{
    Ended ended;
    if (child.probe >= 0)
        close(child.probe);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    rusage usage;
    memset(&usage, 0, sizeof usage);
    pid_t done;
    while ((done = wait4(child.pid, &status, WNOHANG, &usage)) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            wait4(child.pid, &status, 0, &usage);
            return ended;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (done == child.pid && WIFEXITED(status)) {
        ended.exited = true;
        ended.status = WEXITSTATUS(status);
    }
    ended.maxRssKB = usage.ru_maxrss;
    return ended;
}

// SDL turns SIGTERM into a request to close the window, which ends the
// program from the title screen.
Ended s_stop(Child &child)
{
    kill(child.pid, SIGTERM);
    return s_wait(child, 10);
}

// CPU time of all the process's threads in ns, as the scheduler counts it
// (/proc/<pid>/task/*/schedstat). The utime and stime of /proc/<pid>/stat
// are sampled at the timer tick, and an idle loop whose short sleeps end on
// the tick is charged whole ticks for a few microseconds of work.
int64_t s_cpuNs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *dir = opendir(tasks.c_str());
    if (!dir)
        return -1;
    int64_t sum = 0;
    while (dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        FILE *f = std::fopen((tasks + "/" + entry->d_name + "/schedstat").c_str(), "r");
        if (!f)
            continue;
        long long ns = 0;
        if (std::fscanf(f, "%lld", &ns) == 1)
            sum += ns;
        std::fclose(f);
    }
    closedir(dir);
    return sum;
}

const char *s_verdict(bool met)
{
    return met ? "met" : "MISSED";
}

// Start-up times of `runs` runs, in ms; the last run then sits on the title
// screen for the idle measurement. Answers false when a run failed.
bool s_startupAndIdle(const std::string &program, const std::string &probe, int runs, int idleSeconds)
{
    std::vector<double> times;
    double idlePercent = -1.0;
    for (int run = 0; run < runs; ++run) {
        tilmar_test::TempDir home;
        const int64_t started = s_nowNs();
        Child child = s_start(program, home, {}, probe);
        if (child.pid < 0)
            return false;
        const int64_t frame = s_awaitFirstFrame(child, 20000);
        if (frame == 0) {
            // The probe works on a program that loads SDL as a shared library.
            std::fprintf(stderr, "no first frame came from %s (through %s)\n", program.c_str(), probe.c_str());
            s_stop(child);
            return false;
        }
        times.push_back(static_cast<double>(frame - started) / 1e6);

        if (run == runs - 1 && idleSeconds > 0) {
            // Let the start-up's own work (the splash sound, the music
            // starting) settle first.
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const int64_t c0 = s_cpuNs(child.pid);
            const int64_t w0 = s_nowNs();
            std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
            const int64_t c1 = s_cpuNs(child.pid);
            const int64_t w1 = s_nowNs();
            if (c0 >= 0 && c1 >= 0)
                idlePercent = 100.0 * static_cast<double>(c1 - c0) / static_cast<double>(w1 - w0);
        }
        const Ended ended = s_stop(child);
        if (!ended.exited || ended.status != 0) {
            std::fprintf(stderr, "the program did not end well after the title screen\n");
            return false;
        }
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("start-up to the first title frame: %.1f ms (median of %d runs; min %.1f, max %.1f)"
                "   goal < %.0f ms: %s\n",
                median, runs, times.front(), times.back(), kStartupGoalMs, s_verdict(median < kStartupGoalMs));
    if (idlePercent >= 0.0)
        std::printf("CPU while idle on the title screen: %.2f %% of one core (over %d s)   goal <= %.0f %%: %s\n",
                    idlePercent, idleSeconds, kIdleGoalPercent, s_verdict(idlePercent <= kIdleGoalPercent));
    return idleSeconds <= 0 || idlePercent >= 0.0;
}

// A won classic game from the title screen back to it, the best time
// entered, then the exit button.
bool s_writeWonGame(const std::string &path)
{
    const uint32_t seed = demo::findWinningSeed(1000, 200);
    if (seed == 0)
        return false;
    demo::BoardPlay play(seed, 0);
    const std::vector<demo::TilePair> pairs = play.greedy();
    demo::DemoWriter writer(seed);
    writer.wait(700);
    writer.click(demo::inside(tmscreen::kStartControl));
    if (demo::playPairs(writer, play, pairs, kClickGap) == 0 || play.board().tilesLeft != 0)
        return false;
    // The board-complete picture, the continue button, the name (the edit
    // line of a fresh home is empty), then OK in the best-times table.
    writer.wait(1500);
    writer.click(demo::inside(tmscreen::kContinueControl));
    writer.wait(400);
    writer.type(kPlayerName);
    writer.enter();
    writer.wait(800);
    writer.click(demo::inside(demo::offset(tmscreen::kBestTimesDialog, tmscreen::kBestTimesOk)));
    writer.wait(500);
    writer.click(demo::inside(tmscreen::kExitControl));
    writer.wait(100);
    return writer.save(path);
}

bool s_memory(const std::string &program)
{
    tilmar_test::TempDir home;
    if (!s_writeWonGame(home / "won.dem")) {
        std::fprintf(stderr, "could not write the won game's demo\n");
        return false;
    }
    Child child = s_start(program, home, {"-demo", "won.dem"}, "");
    if (child.pid < 0)
        return false;
    const Ended ended = s_wait(child, 120);
    // The best time in the registry shows that the game was played through.
    const std::string registry = tilmar_test::readFile(home / ".velmora/registry_Velmora_Tilmar");
    if (!ended.exited || ended.status != 0 || registry.find(kPlayerName) == std::string::npos) {
        std::fprintf(stderr, "the won game did not play through (exit status %d)\n", ended.status);
        return false;
    }
    const double mb = static_cast<double>(ended.maxRssKB) / 1024.0;
    std::printf("peak memory of a won game: %.1f MB resident (maximum resident set size)   goal < %.0f MB: %s\n",
                mb, kMemoryGoalMB, s_verdict(mb < kMemoryGoalMB));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 5;
    int idleSeconds = 10;
    std::string program = TILMAR_BINARY_DIR "/bin/tilmar";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--idle" && i + 1 < argc) {
            idleSeconds = std::atoi(argv[++i]);
        } else if (!a.empty() && a[0] != '-') {
            program = a;
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--idle SECONDS] [PROGRAM]\n", argv[0]);
            return 2;
        }
    }
    const std::string probe = TILMAR_BINARY_DIR "/bench/libtilmar_first_frame_probe.so";
    const bool ok = s_startupAndIdle(program, probe, runs, idleSeconds) && s_memory(program);
    return ok ? 0 : 1;
}
