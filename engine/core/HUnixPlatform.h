#ifndef ENGINE_CORE_HUNIXPLATFORM_H
#define ENGINE_CORE_HUNIXPLATFORM_H

// Unix start-up services used by main before the game object starts: the
// resource directory, the "+set" command string built from the command
// line, the usage text, the crash handler and the full-screen choice given on
// the command line; also the login name of the user.

#include <cstddef>
#include <cstdint>

// The maker's web address, shown in the usage text; the game's partner link
// and support text use the same one.
constexpr const char *kVelmoraWebAddress = "http://www.velmora.example.com/";

// Buffer sizes main uses for the resource directory and the command string.
constexpr size_t kResourceDirectorySize = 4096;
constexpr size_t kCommandLineSize = 2000;

// Exit status of the usage text and of "-demo" without a file name.
constexpr int kUsageExitStatus = 42;

// The absolute path of the running program, found from argv0 (resolved
// directly when it holds a '/', otherwise searched in PATH). When the program
// cannot be located the current directory stands in. A new[] string that the
// caller delete[]s; null only when not even the current directory resolves.
char *findExecutablePath(const char *argv0);

// Writes the program's resource directory into buffer: the program's path
// without its file name and the directory that holds it, with "/Resources/"
// appended, cut to fit size. Answers the length of the directory before
// "/Resources/" was appended.
int findResourceDirectory(char *buffer, size_t size, const char *argv0);

// Turns the command-line options (argv[1] on) into one string of "+set"
// commands for the console variables. "-f"/"-w" store the full-screen choice
// for productName at once; "-h" and a "-demo" without a file name end the
// process with kUsageExitStatus. A demo file name that would not stay one
// console-variable value (empty, too long, or holding a blank or a
// semicolon) is refused with a line on standard output and left out.
// False when the string does not fit the buffer.
bool buildCommandLine(char *buffer, size_t size, int argc, const char *const *argv,
                      const char *productName);

// The engine does not know the game object: the application registers a
// function answering the running game's title for the usage text.
typedef const char *(*HUsageTitleFunction)();
void setUsageTitleFunction(HUsageTitleFunction function);

// Prints the usage text, headed by the registered title, and exits with
// kUsageExitStatus.
[[noreturn]] void printUsage();

// Stores the full-screen choice (1 on, 0 off) as "Fullscreen" in the
// settings registry of "Velmora" and productName.
void setFullscreenSetting(const char *productName, int32_t value);

// Installs onSignal for SIGILL, SIGQUIT, SIGABRT, SIGFPE, SIGSEGV and SIGBUS.
void installSignalHandlers();

// Prints the crash report (signal name and stack dump) on standard output and
// ends the process with the signal number plus 127.
[[noreturn]] void onSignal(int signalNumber);

// The login name of the real user, cut to size - 1 characters and
// terminated; null when the password entry has no name.
char *getUserName(char *buffer, size_t size);

#endif
