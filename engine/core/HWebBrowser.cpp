#include "engine/core/HWebBrowser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

namespace {

struct HBrowserEntry
{
    int32_t consoleOnly; // 1 for browsers that run in the text console
    const char *program;
    // "%p" is the program and "%h" the host as the search found them, "%s" the URL.
    const char *format;
    const char *host = nullptr; // the program the command starts the browser in
};

// Tried in this order; the first one found in PATH (with its host program,
// if it has one) is started. The URL always stands inside single quotes (it
// can hold none), so the shell neither splits it nor expands '?', '*' or '~'
// in it. The last rows are the names a current Debian machine answers to.
const HBrowserEntry s_browsers[] = {
    {0, "mozilla", "%p '%s' &"},
    {0, "phoenix", "%p '%s' &"},
    {0, "gnome-moz-remote", "%p --newwin '%s'"},
    {0, "galeon", "%p '%s' &"},
    {0, "netscape", "%p -remote 'openURL(%s,new-window)' || %p '%s'"},
    {0, "konqueror", "%p '%s' &"},
    {0, "opera", "%p -page='%s' &"},
    {0, "NetPositive", "%p '%s'"},
    {0, "links", "%h -T \"Web Browser\" -e %p '%s' &", "xterm"},
    {0, "lynx", "%h -T \"Web Browser\" -e %p '%s' &", "xterm"},
    {1, "links", "%p '%s'"},
    {1, "lynx", "%p '%s'"},
    {0, "x-www-browser", "%p '%s' &"},
    {0, "xdg-open", "%p '%s' &"},
    {0, "firefox", "%p '%s' &"},
    {1, "www-browser", "%p '%s'"},
};

constexpr size_t kCandidateSize = 4096;
constexpr size_t kCommandSize = 16384;

// Appends to a fixed buffer and remembers whether anything did not fit, so
// nothing cut short is used: an over-long candidate path is passed over for
// the next PATH element, and a command that does not fit is not run, which
// ends the search with the "can't launch" message.
class BoundedText
{
public:
    BoundedText(char *buffer, size_t size) : m_buffer(buffer), m_size(size) { m_buffer[0] = '\0'; }

    void append(const char *text, size_t length)
    {
        if (m_overflow || m_length + length >= m_size) {
            m_overflow = true;
            return;
        }
        memcpy(m_buffer + m_length, text, length);
        m_length += length;
        m_buffer[m_length] = '\0';
    }
    void append(const char *text) { append(text, strlen(text)); }
    bool fits() const { return !m_overflow; }

private:
    char *m_buffer;
    size_t m_size;
    size_t m_length = 0;
    bool m_overflow = false;
};

bool s_isRegularExecutable(const char *path)
{
    struct stat info;
    return access(path, X_OK) == 0 && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// Searches PATH for the program and leaves the path it was found at in
// found; the command starts that path, since the shell would not read a
// leading '~' or a one-character element the way this search does.
bool s_findInPath(const char *program, char (&found)[kCandidateSize])
{
    const char *path = getenv("PATH");
    if (path == nullptr)
        return false;
    const char *home = getenv("HOME");
    if (home == nullptr)
        home = ".";

    for (const char *element = path;;) {
        const char *end = strchr(element, ':');
        const size_t length = end != nullptr ? static_cast<size_t>(end - element) : strlen(element);

        BoundedText text(found, sizeof found);
        const char *rest = element;
        size_t restLength = length;
        const bool fromHome = restLength > 0 && rest[0] == '~';
        if (fromHome) {
            text.append(home);
            ++rest;
            --restLength;
        }
        if (restLength > 1) {
            text.append(rest, restLength);
            text.append("/");
        } else if (fromHome) {
            // A bare "~" names the home directory itself.
            text.append("/");
        }
        text.append("./");
        text.append(program);

        if (text.fits() && s_isRegularExecutable(found))
            return true;
        if (end == nullptr)
            return false;
        element = end + 1;
    }
}

// Inside single quotes every byte but the quote stands for itself to the
// shell; a quote in the path closes them, is escaped and opens them again.
// A relative path is led by "./": a browser that is a script hands its path
// to its "#!" interpreter, which would take one beginning with '-' or '+'
// for options, through xterm's -e as in the shell.
void s_appendQuoted(BoundedText &command, const char *path)
{
    command.append("'");
    if (path[0] != '/' && strncmp(path, "./", 2) != 0)
        command.append("./");
    for (const char *quote; (quote = strchr(path, '\'')) != nullptr; path = quote + 1) {
        command.append(path, static_cast<size_t>(quote - path));
        command.append("'\\''");
    }
    command.append(path);
    command.append("'");
}

// Writes a row's command: the found paths quoted, the URL as it stands (the
// formats quote it themselves).
void s_formatCommand(BoundedText &command, const char *format, const char *program,
                     const char *host, const char *url)
{
    for (const char *c = format; *c != '\0'; ++c) {
        if (*c != '%') {
            command.append(c, 1);
            continue;
        }
        switch (*++c) {
        case 'p':
            s_appendQuoted(command, program);
            break;
        case 'h':
            s_appendQuoted(command, host);
            break;
        case 's':
            command.append(url);
            break;
        case '\0':
            return; // a '%' at the end names nothing
        default:
            command.append(c - 1, 2);
            break;
        }
    }
}

bool s_isAsciiAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

// The URL reaches the shell inside single quotes, where every character but
// the quote itself stands for itself; control characters, white space and
// bytes beyond ASCII have no place in an address, and a leading '-' would be
// taken by the browser for an option.
bool isLaunchableURL(const char *url)
{
    if (url == nullptr || !s_isAsciiAlphanumeric(url[0]))
        return false;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(url); *c != '\0'; ++c) {
        if (*c <= ' ' || *c > '~' || *c == '\'')
            return false;
    }
    return true;
}

void launchWebBrowser(const char *url)
{
    SDL_Quit();

    bool launched = false;
    if (isLaunchableURL(url)) {
        const int32_t consoleOnly = getenv("DISPLAY") == nullptr ? 1 : 0;
        for (const HBrowserEntry &browser : s_browsers) {
            char program[kCandidateSize];
            char host[kCandidateSize] = "";
            if (browser.consoleOnly != consoleOnly || !s_findInPath(browser.program, program) ||
                (browser.host != nullptr && !s_findInPath(browser.host, host)))
                continue;
            static char command[kCommandSize];
            BoundedText text(command, sizeof command);
            s_formatCommand(text, browser.format, program, host, url);
            if (text.fits()) {
                // The shell answers 127 when it cannot run what it was given
                // (a script whose "#!" interpreter is missing, say). A row
                // ending in "&" always gets 0, so a failure there goes unseen.
                const int result = system(command);
                launched = result != -1 && !(WIFEXITED(result) && WEXITSTATUS(result) == 127);
            }
            break;
        }
    }

    if (!launched)
        fprintf(stderr, "You should be looking at [%s],\n but we can't launch a browser.\n",
                url != nullptr ? url : "");
    _exit(0);
}
