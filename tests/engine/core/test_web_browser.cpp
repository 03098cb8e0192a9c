// The web-browser launcher, run in child processes against stub browsers:
// shell scripts in a scratch PATH that record how they were started.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/HWebBrowser.h"
#include "platform_test_support.h"

using platform_test::ChildOutcome;
using platform_test::ScratchDir;
using platform_test::runInChild;

namespace {

// Shell characters in it show that every row keeps the address quoted.
const char kURL[] = "http://www.example.com/page?a=1&b=$(c);d|e`f`#top";

std::string noBrowserMessage(const std::string &url)
{
    return "You should be looking at [" + url + "],\n but we can't launch a browser.\n";
}

std::string lines(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text += item + "\n";
    return text;
}

// lines(), with an item's leading '@' standing for the folder.
std::string linesIn(const std::string &folder, std::vector<std::string> items)
{
    for (std::string &item : items) {
        if (!item.empty() && item[0] == '@')
            item.replace(0, 1, folder);
    }
    return lines(items);
}

class WebBrowserLaunch : public ::testing::Test
{
protected:
    // One fresh set of folders per case: bin for browsers, xbin for xterm.
    struct Sandbox
    {
        std::string root, bin, xbin, log;
    };

    Sandbox sandbox()
    {
        Sandbox box;
        box.root = dir / ("case" + std::to_string(++m_serial));
        box.bin = box.root + "/bin";
        box.xbin = box.root + "/xbin";
        box.log = box.root + "/log";
        platform_test::makeDirs(box.bin);
        platform_test::makeDirs(box.xbin);
        return box;
    }

    // A stub that appends its name and arguments, one per line, to the log,
    // then runs the given shell lines (its exit status is theirs).
    void stub(const Sandbox &box, const std::string &folder, const std::string &name,
              const std::string &then = "")
    {
        ASSERT_TRUE(platform_test::writeFile(folder + "/" + name,
                                             "#!/bin/sh\nprintf '%s\\n' '" + name + "' \"$@\" >> '" +
                                                 box.log + "'\n" + then,
                                             0755));
    }

    // A stub that logs "<name> started", waits up to five seconds for the
    // sandbox's release file, then logs "<name> finished".
    void slowStub(const Sandbox &box, const std::string &name)
    {
        const std::string log = " >> '" + box.log + "'\n";
        ASSERT_TRUE(platform_test::writeFile(
            box.bin + "/" + name,
            "#!/bin/sh\necho '" + name + " started'" + log + "i=0\nwhile [ ! -e '" + box.root +
                "/release' ] && [ $i -lt 250 ]; do /bin/sleep 0.02; i=$((i + 1)); done\necho '" +
                name + " finished'" + log,
            0755));
    }

    // Launches in a child with the given PATH, DISPLAY and HOME ("-" unsets)
    // and working directory.
    ChildOutcome launch(const char *url, const std::string &path, const std::string &display,
                        const std::string &home = "-", const std::string &cwd = "/")
    {
        return runInChild(dir.path(), [&] {
            auto put = [](const char *name, const std::string &value) {
                if (value == "-")
                    unsetenv(name);
                else
                    setenv(name, value.c_str(), 1);
            };
            put("PATH", path);
            put("DISPLAY", display);
            put("HOME", home);
            if (chdir(cwd.c_str()) != 0)
                return;
            launchWebBrowser(url);
        });
    }

    // Launches kURL with stubs of the installed programs alone in PATH.
    ChildOutcome launchAmong(const Sandbox &box, const std::vector<std::string> &installed,
                             const std::string &display)
    {
        for (const std::string &program : installed)
            stub(box, box.bin, program);
        return launch(kURL, box.bin, display);
    }

    ScratchDir dir;

private:
    int m_serial = 0;
};

} // namespace

TEST_F(WebBrowserLaunch, EachGraphicalBrowserGetsItsOwnCommand)
{
    const std::string url = kURL;
    struct Case
    {
        const char *program;
        std::vector<std::string> recorded;
    };
    const Case cases[] = {
        {"mozilla", {"mozilla", url}},
        {"phoenix", {"phoenix", url}},
        {"gnome-moz-remote", {"gnome-moz-remote", "--newwin", url}},
        {"galeon", {"galeon", url}},
        // The remote call succeeds, so the second netscape is not started.
        {"netscape", {"netscape", "-remote", "openURL(" + url + ",new-window)"}},
        {"konqueror", {"konqueror", url}},
        {"opera", {"opera", "-page=" + url}},
        {"NetPositive", {"NetPositive", url}},
        // xterm is given the text browser the search found ("@": its folder).
        {"links", {"xterm", "-T", "Web Browser", "-e", "@/./links", url}},
        {"lynx", {"xterm", "-T", "Web Browser", "-e", "@/./lynx", url}},
        {"x-www-browser", {"x-www-browser", url}},
        {"xdg-open", {"xdg-open", url}},
        {"firefox", {"firefox", url}},
    };
    for (const Case &c : cases) {
        const Sandbox box = sandbox();
        stub(box, box.bin, c.program);
        stub(box, box.xbin, "xterm");
        const ChildOutcome child = launch(kURL, box.bin + ":" + box.xbin, ":99");
        EXPECT_TRUE(child.exited);
        EXPECT_EQ(0, child.exitStatus) << c.program;
        EXPECT_EQ("", child.err) << c.program;
        EXPECT_EQ(linesIn(box.bin, c.recorded), platform_test::waitForFile(box.log)) << c.program;
    }
}

TEST_F(WebBrowserLaunch, WithoutDisplayOnlyTextBrowsersRunInTheTerminal)
{
    struct Case
    {
        std::vector<std::string> installed;
        std::string recorded; // empty: nothing is started
    };
    const Case cases[] = {
        {{"links", "lynx", "mozilla"}, lines({"links", kURL})},
        {{"lynx", "xterm"}, lines({"lynx", kURL})},
        {{"www-browser", "x-www-browser"}, lines({"www-browser", kURL})},
        // Debian's chosen text browser comes after the named ones.
        {{"www-browser", "lynx"}, lines({"lynx", kURL})},
        {{"mozilla", "opera", "xterm", "x-www-browser", "xdg-open", "firefox"}, ""},
    };
    for (const Case &c : cases) {
        const Sandbox box = sandbox();
        const ChildOutcome child = launchAmong(box, c.installed, "-");
        EXPECT_TRUE(child.exited);
        EXPECT_EQ(0, child.exitStatus);
        // The text browsers run in the foreground: their log is complete now.
        EXPECT_EQ(c.recorded, platform_test::readFile(box.log)) << c.installed[0];
        EXPECT_EQ(c.recorded.empty() ? noBrowserMessage(kURL) : "", child.err) << c.installed[0];
    }
}

TEST_F(WebBrowserLaunch, FirstUsableBrowserInTableOrderWins)
{
    const Sandbox box = sandbox();
    platform_test::makeDirs(box.bin + "/mozilla"); // a directory, not a program
    ASSERT_TRUE(platform_test::writeFile(box.bin + "/phoenix", "#!/bin/sh\n", 0644));
    stub(box, box.bin, "opera");
    stub(box, box.bin, "lynx");
    stub(box, box.xbin, "xterm");
    // galeon is found in a later PATH element than opera, but comes first in the table.
    const std::string later = box.root + "/later";
    platform_test::makeDirs(later);
    stub(box, later, "galeon");

    const ChildOutcome child = launch(kURL, box.bin + ":" + box.xbin + ":" + later, ":0");
    EXPECT_EQ(0, child.exitStatus);
    EXPECT_EQ(lines({"galeon", kURL}), platform_test::waitForFile(box.log));
}

TEST_F(WebBrowserLaunch, TextBrowsersNeedXtermToStartWithADisplay)
{
    // Without xterm on PATH a found links or lynx cannot be shown in a
    // window: the search goes on, and Debian's own names come last.
    struct Case
    {
        std::vector<std::string> installed;
        std::vector<std::string> recorded; // empty: nothing is started
    };
    const Case cases[] = {
        {{"links"}, {}},
        {{"links", "lynx"}, {}},
        {{"links", "x-www-browser"}, {"x-www-browser", kURL}},
        {{"lynx", "firefox", "xdg-open"}, {"xdg-open", kURL}},
        {{"firefox", "xdg-open", "x-www-browser"}, {"x-www-browser", kURL}},
        {{"firefox", "links"}, {"firefox", kURL}},
        {{"x-www-browser", "konqueror"}, {"konqueror", kURL}},
        // The graphical rows are tried with a display, not the text ones.
        {{"www-browser", "links"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(lines(c.installed));
        const Sandbox box = sandbox();
        const ChildOutcome child = launchAmong(box, c.installed, ":0");
        EXPECT_TRUE(child.exited);
        EXPECT_EQ(0, child.exitStatus);
        if (c.recorded.empty()) {
            EXPECT_EQ(noBrowserMessage(kURL), child.err);
            EXPECT_FALSE(platform_test::fileExists(box.log));
        } else {
            EXPECT_EQ("", child.err);
            EXPECT_EQ(lines(c.recorded), platform_test::waitForFile(box.log));
        }
    }
}

TEST_F(WebBrowserLaunch, AFoundProgramTheShellCannotRunInTheForegroundIsNotALaunch)
{
    // The search finds an executable file, but its "#!" interpreter does not
    // exist: the shell answers 127 for each row it waits for.
    struct Case
    {
        const char *program;
        const char *display;
    };
    const Case cases[] = {
        {"lynx", "-"},
        {"www-browser", "-"},
        {"gnome-moz-remote", ":0"},
        {"netscape", ":0"},
        {"NetPositive", ":0"},
    };
    for (const Case &c : cases) {
        const Sandbox box = sandbox();
        const std::string program = box.bin + "/" + c.program;
        ASSERT_TRUE(platform_test::writeFile(program, "#!" + box.root + "/missing\n", 0755));
        const ChildOutcome child = launch(kURL, box.bin, c.display);
        EXPECT_TRUE(child.exited);
        EXPECT_EQ(0, child.exitStatus);
        // The shell's own complaint comes first.
        const std::string message = noBrowserMessage(kURL);
        ASSERT_GE(child.err.size(), message.size()) << c.program << ": " << child.err;
        EXPECT_EQ(message, child.err.substr(child.err.size() - message.size()))
            << c.program << ": " << child.err;
    }
}

TEST_F(WebBrowserLaunch, UnsafeURLsLaunchNothing)
{
    const std::string bad[] = {
        "http://x/'$(echo>PWNED)'",
        "http://x/'>PWNED'",
        "http://x/\necho>PWNED",
        "http://x/\techo",
        "http://x/ >PWNED",
        "http://x/\x7f",
        "http://x/\xc3\xa9",
        "-cmd_script=PWNED", // an option for the browser
        "",
    };
    for (const std::string &url : bad) {
        const Sandbox box = sandbox();
        stub(box, box.bin, "lynx");
        const ChildOutcome child = launch(url.c_str(), box.bin, "-", "-", box.root);
        EXPECT_TRUE(child.exited);
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ(noBrowserMessage(url), child.err) << url;
        EXPECT_FALSE(platform_test::fileExists(box.log)) << url;
        EXPECT_FALSE(platform_test::fileExists(box.root + "/PWNED")) << url;
    }

    const Sandbox box = sandbox();
    stub(box, box.bin, "lynx");
    const ChildOutcome child = launch(nullptr, box.bin, "-");
    EXPECT_EQ(0, child.exitStatus);
    EXPECT_EQ(noBrowserMessage(""), child.err);
    EXPECT_FALSE(platform_test::fileExists(box.log));
}

TEST_F(WebBrowserLaunch, ShellCharactersReachTheBrowserAsTheyStand)
{
    // Inside the quotes nothing but a quote is special to the shell: each
    // URL arrives whole and nothing it spells runs.
    const std::string urls[] = {
        "https://user@Host-1.example.org:8080/a_b/~c/d.e?f=g%20h+i,j#K9",
        "http://x/page?a=1&b=2;c=[3]!(4)*",
        "http://x/;echo>PWNED",
        "http://x/$(echo>PWNED)",
        "http://x/`echo>PWNED`",
        "http://x/a&echo>PWNED",
        "http://x/a|echo>PWNED",
        "http://x/\"a\"{b}<c>^$HOME",
        "http://x/a\\b\\n",
    };
    for (const std::string &url : urls) {
        const Sandbox box = sandbox();
        stub(box, box.bin, "lynx");
        const ChildOutcome child = launch(url.c_str(), box.bin, "-", "-", box.root);
        EXPECT_EQ(0, child.exitStatus) << url;
        EXPECT_EQ("", child.err) << url;
        EXPECT_EQ(lines({"lynx", url}), platform_test::readFile(box.log)) << url;
        EXPECT_FALSE(platform_test::fileExists(box.root + "/PWNED")) << url;
    }
}

TEST_F(WebBrowserLaunch, PatternsInTheURLAreNotExpandedByTheShell)
{
    // A file in the working directory that the URL's '?' would match if the
    // shell saw the URL unquoted ("http://a.example.com/x?y=1" as a pattern).
    const std::string url = "http://a.example.com/x?y=1";
    const std::string cwd = dir / "patterns";
    platform_test::makeDirs(cwd + "/http:/a.example.com");
    ASSERT_TRUE(platform_test::writeFile(cwd + "/http:/a.example.com/x7y=1", "", 0644));
    const Sandbox box = sandbox();
    stub(box, box.bin, "mozilla");
    const ChildOutcome child = launch(url.c_str(), box.bin, ":99", "-", cwd);
    EXPECT_EQ(0, child.exitStatus);
    EXPECT_EQ("", child.err);
    EXPECT_EQ(lines({"mozilla", url}), platform_test::waitForFile(box.log));
}

TEST_F(WebBrowserLaunch, CommandMustFitItsBuffer)
{
    // "'<folder>/./lynx' '<url>'" fills the 16384-byte command buffer
    // exactly, the quote in the folder's name written as the four bytes '\''.
    const std::string folder = dir / "it's";
    platform_test::makeDirs(folder);
    const Sandbox box = sandbox();
    stub(box, folder, "lynx");
    const size_t quotedPath = folder.size() + 3 + std::string("/./lynx").size() + 2;
    const std::string fits = "http://" + std::string(16384 - 1 - quotedPath - 3 - 7, 'a');
    const std::string tooLong = fits + "a";
    {
        const ChildOutcome child = launch(fits.c_str(), folder, "-");
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_TRUE(child.err.empty());
        EXPECT_EQ(lines({"lynx", fits}), platform_test::readFile(box.log));
    }
    ASSERT_TRUE(platform_test::writeFile(box.log, "", 0644));
    {
        const ChildOutcome child = launch(tooLong.c_str(), folder, "-");
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ(noBrowserMessage(tooLong), child.err);
        EXPECT_EQ("", platform_test::readFile(box.log));
    }
}

TEST_F(WebBrowserLaunch, PathElementsUnderHomeAndTheWorkingDirectory)
{
    // With a display, a text browser found anywhere runs inside xterm, which
    // is given the path the search found: so the log shows where it looked.
    struct Case
    {
        std::string pathHead; // elements before xbin; "@" stands for the sandbox root
        std::string browserFolder;
        std::string home; // "@" likewise; "-" unset
        std::string cwd;
        std::string found; // the path xterm is given; "@" likewise
    };
    const Case cases[] = {
        {"~/bin", "/home/bin", "@/home", "/", "@/home/bin/./lynx"},
        {"~/bin/", "/home/bin", "@/home/", "/", "@/home//bin//./lynx"},
        {"~", "/home", "@/home", "/", "@/home/./lynx"},
        {"~/bin", "/home/bin", "-", "@/home", "./bin/./lynx"},
        {"", "/cwd", "-", "@/cwd", "./lynx"},
        {".", "/cwd", "-", "@/cwd", "./lynx"},
        // Relative paths are led by "./", so the "#!" interpreter of a
        // browser script takes none for an option (xterm runs what follows
        // -e as it stands).
        {"bin", "/cwd/bin", "-", "@/cwd", "./bin/./lynx"},
        {"-e", "/cwd/-e", "-", "@/cwd", "./-e/./lynx"},
        // An element too long for the candidate is skipped.
        {"/" + std::string(5000, 'x') + ":@/bin", "/bin", "-", "/", "@/bin/./lynx"},
    };
    for (const Case &c : cases) {
        const Sandbox box = sandbox();
        auto expand = [&](std::string text) {
            for (size_t at; (at = text.find('@')) != std::string::npos;)
                text.replace(at, 1, box.root);
            return text;
        };
        platform_test::makeDirs(box.root + c.browserFolder);
        stub(box, box.root + c.browserFolder, "lynx");
        stub(box, box.xbin, "xterm");
        const ChildOutcome child =
            launch(kURL, expand(c.pathHead) + ":" + box.xbin, ":0", expand(c.home), expand(c.cwd));
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ("", child.err) << c.pathHead;
        EXPECT_EQ(lines({"xterm", "-T", "Web Browser", "-e", expand(c.found), kURL}),
                  platform_test::waitForFile(box.log))
            << "PATH head '" << c.pathHead.substr(0, 20) << "' HOME '" << c.home << "'";
    }
}

TEST_F(WebBrowserLaunch, ALiteralTildeInPathStartsWhatTheSearchFoundUnderHome)
{
    // A quoted PATH assignment in a profile leaves "~" as it stands, which
    // the shell would take for a folder named "~". PATH holds nothing else,
    // so no browser of this machine's own comes before the stubs.
    const std::string url = kURL;
    struct Case
    {
        std::vector<std::string> installed;
        std::vector<std::string> recorded; // "@" stands for the home's bin
    };
    const Case cases[] = {
        {{"x-www-browser"}, {"x-www-browser", url}},
        {{"links", "xterm"}, {"xterm", "-T", "Web Browser", "-e", "@/./links", url}},
        // The remote call fails, so the second netscape is started too.
        {{"netscape"}, {"netscape", "-remote", "openURL(" + url + ",new-window)", "netscape", url}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.installed[0]);
        const Sandbox box = sandbox();
        const std::string home = box.root + "/home";
        platform_test::makeDirs(home + "/bin");
        for (const std::string &program : c.installed)
            stub(box, home + "/bin", program, "[ \"$1\" != -remote ]\n");
        const ChildOutcome child = launch(kURL, "~/bin", ":0", home, box.root);
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ("", child.err);
        EXPECT_EQ(linesIn(home + "/bin", c.recorded), platform_test::waitForFile(box.log));
    }
}

TEST_F(WebBrowserLaunch, FoundPathsReachTheShellQuoted)
{
    // Inside the quotes the shell reads none of these characters: each
    // program starts at its odd path and nothing the path spells runs.
    const std::string odd = "/it's a $(echo>PWNED);`echo>PWNED`|\"\\'\t\n&'";
    const std::string url = kURL;
    struct Case
    {
        std::vector<std::string> installed;
        const char *display;
        std::vector<std::string> recorded; // "@" stands for the odd folder
    };
    const Case cases[] = {
        {{"lynx"}, "-", {"lynx", kURL}},
        {{"firefox"}, ":0", {"firefox", kURL}},
        {{"netscape"}, ":0", {"netscape", "-remote", "openURL(" + url + ",new-window)", "netscape",
                              url}},
        {{"lynx", "xterm"}, ":0", {"xterm", "-T", "Web Browser", "-e", "@/./lynx", kURL}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.installed[0]);
        const Sandbox box = sandbox();
        const std::string folder = box.root + odd;
        platform_test::makeDirs(folder);
        for (const std::string &program : c.installed)
            stub(box, folder, program, "[ \"$1\" != -remote ]\n");
        const ChildOutcome child = launch(kURL, folder, c.display, "-", box.root);
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ("", child.err);
        EXPECT_EQ(linesIn(folder, c.recorded), platform_test::waitForFile(box.log));
        EXPECT_FALSE(platform_test::fileExists(box.root + "/PWNED"));
    }
}

TEST_F(WebBrowserLaunch, GraphicalBrowsersAreLeftRunningAndTheRestAreWaitedFor)
{
    // Each stub waits for the release file. A background row's browser must
    // not have finished when the launcher ends; a foreground row's, with the
    // release file there from the start, must have.
    struct Case
    {
        const char *program;
        const char *display;
        bool background;
        const char *host = nullptr; // what the command starts instead of the program
    };
    const Case cases[] = {
        {"mozilla", ":0", true},
        {"phoenix", ":0", true},
        {"gnome-moz-remote", ":0", false},
        {"galeon", ":0", true},
        {"netscape", ":0", false},
        {"konqueror", ":0", true},
        {"opera", ":0", true},
        {"NetPositive", ":0", false},
        {"links", ":0", true, "xterm"},
        {"lynx", ":0", true, "xterm"},
        {"links", "-", false},
        {"lynx", "-", false},
        {"x-www-browser", ":0", true},
        {"xdg-open", ":0", true},
        {"firefox", ":0", true},
        {"www-browser", "-", false},
    };
    // Every row runs with the stubs' folder on PATH as it stands, and again
    // with it written "~/bin" and HOME at the sandbox. The shell takes that
    // element for a folder named "~" in the working directory, where there is
    // none: a row that started its browser by name would find nothing.
    struct PathStyle
    {
        const char *path; // "@" stands for the sandbox root
        const char *home; // likewise; "-" unset
        const char *cwd;  // likewise
    };
    const PathStyle pathStyles[] = {
        {"@/bin", "-", "/"},
        {"~/bin", "@", "@"},
    };
    for (const PathStyle &style : pathStyles) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.program) + " with DISPLAY " + c.display + " and PATH " +
                         style.path);
            const Sandbox box = sandbox();
            auto inBox = [&](std::string text) {
                if (text[0] == '@')
                    text.replace(0, 1, box.root);
                return text;
            };
            const std::string release = box.root + "/release";
            const std::string started = c.host != nullptr ? c.host : c.program;
            if (c.host != nullptr)
                stub(box, box.bin, c.program);
            slowStub(box, started);
            if (!c.background) {
                ASSERT_TRUE(platform_test::writeFile(release, "", 0644));
            }

            const ChildOutcome child = launch(kURL, inBox(style.path), c.display,
                                              inBox(style.home), inBox(style.cwd));
            EXPECT_EQ("", child.err);
            const std::string finished = lines({started + " started", started + " finished"});
            if (c.background) {
                EXPECT_EQ(std::string::npos, platform_test::readFile(box.log).find("finished"));
                ASSERT_TRUE(platform_test::writeFile(release, "", 0644));
                for (int i = 0; i < 500 && platform_test::readFile(box.log) != finished; ++i)
                    usleep(10000);
            }
            EXPECT_EQ(finished, platform_test::readFile(box.log));
        }
    }
}

TEST_F(WebBrowserLaunch, ABrowserFoundAtARelativePathBeginningWithADashRuns)
{
    // A script found at "-bin/./lynx" would hand its "#!" interpreter that
    // path as its first argument, which sh reads as options.
    for (const char *display : {"-", ":0"}) {
        SCOPED_TRACE(display);
        const Sandbox box = sandbox();
        const char *program = display[0] == '-' ? "lynx" : "x-www-browser";
        platform_test::makeDirs(box.root + "/-bin");
        stub(box, box.root + "/-bin", program);
        const ChildOutcome child = launch(kURL, "-bin", display, "-", box.root);
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ("", child.err);
        EXPECT_EQ(lines({program, kURL}), platform_test::waitForFile(box.log));
    }
}

TEST_F(WebBrowserLaunch, NoPathMeansNoBrowser)
{
    const Sandbox box = sandbox();
    stub(box, box.bin, "lynx");
    for (const char *display : {"-", ":0"}) {
        const ChildOutcome child = launch(kURL, "-", display, "-", box.bin);
        EXPECT_TRUE(child.exited);
        EXPECT_EQ(0, child.exitStatus);
        EXPECT_EQ(noBrowserMessage(kURL), child.err);
    }
    EXPECT_FALSE(platform_test::fileExists(box.log));
}
