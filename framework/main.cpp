// The process entry: finds the resources, turns the options into console
// variable commands, installs the crash handler and runs the one game object.
#include <cstdlib>

#include "engine/core/HUnixPlatform.h"
#include "framework/HPuzzleGame.h"

static char s_resourceDirectory[kResourceDirectorySize];
static char s_commandLine[kCommandLineSize];

int main(int argc, char **argv)
{
    setUsageTitleFunction(&getApplicationTitle);
    findResourceDirectory(s_resourceDirectory, sizeof s_resourceDirectory, argc > 0 ? argv[0] : "");
    buildCommandLine(s_commandLine, sizeof s_commandLine, argc, argv, "Tilmar");
    installSignalHandlers();
    if (g_pCurrentGame)
        g_pCurrentGame->main(s_commandLine, s_resourceDirectory);
    std::exit(0);
}
