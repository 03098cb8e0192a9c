// The command line as the program starts with it: the bytes, cut at zero
// bytes, are the arguments after the program's name; they become the "+set"
// string, which the console variables then run over the framework's
// defaults and the game's names, and the start-up reads its variables back.
// "-f" and "-w" store the full-screen choice in the registry of a scratch
// home, as they do at start-up.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HCvarManager.h"
#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/core/HUnixPlatform.h"
#include "framework/framework_test_support.h"
#include "fuzz/fuzz_support.h"

namespace {

bool isOption(const char *arg, const char *shortName, const char *longName)
{
    return strCaseCompare(arg, shortName) == 0 || strCaseCompare(arg, longName) == 0;
}

// The arguments walked as buildCommandLine walks them, a demo option taking
// the next argument as its file.
struct Options
{
    // The usage text or the demo message would exit the process. The
    // platform tests run those lines in a forked child (runInChild) and look
    // at its exit status; a fork per input would starve the fuzzer, so a
    // line whose walk reaches "-h"/"--help" or a demo option without a file
    // is skipped whole, before buildCommandLine sees it.
    bool exits = false;
    int fullscreenOptions = 0;
    int32_t fullscreen = -1;          // the choice of the last of them
    const char *demo = nullptr;       // the file of the last demo option
    std::vector<const char *> others; // every other argument
};

Options walk(const std::vector<const char *> &argv)
{
    Options options;
    for (size_t i = 1; i < argv.size() && !options.exits; ++i) {
        const char *arg = argv[i];
        if (isOption(arg, "-h", "--help"))
            options.exits = true;
        else if (isOption(arg, "-demo", "--demo") && i + 1 >= argv.size())
            options.exits = true;
        else if (isOption(arg, "-demo", "--demo"))
            options.demo = argv[++i];
        else if (isOption(arg, "-f", "--fullscreen") || isOption(arg, "-w", "--windowed")) {
            options.fullscreen = isOption(arg, "-f", "--fullscreen") ? 1 : 0;
            ++options.fullscreenOptions;
        } else
            options.others.push_back(arg);
    }
    return options;
}

bool given(const Options &options, const char *shortName, const char *longName)
{
    for (const char *arg : options.others)
        if (isOption(arg, shortName, longName))
            return true;
    return false;
}

// Each "-f" or "-w" saves the registry; a run of thousands would only
// measure the file system.
constexpr int kMaxFullscreenOptions = 8;

// What each option must leave in its variable, whatever else the line holds.
struct Switch
{
    const char *shortName;
    const char *longName;
    const char *variable;
    const char *whenGiven;
    const char *otherwise;
};
const Switch kSwitches[] = {
    {"-s", "--nosound", "c_soundDriver", "null", "default"},
    {"-swcursor", "--swcursor", "vg_spriteCursor", "1", "0"},
    {"-trace", "--trace", "vg_trace", "1", "0"},
    {"-journal", "--journal", "vg_journal", "1", "0"},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::scratchHome();
    static TestGame game;

    // The arguments are zero-terminated pieces of the input; the last one
    // ends at the end of the input.
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::vector<const char *> argv = {"tilmar"};
    for (size_t at = 0; at < bytes.size();) {
        argv.push_back(bytes.c_str() + at);
        const size_t end = bytes.find('\0', at);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    const Options options = walk(argv);
    if (options.exits || options.fullscreenOptions > kMaxFullscreenOptions)
        return 0;

    char commandLine[kCommandLineSize];
    std::memset(commandLine, 0x55, sizeof commandLine);
    const bool built = buildCommandLine(commandLine, sizeof commandLine, static_cast<int>(argv.size()),
                                        argv.data(), "Tilmar");
    if (options.fullscreen >= 0) {
        // Stored at once, the last choice winning.
        HSystemRegistry *registry = getSystemRegistry();
        int32_t stored = -1;
        int32_t length = 0;
        if (!registry->open(nullptr, "Velmora", "Tilmar") ||
            !registry->readData("Fullscreen", &stored, sizeof stored, &length) || stored != options.fullscreen)
            __builtin_trap();
        registry->close();
    }
    if (!built)
        return 0;
    if (std::memchr(commandLine, 0, sizeof commandLine) == nullptr)
        __builtin_trap();

    // The order of the start-up: the engine, the game's names, the
    // framework's defaults, then the command line over them.
    HCvarManager &cvars = game.getCvarManager();
    if (!cvars.initCvarManager())
        return 0;
    cvars.registerVariable("companyName", "Velmora", 0);
    cvars.registerVariable("productName", "Tilmar", 0);
    game.registerDefaultCvars();
    cvars.parseCommandLine(commandLine);
    for (const Switch &option : kSwitches) {
        const char *value = cvars.getVariableString(option.variable);
        const bool on = given(options, option.shortName, option.longName);
        const char *expected = on ? option.whenGiven : option.otherwise;
        if (!value || std::strcmp(value, expected) != 0)
            __builtin_trap();
    }
    // A demo file name reaches the start-up exactly as given, or not at all.
    const char *demo = cvars.getVariableString("vg_demoFile");
    if (!demo || (demo[0] && (!options.demo || std::strcmp(demo, options.demo) != 0)))
        __builtin_trap();
    for (const char *name : {"vg_trace", "vg_journal", "vg_spriteCursor", "c_dxversion", "c_hklm"})
        cvars.getVariableInt(name);
    cvars.getVariableFloat("vg_trace");
    if (!cvars.getVariableString("companyName") || !cvars.getVariableString("productName"))
        __builtin_trap();
    cvars.shutdownCvarManager();
    return 0;
}
