// The smallest game: it opens "probe.vmz" from the resource directory (an
// archive the build never makes), so a normal start shows the missing-archive
// message; with "+probe.vmz" present it would play until the first event.
#include <cstdio>
#include <cstring>

#include "engine/core/HString.h"
#include "framework/HPuzzleGame.h"

namespace {

class ProbeGame : public HPuzzleGame
{
public:
    float getMusicVolumeSetting() override { return 0.5f; }
    float getSoundVolumeSetting() override { return 0.5f; }
    const char *getTitle() override { return "Probe Game (Ver 0.1)"; }
    int32_t handleEvent(const HEvent &) override { return 1; }
    void drawRect(const HRect &, bool) override {}
    bool initialize(const char *commandLine, const char *resourceDirectory) override
    {
        m_cvarManager.registerVariable("companyName", "Velmora", 0);
        m_cvarManager.registerVariable("productName", "Probe", 0);
        HPuzzleGame::initialize(commandLine, resourceDirectory);
        std::printf("resources=%s\n", resourceDirectory);
        std::printf("sound=%s\n", m_cvarManager.getVariableString("c_soundDriver"));
        char path[1024];
        formatString(path, sizeof path, "%sprobe.vmz", resourceDirectory);
        if (!m_openResourceFile(path, true))
            return false;
        return m_createDevices(getTitle(), true, false, 1, 640, 480, 2, 16, 22050);
    }
};

ProbeGame s_game;

} // namespace
