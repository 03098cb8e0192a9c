#include "engine/core/HUnixPlatform.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <execinfo.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"

namespace {

// realpath writes up to PATH_MAX bytes into the buffer it is given.
constexpr size_t kResolvedPathSize = 4096;
static_assert(PATH_MAX <= kResolvedPathSize, "realpath buffer too small");

// The console variables read each command-line token into 1024 bytes; a
// longer demo file name would be cut and name another file.
constexpr size_t kCommandTokenSize = 1024;

constexpr int kMaxStackFrames = 200;

HUsageTitleFunction s_usageTitleFunction = nullptr;

char *s_resolveCurrentDirectory()
{
    char resolved[kResolvedPathSize];
    if (realpath(".", resolved) == nullptr)
        return nullptr;
    return strDuplicate(resolved);
}

// A shell would not run a directory, so only a regular file can be the
// program.
bool s_isExecutableFile(const char *path)
{
    struct stat info;
    return access(path, X_OK) == 0 && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

char *s_searchPath(const char *argv0, const char *path)
{
    const char *home = getenv("HOME");
    if (home == nullptr)
        home = ".";
    const size_t argvLength = strlen(argv0);
    const size_t homeLength = strlen(home);

    char *elements = strDuplicate(path);
    char *result = nullptr;
    char *save = nullptr;
    for (char *element = strtok_r(elements, ":", &save); element != nullptr && result == nullptr;
         element = strtok_r(nullptr, ":", &save)) {
        const size_t candidateSize = strlen(element) + argvLength + homeLength + 3;
        char *candidate = new char[candidateSize];
        if (element[0] == '~')
            snprintf(candidate, candidateSize, "%s/%s", home, element + 1);
        else
            strCopy(candidate, element, candidateSize);
        const size_t length = strlen(candidate);
        if (length == 0 || candidate[length - 1] != '/')
            s_appendBounded(candidate, "/", candidateSize);
        s_appendBounded(candidate, argv0, candidateSize);

        char resolved[kResolvedPathSize];
        if (realpath(candidate, resolved) != nullptr && s_isExecutableFile(resolved))
            result = strDuplicate(resolved);
        delete[] candidate;
    }
    delete[] elements;
    return result;
}

void s_writeText(const char *text)
{
    // The crash report goes out one character at a time with write, which is
    // safe inside a signal handler; stdio may be what broke.
    for (; *text != '\0'; ++text) {
        if (write(STDOUT_FILENO, text, 1) < 0)
            return;
    }
}

const char *s_signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGQUIT: return "SIGQUIT";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGSEGV: return "SIGSEGV";
    default: return "(unexpected)";
    }
}

// A demo file name becomes one "+set" value, which ends at a blank or a
// semicolon; anything that would not stay exactly that value is refused.
bool s_isAcceptableDemoName(const char *name)
{
    const size_t length = strlen(name);
    return length > 0 && length < kCommandTokenSize && strpbrk(name, " ;") == nullptr;
}

int s_formatPieces(char *buffer, size_t size, const char *const pieces[6])
{
    return snprintf(buffer, size, "%s%s%s%s%s%s", pieces[0], pieces[1], pieces[2], pieces[3],
                    pieces[4], pieces[5]);
}

} // namespace

char *findExecutablePath(const char *argv0)
{
    if (argv0 != nullptr && argv0[0] != '\0') {
        if (strchr(argv0, '/') != nullptr) {
            char resolved[kResolvedPathSize];
            if (realpath(argv0, resolved) != nullptr)
                return strDuplicate(resolved);
        } else if (const char *path = getenv("PATH")) {
            if (char *found = s_searchPath(argv0, path))
                return found;
        }
    }
    // Nothing located the program: the current directory stands in for it.
    return s_resolveCurrentDirectory();
}

int findResourceDirectory(char *buffer, size_t size, const char *argv0)
{
    if (buffer == nullptr || size == 0)
        return 0;

    char *path = findExecutablePath(argv0);
    strCopy(buffer, path != nullptr ? path : "", size);
    delete[] path;

    if (char *slash = strrchr(buffer, '/'))
        *slash = '\0';
    if (char *slash = strrchr(buffer, '/'))
        *slash = '\0';
    else
        buffer[0] = '\0';

    const int length = static_cast<int>(strlen(buffer));
    s_appendBounded(buffer, "/Resources/", size);
    return length;
}

bool buildCommandLine(char *buffer, size_t size, int argc, const char *const *argv,
                      const char *productName)
{
    bool noSound = false;
    bool softwareCursor = false;
    bool trace = false;
    bool journal = false;
    const char *demoFile = nullptr;

    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (arg == nullptr)
            continue;
        if (strCaseCompare(arg, "-h") == 0 || strCaseCompare(arg, "--help") == 0) {
            printUsage();
        } else if (strCaseCompare(arg, "-journal") == 0 || strCaseCompare(arg, "--journal") == 0) {
            journal = true;
        } else if (strCaseCompare(arg, "-f") == 0 || strCaseCompare(arg, "--fullscreen") == 0) {
            setFullscreenSetting(productName, 1);
        } else if (strCaseCompare(arg, "-w") == 0 || strCaseCompare(arg, "--windowed") == 0) {
            setFullscreenSetting(productName, 0);
        } else if (strCaseCompare(arg, "-demo") == 0 || strCaseCompare(arg, "--demo") == 0) {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                printf("Failed to specify demo file, e.g. -demo demo.dem\n");
                exit(kUsageExitStatus);
            }
            demoFile = argv[++i];
        } else if (strCaseCompare(arg, "-trace") == 0 || strCaseCompare(arg, "--trace") == 0) {
            trace = true;
        } else if (strCaseCompare(arg, "-swcursor") == 0 || strCaseCompare(arg, "--swcursor") == 0) {
            softwareCursor = true;
        } else if (strCaseCompare(arg, "-s") == 0 || strCaseCompare(arg, "--nosound") == 0) {
            noSound = true;
        }
    }

    // The demo name travels as its own piece followed by its blank.
    char demoValue[kCommandTokenSize + 1] = "";
    bool demoRefused = false;
    if (demoFile != nullptr) {
        if (s_isAcceptableDemoName(demoFile))
            snprintf(demoValue, sizeof demoValue, "%s ", demoFile);
        else
            demoRefused = true;
    }

    const char *pieces[6] = {
        noSound ? "+set c_soundDriver null " : "",
        softwareCursor ? "" : "+set vg_spriteCursor 0 ",
        demoFile != nullptr && !demoRefused ? "+set vg_demoFile " : "",
        demoFile != nullptr && !demoRefused ? demoValue : "",
        trace ? "+set vg_trace 1 " : "",
        journal ? "+set vg_journal 1 " : "",
    };

    // A demo piece cut short by the buffer would name another file.
    if (pieces[2][0] != '\0') {
        const int needed = s_formatPieces(nullptr, 0, pieces);
        if (needed < 0 || static_cast<size_t>(needed) >= size) {
            demoRefused = true;
            pieces[2] = "";
            pieces[3] = "";
        }
    }
    if (demoRefused)
        printf("Demo file name refused (empty, too long, or holding a blank or a semicolon); "
               "no demo is played.\n");

    if (buffer == nullptr || size == 0)
        return false;
    const int written = s_formatPieces(buffer, size, pieces);
    return written >= 0 && static_cast<size_t>(written) < size;
}

void setUsageTitleFunction(HUsageTitleFunction function)
{
    s_usageTitleFunction = function;
}

void printUsage()
{
    setbuf(stdout, nullptr);
    const char *title = s_usageTitleFunction != nullptr ? s_usageTitleFunction() : nullptr;
    printf("%s\n", title != nullptr ? title : "");
    printf(" %s\n", kVelmoraWebAddress);
    printf("\n");
    printf("Options:\n");
    printf("   --help         -h    Print this information and exit.\n");
    printf("   --nosound      -s    Don't play any sound/music.\n");
    printf("   --swcursor           Use the pretty software cursor (may be slower).\n");
    printf("   --fullscreen   -f    Force fullscreen mode.\n");
    printf("   --windowed     -w    Force windowed mode.\n");
    printf("\n");
    exit(kUsageExitStatus);
}

void setFullscreenSetting(const char *productName, int32_t value)
{
    HSystemRegistry *registry = getSystemRegistry();
    if (!registry->open(nullptr, "Velmora", productName)) {
        printf("Failed to open registry. Can't change fullscreen state.\n");
        return;
    }
    registry->writeValue("Fullscreen", &value, sizeof value);
    registry->close();
}

void installSignalHandlers()
{
    // The first backtrace loads the unwinder, which allocates; doing it now
    // keeps that out of a handler running on a broken heap.
    void *frame[1];
    backtrace(frame, 1);

    signal(SIGILL, onSignal);
    signal(SIGQUIT, onSignal);
    signal(SIGABRT, onSignal);
    signal(SIGFPE, onSignal);
    signal(SIGSEGV, onSignal);
    signal(SIGBUS, onSignal);
}

void onSignal(int signalNumber)
{
    void *frames[kMaxStackFrames];
    const int count = backtrace(frames, kMaxStackFrames);
    char **symbols = backtrace_symbols(frames, count);

    s_writeText("Signal ");
    s_writeText(s_signalName(signalNumber));
    s_writeText(" received.\n\nStack dump:\n{\n");
    for (int i = 0; i < count; ++i) {
        s_writeText("\t");
        if (symbols != nullptr && symbols[i] != nullptr) {
            s_writeText(symbols[i]);
        } else {
            char address[32];
            snprintf(address, sizeof address, "%p", frames[i]);
            s_writeText(address);
        }
        s_writeText("\n");
    }
    s_writeText("}\n\n");
    _exit(signalNumber + 127);
}

char *getUserName(char *buffer, size_t size)
{
    if (buffer == nullptr || size == 0)
        return nullptr;
    const struct passwd *entry = getpwuid(getuid());
    if (entry == nullptr || entry->pw_name == nullptr)
        return nullptr;
    return strCopy(buffer, entry->pw_name, size);
}
