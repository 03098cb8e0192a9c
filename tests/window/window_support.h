// The real program in a real window: a virtual X server of the test's own,
// build/bin/tilmar on it, xdotool for the mouse and the keyboard and
// ImageMagick's import for screenshots, read back with the engine's image
// loaders. Every wait has a deadline and every process started here is
// ended when its owner goes, so a test cannot hang or leave one behind.
#ifndef TESTS_WINDOW_WINDOW_SUPPORT_H
#define TESTS_WINDOW_WINDOW_SUPPORT_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include <gtest/gtest.h>

#include "game/TMScreenLayout.h"
#include "support/test_support.h"

namespace window_test {

using tmscreen::Box;
using tmscreen::Point;

// Start-up under AddressSanitizer on a busy machine takes many seconds, so
// the waits are long; each ends as soon as what it waits for is there.
constexpr int32_t kWindowWaitMs = 120000;
constexpr int32_t kScreenWaitMs = 60000;
constexpr int32_t kExitWaitMs = 60000;
constexpr int32_t kToolWaitMs = 20000;

// The X server's screen: larger than the game's, so that a full-screen
// switch shows as the game screen moving to its middle.
constexpr Point kServerScreen = {1024, 768};

// 8-bit RGB pixels, rows top down, and each pixel's alpha as the engine's
// loaders give it (a screenshot's is opaque throughout).
struct Picture
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> alpha;

    bool empty() const { return width <= 0 || height <= 0; }
    const uint8_t *at(int32_t x, int32_t y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// A picture of the build's archive, decoded by the engine's loaders as the
// game decodes it; empty when it cannot be read.
Picture archivePicture(const char *name);

// How far a screen channel may lie from the art's 8-bit value on a 16-bit
// screen: the ordered dither moves a value by up to one step of the
// channel's bits before it is cut to them, and the 24-bit X screen widens
// the result again by shifting (with or without repeating the top bits).
constexpr int32_t kRedBlueTolerance = 2 * (256 >> 5);
constexpr int32_t kGreenTolerance = 2 * (256 >> 6);
bool closeTo(const uint8_t screen[3], const uint8_t art[3]);

// Game-screen pixels a comparison leaves out.
using LeaveOut = std::function<bool(int32_t x, int32_t y)>;

// Whether every pixel of `region` (game-screen coordinates) shows the art
// drawn with its top-left corner at `drawnAt`, on a screenshot whose game
// screen starts at `origin`. The failure says how many pixels are off and
// shows the worst.
::testing::AssertionResult showsPicture(const Picture &shot, const Picture &art, Point drawnAt, Box region,
                                        Point origin = {0, 0}, const LeaveOut &leaveOut = nullptr);
// The share of the region's pixels that match the art, 0 to 1.
double shareShowing(const Picture &shot, const Picture &art, Point drawnAt, Box region, Point origin = {0, 0},
                    const LeaveOut &leaveOut = nullptr);
// The same two for the art's opaque pixels alone, with the art's top-left
// corner at `drawnAt`: what a picture blended over the screen, such as a
// button or a tile's outline, shows whatever lies beneath it.
::testing::AssertionResult showsOpaquePart(const Picture &shot, const Picture &art, Point drawnAt,
                                           const LeaveOut &leaveOut = nullptr);
double shareShowingOpaquePart(const Picture &shot, const Picture &art, Point drawnAt,
                              const LeaveOut &leaveOut = nullptr);
// Where the game screen starts on the screenshot: the offset at which the
// art's box, drawn at `drawnAt` on the game screen, shows whole. False when
// it shows nowhere.
bool findGameScreen(const Picture &shot, const Picture &art, Point drawnAt, Box region, Point &origin);

// A process started here, ended by force (with its whole process group) when
// the object goes and it still runs.
class Child
{
public:
    Child() = default;
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    // Runs argv[0] (a path) with exactly `env`, in `cwd`, its standard input
    // from /dev/null and its output into the two files. `keepFd`, when not
    // -1, stays open in the child. False when the fork failed.
    bool start(const std::vector<std::string> &argv, const std::vector<std::string> &env, const std::string &cwd,
               const std::string &outPath, const std::string &errPath, int keepFd = -1);
    pid_t pid() const { return m_pid; }
    bool running();
    // Waits up to `ms` for the end; true when it ended, with its status.
    bool waitForEnd(int32_t ms);
    // SIGTERM, a short wait, then SIGKILL.
    void stop();

    bool exited() const { return m_exited; }
    int exitStatus() const { return m_exitStatus; }
    int termSignal() const { return m_termSignal; }
    std::string describeEnd() const;

private:
    void m_reap(int status);

    pid_t m_pid = -1;
    bool m_ended = false;
    bool m_exited = false;
    int m_exitStatus = -1;
    int m_termSignal = 0;
};

// This process's environment without the variables that choose a display,
// drivers or a home, plus `extra`.
std::vector<std::string> environmentWith(const std::vector<std::string> &extra);

// An Xvfb of the test's own on the first free display from :90 on.
class XServer
{
public:
    XServer() = default;
    ~XServer();

    // False, with the reason, when no server could be started.
    bool start(const tilmar_test::TempDir &scratch, std::string &why);
    const std::string &display() const { return m_display; }
    // What the server wrote, for failure messages.
    std::string log() const { return tilmar_test::readFile(m_log); }

private:
    Child m_server;
    std::string m_display;
    std::string m_log;
};

struct ToolRun
{
    bool finished = false;
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs a tool (xdotool, import) on the display, ended by force after `ms`.
ToolRun runTool(const std::string &display, const tilmar_test::TempDir &scratch,
                const std::vector<std::string> &argv, int32_t ms = kToolWaitMs);

// build/bin/tilmar on the server, with a scratch home and working directory
// and the dummy sound driver.
class GameWindow
{
public:
    GameWindow(const XServer &server, const tilmar_test::TempDir &scratch);

    // Starts the program, with `options` on its command line, and waits for
    // its window; false, with the reason.
    bool launch(std::string &why, const std::vector<std::string> &options = {});
    Child &program() { return m_program; }

    // Pointer and keyboard through the X server. Points are in the window.
    bool moveTo(Point p);
    bool click(Point p);
    // xdotool's key names, e.g. "alt+Return"; the keys go to the window
    // under the pointer, so the pointer rests in the window first.
    bool key(const std::string &keys);
    // One key held down, and let go, wherever the pointer is.
    bool keyDown(const std::string &name);
    bool keyUp(const std::string &name);
    // Moves the pointer to a corner of the window where it lights no
    // control. It stays in the window: the game pauses when the pointer
    // leaves it.
    bool rest();

    // The window's contents, or with `wholeScreen` the X server's whole
    // screen; false when import failed (the window may be changing).
    bool screenshot(Picture &out, bool wholeScreen = false);
    // Takes screenshots until `check` accepts one or `ms` have passed; the
    // last screenshot stays in `shot`, a copy of it in the build's
    // window-screenshots folder under `label`.
    ::testing::AssertionResult waitForScreen(
        const std::string &label, const std::function<::testing::AssertionResult(const Picture &)> &check,
        Picture &shot, bool wholeScreen = false, int32_t ms = kScreenWaitMs);
    std::string programOutput() const;
    // A file the program wrote in its home, which is its working directory.
    std::string homeFile(const std::string &name) const { return m_home / name; }

private:
    ToolRun m_tool(const std::vector<std::string> &argv);
    bool m_toolSucceeds(const std::vector<std::string> &argv);

    const XServer &m_server;
    const tilmar_test::TempDir &m_scratch;
    tilmar_test::TempDir m_home;
    Child m_program;
    std::string m_window;
};

} // namespace window_test

#endif
