#include "window/window_support.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/core/HFile.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "program/demo_writer.h"

extern char **environ;

namespace window_test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kPollMs = 50;
// The displays tried, one after another, until a server starts on one.
constexpr int32_t kFirstDisplay = 90;
constexpr int32_t kLastDisplay = 119;
constexpr int32_t kServerStartMs = 20000;
const char *const kServerPath = "/usr/bin/Xvfb";
const char *const kXdotoolPath = "/usr/bin/xdotool";
// The ImageMagick tool itself: the first `convert` on PATH may be another.
const char *const kImportPath = "/usr/bin/import";
// The window caption the game sets begins with its name.
const char *const kWindowName = "^Tilmar";
// The board area's bottom-right corner: no control on the title screen,
// the tile count of the head-up display during a game.
constexpr Point kRestingPointer = {tmscreen::kScreenWidth - 4, tmscreen::kScreenHeight - 4};

Picture s_fromImage(const HImage *image)
{
    Picture picture;
    if (!image || !image->getData() || image->getFormat() != FORMAT_32BPP)
        return picture;
    picture.width = image->getWidth();
    picture.height = image->getHeight();
    const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
    picture.rgb.resize(pixels * 3);
    picture.alpha.resize(pixels);
    uint8_t rgba[4];
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            image->getPixelRGBA(x, y, rgba);
            const size_t at = static_cast<size_t>(y) * picture.width + x;
            std::copy(rgba, rgba + 3, picture.rgb.begin() + at * 3);
            picture.alpha[at] = rgba[3];
        }
    return picture;
}

Picture s_load(HFileSystem *fileSystem, const char *name)
{
    HImageLoaderProxy loader;
    if (!fileSystem || !loader.load(fileSystem, name))
        return {};
    Picture picture = s_fromImage(loader.getImage());
    loader.freeImage();
    return picture;
}

std::string s_rgb(const uint8_t *p)
{
    return "(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) + ")";
}

int32_t s_distance(const uint8_t screen[3], const uint8_t art[3])
{
    int32_t worst = 0;
    for (int32_t c = 0; c < 3; ++c)
        worst = std::max(worst, std::abs(static_cast<int32_t>(screen[c]) - art[c]));
    return worst;
}

// The region's pixels that lie on both pictures, walked with `visit(screen,
// art, x, y)` until it answers false; answers false when part of the region
// lies off either.
template <typename Visit>
bool s_walk(const Picture &shot, const Picture &art, Point drawnAt, Box region, Point origin, const LeaveOut &leaveOut,
            Visit visit)
{
    for (int32_t y = region.y0; y < region.y1; ++y)
        for (int32_t x = region.x0; x < region.x1; ++x) {
            if (leaveOut && leaveOut(x, y))
                continue;
            const int32_t ax = x - drawnAt.x, ay = y - drawnAt.y;
            const int32_t sx = x + origin.x, sy = y + origin.y;
            if (ax < 0 || ay < 0 || ax >= art.width || ay >= art.height || sx < 0 || sy < 0 ||
                sx >= shot.width || sy >= shot.height)
                return false;
            if (!visit(shot.at(sx, sy), art.at(ax, ay), x, y))
                return true;
        }
    return true;
}

std::string s_describe(Box b)
{
    return "(" + std::to_string(b.x0) + ", " + std::to_string(b.y0) + ")-(" + std::to_string(b.x1) + ", " +
           std::to_string(b.y1) + ")";
}

// The art's box where it is drawn, and the pixels in it to leave out: those
// the art does not cover whole, and those `leaveOut` names.
Box s_artBox(const Picture &art, Point drawnAt)
{
    return {drawnAt.x, drawnAt.y, drawnAt.x + art.width, drawnAt.y + art.height};
}

LeaveOut s_notOpaque(const Picture &art, Point drawnAt, const LeaveOut &leaveOut)
{
    return [&art, drawnAt, leaveOut](int32_t x, int32_t y) {
        const size_t at = static_cast<size_t>(y - drawnAt.y) * art.width + (x - drawnAt.x);
        return (!art.alpha.empty() && art.alpha[at] != 255) || (leaveOut && leaveOut(x, y));
    };
}

} // namespace

Picture archivePicture(const char *name)
{
    return s_load(demo::resources(), name);
}

bool closeTo(const uint8_t screen[3], const uint8_t art[3])
{
    return std::abs(screen[0] - art[0]) <= kRedBlueTolerance && std::abs(screen[1] - art[1]) <= kGreenTolerance &&
           std::abs(screen[2] - art[2]) <= kRedBlueTolerance;
}

::testing::AssertionResult showsPicture(const Picture &shot, const Picture &art, Point drawnAt, Box region,
                                        Point origin, const LeaveOut &leaveOut)
{
    int64_t off = 0, total = 0;
    int32_t worst = -1;
    Point worstAt = {0, 0};
    std::string worstText;
    const bool inside = s_walk(shot, art, drawnAt, region, origin, leaveOut,
                               [&](const uint8_t *screen, const uint8_t *expected, int32_t x, int32_t y) {
                                   ++total;
                                   if (closeTo(screen, expected))
                                       return true;
                                   ++off;
                                   const int32_t d = s_distance(screen, expected);
                                   if (d > worst) {
                                       worst = d;
                                       worstAt = {x, y};
                                       worstText = s_rgb(screen) + " where the art has " + s_rgb(expected);
                                   }
                                   return true;
                               });
    if (art.empty() || shot.empty() || !inside)
        return ::testing::AssertionFailure() << "the region " << s_describe(region)
                                             << " lies off the screenshot or the art";
    if (off == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << off << " of " << total << " pixels of " << s_describe(region)
                                         << " differ; the worst at (" << worstAt.x << ", " << worstAt.y
                                         << ") shows " << worstText;
}

double shareShowing(const Picture &shot, const Picture &art, Point drawnAt, Box region, Point origin,
                    const LeaveOut &leaveOut)
{
    int64_t matching = 0, total = 0;
    s_walk(shot, art, drawnAt, region, origin, leaveOut,
           [&](const uint8_t *screen, const uint8_t *expected, int32_t, int32_t) {
               ++total;
               matching += closeTo(screen, expected) ? 1 : 0;
               return true;
           });
    return total == 0 ? 0.0 : static_cast<double>(matching) / static_cast<double>(total);
}

::testing::AssertionResult showsOpaquePart(const Picture &shot, const Picture &art, Point drawnAt,
                                           const LeaveOut &leaveOut)
{
    if (std::none_of(art.alpha.begin(), art.alpha.end(), [](uint8_t a) { return a == 255; }))
        return ::testing::AssertionFailure() << "the art has no opaque pixel";
    return showsPicture(shot, art, drawnAt, s_artBox(art, drawnAt), {0, 0}, s_notOpaque(art, drawnAt, leaveOut));
}

double shareShowingOpaquePart(const Picture &shot, const Picture &art, Point drawnAt, const LeaveOut &leaveOut)
{
    return shareShowing(shot, art, drawnAt, s_artBox(art, drawnAt), {0, 0}, s_notOpaque(art, drawnAt, leaveOut));
}

bool findGameScreen(const Picture &shot, const Picture &art, Point drawnAt, Box region, Point &origin)
{
    const int32_t w = region.x1 - region.x0, h = region.y1 - region.y0;
    for (int32_t oy = -region.y0; oy + region.y0 + h <= shot.height; ++oy)
        for (int32_t ox = -region.x0; ox + region.x0 + w <= shot.width; ++ox) {
            bool all = true;
            s_walk(shot, art, drawnAt, region, {ox, oy}, nullptr,
                   [&](const uint8_t *s, const uint8_t *a, int32_t, int32_t) {
                       all = closeTo(s, a);
                       return all;
                   });
            if (all) {
                origin = {ox, oy};
                return true;
            }
        }
    return false;
}

// ---------------------------------------------------------------------------
// Child

Child::~Child()
{
    stop();
}

bool Child::start(const std::vector<std::string> &argv, const std::vector<std::string> &env, const std::string &cwd,
                  const std::string &outPath, const std::string &errPath, int keepFd)
{
    std::vector<char *> args, envp;
    std::vector<std::string> argCopy = argv, envCopy = env;
    for (std::string &a : argCopy)
        args.push_back(&a[0]);
    args.push_back(nullptr);
    for (std::string &e : envCopy)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // A group of its own, so that stop() reaches anything it starts.
        setpgid(0, 0);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (keepFd >= 0)
            fcntl(keepFd, F_SETFD, 0);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    if (pid < 0)
        return false;
    setpgid(pid, pid);
    m_pid = pid;
    m_ended = m_exited = false;
    m_exitStatus = -1;
    m_termSignal = 0;
    return true;
}

void Child::m_reap(int status)
{
    m_ended = true;
    if (WIFEXITED(status)) {
        m_exited = true;
        m_exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        m_termSignal = WTERMSIG(status);
    }
}

bool Child::running()
{
    if (m_pid <= 0 || m_ended)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid)
        m_reap(status);
    return !m_ended;
}

bool Child::waitForEnd(int32_t ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (running()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs / 5));
    }
    return m_pid > 0;
}

void Child::stop()
{
    if (!running())
        return;
    // The process itself as well, should it have no group of its own yet.
    kill(-m_pid, SIGTERM);
    kill(m_pid, SIGTERM);
    if (waitForEnd(3000))
        return;
    kill(-m_pid, SIGKILL);
    kill(m_pid, SIGKILL);
    int status = 0;
    if (waitpid(m_pid, &status, 0) == m_pid)
        m_reap(status);
}

std::string Child::describeEnd() const
{
    if (!m_ended)
        return "still running";
    return m_exited ? "exit status " + std::to_string(m_exitStatus) : "signal " + std::to_string(m_termSignal);
}

std::vector<std::string> environmentWith(const std::vector<std::string> &extra)
{
    static const char *const kDropped[] = {"HOME=", "DISPLAY=", "XAUTHORITY=", "SDL_VIDEODRIVER=",
                                           "SDL_AUDIODRIVER=", "SDL_VIDEO_", "LSAN_OPTIONS="};
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const bool dropped = std::any_of(std::begin(kDropped), std::end(kDropped),
                                         [&](const char *prefix) { return entry.rfind(prefix, 0) == 0; });
        if (!dropped)
            env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

// ---------------------------------------------------------------------------
// XServer

XServer::~XServer()
{
    m_server.stop();
}

bool XServer::start(const tilmar_test::TempDir &scratch, std::string &why)
{
    if (access(kServerPath, X_OK) != 0) {
        why = std::string(kServerPath) + " is not installed";
        return false;
    }
    for (int32_t display = kFirstDisplay; display <= kLastDisplay; ++display) {
        // The server writes its display number here once it takes clients;
        // one that finds the display taken ends without writing. Without
        // -noreset it would reset when its only client lets go, as SDL's
        // probe of the display does just before it connects for good.
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) {
            why = "no pipe for the server";
            return false;
        }
        const std::string name = ":" + std::to_string(display);
        const std::string log = scratch / ("xvfb" + std::to_string(display) + ".log");
        m_log = log;
        const std::string screen = std::to_string(kServerScreen.x) + "x" + std::to_string(kServerScreen.y) + "x24";
        const bool started = m_server.start({kServerPath, name, "-screen", "0", screen, "-nolisten", "tcp", "-noreset",
                                             "-displayfd", std::to_string(ready[1])},
                                            environmentWith({}), scratch.path(), log, log, ready[1]);
        close(ready[1]);
        std::string answer;
        const auto deadline = Clock::now() + std::chrono::milliseconds(kServerStartMs);
        while (started && Clock::now() < deadline) {
            pollfd p = {ready[0], POLLIN, 0};
            if (poll(&p, 1, kPollMs) <= 0)
                continue;
            char text[32];
            const ssize_t n = read(ready[0], text, sizeof text);
            if (n <= 0)
                break;
            answer.append(text, static_cast<size_t>(n));
            if (answer.find('\n') != std::string::npos)
                break;
        }
        close(ready[0]);
        if (!answer.empty() && std::atoi(answer.c_str()) == display && m_server.running()) {
            m_display = name;
            return true;
        }
        m_server.stop();
        why = "Xvfb started on none of :" + std::to_string(kFirstDisplay) + " to :" + std::to_string(kLastDisplay) +
              "; the last said: " + tilmar_test::readFile(log);
    }
    return false;
}

// ---------------------------------------------------------------------------
// Tools

ToolRun runTool(const std::string &display, const tilmar_test::TempDir &scratch,
                const std::vector<std::string> &argv, int32_t ms)
{
    static int32_t serial = 0;
    ++serial;
    const std::string out = scratch / ("tool_out_" + std::to_string(serial));
    const std::string err = scratch / ("tool_err_" + std::to_string(serial));
    ToolRun run;
    Child tool;
    if (!tool.start(argv, environmentWith({"DISPLAY=" + display}), scratch.path(), out, err)) {
        run.err = "could not start " + argv[0];
        return run;
    }
    run.finished = tool.waitForEnd(ms);
    tool.stop();
    run.exitStatus = tool.exited() ? tool.exitStatus() : -1;
    run.out = tilmar_test::readFile(out);
    run.err = tilmar_test::readFile(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

// ---------------------------------------------------------------------------
// GameWindow

GameWindow::GameWindow(const XServer &server, const tilmar_test::TempDir &scratch)
    : m_server(server), m_scratch(scratch)
{
}

ToolRun GameWindow::m_tool(const std::vector<std::string> &argv)
{
    return runTool(m_server.display(), m_scratch, argv);
}

bool GameWindow::m_toolSucceeds(const std::vector<std::string> &argv)
{
    const ToolRun run = m_tool(argv);
    return run.finished && run.exitStatus == 0;
}

bool GameWindow::launch(std::string &why, const std::vector<std::string> &options)
{
    const std::string program = std::string(TILMAR_BINARY_DIR) + "/bin/tilmar";
    if (access(program.c_str(), X_OK) != 0) {
        why = program + " is missing";
        return false;
    }
    if (access(kXdotoolPath, X_OK) != 0 || access(kImportPath, X_OK) != 0) {
        why = std::string(kXdotoolPath) + " or " + kImportPath + " is missing (scripts/install-deps installs them)";
        return false;
    }
    // Under the sanitizers, libX11's own leaks are not the program's.
    const char *lsan = std::getenv("LSAN_OPTIONS");
    const std::string leakOptions = "LSAN_OPTIONS=" + std::string(lsan && *lsan ? lsan + std::string(":") : "") +
                                    "suppressions=" TILMAR_SOURCE_DIR "/tests/window/lsan.supp";
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), options.begin(), options.end());
    if (!m_program.start(argv, environmentWith({"HOME=" + m_home.path(), "DISPLAY=" + m_server.display(),
                                                "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy", leakOptions}),
                         m_home.path(), m_home / "stdout.txt", m_home / "stderr.txt")) {
        why = "could not start " + program;
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWindowWaitMs);
    while (Clock::now() < deadline) {
        if (!m_program.running()) {
            why = "the program ended before its window showed on " + m_server.display() + ": " +
                  m_program.describeEnd() + "\n" + programOutput() + "\n--- X server ---\n" + m_server.log();
            return false;
        }
        const ToolRun search = m_tool({kXdotoolPath, "search", "--name", kWindowName});
        if (search.finished && search.exitStatus == 0 && !search.out.empty()) {
            m_window = search.out.substr(0, search.out.find('\n'));
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs * 4));
    }
    why = "no window named \"Tilmar...\" showed in time on " + m_server.display() + "\n" + programOutput() +
          "\n--- X server ---\n" + m_server.log();
    return false;
}

bool GameWindow::moveTo(Point p)
{
    return m_toolSucceeds(
        {kXdotoolPath, "mousemove", "--window", m_window, std::to_string(p.x), std::to_string(p.y)});
}

bool GameWindow::click(Point p)
{
    return moveTo(p) && m_toolSucceeds({kXdotoolPath, "click", "1"});
}

bool GameWindow::key(const std::string &keys)
{
    return rest() && m_toolSucceeds({kXdotoolPath, "key", keys});
}

bool GameWindow::keyDown(const std::string &name)
{
    return m_toolSucceeds({kXdotoolPath, "keydown", name});
}

bool GameWindow::keyUp(const std::string &name)
{
    return m_toolSucceeds({kXdotoolPath, "keyup", name});
}

bool GameWindow::rest()
{
    return moveTo(kRestingPointer);
}

bool GameWindow::screenshot(Picture &out, bool wholeScreen)
{
    const std::string name = "shot.png";
    // PNG24 keeps the file plain RGB whatever the colours, for the engine's
    // loader.
    const ToolRun run = m_tool({kImportPath, "-window", wholeScreen ? std::string("root") : m_window,
                                "PNG24:" + (m_scratch / name)});
    if (!run.finished || run.exitStatus != 0)
        return false;
    HStandardFileSystem folder;
    folder.mount(m_scratch.path().c_str());
    out = s_load(&folder, name.c_str());
    folder.shutdown();
    return !out.empty();
}

::testing::AssertionResult GameWindow::waitForScreen(
    const std::string &label, const std::function<::testing::AssertionResult(const Picture &)> &check,
    Picture &shot, bool wholeScreen, int32_t ms)
{
    ::testing::AssertionResult result = ::testing::AssertionFailure() << "no screenshot could be taken";
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    const std::string kept = std::string(TILMAR_BINARY_DIR) + "/tests/window-screenshots";
    mkdir(kept.c_str(), 0755);
    const std::string keptName = kept + "/" + label + ".png";
    do {
        if (screenshot(shot, wholeScreen)) {
            result = check(shot);
            tilmar_test::writeFile(keptName, tilmar_test::readFile(m_scratch / "shot.png"));
            if (result)
                return result;
        }
        if (!m_program.running())
            return ::testing::AssertionFailure() << "the program ended (" << m_program.describeEnd()
                                                 << ") while waiting for " << label << "\n"
                                                 << programOutput();
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs * 2));
    } while (Clock::now() < deadline);
    return ::testing::AssertionFailure() << label << " did not show in time (the last screenshot is " << keptName
                                         << "): " << result.message();
}

std::string GameWindow::programOutput() const
{
    return "--- stdout ---\n" + tilmar_test::readFile(m_home / "stdout.txt") + "\n--- stderr ---\n" +
           tilmar_test::readFile(m_home / "stderr.txt");
}

} // namespace window_test
