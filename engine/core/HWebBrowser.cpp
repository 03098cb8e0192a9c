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
    const char *format; // receives the URL for each "%s"
    const char *host = nullptr; // the program the command starts the browser in
};

// Tried in this order; the first one found in PATH (with its host program,
// if it has one) is started. The URL always stands inside single quotes (it
// can hold none), so the shell neither splits it nor expands '?', '*' or '~'
// in it. The last rows are the names a current Debian machine answers to.
const HBrowserEntry s_browsers[] = {
    {0, "mozilla", "mozilla '%s' &"},
    {0, "phoenix", "phoenix '%s' &"},
    {0, "gnome-moz-remote", "gnome-moz-remote --newwin '%s'"},
    {0, "galeon", "galeon '%s' &"},
    {0, "netscape", "netscape -remote 'openURL(%s,new-window)' || netscape '%s'"},
    {0, "konqueror", "konqueror '%s' &"},
    {0, "opera", "opera -page='%s' &"},
    {0, "NetPositive", "NetPositive '%s'"},
    {0, "links", "xterm -T \"Web Browser\" -e links '%s' &", "xterm"},
    {0, "lynx", "xterm -T \"Web Browser\" -e lynx '%s' &", "xterm"},
    {1, "links", "links '%s'"},
    {1, "lynx", "lynx '%s'"},
    {0, "x-www-browser", "x-www-browser '%s' &"},
    {0, "xdg-open", "xdg-open '%s' &"},
    {0, "firefox", "firefox '%s' &"},
    {1, "www-browser", "www-browser '%s'"},
};

constexpr size_t kCandidateSize = 4096;
constexpr size_t kCommandSize = 16384;

// Appends to a fixed buffer and remembers whether anything did not fit, so
// an over-long candidate is skipped rather than tried cut short.
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

bool s_isInPath(const char *program)
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

        char candidate[kCandidateSize];
        BoundedText text(candidate, sizeof candidate);
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

        if (text.fits() && s_isRegularExecutable(candidate))
            return true;
        if (end == nullptr)
            return false;
        element = end + 1;
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
            if (browser.consoleOnly != consoleOnly || !s_isInPath(browser.program) ||
                (browser.host != nullptr && !s_isInPath(browser.host)))
                continue;
            static char command[kCommandSize];
            const int length = snprintf(command, sizeof command, browser.format, url, url);
            if (length >= 0 && static_cast<size_t>(length) < sizeof command) {
                // 127 is the shell's own answer for a command it cannot find.
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
